#include "writers/wardpalm.h"

namespace {

/// The first character of a family's last name; NUL when it has none.
char initial_of(const WardFamily* fam) {
  return fam->lname && !fam->lname.empty() ? fam->lname[0] : '\0';
}

/// Writes the teacher line of the family block, and in the private list the
/// visit record under it.
void write_teachers(const char* label, const Text& name, const Text& comp, int pct,
                    const Text& visits, FILE* fp, int restrict_) {
  if (!name) return;
  if (restrict_) {
    std::fprintf(fp, "  %s: %3d%% - %s", label, pct, name.c_str());
  } else {
    std::fprintf(fp, "  %s: %s", label, name.c_str());
  }
  if (comp) std::fprintf(fp, " & %s", comp.c_str());
  std::fprintf(fp, "\n");
  if (restrict_) std::fprintf(fp, "    %s\n", str_or_empty(visits));
}

/// Writes one line per position of `mem`, leaving out the reserves.
void write_positions(const WardMember* mem, FILE* fp) {
  for (const WardPos* p = mem->pos; p != nullptr; p = p->next) {
    const WardOrg* org = p->org;
    if (org != nullptr && org->org == "RESERVES") continue;
    std::fprintf(fp, "          (%s %s)\n", org != nullptr ? str_or_empty(org->abbr) : "",
                 str_or_empty(p->pos));
  }
}

}  // namespace

void letter_bookmark(const WardFamily* fam, FILE* fp, char& last) {
  char c = initial_of(fam);
  if (c == last) return;
  if (c != '\0') {
    std::fprintf(fp, "*%c\n", c);
  } else {
    std::fprintf(fp, "*\n");
  }
  last = c;
}

void create_palm_phone(const WardFamily* list, FILE* fp, int opt) {
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (opt == kPalmPhoneDirectory &&
        (!fam->phone || fam->phone.empty() || is_bracketed(fam->fname))) {
      continue;
    }
    if (opt == kPalmPhoneList) letter_bookmark(fam, fp, last);
    write_palm_phone(fam, fp, opt);
  }
}

bool write_palm_couple_name(const WardMember* mem, FILE* fp, bool& head_bracketed) {
  if (mem->type == 1) {
    if (is_bracketed(mem->fname)) {
      std::fprintf(fp, ", ");
      head_bracketed = true;
    } else {
      std::fprintf(fp, ", %s", str_or_empty(mem->fname));
    }
    return true;
  }
  if (mem->type != 2) return false;
  if (!is_bracketed(mem->fname)) {
    if (!head_bracketed) std::fprintf(fp, " & ");
    std::fprintf(fp, "%s", str_or_empty(mem->fname));
  }
  return true;
}

void write_palm_phone(const WardFamily* fam, FILE* fp, int opt) {
  std::fprintf(fp, "%s", str_or_empty(fam->lname));
  bool head_bracketed = false;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    write_palm_couple_name(mem, fp, head_bracketed);
  }
  if (fam->phone && !fam->phone.empty()) {
    std::fprintf(fp, opt == kPalmPhoneList ? "\n\t" : "\t");
    std::fprintf(fp, "%s", fam->phone.c_str());
  }
  std::fprintf(fp, "\n");
}

void create_palm_full(const WardFamily* list, FILE* fp, int restrict_) {
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    letter_bookmark(fam, fp, last);
    write_palm_family_full(fam, fp, restrict_);
  }
}

void write_palm_family_full(const WardFamily* fam, FILE* fp, int restrict_) {
  std::fprintf(fp, "%s", str_or_empty(fam->lname));
  if (fam->sname) std::fprintf(fp, " [See %s]", fam->sname.c_str());
  std::fprintf(fp, ", %s\n", str_or_empty(fam->fname));

  if (fam->phone && !fam->phone.empty()) std::fprintf(fp, "  %s\n", fam->phone.c_str());
  if (fam->addr) std::fprintf(fp, "  %s\n", fam->addr.c_str());

  if (fam->city) {
    std::fprintf(fp, "  %s, %s %s", fam->city.c_str(), str_or_empty(fam->state),
                 str_or_empty(fam->zip));
    if (fam->zip2) std::fprintf(fp, "-%s", fam->zip2.c_str());
    if (restrict_ && fam->acode) std::fprintf(fp, " [%s]", fam->acode.c_str());
    std::fprintf(fp, "\n");
  } else if (fam->geocode) {
    std::fprintf(fp, "  %s\n", fam->geocode.c_str());
  }

  write_teachers("HT", fam->htname, fam->htcomp, fam->htpct, fam->htvisits, fp, restrict_);
  write_teachers("VT", fam->vtname, fam->vtcomp, fam->vtpct, fam->vtvisits, fp, restrict_);
  write_palm_members_full(fam, fp, restrict_);
}

void write_palm_members_full(const WardFamily* fam, FILE* fp, int restrict_) {
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (mem->type == 3) {
      std::fprintf(fp, restrict_ ? "....." : "     ");
    } else {
      std::fprintf(fp, restrict_ ? "..." : "   ");
    }

    // A member without a last name of its own carries the family's.
    if (mem->lname && mem->lname != fam->lname) std::fprintf(fp, "%s, ", mem->lname.c_str());
    if (mem->fname) std::fprintf(fp, "%s", mem->fname.c_str());

    if (restrict_ && mem->sex != '\0') {
      std::fprintf(fp, " [%c", mem->sex);
      if (mem->stat) std::fprintf(fp, " %s", mem->stat.c_str());
      std::fprintf(fp, "]\n       ");
    }

    std::fprintf(fp, " %s%s", mem->bday, mem->bmonth);
    if ((restrict_ && mem->age > 0) || (mem->type == 3 && mem->age != 0 && mem->age < 21)) {
      std::fprintf(fp, "%s [%2d]", mem->byear, mem->age);
    }

    if (restrict_) {
      if (mem->recno) std::fprintf(fp, " #%s", mem->recno.c_str());
      if (mem->baptism) std::fprintf(fp, "\n        bapt: %s", mem->baptism.c_str());
      if (mem->confirm) std::fprintf(fp, ", conf: %s", mem->confirm.c_str());
    }
    std::fprintf(fp, "\n");

    write_positions(mem, fp);
  }
}
