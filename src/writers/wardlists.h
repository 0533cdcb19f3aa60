#pragma once
// The further ward lists: the phone book and the address list for paper,
// the zip-code list, the single adult parents list and the non-member
// spouses list. Each writer writes the body only and never changes the ward
// list; only the zip-code list visits the families in another order.

#include <cstdio>

#include "model/kinroll.h"

/// Writes the phone book entry of every family of `list`, in list order,
/// without bookmarks.
void create_palm_phonebook(const WardFamily* list, FILE* fp);

/// Writes the phone book entry of `fam`: an empty line, the names with the
/// children on an indented line of their own, the address, the city line and
/// the phone.
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
