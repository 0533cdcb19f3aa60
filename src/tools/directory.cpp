#include "tools/directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/infile.h"
#include "readers/mis231.h"
#include "tools/status.h"

namespace {

bool is_folder(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string directory_printout_path(const std::string& name) {
  if (!is_folder(name)) return name;
  return name + (name.ends_with('/') ? "" : "/") + "mis231.txt";
}

namespace {

/// Points `fd` at /dev/null; returns a duplicate of what it was, or -1.
int silence(int fd) {
  int saved = ::dup(fd);
  if (saved < 0) return -1;
  int null = ::open("/dev/null", O_WRONLY);
  if (null < 0 || ::dup2(null, fd) < 0) {
    ::close(saved);
    saved = -1;
  }
  if (null >= 0) ::close(null);
  return saved;
}

void restore(int fd, int saved) {
  if (saved < 0) return;
  ::dup2(saved, fd);
  ::close(saved);
}

}  // namespace

QuietConsole::QuietConsole(bool errors_too) {
  std::fflush(stdout);
  std::fflush(stderr);
  saved_out_ = silence(STDOUT_FILENO);
  if (errors_too) saved_err_ = silence(STDERR_FILENO);
}

QuietConsole::~QuietConsole() {
  std::fflush(stdout);
  std::fflush(stderr);
  restore(STDOUT_FILENO, saved_out_);
  restore(STDERR_FILENO, saved_err_);
}

void report_unreadable(const std::string& path, int err) {
  struct stat st;
  bool exists = ::stat(path.c_str(), &st) == 0;
  tool_error("cannot read %s: %s", path.c_str(),
             exists && S_ISDIR(st.st_mode)   ? "it is a folder"
             : exists && !S_ISREG(st.st_mode) ? "it is not a regular file"
             : err != 0                      ? std::strerror(err)
                                             : "cannot be opened");
}

bool read_directory_quietly(const std::string& path, Arena& arena, WardFamily** list) {
  *list = nullptr;
  errno = 0;
  InputFile in(path);
  if (!in) {
    report_unreadable(path, errno);
    return false;
  }
  {
    ArenaScope scope(arena);
    QuietConsole quiet;
    *list = read_mis231(in.get());
  }
  // The reader takes a read error for the end of the printout: a list cut
  // short must not pass for the whole ward.
  if (std::ferror(in.get())) {
    int reason = errno;
    *list = nullptr;
    tool_error("cannot read %s: %s", path.c_str(),
               reason != 0 ? std::strerror(reason) : "read error");
    return false;
  }
  return true;
}
