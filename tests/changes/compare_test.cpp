// The changes found between two paired printouts: which kinds are told for
// which differences, what is not told twice, and the order of the chain.

#include "changes/compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/build.h"
#include "model/arena.h"
#include "model/warderr.h"

namespace {

using changestest::household;
using changestest::member;
using changestest::see_entry;

const char* const kKind[] = {"in", "out", "added", "gone", "moved", "address", "phone", "name", "note"};

/// The chain as "kind NAME, First" lines, the name the change is sorted by.
std::vector<std::string> summary(const WardChange* c) {
  std::vector<std::string> out;
  for (; c != nullptr; c = c->next) {
    std::string s = kKind[static_cast<int>(c->kind)];
    const WardMember* mem = c->kind == ChangeKind::kMemberGone ? c->old_mem : c->new_mem;
    const WardFamily* fam = c->kind == ChangeKind::kMovedOut ? c->old_fam : c->new_fam;
    s += " " + (mem != nullptr ? mem->lname.str() + ", " + mem->fname.str()
                               : fam->lname.str() + ", " + fam->fname.str());
    if (c->note != nullptr) s += ": " + c->note->msg.str();
    out.push_back(s);
  }
  return out;
}

std::vector<std::string> compare(const WardFamily* before, const WardFamily* now) {
  return summary(compare_directories(match_directories(before, now)));
}

TEST(CompareDirectories, SameListsHaveNoChanges) {
  WardFamily* a = nullptr;
  WardFamily* b = nullptr;
  for (WardFamily** list : {&a, &b}) {
    WardFamily* f = household(*list, "ASH", {{"Al", "1"}, {"Bea", "", "01Jan20"}});
    f->addr = "1 Elm";
    f->phone = "555-0101";
    add_fam_err(f, "Missing zip code");
    add_mem_err(f->members, "Invalid sex");
    see_entry(*list, "WHIT", "ASH");
  }
  EXPECT_EQ(compare_directories(match_directories(a, b)), nullptr);
  EXPECT_EQ(compare_directories(match_directories(nullptr, nullptr)), nullptr);
}

TEST(CompareDirectories, HouseholdsMovingAreOneChangeEach) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  household(before, "GONE", {{"Gus", "1"}, {"Gia", "2"}});
  household(now, "NEWT", {{"Ned", "3"}, {"Nia", "4"}});
  // Moved in and out, not added or gone member by member.
  EXPECT_EQ(compare(before, now), (std::vector<std::string>{"in NEWT, Ned", "out GONE, Gus"}));
  // Every family of a first printout moved in.
  EXPECT_EQ(compare(nullptr, now), std::vector<std::string>{"in NEWT, Ned"});
}

TEST(CompareDirectories, MoveIntoAHouseholdNewToTheWard) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  household(before, "KING", {{"Nat", "1"}, {"Em", "2"}, {"Jake", "3"}});
  household(now, "KING", {{"Nat", "1"}, {"Em", "2"}});
  household(now, "KING", {{"Jake", "3"}, {"Zoe", "9", "", 0, 2}});
  // Jake's own household moved in (with his bride); he moved, he is not gone.
  EXPECT_EQ(compare(before, now),
            (std::vector<std::string>{"in KING, Jake", "moved KING, Jake"}));
}

TEST(CompareDirectories, AddressPhoneAndNameOfContinuingHouseholds) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* a = household(before, "PETT", {{"Kyle", "1"}, {"Meg", "2", "", 0, 2}});
  a->addr = "340 Main";
  a->addr2 = "Apt 3";
  a->city = "Alder";
  a->phone = "555-0196";
  WardFamily* b = household(now, "PETT", {{"Kyle", "1"}, {"Meg", "2", "", 0, 2}});
  b->addr = "1822 Hill";
  b->city = "Alder";
  b->phone = "555-0196";
  WardFamily* c = household(before, "DUV", {{"Steve", "3"}});
  c->addr = "233 Poplar";
  WardFamily* d = household(now, "DUV", {{"Steve", "3"}});
  d->addr = "233 Poplar";
  d->phone = "555-0110";
  // An empty phone prints as an absent one: no change to tell.
  WardFamily* e = household(before, "EMPT", {{"Eli", "7"}});
  e->phone = "";
  household(now, "EMPT", {{"Eli", "7"}});
  household(before, "CALL", {{"Becca", "4"}, {"Josh", "5"}});
  household(now, "BRENN", {{"Adam", "6"}, {"Becca", "4", "", 0, 2}, {"Josh", "5"}});
  EXPECT_EQ(compare(before, now),
            (std::vector<std::string>{"added BRENN, Adam", "address PETT, Kyle", "phone DUV, Steve",
                                      "name BRENN, Becca", "name BRENN, Josh"}));
}

TEST(CompareDirectories, OnlyNotesTheOlderRecordLacked) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* a = household(before, "FAIR", {{"Curt", "1"}, {"Jan", "2"}});
  add_fam_err(a, "Missing comma after city");
  add_mem_err(member(a, "Jan"), "Invalid sex");
  WardFamily* b = household(now, "FAIR", {{"Curt", "1"}, {"Jan", "2"}});
  add_fam_err(b, "Missing comma after city");
  add_fam_err(b, "Missing zip code");
  add_mem_err(member(b, "Jan"), "Invalid sex");
  add_mem_err(member(b, "Curt"), "Invalid birth day");
  WardFamily* c = household(now, "AXEL", {{"Ty", "7"}});
  add_fam_err(c, "Bad Phone Number format");
  WardFamily* x = see_entry(now, "ODD", "");
  add_fam_err(x, "Last name has paren");
  WardFamily* y = see_entry(before, "ODD", "");
  add_fam_err(y, "Last name has paren");
  WardFamily* z = see_entry(now, "NEW", "");
  add_fam_err(z, "Last name has paren");
  EXPECT_EQ(compare(before, now),
            (std::vector<std::string>{"in AXEL, Ty", "note AXEL, Ty: Bad Phone Number format",
                                      "note FAIR, Curt: Missing zip code",
                                      "note FAIR, Curt: Invalid birth day",
                                      "note NEW, : Last name has paren"}));
  // The member's note is told with its family.
  const WardChange* c1 = compare_directories(match_directories(before, now));
  while (c1 != nullptr && !(c1->note != nullptr && c1->note->msg == "Invalid birth day")) c1 = c1->next;
  ASSERT_NE(c1, nullptr);
  EXPECT_EQ(c1->new_fam, b);
  EXPECT_EQ(c1->new_mem, member(b, "Curt"));
}

TEST(CompareDirectories, SortedByKindThenNameThenPrintoutOrder) {
  WardFamily* now = nullptr;
  household(now, "MOSS", {{"Zed", "1"}});
  household(now, "ABEL", {{"Zed", "2"}});
  household(now, "MOSS", {{"Amy", "3"}});
  household(now, "ABEL", {{"Zed", "4"}, {"Kid", "5"}});
  WardFamily* before = nullptr;
  household(before, "CRUZ", {{"Al", "6"}});
  household(before, "BOND", {{"Al", "7"}});
  EXPECT_EQ(compare(before, now),
            (std::vector<std::string>{"in ABEL, Zed", "in ABEL, Zed", "in MOSS, Amy", "in MOSS, Zed",
                                      "out BOND, Al", "out CRUZ, Al"}));
  const WardChange* c = compare_directories(match_directories(before, now));
  EXPECT_EQ(c->new_fam->members->recno, "2");  // the earlier of the two ABEL, Zed
  EXPECT_EQ(count_changes(c, ChangeKind::kMovedIn), 4);
  EXPECT_EQ(count_changes(c, ChangeKind::kMovedOut), 2);
  EXPECT_EQ(count_changes(c, ChangeKind::kNote), 0);
}

TEST(CompareDirectories, ChangesLiveInTheCurrentArena) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  household(now, "ASH", {{"Al", "1"}});
  Arena arena;
  ArenaScope scope(arena);
  WardChange* c = compare_directories(match_directories(before, now));
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(arena.holds(c));
}

TEST(ChangeFamilyAndMember, TheNewerRecordUnlessOnlyTheOlderIsThere) {
  WardFamily* list = nullptr;
  WardFamily* was = household(list, "OLD", {{"Al", "1"}});
  WardFamily* is = household(list, "NEW", {{"Bo", "2"}});
  WardChange gone{.kind = ChangeKind::kMemberGone, .old_fam = was, .old_mem = was->members};
  EXPECT_EQ(change_family(&gone), was);
  EXPECT_EQ(change_member(&gone), was->members);
  WardChange moved{.kind = ChangeKind::kMemberMoved,
                   .old_fam = was,
                   .new_fam = is,
                   .old_mem = was->members,
                   .new_mem = is->members};
  EXPECT_EQ(change_family(&moved), is);
  EXPECT_EQ(change_member(&moved), is->members);
  WardChange phone{.kind = ChangeKind::kPhone, .old_fam = was, .new_fam = is};
  EXPECT_EQ(change_family(&phone), is);
  EXPECT_EQ(change_member(&phone), nullptr);
}

}  // namespace
