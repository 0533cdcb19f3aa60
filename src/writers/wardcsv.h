#pragma once
// The CSV exports for spreadsheets: families and members of the ward list,
// the teaching assignments and the ward positions. Every file begins with a
// header row; a text that holds ',', ' ' or '"' is written in double quotes
// with each '"' doubled, so every row has as many fields as the header.

#include <cstdio>
#include <string_view>

#include "model/kinroll.h"
#include "model/put.h"

class WriteQueue;

/// Puts one further field: ',' and then `s`, quoted as above when needed.
/// An absent text is a lone ','. The FILE* form writes it straight to `fp`
/// (nothing when `fp` is null), for rows mixed with fprintf().
void csvfld(Putter& out, const Text& s);
void csvfld(FILE* fp, const Text& s);

/// Puts `s` as the first field of a row (no leading ','), quoted as above
/// when needed. The FILE* form writes it straight to `fp`.
void csv_first(Putter& out, std::string_view s);
void csv_first(FILE* fp, std::string_view s);

/// Puts the children summary of `fam` as one further field: the first
/// name and age of each child (type 3), "Ann [12], Bob [9]", however many
/// there are; an empty field when there are none.
void build_kids(Putter& out, const WardFamily* fam);

/// Writes the "wardfam.csv" rows of `list`, header row first.
void write_wardfam_csv(const WardFamily* list, FILE* fp);

/// Writes the "wardmem.csv" rows of `list`, header row first.
void write_wardmem_csv(const WardFamily* list, FILE* fp);

/// Queues on `queue` the writing of "wardfam.csv" and "wardmem.csv" from
/// `list` in the current directory; does nothing for an empty list. A file
/// that cannot be opened is reported on standard output ("Can't open
/// WARDFAM.CSV\n", "Can't open WARDMEM.CSV\n") and neither is written.
/// `list` must not change until the queue has finished.
void create_mis231_csv(const WardFamily* list, WriteQueue& queue);

/// Writes the rows of one teaching list: `ht` 1 for the home-teaching list,
/// which writes the header row first, 0 for the visiting-teaching list.
/// Does nothing when `list` or `fp` is null.
void create_mis1313_csv(const WardFamily* list, int ht, FILE* fp);

/// Queues on `queue` the writing of "wardhtvt.csv": the home-teaching rows
/// (with the header) then the visiting-teaching rows; either list may be
/// null. A file that cannot be opened prints "Can't open wardhtvt file for
/// output!\n" on the error stream. The lists must not change until the
/// queue has finished.
void create_htvt_csv(const WardFamily* htlist, const WardFamily* vtlist, WriteQueue& queue);

/// Writes the "wardpos.csv" rows of the organisation list `org`, header row
/// first: one row per position.
void write_mis121_csv(const WardOrg* org, FILE* fp);

/// Queues on `queue` the writing of "wardpos.csv" from `org`. A file that
/// cannot be opened prints "Can't open CSV file wardpos.csv\n" on the error
/// stream. `org` must not change until the queue has finished.
void create_mis121_csv(const WardOrg* org, WriteQueue& queue);
