#pragma once
// The teaching lists by family and the condensed teaching lists, for home
// teaching and visiting teaching alike. Each writer takes a teaching list (as
// read from a teaching report and merged), writes the body only (the caller
// writes the title line and the trailer) and never changes the list.

#include <cstdio>

#include "model/kinroll.h"

/// Option of create_palm_ht for the home-teaching list by families; any
/// other value writes the visiting-teaching list.
inline constexpr int kPalmHomeTeaching = 310;
/// Option of create_htlist_report for the condensed home-teaching list; any
/// other value writes the condensed visiting-teaching list.
inline constexpr int kCondensedHomeTeaching = 320;

/// a x 100 / b with the fraction dropped; 0 when `b` is 0.
int pct_truncated(long long a, long long b);

/// a x 100 / b rounded to the nearest whole percent, halves up; 0 when `b`
/// is 0.
int pct_rounded(long long a, long long b);

/// Writes the teaching list by families: for each family of `list` that has
/// a last name, in list order, a letter bookmark "*%c\n" whenever the
/// initial changes, the name line with the phone, the assignment line (group
/// name, supervisor and district, the visits string and the percentage) and
/// the teachers. Then the "*Unassigned Families" section (group "NA", or no
/// teacher) and the "*Summary" of contacts in the previous and the current
/// month: elders' and high priests' lines with truncated percentages when
/// such families were counted, the six visiting teaching lines with rounded
/// percentages when Relief Society families were counted. `opt` 310 uses
/// the home-teaching fields, any other value the visiting-teaching fields.
void create_palm_ht(const WardFamily* list, FILE* fp, int opt);

/// Writes the condensed teaching list: for each family of `list` that has a
/// last name, in list order, a letter bookmark whenever the initial changes,
/// the name, and on a tab-indented line the teacher and companion (or
/// "Unassigned") with the visit percentage. `opt` 320 uses the home-teaching
/// fields, any other value the visiting-teaching fields.
void create_htlist_report(const WardFamily* list, FILE* fp, int opt);
