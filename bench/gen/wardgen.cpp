// Inventing the households, teaching assignments and positions of a ward.

#include "gen/wardgen.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string_view>
#include <tuple>

#include "gen/rng.h"

namespace wardgen {

namespace {

// The report date: 6 October 2024.
constexpr int kYear = 2024;
constexpr int kMonth = 10;
constexpr int kDay = 6;

constexpr int kFamiliesPerUnit = 200;
constexpr int kFamiliesPerDistrict = 8;
constexpr int kFamiliesPerCompanionship = 3;

// Syllables of invented names. None of the results begins with the first four
// letters of a report title, so no name line is taken for a page header.
const char* const kSurnameHeads[] = {
    "AB",  "AL",  "AR",  "BAL", "BEL", "BRAN", "COR", "DAL",   "DUN", "EL",  "FEN",  "GAR",  "GOR",
    "HAL", "HOL", "KEN", "KIR", "LAN", "LOR",  "MAR", "MOR",   "NOR", "OL",  "PEL",  "QUAR", "RAN",
    "ROS", "SAL", "STRAN", "TAL", "TOR", "VAL", "VEN", "WEL", "WIN", "YAR", "ZAN", "THOR", "BRAM", "CAS"};
const char* const kSurnameMids[] = {"", "A", "E", "I", "O", "BER", "DER", "LEN", "MER", "RIN", "TEN", "VER"};
const char* const kSurnameTails[] = {"BY",   "DAHL", "DEN",  "FIELD", "GARD", "HOLT",  "KER",
                                     "LAND", "LEY",  "LOW",  "MAN",   "NESS", "QUIST", "RICK",
                                     "SETH", "STAD", "TON",  "VIK",   "WICK", "WORTH", "ZEN",
                                     "GREN", "STROM", "BECK", "COTT"};

const char* const kMaleHeads[] = {"Al",  "Bren", "Cal", "Dar", "Ed",   "Fen", "Gar", "Hal",
                                  "Jor", "Kel",  "Lor", "Mar", "Nor",  "Os",  "Per", "Rol",
                                  "Sten", "Tor", "Val", "Wil", "Bram", "Cor"};
const char* const kMaleTails[] = {"an", "den", "ric", "ton", "vin", "ald", "mer", "ley", "o", "us", "rin", "wyn"};
const char* const kFemaleHeads[] = {"Ad",  "Bri", "Cel", "Dar", "El",  "Fae", "Ger", "Hel", "Ise", "Jan",
                                    "Kal", "Lin", "Mar", "Nel", "Ori", "Ros", "Sel", "Tam", "Vel", "Wyn"};
const char* const kFemaleTails[] = {"a", "elle", "ina", "ette", "ie", "ora", "yn", "issa", "en", "ah"};

const char* const kPlaceHeads[] = {"Bren", "Cal", "Dun", "Fen", "Gal", "Hol", "Kes", "Lark",
                                   "Mor",  "Os",  "Pel", "Quil", "Ros", "Tam", "Wil", "Yar"};
const char* const kPlaceTails[] = {"wood", "moor", "field", "crest", "brook", "dale", "view", "stone", "ridge", "gate"};
const char* const kStreetKinds[] = {"Street", "Avenue", "Lane", "Drive", "Circle", "Way", "Road", "Court",
                                    "Boulevard", "Place"};
const char* const kDirections[] = {"", "", "", "North ", "South ", "East ", "West "};
const char* const kCitySuffixes[] = {"", "", " Springs", " Falls", " Flat", " Junction"};
const char* const kStates[] = {"UT", "ID", "NV", "WY", "AZ"};
const char* const kOrdinals[] = {"1ST", "2ND", "3RD"};
const char* const kSecondLines[] = {"Apt ", "Unit ", "Suite "};

template <class T, size_t N>
const T& pick(Rng& rng, const T (&table)[N]) {
  return table[rng.below(static_cast<int>(N))];
}

/// An index in [0, n) that favours small ones, so that some names are
/// common and many households share them.
int skewed(Rng& rng, int n) { return std::min(rng.below(n), rng.below(n)); }

std::string upper_case(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

/// `count` distinct surnames of at most 16 characters.
std::vector<std::string> make_surnames(Rng& rng, int count) {
  std::vector<std::string> out;
  std::set<std::string> seen;
  while (static_cast<int>(out.size()) < count) {
    std::string s = std::string(pick(rng, kSurnameHeads)) + pick(rng, kSurnameMids) + pick(rng, kSurnameTails);
    if (s.size() > 16 || !seen.insert(s).second) continue;
    out.push_back(s);
  }
  return out;
}

/// Every first name the syllables give, in a seeded order.
std::vector<std::string> make_first_names(Rng& rng, bool male) {
  std::vector<std::string> out;
  if (male) {
    for (const char* h : kMaleHeads)
      for (const char* t : kMaleTails) out.push_back(std::string(h) + t);
  } else {
    for (const char* h : kFemaleHeads)
      for (const char* t : kFemaleTails) out.push_back(std::string(h) + t);
  }
  for (size_t i = out.size(); i > 1; --i) std::swap(out[i - 1], out[rng.below(static_cast<int>(i))]);
  return out;
}

struct City {
  std::string name, state, zip;
};

/// A number in [0, 10^11) that differs for every `k`: an affine map modulo
/// 10^11 with a multiplier prime to 10 is one to one.
uint64_t spread(uint64_t k, uint64_t offset) {
  constexpr uint64_t kRange = 100000000000ULL;
  return (k * 7368787ULL + offset) % kRange;
}

class Builder {
 public:
  explicit Builder(const GenOptions& opt)
      : opt_(opt), rng_(opt.seed * 0x2545f4914f6cdd1dULL ^ static_cast<uint64_t>(opt.families)) {}

  GenWard build();

 private:
  GenFamily make_household(int unit);
  GenPerson make_person(const std::string& surname, char sex, int role, int age);
  std::string first_name(char sex, const GenFamily& fam);
  std::string make_phone();
  std::string make_recno();
  void birth_date(GenPerson& p);
  void inject_faults(std::vector<GenFamily>& fams);
  void add_cross_refs(std::vector<GenFamily>& fams);
  void assign_teaching(GenWard& ward);
  void assign_positions(GenWard& ward);
  void count(GenWard& ward);
  bool faults() const { return opt_.fault_per_mille > 0; }

  GenOptions opt_;
  Rng rng_;
  std::vector<std::string> surnames_, male_, female_;
  std::vector<City> cities_;
  uint64_t phones_made_ = 0;
  uint64_t recnos_made_ = 0;
  uint64_t phone_offset_ = 0;
  uint64_t recno_offset_ = 0;
};

GenPerson Builder::make_person(const std::string& surname, char sex, int role, int age) {
  GenPerson p;
  p.surname = surname;
  p.sex = sex;
  p.role = role;
  p.age = age;
  birth_date(p);
  return p;
}

void Builder::birth_date(GenPerson& p) {
  p.bmonth = rng_.between(1, 12);
  p.bday = rng_.between(1, 28);
  bool had_birthday = p.bmonth < kMonth || (p.bmonth == kMonth && p.bday <= kDay);
  p.byear = kYear - p.age - (had_birthday ? 0 : 1);
}

std::string Builder::first_name(char sex, const GenFamily& fam) {
  const std::vector<std::string>& pool = sex == 'M' ? male_ : female_;
  for (;;) {
    const std::string& name = pool[skewed(rng_, static_cast<int>(pool.size()))];
    bool taken = false;
    for (const GenPerson& p : fam.people) taken = taken || p.first == name;
    if (!taken) return name;
  }
}

std::string Builder::make_phone() {
  // The seven-digit part differs for every household: exchanges 200-999.
  uint64_t v = (phones_made_++ * 7919ULL + phone_offset_) % 8000000ULL;
  char buf[32];
  int r = rng_.below(100);
  if (r < 4) return "";
  if (r < 5) return "unlisted";
  if (r < 30) {
    static const int kAreas[] = {208, 307, 385, 435, 702, 801, 928};
    std::snprintf(buf, sizeof buf, "%d-%03d-%04d", pick(rng_, kAreas), static_cast<int>(200 + v / 10000),
                  static_cast<int>(v % 10000));
  } else {
    std::snprintf(buf, sizeof buf, "%03d-%04d", static_cast<int>(200 + v / 10000), static_cast<int>(v % 10000));
  }
  return buf;
}

std::string Builder::make_recno() {
  uint64_t v;
  do v = spread(recnos_made_++, recno_offset_);
  while (v / 100000000ULL == 999);  // 999-9999-NNNN is the pseudo number pattern
  char buf[32];
  std::snprintf(buf, sizeof buf, "%03d-%04d-%04d", static_cast<int>(v / 100000000ULL),
                static_cast<int>(v / 10000 % 10000), static_cast<int>(v % 10000));
  return buf;
}

GenFamily Builder::make_household(int unit) {
  GenFamily fam;
  fam.unit = unit;
  fam.surname = surnames_[skewed(rng_, static_cast<int>(surnames_.size()))];
  const City& city = cities_[unit / 3 % cities_.size()];
  char buf[96];
  std::snprintf(buf, sizeof buf, "%d %s%s%s %s", rng_.between(1, 9899), pick(rng_, kDirections),
                pick(rng_, kPlaceHeads), pick(rng_, kPlaceTails), pick(rng_, kStreetKinds));
  fam.addr = buf;
  if (rng_.chance(100)) fam.addr2 = pick(rng_, kSecondLines) + std::to_string(rng_.between(1, 240));
  fam.city = city.name;
  fam.state = city.state;
  fam.zip = city.zip;
  if (rng_.chance(400)) {
    std::snprintf(buf, sizeof buf, "-%04d", rng_.between(1000, 9999));
    fam.zip += buf;
  }
  fam.phone = make_phone();
  std::snprintf(buf, sizeof buf, "%c%02d", fam.surname[0], rng_.below(100));
  fam.acode = buf;

  // Household make-up: single adults, couples, couples with children,
  // single parents.
  int kind = rng_.below(100);
  bool couple = kind >= 22 && kind < 88;
  bool children = kind >= 46;
  int parent_age;
  if (couple) {
    char head_sex = rng_.chance(940) ? 'M' : 'F';
    char spouse_sex = head_sex == 'M' ? 'F' : 'M';
    parent_age = rng_.between(children ? 24 : 20, children ? 58 : 88);
    GenPerson head = make_person(fam.surname, head_sex, 1, parent_age);
    head.first = first_name(head_sex, fam);
    fam.people.push_back(head);
    GenPerson spouse = make_person(fam.surname, spouse_sex, 2, std::clamp(parent_age + rng_.between(-6, 4), 19, 95));
    spouse.first = first_name(spouse_sex, fam);
    if (rng_.chance(40)) spouse.member = false;
    fam.spouse_own_line = rng_.chance(20);
    fam.people.push_back(spouse);
    // A few heads are not members; the directory brackets their name.
    if (spouse.member && rng_.chance(15)) {
      fam.people[0].member = false;
      fam.people[0].first = "[" + fam.people[0].first + "]";
    }
  } else {
    char sex = children ? (rng_.chance(800) ? 'F' : 'M') : (rng_.chance(500) ? 'F' : 'M');
    parent_age = children ? rng_.between(22, 55) : rng_.between(18, 95);
    GenPerson head = make_person(fam.surname, sex, 1, parent_age);
    head.first = first_name(sex, fam);
    fam.people.push_back(head);
  }
  if (children) {
    static const int kWeights[] = {20, 30, 25, 13, 8, 4};  // 1 to 6 children
    int r = rng_.below(100), n = 1;
    for (int w : kWeights) {
      if (r < w) break;
      r -= w;
      ++n;
    }
    int oldest = std::clamp(parent_age - 19, 0, 25);
    std::vector<int> ages;
    for (int i = 0; i < n; ++i) ages.push_back(rng_.between(0, oldest));
    std::sort(ages.rbegin(), ages.rend());
    for (int age : ages) {
      char sex = rng_.chance(500) ? 'F' : 'M';
      GenPerson child = make_person(fam.surname, sex, 3, age);
      child.first = first_name(sex, fam);
      fam.people.push_back(child);
    }
  }

  for (GenPerson& p : fam.people) {
    if (!p.member) {
      p.birth_printed = rng_.chance(500);
      continue;
    }
    // Infants are often not on record yet.
    if (p.age > 0 || rng_.chance(500)) p.recno = make_recno();
    if (p.age >= 8) {
      int at = p.age >= 20 && rng_.chance(200) ? rng_.between(8, p.age) : 8;
      p.bap_month = rng_.between(1, 12);
      p.bap_year = p.byear + at + (p.bap_month <= p.bmonth ? 1 : 0);
      p.bap_day = rng_.between(1, 28);
      p.baptized = p.bap_year < kYear || (p.bap_year == kYear && p.bap_month < kMonth);
      p.conf_days = rng_.below(2);
    }
  }
  return fam;
}

// Children of an earlier marriage carry another surname; the directory lists
// that surname with a pointer to the household.
void Builder::add_cross_refs(std::vector<GenFamily>& fams) {
  size_t n = fams.size();
  for (size_t i = 0; i < n; ++i) {
    GenFamily& fam = fams[i];
    if (fam.people.back().role != 3 || !rng_.chance(30)) continue;
    std::string other = surnames_[rng_.below(static_cast<int>(surnames_.size()))];
    if (other == fam.surname) continue;
    bool any = false;
    for (GenPerson& p : fam.people) {
      if (p.role == 3 && (!any || rng_.chance(500))) {
        p.surname = other;
        any = true;
      }
    }
    if (fam.fault == Fault::kNotInDirectory) continue;
    GenFamily xref;
    xref.surname = other;
    xref.see = fam.surname;
    xref.unit = fam.unit;
    fams.push_back(xref);
  }
}

void Builder::inject_faults(std::vector<GenFamily>& fams) {
  if (!faults()) return;
  auto has_member_with = [](const GenFamily& f, auto pred) {
    for (const GenPerson& p : f.people)
      if (pred(p)) return true;
    return false;
  };
  // A member whose birth date goes missing keeps a record number, so that
  // the directory line still reaches past the birth columns.
  auto dated = [](const GenPerson& p) { return p.member && p.birth_printed && !p.recno.empty(); };
  auto recorded = [](const GenPerson& p) { return !p.recno.empty(); };
  auto digits = [](const std::string& s) { return std::count_if(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }); };

  const Fault kinds[] = {Fault::kBadPhone,       Fault::kNoZip,       Fault::kLowerSurname,
                         Fault::kNoBirthday,     Fault::kNoComma239,  Fault::kAddrDiffers232,
                         Fault::kMissing232,     Fault::kTeachPhone,  Fault::kUnknownGroup};
  for (Fault kind : kinds) {
    auto eligible = [&](const GenFamily& f) {
      if (f.fault != Fault::kNone) return false;
      switch (kind) {
        case Fault::kBadPhone: return digits(f.phone) == 7;
        case Fault::kNoBirthday: return has_member_with(f, dated);
        case Fault::kNoComma239: return has_member_with(f, recorded);
        case Fault::kTeachPhone: return digits(f.phone) == 7 || digits(f.phone) == 10;
        default: return true;
      }
    };
    std::vector<size_t> chosen;
    for (size_t i = 0; i < fams.size(); ++i)
      if (eligible(fams[i]) && rng_.chance(opt_.fault_per_mille)) chosen.push_back(i);
    if (chosen.empty()) {
      std::vector<size_t> all;
      for (size_t i = 0; i < fams.size(); ++i)
        if (eligible(fams[i])) all.push_back(i);
      if (all.empty()) continue;
      chosen.push_back(all[rng_.below(static_cast<int>(all.size()))]);
    }
    for (size_t i : chosen) {
      GenFamily& f = fams[i];
      f.fault = kind;
      if (kind == Fault::kBadPhone) f.phone += std::to_string(rng_.below(10));
      if (kind == Fault::kNoZip) f.zip.clear();
      if (kind == Fault::kNoBirthday || kind == Fault::kNoComma239) {
        std::vector<GenPerson*> fit;
        for (GenPerson& p : f.people)
          if (kind == Fault::kNoBirthday ? dated(p) : recorded(p)) fit.push_back(&p);
        GenPerson* p = fit[rng_.below(static_cast<int>(fit.size()))];
        p->fault_member = true;
        if (kind == Fault::kNoBirthday) p->birth_printed = false;
      }
    }
  }
}

/// Candidates for callings and teaching: members of at least 18 with a
/// directory name that the reports print the same way, from households whose
/// phone the directory reader keeps.
bool can_serve(const GenFamily& f, const GenPerson& p) {
  return !f.is_xref() && f.fault != Fault::kBadPhone && f.fault != Fault::kNotInDirectory && p.member &&
         p.age >= 18 && p.surname == f.surname;
}

void Builder::assign_teaching(GenWard& ward) {
  int units = static_cast<int>(ward.units.size());
  std::vector<std::vector<PersonRef>> men(units), women(units);
  std::vector<std::vector<int>> households(units);
  for (int i = 0; i < static_cast<int>(ward.families.size()); ++i) {
    GenFamily& f = ward.families[i];
    if (f.is_xref()) continue;
    households[f.unit].push_back(i);
    for (int j = 0; j < static_cast<int>(f.people.size()); ++j) {
      if (!can_serve(f, f.people[j])) continue;
      (f.people[j].sex == 'M' ? men : women)[f.unit].push_back({i, j});
    }
  }
  auto visits = [&](bool assigned) {
    std::string v(12, ' ');
    if (!assigned) return v;
    for (char& c : v) {
      int r = rng_.below(100);
      c = r < 45 ? 'V' : r < 52 ? 'T' : r < 55 ? 'L' : r < 59 ? '*' : r < 61 ? '-' : ' ';
    }
    return v;
  };
  auto companions = [&](const std::vector<PersonRef>& pool, int pair, int family, GenTeaching& t) {
    int n = static_cast<int>(pool.size());
    if (n < 2 || rng_.chance(50)) return;
    int a = (2 * pair) % n, b = (2 * pair + 1) % n;
    if (pool[a].family == family || pool[b].family == family) {
      a = (a + 2) % n;
      b = (b + 2) % n;
    }
    if (pool[a].family == family || pool[b].family == family) return;
    t.teacher = pool[a];
    t.companion = pool[b];
  };
  for (int u = 0; u < units; ++u) {
    int ht = 0, vt = 0;
    for (int i : households[u]) {
      GenFamily& f = ward.families[i];
      f.district = ht / kFamiliesPerDistrict + 1;
      GenTeaching t;
      t.family = i;
      const GenPerson& head = f.people[0];
      t.group = head.sex == 'M' && head.member && head.age >= 18 ? (head.age >= 50 ? 'H' : 'E') : ' ';
      if (f.fault == Fault::kUnknownGroup) t.group = 'P';
      t.dist = f.district;
      t.sup = (f.district - 1) / 4 + 1;
      companions(men[u], ht / kFamiliesPerCompanionship, i, t);
      t.visits = visits(!t.teacher.empty());
      ward.home_teaching.push_back(t);
      ++ht;
      for (int j = 0; j < static_cast<int>(f.people.size()); ++j) {
        const GenPerson& p = f.people[j];
        if (p.sex != 'F' || !p.member || p.age < 18 || p.surname != f.surname) continue;
        GenTeaching s;
        s.family = i;
        s.person = j;
        s.group = 'R';
        s.dist = t.dist;
        s.sup = t.sup;
        companions(women[u], vt / kFamiliesPerCompanionship, i, s);
        s.visits = visits(!s.teacher.empty());
        ward.visiting_teaching.push_back(s);
        ++vt;
      }
    }
  }
}

struct OrgKind {
  const char* heading;
  char sex;  // 'M', 'F' or 0 for either
  std::vector<const char*> titles;
};

const std::vector<OrgKind>& org_kinds() {
  static const std::vector<OrgKind> kinds = {
      {"Bishopric", 'M', {"Bishop", "First Counselor", "Second Counselor", "Executive Secretary", "Ward Clerk"}},
      {"Elders Quorum", 'M', {"President", "First Counselor", "Second Counselor", "Secretary", "Instructor"}},
      {"High Priests Group", 'M', {"Group Leader", "First Assistant", "Second Assistant", "Secretary"}},
      {"Relief Society", 'F', {"President", "First Counselor", "Second Counselor", "Secretary", "Teacher", "Teacher"}},
      {"Young Men", 'M', {"President", "First Counselor", "Adviser"}},
      {"Young Women", 'F', {"President", "First Counselor", "Adviser"}},
      {"Primary", 0, {"President", "First Counselor", "Secretary", "Teacher", "Teacher", "Teacher", "Nursery Leader"}},
      {"Sunday School", 0, {"President", "Gospel Doctrine Teacher", "Youth Teacher"}},
      {"Missionary Work", 0, {"Ward Mission Leader", "Ward Missionary", "Ward Missionary"}},
      {"Music", 0, {"Music Chairman", "Organist", "Chorister"}},
  };
  return kinds;
}

// The heading that the organisation table leaves out.
const OrgKind& unknown_org() {
  static const OrgKind kind = {"Activities Committee", 0, {"Chairman", "Committee Member", "Committee Member"}};
  return kind;
}

void Builder::assign_positions(GenWard& ward) {
  int units = static_cast<int>(ward.units.size());
  std::vector<std::vector<PersonRef>> pool(units);
  for (int i = 0; i < static_cast<int>(ward.families.size()); ++i) {
    const GenFamily& f = ward.families[i];
    for (int j = 0; j < static_cast<int>(f.people.size()); ++j)
      if (can_serve(f, f.people[j])) pool[f.unit].push_back({i, j});
  }
  std::vector<bool> unknown(units, false);
  if (faults()) {
    bool any = false;
    for (int u = 0; u < units; ++u) any = (unknown[u] = rng_.chance(5 * opt_.fault_per_mille)) || any;
    if (!any) unknown[rng_.below(units)] = true;
  }
  for (int u = 0; u < units; ++u) {
    std::vector<const OrgKind*> kinds;
    for (const OrgKind& k : org_kinds()) kinds.push_back(&k);
    if (unknown[u]) kinds.push_back(&unknown_org());
    for (const OrgKind* kind : kinds) {
      GenOrg org;
      org.heading = kind->heading;
      org.known = kind != &unknown_org();
      for (const char* title : kind->titles) {
        GenPosition pos;
        pos.title = title;
        pos.sus_year = rng_.between(2016, kYear - 1);
        pos.sus_month = rng_.between(1, 12);
        pos.sus_day = rng_.between(1, 28);
        const std::vector<PersonRef>& people = pool[u];
        if (!people.empty() && !rng_.chance(60)) {
          for (int tries = 0; tries < 20; ++tries) {
            PersonRef who = people[rng_.below(static_cast<int>(people.size()))];
            if (kind->sex == 0 || ward.families[who.family].people[who.person].sex == kind->sex) {
              pos.holder = who;
              break;
            }
          }
        }
        org.positions.push_back(pos);
      }
      ward.units[u].orgs.push_back(org);
    }
  }
}

void Builder::count(GenWard& ward) {
  GenCounts& c = ward.counts;
  for (const GenFamily& f : ward.families) {
    if (f.is_xref()) {
      ++c.families;
      ++c.cross_refs;
      continue;
    }
    if (f.fault != Fault::kMissing232) ++c.listing_families;
    for (const GenPerson& p : f.people)
      if (!p.recno.empty()) ++c.recno_lines;
    if (f.fault == Fault::kNoComma239) ++c.recno_no_comma;
    if (f.fault == Fault::kTeachPhone) ++c.teaching_phone_faults;
    if (f.fault == Fault::kUnknownGroup) ++c.unknown_group_codes;
    if (!f.in_directory()) {
      ++c.not_in_directory;
      continue;
    }
    ++c.families;
    c.members += static_cast<int>(f.people.size());
    for (const GenPerson& p : f.people) {
      if (p.recno.empty()) ++c.pseudo_recnos;
      if (p.recno.empty() || (p.fault_member && f.fault == Fault::kNoComma239)) ++c.recno_unmatched;
    }
    bool bracketed = f.people[0].first[0] == '[';
    if (bracketed && f.people.size() > 1 && f.people[1].role == 2) ++c.heads_changed;
    if (f.fault == Fault::kBadPhone || f.fault == Fault::kNoZip || f.fault == Fault::kLowerSurname)
      ++c.families_with_notes;
    if (f.fault == Fault::kNoBirthday) ++c.members_with_notes;
    if (bracketed || f.fault == Fault::kLowerSurname || f.fault == Fault::kAddrDiffers232 ||
        f.fault == Fault::kMissing232)
      ++c.listing_unmatched;
  }
  c.ht_entries = static_cast<int>(ward.home_teaching.size());
  c.vt_entries = static_cast<int>(ward.visiting_teaching.size());
  for (const GenUnit& u : ward.units) {
    ++c.units;
    if (!u.listed) ++c.unlisted_units;
    for (const GenOrg& o : u.orgs) {
      ++c.orgs;
      if (!o.known) ++c.unknown_headings;
      for (const GenPosition& p : o.positions) {
        ++c.positions;
        if (p.holder.empty()) ++c.vacant_positions;
      }
    }
  }
}

GenWard Builder::build() {
  GenWard ward;
  int n = std::max(opt_.families, 1);
  phone_offset_ = rng_.next() % 8000000ULL;
  recno_offset_ = rng_.next() % 100000000000ULL;
  surnames_ = make_surnames(rng_, std::clamp(n / 8, 12, 9000));
  male_ = make_first_names(rng_, true);
  female_ = make_first_names(rng_, false);

  // Units of about 200 households, three to a city.
  int units = (n + kFamiliesPerUnit - 1) / kFamiliesPerUnit;
  for (int c = 0; c < (units + 2) / 3; ++c) {
    City city;
    city.name = std::string(pick(rng_, kPlaceHeads)) + pick(rng_, kPlaceTails) + pick(rng_, kCitySuffixes);
    city.state = pick(rng_, kStates);
    char zip[8];
    std::snprintf(zip, sizeof zip, "%05d", 80000 + (c * 137 + rng_.below(60)) % 9000);
    city.zip = zip;
    cities_.push_back(city);
  }
  for (int u = 0; u < units; ++u) {
    const City& city = cities_[u / 3];
    GenUnit unit;
    unit.printed = upper_case(city.name) + " " + kOrdinals[u % 3] + " WARD";
    unit.display = city.name + " " + title_case(kOrdinals[u % 3]) + " Ward";
    std::string abbr;
    for (char c : city.name)
      if (c != ' ' && abbr.size() < 3) abbr += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    unit.abbr = abbr + std::to_string(u + 1);
    ward.units.push_back(unit);
  }
  if (faults() && units >= 3) ward.units[rng_.between(1, units - 1)].listed = false;

  for (int i = 0; i < n; ++i) ward.families.push_back(make_household(static_cast<int>(static_cast<int64_t>(i) * units / n)));
  if (faults()) {
    // Households that every report but the directory knows.
    int extra = 0;
    for (int i = 0; i < n; ++i) extra += rng_.chance(opt_.fault_per_mille) ? 1 : 0;
    for (int i = 0; i < std::max(extra, 1); ++i) {
      ward.families.push_back(make_household(rng_.below(units)));
      ward.families.back().fault = Fault::kNotInDirectory;
    }
  }
  inject_faults(ward.families);
  add_cross_refs(ward.families);

  // Directory order: surname, then the head's first name; ties keep the
  // order of invention.
  std::vector<std::tuple<std::string, std::string, size_t>> keys;
  for (size_t i = 0; i < ward.families.size(); ++i) {
    const GenFamily& f = ward.families[i];
    keys.emplace_back(f.surname, f.is_xref() ? std::string() : f.listing_first(), i);
  }
  std::sort(keys.begin(), keys.end());
  std::vector<GenFamily> sorted;
  sorted.reserve(keys.size());
  for (const auto& k : keys) sorted.push_back(std::move(ward.families[std::get<2>(k)]));
  ward.families = std::move(sorted);

  assign_teaching(ward);
  assign_positions(ward);
  count(ward);
  return ward;
}

}  // namespace

std::string title_case(std::string_view s) {
  std::string out(s);
  bool start = true;
  for (char& c : out) {
    if (start && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!start && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    start = c == ' ' || c == '-';
  }
  return out;
}

std::string GenFamily::listing_first() const {
  if (people.empty()) return "";
  const std::string& first = people[0].first;
  if (first.size() >= 2 && first.front() == '[' && first.back() == ']') return first.substr(1, first.size() - 2);
  return first;
}

std::string printed_name(const GenWard& ward, PersonRef who) {
  const GenFamily& f = ward.families[who.family];
  return title_case(f.surname) + ", " + f.people[who.person].first;
}

GenWard generate_ward(const GenOptions& opt) { return Builder(opt).build(); }

}  // namespace wardgen
