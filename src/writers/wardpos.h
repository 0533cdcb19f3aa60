#pragma once
// The ward positions list (a handheld document body) and the web-page
// template input written from the organisation list of the positions report:
// a table of contents "webpos.html" and one file per organisation, or all of
// it in the one file "webpos.html". Organisations and positions are written
// in list order; the table of contents follows the organisation table in
// file order. Nothing is changed.

#include <cstdio>
#include <string>
#include <string_view>

#include "model/kinroll.h"

/// Writes the positions list body to `fp`: for each organisation "\n*%s\n"
/// with its name, then per position its title line and a line with the
/// holder ("  %s"), or ">>Unassigned" for a vacant position, followed by
/// " [%s]" with the sustained date and " %s" with the phone when present;
/// then "\n*%d Empty Positions\n" and, for each organisation with vacant
/// positions, its name and "  %s\n" per vacant title. `org` may be null.
void create_palm_pos(const WardOrg* org, FILE* fp);

/// The file name part for an organisation's abbreviation: `abbr` with every
/// '/' turned into '_', so that the file stays inside the named directory.
std::string web_file_part(std::string_view abbr);

/// Writes "%s/webpos.html" in `dirname` (which is not created): the table of
/// contents, one link per organisation table entry with an abbreviation;
/// then "%s/%s.html" for each organisation of `org` with a non-empty
/// abbreviation (a later one of the same name replaces an earlier one):
/// header, group marker and one marker line per position with a title.
/// When the contents file cannot be opened, prints
/// "Can't open output TOC file (%s)\n" on the error stream and writes
/// nothing at all; an organisation file that cannot be opened is reported as
/// "Can't open %s\n" and skipped. Every file is written whole or not at all;
/// when the contents file fails to be written, no organisation file is.
void write_webpos(const WardOrg* org, std::string_view dirname);

/// Writes "%s/webpos.html" in `dirname`: the table of contents as
/// write_webpos writes it (in the one-page link form), followed by one
/// section per organisation of `org` with every position. When the file
/// cannot be opened, prints "Can't open output TOC file (%s)\n" on the error
/// stream.
void write_webpos_onepage(const WardOrg* org, std::string_view dirname);

/// Writes the positions of `org` as the one-page variant lists them: per
/// position ">WardPos\n", its title, then ">WardPosPerson\n", the holder and
/// ">WardPosPersonEnd\n", or ">WardPosUnassigned\n"; then ">WardPosEnd\n".
void write_webpos_positions(const WardOrg* org, FILE* fp);
