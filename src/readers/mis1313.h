#pragma once
// Reader of the teaching-assignment reports and their merge into the ward
// list. MIS 1313 (families and their home teachers) and MIS 1413 (sisters and
// their visiting teachers) share one layout: two lines per entry naming the
// group, supervisor and district, the teacher and companion with their
// phones, and twelve monthly visit marks.

#include <cstdio>
#include <string_view>

#include "model/flatindex.h"
#include "model/kinroll.h"
#include "model/lookup.h"

/// Group numbers of the teaching fields (`htgroup`, `vtgroup`) that the
/// reader gives for the group codes of column 31.
inline constexpr int kGroupNone = 0;  ///< a code the reader does not know
inline constexpr int kGroupNA = 1;    ///< blank code
inline constexpr int kGroupEL = 2;    ///< 'E'
inline constexpr int kGroupHP = 3;    ///< 'H'
inline constexpr int kGroupRS = 5;    ///< 'R'

/// The group number of a column-31 code: blank 1, 'E' 2, 'H' 3, 'R' 5, any
/// other character 0.
int mis1313_group(char code);

/// The number that starts at column `col` of `line`, as read_number reads it
/// (model/splitfld.h): a blank column runs on into the next one.
int mis1313_number(std::string_view line, size_t col);

/// Visit statistics of one entry.
struct Mis1313Visits {
  char marks[13] = {};  ///< twelve marks, oldest month first, NUL-terminated
  int expected = 0;     ///< months that count (mark other than '-')
  int made = 0;         ///< months with a contact ('V', 'L' or 'T')
};

/// The visits of an entry's second line: twelve 'x' when the line has 93
/// characters or fewer; else columns 93-104 over twelve blanks. Then a blank
/// becomes 'x' (no contact) and '*' becomes '-' (month not counted); every
/// other mark stays.
Mis1313Visits mis1313_visits(std::string_view second_line);

/// Reads a teaching report from `fp` to its end and returns one family per
/// entry, in report order, chained through `next` (the teaching list). The
/// report kind starts as home teaching and turns to visiting teaching for
/// good at the first "SISTERS..." page header; it decides whether the group,
/// supervisor, district, teacher and companion fields go to the ht or the vt
/// fields. Visits and percentage go to the ht fields for groups 2 and 3, to
/// the vt fields for group 5, and by report kind otherwise; the percentage is
/// stored only when at least one month counts. Page headers with their 6
/// following lines, page footers and lines under 105 characters are skipped;
/// the line after an entry line is always its second line (an entry ended by
/// the end of the file keeps its first-line fields only). The entries have
/// no members. Returns null when no entry was read, or, printing
/// "MIS1313: Out of memory!\n" on the error stream, when a record cannot be
/// allocated. Does not close `fp`. The records live as long as the current
/// arena.
WardFamily* read_mis1313(FILE* fp);

/// The family of `list` for a teaching entry: the first family whose `lname`
/// equals the entry's ignoring case and whose `phone` equals the entry's
/// (both absent counts as equal). Without such a family, the last family of
/// that name whose phone differs, after printing "Phone numbers don't match
/// for HT/VT family '%s, %s'\n" on the error stream; null when no family has
/// the name. A scan of the whole list.
WardFamily* find_family_mis1313(WardFamily* list, const WardFamily* entry);

/// The answers of find_family_mis1313 for one ward list, from indexes built
/// once (the first family of each last name, any case, and phone; the last
/// family of each last name): the same family and the same message, in
/// constant time. The list's names and phones must not change while it is
/// used.
class TeachingFamilyIndex {
 public:
  explicit TeachingFamilyIndex(WardFamily* list);
  /// find_family_mis1313(list, entry).
  WardFamily* find(const WardFamily* entry) const;

 private:
  using Index = FlatIndex<WardFamily*>;
  /// The keys of every named family of a list, in list order.
  struct Gathered {
    Index::Items exact, last;
  };
  static Gathered gather(WardFamily* list);
  explicit TeachingFamilyIndex(const Gathered& gathered);

  Index exact_;
  Index last_;
};

/// Merges the teaching list `mis1313` into the ward list `list`, entry by
/// entry in order: the entry's non-zero group, supervisor and district
/// numbers (ht values before vt ones), teacher and companion with their
/// phones and record numbers (find_id_name), visits strings and percentages
/// above 0 are copied onto its family, and the family's `recno`, `htid`,
/// `vtid`, `htcompid` and `vtcompid` that are set are copied back onto the
/// entry. An entry without a family is reported as "Can't find HT/VT family
/// '%s, %s'\n" on the error stream and left as it is. The families and
/// teachers are found as find_family_mis1313 and find_id_name find them,
/// through indexes built once, so the merge takes time linear in the sizes
/// of both lists. What the families take is copied into the current arena,
/// which must be the ward list's, so the teaching list may go first; what the
/// entries take is shared, so the ward list's arena must live as long as the
/// teaching list (the caller keeps it alive from the teaching list's arena).
void merge_1313(WardFamily* list, WardFamily* mis1313);

/// merge_1313 with indexes of `list` built by the caller, who may use them
/// for several merges: no merge changes the names, phones or record numbers
/// they index.
void merge_1313(WardFamily* list, WardFamily* mis1313, const TeachingFamilyIndex& families,
                const MemberIndex& members);
