#include "model/outfile.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace {

/// Size of the buffer of a file written whole.
constexpr size_t kBuffer = 256 * 1024;

// Temporary files in the making, removed by the handler when the program is
// interrupted. The batch keeps the files of a few documents open at once.
constexpr int kMaxPending = 32;
// A slot is free (0), being filled (2) or names a file (1); slots are taken
// and given back by any thread, and read by the handler.
char g_pending[kMaxPending][PATH_MAX];
std::atomic<int> g_pending_used[kMaxPending];
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");

void remove_pending() {
  for (int i = 0; i < kMaxPending; ++i) {
    if (g_pending_used[i].load() == 1) ::unlink(g_pending[i]);
  }
}

extern "C" void remove_pending_and_die(int sig) { end_by_signal(sig); }

/// Installs the interrupt handlers once, keeping a handler someone else set
/// (or an ignored signal) alone, and removes what is pending when the
/// program exits with an output still open (end of console input at a
/// prompt, for one).
void install_handlers() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    std::atexit(remove_pending);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
        std::signal(sig, remove_pending_and_die);
      }
    }
  });
}

/// Registers a temporary file for removal on interrupt; the slot, or -1.
int remember_pending(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  install_handlers();
  for (int i = 0; i < kMaxPending; ++i) {
    int free_slot = 0;
    if (g_pending_used[i].compare_exchange_strong(free_slot, 2)) {
      std::memcpy(g_pending[i], path.c_str(), path.size() + 1);
      g_pending_used[i].store(1);
      return i;
    }
  }
  return -1;
}

/// The folder part of `path`, with its final '/': "" for a bare name.
std::string folder_of(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

/// Follows `name` through symbolic links to the file they finally name,
/// which need not exist. False for a link loop or an unreadable link.
bool resolve_links(const std::string& name, std::string& target) {
  target = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat lst;
    if (::lstat(target.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return true;
    std::string link(PATH_MAX, '\0');
    ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) return false;
    link.resize(static_cast<size_t>(n));
    target = link[0] == '/' ? link : folder_of(target) + link;
  }
  return false;  // a loop
}

/// True when the last part of `path` is not longer than its folder's file
/// system takes.
bool fits_folder(const std::string& path) {
  std::string folder = folder_of(path);
  size_t part = path.size() - folder.size();
  long max = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  return part <= static_cast<size_t>(max > 0 ? max : NAME_MAX);
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
  if (fp_ != nullptr) {
    std::fclose(fp_);
    fp_ = nullptr;
  }
  buffer_.reset();
  if (!tmp_.empty()) {
    ::unlink(tmp_.c_str());
    tmp_.clear();
  }
  if (pending_ >= 0) g_pending_used[pending_].store(0);
  pending_ = -1;
}

/// The descriptor that a name of an open descriptor stands for:
/// /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N; -1 for other names.
static int named_descriptor(const std::string& name) {
  if (name == "/dev/stdout") return 1;
  if (name == "/dev/stderr") return 2;
  for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    size_t n = prefix.size();
    if (!name.starts_with(prefix) || name.size() == n || name.size() > n + 4) continue;
    unsigned fd = 0;
    const char* end = name.data() + name.size();
    auto [stop, error] = std::from_chars(name.data() + n, end, fd);
    return error == std::errc() && stop == end ? static_cast<int>(fd) : -1;
  }
  return -1;
}

bool OutputFile::open_direct(const std::string& name) {
  int fd = named_descriptor(name);
  if (fd >= 0) {
    // Written through the descriptor itself, at its own place: opening the
    // name anew would truncate a file that standard output is redirected to.
    std::fflush(nullptr);
    int copy = ::dup(fd);
    if (copy < 0) return false;
    fp_ = ::fdopen(copy, "w");
    if (fp_ == nullptr) ::close(copy);
    return fp_ != nullptr;
  }
  fp_ = std::fopen(name.c_str(), "w");
  return fp_ != nullptr;
}

bool OutputFile::open(const std::string& name) {
  discard();
  name_ = name;
  if (name.empty()) return false;
  // The system's device and process folders are written in place.
  if (name.starts_with("/dev/") || name.starts_with("/proc/")) return open_direct(name);

  // A link is kept: the file it points at is the one replaced (or created).
  std::string target;
  if (!resolve_links(name, target)) return false;
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return false;
  if (exists && !S_ISREG(st.st_mode)) return open_direct(name);
  if (exists && ::access(target.c_str(), W_OK) != 0) return false;
  // A name the folder cannot take would only fail at the rename.
  if (!exists && !fits_folder(target)) return false;

  // The temporary name is short, so that any valid name can be replaced.
  std::string pattern = folder_of(target) + ".kinroll-XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    // A folder that takes no new file: an existing file is written in place.
    return exists && (errno == EACCES || errno == EROFS || errno == EPERM) &&
           open_direct(target);
  }
  tmp_ = pattern;
  target_ = target;
  pending_ = remember_pending(tmp_);

  // A new file gets the usual mode under the umask; a replaced one keeps its own.
  if (exists) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }

  fp_ = ::fdopen(fd, "w");
  if (fp_ == nullptr) {
    ::close(fd);
    discard();
    return false;
  }
  // Lists run to megabytes: write them in large pieces. The buffer is
  // given, as a size alone would be ignored for one of st_blksize.
  buffer_.reset(new char[kBuffer]);
  std::setvbuf(fp_, buffer_.get(), _IOFBF, kBuffer);
  return true;
}

bool open_or_report(OutputFile& out, const std::string& name, const char* message) {
  if (out.open(name)) return true;
  std::fprintf(stderr, message, name.c_str());
  return false;
}

void end_by_signal(int sig) {
  remove_pending();
  std::signal(sig, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  std::raise(sig);
  // Only when the signal could not end the program.
  ::_exit(128 + sig);
}

bool OutputFile::commit() {
  if (fp_ == nullptr) return false;
  bool ok = std::fflush(fp_) == 0 && !std::ferror(fp_);
  ok = (std::fclose(fp_) == 0) && ok;
  fp_ = nullptr;
  if (ok && !tmp_.empty()) {
    ok = std::rename(tmp_.c_str(), target_.c_str()) == 0;
    if (ok) tmp_.clear();  // in place: not removed below
  }
  if (!ok) std::fprintf(stderr, "Error writing %s\n", name_.c_str());
  discard();
  return ok;
}
