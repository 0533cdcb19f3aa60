#pragma once
// The organisation table: maps the organisation headings of the ward
// positions report to a display name and an abbreviation (the file name of
// the organisation's web page). Read once at start-up from "wardorgs.txt"
// and kept, unchanged, until the program ends.
//
// File format: one entry per line, "heading|display name|abbreviation". A
// line whose first character is '#' or '*' is a comment; every other line,
// an empty one included, is an entry. Fields are taken exactly as written
// (blanks around a '|' belong to the fields); a missing field is an empty
// text and anything after a third '|' is ignored. Lines are read in pieces
// of at most 511 characters.

#include "model/kinroll.h"

/// One entry of the organisation table.
struct WardOrgs {
  WardOrgs* next = nullptr;  // the entry of the line above (the list runs bottom-up)
  Text hdr;                  // heading exactly as the report prints it
  Text name;                 // display name
  Text abbr;                 // abbreviation, used as a file name
};

/// Reads the table file `fname` and pushes one entry per entry line at the
/// head of the table, so the table runs in reverse file order; entries of an
/// earlier call stay behind them. Returns the number of entry lines read,
/// which also becomes the entry count; entry numbers 0 .. count-1 name them
/// in file order. When the file cannot be opened, prints
/// "Can't open wardorgs file (%s)\n" with `fname` on the error stream and
/// returns -1. When memory runs out the read stops with the entries so far.
/// Entries live in the current arena.
int wardorgs_parse(const char* fname);

/// Parses "wardorgs.txt" from the current directory; returns the entry
/// count, -1 when the file cannot be opened.
int wardorgs_read();

/// The start-up load of the table ("wardorgs.txt"): its entry count, -1 when
/// the file cannot be opened, is the count the web-page writers walk.
int read_ward_orgs();

/// The entry count of the last parse: -1 after a file that could not be
/// opened, 0 before any parse.
int wardorgs_count();

/// Forgets the whole table (the entries stay in their arena) and sets the
/// count to 0, as before any parse.
void wardorgs_clear();

/// A new entry with every field absent; null when memory is exhausted.
WardOrgs* create_wardorg();

/// Releases the entry record only, not its texts; ignores null.
void free_wardorg(WardOrgs* ent);

/// The first entry in table order (the lowest such line of the file) whose
/// `hdr` equals `hdr` exactly, letter case and blanks included; null when
/// none does.
WardOrgs* wardorgs_find_hdr(std::string_view hdr);

/// The abbreviation or display name of `ent`, which must not be null.
const Text& wardorgs_get_abbr(const WardOrgs* ent);
const Text& wardorgs_get_name(const WardOrgs* ent);

/// The abbreviation or display name of the entry wardorgs_find_hdr(hdr)
/// gives; absent when there is none.
Text wardorgs_abbr_for_hdr(std::string_view hdr);
Text wardorgs_name_for_hdr(std::string_view hdr);

/// Prints "\nHdr: %s\nAbbr: %s\nName: %s\n" with the entry's heading,
/// abbreviation and name on standard output.
void wardorg_print(const WardOrgs* ent);

/// The entry with entry number `num` (its place among the entry lines of the
/// last parse, in file order, from 0); null when `num` is outside 0 ..
/// count-1. Constant time: the numbers are indexed once by the parse.
WardOrgs* wardorgs_get_entry_num(int num);
