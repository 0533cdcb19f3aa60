#include "model/writequeue.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "model/arena.h"
#include "model/outfile.h"

/// A job between add() and its turn.
struct WriteQueue::Job {
  std::vector<QueuedFile> files;
  std::function<void()> then;
  std::vector<std::unique_ptr<OutputFile>> out;  // one per file, open
  int failed = -1;      // the file that could not be opened, or -1
  bool direct = false;  // a file is written in place: filled at its turn
};

namespace {

/// Runs `body` into `fp` in an arena of its own; returns what it threw.
std::exception_ptr fill(const QueuedFile& file, FILE* fp) {
  Arena scratch;
  ArenaScope scope(scratch);
  // The stream is locked once for the whole body rather than by each call.
  ::flockfile(fp);
  std::exception_ptr error;
  try {
    file.body(fp);
  } catch (...) {
    error = std::current_exception();
  }
  ::funlockfile(fp);
  return error;
}

}  // namespace

unsigned WriteQueue::default_threads() {
  if (const char* env = std::getenv("KINROLL_THREADS")) {
    char* end = nullptr;
    long n = std::strtol(env, &end, 10);
    if (end != env && *end == '\0' && n >= 1 && n <= 16) return static_cast<unsigned>(n);
  }
  return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

WriteQueue::WriteQueue(unsigned threads) : threads_(std::max(threads, 1u)) {}

WriteQueue::~WriteQueue() = default;

void WriteQueue::add(std::vector<QueuedFile> files, std::function<void()> then) {
  Job& job = *jobs_.emplace_back(std::make_unique<Job>());
  job.files = std::move(files);
  job.then = std::move(then);
}

bool WriteQueue::finish() {
  std::vector<std::unique_ptr<Job>> jobs = std::exchange(jobs_, {});

  // Opening shows nothing: a failure is reported at the job's turn.
  struct Task {
    const QueuedFile* file;
    FILE* fp;
  };
  std::vector<Task> tasks;
  for (auto& job : jobs) {
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
    if (job->failed < 0 && !job->direct) {
      for (size_t i = 0; i < job->files.size(); ++i) {
        tasks.push_back({&job->files[i], job->out[i]->get()});
      }
    }
  }

  // The bodies, side by side. The helpers take the files in order from the
  // front; the caller takes each job's turn as soon as its files are
  // filled, and while it waits fills the file it needs next or, when a
  // helper has that one, the last file not taken, so that a large file at
  // the end does not start last.
  std::vector<std::exception_ptr> errors(tasks.size());
  std::vector<std::atomic<bool>> filled(tasks.size());
  std::mutex mutex;
  std::condition_variable changed;
  size_t front = 0;             // the next file a helper takes
  size_t back = tasks.size();   // one past the last file not taken
  auto fill_task = [&](size_t t) {
    errors[t] = fill(*tasks[t].file, tasks[t].fp);
    {
      std::lock_guard<std::mutex> lock(mutex);
      filled[t] = true;
    }
    changed.notify_all();
  };
  // Takes a file no one has taken into `t`: the front one, or for the caller
  // waiting on file `needed`, the last one unless `needed` is the front one.
  auto take = [&](size_t& t, bool caller = false, size_t needed = 0) {
    std::lock_guard<std::mutex> lock(mutex);
    if (front == back) return false;
    t = caller && front != needed ? --back : front++;
    return true;
  };
  std::vector<std::jthread> helpers;  // they write into the jobs' files: joined before those go
  // The helpers start with every signal blocked, so that a signal to the
  // program always reaches the caller: an interrupt that comes while a
  // converter runs is held there until the converter ends (run_shell_command).
  sigset_t every, own;
  sigfillset(&every);
  ::pthread_sigmask(SIG_BLOCK, &every, &own);
  for (unsigned i = 1; i < threads_ && i < tasks.size(); ++i) {
    try {
      helpers.emplace_back([&] {
        size_t t;
        while (take(t)) fill_task(t);
      });
    } catch (const std::system_error&) {
      break;  // the caller does what the thread would have done
    }
  }
  ::pthread_sigmask(SIG_SETMASK, &own, nullptr);
  // What filling task `t` threw, once it is filled.
  auto wait_filled = [&](size_t t) {
    size_t u;
    while (!filled[t] && take(u, true, t)) fill_task(u);
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return filled[t].load(); });
    return errors[t];
  };

  // The turns, in order.
  bool ok = true;
  size_t task = 0;
  for (auto& job : jobs) {
    if (job->failed >= 0) {
      const QueuedFile& f = job->files[static_cast<size_t>(job->failed)];
      if (f.failure != nullptr) std::fprintf(f.failure_stream, "%s", f.failure);
      ok = false;
      continue;
    }
    for (size_t i = 0; i < job->files.size(); ++i) {
      std::exception_ptr error =
          job->direct ? fill(job->files[i], job->out[i]->get()) : wait_filled(task++);
      if (error) std::rethrow_exception(error);  // the open files are dropped
    }
    bool all = true;
    for (auto& out : job->out) all = out->commit() && all;
    if (all && job->then) job->then();
    ok = ok && all;
  }
  return ok;
}
