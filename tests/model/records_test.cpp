#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "model/arena.h"
#include "model/kinroll.h"

namespace {

WardFamily* family(const char* lname, const char* fname) {
  WardFamily* f = create_ward_family();
  f->lname = lname;
  f->fname = fname;
  return f;
}

std::string names(const WardFamily* list) {
  std::string out;
  for (; list != nullptr; list = list->next) out += list->lname.str() + "/" + list->fname.str() + " ";
  return out;
}

TEST(Records, NewRecordsAreZero) {
  WardMember* m = create_ward_member();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->bday[0], '\0');
  EXPECT_EQ(m->bmonth[0], '\0');
  EXPECT_EQ(m->byear[0], '\0');
  EXPECT_EQ(m->age, 0);
  EXPECT_FALSE(m->lname.has_value());
  EXPECT_EQ(m->pos, nullptr);
}

TEST(Records, AppendMemberSharesTheFamilyNameByValue) {
  WardFamily* f = family("OAKLEY", "Dana");
  WardMember* head = create_ward_member();
  WardMember* child = create_ward_member();
  child->lname = "BIRCH";
  append_member(f, head);
  append_member(f, child);
  EXPECT_EQ(f->members, head);
  EXPECT_EQ(head->next, child);
  EXPECT_EQ(head->lname, "OAKLEY");
  EXPECT_EQ(child->lname, "BIRCH");
  f->lname = "CHANGED";  // the member keeps its own copy
  EXPECT_EQ(head->lname, "OAKLEY");
}

TEST(Records, AppendFamilyKeepsTheAppendedChain) {
  WardFamily* a = family("A", "a");
  WardFamily* b = family("B", "b");
  WardFamily* c = family("C", "c");
  b->next = c;
  append_family(a, b);
  EXPECT_EQ(names(a), "A/a B/b C/c ");
}

TEST(Records, InsertFamilyOrdersAfterTheFirstRecord) {
  WardFamily* list = family("MILLER", "Ann");
  insert_family(list, family("ZANE", "Bo"));
  insert_family(list, family("ABBOT", "Cy"));  // sorts first but never displaces the head
  insert_family(list, family("MILLER", "Zed"));
  insert_family(list, family("MILLER", "Bea"));
  EXPECT_EQ(names(list), "MILLER/Ann ABBOT/Cy MILLER/Bea MILLER/Zed ZANE/Bo ");
  WardFamily* dup = family("MILLER", "Bea");
  insert_family(list, dup);
  EXPECT_EQ(names(list), "MILLER/Ann ABBOT/Cy MILLER/Bea MILLER/Zed ZANE/Bo ");
  EXPECT_EQ(dup->next, nullptr);
  // The first record is not compared: a family with its names goes among the rest.
  insert_family(list, family("MILLER", "Ann"));
  EXPECT_EQ(names(list), "MILLER/Ann ABBOT/Cy MILLER/Ann MILLER/Bea MILLER/Zed ZANE/Bo ");
  WardFamily* last = list;
  while (last->next != nullptr) last = last->next;
  EXPECT_EQ(last->lname.str(), "ZANE");
}

TEST(Records, InsertFamilyComparesBytes) {
  WardFamily* list = family("M", "m");
  insert_family(list, family("b", "x"));
  insert_family(list, family("C", "x"));  // upper case orders before lower case
  EXPECT_EQ(names(list), "M/m C/x b/x ");
}

TEST(Records, CloneWardPosCopiesTextsButNotRecno) {
  WardOrg* org = create_ward_org();
  WardPos* p = create_ward_pos(org);
  p->pos = "Clerk";
  p->recno = "000-1111-2222";
  p->next = create_ward_pos(org);
  WardPos* c = clone_ward_pos(p);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->org, org);
  EXPECT_EQ(c->pos, "Clerk");
  EXPECT_FALSE(c->per.has_value());
  EXPECT_FALSE(c->sus.has_value());
  EXPECT_FALSE(c->ph.has_value());
  EXPECT_FALSE(c->recno.has_value());
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(clone_ward_pos(nullptr), nullptr);
}

TEST(Records, TeachSetViewsTheHomeOrTheVisitingFields) {
  WardFamily* f = family("OAKLEY", "Dana");
  f->htgroup = 2, f->htsup = 3, f->htdist = 4, f->htpct = 50;
  f->vtgroup = 5, f->vtsup = 6, f->vtdist = 7, f->vtpct = 75;
  TeachSet ht = teach_set(f, true);
  EXPECT_EQ(std::tuple(ht.group, ht.sup, ht.dist, ht.pct), std::tuple(2, 3, 4, 50));
  EXPECT_EQ(&ht.name, &f->htname);
  EXPECT_EQ(&ht.comp, &f->htcomp);
  EXPECT_EQ(&ht.id, &f->htid);
  EXPECT_EQ(&ht.compid, &f->htcompid);
  EXPECT_EQ(&ht.visits, &f->htvisits);
  TeachSet vt = teach_set(f, false);
  EXPECT_EQ(std::tuple(vt.group, vt.sup, vt.dist, vt.pct), std::tuple(5, 6, 7, 75));
  EXPECT_EQ(&vt.name, &f->vtname);
  EXPECT_EQ(&vt.comp, &f->vtcomp);
  EXPECT_EQ(&vt.id, &f->vtid);
  EXPECT_EQ(&vt.compid, &f->vtcompid);
  EXPECT_EQ(&vt.visits, &f->vtvisits);
}

TEST(Records, FreeHandsRecordsBackToTheArena) {
  Arena& arena = Arena::global();
  size_t before = arena.size();
  WardFamily* f = family("GONE", "Soon");
  append_member(f, create_ward_member());
  append_member(f, create_ward_member());
  EXPECT_EQ(arena.size(), before + 3);
  free_ward_family(f);
  EXPECT_EQ(arena.size(), before);

  WardOrg* org = create_ward_org();
  org->pos = create_ward_pos(org);
  org->pos->next = create_ward_pos(org);
  org->next = create_ward_org();
  free_ward_org(org);
  EXPECT_EQ(arena.size(), before);
}

}  // namespace
