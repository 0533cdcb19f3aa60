#include "model/writequeue.h"

#include <algorithm>
#include <system_error>

#include "model/arena.h"
#include "model/outfile.h"

/// A job between add() and its turn.
struct WriteQueue::Job {
  std::vector<QueuedFile> files;
  std::function<void()> then;
  std::vector<std::unique_ptr<OutputFile>> out;  // one per file, open
  int failed = -1;           // the file that could not be opened, or -1
  bool direct = false;       // a file is written in place: filled at its turn
  size_t unfilled = 0;       // files whose body has not run
  std::exception_ptr error;  // the first a body threw

  /// True when its turn may be taken: every body has run, or none will.
  bool filled() const { return failed >= 0 || direct || unfilled == 0; }

  /// Runs the body of file `i` into its open file; returns what it threw.
  std::exception_ptr fill(size_t i) {
    // What the body allocates goes when it is done.
    Arena scratch;
    ArenaScope scope(scratch);
    // The stream is locked once for the whole body rather than by each call.
    FILE* fp = out[i]->get();
    ::flockfile(fp);
    std::exception_ptr error;
    try {
      files[i].body(fp);
    } catch (...) {
      error = std::current_exception();
    }
    ::funlockfile(fp);
    return error;
  }
};

unsigned WriteQueue::default_threads() {
  unsigned cpus = std::thread::hardware_concurrency();
  return cpus <= 1 ? 0 : std::min(cpus - 1, 3u);
}

WriteQueue::WriteQueue(unsigned threads) {
  // Threads that cannot be started leave their work to the caller.
  try {
    fillers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) fillers_.emplace_back([this] { fill(); });
    if (threads > 0) retirer_ = std::thread([this] { retire(); });
  } catch (const std::system_error&) {
  }
}

WriteQueue::~WriteQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    ready_.clear();
    held_.clear();
  }
  work_ready_.notify_all();
  changed_.notify_all();
  for (std::thread& t : fillers_) t.join();
  if (retirer_.joinable()) retirer_.join();
}

void WriteQueue::fill_one(std::unique_lock<std::mutex>& lock) {
  Task task = ready_.front();
  ready_.pop_front();
  lock.unlock();
  std::exception_ptr error = task.job->fill(task.file);
  lock.lock();
  if (error && !task.job->error) task.job->error = error;
  if (--task.job->unfilled == 0) changed_.notify_all();
}

void WriteQueue::fill() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [this] { return stopping_ || !ready_.empty(); });
    if (stopping_) return;
    fill_one(lock);
  }
}

bool WriteQueue::take_front_turn(std::unique_lock<std::mutex>& lock) {
  if (paused_ || error_ || live_.empty() || !live_.front()->filled()) return false;
  Job& job = *live_.front();
  if (job.error) {
    // Nothing more shows: finish() rethrows, and the rest is dropped.
    error_ = job.error;
  } else {
    lock.unlock();
    std::exception_ptr error;
    try {
      take_turn(job);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error) error_ = error;
  }
  // The job leaves once its turn is over, so finish() waits for it.
  if (!error_) live_.pop_front();
  changed_.notify_all();
  return true;
}

void WriteQueue::retire() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] {
      return stopping_ || (!paused_ && !error_ && !live_.empty() && live_.front()->filled());
    });
    if (stopping_) return;
    take_front_turn(lock);
  }
}

void WriteQueue::wait_or_help(std::unique_lock<std::mutex>& lock) {
  if (!retirer_.joinable() && take_front_turn(lock)) return;
  if (!ready_.empty()) {
    fill_one(lock);
  } else {
    changed_.wait(lock);
  }
}

void WriteQueue::take_turn(Job& job) {
  if (job.failed >= 0) {
    const QueuedFile& f = job.files[static_cast<size_t>(job.failed)];
    if (f.failure != nullptr) std::fprintf(f.failure_stream, "%s", f.failure);
    std::lock_guard<std::mutex> lock(mutex_);
    ok_ = false;
    return;
  }
  if (job.direct) {
    for (size_t i = 0; i < job.files.size(); ++i) {
      std::exception_ptr error = job.fill(i);
      if (error) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = error;
        return;
      }
    }
  }
  bool all = true;
  for (auto& out : job.out) all = out->commit() && all;
  if (all && job.then) job.then();
  if (!all) {
    std::lock_guard<std::mutex> lock(mutex_);
    ok_ = false;
  }
}

void WriteQueue::add(std::vector<QueuedFile> files, std::function<void()> then) {
  auto job = std::make_unique<Job>();
  job->files = std::move(files);
  job->then = std::move(then);
  {
    // Room for it first, filling files meanwhile.
    std::unique_lock<std::mutex> lock(mutex_);
    while (!paused_ && live_.size() >= kWindow && !error_) wait_or_help(lock);
    if (error_) return;  // finish() rethrows it
  }

  // Opening shows nothing: a failure is reported at the job's turn.
  for (size_t i = 0; i < job->files.size(); ++i) {
    auto out = std::make_unique<OutputFile>();
    if (!out->open(job->files[i].name)) {
      // The files opened already are dropped, their temporary files with them.
      job->failed = static_cast<int>(i);
      job->out.clear();
      break;
    }
    job->direct = job->direct || out->direct();
    job->out.push_back(std::move(out));
  }

  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (job->failed < 0 && !job->direct) {
      job->unfilled = job->files.size();
      std::deque<Task>& tasks = holding_fills_ ? held_ : ready_;
      for (size_t i = 0; i < job->files.size(); ++i) tasks.push_back({job.get(), i});
    }
    live_.push_back(std::move(job));
  }
  work_ready_.notify_all();
  changed_.notify_all();
}

void WriteQueue::pause(bool hold_fills) {
  std::lock_guard<std::mutex> lock(mutex_);
  paused_ = true;
  holding_fills_ = hold_fills;
}

void WriteQueue::resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // The held jobs come before every job added after them: filled first.
    ready_.insert(ready_.begin(), held_.begin(), held_.end());
    held_.clear();
    paused_ = false;
    holding_fills_ = false;
  }
  work_ready_.notify_all();
  changed_.notify_all();
}

bool WriteQueue::finish() {
  resume();
  std::unique_lock<std::mutex> lock(mutex_);
  while (!live_.empty() && !error_) wait_or_help(lock);
  if (error_) {
    std::exception_ptr error = error_;
    lock.unlock();
    std::rethrow_exception(error);
  }
  bool ok = ok_;
  ok_ = true;
  return ok;
}
