#include "contacts/keyfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "model/infile.h"
#include "tools/status.h"
#include "tools/userdirs.h"

namespace {

/// 32 random bytes as 64 hex digits and a line end.
bool random_key_text(std::string* text) {
  unsigned char bytes[32];
  if (::getentropy(bytes, sizeof bytes) != 0) return false;
  constexpr char kDigits[] = "0123456789abcdef";
  text->clear();
  for (unsigned char b : bytes) *text += {kDigits[b >> 4], kDigits[b & 15]};
  *text += '\n';
  return true;
}

/// Puts a new key file at `path` whole: written to a temporary file beside
/// it, then linked under its name, which fails when a file is there already
/// (then EEXIST: another run made it first).
bool create_key_file(const std::string& path) {
  std::string text;
  if (!random_key_text(&text)) return false;
  std::string tmp = folder_of(path) + "/.contacts-key-XXXXXX";
  int fd = ::mkstemp(tmp.data());  // mode 0600
  if (fd < 0) return false;
  bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  int reason = written ? 0 : (errno != 0 ? errno : EIO);
  bool linked = written && ::link(tmp.c_str(), path.c_str()) == 0;
  if (written && !linked) reason = errno;
  ::unlink(tmp.c_str());
  errno = reason;
  return linked;
}

/// Reads the whole of `path` into `*text`, and the permission bits of the
/// file opened into `*mode`; false when it cannot be opened or read.
bool read_whole(const std::string& path, std::string* text, mode_t* mode) {
  InputFile in(path);
  struct stat st;
  if (!in || ::fstat(fileno(in.get()), &st) != 0) return false;
  *mode = st.st_mode & 07777;
  text->clear();
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in.get())) > 0) text->append(buf, n);
  return !std::ferror(in.get());
}

/// The system's reason for the last failure, EIO's when none was set.
const char* last_reason() { return std::strerror(errno != 0 ? errno : EIO); }

/// Complains "WHAT key file PATH: REASON" with tool_error(). Returns false.
bool key_trouble(const char* what, const std::string& path, const char* reason) {
  tool_error("%s key file %s: %s", what, path.c_str(), reason);
  return false;
}

}  // namespace

std::string default_key_path() {
  std::string folder = user_folder(UserFolder::kConfig);
  return folder.empty() ? folder : folder + "/contacts.key";
}

bool load_or_create_key(const std::string& path, std::string* key) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return key_trouble("cannot read", path, std::strerror(errno));
    errno = 0;
    if (!make_folders(folder_of(path))) {
      return key_trouble("cannot make the folder of", path, last_reason());
    }
    if (!create_key_file(path) && errno != EEXIST) {
      return key_trouble("cannot make", path, last_reason());
    }
  }
  std::string text;
  errno = 0;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    return key_trouble("cannot read", path,
                       S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
  }
  mode_t mode = 0;
  if (!read_whole(path, &text, &mode)) return key_trouble("cannot read", path, last_reason());
  if ((mode & kKeyOthersBits) != 0) {
    tool_error("key file %s is open to others (mode %04o): chmod 600 it", path.c_str(),
               static_cast<unsigned>(mode));
    return false;
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.size() < kMinKeyLength) {
    tool_error("key file %s holds fewer than %zu characters", path.c_str(), kMinKeyLength);
    return false;
  }
  if (text.find_first_not_of(std::string_view(" \t\r\n\0", 5)) == std::string::npos) {
    tool_error("key file %s holds only blanks and NUL bytes", path.c_str());
    return false;
  }
  *key = std::move(text);
  return true;
}
