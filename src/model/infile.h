#pragma once
// Opening a report printout for reading.

#include <cstdio>
#include <string>
#include <vector>

#include "model/hugemem.h"

/// A report printout opened for reading and closed when the object goes.
/// Only a regular file (a symbolic link to one included) is opened: a name
/// that cannot be opened, or that names a folder, a device, a FIFO or a
/// socket, gives no stream. Such inputs would read as an empty report, never
/// end (/dev/zero) or block until a writer comes (a FIFO), so they are taken
/// for files that cannot be opened; opening never waits on them.
class InputFile {
 public:
  explicit InputFile(const std::string& name);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  /// The open stream; null when the file could not be opened (errno then
  /// says why: EISDIR for a folder, EINVAL for anything else that is not a
  /// regular file).
  FILE* get() const { return fp_; }
  explicit operator bool() const { return fp_ != nullptr; }

  /// The file's size in bytes when it was opened; 0 when it is not open.
  size_t size() const { return size_; }

 private:
  FILE* fp_ = nullptr;
  size_t size_ = 0;
  std::vector<char, LargeAllocator<char>> buffer_;  // the stream's, freed after it closes
};
