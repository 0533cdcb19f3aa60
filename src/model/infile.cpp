#include "model/infile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

InputFile::InputFile(const std::string& name) {
  // Opened without waiting, so that a FIFO without a writer cannot hold the
  // program; what it is shows before anything is read.
  int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return;
  struct stat st;
  bool stated = ::fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    int reason = !stated ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = reason;
    return;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fp_ = ::fdopen(fd, "r");
  if (fp_ == nullptr) {
    ::close(fd);
    return;
  }
  size_ = static_cast<size_t>(st.st_size);
  // Printouts run to megabytes: read them in large pieces, and a small one
  // in a buffer of its size. The buffer is given, as a size alone would be
  // ignored for one of st_blksize.
  constexpr size_t kBuffer = 256 * 1024;
  buffer_.resize(std::min(kBuffer, std::max<size_t>(size_ + 1, BUFSIZ)));
  std::setvbuf(fp_, buffer_.data(), _IOFBF, buffer_.size());
}

InputFile::~InputFile() {
  if (fp_ != nullptr) std::fclose(fp_);
}
