#include "model/flatindex.h"

#include <cstdlib>
#include <new>

#include "model/hugemem.h"

namespace {

/// A table of `bytes` takes this many bytes of huge pages.
size_t huge_size(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* alloc_table(size_t bytes) {
  void* p = bytes < kHugePage ? std::calloc(1, bytes) : map_huge(huge_size(bytes));
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void free_table(void* table, size_t bytes) {
  if (table == nullptr) return;
  if (bytes < kHugePage) {
    std::free(table);
  } else {
    unmap_huge(table, huge_size(bytes));
  }
}
