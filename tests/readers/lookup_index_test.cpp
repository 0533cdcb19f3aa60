// The merges of the teaching and positions reports find families and
// members through indexes; on lists full of duplicates and near-misses the
// indexes must answer exactly as the walks of the whole list do
// (find_id_name, find_member_mis121, find_family_mis1313).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/lookup.h"
#include "readers/mis121.h"
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
      ASSERT_EQ(index.find_id_name(name, phone), find_id_name(list, name, phone))
          << "seed " << seed << " name " << str_or_null(name) << " phone " << str_or_null(phone);
    }
  }
  MemberIndex empty(nullptr);
  EXPECT_FALSE(empty.find_id_name("SMITH, Ann", Text()));
}

TEST(LookupIndex, PositionsGoToTheHoldersTheWalkFinds) {
  // Two copies of the same ward list: positions merged into one must hang,
  // in order, on the members that find_member_mis121 finds in the other.
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    Rng a{seed};
    Rng b{seed};
    WardFamily* merged = ward(a, 60);
    WardFamily* walked = ward(b, 60);
    WardOrg* org = create_ward_org();
    std::vector<std::vector<std::string>> want;  // per member of `walked`, in list order
    std::vector<WardMember*> members;
    for (WardFamily* fam = walked; fam != nullptr; fam = fam->next) {
      for (WardMember* m = fam->members; m != nullptr; m = m->next) members.push_back(m);
    }
    want.resize(members.size());
    WardPos* tail = nullptr;
    for (int q = 0; q < 80; ++q) {
      WardPos* pos = create_ward_pos(org);
      pos->pos = Text("P" + std::to_string(q));
      pos->per = printed_name(a);
      pos->ph = pick(a, kPhone, 4);
      (tail == nullptr ? org->pos : tail->next) = pos;
      tail = pos;
      if (WardMember* holder = find_member_mis121(walked, pos)) {
        size_t at = std::find(members.begin(), members.end(), holder) - members.begin();
        want[at].push_back(pos->pos.str());
      }
    }
    merge_121(merged, org);
    size_t at = 0;
    for (WardFamily* fam = merged; fam != nullptr; fam = fam->next) {
      for (WardMember* m = fam->members; m != nullptr; m = m->next, ++at) {
        std::vector<std::string> got;
        for (WardPos* p = m->pos; p != nullptr; p = p->next) got.push_back(p->pos.str());
        ASSERT_EQ(got, want[at]) << "seed " << seed << " member " << at;
      }
    }
  }
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
