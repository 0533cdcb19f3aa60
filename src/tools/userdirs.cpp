#include "tools/userdirs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

std::string user_folder(UserFolder which) {
  bool config = which == UserFolder::kConfig;
  const char* xdg = std::getenv(config ? "XDG_CONFIG_HOME" : "XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/kinroll";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return "";
  return std::string(home) + (config ? "/.config/kinroll" : "/.local/state/kinroll");
}

std::string folder_of(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool make_folders(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) || (errno = ENOTDIR, false);
  if (errno != ENOENT) return false;
  std::string parent = folder_of(dir);
  if (parent != dir && !make_folders(parent)) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool make_private_folder(const std::string& dir) {
  struct stat st;
  if (!make_folders(dir) || ::stat(dir.c_str(), &st) != 0) return false;
  return (st.st_mode & 077) == 0 || ::chmod(dir.c_str(), st.st_mode & 0700) == 0;
}

bool write_private_file(const std::string& path, std::string_view text) {
  std::string tmp = folder_of(path) + "/.kinroll-XXXXXX";
  int fd = ::mkstemp(tmp.data());  // mode 0600
  if (fd < 0) return false;
  bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
  int reason = errno;
  if (!ok) ::unlink(tmp.c_str());
  errno = reason;
  return ok;
}
