#include "readers/mis1313.h"

#include <string>

#include "model/pages.h"
#include "model/splitfld.h"

namespace {

// Page headers: the start of either title, then 6 more lines to skip. The
// second title turns the report kind to visiting teaching.
const char* const hdr = "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)";
const char* const hdr2 = "SISTERS AND THEIR VISITING TEACHERS (MIS 1413)";
constexpr int kHeaderLines = 6;
// An entry's first line reaches the end of the visit marks' columns.
constexpr size_t kMinEntry = 105;

// Columns of an entry. Ranges are [begin, end).
constexpr size_t kNameEnd = 31;  // family name and first names
constexpr size_t kGroupCol = 31;
constexpr size_t kSupCol = 34;
constexpr size_t kDistCol = 37;
constexpr size_t kTeacherBeg = 41, kTeacherEnd = 72;
constexpr size_t kPhoneBeg = 72, kPhoneEnd = 93;
constexpr size_t kFamPhoneBeg = 3, kFamPhoneEnd = 31;
constexpr size_t kVisitsBeg = 93, kVisitsLen = 12;

/// A trimmed column as a text, absent when it is empty.
Text present_field(std::string_view line, size_t beg, size_t end) {
  std::string_view f = rtrim_field(line, beg, end);
  return f.empty() ? Text() : Text(f);
}

/// The fields of one report kind: the ht fields or the vt fields of a
/// teaching entry.
struct KindFields {
  int* group;
  int* sup;
  int* dist;
  Text* name;
  Text* phone;
  Text* comp;
  Text* comph;
};

KindFields fields_of(WardFamily* fam, bool visiting) {
  if (visiting) {
    return {&fam->vtgroup, &fam->vtsup, &fam->vtdist, &fam->vtname, &fam->vtphone,
            &fam->vtcomp, &fam->vtcomph};
  }
  return {&fam->htgroup, &fam->htsup, &fam->htdist, &fam->htname, &fam->htphone,
          &fam->htcomp, &fam->htcomph};
}

/// Family name and first names of an entry's first line. The family name
/// ends at the first ',' of the name column; a name column without one is
/// all family name, without first names.
void fill_names(WardFamily* fam, std::string_view line) {
  std::string_view column = line.substr(0, kNameEnd);
  size_t comma = column.find(',');
  if (comma == std::string_view::npos) {
    fam->lname = Text(rtrim_field(line, 0, kNameEnd));
    return;
  }
  fam->lname = Text(column.substr(0, comma));
  fam->fname = Text(trim_view(column.substr(comma + 1)));
}

void fill_first_line(WardFamily* fam, std::string_view line, bool visiting) {
  fill_names(fam, line);
  KindFields f = fields_of(fam, visiting);
  *f.group = mis1313_group(line[kGroupCol]);
  *f.sup = mis1313_number(line, kSupCol);
  *f.dist = mis1313_number(line, kDistCol);
  *f.name = present_field(line, kTeacherBeg, kTeacherEnd);
  if (*f.name) *f.phone = present_field(line, kPhoneBeg, kPhoneEnd);
}

void fill_second_line(WardFamily* fam, std::string_view line, bool visiting) {
  if (line.size() > kFamPhoneBeg && line[kFamPhoneBeg] != ' ') {
    fam->phone = Text(rtrim_field(line, kFamPhoneBeg, kFamPhoneEnd));
  }
  KindFields f = fields_of(fam, visiting);
  *f.comp = present_field(line, kTeacherBeg, kTeacherEnd);
  if (*f.comp) *f.comph = present_field(line, kPhoneBeg, kPhoneEnd);

  Mis1313Visits v = mis1313_visits(line);
  // Elders and high priests are home teaching, the Relief Society visiting
  // teaching, whatever report they appear in.
  int group = *f.group;
  bool to_vt = group == kGroupRS || (group != kGroupEL && group != kGroupHP && visiting);
  Text& visits = to_vt ? fam->vtvisits : fam->htvisits;
  int& pct = to_vt ? fam->vtpct : fam->htpct;
  visits = Text(std::string_view(v.marks, kVisitsLen));
  if (v.expected > 0) pct = v.made * 100 / v.expected;
}

bool same_name(const WardFamily* a, const WardFamily* b) {
  return equal_nocase(a->lname.view(), b->lname.view());
}

uint64_t surname_hash(const WardFamily* fam) {
  return KeyHash().add_upper(fam->lname.view()).value();
}

/// `fam`, a family of the entry's name with another phone, after saying so
/// on the error stream; null when `fam` is.
WardFamily* phone_mismatch(WardFamily* fam, const WardFamily* entry) {
  if (fam != nullptr) {
    std::fprintf(stderr, "Phone numbers don't match for HT/VT family '%s, %s'\n",
                 str_or_empty(entry->lname), str_or_empty(entry->fname));
  }
  return fam;
}

}  // namespace

int mis1313_group(char code) {
  switch (code) {
    case ' ': return kGroupNA;
    case 'E': return kGroupEL;
    case 'H': return kGroupHP;
    case 'R': return kGroupRS;
    default: return kGroupNone;
  }
}

int mis1313_number(std::string_view line, size_t col) { return read_number(line, col); }

Mis1313Visits mis1313_visits(std::string_view second_line) {
  Mis1313Visits v;
  // A short line's missing marks are blanks, and blanks no contact.
  std::string_view tail = extract_field(second_line, kVisitsBeg, kVisitsBeg + kVisitsLen);
  for (size_t i = 0; i < kVisitsLen; ++i) {
    char& c = v.marks[i];
    c = i < tail.size() && !is_blank(tail[i]) ? tail[i] : 'x';
    if (c == '*') c = '-';
    if (c != '-') ++v.expected;
    if (c == 'V' || c == 'L' || c == 'T') ++v.made;
  }
  return v;
}

WardFamily* read_mis1313(FILE* fp) {
  WardFamily* list = nullptr;
  WardFamily* tail = nullptr;
  bool visiting = false;
  std::string line;
  while (read_line(line, fp) == 0) {
    bool sisters = begins_page(line, hdr2);
    if (sisters || begins_page(line, hdr)) {
      if (sisters) visiting = true;
      if (!skip_lines(line, fp, kHeaderLines)) break;
      continue;
    }
    if (is_page_footer(line) || line.size() < kMinEntry) continue;

    WardFamily* fam = create_ward_family();
    if (fam == nullptr) {
      std::fprintf(stderr, "MIS1313: Out of memory!\n");
      return nullptr;
    }
    append_remembered(list, tail, fam);

    fill_first_line(fam, line, visiting);
    if (read_line(line, fp) != 0) break;
    fill_second_line(fam, line, visiting);
  }
  return list;
}

WardFamily* find_family_mis1313(WardFamily* list, const WardFamily* entry) {
  WardFamily* other_phone = nullptr;
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname || !entry->lname || !same_name(fam, entry)) continue;
    if (fam->phone == entry->phone) return fam;
    other_phone = fam;
  }
  return phone_mismatch(other_phone, entry);
}

TeachingFamilyIndex::TeachingFamilyIndex(WardFamily* list)
    : TeachingFamilyIndex(gather(list)) {}

TeachingFamilyIndex::Gathered TeachingFamilyIndex::gather(WardFamily* list) {
  Gathered g;
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname) continue;
    g.exact.emplace_back(name_key_hash(fam->phone, fam->lname.view(), {}), fam);
    g.last.emplace_back(surname_hash(fam), fam);
  }
  return g;
}

TeachingFamilyIndex::TeachingFamilyIndex(const Gathered& g)
    : exact_(Index::of(g.exact, Index::kFirst,
                       [](const WardFamily* a, const WardFamily* b) {
                         return a->phone == b->phone && same_name(a, b);
                       })),
      last_(Index::of(g.last, Index::kLast, same_name)) {}

WardFamily* TeachingFamilyIndex::find(const WardFamily* entry) const {
  if (!entry->lname) return nullptr;
  WardFamily* const* exact =
      exact_.find(name_key_hash(entry->phone, entry->lname.view(), {}), [&](const WardFamily* f) {
        return f->phone == entry->phone && same_name(f, entry);
      });
  if (exact != nullptr) return *exact;
  // Every family of the name has another phone: the last of them.
  WardFamily* const* last =
      last_.find(surname_hash(entry), [&](const WardFamily* f) { return same_name(f, entry); });
  return phone_mismatch(last != nullptr ? *last : nullptr, entry);
}

void merge_1313(WardFamily* list, WardFamily* mis1313) {
  merge_1313(list, mis1313, TeachingFamilyIndex(list), MemberIndex(list));
}

void merge_1313(WardFamily* /*list*/, WardFamily* mis1313, const TeachingFamilyIndex& families,
                const MemberIndex& members) {
  for (WardFamily* entry = mis1313; entry != nullptr; entry = entry->next) {
    WardFamily* fam = families.find(entry);
    if (fam == nullptr) {
      std::fprintf(stderr, "Can't find HT/VT family '%s, %s'\n", str_or_empty(entry->lname),
                   str_or_empty(entry->fname));
      continue;
    }

    // Numbers: the home-teaching value when the entry has one, else the
    // visiting-teaching value; a zero changes nothing.
    auto copy_number = [](int from_ht, int& to_ht, int from_vt, int& to_vt) {
      if (from_ht != 0) {
        to_ht = from_ht;
      } else if (from_vt != 0) {
        to_vt = from_vt;
      }
    };
    copy_number(entry->htgroup, fam->htgroup, entry->vtgroup, fam->vtgroup);
    copy_number(entry->htsup, fam->htsup, entry->vtsup, fam->vtsup);
    copy_number(entry->htdist, fam->htdist, entry->vtdist, fam->vtdist);

    // Copies a teacher and phone, with the record number found for them.
    auto copy_teacher = [&](const Text& name, const Text& phone, Text& to_name, Text& to_phone,
                            Text& to_id) {
      copy_into(to_name, name);
      copy_into(to_phone, phone);
      to_id = members.find_id_name(name, phone);
    };
    if (entry->htname) {
      copy_teacher(entry->htname, entry->htphone, fam->htname, fam->htphone, fam->htid);
    } else if (entry->vtname) {
      copy_teacher(entry->vtname, entry->vtphone, fam->vtname, fam->vtphone, fam->vtid);
    }
    if (entry->htcomp) {
      copy_teacher(entry->htcomp, entry->htcomph, fam->htcomp, fam->htcomph, fam->htcompid);
    } else if (entry->vtcomp) {
      copy_teacher(entry->vtcomp, entry->vtcomph, fam->vtcomp, fam->vtcomph, fam->vtcompid);
    }

    if (entry->htvisits) copy_into(fam->htvisits, entry->htvisits);
    if (entry->vtvisits) copy_into(fam->vtvisits, entry->vtvisits);
    if (entry->htpct > 0) fam->htpct = entry->htpct;
    if (entry->vtpct > 0) fam->vtpct = entry->vtpct;

    // The entry learns the record numbers the ward list knows: it shares
    // them, so the ward list must outlive it (see the header).
    if (fam->recno) entry->recno = fam->recno;
    if (fam->htid) entry->htid = fam->htid;
    if (fam->vtid) entry->vtid = fam->vtid;
    if (fam->htcompid) entry->htcompid = fam->htcompid;
    if (fam->vtcompid) entry->vtcompid = fam->vtcompid;
  }
}
