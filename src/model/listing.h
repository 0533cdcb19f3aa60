#pragma once
// The error report of a ward list and the diagnostic listing of its
// families and members. Absent texts that are printed without a test come
// out as "(null)".

#include <cstdio>

#include "model/kinroll.h"

/// Writes the error report of `list` to `fp`: for each family in list order,
/// its notes newest first, then each member's notes in member order. Records
/// without notes write nothing; an empty list writes nothing.
void list_fam_errs(const WardFamily* list, FILE* fp);

/// Writes "Family <lname>, <fname>: <msg>" and a line end to `fp`.
void list_fam_err(const WardFamily* fam, const char* msg, FILE* fp);

/// Writes "Member <lname>, <fname>: <msg>" and a line end to `fp`.
void list_mem_err(const WardMember* mem, const char* msg, FILE* fp);

/// Lists each family of `list` to `fp` with list_family, and after each one
/// prompts "Press ENTER to continue: " on standard output and reads a console
/// line; an answer beginning with a lower-case "q" stops the listing. At end
/// of console input the program ends (see read_console_line).
void list_ward(const WardFamily* list, FILE* fp);

/// Writes the diagnostic listing of one family to `fp`: names, address,
/// phone, home-teaching assignment and visits, notes, then its members.
void list_family(const WardFamily* fam, FILE* fp);

/// Writes the diagnostic listing of one member to `fp`: names, type, sex,
/// status, birth day and month, record number, then its notes.
void list_member(const WardMember* mem, FILE* fp);
