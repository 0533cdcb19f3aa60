#include "model/hugemem.h"

#include <sys/mman.h>

#include <cstdint>

void* map_huge(size_t size) {
  size_t span = size + kHugePage;
  void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  uintptr_t start = reinterpret_cast<uintptr_t>(p);
  uintptr_t aligned = (start + kHugePage - 1) & ~static_cast<uintptr_t>(kHugePage - 1);
  if (aligned > start) ::munmap(p, aligned - start);
  uintptr_t end = start + span;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* base = reinterpret_cast<void*>(aligned);
  ::madvise(base, size, MADV_HUGEPAGE);
  return base;
}

void unmap_huge(void* p, size_t size) { ::munmap(p, size); }
