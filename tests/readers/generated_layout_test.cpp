// Column layout of the generated teaching, positions and stake printouts:
// each is cut here by the fixed columns and line kinds that their readers
// use, and every entry must give back what the generator invented.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gen/wardgen.h"

namespace {

using wardgen::GenWard;
using wardgen::PersonRef;

struct Generated {
  GenWard ward;
  std::vector<wardgen::Printout> files;
};

const Generated& generated() {
  static const Generated g = [] {
    wardgen::GenOptions opt;
    opt.families = 700;  // four units: the stake report holds an unknown one
    opt.seed = 11;
    Generated out;
    out.ward = wardgen::generate_ward(opt);
    out.files = wardgen::render_printouts(out.ward);
    return out;
  }();
  return g;
}

std::vector<std::string> lines_of(const std::string& name) {
  for (const wardgen::Printout& p : generated().files) {
    if (p.name != name) continue;
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t nl; (nl = p.text.find('\n', at)) != std::string::npos; at = nl + 1)
      lines.push_back(p.text.substr(at, nl - at));
    EXPECT_EQ(at, p.text.size()) << name << " does not end with a line feed";
    return lines;
  }
  ADD_FAILURE() << "no printout " << name;
  return {};
}

/// Columns [beg, beg + len) cut short at the line's end, trailing blanks removed.
std::string cut(const std::string& line, size_t beg, size_t len = std::string::npos) {
  if (beg >= line.size()) return "";
  std::string s = line.substr(beg, len);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

/// The number from column `col`: blanks skipped, then digits.
int number_at(const std::string& line, size_t col) {
  while (col < line.size() && line[col] == ' ') ++col;
  return std::atoi(line.c_str() + std::min(col, line.size()));
}

bool starts_title(const std::string& line, const char* title, size_t col = 0) {
  std::string_view v(line);
  if (!v.empty() && (v[0] == '\f' || v[0] == '*')) v.remove_prefix(1);
  return v.size() >= col + 4 && v.substr(col, 4) == std::string_view(title, 4);
}

bool is_footer(const std::string& line) {
  return line.size() > 44 && line.compare(44, 4, "For ") == 0;
}

std::string phone_of(PersonRef who) {
  return who.empty() ? "" : generated().ward.families[who.family].phone;
}

std::string name_of(PersonRef who) {
  return who.empty() ? "" : wardgen::printed_name(generated().ward, who);
}

void check_teaching(const char* file, const char* title, const std::vector<wardgen::GenTeaching>& want) {
  std::vector<std::string> lines = lines_of(file);
  size_t k = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& one = lines[i];
    if (starts_title(one, title)) {
      i += 6;
      continue;
    }
    if (is_footer(one) || one.size() < 105) continue;
    ASSERT_LT(i + 1, lines.size());
    ASSERT_LT(k, want.size()) << "extra entry: " << one;
    const std::string& two = lines[++i];
    const wardgen::GenTeaching& t = want[k++];
    const wardgen::GenFamily& fam = generated().ward.families[t.family];
    SCOPED_TRACE(one);
    EXPECT_EQ(one.substr(0, one.find(',')), fam.surname);
    EXPECT_EQ(one[31], t.group);
    EXPECT_EQ(number_at(one, 34), t.sup);
    EXPECT_EQ(number_at(one, 37), t.dist);
    EXPECT_EQ(cut(one, 41, 31), name_of(t.teacher));
    EXPECT_EQ(cut(one, 72, 21), phone_of(t.teacher));
    EXPECT_EQ(cut(two, 41, 31), name_of(t.companion));
    EXPECT_EQ(cut(two, 72, 21), phone_of(t.companion));
    EXPECT_EQ(two.substr(93, 12), t.visits);
    std::string phone = two[3] == ' ' ? "" : cut(two, 3, 28);
    if (fam.fault == wardgen::Fault::kTeachPhone)
      EXPECT_NE(phone, fam.phone);
    else
      EXPECT_EQ(phone, fam.phone);
  }
  EXPECT_EQ(k, want.size());
}

TEST(GeneratedLayout, HomeTeachingColumns) {
  check_teaching("mis1313.txt", "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)", generated().ward.home_teaching);
}

TEST(GeneratedLayout, VisitingTeachingColumns) {
  check_teaching("mis1413.txt", "SISTERS AND THEIR VISITING TEACHERS (MIS 1413)",
                 generated().ward.visiting_teaching);
  for (const wardgen::GenTeaching& t : generated().ward.visiting_teaching) EXPECT_EQ(t.group, 'R');
}

/// The positions in printout order, flattened, with their headings.
struct Expected {
  std::vector<std::string> headings;
  std::vector<const wardgen::GenPosition*> positions;
};

Expected expected_positions() {
  Expected e;
  for (const wardgen::GenUnit& u : generated().ward.units) {
    for (const wardgen::GenOrg& o : u.orgs) {
      e.headings.push_back(o.heading);
      for (const wardgen::GenPosition& p : o.positions) e.positions.push_back(&p);
    }
  }
  return e;
}

std::string spaced_date(const wardgen::GenPosition& p) {
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d %s %02d", p.sus_day, months[p.sus_month - 1], p.sus_year % 100);
  return buf;
}

TEST(GeneratedLayout, WardPositionsColumns) {
  Expected want = expected_positions();
  std::vector<std::string> headings;
  size_t k = 0;
  std::vector<std::string> lines = lines_of("mis121.txt");
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (starts_title(line, "WARD ORGANIZATION POSITIONS LIST (MIS 121)")) {
      i += 5;
      continue;
    }
    if (is_footer(line) || line.size() < 3) continue;
    if (line[0] == ' ') {
      std::string h = cut(line, line.find_first_not_of(' '));
      if (!h.empty()) headings.push_back(h);
      continue;
    }
    ASSERT_LT(k, want.positions.size()) << "extra position: " << line;
    const wardgen::GenPosition& p = *want.positions[k++];
    SCOPED_TRACE(line);
    EXPECT_EQ(cut(line, 0, 33), p.title);
    bool held = line.size() > 34 && line[34] != ' ';
    ASSERT_EQ(held, !p.holder.empty());
    if (!held) continue;
    EXPECT_EQ(cut(line, 34, 42), name_of(p.holder));
    EXPECT_EQ(cut(line, 77, 11), spaced_date(p));
    // The phone runs from column 88 to the line's end, untrimmed.
    EXPECT_EQ(line.size() > 88 ? line.substr(88) : "", phone_of(p.holder));
  }
  EXPECT_EQ(k, want.positions.size());
  EXPECT_EQ(headings, want.headings);
}

TEST(GeneratedLayout, StakeReportColumns) {
  Expected want = expected_positions();
  std::vector<std::string> units, headings;
  size_t k = 0;
  std::vector<std::string> lines = lines_of("smis.txt");
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (starts_title(line, "WARD ORGANIZATION REPORT", 12)) {
      ASSERT_LT(i + 1, lines.size());
      const std::string& unit = lines[++i];
      std::string name = unit.substr(12, unit.find("  ", 12) - 12);
      if (units.empty() || units.back() != name) units.push_back(name);
      i += 4;
      continue;
    }
    line = cut(line, 0);
    if (line.size() <= 1 || is_footer(line) || line.size() < 3) continue;
    if (line[12] == ' ') {
      headings.push_back(line.substr(line.find_first_not_of(' ')));
      continue;
    }
    ASSERT_NE(line[12], '-') << "rule line in the body";
    ASSERT_LT(k, want.positions.size()) << "extra position: " << line;
    const wardgen::GenPosition& p = *want.positions[k++];
    SCOPED_TRACE(line);
    if (line.size() < 37) {
      EXPECT_TRUE(p.holder.empty());
      EXPECT_EQ(line.substr(12), p.title);
      continue;
    }
    // The title is padded with underscores up to column 35.
    EXPECT_EQ(line[36], ' ');
    std::string title = line.substr(12, 24);
    title.erase(title.find_last_not_of('_') + 1);
    EXPECT_EQ(title, p.title);
    EXPECT_EQ(cut(line, 37, 31), name_of(p.holder));
    std::string sus = cut(line, 68, 6);
    if (!sus.empty() && sus.back() == '(') sus.pop_back();
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d/%02d", p.sus_month, p.sus_year % 100);
    EXPECT_EQ(sus, buf);
    std::string phone = line.size() > 74 ? line.substr(74) : "";
    if (phone.size() > 3 && phone[3] == ')') phone[3] = '-';
    EXPECT_EQ(phone, phone_of(p.holder));
  }
  EXPECT_EQ(k, want.positions.size());
  EXPECT_EQ(headings, want.headings);
  std::vector<std::string> printed;
  for (const wardgen::GenUnit& u : generated().ward.units) printed.push_back(u.printed);
  EXPECT_EQ(units, printed);
}

TEST(GeneratedLayout, ConfigurationFilesLeaveOutTheUnknownOnes) {
  std::vector<std::string> orgs = lines_of("wardorgs.txt"), units = lines_of("wardunits.txt");
  auto listed = [](const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& l : lines)
      if (l[0] != '#' && l.substr(0, l.find('|')) == key) return true;
    return false;
  };
  int unknown_orgs = 0, unknown_units = 0;
  for (const wardgen::GenUnit& u : generated().ward.units) {
    EXPECT_EQ(listed(units, u.printed), u.listed) << u.printed;
    unknown_units += !u.listed;
    for (const wardgen::GenOrg& o : u.orgs) {
      EXPECT_EQ(listed(orgs, o.heading), o.known) << o.heading;
      unknown_orgs += !o.known;
    }
  }
  EXPECT_EQ(unknown_units, 1);
  EXPECT_GT(unknown_orgs, 0);
}

TEST(GeneratedLayout, PagesHoldFiftyFiveLinesAndBreakInsideFamilies) {
  for (const wardgen::Printout& p : generated().files) {
    if (p.name.starts_with("ward")) continue;
    // Every page starts with the report's title: at column 0, or at column
    // 12 in the stake report.
    size_t indent = p.name == "smis.txt" ? 12 : 0;
    std::string title = p.text.substr(0, p.text.find("  ", indent));
    EXPECT_GT(title.size(), indent + 20) << p.name << " title: " << title;
    size_t page_lines = 0, pages = 1;
    for (size_t i = 0; i < p.text.size(); ++i) {
      if (p.text[i] == '\f') {
        EXPECT_LE(page_lines, 56u) << p.name << " page " << pages;
        EXPECT_EQ(p.text.compare(i + 1, title.size(), title), 0) << p.name << " page " << pages + 1;
        page_lines = 0;
        ++pages;
      }
      if (p.text[i] == '\n') ++page_lines;
    }
    EXPECT_GT(pages, 1u) << p.name;
  }
  std::vector<std::string> dir = lines_of("mis231.txt");
  int continued = 0;
  for (const std::string& l : dir) continued += cut(l, 0, 41).ends_with(" (Cont.)");
  EXPECT_GT(continued, 10);
}

}  // namespace
