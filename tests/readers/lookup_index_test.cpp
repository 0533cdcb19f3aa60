// The merges of the teaching and positions reports find families and
// members through indexes; on lists full of duplicates and near-misses the
// indexes must answer exactly as the specified walks of the list do.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/lookup.h"
#include "readers/mis1313.h"
#include "support/rng.h"

namespace {

using testsupport::pick;
using testsupport::Rng;

const char* const kLast[] = {"SMITH", "Smith", "smith", "JONES", "JONES ", "Lee"};
const char* const kFirst[] = {"Ann", "ann", "Bo", "Bo ", "", "A"};
const char* const kPhone[] = {"555-0101", "555-0102", "555-0101 ", ""};
const char* const kRecno[] = {"R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8"};

WardFamily* ward(Rng& r, int n) {
  WardFamily* head = nullptr;
  WardFamily* tail = nullptr;
  for (int i = 0; i < n; ++i) {
    WardFamily* fam = create_ward_family();
    fam->lname = pick(r, kLast, 6);
    fam->phone = pick(r, kPhone, 4);
    fam->fname = Text(std::to_string(i));  // tells families apart
    for (uint32_t m = r.next(4); m > 0; --m) {
      WardMember* mem = create_ward_member();
      mem->lname = pick(r, kLast, 6);
      mem->fname = pick(r, kFirst, 6);
      mem->recno = pick(r, kRecno, 8);
      append_member(fam, mem);
    }
    (head == nullptr ? head : tail->next) = fam;
    tail = fam;
  }
  return head;
}

/// A printed name as the reports give it, now and then malformed.
Text printed_name(Rng& r) {
  switch (r.next(5)) {
    case 0: return Text();
    case 1: return pick(r, kLast, 6);  // no comma
    case 2: return Text(pick(r, kLast, 6).str() + ",");
    default: return Text(pick(r, kLast, 6).str() + ", " + pick(r, kFirst, 6).str());
  }
}

TEST(LookupIndex, MemberIndexAnswersAsTheWalks) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    Rng r{seed};
    WardFamily* list = ward(r, 60);
    MemberIndex index(list);
    for (int q = 0; q < 300; ++q) {
      Text name = printed_name(r);
      Text phone = pick(r, kPhone, 4);
      Text recno = pick(r, kRecno, 8);
      ASSERT_EQ(index.find_id_name(name, phone), find_id_name(list, name, phone))
          << "seed " << seed << " name " << str_or_null(name) << " phone " << str_or_null(phone);
      ASSERT_EQ(index.find_recno(recno), find_family_member_recno(list, recno)) << "seed " << seed;
    }
  }
  MemberIndex empty(nullptr);
  EXPECT_FALSE(empty.find_id_name("SMITH, Ann", Text()));
  EXPECT_EQ(empty.find_recno("R1"), nullptr);
}

TEST(LookupIndex, TeachingFamilyIndexAnswersAsTheWalk) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    Rng r{seed};
    WardFamily* list = ward(r, 40);
    TeachingFamilyIndex index(list);
    for (int q = 0; q < 200; ++q) {
      WardFamily entry;
      entry.lname = pick(r, kLast, 6);
      entry.fname = "Ann & Bo";
      entry.phone = pick(r, kPhone, 4);
      testing::internal::CaptureStderr();
      WardFamily* walked = find_family_mis1313(list, &entry);
      std::string walked_msg = testing::internal::GetCapturedStderr();
      testing::internal::CaptureStderr();
      WardFamily* indexed = index.find(&entry);
      std::string indexed_msg = testing::internal::GetCapturedStderr();
      ASSERT_EQ(indexed, walked) << "seed " << seed << " name " << str_or_null(entry.lname);
      ASSERT_EQ(indexed_msg, walked_msg);
    }
  }
}

}  // namespace
