#pragma once
// The handheld ward lists: the phone list (and its paper variant, the phone
// directory), the full ward list and the private ward list. Each writer
// writes the body only; the caller writes the title line and the trailer.
// Families are written in list order and the ward list is never changed.

#include <cstdio>
#include <optional>
#include <string>

#include "model/kinroll.h"
#include "model/put.h"

/// Option of create_palm_phone for the handheld phone list.
inline constexpr int kPalmPhoneList = 220;
/// Option of create_palm_phone for the phone directory on paper.
inline constexpr int kPalmPhoneDirectory = 225;

/// The initial that the lists' letter bookmarks go by: the first byte of
/// the family's last name; NUL when it has none.
inline char family_initial(const WardFamily* fam) {
  return fam->lname.empty() ? '\0' : fam->lname.front();
}

/// Writes the letter bookmark "*%c\n" ahead of a family whose last name
/// begins with another character than `last`, the initial written last
/// (NUL at the start), and remembers it. A family without a last name has
/// the initial NUL, written as "*\n" (never a NUL byte).
void letter_bookmark(const WardFamily* fam, Putter& out, char& last);

/// The name part that a head or spouse adds to a phone entry: `lead`, then
/// `name` when it is present.
struct CoupleName {
  const char* lead;  ///< ", ", " & " or ""; a literal
  Text name;         ///< the first name; absent when it is left out
};

/// The name part that `mem` adds to a phone entry when it is a head (type
/// 1) or spouse (type 2): ", " for a bracketed head (remembered in
/// `head_bracketed`), else ", " and the head's first name; " & " (left out
/// after a bracketed head) and the first name of a spouse who is not
/// bracketed; nothing for a bracketed spouse. Nullopt for any other member.
/// The name is the member's text and lives as long as it.
std::optional<CoupleName> palm_couple_name(const WardMember* mem, bool& head_bracketed);

/// Writes the name part of palm_couple_name(`mem`, `head_bracketed`) to
/// `fp`. Returns false, writing nothing, when `mem` is neither head nor
/// spouse.
bool write_palm_couple_name(const WardMember* mem, FILE* fp, bool& head_bracketed);

/// The name parts of every head and spouse of `fam` in member order, as a
/// phone entry writes them after the last name: ", Gordon & Linda". In the
/// printout's bytes.
std::string palm_couple_names(const WardFamily* fam);

/// Writes one phone entry per family of `list` to `fp`. With `opt` 220 (the
/// phone list) every family is written, after a letter bookmark "*%c\n"
/// whenever the initial of its last name changes. With `opt` 225 (the phone
/// directory) families with an absent or empty phone or a bracketed family
/// first name are skipped, and there are no bookmarks. Any other `opt` writes
/// every family in the directory layout, without bookmarks.
void create_palm_phone(const WardFamily* list, FILE* fp, int opt);

/// Writes the phone entry of `fam`: the last name, the first names of the
/// head and the spouse (bracketed names left out), and the phone, on its own
/// tab-indented line for `opt` 220 or after a tab on the same line otherwise.
void write_palm_phone(const WardFamily* fam, FILE* fp, int opt);

/// Writes the full ward list (`restrict_` 0) or the private ward list
/// (`restrict_` non-zero): a letter bookmark whenever the initial of the last
/// name changes, then the block of every family.
void create_palm_full(const WardFamily* list, FILE* fp, int restrict_);

/// Writes the block of `fam`: name line, phone, address, city line, teachers
/// and the member lines. The private list (`restrict_` non-zero) adds the
/// family code, teaching percentages and visit records.
void write_palm_family_full(const WardFamily* fam, Putter& out, int restrict_);

/// Writes one line per member of `fam` (two in the private list when the
/// member has a sex character or a baptism date), each followed by a line per
/// position held outside the "RESERVES" organisation.
void write_palm_members_full(const WardFamily* fam, Putter& out, int restrict_);
