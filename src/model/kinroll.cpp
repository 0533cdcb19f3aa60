#include "model/kinroll.h"

#include <utility>

#include "model/arena.h"

WardFamily* create_ward_family() { return Arena::current().make<WardFamily>(); }
WardMember* create_ward_member() { return Arena::current().make<WardMember>(); }
WardErr* create_ward_err() { return Arena::current().make<WardErr>(); }
WardFam* create_ward_fam() { return Arena::current().make<WardFam>(); }
WardMem* create_ward_mem() { return Arena::current().make<WardMem>(); }
WardOrg* create_ward_org() { return Arena::current().make<WardOrg>(); }

WardPos* create_ward_pos(WardOrg* org) {
  WardPos* pos = Arena::current().make<WardPos>();
  if (pos != nullptr) pos->org = org;
  return pos;
}

WardPos* clone_ward_pos(const WardPos* pos) {
  if (pos == nullptr) return nullptr;
  WardPos* copy = create_ward_pos(pos->org);
  if (copy == nullptr) return nullptr;
  *copy = *pos;
  copy->next = nullptr;
  copy->recno = Text();
  return copy;
}

void free_ward_family(WardFamily* fam) {
  if (fam == nullptr) return;
  WardMember* mem = fam->members;
  while (mem != nullptr) {
    WardMember* next = mem->next;
    free_ward_member(mem);
    mem = next;
  }
  Arena::current().release(fam);
}

void free_ward_member(WardMember* mem) { Arena::current().release(mem); }
void free_ward_err(WardErr* err) { Arena::current().release(err); }
void free_ward_fam(WardFam* fam) { Arena::current().release(fam); }
void free_ward_mem(WardMem* mem) { Arena::current().release(mem); }

void free_ward_pos(WardPos* pos) {
  while (pos != nullptr) {
    WardPos* next = pos->next;
    Arena::current().release(pos);
    pos = next;
  }
}

void free_ward_org(WardOrg* org) {
  while (org != nullptr) {
    WardOrg* next = org->next;
    free_ward_pos(org->pos);
    Arena::current().release(org);
    org = next;
  }
}

void append_family(WardFamily* list, WardFamily* fam) {
  while (list->next != nullptr) list = list->next;
  list->next = fam;
}

void insert_family(WardFamily* list, WardFamily* fam) {
  if (list == nullptr || fam == nullptr) return;
  // Byte order of last names, then first names; an absent name orders as "".
  const auto names = std::pair(fam->lname.view(), fam->fname.view());
  WardFamily* cur = list;
  for (; cur->next != nullptr; cur = cur->next) {
    auto order = std::pair(cur->next->lname.view(), cur->next->fname.view()) <=> names;
    if (order == 0) return;
    if (order > 0) break;
  }
  fam->next = cur->next;
  cur->next = fam;
}

void append_member(WardFamily* fam, WardMember* mem) {
  WardMember* last = last_member(fam);
  append_member_after(fam, last, mem);
}

void append_member_after(WardFamily* fam, WardMember*& last, WardMember* mem) {
  if (!mem->lname) mem->lname = fam->lname;
  (last == nullptr ? fam->members : last->next) = mem;
  last = mem;
}

WardMember* last_member(WardFamily* fam) {
  WardMember* last = fam->members;
  while (last != nullptr && last->next != nullptr) last = last->next;
  return last;
}
