#pragma once
// The jobs of one server: their private folders, how many may run at once,
// how many finished ones are kept, and their removal some time after their
// results were last fetched.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "web/job.h"

/// How many jobs may run their programs at once, and be under way
/// (received, waiting, running, or making their booklet and archive) at once.
inline constexpr int kMaxRunningJobs = 2;
inline constexpr int kMaxActiveJobs = 8;
/// How many finished jobs are kept, and how much of the disk they may take
/// together; past either the oldest go first.
inline constexpr int kMaxFinishedJobs = 8;
inline constexpr uint64_t kMaxFinishedBytes = 1ull << 30;

/// The finished jobs that go, given what each takes on disk, newest first:
/// every one past the kMaxFinishedJobs newest, and every one from which on
/// they take more than kMaxFinishedBytes together; never the newest.
/// Returns their places in `bytes`, in order.
std::vector<size_t> over_bounds(const std::vector<uint64_t>& bytes);

/// Every job of the server, under one private temporary folder.
class JobTable {
 public:
  /// Makes the private folder (mode 0700) under $TMPDIR, or /tmp. Job
  /// addresses begin with `base` ("/TOKEN"). A job is removed `keep` after
  /// its results were last fetched. On the job's own thread, `prepare` is
  /// called once its files are placed, when none was refused, before its
  /// programs run; `done` each time a job is done. Check ok() after.
  JobTable(JobPrograms programs, std::chrono::milliseconds keep, std::string base,
           std::function<void(Job&, Placement*)> prepare, std::function<void(const Job&)> done);
  /// Stops every job (shutdown()) and removes the private folder.
  ~JobTable();
  JobTable(const JobTable&) = delete;
  JobTable& operator=(const JobTable&) = delete;

  /// False when the private folder could not be made.
  bool ok() const { return !root_.empty(); }
  /// The private folder.
  const std::string& root() const { return root_; }

  /// A new job in state kReceiving with its own folder (mode 0700, with
  /// work/, up/ and last/ in it), the private folder made again first when
  /// it has gone. Null when kMaxActiveJobs are under way or the server is
  /// stopping (`*why` then empty), or when a folder cannot be made (`*why`
  /// then says why).
  std::shared_ptr<Job> create(std::string* why);

  /// Runs a received job on a thread of its own as soon as fewer than
  /// kMaxRunningJobs run: first takes its files for the inputs they are
  /// (place_uploads; when one is refused no program runs, and there is no
  /// booklet and no archive) and removes those not taken; once the results
  /// are there (`done` called) it makes the booklet and the archive.
  void start(const std::shared_ptr<Job>& job);

  /// How many jobs start() has started.
  int started();

  /// Removes a job that is still receiving (its upload was refused), folder
  /// and all.
  void discard(const std::shared_ptr<Job>& job);

  /// The job named `id`, its last fetch set to now; null when there is none.
  std::shared_ptr<Job> find(const std::string& id);

  /// Removes every finished job last fetched longer than `keep` ago.
  void sweep();

  /// Ends every running program at once, waits for the job threads and
  /// removes every job folder. No job can be made afterwards. Idempotent.
  void shutdown();

 private:
  void run(const std::shared_ptr<Job>& job);
  /// Takes the finished jobs past the bounds out of the table (over_bounds),
  /// under mutex_, and returns them for remove().
  std::vector<std::shared_ptr<Job>> take_over_bounds();
  void remove(const std::shared_ptr<Job>& job);

  JobPrograms programs_;
  std::chrono::milliseconds keep_;
  std::string base_;
  std::function<void(Job&, Placement*)> prepare_;
  std::function<void(const Job&)> done_;
  std::string root_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;  // a job started or finished
  std::map<std::string, std::shared_ptr<Job>> jobs_;
  int active_ = 0;   // jobs not yet done
  int running_ = 0;  // jobs whose lists are being made
  int started_ = 0;  // jobs ever started
  uint64_t finished_ = 0;  // jobs ever finished: the last one's Job::finished
};
