#pragma once
// Synthetic membership-report printouts of an invented ward of any size, for
// measuring the program on stake- and region-sized input and for testing the
// readers against printouts that agree with each other.
//
// generate_ward() invents the households once; render_printouts() prints the
// same households into every report: the directory, the household listing,
// the record number list, both teaching reports, the positions report, the
// stake report and the two configuration files. Names are built from
// syllable tables; nobody real is named. A few per cent of the households
// carry a data fault of the kinds clerks meet (a bad phone, a missing zip
// code, a report line without its comma, ...), and GenCounts says what the
// readers should therefore report. The same size, seed and fault rate give
// the same bytes on every platform.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wardgen {

/// Data faults put into a household. A household carries at most one.
enum class Fault {
  kNone,
  kBadPhone,         // directory phone with 8 digits
  kNoZip,            // directory city line without its zip code
  kLowerSurname,     // directory prints the surname in lower case
  kNoBirthday,       // one member's birth date left blank in the directory
  kNoComma239,       // one member's record number line lacks the comma
  kAddrDiffers232,   // household listing doubles a blank in the street
  kMissing232,       // household missing from the household listing
  kNotInDirectory,   // household in every report but the directory
  kTeachPhone,       // teaching report prints the phone with/without area code
  kUnknownGroup,     // teaching report group code 'P'
};

/// One person of a household.
struct GenPerson {
  std::string first;    // first name as the directory prints it ("[Name]" for some heads)
  std::string surname;  // own surname: the household's, or another for some children
  char sex = 'M';
  int role = 1;         // 1 head, 2 spouse, 3 child
  bool member = true;   // false: status "Nonmembr", no record number
  bool birth_printed = true;
  int bday = 1, bmonth = 1, byear = 2000;  // month 1-12, full year
  int age = 0;
  std::string recno;    // empty when the directory prints none
  bool baptized = false;
  int bap_day = 1, bap_month = 1, bap_year = 2000;
  int conf_days = 0;    // days from baptism to confirmation (0 or 1)
  bool fault_member = false;  // the member a member-level fault applies to
};

/// One household (or a cross-reference entry of the directory).
struct GenFamily {
  std::string surname;  // capitals, as the reports print it
  std::string addr;     // street line
  std::string addr2;    // second address line, often empty
  std::string city;
  std::string state;
  std::string zip;      // "84990" or "84990-3108"
  std::string phone;    // "555-0142", "208-555-0142", "unlisted" or empty
  std::string acode;    // household listing code, three characters
  std::string see;      // cross-reference: the surname referred to; else empty
  bool spouse_own_line = false;  // household listing puts the spouse on a line of its own
  int unit = 0;
  int district = 0;     // home-teaching district within the unit, from 1
  Fault fault = Fault::kNone;
  std::vector<GenPerson> people;  // in directory order: head, spouse, children

  bool is_xref() const { return !see.empty(); }
  bool in_directory() const { return fault != Fault::kNotInDirectory; }
  /// The head's first name as the household listing prints it (no brackets).
  std::string listing_first() const;
};

/// A person by place: household index and person index.
struct PersonRef {
  int family = -1;
  int person = -1;
  bool empty() const { return family < 0; }
};

/// One position of an organisation; `holder` empty when vacant.
struct GenPosition {
  std::string title;
  PersonRef holder;
  int sus_day = 1, sus_month = 1, sus_year = 2020;
};

/// One organisation of a unit. `known` is false for the heading that the
/// organisation table lacks.
struct GenOrg {
  std::string heading;
  bool known = true;
  std::vector<GenPosition> positions;
};

/// One unit (ward) of the stake report. `listed` is false for the unit that
/// the unit names file lacks.
struct GenUnit {
  std::string printed;  // name as the stake report prints it
  std::string abbr;
  std::string display;
  bool listed = true;
  std::vector<GenOrg> orgs;
};

/// One teaching assignment: a household (home teaching) or a sister
/// (visiting teaching) with teacher, companion and visit marks.
struct GenTeaching {
  int family = -1;
  int person = -1;      // visiting teaching: the sister
  char group = ' ';     // column 31 code: ' ', 'E', 'H', 'R', or 'P' (fault)
  int sup = 0, dist = 0;
  PersonRef teacher, companion;  // empty when unassigned
  std::string visits;   // 12 marks as printed: 'V' 'T' 'L' ' ' '*' '-'
};

/// What the readers should find in the printouts of a generated ward.
struct GenCounts {
  int families = 0;            // directory family entries, cross-references included
  int cross_refs = 0;
  int members = 0;             // directory member lines
  int pseudo_recnos = 0;       // directory members printed without a record number
  int heads_changed = 0;       // bracketed heads that give way to the spouse's name
  int families_with_notes = 0; // directory families the reader attaches notes to
  int members_with_notes = 0;
  int listing_families = 0;    // family lines of the household listing
  int listing_unmatched = 0;   // directory families (cross-references aside) it cannot match
  int recno_lines = 0;         // data lines of the record number list
  int recno_no_comma = 0;
  int recno_unmatched = 0;     // directory members the record number list cannot date
  int ht_entries = 0;
  int vt_entries = 0;
  int teaching_phone_faults = 0;
  int unknown_group_codes = 0;
  int not_in_directory = 0;    // households printed in every report but the directory
  int orgs = 0;
  int positions = 0;
  int vacant_positions = 0;
  int unknown_headings = 0;    // organisation headings missing from the table
  int units = 0;
  int unlisted_units = 0;      // units missing from the unit names file
  int directory_pages = 0;
};

/// Everything invented for one ward, ready to print.
struct GenWard {
  std::vector<GenFamily> families;  // directory order (cross-references in place);
                                    // households left out of the directory too
  std::vector<GenUnit> units;
  std::vector<GenTeaching> home_teaching;      // household listing order
  std::vector<GenTeaching> visiting_teaching;
  GenCounts counts;
};

/// Sizes and rates of a generated ward.
struct GenOptions {
  int families = 300;       // households in the directory (cross-references come on top)
  uint64_t seed = 1;
  int fault_per_mille = 6;  // chance of each fault kind per household; 0: none at all.
                            // When not 0, every kind occurs at least once.
};

/// Invents the households of a ward. Deterministic in `opt`.
GenWard generate_ward(const GenOptions& opt);

/// One printout or configuration file: its fixed name and its text.
struct Printout {
  std::string name;
  std::string text;
};

/// The date every printout carries, as the reports print it ("06 Oct 2024").
const char* report_date();

/// Prints `ward` into mis231.txt, mis232.txt, mis239.txt, mis1313.txt,
/// mis1413.txt, mis121.txt, smis.txt, wardorgs.txt and wardunits.txt, in
/// that order. Pages hold 55 lines.
std::vector<Printout> render_printouts(const GenWard& ward);

/// `s` with the first letter of each word (after a blank or '-') in capitals
/// and the others in small letters: "KIMBALL-ROSS" gives "Kimball-Ross".
std::string title_case(std::string_view s);

/// How a person is named in the teaching, positions and stake reports:
/// "Surname, First" with the surname in mixed case.
std::string printed_name(const GenWard& ward, PersonRef who);

/// Generates a ward and writes its printouts into `folder` (which must
/// exist), replacing files of the same names. Returns false with a message
/// in `error` when a file cannot be written; `counts`, when given, receives
/// the ward's counts.
bool write_ward_printouts(const std::string& folder, const GenOptions& opt, GenCounts* counts,
                          std::string* error);

}  // namespace wardgen
