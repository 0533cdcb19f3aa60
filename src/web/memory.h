#pragma once
// What the page remembers from one month to the next, so that the clerk
// gives each thing once. In the user's configuration folder (CONFIG:
// $XDG_CONFIG_HOME/kinroll, else ~/.config/kinroll):
//   web-unit           the unit name given last, as typed (UTF-8)
//   web-wardunits.txt  the stake's units (wardunits.txt) given last
//   web-wardorgs.txt   the organisation table (wardorgs.txt) given last
// beside kinroll-contacts' own key (contacts.key), which the jobs use too;
// and in the state folder (STATE: $XDG_STATE_HOME/kinroll, else
// ~/.local/state/kinroll):
//   web-last-month.txt the directory (MIS 231) of the last job that kept
//                      it: next month's "last month"
// The folders are made mode 0700, the files 0600. Each file is written
// whole and renamed over the old one, so that whoever reads it while a
// job replaces it (another job, another kinroll-web) reads the old or the
// new one whole. Nothing of it lands in a job folder but as the copy a job
// takes for one of its inputs.

#include <string>
#include <string_view>
#include <vector>

#include "web/job.h"
#include "web/upload.h"

/// The user's two folders that the remembered things are in.
struct MemoryFolders {
  std::string config;  ///< user_folder(UserFolder::kConfig)
  std::string state;   ///< user_folder(UserFolder::kState)
};

/// One thing remembered, as a "forget" button names it.
enum class Remembered { kUnit, kUnits, kOrgs, kLastMonth };

/// The thing that `name` names in the address BASE/forget/NAME: the form
/// field it replaces ("unit", "wardunits", "wardorgs", "lastmonth"). False
/// for any other name.
bool remembered_by_name(std::string_view name, Remembered* what);

/// The kept directory, as the page names it.
struct KeptDirectory {
  std::string date;      ///< "14 Apr 2024"; empty when none is kept
  bool printed = false;  ///< `date` is the one its page header shows; else
                         ///< (a header without a date) the day it was kept
};

/// What is remembered, as the form shows it.
struct Recalled {
  std::string unit;        ///< the unit name (UTF-8); empty: none
  std::string units_date;  ///< the day wardunits.txt was kept ("3 May 2026"); empty: none
  std::string orgs_date;   ///< likewise wardorgs.txt
  KeptDirectory last_month;
  std::string state_shown;  ///< the state folder, "~" for the home folder
};

/// Reads what is remembered in `folders`; what cannot be read counts as
/// not remembered.
Recalled recall(const MemoryFolders& folders);

/// Forgets `what`: its file is removed. False (errno set) when it is still
/// there.
bool forget_remembered(const MemoryFolders& folders, Remembered what);

/// The unit name for a job: `typed` without its outer blanks when it is
/// not blank (then remembered), else the remembered one, else "Ward"; in
/// Latin-1, as the printouts are written. Quick: for the server's thread.
std::string choose_unit(const MemoryFolders& folders, std::string_view typed);

/// Fills the gaps of the job `job`, its files placed (`*placed`), from what
/// `folders` remember, then remembers what the job was given, in this
/// order:
///   - wardunits.txt and wardorgs.txt: one taken from the upload is
///     remembered; without one, the remembered one is copied into work/;
///   - last month's directory: without one taken from the upload, and when
///     the job has a directory, the kept one is copied into last/mis231.txt;
///     placed->last_month_name names it for the changes report: the name
///     the browser gave its file (job.received), or kept_directory_name();
///   - with job.keep, the job's work/mis231.txt is kept for next month;
///     without, a kept one stays as it was.
/// Each input copied from memory is listed in placed->uploads, taken for
/// what it stands for. What cannot be remembered is said on the error
/// stream (tool_error); the job goes on without it. Reads whole files: for
/// the job's own thread.
void use_memory(const MemoryFolders& folders, const Job& job, Placement* placed);

/// How the changes report and the page name the kept directory `kept`:
/// "last month's directory of 14 Apr 2024" (printed), "last month's
/// directory, kept on 3 May 2026" (not).
std::string kept_directory_name(const KeptDirectory& kept);

/// The day a directory printout beginning with `head` was printed, from
/// the second line of its first page header, which ends with it:
/// "14 Apr 2024" (the day without a leading zero). Empty when `head` holds
/// no such header.
std::string printout_date(std::string_view head);
