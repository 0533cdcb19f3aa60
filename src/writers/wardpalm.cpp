#include "writers/wardpalm.h"

#include "model/put.h"

namespace {

/// Writes the teacher line of the family block, and in the private list the
/// visit record under it.
void write_teachers(const char* label, const TeachSet& set, Putter& out, int restrict_) {
  if (!set.name) return;
  if (restrict_) {
    put(out, "  ", label, ": ", Num{set.pct, 3}, "% - ", set.name);  // "  %s: %3d%% - %s"
  } else {
    put(out, "  ", label, ": ", set.name);  // "  %s: %s"
  }
  if (set.comp) put(out, " & ", set.comp);  // " & %s"
  put(out, '\n');
  if (restrict_) put(out, "    ", set.visits, '\n');  // "    %s\n"
}

/// Writes one line per position of `mem`, leaving out the reserves.
void write_positions(const WardMember* mem, Putter& out) {
  for (const WardPos* p = mem->pos; p != nullptr; p = p->next) {
    const WardOrg* org = p->org;
    if (org != nullptr && org->org == "RESERVES") continue;
    // "          (%s %s)\n"
    put(out, "          (", org != nullptr ? org->abbr : Text(), ' ', p->pos, ")\n");
  }
}

}  // namespace

void letter_bookmark(const WardFamily* fam, Putter& out, char& last) {
  char c = family_initial(fam);
  if (c == last) return;
  put(out, '*', c, '\n');  // "*%c\n"; "*\n" for NUL, which put() leaves out
  last = c;
}

void create_palm_phone(const WardFamily* list, FILE* fp, int opt) {
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (opt == kPalmPhoneDirectory && (fam->phone.empty() || is_bracketed(fam->fname))) continue;
    if (opt == kPalmPhoneList) {
      Putter out(fp);  // flushed before the entry's fprintf()
      letter_bookmark(fam, out, last);
    }
    write_palm_phone(fam, fp, opt);
  }
}

std::optional<CoupleName> palm_couple_name(const WardMember* mem, bool& head_bracketed) {
  if (mem->type == 1) {
    if (!is_bracketed(mem->fname)) return CoupleName{", ", mem->fname};
    head_bracketed = true;
    return CoupleName{", ", Text()};
  }
  if (mem->type != 2) return std::nullopt;
  if (is_bracketed(mem->fname)) return CoupleName{"", Text()};
  return CoupleName{head_bracketed ? "" : " & ", mem->fname};
}

bool write_palm_couple_name(const WardMember* mem, FILE* fp, bool& head_bracketed) {
  std::optional<CoupleName> part = palm_couple_name(mem, head_bracketed);
  if (!part) return false;
  std::fprintf(fp, "%s%s", part->lead, str_or_empty(part->name));  // ", %s", " & %s"
  return true;
}

std::string palm_couple_names(const WardFamily* fam) {
  std::string names;
  bool head_bracketed = false;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (std::optional<CoupleName> part = palm_couple_name(mem, head_bracketed)) {
      names.append(part->lead).append(part->name.view());
    }
  }
  return names;
}

void write_palm_phone(const WardFamily* fam, FILE* fp, int opt) {
  std::fprintf(fp, "%s", str_or_empty(fam->lname));
  bool head_bracketed = false;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    write_palm_couple_name(mem, fp, head_bracketed);
  }
  if (!fam->phone.empty()) {
    std::fprintf(fp, opt == kPalmPhoneList ? "\n\t" : "\t");
    std::fprintf(fp, "%s", fam->phone.c_str());
  }
  std::fprintf(fp, "\n");
}

void create_palm_full(const WardFamily* list, FILE* fp, int restrict_) {
  Putter out(fp);
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    letter_bookmark(fam, out, last);
    write_palm_family_full(fam, out, restrict_);
  }
}

// The largest lists of a batch: written with put(), the printf format of
// each line beside it.
void write_palm_family_full(const WardFamily* fam, Putter& out, int restrict_) {
  put(out, fam->lname);                            // "%s"
  if (fam->sname) put(out, " [See ", fam->sname, ']');  // " [See %s]"
  put(out, ", ", fam->fname, '\n');                // ", %s\n"

  if (!fam->phone.empty()) put(out, "  ", fam->phone, '\n');  // "  %s\n"
  if (fam->addr) put(out, "  ", fam->addr, '\n');                          // "  %s\n"

  if (fam->city) {
    put(out, "  ", fam->city, ", ", fam->state, ' ', fam->zip);  // "  %s, %s %s"
    if (fam->zip2) put(out, '-', fam->zip2);                     // "-%s"
    if (restrict_ && fam->acode) put(out, " [", fam->acode, ']');  // " [%s]"
    put(out, '\n');
  } else if (fam->geocode) {
    put(out, "  ", fam->geocode, '\n');  // "  %s\n"
  }

  write_teachers("HT", teach_set(fam, true), out, restrict_);
  write_teachers("VT", teach_set(fam, false), out, restrict_);
  write_palm_members_full(fam, out, restrict_);
}

void write_palm_members_full(const WardFamily* fam, Putter& out, int restrict_) {
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (mem->type == 3) {
      put(out, restrict_ ? "....." : "     ");
    } else {
      put(out, restrict_ ? "..." : "   ");
    }

    // A member without a last name of its own carries the family's.
    if (mem->lname && mem->lname != fam->lname) put(out, mem->lname, ", ");  // "%s, "
    put(out, mem->fname);                                                    // "%s"

    if (restrict_ && mem->sex != '\0') {
      put(out, " [", mem->sex);                    // " [%c"
      if (mem->stat) put(out, ' ', mem->stat);     // " %s"
      put(out, "]\n       ");
    }

    put(out, ' ', mem->bday, mem->bmonth);  // " %s%s"
    if ((restrict_ && mem->age > 0) || (mem->type == 3 && mem->age != 0 && mem->age < 21)) {
      put(out, mem->byear, " [", Num{mem->age, 2}, ']');  // "%s [%2d]"
    }

    if (restrict_) {
      if (mem->recno) put(out, " #", mem->recno);                       // " #%s"
      if (mem->baptism) put(out, "\n        bapt: ", mem->baptism);    // "\n        bapt: %s"
      if (mem->confirm) put(out, ", conf: ", mem->confirm);             // ", conf: %s"
    }
    put(out, '\n');

    write_positions(mem, out);
  }
}
