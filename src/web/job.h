#pragma once
// One job of the page: the printouts of one upload, the batch production
// run on them in a private folder, and what it gave.
//
// A job folder holds:
//   work/      the inputs under their standard names, then every file the
//              programs wrote (the only files the results list)
//   last/      last month's directory printout, when one was given
//   up/        the uploaded files under numbers, until the job starts
//   *.out, *.err  what the programs printed
//   kinroll-results.zip  the archive of the results, made when the job ends

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "web/child.h"

/// The programs a job runs and how long each may take.
struct JobPrograms {
  std::string kinroll;   ///< the batch program; must exist
  std::string changes;   ///< kinroll-changes; empty when it is not there
  std::string contacts;  ///< kinroll-contacts; empty when it is not built
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
};

/// A file the programs wrote in the work folder.
struct WrittenFile {
  std::string name;  ///< a plain name in work/, made by the programs
  uint64_t size = 0;
};

/// Where a job is.
enum class JobState { kReceiving, kWaiting, kRunning, kDone };

/// What the programs of a finished job did.
struct JobResult {
  Placement placed;                  ///< what its files were taken for
  ChildEnd batch;                    ///< kinroll -c
  bool changes_ran = false;
  ChildEnd changes;                  ///< kinroll-changes, when it ran
  bool contacts_ran = false;
  ChildEnd contacts;                 ///< kinroll-contacts, when it ran
  std::string console;               ///< kinroll's standard output
  std::string messages;              ///< its error stream, then the companions'
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

  std::mutex mutex;
  JobState state = JobState::kReceiving;
  JobResult result;  ///< complete once state is kDone
  ArchiveState archive_state = ArchiveState::kMaking;
  std::string archive_error;  ///< why it failed
  std::chrono::steady_clock::time_point touched;  ///< last fetched, or finished
  uint64_t bytes = 0;     ///< what its folder takes on disk, once done
  uint64_t finished = 0;  ///< the order it finished in, from 1; 0 until then
  std::thread worker;

  std::string work() const { return folder + "/work"; }
  std::string archive() const { return folder + "/kinroll-results.zip"; }
};

/// Runs the job's programs in its work folder on the inputs `placed` there,
/// each with `programs.limit`: `kinroll -c -u UNIT`, and beside it, one
/// after the other, with last month's directory kinroll-changes (report
/// work/changes.txt, work/changes.csv) and, where it is built and the
/// directory was given, kinroll-contacts (work/wardcontacts.vcf,
/// work/wardbirthdays.ics, with a key of the job's own). No converter runs.
/// `cancel` turning true ends the running program at once. Returns what
/// they did, the files of work/ that are not inputs listed by name; its
/// `placed` is left empty.
JobResult run_job(const Job& job, const Placement& placed, const JobPrograms& programs,
                  const std::atomic<bool>& cancel);

/// Makes job.archive(): every file of `r.written`, then what kinroll
/// printed (kinroll-console.txt, kinroll-messages.txt). False with `*error`
/// set when it cannot be made or `cancel` turned true meanwhile.
bool make_archive(const Job& job, const JobResult& r, const std::atomic<bool>& cancel,
                  std::string* error);

/// Reads the whole file `path`; empty when it cannot be read.
std::string read_whole(const std::string& path);
