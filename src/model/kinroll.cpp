#include "model/kinroll.h"

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
  copy->pos = pos->pos;
  copy->per = pos->per;
  copy->sus = pos->sus;
  copy->ph = pos->ph;
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

namespace {
// Byte order of two texts, an absent text ordering as the empty one.
int compare_text(const Text& a, const Text& b) {
  return a.view().compare(b.view());
}
}  // namespace

void insert_family(WardFamily* list, WardFamily* fam) {
  if (list == nullptr || fam == nullptr) return;
  WardFamily* cur = list;
  while (cur->next != nullptr) {
    const WardFamily* succ = cur->next;
    int c = compare_text(succ->lname, fam->lname);
    if (c == 0) {
      c = compare_text(succ->fname, fam->fname);
      if (c == 0) return;
    }
    if (c > 0) break;
    cur = cur->next;
  }
  fam->next = cur->next;
  cur->next = fam;
}

void append_member(WardFamily* fam, WardMember* mem) {
  if (!mem->lname) mem->lname = fam->lname;
  if (fam->members == nullptr) {
    fam->members = mem;
    return;
  }
  WardMember* last = fam->members;
  while (last->next != nullptr) last = last->next;
  last->next = mem;
}

void append_member_after(WardFamily* fam, WardMember*& last, WardMember* mem) {
  if (!mem->lname) mem->lname = fam->lname;
  if (last == nullptr) {
    fam->members = mem;
  } else {
    last->next = mem;
  }
  last = mem;
}

WardMember* last_member(WardFamily* fam) {
  WardMember* last = fam->members;
  while (last != nullptr && last->next != nullptr) last = last->next;
  return last;
}
