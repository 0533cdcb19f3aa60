#pragma once
// Running one of the batch programs in a child process of its own, in a
// given folder, with a time limit.

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

/// How a child process ended.
struct ChildEnd {
  int status = -1;         ///< exit status; -1 when it has none: a signal ended
                           ///< it, or it could not be started or waited for
  int signal = 0;          ///< the signal that ended it, or 0
  bool timed_out = false;  ///< killed for running past its time limit
  bool cancelled = false;  ///< killed because the server is stopping
};

/// Runs the program `argv[0]` with the arguments `argv` (no shell; nothing
/// is interpreted) in the folder `cwd`, with standard input from the file
/// `in` (/dev/null unless given) and standard output and error written to
/// the files `out` and `err`
/// (made, mode 0600). The child gets a process group of its own, the
/// default signal actions, no blocked signal, no descriptor of the
/// server's but these three, and SIGKILL when the calling thread ends (so
/// also when the server is killed). Waits until it ends; once `limit` has passed,
/// or as soon as `*cancel` turns true, kills its whole process group and
/// says so. A program that cannot be started ends with status 127. Safe to
/// call from several threads at once.
ChildEnd run_child(const std::vector<std::string>& argv, const std::string& cwd,
                   const std::string& out, const std::string& err,
                   std::chrono::milliseconds limit, const std::atomic<bool>& cancel,
                   const std::string& in = "/dev/null");
