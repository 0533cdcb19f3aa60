#pragma once
// The teaching district report: the families of a teaching list regrouped by
// assignment key (group, supervisor number, district number), one section per
// key headed by the teacher, the companion and the district's average visit
// percentage. The report is built as a chain of HTDist nodes sorted by key,
// which point at the families.

#include <cstdio>

#include "model/kinroll.h"

/// Options: the district reports and the percentage variants, for home
/// teaching and visiting teaching.
inline constexpr int kHomeDistricts = 312;
inline constexpr int kHomeDistrictPct = 314;
inline constexpr int kVisitingDistricts = 412;
inline constexpr int kVisitingDistrictPct = 414;

/// One node of the district chain: a district header (no family) carrying a
/// key and, after totalling, the district's average; or a family node
/// carrying the family's key, teachers, percentage and visits. Its texts
/// share the family's bytes, so a chain must not outlive its teaching list.
/// Nodes live in the arena that was current when they were made.
struct HTDist {
  HTDist* next = nullptr;
  HTDist* families = nullptr;  // not used; stays null
  int htgroup = 0;
  int htsup = 0;
  int htdist = 0;
  Text htname;
  Text htcomp;
  int htpct = 0;  ///< family's percentage, or the header's average
  int htnum = 0;  ///< header: families counted in the average
  Text visits;
  WardFamily* fam = nullptr;  ///< null for a district header
};

/// Trace switch: when non-zero, building, totalling and writing a report
/// write trace lines to the report's stream. Nothing in the program sets it.
extern int debught;

/// A new zero node in the current arena. With `fam` null, a district header
/// (key 0-0-0). With a family, a family node holding the family's group,
/// supervisor, district, teacher, companion, percentage and visits: the
/// home-teaching fields for options 312 and 314, the visiting-teaching
/// fields for 412 and 414; null for any other option. Null when memory is
/// exhausted.
HTDist* create_htdist(WardFamily* fam, int opt);

/// Places the family node `dfam` into the chain that begins at the head node
/// `dist`: walks from the head to the first node whose key is not below the
/// node's key, makes a district header for the key when there is none yet,
/// then with option 312 or 412 appends the node after the last node of its
/// key (insert_htdist_seq), with 314 or 414 places nothing
/// (insert_htdist_pct), and with any other option prints
/// "Invalid OPT_HTDIST (%d)\n" on the error stream. The head node itself is
/// never compared, so key 0-0-0 gets a header of its own after it. A walk of
/// the chain: for a whole list use create_htdist_report, which gives the same
/// chain in time linear in the families.
void insert_htdist(HTDist* dist, HTDist* dfam, int opt);

/// Links `dfam` after the last node of the run of equal keys that begins at
/// `dist`, so the families of a key keep the order they were placed in.
void insert_htdist_seq(HTDist* dist, HTDist* dfam, int opt);

/// The placement step of the percentage variant: places nothing.
void insert_htdist_pct(HTDist* dist, HTDist* dfam, int opt);

/// Gives the first node of each run of equal keys the number of family
/// nodes of the run (`htnum`) and their average percentage, fraction
/// dropped (`htpct`, 0 for none). The family nodes of key 0-0-0 are counted
/// in the head node, which starts their run; their own header keeps 0.
void total_htdist(HTDist* dist);

/// Writes the report body of a totalled chain to `fp`: for each key that
/// holds families a bookmark heading "\n*%s-%2.2d-" (group name, supervisor)
/// with the first family's teacher, "-%2.2d (%d%%)\n" (district, average)
/// and the companion in brackets, then two lines per family (name with
/// percentage, visits). The keys, teachers and companions of the headings
/// come from the family records: the home-teaching fields for `opt` 312,
/// the visiting-teaching fields otherwise. Writes nothing when `fp` is null.
void report_htdist(const HTDist* htdist, FILE* fp, int opt);

/// Builds the district chain of the family list `fam` with option `opt`
/// (312 home teaching, 412 visiting teaching), totals it and writes the
/// report body to `fp`. The chain has the order that placing each family in
/// turn with insert_htdist gives, but is built with an index of the last
/// node of each key. An option other than these writes nothing. The nodes
/// live in an arena of the report's own and are gone when it returns.
void create_htdist_report(WardFamily* fam, FILE* fp, int opt);

/// The district percentage reports of home and visiting teaching: write
/// nothing.
void create_htdist_htpct(WardFamily* fam, FILE* fp);
void create_htdist_vtpct(WardFamily* fam, FILE* fp);

/// Releases nothing: the nodes live as long as their arena.
void free_htdist(HTDist* dist);
