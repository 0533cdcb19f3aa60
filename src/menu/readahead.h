#pragma once
// Reading a report on a thread of its own while the batch merges the one
// before it, and other work done two things at a time.

#include <cstdio>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>

#include "model/arena.h"
#include "model/infile.h"
#include "model/messages.h"

/// Runs `aside` on a thread of its own while the caller runs `here`, and
/// returns when both are done; both run here, one after the other, when no
/// thread can be started. An exception `aside` throws is thrown here.
template <class Aside, class Here>
void run_beside(Aside aside, Here here) {
  std::exception_ptr error;
  std::thread thread;
  try {
    thread = std::thread([&] {
      try {
        aside();
      } catch (...) {
        error = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    aside();
  }
  try {
    here();
  } catch (...) {
    if (thread.joinable()) thread.join();
    throw;
  }
  if (thread.joinable()) thread.join();
  if (error) std::rethrow_exception(error);
}

/// A report read ahead into a list. Nothing of the reading shows until the
/// list is taken: what the reader prints is held and printed by take(), as
/// if the report were read there and then. The reader must print only
/// through message_out() and message_err(), and must touch nothing but its
/// stream and its arena.
template <class List>
class ReadAhead {
 public:
  ReadAhead() = default;
  /// Waits for a reading still under way; its list is dropped with its arena.
  ~ReadAhead() {
    if (thread_.joinable()) thread_.join();
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  /// Starts reading the report `name` with `read` into `arena`, which must
  /// outlive this object and must not be used by anybody else until take().
  /// `read` may do more with the list it makes (index it), touching nothing
  /// that others use meanwhile. When no thread can be started, take() reads.
  void start(const char* name, Arena& arena, std::function<List*(FILE*)> read) {
    job_ = [this, name, &arena, read = std::move(read)] {
      HoldMessages hold(held_);
      try {
        InputFile in(name);
        opened_ = static_cast<bool>(in);
        if (!opened_) return;
        ArenaScope scope(arena);
        list_ = read(in.get());
      } catch (...) {
        error_ = std::current_exception();
      }
    };
    try {
      thread_ = std::thread(job_);
    } catch (const std::system_error&) {
      // Read at take() instead.
    }
  }

  /// Waits for the reading started by start() and returns its list, printing
  /// nothing; take() still prints what the reader printed. Null when the
  /// report could not be opened or the reader threw.
  List* wait() {
    if (thread_.joinable()) {
      thread_.join();
    } else if (job_) {
      job_();
    }
    job_ = nullptr;
    return error_ ? nullptr : list_;
  }

  /// Waits for the reading started by start() and prints what the reader
  /// printed. When the report could not be opened, prints `missing` on
  /// `stream` and returns null. `opened`, when given, tells whether it
  /// opened. An exception the reader threw is thrown here.
  List* take(const char* missing, FILE* stream, bool* opened = nullptr) {
    wait();
    held_.print();
    if (error_) std::rethrow_exception(error_);
    if (opened != nullptr) *opened = opened_;
    if (!opened_) std::fprintf(stream, "%s", missing);
    return list_;
  }

 private:
  std::function<void()> job_;
  std::thread thread_;
  HeldMessages held_;
  bool opened_ = false;
  List* list_ = nullptr;
  std::exception_ptr error_;
};
