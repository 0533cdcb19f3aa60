#pragma once
// The kinroll-changes program: what changed between two directory printouts.

#include <cstdio>

/// Runs `kinroll-changes [--csv FILE] OLD NEW` with the given arguments:
/// reads both printouts (a folder stands for its mis231.txt, "-" for
/// standard input), pairs them, prints the changes report on standard output
/// and, with --csv, writes the CSV file whole ("--csv -": the CSV rows on
/// standard output instead of the report), then the count of changes on the
/// error stream ("kinroll-changes: 9 changes"). "--help" (-h) prints the
/// usage, "--version" the version, on standard output. Returns the exit
/// status: kExitSame (0) with "No changes" printed, kExitFound (1) when
/// there are changes, kExitTrouble (2) after a message on the error stream
/// for bad arguments (followed by "Try 'kinroll-changes --help'..."), a
/// printout that cannot be read or is no directory of members printout
/// (nothing written), a CSV file that is one of the printouts (refused
/// before anything is read or written), or a report or CSV file that could
/// not be written.
int run_changes(int argc, char** argv);

/// Prints the usage that --help shows to `fp`.
void print_changes_usage(FILE* fp);
