#pragma once
// The honest summary at the top of a job's results: for each group of
// lists, made, or not made and why.

#include <string>
#include <vector>

#include "web/job.h"

/// Where a group of lists is.
enum class GroupState {
  kMade,      ///< every file of it was written
  kNotAsked,  ///< the printouts it needs were not given (or its program is not built)
  kFailed,    ///< it should have been made, and a file of it was not
  kMaking,    ///< it is still being made (the booklet)
};

/// One group of lists and what became of it.
struct GroupOutcome {
  const char* title;  ///< "Ward lists"
  GroupState state;
  std::string why;    ///< a sentence for the clerk: what it holds, or why it is not there
};

/// What the programs can make.
struct Makers {
  bool contacts = false;  ///< kinroll-contacts is there
  bool book = false;      ///< kinroll-book is there
};

/// The groups of a finished job in the order the page shows them: ward
/// lists, home and visiting teaching, positions, CSV files, contacts,
/// changes, stake, booklet. What was given is read from `r.inputs` and
/// whether last month's directory was there; what was made from
/// `r.written`; a file missing from a group that should have it is named
/// with the message the programs printed about it, or how its program
/// ended. `finishing` is true while the booklet is still being made.
std::vector<GroupOutcome> summarise(const JobResult& r, bool last_month, const Makers& makers,
                                    bool finishing);
