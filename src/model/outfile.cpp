#include "model/outfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
  if (fp_ != nullptr) {
    std::fclose(fp_);
    fp_ = nullptr;
  }
  if (!tmp_.empty()) {
    ::unlink(tmp_.c_str());
    tmp_.clear();
  }
}

bool OutputFile::open(const std::string& name) {
  discard();
  name_ = name;
  if (name.empty()) return false;
  struct stat st;
  bool exists = ::stat(name.c_str(), &st) == 0;
  // A link is kept: the file it points at is the one replaced.
  std::string target = name;
  struct stat lst;
  if (exists && ::lstat(name.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    char* real = ::realpath(name.c_str(), nullptr);
    if (real == nullptr) return false;
    target = real;
    std::free(real);
  }
  if (exists && !S_ISREG(st.st_mode)) {
    fp_ = std::fopen(name.c_str(), "w");
    return fp_ != nullptr;
  }
  if (exists && ::access(name.c_str(), W_OK) != 0) return false;

  target_ = target;
  std::vector<char> pattern(target.begin(), target.end());
  const char suffix[] = ".tmpXXXXXX";
  pattern.insert(pattern.end(), suffix, suffix + sizeof suffix);
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return false;
  tmp_ = pattern.data();

  // A new file gets the usual mode under the umask; a replaced one keeps its own.
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  fp_ = ::fdopen(fd, "w");
  if (fp_ == nullptr) {
    ::close(fd);
    discard();
    return false;
  }
  return true;
}

bool OutputFile::commit() {
  if (fp_ == nullptr) return false;
  bool ok = std::fflush(fp_) == 0 && !std::ferror(fp_);
  ok = (std::fclose(fp_) == 0) && ok;
  fp_ = nullptr;
  if (ok && !tmp_.empty()) {
    ok = std::rename(tmp_.c_str(), target_.c_str()) == 0;
    if (ok) tmp_.clear();
  }
  if (!ok) {
    std::fprintf(stderr, "Error writing %s\n", name_.c_str());
    discard();
  }
  return ok;
}
