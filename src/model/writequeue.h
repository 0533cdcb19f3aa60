#pragma once
// Writing a run of output files several at once, with every effect that shows
// in the order the files were asked for.

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// One file of a write job.
struct QueuedFile {
  std::string name;                 ///< the file, opened as OutputFile opens it
  std::function<void(FILE*)> body;  ///< fills the open file; may run on any thread
  const char* failure = nullptr;    ///< printed when the file cannot be opened, or null
  FILE* failure_stream = stderr;    ///< where `failure` goes
};

/// Writes jobs of files in the order they are added, filling several files
/// at once on threads of its own. Everything the console and the file system
/// show happens as if each job ran alone, one after another: for each job in
/// turn, the failure message of a file that could not be opened, else its
/// files put in place in order ("Error writing %s\n" for one that failed),
/// then its `then`. Only the bodies run at the same time, each into its own
/// temporary file; the temporary files of the next few jobs may exist before
/// the files of earlier jobs are in place. A job with a file written in place
/// (a device, see OutputFile) is filled at its turn, alone.
///
/// A body must only read what other bodies may read at the same time: it
/// writes its own stream, and what it allocates goes to an arena of its own
/// that is dropped when it returns. The effects of each job's turn (failure
/// messages, putting files in place, `then`) run on a thread of the queue
/// when it has threads; the thread that calls add() and finish() opens the
/// files and fills files while it waits.
class WriteQueue {
 public:
  /// A queue filling files on `threads` threads besides the caller's, with
  /// one more thread for the turns. With none (or when no thread can be
  /// started) the caller does everything, in add() and finish().
  explicit WriteQueue(unsigned threads = default_threads());
  /// Stops the threads, waiting for what they are doing; jobs not finished
  /// are dropped and their temporary files removed. Call finish() first to
  /// have them written.
  ~WriteQueue();
  WriteQueue(const WriteQueue&) = delete;
  WriteQueue& operator=(const WriteQueue&) = delete;

  /// Adds a job of `files`, opened together in order: when one cannot be
  /// opened, none of them is written and its failure message is printed at
  /// the job's turn. `then` runs at the job's turn once every file is in
  /// place (a converter command). May fill files of earlier jobs first.
  void add(std::vector<QueuedFile> files, std::function<void()> then = {});

  /// Holds every turn until resume(), so that what the caller prints in the
  /// meantime shows before any effect of the queue; add() then never waits
  /// for room. With `hold_fills`, the jobs added from now on are not filled
  /// either until resume() (their lists may still change); pause(false)
  /// lets the jobs added after it be filled at once.
  void pause(bool hold_fills = false);

  /// Ends a pause: the held jobs are filled first, and the turns go on.
  void resume();

  /// Finishes every job added, resuming first. Returns false when any file
  /// of any job could not be opened or written whole. When a body threw, the
  /// jobs after its own are dropped and its exception is rethrown here.
  bool finish();

  /// One thread per processor beyond the caller's, at most three.
  static unsigned default_threads();

 private:
  struct Job;
  /// One file of a job, waiting for a thread to fill it.
  struct Task {
    Job* job;
    size_t file;
  };

  /// Jobs added and not finished at most: enough to keep every thread busy
  /// past a long file, few enough to stay within the temporary files an
  /// interrupt removes.
  static constexpr size_t kWindow = 8;

  void fill_one(std::unique_lock<std::mutex>& lock);
  void fill();
  void retire();
  bool take_front_turn(std::unique_lock<std::mutex>& lock);
  void take_turn(Job& job);
  void wait_or_help(std::unique_lock<std::mutex>& lock);

  // Everything below is guarded by mutex_, but for the jobs' open files.
  std::mutex mutex_;
  std::condition_variable work_ready_;  // a task is ready, or stopping
  std::condition_variable changed_;     // a job is filled or retired, or stopping
  std::deque<std::unique_ptr<Job>> live_;  // added and not retired, in order
  std::deque<Task> ready_;                 // files opened and waiting for a thread
  std::deque<Task> held_;                  // files opened and held until resume()
  bool paused_ = false;                    // no turn is taken
  bool holding_fills_ = false;             // jobs added go to held_
  bool stopping_ = false;
  bool ok_ = true;
  std::exception_ptr error_;  // what a body threw; no turn is taken after it
  std::vector<std::thread> fillers_;
  std::thread retirer_;  // takes the turns; not started: the caller does
};
