#include "web/jobs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "web/token.h"

namespace fs = std::filesystem;

JobTable::JobTable(JobPrograms programs, std::chrono::milliseconds keep)
    : programs_(std::move(programs)), keep_(keep) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") +
                        "/kinroll-web-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;  // mkdtemp makes it 0700
}

JobTable::~JobTable() {
  shutdown();
  std::error_code ec;
  if (!root_.empty()) fs::remove_all(root_, ec);
}

std::shared_ptr<Job> JobTable::create(const std::string& unit) {
  std::lock_guard lock(mutex_);
  if (stopping_ || active_ >= kMaxActiveJobs || root_.empty()) return nullptr;
  auto job = std::make_shared<Job>();
  job->id = random_hex(16);
  job->folder = root_ + "/" + job->id;
  job->unit = unit;
  for (const std::string& dir : {job->folder, job->work(), job->folder + "/up",
                                 job->folder + "/last"}) {
    if (::mkdir(dir.c_str(), 0700) != 0) {
      std::error_code ec;
      fs::remove_all(job->folder, ec);
      return nullptr;
    }
  }
  job->touched = std::chrono::steady_clock::now();
  jobs_[job->id] = job;
  ++active_;
  return job;
}

void JobTable::start(const std::shared_ptr<Job>& job) {
  // Under the table's lock, so that a job removed meanwhile never starts.
  std::lock_guard lock(mutex_);
  if (jobs_.count(job->id) == 0) return;
  std::lock_guard job_lock(job->mutex);
  job->state = JobState::kWaiting;
  job->worker = std::thread([this, job] { run(job); });
  ++started_;
}

int JobTable::started() {
  std::lock_guard lock(mutex_);
  return started_;
}

void JobTable::run(const std::shared_ptr<Job>& job) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ < kMaxRunningJobs || stopping_; });
    ++running_;
  }
  {
    std::lock_guard lock(job->mutex);
    job->state = JobState::kRunning;
  }
  JobResult result;
  if (!stopping_) result = run_job(*job, programs_, stopping_);
  {
    std::lock_guard lock(job->mutex);
    job->result = std::move(result);
    job->state = JobState::kDone;
    job->touched = std::chrono::steady_clock::now();
  }
  std::lock_guard lock(mutex_);
  --running_;
  --active_;
  changed_.notify_all();
}

void JobTable::remove(const std::shared_ptr<Job>& job) {
  std::thread worker;
  {
    std::lock_guard lock(job->mutex);
    worker = std::move(job->worker);
  }
  if (worker.joinable()) worker.join();
  std::error_code ec;
  fs::remove_all(job->folder, ec);
}

void JobTable::discard(const std::shared_ptr<Job>& job) {
  {
    std::lock_guard lock(mutex_);
    if (jobs_.erase(job->id) == 0) return;
    --active_;
  }
  remove(job);
}

std::shared_ptr<Job> JobTable::find(const std::string& id) {
  std::shared_ptr<Job> job;
  {
    std::lock_guard lock(mutex_);
    auto it = jobs_.find(id);
    if (it == jobs_.end()) return nullptr;
    job = it->second;
  }
  std::lock_guard lock(job->mutex);
  job->touched = std::chrono::steady_clock::now();
  return job;
}

bool JobTable::wait_done(const std::shared_ptr<Job>& job, std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, wait, [&job] {
    std::lock_guard job_lock(job->mutex);
    return job->state == JobState::kDone;
  });
}

void JobTable::sweep() {
  std::vector<std::shared_ptr<Job>> expired;
  auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
      std::lock_guard job_lock(it->second->mutex);
      if (it->second->state == JobState::kDone && now - it->second->touched > keep_) {
        expired.push_back(it->second);
        it = jobs_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& job : expired) remove(job);
}

void JobTable::shutdown() {
  std::map<std::string, std::shared_ptr<Job>> all;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
    all.swap(jobs_);
  }
  for (auto& [id, job] : all) remove(job);
}
