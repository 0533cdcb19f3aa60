#pragma once
// The ward's contacts as vCard 4.0 (RFC 6350): one card per family, named as
// the phone list names it, with the family's phone and address and the unit
// as category. Nothing private goes on a card: no record number, birth date,
// age or member status.

#include <cstdio>
#include <string>

#include "contacts/uid.h"
#include "model/kinroll.h"

/// True when `phone` is a number one can dial: present, holding a digit,
/// and not marked "unlisted" (in any case). "N/A", "none" and the empty
/// text hold no digit.
bool is_dialable_phone(const Text& phone);

/// The first names of the family's phone entry, as palm_couple_names
/// gives them after the family name, without the leading ", ": "Gordon &
/// Linda"; the spouse's name alone after a bracketed head; empty when the
/// head is bracketed and no spouse is named. In the printout's bytes.
std::string family_given_names(const WardFamily* fam);

/// Writes the card of `fam` to `fp`, in UTF-8 with CR LF line ends and
/// folded lines:
///   UID        urn:uuid: and the family's UID from `uids`
///   FN         family name, ", " and family_given_names (the family name
///              alone when those are empty)
///   N          family name; family_given_names
///   TEL        the phone, when is_dialable_phone
///   ADR        street (address and second address line), city, state and
///              zip code (with its extension), when any of them is present
///   CATEGORIES `category` (already UTF-8), unless it is empty
/// Writes nothing for a cross-reference family (one with `sname`).
void write_family_vcard(const WardFamily* fam, FILE* fp, const std::string& category,
                        UidMaker& uids);

/// Writes the card of every family of `list`, in list order. Returns the
/// number of cards written.
int write_ward_vcards(const WardFamily* list, FILE* fp, const std::string& category,
                      UidMaker& uids);
