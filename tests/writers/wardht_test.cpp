// Teaching lists by family and condensed teaching lists.

#include "writers/wardht.h"

#include <gtest/gtest.h>

#include <string>

#include "support/capture.h"

namespace {

using testsupport::add_family;
using testsupport::capture;

/// Gives `fam` a home-teaching assignment.
WardFamily* assign_ht(WardFamily* fam, int group, int sup, int dist, Text visits, int pct,
                      Text name = Text(), Text comp = Text()) {
  fam->htgroup = group;
  fam->htsup = sup;
  fam->htdist = dist;
  fam->htvisits = visits;
  fam->htpct = pct;
  fam->htname = name;
  fam->htcomp = comp;
  return fam;
}

/// Gives `fam` a visiting-teaching assignment.
WardFamily* assign_vt(WardFamily* fam, int group, Text visits, int pct = 0,
                      Text name = Text()) {
  fam->vtgroup = group;
  fam->vtvisits = visits;
  fam->vtpct = pct;
  fam->vtname = name;
  return fam;
}

TEST(TeachingPercent, TruncatedRoundedAndZeroDivisor) {
  EXPECT_EQ(pct_truncated(3, 8), 37);
  EXPECT_EQ(pct_rounded(3, 8), 38);
  EXPECT_EQ(pct_truncated(0, 0), 0);
  EXPECT_EQ(pct_rounded(0, 0), 0);
  EXPECT_EQ(pct_truncated(5, 0), 0);
  EXPECT_EQ(pct_rounded(5, 0), 0);
  EXPECT_EQ(pct_rounded(1, 1), 100);
  EXPECT_EQ(pct_rounded(1, 8), 13);  // 12.5 rounds up
  EXPECT_EQ(pct_rounded(1, 9), 11);  // 11.1 rounds down
  EXPECT_EQ(pct_truncated(2, 3), 66);
  EXPECT_EQ(pct_rounded(2, 3), 67);
}

/// The families of a home-teaching list that the layout tests share.
WardFamily* home_list() {
  WardFamily* list = nullptr;
  assign_ht(add_family(list, "ADAMS", "Al", "555-0001"), 2, 1, 3, "V-xLTxxxxxQV", 33, "BEE, Bo",
            "CEE, Cy");
  assign_ht(add_family(list, "ADAMS", Text(), Text()), 1, 0, 12, Text(), 0, "DEE, Di");
  assign_ht(add_family(list, "BROWN", "Bea", "555-0003"), 0, 2, 4, "xxxxxxxxxxxx", 0);
  assign_ht(add_family(list, Text(), "Nobody", "555-0004"), 2, 1, 1, "VVVVVVVVVVVV", 100,
            "EE, Ed");
  assign_ht(add_family(list, "BROWN", "Cal"), 3, 10, 100, "xxxxxxxxxx*V", 5, "");
  return list;
}

TEST(PalmHt, FamiliesUnassignedAndSummary) {
  EXPECT_EQ(capture([](FILE* fp) { create_palm_ht(home_list(), fp, 310); }),
            "*A\n"
            "ADAMS, Al (555-0001)\n"
            "\tEL-01-03 V-xLTxxxxx?Q?V (33%)\n"
            "\tBEE, Bo & CEE, Cy\n"
            "ADAMS, \n"
            "\tNA-00-12 \n"
            "\tDEE, Di\n"
            "*B\n"
            "BROWN, Bea (555-0003)\n"
            "\t?" "?-02-04 xxxxxxxxxxxx (0%)\n"
            "BROWN, Cal\n"
            "\tHP-10-100 xxxxxxxxxx-V (5%)\n"
            "\t\n"
            "\n*Unassigned Families\n"
            "ADAMS, \n"
            "BROWN, Bea\n"
            "BROWN, Cal\n"
            "\n*Summary\nGrp\tPrev Mon\tThis Mon\n"
            "EQ 0/1 (0%)\t1/1 (100%)\n"
            "HP 0/0 (0%)\t1/1 (100%)\n"
            "UN 1/3 (33%)\n"
            "====\n0/2 (0%)\t2/3 (66%)\n");
}

TEST(PalmHt, EmptyListAndOtherOptionUseTheVisitingFields) {
  EXPECT_EQ(capture([](FILE* fp) { create_palm_ht(nullptr, fp, 310); }),
            "\n*Unassigned Families\n\n*Summary\nGrp\tPrev Mon\tThis Mon\n");
  WardFamily* list = nullptr;
  assign_vt(assign_ht(add_family(list, "ZANE", "Zoe"), 2, 1, 1, "VVVVVVVVVVVV", 100, "T, Tim"),
            5, "xxxxxxxxxxxV", 8, "S, Sue");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_ht(list, fp, 410); }),
            "*Z\nZANE, Zoe\n\tRS-00-00 xxxxxxxxxxxV (8%)\n\tS, Sue\n"
            "\n*Unassigned Families\n"
            "\n*Summary\nGrp\tPrev Mon\tThis Mon\n"
            "V 0/1 (0%)\t1/1 (100%)\n"
            "T 0/1 (0%)\t0/1 (0%)\n"
            "L 0/1 (0%)\t0/1 (0%)\n"
            "RS 0/1(0%)\t1/1 (100%)\n"
            "UN 0 (0%)\n"
            "=====\n0/1 (0%)  1/1 (100%)\n");
}

TEST(PalmHt, ElderLineTruncatesVisitingLinesRound) {
  // Eight elders' families, three visited this month and five last month,
  // and eight sisters' families, three visited this month; one family of no
  // group.
  WardFamily* elders = nullptr;
  WardFamily* sisters = nullptr;
  const char* elder_marks[8] = {"xxxxxxxxxxVV", "xxxxxxxxxxVV", "xxxxxxxxxxVV", "xxxxxxxxxxVx",
                                "xxxxxxxxxxVx", "xxxxxxxxxxxx", "xxxxxxxxxxxx", "xxxxxxxxxx--"};
  // Previous and current month: V V, T V, L V, x T, x L, x x, - -, x x.
  const char* sister_marks[8] = {"xxxxxxxxxxVV", "xxxxxxxxxxTV", "xxxxxxxxxxLV", "xxxxxxxxxxxT",
                                 "xxxxxxxxxxxL", "xxxxxxxxxxxx", "xxxxxxxxxx--", "xxxxxxxxxxxx"};
  for (int i = 0; i < 8; ++i) {
    assign_ht(add_family(elders, "E", "F"), 2, 1, 1, elder_marks[i], 0, "T, T");
    assign_vt(add_family(sisters, "S", "F"), 5, sister_marks[i], 0, "T, T");
  }
  assign_ht(add_family(elders, "U", "F"), 0, 0, 0, "xxxxxxxxxxxx", 0, "T, T");
  assign_vt(add_family(sisters, "U", "F"), 0, "xxxxxxxxxxxT", 0, "T, T");

  std::string out = capture([&](FILE* fp) { create_palm_ht(elders, fp, 310); });
  EXPECT_EQ(out.substr(out.find("*Summary")),
            "*Summary\nGrp\tPrev Mon\tThis Mon\n"
            "EQ 5/8 (62%)\t3/8 (37%)\n"
            "UN 1/9 (11%)\n"
            "====\n5/9 (55%)\t3/9 (33%)\n");

  out = capture([&](FILE* fp) { create_palm_ht(sisters, fp, 410); });
  EXPECT_EQ(out.substr(out.find("*Summary")),
            "*Summary\nGrp\tPrev Mon\tThis Mon\n"
            "V 1/8 (13%)\t3/8 (38%)\n"
            "T 1/8 (13%)\t2/8 (25%)\n"
            "L 1/8 (13%)\t1/8 (13%)\n"
            "RS 3/8(38%)\t6/8 (75%)\n"
            "UN 1 (11%)\n"
            "=====\n3/9 (33%)  6/9 (67%)\n");
}

TEST(HtList, CondensedEntries) {
  WardFamily* list = home_list();
  list->vtname = "VEE, Vi";
  list->vtpct = 100;
  EXPECT_EQ(capture([&](FILE* fp) { create_htlist_report(list, fp, 320); }),
            "*A\nADAMS, Al\n\tBEE, Bo & CEE, Cy (33%)\n"
            "ADAMS\n\tDEE, Di ( 0%)\n"
            "*B\nBROWN, Bea\n\tUnassigned ( 0%)\n"
            "BROWN, Cal\n\t ( 5%)\n");
  EXPECT_EQ(capture([&](FILE* fp) { create_htlist_report(list, fp, 420); }),
            "*A\nADAMS, Al\n\tVEE, Vi (100%)\n"
            "ADAMS\n\tUnassigned ( 0%)\n"
            "*B\nBROWN, Bea\n\tUnassigned ( 0%)\n"
            "BROWN, Cal\n\tUnassigned ( 0%)\n");
  EXPECT_EQ(capture([](FILE* fp) { create_htlist_report(nullptr, fp, 320); }), "");
}

}  // namespace
