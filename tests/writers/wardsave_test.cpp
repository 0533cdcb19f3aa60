#include "writers/wardsave.h"

#include <gtest/gtest.h>

#include "support/capture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using testsupport::capture;


TEST(WardSave, CrossReferenceFamilyAndEmptyList) {
  EXPECT_EQ(capture([](FILE* fp) { save_ward(nullptr, fp); }), "");
  WardFamily* xref = create_ward_family();
  xref->lname = "SMYTHE";
  xref->sname = "SMITH";
  EXPECT_EQ(capture([&](FILE* fp) { save_ward(xref, fp); }),
            "\n>Fam\nlname SMYTHE\nfname \nsname SMITH\n"
            "htgroup 0\nhtsup 0\nhtdist 0\nvtgroup 0\nvtsup 0\nvtdist 0\nhtpct 0\nvtpct 0\n"
            ">EndFam\n");
}

TEST(WardSave, MemberWithMonthOnly) {
  WardMember* mem = create_ward_member();
  mem->lname = "DOE";
  mem->type = 3;
  mem->stat = "";
  std::strcpy(mem->bmonth, "Mar");
  std::string out = capture([&](FILE* fp) { save_ward_member(mem, fp); });
  EXPECT_EQ(out, ">Mem\nlname DOE\nfname \ntype 3\nmsid 0\nstat \nbmonth Mar\n>EndMem\n");
  EXPECT_EQ(out.find('\0'), std::string::npos);  // no character flag was set
}

TEST(WardSave, FullFamilyInKeyOrder) {
  WardFamily* f = create_ward_family();
  f->misid = 77;
  f->country = "USA";
  f->vtphone = "555-0003";
  f->vtcomph = "555-0004";  // these four are not saved
  f->lname = "SMITH", f->fname = "John", f->addr = "12 Oak St", f->addr2 = "Apt 3";
  f->city = "Provo", f->state = "UT", f->zip = "84000", f->zip2 = "1234";
  f->phone = "555-1234", f->phone2 = "555-9999", f->email = "js@ex.org", f->acode = "A01";
  f->geocode = "G", f->ccode = "C", f->act = "Y", f->recno = "012-3456-7890";
  f->htgroup = 3, f->htsup = 1, f->htdist = 2, f->vtgroup = 5, f->vtsup = -1, f->vtdist = 10;
  f->htname = "BROWN, Tom", f->htcomp = "GREEN, Al", f->vtname = "WHITE, Sue";
  f->vtcomp = "BLACK, Ann", f->htid = "1", f->htcompid = "2", f->vtid = "3", f->vtcompid = "4";
  f->htphone = "555-0001", f->htcomph = "555-0002", f->htvisits = "VVx-", f->vtvisits = "TL";
  f->htpct = 50, f->vtpct = 75;

  WardMember* m = create_ward_member();
  m->lname = "SMITH", m->fname = "John", m->lpname = "SMITH", m->fpname = " John Q";
  m->type = 1, m->misid = 42, m->sex = 'M', m->stat = " ", m->age = 44;
  std::strcpy(m->bday, "07"), std::strcpy(m->bmonth, "Mar"), std::strcpy(m->byear, "61");
  m->birth = "07 Mar 61", m->baptism = "07May69", m->confirm = "08May69";
  m->marital = 'M', m->ftmiss = 'Y', m->spousem = 'N', m->sealcurr = 'S', m->sealprev = 'P';
  m->endowed = 'E', m->recexp = "Dec 05", m->recno = "012-3456-7890";
  append_member(f, m);
  WardMember* child = create_ward_member();
  child->fname = "Kid";
  child->type = 3;
  append_member(f, child);

  EXPECT_EQ(capture([&](FILE* fp) { save_ward(f, fp); }),
            "\n>Fam\nlname SMITH\nfname John\naddr 12 Oak St\naddr2 Apt 3\ncity Provo\n"
            "state UT\nzip 84000\nzip2 1234\nphone 555-1234\nphone2 555-9999\n"
            "email js@ex.org\nacode A01\ngeocode G\nccode C\nact Y\nrecno 012-3456-7890\n"
            "htgroup 3\nhtsup 1\nhtdist 2\nvtgroup 5\nvtsup -1\nvtdist 10\n"
            "htname BROWN, Tom\nhtcomp GREEN, Al\nvtname WHITE, Sue\nvtcomp BLACK, Ann\n"
            "htid 1\nhtcompid 2\nvtid 3\nvtcompid 4\nhtphone 555-0001\nhtcomph 555-0002\n"
            "htvisits VVx-\nvtvisits TL\nhtpct 50\nvtpct 75\n"
            ">Mem\nlname SMITH\nfname John\nlpname SMITH\nfpname  John Q\ntype 1\nmsid 42\n"
            "sex M\nstat  \nbday 07\nbmonth Mar\nbyear 61\nage 44\nbirth 07 Mar 61\n"
            "baptism 07May69\nconfirm 08May69\nmarital M\nftmiss Y\nspousem N\nsealcurr S\n"
            "sealprev P\nendowed E\nrecexp Dec 05\nrecno 012-3456-7890\n>EndMem\n"
            ">Mem\nlname SMITH\nfname Kid\ntype 3\nmsid 0\n>EndMem\n"
            ">EndFam\n");
}

}  // namespace
