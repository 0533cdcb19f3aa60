#pragma once
// The benchmarks run code that writes its own messages (pseudo record
// numbers, unmatched entries, reports) on the standard streams; they must
// not mix with the benchmark table.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

/// Sends standard output (and with `quiet_errors` the error stream) to
/// /dev/null, then runs the benchmarks named on the command line with their
/// table on the standard output the program was started with. `setup` runs
/// after the streams are quieted and before the benchmarks; a false result
/// ends with status 1. Returns the program's exit status.
template <class Setup>
int run_quietly(int argc, char** argv, bool quiet_errors, Setup setup) {
  int table_fd = dup(1);
  if (table_fd < 0) return 1;
  std::ofstream table("/dev/fd/" + std::to_string(table_fd));
  if (std::freopen("/dev/null", "w", stdout) == nullptr ||
      (quiet_errors && std::freopen("/dev/null", "w", stderr) == nullptr) || !setup()) {
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&table);
  reporter.SetErrorStream(&table);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

/// The same without a setup.
inline int run_quietly(int argc, char** argv, bool quiet_errors) {
  return run_quietly(argc, argv, quiet_errors, [] { return true; });
}

}  // namespace bench
