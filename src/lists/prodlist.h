#pragma once
// A growable array of untyped pointers, optionally kept in ascending order
// by a caller's comparison function.
//
// The four fields are public: callers may append by storing into slot
// `nitems` and counting it, or preset every slot and set `nitems` to
// `maxitems`. They must keep 0 <= nitems <= maxitems == item.size() whenever
// storage exists.

#include <vector>

/// The counts that every list kind keeps beside its slot arrays.
struct ProdSlots {
  int nitems = 0;    // slots in use: 0 .. nitems-1
  int maxitems = 0;  // slots allocated (may be <= 0 before any storage)
  int delta = 0;     // slots added when an insertion finds the list full
};

/// A growable list of untyped pointers.
struct ProdPtrList : ProdSlots {
  std::vector<void*> item;  // slot storage; empty while none is allocated
};

/// Orders two elements: negative, zero or positive as `a` orders before,
/// equal to or after `b`. Must be antisymmetric, since both argument orders
/// are used.
using ProdPtrCompare = int (*)(const void* a, const void* b);

/// Releases one element of a list.
using ProdPtrRelease = void (*)(void* ent);

/// A new list with `nitems` null slots, `maxitems` = `delta` = `nitems`; for
/// `nitems` <= 0, no storage, `maxitems` = `nitems` and `delta` = 10.
/// Returns null when memory is exhausted. The caller owns the list and gives
/// it back with free_ptr_prodlist.
ProdPtrList* create_ptr_prodlist(int nitems);

/// Sets the capacity of `list` to exactly `m` slots; the first min(old, m)
/// slots keep their contents, new slots are null. Returns `list`, or null
/// (leaving the list as it was) when `list` is null, `m` is negative or
/// memory is exhausted. Shrinking below `nitems` is the caller's concern.
/// Slot references into the list are invalidated by a successful resize.
ProdPtrList* resize_ptr_prodlist(ProdPtrList* list, int m);

/// Appends `ent` after the last used slot of `list` (not null). A full list
/// first grows by `delta` slots (a `delta` of 0 or less is set to 10 first).
/// When the list cannot grow, `ent` is not stored and the list is unchanged.
void add_ptr_prodlist(ProdPtrList* list, void* ent);

/// Hands each non-null element in the used slots to `release` (elements are
/// left alone when `release` is null), then sets `nitems` to 0; the storage
/// stays. A null list is ignored.
void clear_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release = nullptr);

/// Clears `list` as clear_ptr_prodlist does, then deletes its storage and the
/// list itself. A null list is ignored. `list` is invalid afterwards.
void free_ptr_prodlist(ProdPtrList* list, ProdPtrRelease release = nullptr);

/// Prints the item count and each used slot's pointer value, in hexadecimal,
/// on standard output; for a null list "display_list: Empty list".
void display_ptr_prodlist(const ProdPtrList* list);

/// The slot of an element that compares equal to `ent` in a list kept in
/// ascending order by `strcmp`; -1 when there is none, or when `list` or
/// `strcmp` is null. `ent` is passed as the comparison's first argument.
int bsearch_ptr_prodlist(const ProdPtrList* list, const void* ent, ProdPtrCompare strcmp);

/// Adds `ent` to a list kept in ascending order by `strcmp`. An equal element
/// is replaced in its slot and returned (the caller decides its fate);
/// otherwise `ent` goes before the first greater element (or last), growing
/// a full list by `delta`, and null is returned. Does nothing and returns
/// null when `list`, `ent` or `strcmp` is null, or when a full list cannot
/// grow (then `ent` is not stored).
void* bupdate_ptr_prodlist(ProdPtrList* list, void* ent, ProdPtrCompare strcmp);
