#pragma once
// The arrays a sort keeps by storage row or node (keys, the order's nodes, each row's leaf) are
// read at random, a few places per placement. At a million records they span tens of megabytes,
// so with ordinary pages nearly every read also misses the address translation cache, which on
// a virtual machine costs more than the read itself. Large ones live on huge pages where the
// system offers them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zv::qrsdetail {

#if defined(__linux__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define ZV_QRS_HUGE_PAGES 1
#endif

// Large blocks get mappings of their own, aligned to huge pages (2 MiB) and advised for them
// before they are first touched; heap memory handed back and reused would keep its small pages.
// Smaller blocks, and every block under the sanitizers (which watch the heap), come from the
// heap.
struct TBigBlocks {
  static constexpr std::size_t Huge = std::size_t{2} << 20;
  static constexpr std::size_t Least = Huge;  // a smaller block would leave most of its page unused
  static bool Mapped(std::size_t bytes) {
#if defined(ZV_QRS_HUGE_PAGES)
    return bytes >= Least;
#else
    (void)bytes;
    return false;
#endif
  }
  static std::size_t Rounded(std::size_t bytes) { return (bytes + Huge - 1) & ~(Huge - 1); }
  static void* Map(std::size_t bytes) {
#if defined(ZV_QRS_HUGE_PAGES)
    const std::size_t size = Rounded(bytes);
    void* raw = ::mmap(nullptr, size + Huge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (at + Huge - 1) & ~std::uintptr_t{Huge - 1};
    if (aligned > at) ::munmap(raw, aligned - at);
    if (const std::size_t tail = at + size + Huge - (aligned + size)) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // advice: ignored, nothing changes
    return reinterpret_cast<void*>(aligned);
#else
    (void)bytes;
    throw std::bad_alloc();
#endif
  }
  static void Unmap(void* data, std::size_t bytes) noexcept {
#if defined(ZV_QRS_HUGE_PAGES)
    ::munmap(data, Rounded(bytes));
#else
    (void)data;
    (void)bytes;
#endif
  }
};

template <class T>
class TBigArrayAllocator {
public:
  using value_type = T;
  TBigArrayAllocator() = default;
  template <class U>
  TBigArrayAllocator(const TBigArrayAllocator<U>&) noexcept {}  // NOLINT: rebinding
  T* allocate(std::size_t n) {
    if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
    if (TBigBlocks::Mapped(n * sizeof(T))) return static_cast<T*>(TBigBlocks::Map(n * sizeof(T)));
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* data, std::size_t n) noexcept {
    if (TBigBlocks::Mapped(n * sizeof(T)))
      TBigBlocks::Unmap(data, n * sizeof(T));
    else
      std::allocator<T>().deallocate(data, n);
  }
  friend bool operator==(const TBigArrayAllocator&, const TBigArrayAllocator&) { return true; }
};

template <class T>
using TBigArray = std::vector<T, TBigArrayAllocator<T>>;

// Room for count elements, and on mapped blocks as many again: pages are backed only when first
// written, so the room costs nothing until records come, and the first records added after a
// sort do not copy the whole array.
template <class T>
void ReserveToGrow(TBigArray<T>& array, std::size_t count) {
  array.reserve(TBigBlocks::Mapped(count * sizeof(T)) ? 2 * count : count);
}

}  // namespace zv::qrsdetail
