#include "web/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/status.h"
#include "tools/userdirs.h"
#include "web/token.h"

namespace fs = std::filesystem;

namespace {

std::string first_line(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool is_token(const std::string& text) {
  return text.size() == 32 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string jobs_record(const std::string& state, long pid) {
  return state + "/web-jobs/" + std::to_string(pid);
}

/// True when another process holds the lock of the record `path`.
bool locked_by_other(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

/// True when `root` may be removed as an earlier instance's private folder:
/// an absolute path to a real folder of this user's named kinroll-web-*.
bool is_own_private_folder(const std::string& root) {
  struct stat st;
  return root.starts_with('/') && fs::path(root).filename().string().starts_with("kinroll-web-") &&
         ::lstat(root.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

}  // namespace

bool load_token(const std::string& state, bool renew, std::string* token) {
  const std::string path = state + "/web-token";
  std::string kept = renew ? "" : first_line(path);
  if (is_token(kept)) {
    *token = kept;
    return true;
  }
  *token = random_hex(16);
  if (make_private_folder(state) && write_private_file(path, *token + "\n")) return true;
  tool_error("cannot keep the page's address in %s: %s", path.c_str(), std::strerror(errno));
  return false;
}

FolderClaim::~FolderClaim() {
  if (fd_ < 0) return;
  ::unlink(record_.c_str());
  ::close(fd_);
}

bool FolderClaim::claim(const std::string& state, const std::string& root) {
  std::string dir = state + "/web-jobs";
  std::string tmp = dir + "/.claim-XXXXXX";
  if (!make_private_folder(dir)) return false;
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);  // mode 0600
  if (fd < 0) return false;
  std::string text = root + "\n";
  record_ = jobs_record(state, ::getpid());
  // Locked first, then put under its name: a starting instance never sees
  // it unlocked.
  if (::flock(fd, LOCK_EX) != 0 || ::write(fd, text.data(), text.size()) != ssize_t(text.size()) ||
      ::rename(tmp.c_str(), record_.c_str()) != 0) {
    ::unlink(tmp.c_str());
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

int remove_stale_folders(const std::string& state) {
  int removed = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(state + "/web-jobs", ec)) {
    std::string record = entry.path().string();
    std::string name = entry.path().filename().string();
    if (name.starts_with('.') || locked_by_other(record)) continue;
    std::string root = first_line(record);
    if (is_own_private_folder(root) && fs::remove_all(root, ec) > 0) ++removed;
    ::unlink(record.c_str());
  }
  return removed;
}

bool record_running(const std::string& state, const std::string& url) {
  return write_private_file(state + "/web-server", std::to_string(::getpid()) + " " + url + "\n");
}

std::string running_url(const std::string& state) {
  std::string line = first_line(state + "/web-server");
  size_t blank = line.find(' ');
  if (blank == std::string::npos) return "";
  long pid = std::atol(line.c_str());
  return pid > 0 && locked_by_other(jobs_record(state, pid)) ? line.substr(blank + 1) : "";
}
