// The teaching district report and its district chain.

#include "writers/htdist.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/capture.h"

namespace {

using testsupport::add_family;
using testsupport::capture;

WardFamily* add_ht(WardFamily*& list, Text lname, Text fname, int group, int sup, int dist,
                   int pct, Text name = Text(), Text comp = Text(), Text visits = Text()) {
  WardFamily* fam = add_family(list, lname, fname);
  fam->htgroup = group;
  fam->htsup = sup;
  fam->htdist = dist;
  fam->htpct = pct;
  fam->htname = name;
  fam->htcomp = comp;
  fam->htvisits = visits;
  return fam;
}

std::string report(WardFamily* list, int opt) {
  return capture([&](FILE* fp) { create_htdist_report(list, fp, opt); });
}

TEST(HtDist, DistrictsInKeyOrderFamiliesInListOrder) {
  WardFamily* list = nullptr;
  add_ht(list, "A", "One", 2, 1, 2, 50, "T, Tom", "C, Cy", "VVxxxxxxxxxx");
  add_ht(list, "B", "Two", 2, 1, 1, 100, "U, Ugo");
  add_ht(list, "C", "Three", 2, 1, 2, 75, "W, Wes", Text(), "xxxxxxxxxxxx");
  add_ht(list, "D", "Four", 2, 1, 10, 0);
  add_ht(list, "E", "Five", 2, 1, 9, 0, "X, Xi");
  add_ht(list, "F", "Six", 3, 0, 1, 20, "Y, Yo");
  add_ht(list, "G", "Seven", 2, 2, 0, 30, "Z, Zed");
  EXPECT_EQ(report(list, 312),
            "\n*EL-01-U, Ugo-01 (100%)\n"
            "  B, Two (100%)\n\t\n"
            // Both families of district 2, in list order, under the first's
            // teacher; 50 and 75 average to 62.
            "\n*EL-01-T, Tom-02 (62%)\n\t[C, Cy]\n"
            "  A, One (50%)\n\tVVxxxxxxxxxx\n"
            "  C, Three (75%)\n\txxxxxxxxxxxx\n"
            "\n*EL-01-X, Xi-09 (0%)\n"
            "  E, Five (0%)\n\t\n"
            // District 10 after 9; no teacher leaves nothing between the hyphens.
            "\n*EL-01--10 (0%)\n"
            "  D, Four (0%)\n\t\n"
            "\n*EL-02-Z, Zed-00 (30%)\n"
            "  G, Seven (30%)\n\t\n"
            "\n*HP-00-Y, Yo-01 (20%)\n"
            "  F, Six (20%)\n\t\n");
}

TEST(HtDist, VisitingTeachingFieldsAndEmptyLists) {
  WardFamily* list = nullptr;
  WardFamily* fam = add_ht(list, "A", "One", 2, 1, 2, 50, "T, Tom");
  fam->vtgroup = 5;
  fam->vtsup = 3;
  fam->vtdist = 4;
  fam->vtname = "S, Sue";
  fam->vtcomp = "R, Ruth";
  fam->vtpct = 25;
  fam->vtvisits = "Vxxxxxxxxxxx";
  EXPECT_EQ(report(list, 412),
            "\n*RS-03-S, Sue-04 (25%)\n\t[R, Ruth]\n  A, One (25%)\n\tVxxxxxxxxxxx\n");
  EXPECT_EQ(report(nullptr, 312), "");
  // Any other option gives no body.
  EXPECT_EQ(report(list, 999), "");
  EXPECT_EQ(create_htdist(fam, 999), nullptr);
  // The percentage variant writes nothing.
  EXPECT_EQ(capture([&](FILE* fp) { create_htdist_htpct(list, fp); }), "");
  EXPECT_EQ(capture([&](FILE* fp) { create_htdist_vtpct(list, fp); }), "");
}

TEST(HtDist, KeyZeroIsTotalledInTheHeadNode) {
  WardFamily* list = nullptr;
  add_ht(list, "A", "One", 0, 0, 0, 40, "T, Tom");
  add_ht(list, "B", "Two", 0, 0, 0, 81);
  add_ht(list, "C", "Three", 1, 0, 0, 10);
  HTDist* head = create_htdist(nullptr, 312);
  for (WardFamily* f = list; f != nullptr; f = f->next) {
    insert_htdist(head, create_htdist(f, 312), 312);
  }
  total_htdist(head);
  // head (0-0-0), header 0-0-0, A, B, header 1-0-0, C
  HTDist* zero_header = head->next;
  ASSERT_NE(zero_header, nullptr);
  EXPECT_EQ(zero_header->fam, nullptr);
  EXPECT_EQ(zero_header->next->fam, list);
  EXPECT_EQ(head->htnum, 2);
  EXPECT_EQ(head->htpct, 60);
  EXPECT_EQ(zero_header->htnum, 0);
  EXPECT_EQ(zero_header->htpct, 0);
  HTDist* one_header = zero_header->next->next->next;
  EXPECT_EQ(one_header->fam, nullptr);
  EXPECT_EQ(one_header->htgroup, 1);
  EXPECT_EQ(one_header->htnum, 1);
  EXPECT_EQ(one_header->htpct, 10);
  // The heading shows the head node's average.
  EXPECT_EQ(capture([&](FILE* fp) { report_htdist(head, fp, 312); }),
            "\n*?" "?-00-T, Tom-00 (60%)\n  A, One (40%)\n\t\n  B, Two (81%)\n\t\n"
            "\n*NA-00--00 (10%)\n  C, Three (10%)\n\t\n");
  EXPECT_EQ(report(list, 312), capture([&](FILE* fp) { report_htdist(head, fp, 312); }));
}

TEST(HtDist, PlacingOptions) {
  WardFamily* list = nullptr;
  add_ht(list, "A", "One", 2, 1, 1, 40);
  HTDist* head = create_htdist(nullptr, 314);
  insert_htdist(head, create_htdist(list, 314), 314);
  // The percentage variant makes the district header and places nothing.
  ASSERT_NE(head->next, nullptr);
  EXPECT_EQ(head->next->fam, nullptr);
  EXPECT_EQ(head->next->next, nullptr);

  testing::internal::CaptureStderr();
  insert_htdist(head, create_htdist(list, 312), 7);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Invalid OPT_HTDIST (7)\n");
  EXPECT_EQ(head->next->next, nullptr);
}

TEST(HtDist, IndexedBuildGivesTheChainOfPlacingOneByOne) {
  std::mt19937 rng(1313);
  std::uniform_int_distribution<int> small(-1, 3);
  std::uniform_int_distribution<int> pct(0, 100);
  for (int round = 0; round < 20; ++round) {
    WardFamily* list = nullptr;
    for (int i = 0; i < 60; ++i) {
      std::string name = "F" + std::to_string(i);
      add_ht(list, name, "X", small(rng), small(rng), small(rng), pct(rng),
             i % 3 == 0 ? Text("T" + std::to_string(i)) : Text());
    }
    HTDist* head = create_htdist(nullptr, 312);
    for (WardFamily* f = list; f != nullptr; f = f->next) {
      insert_htdist(head, create_htdist(f, 312), 312);
    }
    total_htdist(head);
    std::string one_by_one = capture([&](FILE* fp) { report_htdist(head, fp, 312); });
    ASSERT_EQ(report(list, 312), one_by_one) << "round " << round;
  }
}

TEST(HtDist, TraceLines) {
  WardFamily* list = nullptr;
  add_ht(list, "A", "One", 2, 1, 2, 50);
  add_ht(list, "B", "Two", 2, 1, 1, 100, "T, B");
  add_ht(list, "C", "Three", 2, 1, 2, 75);
  debught = 1;
  std::string out = report(list, 312);
  debught = 0;
  EXPECT_EQ(out,
            "New dist 02-01-02 (A, One) After 00-00-00\n"
            "Inserting 02-01-02 (A, One) After 02-01-02\n"
            "New dist 02-01-01 (B, Two) After 00-00-00 & Before 02-01-02\n"
            "Inserting 02-01-01 (B, Two) After 02-01-01 & Before 02-01-02\n"
            "Inserting 02-01-02 (C, Three) After 02-01-02 (A, One)\n"
            "00-00-00 htnum=0, htpct=0\n"
            "02-01-01 htnum=1, htpct=100\n"
            "02-01-02 htnum=2, htpct=62\n"
            "Dummy 00-00-00, htpct=0, htnum=0\n"
            "Dummy 02-01-01, htpct=100, htnum=1\n"
            "\n*EL-01-T, B-01 (100%)\n  B, Two (100%)\n\t\n"
            "Dummy 02-01-02, htpct=62, htnum=2\n"
            "\n*EL-01--02 (62%)\n  A, One (50%)\n\t\n  C, Three (75%)\n\t\n");
  // Without the switch the same report has no trace lines.
  EXPECT_EQ(report(list, 312),
            "\n*EL-01-T, B-01 (100%)\n  B, Two (100%)\n\t\n"
            "\n*EL-01--02 (62%)\n  A, One (50%)\n\t\n  C, Three (75%)\n\t\n");
}

}  // namespace
