#include "contacts/wardread.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/infile.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "tools/directory.h"
#include "tools/status.h"

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

/// `dir`/`name`.
std::string in_folder(const std::string& dir, const char* name) {
  return dir + (dir.ends_with('/') ? "" : "/") + name;
}

/// Reads the optional printout `path` with `read` into a list of `arena`
/// and hands it to `merge`. A printout that does not exist is no trouble;
/// one that exists but cannot be read is.
template <class List>
bool merge_optional(const std::string& path, List* (*read)(FILE*), WardFamily* ward,
                    void (*merge)(WardFamily*, const List*)) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
  errno = 0;
  InputFile in(path);
  if (!in) {
    int reason = errno;
    bool folder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    tool_error("cannot read %s: %s", path.c_str(),
               folder        ? "it is a folder"
               : reason != 0 ? std::strerror(reason)
                             : "cannot be opened");
    return false;
  }
  Arena arena;
  List* other = nullptr;
  QuietConsole quiet;
  {
    ArenaScope scope(arena);
    other = read(in.get());
  }
  merge(ward, other);
  return true;
}

}  // namespace

QuietConsole::QuietConsole() {
  std::fflush(stdout);
  std::fflush(stderr);
  saved_out_ = silence(STDOUT_FILENO);
  saved_err_ = silence(STDERR_FILENO);
}

QuietConsole::~QuietConsole() {
  std::fflush(stdout);
  std::fflush(stderr);
  restore(STDOUT_FILENO, saved_out_);
  restore(STDERR_FILENO, saved_err_);
}

bool read_contacts_ward(const std::string& dir, Arena& arena, WardFamily** list) {
  *list = nullptr;
  std::string path = in_folder(dir, "mis231.txt");
  WardFamily* ward = nullptr;
  if (!read_directory_quietly(path, arena, &ward)) return false;
  if (ward == nullptr) {
    tool_error("%s holds no family", path.c_str());
    return false;
  }
  if (!merge_optional(in_folder(dir, "mis232.txt"), read_mis232, ward, merge_232) ||
      !merge_optional(in_folder(dir, "mis239.txt"), read_mis239, ward, merge_239)) {
    return false;
  }
  *list = ward;
  return true;
}
