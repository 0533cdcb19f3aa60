// Pairing two directory printouts: members by record number, else by name
// and birth date; households by head, head and spouse, name, then shared
// members. Each test builds the older and newer lists by hand.

#include "changes/match.h"

#include <gtest/gtest.h>

#include "changes/build.h"

namespace {

using changestest::household;
using changestest::member;
using changestest::see_entry;

/// The household of `side` whose record is `fam`; -1 when none.
int index_of(const MatchSide& side, const WardFamily* fam) {
  for (size_t i = 0; i < side.families.size(); ++i) {
    if (side.families[i].fam == fam) return static_cast<int>(i);
  }
  return -1;
}

/// The member of the newer side paired with `old_mem`; null when none.
const WardMember* partner(const DirectoryMatch& m, const WardMember* old_mem) {
  for (const MatchMember& om : m.old_side.members) {
    if (om.mem == old_mem) return om.other < 0 ? nullptr : m.new_side.members[om.other].mem;
  }
  ADD_FAILURE() << "not an older member";
  return nullptr;
}

/// The household of the newer side paired with `old_fam`; null when none.
const WardFamily* partner(const DirectoryMatch& m, const WardFamily* old_fam) {
  int i = index_of(m.old_side, old_fam);
  EXPECT_GE(i, 0) << "not an older household";
  if (i < 0) return nullptr;
  int o = m.old_side.families[i].other;
  return o < 0 ? nullptr : m.new_side.families[o].fam;
}

TEST(RealRecno, PseudoNumbersAndBlanksAreNoRecordNumber) {
  WardMember mem;
  EXPECT_EQ(real_recno(&mem), "");
  mem.recno = "999-9999-0042";
  EXPECT_EQ(real_recno(&mem), "");
  mem.recno = "999-9999-0042 ";  // still the reader's own
  EXPECT_EQ(real_recno(&mem), "");
  mem.recno = " 041-2287-5530  ";
  EXPECT_EQ(real_recno(&mem), "041-2287-5530");
  mem.recno = "999-9999-004";  // not of the reader's form: printed so
  EXPECT_EQ(real_recno(&mem), "999-9999-004");
  mem.recno = "999-9999-00x2";
  EXPECT_EQ(real_recno(&mem), "999-9999-00x2");
}

TEST(MatchMembers, RecordNumbersPairAcrossFamiliesAndNames) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* a = household(before, "ASHBY", {{"Lena", "100-0000-0001"}, {"Tom", "100-0000-0002"}});
  WardFamily* b = household(now, "CORWIN", {{"Lena", "100-0000-0001"}});
  WardFamily* c = household(now, "ASHBY", {{"Tommy", "100-0000-0002"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, member(a, "Lena")), member(b, "Lena"));
  EXPECT_EQ(partner(m, member(a, "Tom")), member(c, "Tommy"));
}

TEST(MatchMembers, PseudoNumbersNeverPairButNameAndBirthDoes) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  // Both printouts lack a number for their first member: the reader gives
  // both 999-9999-0001, yet they are different people.
  WardFamily* a = household(before, "BELL", {{"Ada", "999-9999-0001", "01Jan90"},
                                             {"Cy", "999-9999-0002", "02Feb20"}});
  WardFamily* b = household(now, "BELL", {{"Bo", "999-9999-0001", "01Jan90"},
                                          {"Cy", "130-0000-0009", "02Feb20"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, member(a, "Ada")), nullptr);
  // A newborn who got a record number is the same child.
  EXPECT_EQ(partner(m, member(a, "Cy")), member(b, "Cy"));
}

TEST(MatchMembers, SameNameAndBirthWithDifferentRecordNumbersAreTwoPeople) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* a = household(before, "DALE", {{"Jo", "200-0000-0001", "05May80"},
                                             {"Kit", "", "01Jan01"}, {"Kit", "", "01Jan01"}});
  WardFamily* b = household(now, "DALE", {{"Jo", "200-0000-0002", "05May80"},
                                          {"Kit", "", "01Jan01"}, {"Kit", "", "01Jan01"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, member(a, "Jo")), nullptr);
  // Twins of the same name pair in printout order, each once.
  const WardMember* kit1 = a->members->next;
  const WardMember* kit2 = kit1->next;
  EXPECT_EQ(partner(m, kit1), b->members->next);
  EXPECT_EQ(partner(m, kit2), b->members->next->next);
  // Birth dates that differ keep people apart.
  WardFamily* c = nullptr;
  WardFamily* d = nullptr;
  household(c, "EAST", {{"Al", "", "01Jan01"}});
  household(d, "EAST", {{"Al", "", "01Jan02"}});
  DirectoryMatch m2 = match_directories(c, d);
  EXPECT_EQ(m2.old_side.members[0].other, -1);
}

TEST(MatchFamilies, TwoFamiliesOfTheSameNameKeepTheirHeads) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* s1 = household(before, "SMITH", {{"John", "300-0000-0001"}, {"Ann", "300-0000-0002"}});
  WardFamily* s2 = household(before, "SMITH", {{"John", "300-0000-0003"}});
  WardFamily* n2 = household(now, "SMITH", {{"John", "300-0000-0003"}});
  WardFamily* n1 = household(now, "SMITH", {{"John", "300-0000-0001"}, {"Ann", "300-0000-0002"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, s1), n1);
  EXPECT_EQ(partner(m, s2), n2);
}

TEST(MatchFamilies, HeadWhoDiedOrMarriedInGoesThroughTheSpouse) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  WardFamily* widow = household(before, "LUND", {{"Hal", "400-0000-0001"},
                                                 {"Eve", "400-0000-0002", "", 0, 2}});
  WardFamily* single = household(before, "CROSS", {{"Rita", "400-0000-0003"},
                                                   {"Joe", "400-0000-0004"}});
  WardFamily* eve = household(now, "LUND", {{"Eve", "400-0000-0002"}});
  // Rita married Adam, who moved in: the family goes by his name now.
  WardFamily* adam = household(now, "BRENT", {{"Adam", "400-0000-0005"},
                                              {"Rita", "400-0000-0003", "", 0, 2},
                                              {"Joe", "400-0000-0004"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, widow), eve);
  EXPECT_EQ(partner(m, single), adam);
}

TEST(MatchFamilies, ByNameOnlyWhenNoHeadIsKnownElsewhere) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  // Heads without record numbers whose birth date was corrected.
  WardFamily* a = household(before, "NOLL", {{"Pat", "", "01Jan60"}});
  WardFamily* b = household(now, "NOLL", {{"Pat", "", "01Jan61"}});
  // Two heads of one name with different record numbers: two families.
  WardFamily* c = household(before, "ORR", {{"Sam", "500-0000-0001"}});
  household(now, "ORR", {{"Sam", "500-0000-0002"}});
  // A head without a number may be the one who has one now.
  WardFamily* e = household(before, "PYLE", {{"Max", "", "03Mar33"}});
  WardFamily* f = household(now, "PYLE", {{"Max", "500-0000-0009", "03Mar34"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, a), b);
  EXPECT_EQ(partner(m, c), nullptr);
  EXPECT_EQ(partner(m, e), f);
}

TEST(MatchFamilies, ThroughSharedMembersWhenAtLeastHalfStayed) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  // The father died; the grandmother took in the three children.
  WardFamily* kids = household(before, "QUILL", {{"Dan", "600-0000-0001"},
                                                 {"Amy", "600-0000-0002"},
                                                 {"Ben", "600-0000-0003"},
                                                 {"Cal", "600-0000-0004"}});
  WardFamily* gran = household(now, "ROSS", {{"Vera", "600-0000-0009"},
                                             {"Amy", "600-0000-0002"},
                                             {"Ben", "600-0000-0003"},
                                             {"Cal", "600-0000-0004"}});
  // A family that moved out but for one son, who has a household of his own.
  WardFamily* gone = household(before, "SELL", {{"Ike", "600-0000-0011"},
                                                {"Uma", "600-0000-0012"},
                                                {"Val", "600-0000-0013"},
                                                {"Wes", "600-0000-0014"}});
  household(now, "SELL", {{"Wes", "600-0000-0014"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, kids), gran);
  EXPECT_EQ(partner(m, gone), nullptr);
}

TEST(MatchFamilies, HeadBeforeSpouseBeforeMembers) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  // John stays in his own household; Mary takes the children elsewhere.
  WardFamily* old_fam = household(before, "TATE", {{"John", "700-0000-0001"},
                                                   {"Mary", "700-0000-0002", "", 0, 2},
                                                   {"Ivy", "700-0000-0003"},
                                                   {"Ned", "700-0000-0004"}});
  household(now, "TATE", {{"Mary", "700-0000-0002"}, {"Ivy", "700-0000-0003"},
                          {"Ned", "700-0000-0004"}});
  WardFamily* john = household(now, "TATE", {{"John", "700-0000-0001"}});
  DirectoryMatch m = match_directories(before, now);
  EXPECT_EQ(partner(m, old_fam), john);
  // Pairs are symmetric and each family is taken once.
  int taken = 0;
  for (const MatchFamily& f : m.new_side.families) taken += f.other >= 0;
  EXPECT_EQ(taken, 1);
}

TEST(MatchFamilies, CrossReferencesAreEntriesPairedByName) {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;
  household(before, "ASH", {{"Al", "800-0000-0001"}});
  see_entry(before, "WHIT", "ASH");
  see_entry(before, "YORK", "ASH");
  see_entry(now, "YORK", "ASH");
  see_entry(now, "WHIT", "BRENT");
  household(now, "ASH", {{"Al", "800-0000-0001"}});
  DirectoryMatch m = match_directories(before, now);
  ASSERT_EQ(m.old_side.entries.size(), 2u);
  ASSERT_EQ(m.new_side.families.size(), 1u);
  EXPECT_EQ(m.old_side.entries[0].other, -1);  // WHIT refers elsewhere now
  EXPECT_EQ(m.old_side.entries[1].other, 0);
  EXPECT_EQ(m.new_side.entries[0].other, 1);
  EXPECT_EQ(m.new_side.families[0].other, 0);
}

TEST(MatchFamilies, EmptyListsPairNothing) {
  WardFamily* now = nullptr;
  household(now, "ASH", {{"Al", "800-0000-0001"}});
  DirectoryMatch m = match_directories(nullptr, now);
  EXPECT_TRUE(m.old_side.families.empty());
  EXPECT_EQ(m.new_side.families[0].other, -1);
  EXPECT_EQ(m.new_side.members[0].other, -1);
  DirectoryMatch none = match_directories(nullptr, nullptr);
  EXPECT_TRUE(none.new_side.members.empty());
}

}  // namespace
