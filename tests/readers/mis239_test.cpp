#include "readers/mis239.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A data line: the name with dot leaders, the record number at column 66,
// birth at 81, baptism at 92, confirmation at 101; cut or padded to `len`.
std::string data_line(const std::string& name, const std::string& recno,
                      const std::string& baptism = "", const std::string& confirm = "",
                      size_t len = 108) {
  std::string s = name;
  s.resize(64, '.');
  s.resize(66, ' ');
  s += recno;
  s.resize(81, ' ');
  s += "07 Mar 61";
  s.resize(92, ' ');
  s += baptism;
  s.resize(101, ' ');
  s += confirm;
  s.resize(len, ' ');
  return s;
}

WardMember* read_text(const std::string& text) {
  FILE* fp = std::tmpfile();
  std::fputs(text.c_str(), fp);
  std::rewind(fp);
  WardMember* list = read_mis239(fp);
  std::fclose(fp);
  return list;
}

int count(const WardMember* list) {
  int n = 0;
  for (; list != nullptr; list = list->next) ++n;
  return n;
}

TEST(Mis239, ReadsDataLinesAndSkipsPageLines) {
  std::string footer = std::string(44, ' ') + "For church use only";
  footer.resize(100, ' ');
  WardMember* list = read_text(
      "\fMEMBER RECORD NUMBER LIST (MIS 239)\nWard\n\n" + data_line("SKIP, Me", "000-0000-0000") +
      "\nName\n----\n" + data_line("SMITH, John Q.", "012-3456-7890", "07May69", "08May69") +
      "\nshort line\n" + footer + "\n\f" + data_line("JONES, Mary", "111-2222-3333") + "\n");
  ASSERT_EQ(count(list), 2);
  EXPECT_EQ(list->lpname, "SMITH");
  EXPECT_EQ(list->fpname, " John Q");
  EXPECT_EQ(list->recno, "012-3456-7890");
  EXPECT_EQ(list->birth, "07 Mar 61");
  EXPECT_EQ(list->baptism, "07May69");
  EXPECT_EQ(list->confirm, "08May69");
  // The form feed counts for the columns, not for the last name.
  EXPECT_EQ(list->next->lpname, "JONES");
  EXPECT_EQ(list->next->recno, " 111-2222-333");
  EXPECT_FALSE(list->next->baptism);
}

TEST(Mis239, DateColumnsNeedTheLineToReachThem) {
  WardMember* list = read_text(data_line("A, One", "1", "02Feb02", "", 98) + "\n" +
                               data_line("A, Two", "2", "", "", 99) + "\n" +
                               data_line("A, Three", "3", "02Feb02", "03Mar03", 107) + "\n" +
                               data_line("A, Four", "4", "", "03Mar03", 108) + "\n" +
                               data_line("A, Five", "5", "", "", 89) + "\n");
  ASSERT_EQ(count(list), 4);  // 89 characters is a short line
  EXPECT_FALSE(list->baptism);
  EXPECT_FALSE(list->next->baptism);
  EXPECT_EQ(list->next->next->baptism, "02Feb02");
  EXPECT_FALSE(list->next->next->confirm);
  EXPECT_EQ(list->next->next->next->confirm, "03Mar03");
}

TEST(Mis239, CommaRulesAndHeaderLookalike) {
  std::string nocomma = data_line("NOCOMMA John", "200-0000-0001");
  std::string late = std::string(70, 'X') + std::string(15, ' ') + "1,2" + std::string(10, ' ');
  testing::internal::CaptureStderr();
  WardMember* list = read_text(nocomma + "\n" + late + "\n" +
                               data_line("MEMBER, Ann", "200-0000-0002") + "\n1\n2\n3\n4\n5\n" +
                               data_line("KEPT, Bob", "200-0000-0003") +
                               "\nMEMBER RECORD NUMBER LIST (MIS 239)\n1\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Last name missing comma (" + nocomma + ")\n");
  ASSERT_EQ(count(list), 2);
  EXPECT_EQ(list->lpname, late.substr(0, 86));  // a ',' among the dates still splits
  EXPECT_EQ(list->fpname, late.substr(87));
  EXPECT_EQ(list->next->lpname, "KEPT");
}

TEST(Mis239, MergeByFirstExactRecordNumber) {
  WardMember* mis239 = read_text(data_line("SMITH, John", "400-0000-0001", "07May69") + "\n" +
                                 data_line("SMITH, Dup", "400-0000-0001", "", "01Jan99") + "\n");
  EXPECT_EQ(find_member_recno(mis239, std::nullopt), nullptr);
  EXPECT_EQ(find_member_recno(nullptr, std::string("400-0000-0001")), nullptr);

  WardFamily* fam = create_ward_family();
  fam->lname = "SMITH";
  fam->fname = "John";
  WardFamily* xref = create_ward_family();
  xref->lname = "SMYTHE";
  fam->next = xref;
  const char* recnos[] = {"400-0000-0001", "999-9999-0001", "400-0000-0001 "};
  WardMember* mem[3];
  for (int i = 0; i < 3; ++i) {
    mem[i] = create_ward_member();
    mem[i]->fname = std::string("M") + char('1' + i);
    mem[i]->recno = recnos[i];
    mem[i]->confirm = "old";
    append_member(i < 2 ? fam : xref, mem[i]);
  }
  testing::internal::CaptureStderr();
  merge_239(fam, mis239);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't find record in MIS239for 'SMITH, M2' in family 'SMITH, John'\n"
            "Can't find record in MIS239for 'SMYTHE, M3' in family 'SMYTHE, '\n");
  EXPECT_EQ(mem[0]->birth, "07 Mar 61");
  EXPECT_EQ(mem[0]->baptism, "07May69");
  EXPECT_FALSE(mem[0]->confirm);  // the first entry has none: the old date goes
  EXPECT_EQ(mem[1]->confirm, "old");
}

}  // namespace
