#pragma once
// The further ward lists: the phone book and the address list for paper,
// the zip-code list, the single adult parents list and the non-member
// spouses list. Each writer writes the body only and never changes the ward
// list; only the zip-code list visits the families in another order.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/kinroll.h"

/// Writes the phone book entry of every family of `list`, in list order,
/// without bookmarks.
void create_palm_phonebook(const WardFamily* list, FILE* fp);

/// One family's entry in the phone book, in the printout's bytes. The views
/// are the family's texts and live as long as they do.
struct PhoneBookEntry {
  std::string_view surname;  ///< the last name; empty when absent
  std::string couple;        ///< what follows it on its line: ", Gordon & Linda"
  std::vector<std::string_view> children;  ///< the children's first names, bracketed ones too
  std::optional<std::string_view> address;  ///< the first address line, when present
  std::optional<std::string> city;  ///< "City, ST 84990", when the family has a city
  std::string_view phone;           ///< empty when none
};

/// The phone book entry of `fam`: the last name; the name parts of the head
/// and spouse (palm_couple_names); the first name of every child (type 3),
/// in member order; the address; the city line: the city, then ", " and the
/// state and " " and the zip code, each when present (no zip extension);
/// the phone.
PhoneBookEntry phonebook_entry(const WardFamily* fam);

/// Writes the phone book entry of `fam`: an empty line, the last name and
/// couple names, the children on an indented line of their own ("   A, B"),
/// then "  " and the address, "  " and the city line, " " and the phone,
/// each on a line of its own when the entry has it.
void write_palm_phonebook(const WardFamily* fam, FILE* fp);

/// Writes the address list entry of every family of `list`, in list order.
void create_palm_addr(const WardFamily* list, FILE* fp);

/// Writes the address list entry of `fam`: names, phone (or " [no phone] ")
/// and address on one line, everybody's birthday on a second line. A
/// cross-reference family gives its last name only.
void write_palm_addr(const WardFamily* fam, FILE* fp);

/// Writes the families of `list` that have a zip code, ascending by zip code
/// (byte order, list order among equal codes), with one bookmark line per zip
/// code. Families with a bracketed last name are left out.
void create_palm_zip(const WardFamily* list, FILE* fp);

/// Inserts `ent` into the chain `list`, kept ascending by the zip code of
/// each node's family, in front of the first node whose zip code is greater,
/// and returns the head of the chain. An absent zip code counts as empty.
WardFam* insert_fam_zip(WardFam* list, WardFam* ent);

/// Writes, as full-list family blocks, the families of `list` whose second
/// member is a child: a single parent living with children.
void create_palm_sap(const WardFamily* list, FILE* fp);

/// Writes, as full-list family blocks, the families of `list` with at least
/// two members whose head, or whose spouse listed second, has the status
/// "Nonmembr".
void create_palm_nonm(const WardFamily* list, FILE* fp);
