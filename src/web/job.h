#pragma once
// One job of the page: the printouts of one upload, the batch production
// run on them in a private folder, and what it gave.
//
// A job folder holds:
//   work/      the inputs under their standard names, then every file the
//              programs wrote (the only files the results list)
//   last/      last month's directory printout, when one was given or kept
//   changes/   while kinroll-changes runs: its two printouts under the
//              names the clerk knows them by (changes_names())
//   work/stakedoc/  the stake's lists, when the stake report was given
//   up/        the uploaded files under numbers, until the job starts
//   *.out, *.err  what the programs printed
//   kinroll-results.zip  the archive of the results, made when the job ends

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "web/child.h"

/// The programs a job runs and how long each may take.
struct JobPrograms {
  std::string kinroll;   ///< the batch program; must exist
  std::string changes;   ///< kinroll-changes; empty when it is not there
  std::string contacts;  ///< kinroll-contacts; empty when it is not built
  std::string book;      ///< kinroll-book; empty when it is not built
  std::chrono::milliseconds limit{std::chrono::seconds(60)};  ///< per program
};

/// A file of the form received, before it is taken for an input: its bytes
/// are in up/N of the job folder, N its place among the files from 0.
struct ReceivedFile {
  std::string field;  ///< the form field it came in
  std::string name;   ///< as the browser named it; shown on the page only
  uint64_t size = 0;
};

/// What became of one uploaded file.
struct UploadedFile {
  std::string name;   ///< as the browser named it; shown on the page only
  uint64_t size = 0;
  const char* taken_as = nullptr;  ///< the standard name it was taken for; null: not used
  bool converted = false;  ///< it was UTF-8, and was turned back into Latin-1
  bool refused = false;    ///< no program runs because of it
  std::string note;   ///< when it was not taken or was refused, why: a sentence (UTF-8)
};

/// What the files of a job were taken for: found on the job's own thread
/// before its programs run (place_uploads).
struct Placement {
  std::vector<UploadedFile> uploads;  ///< in the order received
  /// Why no program runs, sentences for the clerk (UTF-8), in the order of
  /// the files; empty when the programs run.
  std::vector<std::string> refusals;
  bool has_directory = false;   ///< a printout was taken for work/mis231.txt
  bool has_last_month = false;  ///< last/mis231.txt is there
  std::string last_month_name;  ///< what the clerk knows it by (memory.h)
};

/// A file the programs wrote in the work folder.
struct WrittenFile {
  std::string name;  ///< its path in work/ ("wardph.txt", "stakedoc/alpha.txt")
  uint64_t size = 0;
};

/// What a running job is doing, for its page.
struct JobProgress {
  std::mutex mutex;
  std::vector<const char*> running;  ///< the steps running now, in the clerk's words
  std::chrono::steady_clock::time_point since;  ///< when the job's programs started
};

/// Where a job is.
enum class JobState { kReceiving, kWaiting, kRunning, kDone };

/// What the programs of a finished job did.
struct JobResult {
  Placement placed;                  ///< what its files were taken for
  std::vector<std::string> inputs;   ///< the files of work/ before any program ran
  ChildEnd batch;                    ///< kinroll -c
  bool changes_ran = false;
  ChildEnd changes;                  ///< kinroll-changes, when it ran
  bool contacts_ran = false;
  ChildEnd contacts;                 ///< kinroll-contacts, when it ran
  bool stake_ran = false;
  ChildEnd stake;                    ///< kinroll's stake options, when they ran
  bool book_ran = false;
  ChildEnd book;                     ///< kinroll-book, when it ran (after the rest)
  std::string console;               ///< kinroll's standard output
  std::string messages;              ///< every program's error stream, the batch's first
  std::string changes_report;        ///< kinroll-changes' report
  std::vector<WrittenFile> written;  ///< by name
  bool folder_gone = false;          ///< the job's folder vanished while it ran
};

/// Where the archive of a finished job is.
enum class ArchiveState { kMaking, kMade, kFailed };

/// One job. The fields above `mutex` are set by the server's thread while
/// the upload is received, before the job starts, and never change after;
/// the rest are read and written under `mutex`, but `finished`, which the
/// job table keeps under its own.
struct Job {
  std::string id;      ///< random, in the job's addresses
  std::string base;    ///< where every address of the page begins: "/TOKEN"
  std::string folder;  ///< its private folder (mode 0700)
  std::string unit;    ///< the unit name given, or "Ward"
  std::vector<ReceivedFile> received;  ///< the files, still in up/
  bool keep = false;            ///< its directory is kept for next month (memory.h)
  std::string date;             ///< the day it was sent, YYYY-MM-DD
  JobProgress progress;

  std::mutex mutex;
  JobState state = JobState::kReceiving;
  JobResult result;  ///< complete once state is kDone
  bool finishing = false;  ///< the booklet and the archive are still being made
  ArchiveState archive_state = ArchiveState::kMaking;
  std::string archive_error;  ///< why it failed
  std::chrono::steady_clock::time_point touched;  ///< last fetched, or finished
  uint64_t bytes = 0;     ///< what its folder takes on disk, once done
  uint64_t finished = 0;  ///< the order it finished in, from 1; 0 until then
  std::thread worker;

  std::string work() const { return folder + "/work"; }
  std::string archive() const { return folder + "/kinroll-results.zip"; }
  /// The archive's name for the clerk, from the unit and the date:
  /// "Alder-Springs-2nd-Ward-2026-12-08.zip".
  std::string archive_name() const;
};

/// The two names kinroll-changes is given for its printouts.
struct ChangesNames {
  std::string old_name;  ///< last month's directory
  std::string new_name;  ///< this month's
};

/// The names kinroll-changes is given for last month's directory and this
/// month's, which the first line of its report shows ("Changes from OLD to
/// NEW"): the last part of `last_month` and of `this_month` (the names the
/// clerk knows them by), each in Latin-1 as the report is written. A name
/// that is empty, begins with '.' or '-' or is longer than 100 bytes is
/// "last month's directory" or "this month's directory" instead; when the
/// two are the same, or one is changes.csv (the report's other output),
/// they become "last month's NAME" and "this month's NAME".
ChangesNames changes_names(std::string_view last_month, std::string_view this_month);

/// Runs the job's programs in its work folder on the inputs `placed` there,
/// each with `programs.limit`: `kinroll -c -u UNIT`, and beside it, one
/// after the other, with last month's directory kinroll-changes (report
/// work/changes.txt, work/changes.csv); where it is built and the directory
/// was given,
/// kinroll-contacts (work/wardcontacts.vcf, work/wardbirthdays.ics) with
/// its own key, the user's (~/.config/kinroll/contacts.key), so that the
/// UIDs stay the same from month to month; with the stake report and
/// wardunits.txt, the console's stake options 701, 720 and 730
/// (work/stakedoc/). No converter runs. Each step is listed in `*progress`
/// while it runs. `cancel` turning true ends the running program at once.
/// Returns what they did, with the files of work/ (and work/stakedoc/) that
/// are not inputs listed by name; its `placed` is left empty.
JobResult run_job(const Job& job, const Placement& placed, const JobPrograms& programs,
                  const std::atomic<bool>& cancel, JobProgress* progress);

/// Runs kinroll-book on the job's printouts, where it is built and the
/// directory was given (r->placed), making work/wardbook.pdf, and adds what
/// it did to `*r`.
void run_book(const Job& job, const JobPrograms& programs, const std::atomic<bool>& cancel,
              JobProgress* progress, JobResult* r);

/// Makes job.archive(): every file of `r.written`, then what each program
/// printed (kinroll-console.txt, kinroll-messages.txt, and
/// kinroll-changes-messages.txt, kinroll-contacts-messages.txt,
/// kinroll-stake-messages.txt, kinroll-book-messages.txt for those that
/// ran). False with `*error` set when it cannot be made or `cancel` turned
/// true meanwhile.
bool make_archive(const Job& job, const JobResult& r, const std::atomic<bool>& cancel,
                  std::string* error);

/// Reads the whole file `path`; empty when it cannot be read.
std::string read_whole(const std::string& path);

/// Opens the regular file `path` for reading (close-on-exec) and sets
/// `*size` to its size; -1 when it is not there or not a regular file.
int open_regular(const std::string& path, uint64_t* size);

/// One page of a file of a job, for its view.
struct FilePage {
  std::string header;  ///< a CSV file's first line, its column names; else empty
  std::string lines;   ///< the page's lines
  size_t page = 1;     ///< its number, from 1
  size_t pages = 1;    ///< how many the file has
};

/// Reads page `page` (from 1) of the file `path`, `per` lines a page; with
/// `header` the first line is the header of every page, not on any. A page
/// past the last is the last. False when the file cannot be read.
bool read_page(const std::string& path, bool header, size_t per, size_t page, FilePage* out);
