#include "writers/wardcsv.h"

#include <algorithm>
#include <string>

#include "model/put.h"
#include "model/splitfld.h"
#include "model/writequeue.h"

namespace {

// The files run to megabytes: every row goes out with put(), the printf
// format of each number beside it.

/// True when `s` must be quoted: it holds ',', ' ' or '"'. (Not find_first_of:
/// the fields are short, and it scans the set once per character.)
bool needs_quotes(std::string_view s) {
  return std::ranges::any_of(s, [](char c) { return c == ',' || c == ' ' || c == '"'; });
}

/// Writes `s` with each '"' doubled.
void put_doubled(Putter& out, std::string_view s) {
  for (size_t quote; (quote = s.find('"')) != std::string_view::npos; s.remove_prefix(quote + 1)) {
    put(out, s.substr(0, quote + 1), '"');
  }
  put(out, s);
}

/// Writes `s` in double quotes, each '"' doubled.
void put_quoted(Putter& out, std::string_view s) {
  put(out, '"');
  put_doubled(out, s);
  put(out, '"');
}

/// Writes `s` quoted when it must be, else as it is.
void put_field(Putter& out, std::string_view s) {
  if (needs_quotes(s)) {
    put_quoted(out, s);
  } else {
    put(out, s);
  }
}

/// A further field holding `s`.
void put_next(Putter& out, std::string_view s) {
  put(out, ',');
  put_field(out, s);
}

/// The cross-reference name "LNAME [See SNAME]" of a family.
std::string see_name(const WardFamily* fam) {
  return fam->lname.str() + " [See " + fam->sname.str() + "]";
}

/// The group column of a teaching row: the group's abbreviation, with "NA"
/// written "NH" in home teaching and "NV" in visiting teaching.
const char* group_name(int group, bool ht) {
  if (group == 1) return ht ? "NH" : "NV";
  return htgroup(group);
}

}  // namespace

void csvfld(Putter& out, const Text& s) {
  put(out, ',');
  if (s) put_field(out, s.view());
}

void csv_first(Putter& out, std::string_view s) { put_field(out, s); }

void csvfld(FILE* fp, const Text& s) {
  if (fp == nullptr) return;
  Putter out(fp);
  csvfld(out, s);
}

void csv_first(FILE* fp, std::string_view s) {
  Putter out(fp);
  csv_first(out, s);
}

void build_kids(Putter& out, const WardFamily* fam) {
  // The field "NAME [AGE], NAME [AGE]" holds a blank as soon as it holds a
  // child, so it is quoted then; written piece by piece, the same bytes as
  // the whole text put through put_next().
  put(out, ',');
  bool first = true;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (mem->type != 3) continue;
    put(out, first ? "\"" : ", ");
    first = false;
    put_doubled(out, mem->fname.view());
    put(out, " [", Num{mem->age}, ']');  // "%s [%d]"
  }
  if (!first) put(out, '"');
}

void write_wardfam_csv(const WardFamily* list, FILE* fp) {
  Putter out(fp);
  put(out, "FamID,LName,FName,Addr,Addr2,City,State,Zip,Phone,ACode,",
      "HTName,HTComp,VTName,VTComp,HTID,HTCompID,VTID,VTCompID,",
      "HTVisits,VTVisits,HTPct,VTPct,FamKids\n");
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->members != nullptr) csv_first(out, fam->members->recno.view());
    if (fam->sname) {
      put_next(out, see_name(fam));
    } else {
      csvfld(out, fam->lname);
    }
    // The text columns from FName to VTVisits.
    for (Text WardFamily::*field :
         {&WardFamily::fname, &WardFamily::addr, &WardFamily::addr2, &WardFamily::city,
          &WardFamily::state, &WardFamily::zip, &WardFamily::phone, &WardFamily::acode,
          &WardFamily::htname, &WardFamily::htcomp, &WardFamily::vtname, &WardFamily::vtcomp,
          &WardFamily::htid, &WardFamily::htcompid, &WardFamily::vtid, &WardFamily::vtcompid,
          &WardFamily::htvisits, &WardFamily::vtvisits}) {
      csvfld(out, fam->*field);
    }
    put(out, ',', Num{fam->htpct}, ',', Num{fam->vtpct});  // ",%d,%d"
    build_kids(out, fam);
    put(out, '\n');
  }
}

void write_wardmem_csv(const WardFamily* list, FILE* fp) {
  Putter out(fp);
  put(out, "FamID,RecID,FamPos,LName,FName,", "Sex,Status,BirthDate,BirthMonth,BirthYear,",
      "Age,Birth,Baptism,Confirm\n");
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    std::string see = fam->sname ? see_name(fam) : std::string();
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      csv_first(out, fam->recno.view());
      csvfld(out, mem->recno);
      put(out, ',', Num{mem->type});  // ",%d"
      if (fam->sname) {
        put_next(out, see);
      } else {
        csvfld(out, mem->lname);
      }
      csvfld(out, mem->fname);
      // A member without a sex character gets an empty field.
      put(out, ',');
      if (mem->sex != '\0') put_field(out, std::string_view(&mem->sex, 1));
      csvfld(out, mem->stat);
      put_next(out, mem->bday);
      put_next(out, mem->bmonth);
      put_next(out, mem->byear);
      put(out, ',', Num{mem->age});  // ",%d"
      csvfld(out, mem->birth);
      csvfld(out, mem->baptism);
      csvfld(out, mem->confirm);
      put(out, '\n');
    }
  }
}

void create_mis231_csv(const WardFamily* list, WriteQueue& queue) {
  if (list == nullptr) return;
  queue.add({{"wardfam.csv", [list](FILE* fp) { write_wardfam_csv(list, fp); },
              "Can't open WARDFAM.CSV\n", stdout},
             {"wardmem.csv", [list](FILE* fp) { write_wardmem_csv(list, fp); },
              "Can't open WARDMEM.CSV\n", stdout}});
}

void create_mis1313_csv(const WardFamily* list, int ht, FILE* fp) {
  if (list == nullptr || fp == nullptr) return;
  Putter out(fp);
  if (ht == 1) put(out, "FamID,LName,FName,TGroup,TSup,TDist,Visits,TName,Comp,TID,CompID,TPct\n");
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->recno) put_quoted(out, fam->recno.view());
    csvfld(out, fam->lname);
    csvfld(out, fam->fname);
    TeachSet set = teach_set(fam, ht == 1);
    put_next(out, group_name(set.group, ht == 1));
    put(out, ',', Num{set.sup}, ',', Num{set.dist});  // ",%d,%d"
    csvfld(out, set.visits);
    csvfld(out, set.name);
    csvfld(out, set.comp);
    csvfld(out, set.id);
    csvfld(out, set.compid);
    put(out, ',', Num{set.pct}, '\n');  // ",%d\n"
  }
}

void create_htvt_csv(const WardFamily* htlist, const WardFamily* vtlist, WriteQueue& queue) {
  queue.add({{"wardhtvt.csv",
              [htlist, vtlist](FILE* fp) {
                create_mis1313_csv(htlist, 1, fp);
                create_mis1313_csv(vtlist, 0, fp);
              },
              "Can't open wardhtvt file for output!\n", stderr}});
}

void write_mis121_csv(const WardOrg* org, FILE* fp) {
  Putter out(fp);
  put(out, "Organization,Position,Person,Sustained,Phone,RecNo\n");
  for (; org != nullptr; org = org->next) {
    for (const WardPos* pos = org->pos; pos != nullptr; pos = pos->next) {
      csv_first(out, org->abbr ? org->abbr.view() : org->org.view());
      csvfld(out, pos->pos);
      csvfld(out, pos->per);
      csvfld(out, pos->sus);
      csvfld(out, pos->ph);
      csvfld(out, pos->recno);
      put(out, '\n');
    }
  }
}

void create_mis121_csv(const WardOrg* org, WriteQueue& queue) {
  queue.add({{"wardpos.csv", [org](FILE* fp) { write_mis121_csv(org, fp); },
              "Can't open CSV file wardpos.csv\n", stderr}});
}
