#include "lists/prodkinds.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

// The slot arrays of each kind, in order, so that one implementation sizes
// and moves them together.
template <class List>  // the kinds with one array, `item`
auto arrays(List& l) { return std::tie(l.item); }
auto arrays(ProdList& l) { return std::tie(l.item, l.desc); }
auto arrays(ProdANumList& l) { return std::tie(l.num, l.alpha); }
auto arrays(ProdAPtrList& l) { return std::tie(l.key, l.item); }

/// Sets every slot array of `list` to exactly `m` slots. False, with the
/// list unchanged, when `m` is negative or memory is exhausted.
template <class List>
bool set_capacity(List& list, int m) {
  if (m < 0) return false;
  const size_t n = static_cast<size_t>(m);
  try {
    // Reserving first makes the resizes below unable to fail, so either
    // every array changes or none does.
    std::apply([&](auto&... a) { (a.reserve(n), ...); }, arrays(list));
  } catch (const std::exception&) {
    return false;
  }
  std::apply([&](auto&... a) { (a.resize(n), ...); }, arrays(list));
  list.maxitems = m;
  return true;
}

/// A new list of `nitems` slots (delta `nitems`), or without storage (delta
/// 10) when `nitems` <= 0; null when memory is exhausted.
template <class List>
List* create(int nitems) {
  List* list = new (std::nothrow) List;
  if (list == nullptr) return nullptr;
  list->maxitems = nitems;
  list->delta = nitems > 0 ? nitems : 10;
  if (nitems > 0 && !set_capacity(*list, nitems)) {
    delete list;
    return nullptr;
  }
  return list;
}

/// True when the next insertion has no free slot.
template <class List>
bool is_full(List& list) {
  auto used = static_cast<size_t>(list.nitems);
  return list.nitems >= list.maxitems ||
         std::apply([&](auto&... a) { return ((used >= a.size()) || ...); }, arrays(list));
}

/// Grows a full list by `step` slots. False, with the list unchanged, when
/// that gives no free slot or memory is exhausted.
template <class List>
bool grow(List& list, int step) {
  long long target = static_cast<long long>(list.maxitems) + step;
  if (target <= list.nitems || target > INT_MAX) return false;
  return set_capacity(list, static_cast<int>(target));
}

/// Moves the used slots from `at` on up by one in every array (room for one
/// more must exist) and counts the new slot.
template <class List>
void open_slot(List& list, int at) {
  int used = ++list.nitems;
  std::apply([&](auto&... a) { (std::shift_right(a.begin() + at, a.begin() + used, 1), ...); },
             arrays(list));
}

/// Prints a list: the empty-list line, or the count and one line per slot.
template <class List, class Line>
void display(const List* list, Line line) {
  if (list == nullptr) {
    std::printf("display_list: Empty list\n");
    return;
  }
  std::printf("%d Items in list:\n", list->nitems);
  for (int i = 0; i < list->nitems; ++i) line(i + 1, static_cast<size_t>(i));
}

/// Drops the texts of the first `nitems` slots; numbers and pointers are held by value.
void drop_used(std::vector<Text>& texts, int nitems) {
  for (int i = 0; i < nitems && static_cast<size_t>(i) < texts.size(); ++i) texts[i].reset();
}
template <class T>
void drop_used(std::vector<T>&, int) {}

/// Empties `list`, dropping the texts of its used slots. A null list is ignored.
template <class List>
void clear(List* list) {
  if (list == nullptr) return;
  std::apply([&](auto&... a) { (drop_used(a, list->nitems), ...); }, arrays(*list));
  list->nitems = 0;
}

/// Clears `list` as clear() does, then deletes it.
template <class List>
void free_list(List* list) {
  clear(list);
  delete list;
}

/// Search window below which the bisection gives way to a linear scan.
constexpr int kWindow = 10;

/// Narrows [low, high] around where an element belongs among `nitems` sorted
/// slots, `cmp(m)` comparing it with slot m. Returns the slot of an equal
/// element met on the way, or -1 with the final window in `low` and `high`.
template <class Cmp>
int bisect(int nitems, Cmp cmp, int& low, int& high) {
  low = 0;
  high = nitems - 1;
  while (high - low > kWindow) {
    int m = low + (high - low) / 2;
    int c = cmp(m);
    if (c == 0) return m;
    if (c > 0) {
      low = m;
    } else {
      high = m;
    }
  }
  return -1;
}

/// The slot of an element equal to the one `cmp` compares, -1 when none:
/// the bisection, then a scan of its window.
template <class Cmp>
int bsearch_slots(int nitems, Cmp cmp) {
  int low;
  int high;
  int found = bisect(nitems, cmp, low, high);
  if (found >= 0) return found;
  for (int i = low; i <= high; ++i) {
    int c = cmp(i);
    if (c > 0) continue;
    return c == 0 ? i : -1;  // a greater element: the one sought would have stood here
  }
  return -1;
}

/// The comparison of `key` with the key of slot m, for bisect().
auto key_order(const ProdAPtrList& list, const Text& key) {
  return [&list, key](int m) {
    return key.view().compare(list.key[static_cast<size_t>(m)].view());
  };
}

/// Hands each non-null pointer of the used slots of `list` to `release`, if
/// any, then clears the list as clear() does.
template <class List>
void clear(List* list, ProdPtrRelease release) {
  if (list != nullptr && release != nullptr) {
    for (void* item : std::span(list->item).first(static_cast<size_t>(list->nitems))) {
      if (item != nullptr) release(item);
    }
  }
  clear(list);
}

/// `list` with the capacity set as set_capacity() sets it; null for a null
/// list or when that fails.
template <class List>
List* resized(List* list, int m) {
  return list != nullptr && set_capacity(*list, m) ? list : nullptr;
}

}  // namespace

// --- Pointers ---------------------------------------------------------------

ProdPtrList* create_ptr_prodlist(int nitems) { return create<ProdPtrList>(nitems); }

ProdPtrList* resize_ptr_prodlist(ProdPtrList* list, int m) { return resized(list, m); }

void add_ptr_prodlist(ProdPtrList* list, void* ent) {
  if (is_full(*list)) {
    if (list->delta <= 0) list->delta = 10;
    if (!grow(*list, list->delta)) return;
  }
  list->item[static_cast<size_t>(list->nitems++)] = ent;
}

void clear_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release) { clear(list, release); }

void free_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release) {
  clear_ptr_prodlist(list, release);
  delete list;
}

void display_ptr_prodlist(const ProdPtrList* list) {
  display(list, [&](int n, size_t i) {
    std::printf("Item %3d: %" PRIxPTR "\n", n, reinterpret_cast<uintptr_t>(list->item[i]));
  });
}

int bsearch_ptr_prodlist(const ProdPtrList* list, const void* ent, ProdPtrCompare strcmp) {
  if (list == nullptr || strcmp == nullptr) return -1;
  auto cmp = [&](int m) { return strcmp(ent, list->item[static_cast<size_t>(m)]); };
  return bsearch_slots(list->nitems, cmp);
}

void* bupdate_ptr_prodlist(ProdPtrList* list, void* ent, ProdPtrCompare strcmp) {
  if (list == nullptr || ent == nullptr || strcmp == nullptr) return nullptr;
  int k = bsearch_ptr_prodlist(list, ent, strcmp);
  if (k >= 0) {
    std::swap(list->item[static_cast<size_t>(k)], ent);
    return ent;
  }

  int low;
  int high;
  auto cmp = [&](int m) { return strcmp(ent, list->item[static_cast<size_t>(m)]); };
  bisect(list->nitems, cmp, low, high);
  int at = list->nitems;  // past the window: append
  for (int i = low; i <= high; ++i) {
    if (strcmp(list->item[static_cast<size_t>(i)], ent) < 0) continue;
    at = i;
    break;
  }

  // Insertion grows by `delta` as it stands; a step that gives no room
  // leaves the list unchanged.
  if (is_full(*list) && !grow(*list, list->delta)) return nullptr;
  open_slot(*list, at);
  list->item[static_cast<size_t>(at)] = ent;
  return nullptr;
}

// --- Texts with descriptions ---------------------------------------------

ProdList* create_prodlist(int nitems) { return create<ProdList>(nitems); }

void clear_prodlist(ProdList* list) { clear(list); }

void free_prodlist(ProdList* list) { free_list(list); }

void display_prodlist(const ProdList* list) {
  display(list, [&](int n, size_t i) {
    std::printf("Item %3d: %s\t%s\n", n, list->item[i].c_str(), list->desc[i].c_str());
  });
}

ProdList* resize_prodlist(ProdList* list, int m) { return resized(list, m); }

// --- Texts -----------------------------------------------------------------

ProdAlphaList* create_alpha_prodlist(int nitems) { return create<ProdAlphaList>(nitems); }

void clear_alpha_prodlist(ProdAlphaList* list) { clear(list); }

void free_alpha_prodlist(ProdAlphaList* list) { free_list(list); }

void display_alpha_prodlist(const ProdAlphaList* list) {
  display(list, [&](int n, size_t i) { std::printf("Item %3d: %s\n", n, list->item[i].c_str()); });
}

void resize_alpha_prodlist(ProdAlphaList* list, int m) { resized(list, m); }

void insert_sorted_alpha_prodlist(ProdAlphaList* list, const Text& str) {
  if (list == nullptr || !str) return;
  int at = 0;
  for (; at < list->nitems; ++at) {
    int cmp = str.view().compare(list->item[static_cast<size_t>(at)].view());
    if (cmp == 0) return;
    if (cmp < 0) break;
  }
  if (is_full(*list) && !grow(*list, 10)) return;
  open_slot(*list, at);
  list->item[static_cast<size_t>(at)] = str;
}

// --- Numbers ---------------------------------------------------------------

ProdNumList* create_num_prodlist(int nitems) { return create<ProdNumList>(nitems); }

void clear_num_prodlist(ProdNumList* list) { clear(list); }

void free_num_prodlist(ProdNumList* list) { free_list(list); }

void display_num_prodlist(const ProdNumList* list) {
  display(list, [&](int n, size_t i) { std::printf("Item %3d: %ld\n", n, list->item[i]); });
}

ProdNumList* resize_num_prodlist(ProdNumList* list, int m) { return resized(list, m); }

ProdUNumList* create_unum_prodlist(int nitems) { return create<ProdUNumList>(nitems); }

void clear_unum_prodlist(ProdUNumList* list) { clear(list); }

void free_unum_prodlist(ProdUNumList* list) { free_list(list); }

void display_unum_prodlist(const ProdUNumList* list) {
  display(list, [&](int n, size_t i) { std::printf("Item %3d: %lu\n", n, list->item[i]); });
}

ProdUNumList* resize_unum_prodlist(ProdUNumList* list, int m) { return resized(list, m); }

// --- Numbers with texts ----------------------------------------------------

ProdANumList* create_anum_prodlist(int nitems) { return create<ProdANumList>(nitems); }

void clear_anum_prodlist(ProdANumList* list) { clear(list); }

void free_anum_prodlist(ProdANumList* list) { free_list(list); }

void display_anum_prodlist(const ProdANumList* list) {
  display(list, [&](int n, size_t i) {
    std::printf("Item %3d: %ld\t%s\n", n, list->num[i], list->alpha[i].c_str());
  });
}

int resize_anum_prodlist(ProdANumList* list, int m) {
  if (list == nullptr) return 0;
  if (m < list->nitems) {
    std::fprintf(stderr, "Attempting to shrink ProdANumList from %d to %d\n", list->nitems, m);
    return 0;
  }
  return set_capacity(*list, m) ? 1 : 0;
}

void sort_anum_prodlist(ProdANumList* list) {
  if (list == nullptr || list->nitems < 2) return;
  const size_t n = static_cast<size_t>(list->nitems);
  try {
    std::vector<std::pair<Text, long>> pairs;
    pairs.reserve(n);
    for (size_t i = 0; i < n; ++i) pairs.emplace_back(list->alpha[i], list->num[i]);
    std::ranges::stable_sort(pairs, {}, [](const auto& pair) { return pair.first.view(); });
    for (size_t i = 0; i < n; ++i) std::tie(list->alpha[i], list->num[i]) = pairs[i];
  } catch (const std::exception&) {
    // Without room to sort in, the list stays as it was.
  }
}

// --- Pointers under keys ---------------------------------------------------

ProdAPtrList* create_aptr_prodlist(int nitems) { return create<ProdAPtrList>(nitems); }

void clear_aptr_prodlist(ProdAPtrList* list, ProdPtrRelease release) { clear(list, release); }

void free_aptr_prodlist(ProdAPtrList* list, ProdPtrRelease release) {
  clear_aptr_prodlist(list, release);
  delete list;
}

void display_aptr_prodlist(const ProdAPtrList* list) {
  display(list, [&](int n, size_t i) {
    std::printf("Item %3d: (%s) %" PRIxPTR "\n", n, list->key[i].c_str(),
                reinterpret_cast<uintptr_t>(list->item[i]));
  });
}

ProdAPtrList* resize_aptr_prodlist(ProdAPtrList* list, int m) { return resized(list, m); }

int bsearch_aptr_prodlist(const ProdAPtrList* list, const Text& key) {
  if (list == nullptr || !key) return -1;
  return bsearch_slots(list->nitems, key_order(*list, key));
}

void* bupdate_aptr_prodlist(ProdAPtrList* list, const Text& key, void* ent) {
  if (list == nullptr || !key) return nullptr;
  int low;
  int high;
  int at = bisect(list->nitems, key_order(*list, key), low, high);
  if (at < 0) {
    at = high + 1;  // the scan runs out: after the window
    for (int i = low; i <= high; ++i) {
      if (list->key[static_cast<size_t>(i)].view().compare(key.view()) < 0) continue;
      at = i;
      break;
    }
  }
  if (at < list->nitems && list->key[static_cast<size_t>(at)].view() == key.view()) {
    // The slot keeps its own key; only the pointer changes.
    std::swap(list->item[static_cast<size_t>(at)], ent);
    return ent;
  }

  if (is_full(*list) && !grow(*list, list->delta)) return nullptr;
  open_slot(*list, at);
  list->key[static_cast<size_t>(at)] = key;
  list->item[static_cast<size_t>(at)] = ent;
  return nullptr;
}
