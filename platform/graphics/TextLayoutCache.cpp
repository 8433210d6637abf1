#include "platform/graphics/TextLayoutCache.h"

#include <cstring>
#include <functional>
#include <random>
#include <utility>

namespace zv {

namespace {

std::uint64_t Fnv1a(std::string_view s, std::uint64_t h) {
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

template <class T>
void Append(std::string& key, T value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  key.append(bytes, sizeof(T));
}

// extra: the bytes the caller appends, so that the key is allocated once.
std::string Prefix(char kind, std::size_t device, const TFontData& font, std::size_t extra) {
  std::string key;
  key.reserve(48 + font.Name.size() + extra);
  key += kind;
  Append(key, device);
  Append(key, font.Height);
  Append(key, font.Style.Bits());
  Append(key, static_cast<int>(font.Pitch));
  Append(key, static_cast<int>(font.Charset));
  Append(key, font.Orientation);
  Append(key, static_cast<std::uint32_t>(font.Name.size()));
  key += font.Name;
  return key;
}

void AppendText(std::string& key, std::string_view text) {
  Append(key, static_cast<std::uint64_t>(text.size()));
  if (text.size() <= TTextLayoutCache::LiteralKeyLimit) {
    key += text;
    return;
  }
  // A long text is known by its hashes alone: seeded afresh in every process, so that data
  // cannot be made up in advance to share another text's key.
  static const auto seeds = [] {
    std::random_device device;
    const auto word = [&device] { return (static_cast<std::uint64_t>(device()) << 32) ^ device(); };
    return std::pair<std::uint64_t, std::uint64_t>{word(), word()};
  }();
  Append(key, Fnv1a(text, seeds.first));
  Append(key, Fnv1a(text, seeds.second));
}

constexpr std::size_t EntryOverhead = 96;

std::uint64_t KeyHash(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

std::size_t LayoutBytes(const TTextLayout& layout) {
  std::size_t bytes = sizeof(TTextLayout) + layout.Lines.capacity() * sizeof(TTextLine);
  for (const TTextLine& line : layout.Lines) {
    bytes += line.Runs.capacity() * sizeof(TTextRun);
    for (const TTextRun& run : line.Runs) bytes += run.Text.capacity() > 15 ? run.Text.capacity() : 0;
  }
  return bytes;
}

std::string TTextLayoutCache::LayoutKey(std::size_t device, const TFontData& font, std::string_view text, int width,
                                        int height, unsigned format) {
  const std::size_t literal = text.size() <= LiteralKeyLimit ? text.size() : 2 * sizeof(std::uint64_t);
  std::string key = Prefix('L', device, font, 3 * sizeof(int) + sizeof(std::uint64_t) + literal);
  Append(key, width);
  Append(key, height);
  Append(key, format);
  AppendText(key, text);
  return key;
}

TTextLayoutCache::TList::iterator TTextLayoutCache::Find(std::uint64_t hash, const std::string& key) {
  TList::iterator* it = fIndex.Find(hash);
  if (!it || (*it)->Key != key) return fEntries.end();
  fEntries.splice(fEntries.begin(), fEntries, *it);
  return *it;
}

std::shared_ptr<const TTextLayout> TTextLayoutCache::FindLayout(const std::string& key) {
  const std::uint64_t hash = KeyHash(key);
  std::lock_guard lock(fLock);
  auto it = Find(hash, key);
  if (it == fEntries.end()) {
    ++fCounters.LayoutMisses;
    return nullptr;
  }
  ++fCounters.LayoutHits;
  return it->Layout;
}

void TTextLayoutCache::StoreLayout(std::string key, std::shared_ptr<const TTextLayout> layout) {
  if (!layout) return;
  const std::size_t bytes = EntryOverhead + key.capacity() + LayoutBytes(*layout);
  const std::uint64_t hash = KeyHash(key);
  Store({hash, std::move(key), std::move(layout), bytes});
}

void TTextLayoutCache::Store(TEntry entry) {
  std::lock_guard lock(fLock);
  if (entry.Bytes > fCapacity / 64) return;
  // The same key stored again, or another key of the same hash: the newer wins.
  if (TList::iterator* old = fIndex.Find(entry.Hash)) {
    fBytes -= (*old)->Bytes;
    fEntries.erase(*old);
  }
  fBytes += entry.Bytes;
  fEntries.push_front(std::move(entry));
  fIndex.Set(fEntries.front().Hash, fEntries.begin());
  Trim();
}

void TTextLayoutCache::Trim() {
  while (fBytes > fCapacity && !fEntries.empty()) {
    fBytes -= fEntries.back().Bytes;
    fIndex.Erase(fEntries.back().Hash);
    fEntries.pop_back();
    ++fCounters.Evictions;
  }
}

void TTextLayoutCache::Clear() {
  std::lock_guard lock(fLock);
  fIndex.Clear();
  fEntries.clear();
  fBytes = 0;
  ++fGeneration;
}

void TTextLayoutCache::SetCapacity(std::size_t bytes) {
  std::lock_guard lock(fLock);
  fCapacity = bytes;
  Trim();
}

TTextCacheStats TTextLayoutCache::Stats() const {
  std::lock_guard lock(fLock);
  TTextCacheStats s = fCounters;
  s.Entries = fEntries.size();
  s.Bytes = fBytes;
  s.Capacity = fCapacity;
  return s;
}

void TTextLayoutCache::ResetCounters() {
  std::lock_guard lock(fLock);
  fCounters = {};
}

TTextLayoutCache& TextLayoutCache() {
  static TTextLayoutCache cache;
  return cache;
}

}  // namespace zv
