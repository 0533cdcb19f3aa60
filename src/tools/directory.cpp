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

QuietStdout::QuietStdout() {
  std::fflush(stdout);
  saved_ = ::dup(STDOUT_FILENO);
  if (saved_ < 0) return;
  int null = ::open("/dev/null", O_WRONLY);
  if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) {
    ::close(saved_);
    saved_ = -1;
  }
  if (null >= 0) ::close(null);
}

QuietStdout::~QuietStdout() {
  std::fflush(stdout);
  if (saved_ < 0) return;
  ::dup2(saved_, STDOUT_FILENO);
  ::close(saved_);
}

bool read_directory_quietly(const std::string& path, Arena& arena, WardFamily** list) {
  *list = nullptr;
  errno = 0;
  InputFile in(path);
  if (!in) {
    int reason = errno;
    tool_error("cannot read %s: %s", path.c_str(),
               is_folder(path)  ? "it is a folder"
               : reason != 0    ? std::strerror(reason)
                                : "cannot be opened");
    return false;
  }
  {
    ArenaScope scope(arena);
    QuietStdout quiet;
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
