#pragma once
// Where the readers' messages go: standard output and standard error, or,
// for a report read ahead on another thread, a store that prints them later
// at the point where the report is taken up.

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

/// The stream for the calling thread's messages meant for standard output:
/// stdout, or the store of the thread's live HoldMessages.
FILE* message_out();

/// The same for messages meant for standard error.
FILE* message_err();

/// Messages held back, in the order they were printed.
class HeldMessages {
 public:
  /// Prints every message held on the stream it was meant for, in order,
  /// and forgets them.
  void print();

  /// True when nothing is held.
  bool empty() const { return parts_.empty(); }

 private:
  friend class HoldMessages;
  /// A run of text for one stream.
  struct Part {
    bool to_err;
    std::string text;
  };
  std::vector<Part> parts_;
};

/// While it lives, message_out() and message_err() of the thread that made
/// it put what is printed on them into `held`, which must outlive it. When
/// its streams cannot be made, the messages go out at once as usual.
class HoldMessages {
 public:
  explicit HoldMessages(HeldMessages& held);
  ~HoldMessages();
  HoldMessages(const HoldMessages&) = delete;
  HoldMessages& operator=(const HoldMessages&) = delete;

 private:
  /// One of the two streams, as its write function sees it.
  struct Sink {
    HeldMessages* held;
    bool to_err;
  };
  static ssize_t write(void* sink, const char* buf, size_t size);
  static FILE* open(Sink& sink);

  Sink out_sink_;
  Sink err_sink_;
  FILE* out_;
  FILE* err_;
  FILE* saved_out_;
  FILE* saved_err_;
};
