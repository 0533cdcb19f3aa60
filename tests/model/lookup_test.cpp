// Lookups by printed name and phone, by record number and by family name.

#include "model/lookup.h"

#include <gtest/gtest.h>

#include "support/capture.h"

namespace {

using testsupport::add_family;

WardMember* add_member(WardFamily* fam, const char* fname, const char* recno) {
  WardMember* mem = create_ward_member();
  mem->fname = fname;
  if (recno != nullptr) mem->recno = recno;
  append_member(fam, mem);
  return mem;
}

/// SMITH with a phone, Smith without one, SMITH with another phone.
WardFamily* ward() {
  WardFamily* list = nullptr;
  WardFamily* a = add_family(list, "SMITH", "John", "555-0101");
  add_member(a, "John", "1-1");
  add_member(a, "Ann", "1-2");
  WardFamily* b = add_family(list, "Smith", "John");
  add_member(b, "John", "2-1");
  add_member(b, "", "2-2");
  WardFamily* c = add_family(list, "SMITH", "John", "555-0199");
  add_member(c, "John", "3-1");
  add_member(c, "ohn", "3-2");
  add_member(c, "Ann", nullptr);
  return list;
}

TEST(FindIdName, PhoneChoosesTheFamily) {
  WardFamily* list = ward();
  EXPECT_EQ(find_id_name(list, "SMITH, John", "555-0199"), "3-1");
  EXPECT_EQ(find_id_name(list, "SMITH, John", "555-0101"), "1-1");
  // No phone: only families without one.
  EXPECT_EQ(find_id_name(list, "SMITH, John", Text()), "2-1");
  EXPECT_FALSE(find_id_name(list, "SMITH, John", "555-0000"));
  EXPECT_FALSE(find_id_name(list, "SMITH, John", "555-0101 "));
}

TEST(FindIdName, LastNameIgnoresCaseFirstNameDoesNot) {
  WardFamily* list = ward();
  EXPECT_EQ(find_id_name(list, "smith, Ann", "555-0101"), "1-2");
  EXPECT_FALSE(find_id_name(list, "SMITH, ann", "555-0101"));
  // The character after the comma is always skipped.
  EXPECT_EQ(find_id_name(list, "SMITH,John", "555-0199"), "3-2");
  // Without a comma the first name is empty; a name ending at its comma too.
  EXPECT_EQ(find_id_name(list, "SMITH", Text()), "2-2");
  EXPECT_EQ(find_id_name(list, "SMITH,", Text()), "2-2");
  // The first match ends the search, even without a record number.
  EXPECT_FALSE(find_id_name(list, "SMITH, Ann", "555-0199"));
  EXPECT_FALSE(find_id_name(nullptr, "SMITH, John", Text()));
  EXPECT_FALSE(find_id_name(list, Text(), Text()));
}

TEST(FindFamilyMemberRecno, FirstMemberInListOrder) {
  WardFamily* list = ward();
  add_member(list->next->next, "Dup", "1-2");
  WardMember* m = find_family_member_recno(list, "1-2");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->fname, "Ann");
  EXPECT_EQ(find_family_member_recno(list, "1-"), nullptr);
  EXPECT_EQ(find_family_member_recno(list, Text()), nullptr);
  EXPECT_EQ(find_family_member_recno(nullptr, "1-1"), nullptr);
}

TEST(FindFamily, BothNamesIgnoringCase) {
  WardFamily* list = ward();
  EXPECT_EQ(find_family(list, "smith", "JOHN"), list);
  EXPECT_EQ(find_family(list, "SMITH", "Jo"), nullptr);
  EXPECT_EQ(find_family(nullptr, "SMITH", "John"), nullptr);
}

}  // namespace
