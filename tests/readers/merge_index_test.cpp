// The merges find their entries through indexes built once; they must pick
// exactly the entry that a scan of the whole list picks (find_family_mis232,
// find_member_recno): the first match in list order, among duplicates and
// near-misses.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "readers/mis232.h"
#include "readers/mis239.h"
#include "support/rng.h"

namespace {

using testsupport::Rng;

const char* const kLast[] = {"SMITH", "Smith", "JONES", "LEE", "LEE "};
const char* const kFirst[] = {"Ann", "ann", "Bo", "Bo ", ""};
const char* const kAddr[] = {"1 Elm St", "1 Elm  St", "2 Oak Rd", ""};

using testsupport::pick;

WardFamily* families(Rng& r, int n, int tag) {
  WardFamily* head = nullptr;
  WardFamily* tail = nullptr;
  for (int i = 0; i < n; ++i) {
    WardFamily* fam = create_ward_family();
    fam->lname = pick(r, kLast, 5);
    fam->fname = pick(r, kFirst, 5);
    fam->addr = pick(r, kAddr, 4);
    fam->acode = Text(std::to_string(tag) + "-" + std::to_string(i));
    if (r.next(10) == 0) fam->sname = "OTHER";
    WardMember* mem = create_ward_member();
    if (r.next(8) != 0) mem->recno = Text("R" + std::to_string(r.next(40)));
    mem->birth = Text("B" + std::to_string(tag) + "-" + std::to_string(i));
    fam->members = mem;
    (head == nullptr ? head : tail->next) = fam;
    tail = fam;
  }
  return head;
}

WardMember* members_of(const WardFamily* list) {
  WardMember* head = nullptr;
  WardMember* tail = nullptr;
  for (; list != nullptr; list = list->next) {
    WardMember* copy = create_ward_member();
    copy->recno = list->members->recno;
    copy->birth = list->members->birth;
    (head == nullptr ? head : tail->next) = copy;
    tail = copy;
  }
  return head;
}

TEST(MergeIndex, FamilyListingMatchesTheScan) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Rng r{seed};
    WardFamily* ward = families(r, 200, 0);
    const WardFamily* listing = families(r, 200, 1);
    std::vector<Text> expected;
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
      const WardFamily* e = fam->sname ? nullptr : find_family_mis232(listing, fam);
      expected.push_back(e != nullptr ? e->acode : fam->acode);
    }
    testing::internal::CaptureStdout();
    merge_232(ward, listing);
    std::string out = testing::internal::GetCapturedStdout();
    size_t i = 0, misses = 0;
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next, ++i) {
      EXPECT_EQ(fam->acode, expected[i]) << "seed " << seed << " family " << i;
      if (!fam->sname && find_family_mis232(listing, fam) == nullptr) ++misses;
    }
    size_t lines = 0;
    for (char c : out) lines += c == '\n';
    EXPECT_EQ(lines, misses);
  }
}

TEST(MergeIndex, RecordNumbersMatchTheScan) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Rng r{seed};
    WardFamily* ward = families(r, 150, 0);
    const WardMember* numbers = members_of(families(r, 150, 1));
    std::vector<Text> expected;
    RecordNumbers index(numbers);
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
      const WardMember* e = find_member_recno(numbers, fam->members->recno);
      EXPECT_EQ(index.find(fam->members->recno), e) << "seed " << seed;
      expected.push_back(e != nullptr ? e->birth : fam->members->birth);
    }
    EXPECT_EQ(index.find(Text()), nullptr);
    testing::internal::CaptureStderr();
    merge_239(ward, numbers);
    testing::internal::GetCapturedStderr();
    size_t i = 0;
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next, ++i) {
      EXPECT_EQ(fam->members->birth, expected[i]) << "seed " << seed << " family " << i;
    }
  }
}

}  // namespace
