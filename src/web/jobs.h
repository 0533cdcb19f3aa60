#pragma once
// The jobs of one server: their private folders, how many may run at once,
// and their removal some time after their results were last fetched.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "web/job.h"

/// How many jobs may run at once, and be under way (received, waiting or
/// running) at once.
inline constexpr int kMaxRunningJobs = 2;
inline constexpr int kMaxActiveJobs = 8;

/// Every job of the server, under one private temporary folder.
class JobTable {
 public:
  /// Makes the private folder (mode 0700) under $TMPDIR, or /tmp. A job is
  /// removed `keep` after its results were last fetched. Check ok() after.
  JobTable(JobPrograms programs, std::chrono::milliseconds keep);
  /// Stops every job (shutdown()) and removes the private folder.
  ~JobTable();
  JobTable(const JobTable&) = delete;
  JobTable& operator=(const JobTable&) = delete;

  /// False when the private folder could not be made.
  bool ok() const { return !root_.empty(); }
  /// The private folder.
  const std::string& root() const { return root_; }

  /// A new job in state kReceiving with its own folder (mode 0700, with
  /// work/, up/ and last/ in it); null when kMaxActiveJobs are under way,
  /// the server is stopping, or the folder cannot be made.
  std::shared_ptr<Job> create(const std::string& unit);

  /// Runs a received job on a thread of its own as soon as fewer than
  /// kMaxRunningJobs run.
  void start(const std::shared_ptr<Job>& job);

  /// How many jobs start() has started.
  int started();

  /// Removes a job that is still receiving (its upload was refused), folder
  /// and all.
  void discard(const std::shared_ptr<Job>& job);

  /// The job named `id`, its last fetch set to now; null when there is none.
  std::shared_ptr<Job> find(const std::string& id);

  /// Waits until the job is done or `wait` has passed; true when it is done.
  bool wait_done(const std::shared_ptr<Job>& job, std::chrono::milliseconds wait);

  /// Removes every finished job last fetched longer than `keep` ago.
  void sweep();

  /// Ends every running program at once, waits for the job threads and
  /// removes every job folder. No job can be made afterwards. Idempotent.
  void shutdown();

 private:
  void run(const std::shared_ptr<Job>& job);
  void remove(const std::shared_ptr<Job>& job);

  JobPrograms programs_;
  std::chrono::milliseconds keep_;
  std::string root_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;  // a job started or finished
  std::map<std::string, std::shared_ptr<Job>> jobs_;
  int active_ = 0;   // jobs not yet done
  int running_ = 0;  // jobs whose programs run
  int started_ = 0;  // jobs ever started
};
