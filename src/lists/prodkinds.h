#pragma once
// The other growable list kinds of the list module, shaped like the pointer
// list (lists/prodlist.h): a count of used slots, a capacity, a growth step
// and one or two parallel slot arrays of equal capacity, whose slots move in
// pairs. Texts in slots are Text handles (absent allowed); clearing a list
// drops its texts (their bytes belong to their arena), numbers are held by
// value. Fields are public as in the pointer list, with the same invariant:
// 0 <= nitems <= maxitems == size of every slot array whenever storage
// exists.
//
// Common rules: create_* with a capacity n > 0 gives n slots in every array
// and delta n; with n <= 0 no storage, maxitems n and delta 10; null when
// memory is exhausted (nothing left allocated). Every resize sets the
// capacity to exactly the slot count asked for (the first min(old, new)
// slots keep their contents); when storage cannot be had, or the count is
// negative, the list is left exactly as it was. display_* print on standard
// output "display_list: Empty list\n" for a null list, else
// "%d Items in list:\n" and one line per used slot numbered from 1. Absent
// texts print as empty texts. free_* of a null list does nothing; a freed
// list is invalid afterwards.

#include <vector>

#include "lists/prodlist.h"
#include "model/text.h"

/// Texts, each with a description.
struct ProdList : ProdSlots {
  std::vector<Text> item;
  std::vector<Text> desc;
};

/// Texts.
struct ProdAlphaList : ProdSlots {
  std::vector<Text> item;
};

/// Signed numbers.
struct ProdNumList : ProdSlots {
  std::vector<long> item;
};

/// Unsigned numbers.
struct ProdUNumList : ProdSlots {
  std::vector<unsigned long> item;
};

/// Signed numbers, each with a text.
struct ProdANumList : ProdSlots {
  std::vector<long> num;
  std::vector<Text> alpha;
};

/// Untyped pointers, each under a key text.
struct ProdAPtrList : ProdSlots {
  std::vector<Text> key;
  std::vector<void*> item;
};

// Texts with descriptions. Clearing drops both texts of each used slot.
ProdList* create_prodlist(int nitems);
void free_prodlist(ProdList* list);
void clear_prodlist(ProdList* list);
/// One line "Item %3d: %s\t%s\n" (text, description) per slot.
void display_prodlist(const ProdList* list);
/// The list, or null for a null list or when the list cannot be resized.
ProdList* resize_prodlist(ProdList* list, int m);

// Texts.
ProdAlphaList* create_alpha_prodlist(int nitems);
void free_alpha_prodlist(ProdAlphaList* list);
void clear_alpha_prodlist(ProdAlphaList* list);
/// One line "Item %3d: %s\n" per slot.
void display_alpha_prodlist(const ProdAlphaList* list);
/// A null list is ignored; a failure leaves the list as it was.
void resize_alpha_prodlist(ProdAlphaList* list, int m);
/// Inserts `str` before the first greater text (byte order), scanning from
/// slot 0, unless an equal text is met first; a full list first grows by 10
/// slots, whatever its delta. The text itself is stored. A null list or an
/// absent text is ignored; so is a full list that cannot grow.
void insert_sorted_alpha_prodlist(ProdAlphaList* list, const Text& str);

// Signed numbers. Clearing only sets nitems to 0.
ProdNumList* create_num_prodlist(int nitems);
void free_num_prodlist(ProdNumList* list);
void clear_num_prodlist(ProdNumList* list);
/// One line "Item %3d: %ld\n" per slot.
void display_num_prodlist(const ProdNumList* list);
/// The list, or null for a null list or when the list cannot be resized.
ProdNumList* resize_num_prodlist(ProdNumList* list, int m);

// Unsigned numbers, as the signed ones.
ProdUNumList* create_unum_prodlist(int nitems);
void free_unum_prodlist(ProdUNumList* list);
void clear_unum_prodlist(ProdUNumList* list);
/// One line "Item %3d: %lu\n" per slot.
void display_unum_prodlist(const ProdUNumList* list);
ProdUNumList* resize_unum_prodlist(ProdUNumList* list, int m);

// Numbers with texts. Clearing drops the texts; the numbers stay in place.
ProdANumList* create_anum_prodlist(int nitems);
void free_anum_prodlist(ProdANumList* list);
void clear_anum_prodlist(ProdANumList* list);
/// One line "Item %3d: %ld\t%s\n" (number, text) per slot.
void display_anum_prodlist(const ProdANumList* list);
/// 1 when resized; 0 when the list is null or cannot be resized, and when
/// `m` is below nitems, which prints
/// "Attempting to shrink ProdANumList from %d to %d\n" (nitems, m) on the
/// error stream; the list is then unchanged.
int resize_anum_prodlist(ProdANumList* list, int m);
/// Sorts the pairs into ascending byte order of their texts (an absent text
/// orders as the empty one); pairs with equal texts keep their order.
void sort_anum_prodlist(ProdANumList* list);

// Pointers under keys. Clearing hands each non-null pointer of a used slot
// to `release` (pointers are left alone when it is null) and drops the keys.
ProdAPtrList* create_aptr_prodlist(int nitems);
void free_aptr_prodlist(ProdAPtrList* list, ProdPtrRelease release = nullptr);
void clear_aptr_prodlist(ProdAPtrList* list, ProdPtrRelease release = nullptr);
/// One line "Item %3d: (%s) " and the pointer in hexadecimal per slot.
void display_aptr_prodlist(const ProdAPtrList* list);
/// The list, or null for a null list or when the list cannot be resized.
ProdAPtrList* resize_aptr_prodlist(ProdAPtrList* list, int m);
/// The slot whose key equals `key` in a list kept in ascending byte order of
/// its keys; -1 when there is none, or for a null list or absent key.
int bsearch_aptr_prodlist(const ProdAPtrList* list, const Text& key);
/// Stores `ent` (null allowed) under `key` in a list kept in ascending byte
/// order of its keys. When the key is present, its slot's pointer is
/// replaced (the slot keeps its own key) and the old pointer returned;
/// otherwise `key` and `ent` go before the first greater key, a full list
/// first growing by delta, and null is returned. A null list, an absent key
/// or a full list that cannot grow change nothing and give null.
void* bupdate_aptr_prodlist(ProdAPtrList* list, const Text& key, void* ent);
