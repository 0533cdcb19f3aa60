#include "lists/prodlist.h"

#include <cinttypes>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>

namespace {

/// Search window below which the bisection gives way to a linear scan.
constexpr int kWindow = 10;

/// True when the next append has no free slot.
bool is_full(const ProdPtrList* list) {
  return list->nitems >= list->maxitems ||
         static_cast<size_t>(list->nitems) >= list->item.size();
}

/// Grows a full list by `step` slots. False, with the list unchanged, when
/// that would not give a free slot or memory is exhausted.
bool grow(ProdPtrList* list, int step) {
  long long target = static_cast<long long>(list->maxitems) + step;
  if (target <= list->nitems || target > INT_MAX) return false;
  return resize_ptr_prodlist(list, static_cast<int>(target)) != nullptr;
}

/// Narrows [low, high] around where `ent` belongs, calling the comparison
/// with `ent` first. Returns the slot of an equal element met on the way, or
/// -1 with the final window in `low` and `high`.
int bisect(const ProdPtrList* list, const void* ent, ProdPtrCompare strcmp, int& low,
           int& high) {
  low = 0;
  high = list->nitems - 1;
  while (high - low > kWindow) {
    int m = low + (high - low) / 2;
    int cmp = strcmp(ent, list->item[m]);
    if (cmp == 0) return m;
    if (cmp > 0) {
      low = m;
    } else {
      high = m;
    }
  }
  return -1;
}

}  // namespace

ProdPtrList* create_ptr_prodlist(int nitems) {
  ProdPtrList* list = new (std::nothrow) ProdPtrList;
  if (list == nullptr) return nullptr;
  if (nitems > 0) {
    try {
      list->item.resize(static_cast<size_t>(nitems));
    } catch (const std::exception&) {
      delete list;
      return nullptr;
    }
    list->maxitems = nitems;
    list->delta = nitems;
  } else {
    list->maxitems = nitems;
    list->delta = 10;
  }
  return list;
}

ProdPtrList* resize_ptr_prodlist(ProdPtrList* list, int m) {
  if (list == nullptr || m < 0) return nullptr;
  try {
    list->item.resize(static_cast<size_t>(m));  // strong guarantee: unchanged on failure
  } catch (const std::exception&) {
    return nullptr;
  }
  list->maxitems = m;
  return list;
}

void add_ptr_prodlist(ProdPtrList* list, void* ent) {
  if (is_full(list)) {
    if (list->delta <= 0) list->delta = 10;
    if (!grow(list, list->delta)) return;
  }
  list->item[list->nitems++] = ent;
}

void clear_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release) {
  if (list == nullptr) return;
  if (release != nullptr) {
    for (int i = 0; i < list->nitems; ++i) {
      if (list->item[i] != nullptr) release(list->item[i]);
    }
  }
  list->nitems = 0;
}

void free_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release) {
  if (list == nullptr) return;
  clear_ptr_prodlist(list, release);
  delete list;
}

void display_ptr_prodlist(const ProdPtrList* list) {
  if (list == nullptr) {
    std::printf("display_list: Empty list\n");
    return;
  }
  std::printf("%d Items in list:\n", list->nitems);
  for (int i = 0; i < list->nitems; ++i) {
    std::printf("Item %3d: %" PRIxPTR "\n", i + 1, reinterpret_cast<uintptr_t>(list->item[i]));
  }
}

int bsearch_ptr_prodlist(const ProdPtrList* list, const void* ent, ProdPtrCompare strcmp) {
  if (list == nullptr || strcmp == nullptr) return -1;
  int low;
  int high;
  int found = bisect(list, ent, strcmp, low, high);
  if (found >= 0) return found;
  for (int i = low; i <= high; ++i) {
    int cmp = strcmp(ent, list->item[i]);
    if (cmp > 0) continue;
    return cmp == 0 ? i : -1;  // a greater element: `ent` would have stood here
  }
  return -1;
}

void* bupdate_ptr_prodlist(ProdPtrList* list, void* ent, ProdPtrCompare strcmp) {
  if (list == nullptr || ent == nullptr || strcmp == nullptr) return nullptr;
  int k = bsearch_ptr_prodlist(list, ent, strcmp);
  if (k >= 0) {
    void* old = list->item[k];
    list->item[k] = ent;
    return old;
  }

  int low;
  int high;
  bisect(list, ent, strcmp, low, high);
  int at = list->nitems;  // past the window: append
  for (int i = low; i <= high; ++i) {
    if (strcmp(list->item[i], ent) < 0) continue;
    at = i;
    break;
  }

  // Insertion grows by `delta` as it stands; a step that gives no room
  // leaves the list unchanged.
  if (is_full(list) && !grow(list, list->delta)) return nullptr;
  for (int i = list->nitems; i > at; --i) list->item[i] = list->item[i - 1];
  list->item[at] = ent;
  ++list->nitems;
  return nullptr;
}
