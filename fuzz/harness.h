#pragma once
// What every fuzz target shares: cutting one input into the files of a run,
// streams over bytes and into memory, a scratch folder, and the reset of the
// program-wide state (arenas, the organisation table, the unit names) so
// that no input leaks into the next.
//
// Each target defines LLVMFuzzerTestOneInput. libFuzzer calls it in the fuzz
// build; replay.cpp calls it for every file of the regression corpus in the
// ordinary builds.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/arena.h"
#include "model/kinroll.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

/// The byte that separates the files of one input (ASCII record separator).
inline constexpr char kSeparator = '\x1e';

/// The files of one input: `data` cut at each kSeparator into at most `max`
/// parts, the last part keeping any further separators. A missing part is
/// absent (not the same as an empty file): `parts.size()` tells how many
/// there are, at least 1.
std::vector<std::string_view> split_parts(const uint8_t* data, size_t size, size_t max);

/// Stops the run as a crash, naming `what`, unless `ok`: the targets check
/// what the readers promise with it.
void expect(bool ok, const char* what);

/// `parts[i]` when there is such a part, else null.
const std::string_view* part(const std::vector<std::string_view>& parts, size_t i);

/// `bytes` with every line feed made a carriage return and line feed, when
/// that must read the same: no carriage return in `bytes` and no line over
/// 509 bytes (the two more must fit the 511 a line read takes). Else empty.
std::optional<std::string> with_crlf(std::string_view bytes);

/// A stream reading `bytes`, which must outlive it; an empty stream for no
/// bytes. Null only when the system refuses a stream.
FILE* open_bytes(std::string_view bytes);

/// Runs `reader` on a stream over `bytes` (which must outlive the call) and
/// returns what it read; the stream is closed before the return. With
/// `arena` the records go there, else into the current arena. A stream the
/// system refuses stops the run as a crash.
template <class Reader>
auto read_bytes(std::string_view bytes, Reader reader, Arena* arena = nullptr) {
  std::optional<ArenaScope> scope;
  if (arena != nullptr) scope.emplace(*arena);
  FILE* in = open_bytes(bytes);
  expect(in != nullptr, "no stream over the input");
  auto list = reader(in);
  std::fclose(in);
  return list;
}

/// A stream that keeps what is written to it in memory, for writers.
class MemOut {
 public:
  MemOut();
  ~MemOut();
  MemOut(const MemOut&) = delete;
  MemOut& operator=(const MemOut&) = delete;

  FILE* get() const { return fp_; }
  /// What was written so far.
  std::string_view text();

 private:
  FILE* fp_ = nullptr;
  char* buf_ = nullptr;
  size_t len_ = 0;
};

/// The scratch folder of this process, made on first use and removed when
/// the process ends normally.
const std::string& scratch();

/// The folder `name` in the scratch folder, made when missing; its path.
std::string folder(const std::string& name);

/// Writes `bytes` to the file `name` in the scratch folder; returns its path.
std::string put_file(const std::string& name, std::string_view bytes);

/// Removes everything in the scratch folder.
void clear_scratch();

/// One run of a target: a fresh arena current for its lifetime, console
/// output (stdout, stderr) discarded unless KINROLL_FUZZ_VERBOSE is set, and
/// afterwards the organisation table and the unit names forgotten, the
/// scratch folder emptied and the global arena reset.
class Run {
 public:
  Run();
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  Arena& arena() { return arena_; }

 private:
  Arena arena_;
  ArenaScope scope_;
  FILE* saved_out_;
  FILE* saved_err_;
};

/// Reads the unit names file `bytes` into UnitNames (through a file in the
/// scratch folder); no part gives an empty file.
void load_units(const std::string_view* bytes);

/// Replaces the organisation table with the one in `bytes`; no part gives
/// the state after a missing table (count -1).
void load_orgs(const std::string_view* bytes);

/// Reads a directory printout into a ward list of the current arena; null
/// for no part.
WardFamily* read_directory(const std::string_view* bytes);

/// Every writer of a ward list, into memory; returns what they wrote.
std::string write_ward(const WardFamily* ward);

/// Every writer of a teaching list, into memory; returns what they wrote.
std::string write_teaching(WardFamily* list);

/// Every writer of an organisation list: the handheld and CSV bodies into
/// memory, both web-page variants into the scratch folder.
void write_positions(const WardOrg* org);

/// Every stake writer on the units of UnitNames, into the scratch folder.
void write_stake();

}  // namespace fuzz
