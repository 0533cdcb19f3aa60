#include "tools/directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "model/infile.h"
#include "readers/mis231.h"
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

/// Standard input copied whole into a temporary file, rewound; null (errno
/// set) when it could not be.
FILE* stdin_copy() {
  FILE* copy = std::tmpfile();
  if (copy == nullptr) return nullptr;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) {
    if (std::fwrite(buf, 1, n, copy) != n) break;
  }
  if (std::ferror(stdin) || std::ferror(copy) || std::fseek(copy, 0, SEEK_SET) != 0) {
    std::fclose(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace

std::string path_in_folder(const std::string& dir, const char* name) {
  return dir + (dir.ends_with('/') ? "" : "/") + name;
}

bool is_folder(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string directory_printout_path(const std::string& name) {
  return name == "-" || !is_folder(name) ? name : path_in_folder(name, "mis231.txt");
}

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

bool holds_directory_header(FILE* fp) {
  static constexpr std::string_view kTitle = "DIRECTORY OF MEMBERS (MIS 231)";
  char buf[256];
  bool line_start = true;
  while (std::fgets(buf, sizeof buf, fp) != nullptr) {
    std::string_view chunk = buf;
    if (line_start && chunk.starts_with('\f')) chunk.remove_prefix(1);
    if (line_start && chunk.starts_with(kTitle)) return true;
    line_start = std::string_view(buf).ends_with('\n');
  }
  return false;
}

bool read_directory_quietly(const std::string& path, Arena& arena, WardFamily** list) {
  *list = nullptr;
  errno = 0;
  std::unique_ptr<FILE, int (*)(FILE*)> piped(path == "-" ? stdin_copy() : nullptr, std::fclose);
  std::optional<InputFile> in;
  FILE* fp = path == "-" ? piped.get() : in.emplace(path).get();
  if (fp == nullptr) {
    report_unreadable(path, errno);
    return false;
  }
  bool header = holds_directory_header(fp);
  if (header && std::fseek(fp, 0, SEEK_SET) == 0) {
    ArenaScope scope(arena);
    QuietConsole quiet;
    *list = read_mis231(fp);
  }
  // The reader takes a read error for the end of the printout: a list cut
  // short must not pass for the whole ward.
  if (std::ferror(fp)) {
    int reason = errno;
    *list = nullptr;
    tool_error("cannot read %s: %s", path.c_str(),
               reason != 0 ? std::strerror(reason) : "read error");
    return false;
  }
  if (*list == nullptr) {
    tool_error("%s: not a directory of members printout", path.c_str());
    return false;
  }
  return true;
}
