#include "web/summary.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

/// A file a group holds, when the printout it needs was given (null: the
/// group's own).
struct GroupFile {
  const char* file;
  const char* needs = nullptr;
};

/// Which program makes a group.
enum class Maker { kBatch, kContacts, kChanges, kStake, kBook };

/// A group of lists: what it needs, what it holds, and the words for it.
struct GroupRule {
  const char* title;
  std::vector<const char*> needs;  ///< every one of these inputs ("lastmonth": last month's)
  Maker maker;
  std::vector<GroupFile> files;
  const char* holds;   ///< what it is, once made
  const char* absent;  ///< why not, when the first of `needs` was not given
};

const std::vector<GroupRule>& rules() {
  static const std::vector<GroupRule> kRules = {
      {"Ward lists", {"mis231.txt"}, Maker::kBatch,
       {{"wardph.txt"}, {"wardfull.txt"}, {"wardpriv.txt"}, {"wardzip.txt"}, {"warderr.txt"}},
       "the phone list, the full and private ward lists, the zip-code list and the error report",
       "No directory of members (MIS 231) was given, so there are no ward lists"},
      {"Home teaching", {"mis1313.txt"}, Maker::kBatch,
       {{"wardht.txt"}, {"htdist.txt"}, {"htlist.txt"}},
       "home teaching by family, by district and condensed",
       "No home-teaching report (MIS 1313) was given, so there are no home-teaching lists"},
      {"Visiting teaching", {"mis1413.txt"}, Maker::kBatch,
       {{"wardvt.txt"}, {"vtdist.txt"}, {"vtlist.txt"}},
       "visiting teaching by sister, by district and condensed",
       "No visiting-teaching report (MIS 1413) was given, so there are no visiting-teaching "
       "lists"},
      {"Positions", {"mis121.txt"}, Maker::kBatch, {{"wardpos.txt"}},
       "the positions list, vacant positions too",
       "No positions report (MIS 121) was given, so there is no positions list"},
      {"CSV files", {}, Maker::kBatch,
       {{"wardfam.csv", "mis231.txt"},
        {"wardmem.csv", "mis231.txt"},
        {"wardhtvt.csv", "teaching"},
        {"wardpos.csv", "mis121.txt"}},
       "one row a family, member, teaching assignment or calling, as the printouts give them",
       "No printout was given, so there are no CSV files"},
      {"Contacts for phones", {"mis231.txt", "contacts"}, Maker::kContacts,
       {{"wardcontacts.vcf"}, {"wardbirthdays.ics"}},
       "a contact card a family and every member's birthday",
       "No directory of members (MIS 231) was given, so there are no contacts for phones"},
      {"Changes since last month", {"mis231.txt", "lastmonth"}, Maker::kChanges,
       {{"changes.txt"}, {"changes.csv"}},
       "what changed in the directory since last month's",
       "No directory of members (MIS 231) was given, so there is no changes report"},
      {"The stake's lists", {"smis.txt", "wardunits.txt"}, Maker::kStake,
       {{"stakedoc/alpha.txt"}},
       "each unit's positions and the stake's alphabetical list",
       "No stake report was given, so there are no stake lists"},
      {"Directory booklet", {"mis231.txt", "book"}, Maker::kBook, {{"wardbook.pdf"}},
       "the directory as a booklet to print",
       "No directory of members (MIS 231) was given, so there is no booklet"},
  };
  return kRules;
}

/// Why a group is not asked for when `need`, not its first, is missing.
const char* absent_because(std::string_view need) {
  if (need == "contacts") {
    return "kinroll-contacts is not installed on this computer, so there are no contacts for "
           "phones";
  }
  if (need == "lastmonth") {
    return "No directory of last month was given or kept, so there is no changes report";
  }
  if (need == "wardunits.txt") {
    return "The stake report was given, but not the stake's units (wardunits.txt) it needs, so "
           "there are no stake lists";
  }
  return "kinroll-book is not installed on this computer, so there is no booklet";
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

/// Why `file` was not written: the message the programs printed about it,
/// else how `end` says its program ended.
std::string why_missing(const std::string& file, const ChildEnd& end, const std::string& text) {
  std::string name = lower(file.substr(file.rfind('/') + 1));
  size_t at = 0;
  while (at < text.size()) {
    size_t line_end = std::min(text.find('\n', at), text.size());
    std::string line = text.substr(at, line_end - at);
    at = line_end + 1;
    if (lower(line).find(name) != std::string::npos) return file + " was not made: " + line;
  }
  if (end.timed_out) return file + " was not made: the program took too long and was stopped";
  if (end.cancelled) return file + " was not made: kinroll-web was ending";
  if (end.status == 127) return file + " was not made: the program could not be started";
  if (end.signal != 0) {
    return file + " was not made: the program stopped unexpectedly (signal " +
           std::to_string(end.signal) + ")";
  }
  return file + " was not made";
}

}  // namespace

std::vector<GroupOutcome> summarise(const JobResult& r, bool last_month, const Makers& makers,
                                    bool finishing) {
  auto given = [&](std::string_view need) {
    if (need == "lastmonth") return last_month;
    if (need == "contacts") return makers.contacts;
    if (need == "book") return makers.book;
    if (need == "teaching") {
      return std::ranges::count(r.inputs, "mis1313.txt") +
                 std::ranges::count(r.inputs, "mis1413.txt") >
             0;
    }
    return std::ranges::count(r.inputs, need) > 0;
  };
  auto written = [&](std::string_view file) {
    return std::ranges::find(r.written, file, &WrittenFile::name) != r.written.end();
  };
  std::vector<GroupOutcome> groups;
  for (const GroupRule& rule : rules()) {
    GroupOutcome g{rule.title, GroupState::kMade, rule.holds};
    auto missing = std::ranges::find_if_not(rule.needs, given);
    std::vector<const char*> wanted;
    for (const GroupFile& f : rule.files) {
      if (f.needs == nullptr || given(f.needs)) wanted.push_back(f.file);
    }
    if (missing != rule.needs.end() || wanted.empty()) {
      g.state = GroupState::kNotAsked;
      g.why =
          missing == rule.needs.begin() || wanted.empty() ? rule.absent : absent_because(*missing);
    } else if (rule.maker == Maker::kBook && finishing) {
      g.state = GroupState::kMaking;
      g.why = "being made; this page shows it when it is there";
    } else if (auto lost = std::ranges::find_if_not(wanted, written); lost != wanted.end()) {
      const ChildEnd& end = rule.maker == Maker::kContacts ? r.contacts
                            : rule.maker == Maker::kChanges ? r.changes
                            : rule.maker == Maker::kStake   ? r.stake
                            : rule.maker == Maker::kBook    ? r.book
                                                            : r.batch;
      g.state = GroupState::kFailed;
      g.why = why_missing(*lost, end, r.console + r.messages);
    }
    groups.push_back(std::move(g));
  }
  return groups;
}
