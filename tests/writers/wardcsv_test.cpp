// The CSV exports: field quoting, the children summary and the rows of each
// file.

#include "writers/wardcsv.h"

#include <gtest/gtest.h>

#include "support/capture.h"

namespace {

using testsupport::add_family;
using testsupport::capture;

WardMember* add_member(WardFamily* fam, int type, const char* fname, int age = 0,
                       const char* recno = nullptr) {
  WardMember* mem = create_ward_member();
  mem->type = type;
  mem->fname = fname;
  mem->age = age;
  if (recno != nullptr) mem->recno = recno;
  append_member(fam, mem);
  return mem;
}

/// csvfld of `t`, the same put through a Putter as written straight.
std::string field(const Text& t) {
  std::string put = capture([&](FILE* fp) {
    Putter out(fp);
    csvfld(out, t);
  });
  EXPECT_EQ(capture([&](FILE* fp) { csvfld(fp, t); }), put);
  return put;
}

std::string kids_of(const WardFamily* fam) {
  return capture([&](FILE* fp) {
    Putter out(fp);
    build_kids(out, fam);
  });
}

TEST(CsvField, QuotesOnlyWhatMustBeQuoted) {
  EXPECT_EQ(field("Maple Creek"), ",\"Maple Creek\"");
  EXPECT_EQ(field("SMITH"), ",SMITH");
  EXPECT_EQ(field(Text()), ",");
  EXPECT_EQ(field(""), ",");
  EXPECT_EQ(field("Smith, Jr"), ",\"Smith, Jr\"");
  // Quotes are doubled inside the quotes; a tab alone does not quote.
  EXPECT_EQ(field("O\"Neil"), ",\"O\"\"Neil\"");
  EXPECT_EQ(field("\"Bud\" \"\""), ",\"\"\"Bud\"\" \"\"\"\"\"");
  EXPECT_EQ(field("a\tb"), ",a\tb");
  csvfld(nullptr, "x");  // no stream: nothing, no crash
}

TEST(CsvField, ChildrenSummaryIsOneField) {
  WardFamily* list = nullptr;
  WardFamily* fam = add_family(list, "JONES", "Tom");
  add_member(fam, 1, "Tom", 40);
  EXPECT_EQ(kids_of(fam), ",");
  add_member(fam, 3, "Ann", 12);
  add_member(fam, 2, "Sue", 38);
  add_member(fam, 3, "Bob", 9);
  EXPECT_EQ(kids_of(fam), ",\"Ann [12], Bob [9]\"");
  add_member(fam, 3, "Jo \"JJ\"", 7);
  EXPECT_EQ(kids_of(fam),
            ",\"Ann [12], Bob [9], Jo \"\"JJ\"\" [7]\"");
  // No bound on the length of the summary.
  for (int i = 0; i < 60; ++i) add_member(fam, 3, "Christopher", 10);
  std::string kids = kids_of(fam);
  EXPECT_GT(kids.size(), 900u);
  EXPECT_EQ(kids.substr(kids.size() - 17), "Christopher [10]\"");
}

TEST(WardCsv, FamilyAndMemberRows) {
  WardFamily* list = nullptr;
  WardFamily* fam = add_family(list, "ASHBY", "Robert", "555-0101");
  fam->recno = "100-1";
  fam->addr = "12 Elm St";
  fam->city = "Maple Creek";
  fam->state = "UT";
  fam->zip = "84001";
  fam->zip2 = "1234";
  fam->acode = "A01";
  fam->htname = "DAVIS, Paul";
  fam->htpct = 50;
  WardMember* head = add_member(fam, 1, "Robert", 45, "100-1");
  head->sex = 'M';
  head->stat = " ";
  std::snprintf(head->bday, sizeof head->bday, "07");
  std::snprintf(head->bmonth, sizeof head->bmonth, "Mar");
  std::snprintf(head->byear, sizeof head->byear, "61");
  head->baptism = "01Apr69";
  add_member(fam, 3, "Tommy", 18, "100-3");  // no sex character
  WardFamily* see = add_family(list, "BAKER", Text());
  see->sname = "ASHBY";
  add_member(see, 1, "Lone");

  EXPECT_EQ(capture([&](FILE* fp) { write_wardfam_csv(list, fp); }),
            "FamID,LName,FName,Addr,Addr2,City,State,Zip,Phone,ACode,"
            "HTName,HTComp,VTName,VTComp,HTID,HTCompID,VTID,VTCompID,"
            "HTVisits,VTVisits,HTPct,VTPct,FamKids\n"
            "100-1,ASHBY,Robert,\"12 Elm St\",,\"Maple Creek\",UT,84001,555-0101,A01,"
            "\"DAVIS, Paul\",,,,,,,,,,50,0,\"Tommy [18]\"\n"
            ",\"BAKER [See ASHBY]\",,,,,,,,,,,,,,,,,,,0,0,\n");
  EXPECT_EQ(capture([&](FILE* fp) { write_wardmem_csv(list, fp); }),
            "FamID,RecID,FamPos,LName,FName,Sex,Status,BirthDate,BirthMonth,BirthYear,"
            "Age,Birth,Baptism,Confirm\n"
            "100-1,100-1,1,ASHBY,Robert,M,\" \",07,Mar,61,45,,01Apr69,\n"
            "100-1,100-3,3,ASHBY,Tommy,,,,,,18,,,\n"
            ",,1,\"BAKER [See ASHBY]\",Lone,,,,,,0,,,\n");
}

TEST(WardCsv, TeachingRowsNameTheNoGroupByKind) {
  WardFamily* ht = nullptr;
  WardFamily* a = add_family(ht, "ASHBY", "Robert");
  a->recno = "100-1";
  a->htgroup = 1;
  a->htsup = 2;
  a->htdist = 10;
  a->htvisits = "VxxxxxxxxxxV";
  a->htname = "DAVIS, Paul";
  a->htid = "100-4";
  a->htpct = 16;
  WardFamily* b = add_family(ht, "NOBODY", "Ann");  // not found in the ward list
  b->htgroup = 2;
  WardFamily* vt = nullptr;
  WardFamily* c = add_family(vt, "EVANS", "Karen");
  c->recno = "100-5";
  c->vtgroup = 1;
  c->vtpct = 100;

  EXPECT_EQ(capture([&](FILE* fp) {
              create_mis1313_csv(ht, 1, fp);
              create_mis1313_csv(vt, 0, fp);
            }),
            "FamID,LName,FName,TGroup,TSup,TDist,Visits,TName,Comp,TID,CompID,TPct\n"
            "\"100-1\",ASHBY,Robert,NH,2,10,VxxxxxxxxxxV,\"DAVIS, Paul\",,100-4,,16\n"
            ",NOBODY,Ann,EL,0,0,,,,,,0\n"
            "\"100-5\",EVANS,Karen,NV,0,0,,,,,,100\n");
  // The visiting-teaching list alone has no header row.
  EXPECT_EQ(capture([&](FILE* fp) { create_mis1313_csv(vt, 0, fp); }),
            "\"100-5\",EVANS,Karen,NV,0,0,,,,,,100\n");
  EXPECT_EQ(capture([&](FILE* fp) { create_mis1313_csv(nullptr, 1, fp); }), "");
}

TEST(WardCsv, PositionRowsUseTheAbbreviationElseTheName) {
  WardOrg* eq = create_ward_org();
  eq->org = "Elders Quorum";
  eq->abbr = "EQ";
  WardPos* p = create_ward_pos(eq);
  eq->pos = p;
  p->pos = "President";
  p->per = "ASHBY, Robert";
  p->sus = "01 Jan 26";
  p->ph = "555-0101";
  p->recno = "100-1";
  p->next = create_ward_pos(eq);
  p->next->pos = "Secretary";
  WardOrg* stake = create_ward_org();
  eq->next = stake;
  stake->org = "High Council, Stake";
  stake->pos = create_ward_pos(stake);
  stake->pos->pos = "Member";

  EXPECT_EQ(capture([&](FILE* fp) { write_mis121_csv(eq, fp); }),
            "Organization,Position,Person,Sustained,Phone,RecNo\n"
            "EQ,President,\"ASHBY, Robert\",\"01 Jan 26\",555-0101,100-1\n"
            "EQ,Secretary,,,,\n"
            "\"High Council, Stake\",Member,,,,\n");
}

}  // namespace
