// The readers on generated printouts of a 300-household ward: the directory
// reader must build exactly the households the generator invented, and the
// household listing and record number merges must find all of them except
// the ones the generator spoiled on purpose.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gen/wardgen.h"
#include "model/lookup.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"

namespace {

using wardgen::Fault;
using wardgen::GenFamily;
using wardgen::GenPerson;
using wardgen::GenWard;

struct Generated {
  GenWard ward;
  std::vector<wardgen::Printout> files;

  const std::string& text(const std::string& name) const {
    for (const wardgen::Printout& p : files)
      if (p.name == name) return p.text;
    ADD_FAILURE() << "no printout " << name;
    static const std::string none;
    return none;
  }
};

const Generated& generated() {
  static const Generated g = [] {
    wardgen::GenOptions opt;
    opt.families = 300;
    opt.seed = 7;
    Generated out;
    out.ward = wardgen::generate_ward(opt);
    out.files = wardgen::render_printouts(out.ward);
    return out;
  }();
  return g;
}

FILE* open_text(const std::string& text) {
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

int count_lines_with(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

/// The directory read from the generated printout; `printed` gets what the
/// reader printed.
WardFamily* read_directory(std::string* printed = nullptr) {
  FILE* fp = open_text(generated().text("mis231.txt"));
  testing::internal::CaptureStdout();
  WardFamily* list = read_mis231(fp);
  std::string out = testing::internal::GetCapturedStdout();
  std::fclose(fp);
  if (printed != nullptr) *printed = out;
  return list;
}

/// The generated households in directory order.
std::vector<const GenFamily*> directory_households() {
  std::vector<const GenFamily*> v;
  for (const GenFamily& f : generated().ward.families)
    if (f.in_directory()) v.push_back(&f);
  return v;
}

bool has_note(const WardErr* err, const char* text) {
  for (; err != nullptr; err = err->next)
    if (err->msg == text) return true;
  return false;
}

Text opt(const std::string& s) { return s.empty() ? Text() : Text(s); }

TEST(GeneratedWard, HasEveryFaultAndEnoughHouseholds) {
  const wardgen::GenCounts& c = generated().ward.counts;
  EXPECT_EQ(c.families, 300 + c.cross_refs);
  EXPECT_GT(c.cross_refs, 0);
  EXPECT_GT(c.heads_changed, 0);
  EXPECT_GT(c.families_with_notes, 2);  // bad phone, missing zip, lower-case surname
  EXPECT_GT(c.members_with_notes, 0);
  EXPECT_GT(c.recno_no_comma, 0);
  EXPECT_GT(c.teaching_phone_faults, 0);
  EXPECT_GT(c.unknown_group_codes, 0);
  EXPECT_GT(c.not_in_directory, 0);
  EXPECT_GT(c.unknown_headings, 0);
  // A few per cent, not more.
  EXPECT_LT(c.listing_unmatched, 300 / 10);
  EXPECT_LT(c.recno_unmatched, c.members / 10);
}

TEST(GeneratedWard, DirectoryReaderBuildsTheInventedHouseholds) {
  std::string printed;
  WardFamily* ward = read_directory(&printed);
  const wardgen::GenCounts& c = generated().ward.counts;
  EXPECT_NE(printed.find("Inserted " + std::to_string(c.pseudo_recnos) + " pseudo-record numbers\n"),
            std::string::npos);
  EXPECT_EQ(count_lines_with(printed, "Changing head of "), c.heads_changed);

  std::vector<const GenFamily*> want = directory_households();
  int families = 0, members = 0, noted_families = 0, noted_members = 0;
  const WardFamily* fam = ward;
  for (const GenFamily* g : want) {
    ASSERT_NE(fam, nullptr) << "directory ends before " << g->surname;
    ++families;
    if (fam->err != nullptr) ++noted_families;
    SCOPED_TRACE(g->surname + " " + g->listing_first());
    if (g->is_xref()) {
      EXPECT_EQ(fam->lname, g->surname);
      EXPECT_EQ(fam->sname, g->see);
      EXPECT_EQ(fam->members, nullptr);
      fam = fam->next;
      continue;
    }
    switch (g->fault) {
      case Fault::kLowerSurname:
        EXPECT_TRUE(has_note(fam->err, "Last Name formatted wrong"));
        break;
      case Fault::kNoZip:
        EXPECT_TRUE(has_note(fam->err, "Missing zip code"));
        EXPECT_EQ(fam->zip, std::nullopt);
        break;
      case Fault::kBadPhone:
        EXPECT_NE(fam->err, nullptr);
        break;
      default:
        // A household without a directory fault reads back whole, without notes.
        EXPECT_EQ(fam->err, nullptr);
        EXPECT_EQ(fam->lname, g->surname);
        EXPECT_EQ(fam->addr, g->addr);
        EXPECT_EQ(fam->addr2, opt(g->addr2));
        EXPECT_EQ(fam->city, g->city);
        EXPECT_EQ(fam->state, g->state);
        EXPECT_EQ(fam->zip, g->zip.substr(0, 5));
        EXPECT_EQ(fam->zip2, opt(g->zip.size() == 10 ? g->zip.substr(6) : ""));
        EXPECT_EQ(fam->phone, opt(g->phone));
    }
    bool changed = g->people[0].first[0] == '[' && g->people.size() > 1 && g->people[1].role == 2;
    EXPECT_EQ(fam->fname, changed ? g->people[1].first : g->people[0].first);
    const WardMember* m = fam->members;
    for (const GenPerson& p : g->people) {
      ASSERT_NE(m, nullptr) << "member missing: " << p.first;
      ++members;
      if (m->err != nullptr) ++noted_members;
      EXPECT_EQ(m->fname, p.first);
      EXPECT_EQ(m->sex, p.sex);
      EXPECT_EQ(m->type, p.role);
      EXPECT_EQ(m->stat == "Nonmembr", !p.member);
      if (p.recno.empty())
        EXPECT_TRUE(m->recno.view().starts_with("999-9999-")) << m->recno.str();
      else
        EXPECT_EQ(m->recno, p.recno);
      if (p.birth_printed) {
        EXPECT_EQ(m->age, p.age);
        EXPECT_EQ(std::atoi(m->byear), p.byear % 100);
      }
      if (g->fault == Fault::kNoBirthday && p.fault_member) {
        EXPECT_TRUE(has_note(m->err, "Missing Birthday"));
      }
      m = m->next;
    }
    EXPECT_EQ(m, nullptr) << "extra member " << m->fname.str();
    fam = fam->next;
  }
  EXPECT_EQ(fam, nullptr) << "extra family " << fam->lname.str();
  EXPECT_EQ(families, c.families);
  EXPECT_EQ(members, c.members);
  EXPECT_EQ(noted_families, c.families_with_notes);
  EXPECT_EQ(noted_members, c.members_with_notes);
}

TEST(GeneratedWard, HouseholdListingMatchesAllButTheSpoiledOnes) {
  WardFamily* ward = read_directory();
  FILE* fp = open_text(generated().text("mis232.txt"));
  WardFamily* listing = read_mis232(fp);
  std::fclose(fp);
  int entries = 0;
  for (const WardFamily* f = listing; f != nullptr; f = f->next) ++entries;
  EXPECT_EQ(entries, generated().ward.counts.listing_families);

  testing::internal::CaptureStdout();
  merge_232(ward, listing);
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(count_lines_with(printed, "Can't find entry in MIS232"), generated().ward.counts.listing_unmatched);

  // Every household found got its own code.
  const WardFamily* fam = ward;
  for (const GenFamily* g : directory_households()) {
    if (fam->acode) {
      EXPECT_EQ(fam->acode, g->acode) << g->surname;
    }
    fam = fam->next;
  }
}

TEST(GeneratedWard, RecordNumberListDatesAllButTheSpoiledOnes) {
  WardFamily* ward = read_directory();
  const wardgen::GenCounts& c = generated().ward.counts;
  FILE* fp = open_text(generated().text("mis239.txt"));
  testing::internal::CaptureStderr();
  WardMember* list = read_mis239(fp);
  std::string complaints = testing::internal::GetCapturedStderr();
  std::fclose(fp);
  EXPECT_EQ(count_lines_with(complaints, "Last name missing comma"), c.recno_no_comma);
  int entries = 0;
  for (const WardMember* m = list; m != nullptr; m = m->next) ++entries;
  EXPECT_EQ(entries, c.recno_lines - c.recno_no_comma);

  testing::internal::CaptureStderr();
  merge_239(ward, list);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(count_lines_with(printed, "Can't find record in MIS239for"), c.recno_unmatched);

  // Members found carry the birth date the directory printed, in the
  // record number list's own form ("07 Mar 61").
  int dated = 0;
  for (const WardFamily* f = ward; f != nullptr; f = f->next) {
    for (const WardMember* m = f->members; m != nullptr; m = m->next) {
      if (!m->birth) continue;
      ++dated;
      if (m->bday[0] != '\0') {
        EXPECT_EQ(m->birth.view().substr(0, 2), std::string_view(m->bday)) << m->fname.str();
        EXPECT_EQ(m->birth.view().substr(3, 3), std::string_view(m->bmonth)) << m->fname.str();
      }
    }
  }
  EXPECT_EQ(dated, c.members - c.recno_unmatched);
}

TEST(GeneratedWard, TeachersAndHoldersAreFoundByNameAndPhone) {
  // The teaching and position merges look people up by the printed
  // "Surname, First" and the phone; every one the generator named must be
  // found, as the member the generator meant when the phone tells them apart.
  WardFamily* ward = read_directory();
  const GenWard& g = generated().ward;
  auto expect_found = [&](wardgen::PersonRef who) {
    if (who.empty()) return;
    const GenFamily& f = g.families[who.family];
    Text recno = find_id_name(ward, Text(wardgen::printed_name(g, who)), opt(f.phone));
    ASSERT_TRUE(recno) << wardgen::printed_name(g, who) << " " << f.phone;
    if (!f.phone.empty() && f.phone != "unlisted") {
      EXPECT_EQ(recno, f.people[who.person].recno);
    }
  };
  int people = 0;
  for (const auto* list : {&g.home_teaching, &g.visiting_teaching}) {
    for (const wardgen::GenTeaching& t : *list) {
      expect_found(t.teacher);
      expect_found(t.companion);
      people += t.teacher.empty() ? 0 : 2;
    }
  }
  for (const wardgen::GenUnit& u : g.units)
    for (const wardgen::GenOrg& o : u.orgs)
      for (const wardgen::GenPosition& p : o.positions) {
        expect_found(p.holder);
        people += p.holder.empty() ? 0 : 1;
      }
  EXPECT_GT(people, 500);
}

TEST(GeneratedWard, SameSizeAndSeedGiveTheSameBytes) {
  wardgen::GenOptions opt;
  opt.families = 300;
  opt.seed = 7;
  std::vector<wardgen::Printout> again = wardgen::render_printouts(wardgen::generate_ward(opt));
  ASSERT_EQ(again.size(), generated().files.size());
  for (size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].name, generated().files[i].name);
    EXPECT_TRUE(again[i].text == generated().files[i].text) << again[i].name << " differs";
  }
  opt.seed = 8;
  std::vector<wardgen::Printout> other = wardgen::render_printouts(wardgen::generate_ward(opt));
  EXPECT_NE(other[0].text, generated().files[0].text);
}

TEST(GeneratedWard, WithoutFaultsEverythingMatches) {
  wardgen::GenOptions opt;
  opt.families = 120;
  opt.seed = 3;
  opt.fault_per_mille = 0;
  GenWard clean = wardgen::generate_ward(opt);
  const wardgen::GenCounts& c = clean.counts;
  EXPECT_EQ(c.families_with_notes, 0);
  EXPECT_EQ(c.members_with_notes, 0);
  EXPECT_EQ(c.recno_no_comma, 0);
  EXPECT_EQ(c.not_in_directory, 0);
  EXPECT_EQ(c.unknown_headings + c.unlisted_units + c.unknown_group_codes + c.teaching_phone_faults, 0);
  EXPECT_EQ(c.listing_unmatched, c.heads_changed);  // bracketed heads are no fault

  std::vector<wardgen::Printout> files = wardgen::render_printouts(clean);
  FILE* fp = open_text(files[0].text);
  testing::internal::CaptureStdout();
  WardFamily* ward = read_mis231(fp);
  testing::internal::GetCapturedStdout();
  std::fclose(fp);
  int noted = 0, families = 0;
  for (const WardFamily* f = ward; f != nullptr; f = f->next) {
    ++families;
    noted += f->err != nullptr;
    for (const WardMember* m = f->members; m != nullptr; m = m->next) noted += m->err != nullptr;
  }
  EXPECT_EQ(families, c.families);
  EXPECT_EQ(noted, 0);
}

}  // namespace
