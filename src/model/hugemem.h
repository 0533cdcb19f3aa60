#pragma once
// Large blocks of memory that the system may back with huge pages: the index
// tables, whose accesses land anywhere in them, and the keys gathered to
// build them. A block faulted in 4 KB at a time costs the system a fault per
// page; in huge pages, one per 2 MB. (The arenas' huge chunks get huge pages
// in their own reserved range, model/arena.cpp.)

#include <cstddef>

/// Size and alignment of a huge page.
inline constexpr size_t kHugePage = 2 * 1024 * 1024;

/// `bytes` rounded up to whole huge pages.
inline constexpr size_t huge_size(size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

/// `bytes` of zero memory; from kHugePage / 8 bytes up, aligned to kHugePage
/// and offered to the system for huge pages. Throws std::bad_alloc when there is
/// no memory. Give it back with free_large() and the same `bytes`.
void* alloc_large(size_t bytes);

/// Gives back `bytes` at `p` from alloc_large(); a null `p` is ignored.
void free_large(void* p, size_t bytes);

/// An allocator through alloc_large(), for arrays that may grow large.
template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(alloc_large(n * sizeof(T))); }
  void deallocate(T* p, size_t n) { free_large(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const LargeAllocator<U>&) const { return true; }
};
