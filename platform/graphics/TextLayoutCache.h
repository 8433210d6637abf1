#pragma once
// Laid-out texts, kept between paints so that a repaint of an unchanged screen measures nothing:
// DrawText's layouts by (measuring device, font, text, rectangle size, format), with positions
// relative to the rectangle's top left. (A measuring pass, DT_CALCRECT, hands its run widths to
// the draw of the same text that follows it, so no run is measured twice; see PaintDevice.cpp.)
//
// The cache is bounded in bytes and drops the least recently used entries first. An entry larger
// than a sixty-fourth of the bound is never kept, and the text of a key is replaced by its length
// and two hashes beyond a few hundred bytes: a megabyte cell costs what its laid-out lines hold
// (with an ellipsis, what the rectangle shows), never the string itself. Fonts are part of the
// key, so a changed font finds no stale layout; a change of graphics backend empties the cache.

#include "platform/graphics/Font.h"
#include "platform/graphics/HashSlots.h"
#include "platform/graphics/TextLayout.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace zv {

struct TTextCacheStats {
  std::uint64_t LayoutHits = 0;
  std::uint64_t LayoutMisses = 0;
  std::uint64_t Evictions = 0;
  std::size_t Entries = 0;
  std::size_t Bytes = 0;
  std::size_t Capacity = 0;
};

class TTextLayoutCache {
public:
  static constexpr std::size_t DefaultCapacity = 4u << 20;
  // Texts longer than this are keyed by length and hash.
  static constexpr std::size_t LiteralKeyLimit = 256;

  explicit TTextLayoutCache(std::size_t capacityBytes = DefaultCapacity) : fCapacity(capacityBytes) {}

  static std::string LayoutKey(std::size_t device, const TFontData& font, std::string_view text, int width, int height,
                               unsigned format);

  std::shared_ptr<const TTextLayout> FindLayout(const std::string& key);
  void StoreLayout(std::string key, std::shared_ptr<const TTextLayout> layout);

  void Clear();
  // A capacity of 0 turns the cache off: DrawText lays every text out afresh, and a backend's
  // own caches of shaped runs (which follow this one) shape afresh.
  void SetCapacity(std::size_t bytes);
  std::size_t Capacity() const { return fCapacity.load(std::memory_order_relaxed); }
  // Changes on every Clear, for the caches that follow this one.
  std::uint64_t Generation() const { return fGeneration.load(std::memory_order_relaxed); }
  TTextCacheStats Stats() const;
  void ResetCounters();

private:
  // The index is keyed by the key's hash, so that the eviction of the oldest entry (one per new
  // layout once the cache is full) touches no cold key text; a hit still compares the whole key,
  // because texts come from the data and a crafted collision must not show another text's lines.
  struct TEntry {
    std::uint64_t Hash = 0;
    std::string Key;
    std::shared_ptr<const TTextLayout> Layout;
    std::size_t Bytes = 0;
  };
  using TList = std::list<TEntry>;

  TList::iterator Find(std::uint64_t hash, const std::string& key);
  void Store(TEntry entry);
  void Trim();

  mutable std::mutex fLock;
  std::atomic<std::size_t> fCapacity;
  std::atomic<std::uint64_t> fGeneration{0};
  std::size_t fBytes = 0;
  TList fEntries;  // most recently used first
  THashSlots<TList::iterator> fIndex;  // by TEntry::Hash
  TTextCacheStats fCounters;
};

// The one cache every device's DrawText uses.
TTextLayoutCache& TextLayoutCache();

// What a layout holds, in bytes (for the cache's bound).
std::size_t LayoutBytes(const TTextLayout& layout);

}  // namespace zv
