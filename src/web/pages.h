#pragma once
// The pages of kinroll-web, as complete HTML documents. They load nothing
// but the server's own style sheet, run no script, and escape every text
// that came from a printout or a browser. Every address in them begins
// with the page's base, "/TOKEN".

#include <string>
#include <string_view>

#include "web/job.h"
#include "web/memory.h"

/// The style sheet every page links to, served as BASE/style.css.
extern const char* const kStyleSheet;

/// The form: printouts, configuration files, unit name, last month's
/// directory and the box that keeps this month's for next month, posted to
/// BASE/jobs. What `memory` recalls is shown: the unit in its field, the
/// files and the kept directory by name and date, each with a "Forget"
/// button posting to BASE/forget/FIELD.
std::string form_page(std::string_view base, const Recalled& memory);

/// "Working" for a job still waiting or running; it reloads itself every
/// second.
std::string working_page(const Job& job, JobState state);

/// The results of the finished job `job` (its result as given in `r`):
/// what happened in words, which file was taken for which report, the
/// console messages grouped by kind and counted, the error report
/// (work/warderr.txt) and the changes report when there are any, and every
/// file written with its size, view and download links, and the archive
/// (or, in `archive` state kMaking, that it is being made: the page then
/// reloads itself every 3 seconds).
std::string results_page(const Job& job, const JobResult& r, ArchiveState archive);

/// The file `name` of a job shown in a page: a .csv file as a table, any
/// other as text, both decoded from Latin-1. `bytes` is the file's
/// beginning, `truncated` true when the file goes on past it.
std::string view_page(const Job& job, std::string_view name, std::string_view bytes,
                      bool truncated);

/// A page saying `sentence` under the heading `title`, with a way back to
/// the form at `home` when it is not empty. Both are escaped.
std::string message_page(std::string_view title, std::string_view sentence,
                         std::string_view home);
