#pragma once
// Opening a report printout for reading.

#include <cstdio>
#include <string>

/// A report printout opened for reading and closed when the object goes.
/// A name that cannot be opened, or that names a directory (which the
/// platform would open and read as an empty report), gives no stream.
class InputFile {
 public:
  explicit InputFile(const std::string& name);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  /// The open stream; null when the file could not be opened.
  FILE* get() const { return fp_; }
  explicit operator bool() const { return fp_ != nullptr; }

 private:
  FILE* fp_;
};
