#pragma once
// Reading a directory printout (MIS 231) for a one-job program: the name on
// the command line may be the printout or the folder it was saved in, and
// the reader's own progress lines must not mix with the program's report.

#include <cstdio>
#include <string>

#include "model/arena.h"
#include "model/kinroll.h"

/// `name` in the folder `dir`: `dir` + "/" + `name`, with no second '/' when
/// `dir` ends in one.
std::string path_in_folder(const std::string& dir, const char* name);

/// True when `name` exists and is a folder, symbolic links followed.
bool is_folder(const std::string& name);

/// The file that a command-line name stands for: `name` itself, or
/// path_in_folder(`name`, "mis231.txt") when `name` is a folder. "-"
/// (standard input) stays itself. The file need not exist.
std::string directory_printout_path(const std::string& name);

/// Points standard output, and with `errors_too` the error stream, at
/// /dev/null for its lifetime, then restores them, flushing what was written
/// before and during. A stream that cannot be duplicated (it is closed) is
/// left alone.
class QuietConsole {
 public:
  explicit QuietConsole(bool errors_too = false);
  ~QuietConsole();
  QuietConsole(const QuietConsole&) = delete;
  QuietConsole& operator=(const QuietConsole&) = delete;

 private:
  int saved_out_ = -1;  // descriptors to put back, or -1
  int saved_err_ = -1;
};

/// Reports with tool_error("cannot read PATH: REASON") that `path` could
/// not be opened: "it is a folder", "it is not a regular file" (a device, a
/// FIFO, a socket), else the system's reason `err`, else (`err` 0) "cannot
/// be opened".
void report_unreadable(const std::string& path, int err);

/// True when `fp`, read from where it stands to its end, holds a page header
/// of the directory of members: a line that begins, after one optional form
/// feed, with the title "DIRECTORY OF MEMBERS (MIS 231)". Leaves `fp` at its
/// end or just past that line.
bool holds_directory_header(FILE* fp);

/// Reads the directory printout `path` ("-": standard input, read whole
/// first) with read_mis231 into `arena`, with the reader's messages
/// ("Inserted %d pseudo-record numbers", "Changing head of ...") silenced,
/// and stores the list in `*list`. The list lives as long as `arena`.
/// Returns false, with `*list` null, after tool_error("cannot read PATH:
/// REASON") when the file cannot be opened, is a folder, or fails while it
/// is read, and after tool_error("PATH: not a directory of members
/// printout") when it holds no page header of the directory
/// (holds_directory_header) or no family.
bool read_directory_quietly(const std::string& path, Arena& arena, WardFamily** list);
