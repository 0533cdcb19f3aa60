#include "writers/wardcsv.h"

#include <algorithm>
#include <string>

#include "model/put.h"
#include "model/splitfld.h"
#include "model/writequeue.h"

namespace {

// The files run to megabytes: fields go out with put() (each stream is
// written by one thread), the printf format of each number beside it.

/// True when `s` must be quoted: it holds ',', ' ' or '"'. (Not find_first_of:
/// the fields are short, and it scans the set once per character.)
bool needs_quotes(std::string_view s) {
  return std::ranges::any_of(s, [](char c) { return c == ',' || c == ' ' || c == '"'; });
}

/// Writes `s` with each '"' doubled.
void put_doubled(FILE* fp, std::string_view s) {
  for (size_t quote; (quote = s.find('"')) != std::string_view::npos; s.remove_prefix(quote + 1)) {
    put(fp, s.substr(0, quote + 1), '"');
  }
  put(fp, s);
}

/// Writes `s` in double quotes, each '"' doubled.
void put_quoted(FILE* fp, std::string_view s) {
  put(fp, '"');
  put_doubled(fp, s);
  put(fp, '"');
}

/// Writes `s` quoted when it must be, else as it is.
void put_field(FILE* fp, std::string_view s) {
  if (needs_quotes(s)) {
    put_quoted(fp, s);
  } else {
    put(fp, s);
  }
}

/// A further field holding `s`.
void put_next(FILE* fp, std::string_view s) {
  put(fp, ',');
  put_field(fp, s);
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

void csvfld(FILE* fp, const Text& s) {
  if (fp == nullptr) return;
  put(fp, ',');
  if (s) put_field(fp, s.view());
}

void csv_first(FILE* fp, std::string_view s) { put_field(fp, s); }

void build_kids(FILE* fp, const WardFamily* fam) {
  // The field "NAME [AGE], NAME [AGE]" holds a blank as soon as it holds a
  // child, so it is quoted then; written piece by piece, the same bytes as
  // the whole text put through put_next().
  put(fp, ',');
  bool first = true;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (mem->type != 3) continue;
    put(fp, first ? "\"" : ", ");
    first = false;
    put_doubled(fp, mem->fname.view());
    put(fp, " [", Num{mem->age}, ']');  // "%s [%d]"
  }
  if (!first) put(fp, '"');
}

void write_wardfam_csv(const WardFamily* list, FILE* fp) {
  std::fprintf(fp, "FamID,LName,FName,Addr,Addr2,City,State,Zip,Phone,ACode,");
  std::fprintf(fp, "HTName,HTComp,VTName,VTComp,HTID,HTCompID,VTID,VTCompID,");
  std::fprintf(fp, "HTVisits,VTVisits,HTPct,VTPct,FamKids\n");
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->members != nullptr) csv_first(fp, fam->members->recno.view());
    if (fam->sname) {
      put_next(fp, see_name(fam));
    } else {
      csvfld(fp, fam->lname);
    }
    // The text columns from FName to VTVisits.
    for (Text WardFamily::*field :
         {&WardFamily::fname, &WardFamily::addr, &WardFamily::addr2, &WardFamily::city,
          &WardFamily::state, &WardFamily::zip, &WardFamily::phone, &WardFamily::acode,
          &WardFamily::htname, &WardFamily::htcomp, &WardFamily::vtname, &WardFamily::vtcomp,
          &WardFamily::htid, &WardFamily::htcompid, &WardFamily::vtid, &WardFamily::vtcompid,
          &WardFamily::htvisits, &WardFamily::vtvisits}) {
      csvfld(fp, fam->*field);
    }
    put(fp, ',', Num{fam->htpct}, ',', Num{fam->vtpct});  // ",%d,%d"
    build_kids(fp, fam);
    put(fp, '\n');
  }
}

void write_wardmem_csv(const WardFamily* list, FILE* fp) {
  std::fprintf(fp, "FamID,RecID,FamPos,LName,FName,");
  std::fprintf(fp, "Sex,Status,BirthDate,BirthMonth,BirthYear,");
  std::fprintf(fp, "Age,Birth,Baptism,Confirm\n");
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    std::string see = fam->sname ? see_name(fam) : std::string();
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      csv_first(fp, fam->recno.view());
      csvfld(fp, mem->recno);
      put(fp, ',', Num{mem->type});  // ",%d"
      if (fam->sname) {
        put_next(fp, see);
      } else {
        csvfld(fp, mem->lname);
      }
      csvfld(fp, mem->fname);
      // A member without a sex character gets an empty field.
      put(fp, ',');
      if (mem->sex != '\0') put_field(fp, std::string_view(&mem->sex, 1));
      csvfld(fp, mem->stat);
      put_next(fp, mem->bday);
      put_next(fp, mem->bmonth);
      put_next(fp, mem->byear);
      put(fp, ',', Num{mem->age});  // ",%d"
      csvfld(fp, mem->birth);
      csvfld(fp, mem->baptism);
      csvfld(fp, mem->confirm);
      put(fp, '\n');
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
  if (ht == 1) {
    std::fprintf(fp, "FamID,LName,FName,TGroup,TSup,TDist,Visits,TName,Comp,TID,CompID,TPct\n");
  }
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->recno) put_quoted(fp, fam->recno.view());
    csvfld(fp, fam->lname);
    csvfld(fp, fam->fname);
    TeachSet set = teach_set(fam, ht == 1);
    put_next(fp, group_name(set.group, ht == 1));
    put(fp, ',', Num{set.sup}, ',', Num{set.dist});  // ",%d,%d"
    csvfld(fp, set.visits);
    csvfld(fp, set.name);
    csvfld(fp, set.comp);
    csvfld(fp, set.id);
    csvfld(fp, set.compid);
    put(fp, ',', Num{set.pct}, '\n');  // ",%d\n"
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
  std::fprintf(fp, "Organization,Position,Person,Sustained,Phone,RecNo\n");
  for (; org != nullptr; org = org->next) {
    for (const WardPos* pos = org->pos; pos != nullptr; pos = pos->next) {
      csv_first(fp, org->abbr ? org->abbr.view() : org->org.view());
      csvfld(fp, pos->pos);
      csvfld(fp, pos->per);
      csvfld(fp, pos->sus);
      csvfld(fp, pos->ph);
      csvfld(fp, pos->recno);
      std::fprintf(fp, "\n");
    }
  }
}

void create_mis121_csv(const WardOrg* org, WriteQueue& queue) {
  queue.add({{"wardpos.csv", [org](FILE* fp) { write_mis121_csv(org, fp); },
              "Can't open CSV file wardpos.csv\n", stderr}});
}
