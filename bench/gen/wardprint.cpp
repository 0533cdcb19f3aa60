// Printing a generated ward into the fixed-column report printouts.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <tuple>

#include "gen/wardgen.h"

namespace wardgen {

namespace {

constexpr int kPageLines = 55;
constexpr const char* kFooter = "For church use only";
constexpr int kFooterColumn = 44;

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

/// Writes `text` into `line` from column `col`, padding with blanks.
void put(std::string& line, size_t col, std::string_view text) {
  if (line.size() < col + text.size()) line.resize(col + text.size(), ' ');
  line.replace(col, text.size(), text);
}

std::string padded(std::string_view text, size_t width) {
  std::string s(text);
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

void rtrim(std::string& s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
}

std::string fmt(const char* f, int a, int b = 0, int c = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, f, a, b, c);
  return buf;
}

/// "07Mar61": day, month abbreviation, two-digit year.
std::string short_date(int day, int month, int year) {
  return fmt("%02d", day) + kMonths[month - 1] + fmt("%02d", year % 100);
}

/// "07 Mar 61".
std::string spaced_date(int day, int month, int year) {
  return fmt("%02d ", day) + kMonths[month - 1] + fmt(" %02d", year % 100);
}

/// Lines of one printout broken into pages of kPageLines lines: a header
/// (the first one without form feed), the body, a blank line and the footer
/// "For church use only" at column 44.
class Pages {
 public:
  using Header = std::function<void(std::string& out, int page)>;

  Pages(std::string& out, int header_lines, Header header)
      : out_(out), body_(kPageLines - header_lines - 2), header_(std::move(header)) {
    header_(out_, page_);
  }

  bool full() const { return used_ >= body_; }
  int room() const { return body_ - used_; }

  /// Adds a body line, breaking the page first when it is full, unless
  /// `overflow` lets the line go one past the page's end.
  void line(std::string_view text, bool overflow = false) {
    if (full() && !overflow) next_page();
    out_.append(text);
    out_ += '\n';
    ++used_;
  }

  void next_page() {
    footer();
    ++page_;
    used_ = 0;
    header_(out_, page_);
  }

  /// Ends the last page.
  void finish() { footer(); }

 private:
  void footer() {
    out_ += '\n';
    out_.append(kFooterColumn, ' ');
    out_ += kFooter;
    out_ += '\n';
  }

  std::string& out_;
  int body_;
  int used_ = 0;
  int page_ = 1;
  Header header_;
};

/// A title line: a form feed from page 2 on, `title`, and "Page N" at
/// column `page_column`.
std::string page_title(std::string_view title, int page, size_t page_column) {
  std::string s;
  if (page > 1) s += '\f';
  s += padded(title, page_column);
  s += "Page ";
  s += std::to_string(page);
  s += '\n';
  return s;
}

/// A title line with "Page N" at column 96, the title indented by `indent`.
std::string title_line(const char* title, int page, size_t indent = 0) {
  std::string s(indent, ' ');
  s += title;
  return page_title(s, page, 96);
}

struct Names {
  std::string ward, stake;
};

Names names_of(const GenWard& ward) {
  Names n;
  n.ward = ward.units.empty() ? "Ward" : ward.units[0].display;
  // "Kesbrook Springs 1st Ward" belongs to "Kesbrook Springs Stake".
  size_t ward_word = n.ward.rfind(' ');
  size_t cut = ward_word == std::string::npos || ward_word == 0 ? std::string::npos : n.ward.rfind(' ', ward_word - 1);
  n.stake = (cut == std::string::npos ? n.ward : n.ward.substr(0, cut)) + " Stake";
  return n;
}

std::string dated_line(const std::string& left) { return padded(left, 96) + report_date() + "\n"; }

// ---------------------------------------------------------------- MIS 231

/// The member part of a directory line, from column 41.
std::string member_part(const GenPerson& p) {
  std::string s;
  put(s, p.role == 3 ? 1 : 0, p.first);
  put(s, 22, std::string(1, p.sex));
  if (!p.member) put(s, 24, "Nonmembr");
  if (p.birth_printed) {
    put(s, 33, short_date(p.bday, p.bmonth, p.byear));
    put(s, 45, fmt("%2d", std::min(p.age, 99)));
  }
  if (!p.recno.empty()) put(s, 54, p.recno);
  rtrim(s);
  return s;
}

std::string city_line(const GenFamily& f) {
  std::string s = f.city + ", " + f.state;
  if (!f.zip.empty()) s += "  " + f.zip;
  return s;
}

std::string render_231(const GenWard& ward) {
  Names names = names_of(ward);
  std::string out;
  Pages pages(out, 6, [&](std::string& o, int page) {
    o += title_line("DIRECTORY OF MEMBERS (MIS 231)", page);
    o += dated_line(names.ward);
    o += names.stake + "\n\n";
    o += "Name, Address, Phone                     Members             Sex Status   Birth       Age      "
         "Record No.\n\n";
  });
  const std::string separator(108, '-');
  int families = 0, members = 0;
  for (const GenFamily& f : ward.families) {
    if (!f.in_directory()) continue;
    std::string name = f.fault == Fault::kLowerSurname ? title_case(f.surname) : f.surname;
    if (f.is_xref()) {
      pages.line(name + " (See " + f.see + ")");
      pages.line(separator, true);
      continue;
    }
    ++families;
    members += static_cast<int>(f.people.size());
    // The left-hand lines after the name start in column 1.
    auto indented = [](std::string_view text) { return std::string(1, ' ').append(text); };
    std::vector<std::string> left = {name, indented(f.addr)};
    if (!f.addr2.empty()) left.push_back(indented(f.addr2));
    left.push_back(indented(city_line(f)));
    if (!f.phone.empty()) left.push_back(indented(f.phone));
    size_t li = 0, mi = 0;
    bool first = true;
    // A family broken by a page goes on under "NAME (Cont.)", which takes
    // the place of one left-hand line.
    while (li < left.size() || mi < f.people.size()) {
      bool cont = false;
      if (pages.full()) {
        pages.next_page();
        cont = !first;
      }
      std::string row = cont ? name + " (Cont.)" : li < left.size() ? left[li++] : "";
      if (mi < f.people.size()) row = padded(row, 41) + member_part(f.people[mi++]);
      pages.line(row);
      first = false;
    }
    pages.line(separator, true);
  }
  pages.line("");
  pages.line("     Total Families: " + std::to_string(families) + "     Total Individuals: " + std::to_string(members));
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- MIS 232

std::string render_232(const GenWard& ward) {
  Names names = names_of(ward);
  std::string out;
  Pages pages(out, 5, [&](std::string& o, int page) {
    o += page_title("MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)", page, 76);
    o += padded(names.ward, 76) + report_date() + "\n\n";
    o += "Telephone           Household name and members               Address                                 "
         "Code\n\n";
  });
  int households = 0;
  for (const GenFamily& f : ward.families) {
    if (f.is_xref() || f.fault == Fault::kMissing232) continue;
    ++households;
    std::string head = f.surname + ", " + f.listing_first();
    const GenPerson* spouse = f.people.size() > 1 && f.people[1].role == 2 ? &f.people[1] : nullptr;
    // The names column runs from 22 to 63; a spouse that does not fit goes
    // on a line of its own.
    bool spouse_inline = spouse != nullptr && !f.spouse_own_line && head.size() + 3 + spouse->first.size() < 42;
    std::string names_text = spouse_inline ? head + " & " + spouse->first : head;
    std::string line = padded(f.phone, 20) + "  " + names_text;
    line.resize(64, '.');
    std::string addr = f.addr;
    if (f.fault == Fault::kAddrDiffers232) addr.insert(addr.find(' '), " ");
    line += padded(addr, 41) + f.acode;
    pages.line(line);
    if (spouse != nullptr && !spouse_inline) pages.line(std::string(21, ' ') + "& " + spouse->first);
    std::string kids;
    for (const GenPerson& p : f.people) {
      if (p.role != 3) continue;
      std::string entry = p.first + (p.surname != f.surname ? " " + p.surname : "");
      if (!kids.empty() && 23 + kids.size() + 2 + entry.size() > 100) {
        pages.line(std::string(23, ' ') + kids);
        kids.clear();
      }
      kids += (kids.empty() ? "" : ", ") + entry;
    }
    if (!kids.empty()) pages.line(std::string(23, ' ') + kids);
  }
  pages.line("");
  pages.line("     Total Households: " + std::to_string(households));
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- MIS 239

std::string render_239(const GenWard& ward) {
  Names names = names_of(ward);
  // Sorted by name; the record number breaks ties. The flag drops the comma.
  std::vector<std::tuple<std::string, std::string, std::string, const GenPerson*, bool>> rows;
  for (const GenFamily& f : ward.families) {
    if (f.is_xref()) continue;
    for (const GenPerson& p : f.people)
      if (!p.recno.empty())
        rows.emplace_back(p.surname, p.first, p.recno, &p, p.fault_member && f.fault == Fault::kNoComma239);
  }
  std::sort(rows.begin(), rows.end());
  std::string out;
  Pages pages(out, 6, [&](std::string& o, int page) {
    o += title_line("MEMBER RECORD NUMBER LIST (MIS 239)", page);
    o += dated_line(names.ward);
    o += names.stake + "\n\n";
    o += "Name                                                              Record No.        Birth      Baptism  "
         "Confirmed\n\n";
  });
  for (const auto& row : rows) {
    const GenPerson& p = *std::get<3>(row);
    std::string line = p.surname + (std::get<4>(row) ? " " : ", ") + p.first;
    line.resize(64, '.');
    line += "  " + p.recno + "  " + spaced_date(p.bday, p.bmonth, p.byear);
    if (p.baptized) {
      line += "  " + short_date(p.bap_day, p.bap_month, p.bap_year);
      line += "  " + short_date(p.bap_day + p.conf_days, p.bap_month, p.bap_year);
    }
    pages.line(line);
  }
  pages.line("");
  pages.line("     Total Members: " + std::to_string(rows.size()));
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- MIS 1313 / 1413

std::string person_phone(const GenWard& ward, PersonRef who) {
  return who.empty() ? "" : ward.families[who.family].phone;
}

/// The household's phone as a teaching report prints it: with a fault, a
/// ten-digit phone loses its area code and a seven-digit one gains one.
std::string teaching_phone(const GenFamily& f) {
  if (f.fault != Fault::kTeachPhone) return f.phone;
  if (f.phone.size() == 12) return f.phone.substr(4);
  return "208-" + f.phone;
}

std::string render_teaching(const GenWard& ward, bool visiting) {
  Names names = names_of(ward);
  const char* title = visiting ? "SISTERS AND THEIR VISITING TEACHERS (MIS 1413)"
                               : "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)";
  std::string out;
  Pages pages(out, 7, [&](std::string& o, int page) {
    o += title_line(title, page);
    o += dated_line(names.ward);
    o += names.stake + "\n\n";
    // Visit marks run from November of last year to this October.
    o += padded(visiting ? "Sister" : "Family", 30) + "Grp Sp Dst " + padded("Teacher", 31) + "Phone\n";
    o += padded("   Phone", 41) + padded("Companion", 31) + padded("Phone", 21) + "NDJFMAMJJASO\n\n";
  });
  for (const GenTeaching& t : visiting ? ward.visiting_teaching : ward.home_teaching) {
    const GenFamily& f = ward.families[t.family];
    std::string first = t.person >= 0 ? f.people[t.person].first : f.listing_first();
    std::string one(105, ' '), two(105, ' ');
    put(one, 0, f.surname + ", " + first);
    one[31] = t.group;
    put(one, 34, fmt("%2d", t.sup));
    put(one, 37, fmt("%3d", t.dist));
    if (!t.teacher.empty()) {
      put(one, 41, printed_name(ward, t.teacher));
      put(one, 72, person_phone(ward, t.teacher));
    }
    put(two, 3, teaching_phone(f));
    if (!t.companion.empty()) {
      put(two, 41, printed_name(ward, t.companion));
      put(two, 72, person_phone(ward, t.companion));
    }
    put(two, 93, t.visits);
    // An entry's two lines stay on one page.
    if (pages.room() < 2) pages.next_page();
    pages.line(one);
    pages.line(two);
  }
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- MIS 121

std::string render_121(const GenWard& ward) {
  Names names = names_of(ward);
  std::string out;
  Pages pages(out, 6, [&](std::string& o, int page) {
    o += title_line("WARD ORGANIZATION POSITIONS LIST (MIS 121)", page);
    o += dated_line(names.ward);
    o += names.stake + "\n\n";
    o += padded("Position", 34) + padded("Name", 43) + padded("Sustained", 11) + "Phone\n\n";
  });
  for (const GenUnit& unit : ward.units) {
    for (const GenOrg& org : unit.orgs) {
      if (pages.room() < 3) pages.next_page();
      pages.line("");
      pages.line("  " + org.heading);
      for (const GenPosition& pos : org.positions) {
        std::string line = pos.title;
        if (!pos.holder.empty()) {
          put(line, 34, printed_name(ward, pos.holder));
          put(line, 77, spaced_date(pos.sus_day, pos.sus_month, pos.sus_year));
          std::string phone = person_phone(ward, pos.holder);
          if (!phone.empty()) put(line, 88, phone);
        }
        pages.line(line);
      }
    }
  }
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- stake report

/// A stake report phone from column 73: a ten-digit phone as "(208)555-0142"
/// with the parenthesis at 73, any other from column 74.
void put_stake_phone(std::string& line, const std::string& phone) {
  if (phone.size() == 12 && phone[3] == '-')
    put(line, 73, std::string(1, '(').append(phone, 0, 3).append(1, ')').append(phone, 4));
  else
    put(line, 74, phone);
}

std::string render_smis(const GenWard& ward) {
  Names names = names_of(ward);
  std::string out;
  const std::string margin(12, ' ');
  // Each unit starts a page; its header names the unit.
  const GenUnit* current = ward.units.empty() ? nullptr : &ward.units[0];
  if (current == nullptr) return out;
  Pages pages(out, 6, [&](std::string& o, int page) {
    o += title_line("WARD ORGANIZATION REPORT", page, 12);
    o += margin + current->printed + "  " + report_date() + "\n";
    o += margin + names.stake + "\n\n";
    o += margin + "Position                 Name                           Sust. Phone\n";
    o += margin + std::string(80, '-') + "\n";
  });
  for (const GenUnit& unit : ward.units) {
    if (&unit != current) {
      current = &unit;
      pages.next_page();
    }
    for (const GenOrg& org : unit.orgs) {
      if (pages.room() < 3) pages.next_page();
      pages.line("");
      pages.line(margin + "  " + org.heading);
      for (const GenPosition& pos : org.positions) {
        std::string line = margin + pos.title;
        if (!pos.holder.empty()) {
          line.resize(36, '_');
          put(line, 37, printed_name(ward, pos.holder));
          put(line, 68, fmt("%02d/%02d", pos.sus_month, pos.sus_year % 100));
          std::string phone = person_phone(ward, pos.holder);
          if (!phone.empty()) put_stake_phone(line, phone);
        }
        pages.line(line);
      }
    }
  }
  pages.finish();
  return out;
}

// ---------------------------------------------------------------- configuration

std::string render_orgs() {
  std::string out = "# Organisation headings of the positions report: heading|display name|abbreviation\n";
  out += "Bishopric|Bishopric|bish\n";
  out += "Elders Quorum|Elders Quorum|eq\n";
  out += "High Priests Group|High Priests|hp\n";
  out += "Relief Society|Relief Society|rs\n";
  out += "Young Men|Young Men|ym\n";
  out += "Young Women|Young Women|yw\n";
  out += "Primary|Primary|pri\n";
  out += "Sunday School|Sunday School|ss\n";
  out += "Missionary Work|Missionaries|mis\n";
  out += "Music|Music|mus\n";
  return out;
}

std::string render_units(const GenWard& ward) {
  std::string out = "# Units of the stake report: printed name|abbreviation|display name\n";
  for (const GenUnit& u : ward.units)
    if (u.listed) out += u.printed + "|" + u.abbr + "|" + u.display + "\n";
  return out;
}

}  // namespace

const char* report_date() { return "06 Oct 2024"; }

std::vector<Printout> render_printouts(const GenWard& ward) {
  return {
      {"mis231.txt", render_231(ward)},           {"mis232.txt", render_232(ward)},
      {"mis239.txt", render_239(ward)},           {"mis1313.txt", render_teaching(ward, false)},
      {"mis1413.txt", render_teaching(ward, true)}, {"mis121.txt", render_121(ward)},
      {"smis.txt", render_smis(ward)},            {"wardorgs.txt", render_orgs()},
      {"wardunits.txt", render_units(ward)},
  };
}

bool write_ward_printouts(const std::string& folder, const GenOptions& opt, GenCounts* counts,
                          std::string* error) {
  GenWard ward = generate_ward(opt);
  if (counts != nullptr) *counts = ward.counts;
  for (const Printout& p : render_printouts(ward)) {
    std::string path = (std::filesystem::path(folder) / p.name).string();
    FILE* fp = std::fopen(path.c_str(), "wb");
    bool ok = fp != nullptr && std::fwrite(p.text.data(), 1, p.text.size(), fp) == p.text.size();
    if (fp != nullptr && std::fclose(fp) != 0) ok = false;
    if (!ok) {
      if (error != nullptr) *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace wardgen
