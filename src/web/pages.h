#pragma once
// The pages of kinroll-web, as complete HTML documents. They load nothing
// but the server's own style sheet, run no script, and escape every text
// that came from a printout or a browser. Every address in them begins
// with the page's base, "/TOKEN".

#include <chrono>
#include <string>
#include <string_view>

#include "web/job.h"
#include "web/memory.h"
#include "web/summary.h"

/// The style sheet every page links to, served as BASE/style.css.
extern const char* const kStyleSheet;

/// The script of the pages that follow a job, served as BASE/watch.js: it
/// asks the job's status (JOB/status: a first line "working", "results" or
/// "done", then a sentence) every 3 seconds, puts the sentence in the page's
/// polite live region #progress, and loads the page again once the first
/// line is no longer the region's data-state.
extern const char* const kWatchScript;

/// The guide to every file the programs write (docs/outputs.md of the
/// sources, which the program carries), served as BASE/guide.
extern const char* const kOutputsGuide;

/// The guide as a page.
std::string guide_page(std::string_view base);

/// What the results page shows beyond the job's result.
struct ResultsView {
  ArchiveState archive = ArchiveState::kMaking;
  bool finishing = false;  ///< the booklet and the archive are still being made
  Makers makers;
  std::chrono::milliseconds keep{0};  ///< how long results are kept after a look
};


/// The form: printouts, configuration files, unit name, last month's
/// directory and the box that keeps this month's for next month, posted to
/// BASE/jobs. What `memory` recalls is shown: the unit in its field, the
/// files and the kept directory by name and date, each with a "Forget"
/// button posting to BASE/forget/FIELD.
std::string form_page(std::string_view base, const Recalled& memory);

/// What the job in `state` is doing, in a sentence: the steps running and
/// for how long, or that it waits its turn.
std::string progress_text(Job& job, JobState state);

/// The status of a job, as JOB/status answers it: a first line "working"
/// (its lists are being made), "results" (they are there; the booklet or
/// the archive is still being made) or "done", then progress_text().
std::string status_text(Job& job);

/// The page of a job still waiting or running: what it is doing, in a
/// polite live region that kWatchScript keeps up to date, until the results
/// are there.
std::string working_page(Job& job, JobState state);

/// The results of the finished job `job` (its result as given in `r`): the
/// summary of every group of lists, how long the results are kept, every
/// file written grouped by use with its plain name, purpose, view and
/// download, the archive (or that it is being made), the messages of every
/// program grouped by kind, the error report and the changes report when
/// there are any, and which file was taken for which report.
std::string results_page(Job& job, const JobResult& r, const ResultsView& view);

/// One page of the file `name` of a job: a .csv file as a table with its
/// column names as header cells, any other as text, both decoded from
/// Latin-1, in a box of its own that scrolls, with links to the other pages.
std::string view_page(const Job& job, std::string_view name, const FilePage& part);

/// A page saying `sentence` under the heading `title`, with a way back to
/// the form at `home` when it is not empty. Both are escaped.
std::string message_page(std::string_view title, std::string_view sentence,
                         std::string_view home);
