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

// Temporary files in the making, removed by the handler when the program is
// interrupted, however many are open at once (a write queue opens all its
// files together: 16 for the batch). Each is named by a node of a list that
// only grows: a node is linked once, at the head, and never unlinked or
// freed, so the handler can walk the list at any moment; a node whose file
// is done names the next file opened. The list holds as many nodes as files
// were ever open at once.
struct PendingTemporary {
  std::atomic<int> state{0};         // free (0), being filled (2) or naming a file (1)
  PendingTemporary* next = nullptr;  // set before the node is linked, never changed after
  char path[PATH_MAX];
};

namespace {

/// Size of the buffer of a file written whole.
constexpr size_t kBuffer = 256 * 1024;

std::atomic<PendingTemporary*> g_pending{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<PendingTemporary*>::is_always_lock_free, "read in a signal handler");

/// Removes every temporary file named; async-signal-safe.
void remove_pending() {
  for (PendingTemporary* p = g_pending.load(); p != nullptr; p = p->next) {
    if (p->state.load() == 1) ::unlink(p->path);
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

/// Registers the temporary file `path` for removal on interrupt and at exit
/// until forget_pending() is given the node returned. Null only for a path
/// of PATH_MAX bytes or more, which no file the system made can have. Any
/// thread may call it.
PendingTemporary* remember_pending(const std::string& path) {
  if (path.size() >= PATH_MAX) return nullptr;
  install_handlers();
  PendingTemporary* node = nullptr;
  for (PendingTemporary* p = g_pending.load(); p != nullptr && node == nullptr; p = p->next) {
    int free_state = 0;
    if (p->state.compare_exchange_strong(free_state, 2)) node = p;
  }
  if (node == nullptr) {
    node = new PendingTemporary;  // lives as long as the program: the list keeps it
    node->state.store(2);
    PendingTemporary* head = g_pending.load();
    do {
      node->next = head;
    } while (!g_pending.compare_exchange_weak(head, node));
  }
  std::memcpy(node->path, path.c_str(), path.size() + 1);
  node->state.store(1);
  return node;
}

/// Frees `node` (null: nothing) for a later file once its file is removed or
/// in place.
void forget_pending(PendingTemporary* node) {
  if (node != nullptr) node->state.store(0);
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
  forget_pending(pending_);
  pending_ = nullptr;
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
