#include "web/messages.h"

#include <algorithm>
#include <unordered_map>

namespace {

/// A message the programs print: its format, '%s' standing for any text and
/// '%d' for a number; the kind it is listed under ("..." for what varies),
/// null for its format so written; and what it tells the clerk.
struct KnownMessage {
  const char* format;
  const char* kind;
  const char* meaning;
};

constexpr const char* kCantWrite = "Can't open ... for writing";
constexpr const char* kCantRead = "Can't open ... (a printout not sent)";
constexpr const char* kNotWritten =
    "That file could not be written whole (the disk may be full), so it is not among the "
    "results.";
constexpr const char* kNotGiven =
    "That printout was not among the files, so the lists it gives were not made (see the "
    "summary above).";

// The more particular formats come before the ones they would also match.
constexpr KnownMessage kKnown[] = {
    {"Changing head of %s family from %s to %s", nullptr,
     "The directory lists the family under a person who is not a church member (in brackets); "
     "the lists name the family after the member shown last. Nothing to do."},
    {"Inserted %d pseudo-record numbers", nullptr,
     "Members printed without a record number got one made up (999-9999-...) so that the other "
     "printouts can be matched to them. Nothing to do."},
    {"Can't find entry in MIS232 (%s)", nullptr,
     "The family listing (MIS 232) has no family of that name and address, so it has no family "
     "code. Print both reports on the same day."},
    {"Can't find record in MIS239for %s in family %s", nullptr,
     "The record number list (MIS 239) lacks this member, so the lists show no baptism or "
     "confirmation date. Print both reports on the same day."},
    {"Last name missing comma (%s)", nullptr,
     "A name in the record number list (MIS 239) has no comma between last and first name; that "
     "line was skipped."},
    {"Phone numbers don't match for HT/VT family %s", nullptr,
     "The teaching report gives this family another phone number than the directory; the family "
     "was matched by its name. Check which number is right."},
    {"Can't find HT/VT family %s", nullptr,
     "A family of the teaching report is not in the directory, so its teachers are not in the "
     "lists. It may have moved out or changed its name."},
    {"Can't find organization (%s) in wardorgs.txt", nullptr,
     "A heading of the positions report is not in the organisation table; the lists use it as "
     "printed. Add a line for it to wardorgs.txt."},
    {"Can't find unit (%s) in wardunits.txt", nullptr,
     "A unit of the stake report is not in wardunits.txt, so its positions are left out of the "
     "stake's lists. Add a line for it to wardunits.txt."},
    {"Couldn't open wardunits.txt file", nullptr,
     "No wardunits.txt was sent or remembered; the stake's lists need it."},
    {"Can't open wardorgs file (%s)", nullptr,
     "No wardorgs.txt was sent or remembered: positions are listed under their headings as "
     "printed."},
    {"Error writing %s", nullptr, kNotWritten},
    {"Can't open output file (%s)", kCantWrite, kNotWritten},
    {"Can't write to %s", kCantWrite, kNotWritten},
    {"Can't open %s for output!", kCantWrite, kNotWritten},
    {"Can't open wardhtvt file for output!", kCantWrite, kNotWritten},
    {"Can't open CSV file %s", kCantWrite, kNotWritten},
    {"Can't open WARDFAM.CSV", kCantWrite, kNotWritten},
    {"Can't open WARDMEM.CSV", kCantWrite, kNotWritten},
    {"Can't open MIS231.TXT", kCantRead, kNotGiven},
    {"Can't open mis232.txt", kCantRead, kNotGiven},
    {"Can't open MIS239.TXT", kCantRead, kNotGiven},
    {"Can't open MIS1313.TXT", kCantRead, kNotGiven},
    {"Can't open MIS1413.TXT for input!", kCantRead, kNotGiven},
    {"Can't open MIS121 file!", kCantRead, kNotGiven},
};

/// True when `line` is of `format`: its text as it is, each "%s" any text
/// and each "%d" one or more digits.
bool matches(std::string_view format, std::string_view line) {
  while (!format.empty()) {
    if (format.starts_with("%s")) {
      format.remove_prefix(2);
      for (size_t skip = 0; skip <= line.size(); ++skip) {
        if (matches(format, line.substr(skip))) return true;
      }
      return false;
    }
    if (format.starts_with("%d")) {
      size_t digits = line.find_first_not_of("0123456789");
      if (digits == 0) return false;
      format.remove_prefix(2);
      line.remove_prefix(std::min(digits, line.size()));
      continue;
    }
    if (line.empty() || line[0] != format[0]) return false;
    format.remove_prefix(1);
    line.remove_prefix(1);
  }
  return line.empty();
}

/// `text` with each "%s" and "%d", or each quoted, bracketed or
/// parenthesized part and each number, written "...".
std::string with_parts_elided(std::string_view text, bool format) {
  std::string kind;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    size_t close = std::string_view::npos;
    if (format && c == '%' && i + 1 < text.size()) close = i + 1;
    if (!format && (c == '\'' || c == '"')) close = text.find(c, i + 1);
    if (!format && (c == '(' || c == '[')) close = text.find(c == '(' ? ')' : ']', i + 1);
    if (!format && c >= '0' && c <= '9') close = text.find_first_not_of("0123456789", i) - 1;
    if (close == std::string_view::npos) {
      kind += c;
      continue;
    }
    bool wrapped = !format && (c == '(' || c == '[');
    kind += wrapped ? std::string(1, c) + "..." + text[close] : "...";
    i = std::min(close, text.size() - 1);
  }
  return kind;
}

/// The programs' closing words, which are no message: "Program terminating"
/// and the companions' summaries ("kinroll-changes: 10 changes").
bool left_out(std::string_view line) {
  return line.empty() || line == "Program terminating" ||
         matches("kinroll-changes: %d change%s", line) || line == "kinroll-changes: no changes" ||
         matches("kinroll-contacts: %d card%s to %s", line) ||
         matches("kinroll-book: %d household%s to %s", line);
}

}  // namespace

std::vector<MessageGroup> group_messages(std::string_view text) {
  std::vector<MessageGroup> groups;
  std::unordered_map<std::string, size_t> index;
  while (!text.empty()) {
    size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (left_out(line)) continue;
    const KnownMessage* known = nullptr;
    for (const KnownMessage& k : kKnown) {
      if (matches(k.format, line)) {
        known = &k;
        break;
      }
    }
    std::string kind = known == nullptr         ? with_parts_elided(line, false)
                       : known->kind != nullptr ? std::string(known->kind)
                                                : with_parts_elided(known->format, true);
    auto [it, added] = index.try_emplace(kind, groups.size());
    if (added) groups.push_back({kind, known != nullptr ? known->meaning : nullptr, {}});
    groups[it->second].lines.emplace_back(line);
  }
  return groups;
}
