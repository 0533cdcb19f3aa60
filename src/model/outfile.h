#pragma once
// An output file that replaces its old version only once it is complete.

#include <cstdio>
#include <memory>
#include <string>

/// The name of a temporary file that an interrupt removes (outfile.cpp).
struct PendingTemporary;

/// Writes a file whole into a temporary file beside it and renames that over
/// the old file on commit(), so a failed write never leaves a half-written
/// file, and an interrupt (SIGINT, SIGTERM, SIGHUP) or an exit() while the
/// file is open removes the temporary file before the program ends. Names
/// under /dev/ and /proc/, and anything that is not a regular file (a
/// device, a FIFO), are written directly and never replaced. A symbolic link
/// is kept and the file it finally names is replaced, or created when it
/// does not exist yet; a link loop cannot be opened. An existing file in a
/// folder that takes no new file is written in place.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  /// Discards the temporary file when commit() was not called.
  ~OutputFile();

  /// Opens `name` for writing in text mode. Returns false, with nothing
  /// created, when it cannot be opened (a name longer than its folder takes
  /// included).
  bool open(const std::string& name);

  /// The open stream; valid from a successful open() until commit().
  FILE* get() const { return fp_; }

  /// True when the open file is written in place rather than through a
  /// temporary file (a device, a FIFO, a file in a folder that takes no new
  /// file): what is written shows at once.
  bool direct() const { return fp_ != nullptr && tmp_.empty(); }

  /// Closes the stream and puts the file in place. When any write failed,
  /// prints "Error writing %s\n" with the file name on the error stream,
  /// removes the temporary file, keeps the old file and returns false.
  bool commit();

 private:
  void discard();
  bool open_direct(const std::string& name);

  FILE* fp_ = nullptr;
  std::unique_ptr<char[]> buffer_;  // the stream's, freed once it closes
  std::string name_;    // as the user named it, for messages
  std::string target_;  // the file replaced: the name, or where its link points
  std::string tmp_;     // empty when writing directly
  PendingTemporary* pending_ = nullptr;  // names tmp_ to the interrupt handler
};

/// Opens `name` as `out`; when it cannot, prints the printf format `message`
/// with the name on the error stream and returns false.
bool open_or_report(OutputFile& out, const std::string& name, const char* message);

/// Removes the temporary file of every output still being written and ends
/// the program by signal `sig` with that signal's default action, as an
/// interrupt that no handler caught would have ended it: the files already
/// put in place stay, and nothing after this call runs. For a converter
/// that was interrupted (SIGINT, SIGQUIT), so that the program stops with it.
[[noreturn]] void end_by_signal(int sig);
