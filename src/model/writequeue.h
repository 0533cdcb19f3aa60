#pragma once
// Writing a run of output files side by side, with every effect that shows
// in the order the files were asked for.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

/// One file of a write job.
struct QueuedFile {
  std::string name;                 ///< the file, opened as OutputFile opens it
  std::function<void(FILE*)> body;  ///< fills the open file; may run on any thread
  const char* failure = nullptr;    ///< printed when the file cannot be opened, or null
  FILE* failure_stream = stderr;    ///< where `failure` goes
};

/// Jobs of files gathered with add() and written by finish(): the files are
/// filled side by side, each into its own temporary file, and everything the
/// console and the file system show happens as if each job ran alone, one
/// after another, on the caller: for each job in turn, the failure message of
/// a file that could not be opened, else its files put in place in order
/// ("Error writing %s\n" for one that failed), then its `then`. The caller
/// takes each turn as soon as the job's files are filled, while other
/// threads go on filling later files. A job with a file written in place (a
/// device, see OutputFile) is filled at its turn.
///
/// A body only reads the lists it writes, which must not change until
/// finish() returns, and writes its own stream; what it allocates goes to an
/// arena of its own that is dropped when it returns.
class WriteQueue {
 public:
  /// A queue that fills files on `threads` threads, the caller's included;
  /// with 1 (or when no other thread can be started) the caller does
  /// everything.
  explicit WriteQueue(unsigned threads = default_threads());
  ~WriteQueue();
  WriteQueue(const WriteQueue&) = delete;
  WriteQueue& operator=(const WriteQueue&) = delete;

  /// Adds a job of `files`, opened together in order: when one cannot be
  /// opened, none of them is written and its failure message is printed at
  /// the job's turn. `then` runs at the job's turn once every file is in
  /// place (a converter command). Nothing is opened before finish().
  void add(std::vector<QueuedFile> files, std::function<void()> then = {});

  /// Writes every job added, as described above, and forgets them. Returns
  /// false when any file of any job could not be opened or written whole.
  /// When a body throws, no turn is taken from its job on, the temporary
  /// files are removed, and the exception is rethrown here.
  bool finish();

  /// KINROLL_THREADS when it holds a number from 1 to 16; else one thread
  /// per processor, at most four.
  static unsigned default_threads();

 private:
  struct Job;
  std::vector<std::unique_ptr<Job>> jobs_;
  unsigned threads_;
};
