#include "model/hugemem.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

/// From this size up a block takes huge pages: a fault per 2 MB costs the
/// system less than one per 4 KB of an eighth of that.
constexpr size_t kLarge = kHugePage / 8;

/// `size` bytes (a multiple of kHugePage) of fresh zero memory aligned to
/// kHugePage; null when none can be had.
void* map_huge(size_t size) {
  size_t span = size + kHugePage;
  void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  uintptr_t start = reinterpret_cast<uintptr_t>(p);
  uintptr_t aligned = huge_size(start);
  if (aligned > start) ::munmap(p, aligned - start);
  uintptr_t end = start + span;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* base = reinterpret_cast<void*>(aligned);
  ::madvise(base, size, MADV_HUGEPAGE);
  return base;
}

}  // namespace

void* alloc_large(size_t bytes) {
  void* p = bytes < kLarge ? std::calloc(1, bytes) : map_huge(huge_size(bytes));
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void free_large(void* p, size_t bytes) {
  if (p == nullptr) return;
  if (bytes < kLarge) {
    std::free(p);
  } else {
    ::munmap(p, huge_size(bytes));
  }
}
