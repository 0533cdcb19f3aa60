#include "web/jobs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "web/place.h"
#include "web/token.h"

namespace fs = std::filesystem;

namespace {

/// The bytes the files under `dir` take.
uint64_t disk_bytes(const std::string& dir) {
  uint64_t total = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_regular_file(ec)) total += it->file_size(ec);
  }
  return total;
}

}  // namespace

std::vector<size_t> over_bounds(const std::vector<uint64_t>& bytes) {
  std::vector<size_t> gone;
  uint64_t total = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    total += bytes[i];
    if (i > 0 && (i >= size_t{kMaxFinishedJobs} || total > kMaxFinishedBytes)) gone.push_back(i);
  }
  return gone;
}

JobTable::JobTable(JobPrograms programs, std::chrono::milliseconds keep, std::string base,
                   std::function<void(Job&, Placement*)> prepare,
                   std::function<void(const Job&)> done)
    : programs_(std::move(programs)),
      keep_(keep),
      base_(std::move(base)),
      prepare_(std::move(prepare)),
      done_(std::move(done)) {
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

std::shared_ptr<Job> JobTable::create(std::string* why) {
  std::lock_guard lock(mutex_);
  why->clear();
  if (stopping_ || active_ >= kMaxActiveJobs || root_.empty()) return nullptr;
  auto job = std::make_shared<Job>();
  job->id = random_hex(16);
  job->folder = root_ + "/" + job->id;
  job->base = base_;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", localtime_r(&now, &local));
  job->date = day;
  // The private folder may have been removed under the server (a cleaner
  // of /tmp): it is made again, the user's alone.
  if (::mkdir(root_.c_str(), 0700) != 0 && errno != EEXIST) {
    *why = "cannot make the folder " + root_ + ": " + std::strerror(errno);
    return nullptr;
  }
  for (const std::string& dir : {job->folder, job->work(), job->folder + "/up",
                                 job->folder + "/last"}) {
    if (::mkdir(dir.c_str(), 0700) != 0) {
      *why = "cannot make the folder " + dir + ": " + std::strerror(errno);
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
  // Placing reads every file whole: here, among the running jobs, never on
  // the server's thread.
  Placement placed = place_uploads(job->received, job->folder, stopping_);
  std::error_code ec;
  fs::remove_all(job->folder + "/up", ec);  // what was not taken for an input
  JobResult result;
  bool refused = !placed.refusals.empty();
  if (!stopping_ && !refused) {
    prepare_(*job, &placed);
    result = run_job(*job, placed, programs_, stopping_, &job->progress);
  }
  result.placed = std::move(placed);
  {
    std::lock_guard lock(job->mutex);
    job->result = result;
    job->state = JobState::kDone;
    job->finishing = true;
    job->touched = std::chrono::steady_clock::now();
  }
  {
    // The next job's lists need not wait for this one's booklet.
    std::lock_guard lock(mutex_);
    --running_;
    changed_.notify_all();
  }
  done_(*job);
  // The results show while the booklet, which takes longest, and the
  // archive of everything are made; a refused job has neither.
  run_book(*job, programs_, stopping_, &job->progress, &result);
  if (result.book_ran) {
    std::lock_guard lock(job->mutex);
    job->result = result;
  }
  std::string error = refused ? "no list was made" : "the job's folder is gone";
  bool made = !result.folder_gone && !refused && make_archive(*job, result, stopping_, &error);
  uint64_t bytes = disk_bytes(job->folder);
  {
    std::lock_guard lock(job->mutex);
    job->archive_state = made ? ArchiveState::kMade : ArchiveState::kFailed;
    job->archive_error = made ? "" : error;
    job->finishing = false;
    job->bytes = bytes;
  }
  std::vector<std::shared_ptr<Job>> old;
  {
    std::lock_guard lock(mutex_);
    job->finished = ++finished_;
    --active_;
    old = take_over_bounds();
    changed_.notify_all();
  }
  for (const auto& o : old) remove(o);
}

std::vector<std::shared_ptr<Job>> JobTable::take_over_bounds() {
  std::vector<std::shared_ptr<Job>> done;
  for (const auto& [id, job] : jobs_) {
    if (job->finished != 0) done.push_back(job);
  }
  std::ranges::sort(done, std::greater{}, [](const auto& job) { return job->finished; });
  std::vector<uint64_t> bytes;
  for (const auto& job : done) bytes.push_back(job->bytes);
  std::vector<std::shared_ptr<Job>> gone;
  for (size_t at : over_bounds(bytes)) {
    gone.push_back(done[at]);
    jobs_.erase(done[at]->id);
  }
  return gone;
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
