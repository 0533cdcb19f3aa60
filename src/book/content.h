#pragma once
// What the booklet shows, made from the ward list and the positions report
// in UTF-8: the cover's lines, the directory (every family of the phone
// book, in its order and with its content) and the ward's positions, cut
// into blocks that the pages keep whole.

#include <cstdint>
#include <string>
#include <vector>

#include "model/kinroll.h"

/// The text styles of the booklet; Typesetter gives each its font.
enum class Style : uint8_t {
  kBody,        ///< an entry's text
  kLetter,      ///< the letter heading over the families of one initial
  kSection,     ///< a section's title ("Ward Positions")
  kGroup,       ///< an organisation's name over its positions
  kMargin,      ///< the header's and the footer's lines
  kCoverUnit,   ///< the unit's name on the cover
  kCoverTitle,  ///< "Ward Directory"
  kCoverLine,   ///< the date, the counts and the note on the cover
};

/// One paragraph: UTF-8 text in `style` with its first `bold` bytes in
/// bold, set `indent` ems from the column's left edge; lines it wraps onto
/// go one em further in.
struct Paragraph {
  std::string text;
  Style style = Style::kBody;
  uint32_t bold = 0;
  float indent = 0;
};

/// A run of paragraphs that the pages keep in one column when it fits in
/// one: a family with the letter heading it starts, or a position with the
/// titles it starts.
struct Block {
  std::vector<Paragraph> paragraphs;
  std::string letter;      ///< the family's initial (UTF-8) for the page header; empty for none
  float space_before = 0;  ///< ems of space above it, but at the top of a column
};

/// Everything the booklet shows.
struct BookContent {
  std::string unit;  ///< on the cover and in every footer
  std::string date;  ///< the month and year on the cover, "April 2024"
  int households = 0;
  int members = 0;
  std::vector<Block> directory;  ///< one block per family, in the phone book's order
  std::vector<Block> positions;  ///< one block per position; empty without the report
};

/// The directory: one block per family of `list`, in list order, holding
/// its phone book entry (phonebook_entry) in UTF-8 (utf8_from_latin1): the
/// last name in bold and the couple names; the children; the address; the
/// city line; the phone; each a paragraph of its own when the entry has it.
/// Where the family's initial (family_initial) differs from the family's
/// before, the block starts with a paragraph of the initial (kLetter);
/// a family without a last name has none, and no letter.
std::vector<Block> directory_blocks(const WardFamily* list);

/// The positions: one block per position of each organisation of `orgs`,
/// in report order: its title, then the holder as printed and ", sustained
/// " and the date (its spaces no-break spaces) when there is one, or
/// "vacant". The block of an
/// organisation's first position starts with the organisation's name
/// (kGroup), the very first with the title "Ward Positions" (kSection).
/// An organisation without a position gives a block of its name alone. No
/// block for null `orgs`.
std::vector<Block> position_blocks(const WardOrg* orgs);

/// Counts in `*households` the families of `list` that are no cross
/// reference (no `sname`), and in `*members` their members.
void count_households(const WardFamily* list, int* households, int* members);

/// "April 2024" for `month` 4 (1 to 12) of `year`.
std::string month_and_year(int month, int year);
