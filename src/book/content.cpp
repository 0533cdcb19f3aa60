#include "book/content.h"

#include "tools/utf8.h"
#include "writers/wardlists.h"
#include "writers/wardpalm.h"

namespace {

/// Ems between two families, and above a letter heading.
constexpr float kFamilySpace = 0.5f;
constexpr float kLetterSpace = 1.0f;
/// Ems by which the children, and the address, city and phone, stand in.
constexpr float kChildIndent = 1.5f;
constexpr float kLineIndent = 0.75f;

/// `text` with its spaces made no-break spaces, so that no line ends
/// inside it ("12 Jan 20").
std::string unbroken(std::string_view text) {
  std::string out;
  for (char c : text) out += c == ' ' ? std::string_view("\u00a0") : std::string_view(&c, 1);
  return out;
}

/// The block of one family: with `heading`, the letter heading of its
/// initial, then its phone book entry.
Block family_block(const WardFamily* fam, bool heading) {
  Block block;
  PhoneBookEntry entry = phonebook_entry(fam);
  char initial = family_initial(fam);
  if (initial != '\0') block.letter = utf8_from_latin1(std::string_view(&initial, 1));
  block.space_before = heading ? kLetterSpace : kFamilySpace;
  if (heading && !block.letter.empty()) {
    block.paragraphs.push_back({block.letter, Style::kLetter, 0, 0});
  }

  std::string surname = utf8_from_latin1(entry.surname);
  uint32_t bold = static_cast<uint32_t>(surname.size());
  block.paragraphs.push_back({surname + utf8_from_latin1(entry.couple), Style::kBody, bold, 0});
  if (!entry.children.empty()) {
    std::string children;
    for (std::string_view child : entry.children) {
      if (!children.empty()) children += ", ";
      children += utf8_from_latin1(child);
    }
    block.paragraphs.push_back({children, Style::kBody, 0, kChildIndent});
  }
  if (entry.address) {
    block.paragraphs.push_back({utf8_from_latin1(*entry.address), Style::kBody, 0, kLineIndent});
  }
  if (entry.city) {
    block.paragraphs.push_back({utf8_from_latin1(*entry.city), Style::kBody, 0, kLineIndent});
  }
  if (!entry.phone.empty()) {
    block.paragraphs.push_back({utf8_from_latin1(entry.phone), Style::kBody, 0, kLineIndent});
  }
  return block;
}

}  // namespace

std::vector<Block> directory_blocks(const WardFamily* list) {
  std::vector<Block> blocks;
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    char initial = family_initial(fam);
    blocks.push_back(family_block(fam, initial != last));
    last = initial;
  }
  return blocks;
}

std::vector<Block> position_blocks(const WardOrg* orgs) {
  std::vector<Block> blocks;
  for (const WardOrg* org = orgs; org != nullptr; org = org->next) {
    Block first;
    first.space_before = kLetterSpace;
    if (blocks.empty()) first.paragraphs.push_back({"Ward Positions", Style::kSection, 0, 0});
    first.paragraphs.push_back({utf8_from_latin1(org->org.view()), Style::kGroup, 0, 0});
    blocks.push_back(std::move(first));
    for (const WardPos* pos = org->pos; pos != nullptr; pos = pos->next) {
      // The organisation's first position joins the block of its name.
      Block& block = pos == org->pos ? blocks.back() : blocks.emplace_back();
      if (pos != org->pos) block.space_before = kFamilySpace / 2;
      block.paragraphs.push_back({utf8_from_latin1(pos->pos.view()), Style::kBody, 0, 0});
      std::string holder = "vacant";
      if (!pos->per.empty()) {
        holder = utf8_from_latin1(pos->per.view());
        if (!pos->sus.empty()) {
          holder += ", sustained " + unbroken(utf8_from_latin1(pos->sus.view()));
        }
      }
      block.paragraphs.push_back({holder, Style::kBody, 0, kLineIndent});
    }
  }
  return blocks;
}

void count_households(const WardFamily* list, int* households, int* members) {
  *households = 0;
  *members = 0;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->sname) continue;
    ++*households;
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) ++*members;
  }
}

std::string month_and_year(int month, int year) {
  static const char* const kMonths[12] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
  return std::string(kMonths[month - 1]) + " " + std::to_string(year);
}
