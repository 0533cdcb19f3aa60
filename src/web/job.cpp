#include "web/job.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "web/archive.h"
#include "web/text.h"

namespace fs = std::filesystem;

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int open_regular(const std::string& path, uint64_t* size) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    *size = static_cast<uint64_t>(st.st_size);
    return fd;
  }
  if (fd >= 0) ::close(fd);
  return -1;
}

bool read_page(const std::string& path, bool header, size_t per, size_t page, FilePage* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string_view rest = text;
  auto take_line = [&rest]() {
    size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end);
    return line;
  };
  out->header = header && !rest.empty() ? std::string(take_line()) : "";
  size_t lines = static_cast<size_t>(std::count(rest.begin(), rest.end(), '\n')) +
                 (!rest.empty() && rest.back() != '\n');
  out->pages = std::max<size_t>(1, (lines + per - 1) / per);
  out->page = std::clamp<size_t>(page, 1, out->pages);
  for (size_t skip = (out->page - 1) * per; skip > 0 && !rest.empty(); --skip) take_line();
  std::string_view body = rest;
  for (size_t n = 0; n < per && !rest.empty(); ++n) take_line();
  out->lines = std::string(body.substr(0, body.size() - rest.size()));
  return true;
}

namespace {

/// Lists `what` in `*progress` while it lives.
class Step {
 public:
  Step(JobProgress* progress, const char* what) : progress_(progress), what_(what) {
    std::lock_guard lock(progress_->mutex);
    progress_->running.push_back(what_);
  }
  ~Step() {
    std::lock_guard lock(progress_->mutex);
    std::erase(progress_->running, what_);
  }
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;

 private:
  JobProgress* progress_;
  const char* what_;
};

/// The name the clerk knows this month's directory by: the browser's name
/// of the file taken for it.
std::string directory_name(const Placement& placed) {
  for (const UploadedFile& up : placed.uploads) {
    if (up.taken_as != nullptr && std::string_view(up.taken_as) == "mis231.txt") return up.name;
  }
  return "";
}

/// The console answers of the stake options: read the stake report (701,
/// smis.txt), write each unit's positions (720) and the alphabetical list
/// (730, alpha) into stakedoc, then quit.
constexpr const char* kStakeAnswers = "701\n\n720\n\n730\n\n\nq\n";

/// Runs the companions of the batch: kinroll-changes with last month's
/// directory, kinroll-contacts where it is built, and the stake's lists
/// through kinroll's own menu. They read only printouts and write files of
/// their own, so they run beside the batch.
void run_companions(const Job& job, const Placement& placed, const JobPrograms& programs,
                    const std::atomic<bool>& cancel, JobProgress* progress, JobResult* r) {
  const std::string work = job.work();
  const std::string& dir = job.folder;
  if (placed.has_last_month && placed.has_directory && !programs.changes.empty() && !cancel) {
    Step step(progress, "the changes since last month (kinroll-changes)");
    // The report names its printouts as it is given them: they are linked
    // under the clerk's names in a folder of their own, where it runs.
    ChangesNames names = changes_names(placed.last_month_name, directory_name(placed));
    const std::string folder = dir + "/changes";
    std::error_code ec;
    fs::create_directory(folder, ec);
    fs::create_symlink("../last/mis231.txt", folder + "/" + names.old_name, ec);
    fs::create_symlink("../work/mis231.txt", folder + "/" + names.new_name, ec);
    r->changes_ran = true;
    r->changes = run_child({programs.changes, "--csv", "changes.csv", names.old_name,
                            names.new_name},
                           folder, dir + "/changes.out", dir + "/changes.err", programs.limit,
                           cancel);
    r->changes_report = read_whole(dir + "/changes.out");
    // The report goes among the results whole, as every output does.
    fs::rename(dir + "/changes.out", work + "/changes.txt", ec);
    fs::rename(folder + "/changes.csv", work + "/changes.csv", ec);
    fs::remove_all(folder, ec);
  }
  if (placed.has_directory && !programs.contacts.empty() && !cancel) {
    Step step(progress, "the contacts and birthdays for phones (kinroll-contacts)");
    r->contacts_ran = true;
    r->contacts = run_child({programs.contacts, "-u", job.unit, "."}, work,
                            dir + "/contacts.out", dir + "/contacts.err", programs.limit, cancel);
  }
  std::error_code ec;
  if (fs::exists(work + "/smis.txt", ec) && fs::exists(work + "/wardunits.txt", ec) && !cancel &&
      fs::create_directory(work + "/stakedoc", ec)) {
    Step step(progress, "the stake's lists (kinroll)");
    r->stake_ran = true;
    std::ofstream(dir + "/stake.in") << kStakeAnswers;
    r->stake = run_child({programs.kinroll, "-u", job.unit}, work, dir + "/stake.out",
                         dir + "/stake.err", programs.limit, cancel, dir + "/stake.in");
  }
}

/// The files under `dir`, with their paths from it, that are not `inputs`.
std::vector<WrittenFile> written_files(const std::string& dir,
                                       const std::vector<std::string>& inputs) {
  std::vector<WrittenFile> written;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    std::string name = fs::relative(it->path(), dir, ec).string();
    if (!it->is_regular_file(ec) || it->is_symlink(ec) || std::ranges::count(inputs, name) != 0) {
      continue;
    }
    written.push_back({name, it->file_size(ec)});
  }
  std::ranges::sort(written, {}, &WrittenFile::name);
  return written;
}

/// What the programs of `r` printed on their error streams, the batch's
/// first, with the name each has in the archive.
std::vector<std::pair<const char*, const char*>> message_files(const JobResult& r) {
  std::vector<std::pair<const char*, const char*>> files{{"batch.err", "kinroll-messages.txt"}};
  if (r.changes_ran) files.push_back({"changes.err", "kinroll-changes-messages.txt"});
  if (r.contacts_ran) files.push_back({"contacts.err", "kinroll-contacts-messages.txt"});
  if (r.stake_ran) files.push_back({"stake.err", "kinroll-stake-messages.txt"});
  if (r.book_ran) files.push_back({"book.err", "kinroll-book-messages.txt"});
  return files;
}

}  // namespace

ChangesNames changes_names(std::string_view last_month, std::string_view this_month) {
  auto plain = [](std::string_view name, const char* instead) {
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    std::string latin1 = latin1_from_utf8(name);
    bool usable = !latin1.empty() && latin1[0] != '.' && latin1[0] != '-' && latin1.size() <= 100;
    return usable ? latin1 : std::string(instead);
  };
  ChangesNames names{plain(last_month, "last month's directory"),
                     plain(this_month, "this month's directory")};
  if (names.old_name == names.new_name || names.old_name == "changes.csv" ||
      names.new_name == "changes.csv") {
    names.old_name = "last month's " + names.old_name;
    names.new_name = "this month's " + names.new_name;
  }
  return names;
}

std::string Job::archive_name() const {
  // Latin-1 letters with a mark become the plain letter; anything else but
  // a letter or digit separates words.
  static const char kPlain[] =
      "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";
  std::string name;
  for (char ch : unit) {
    auto c = static_cast<unsigned char>(ch);
    char plain = c >= 0xC0 ? kPlain[c - 0xC0] : static_cast<char>(c);
    bool word = (plain >= 'A' && plain <= 'Z') || (plain >= 'a' && plain <= 'z') ||
                (plain >= '0' && plain <= '9');
    if (word) name += plain;
    else if (!name.empty() && name.back() != '-') name += '-';
  }
  if (!name.empty() && name.back() == '-') name.pop_back();
  return (name.empty() ? "Ward" : name) + "-" + date + ".zip";
}

JobResult run_job(const Job& job, const Placement& placed, const JobPrograms& programs,
                  const std::atomic<bool>& cancel, JobProgress* progress) {
  JobResult r;
  const std::string work = job.work();
  const std::string& dir = job.folder;
  for (const WrittenFile& f : written_files(work, {})) r.inputs.push_back(f.name);
  {
    std::lock_guard lock(progress->mutex);
    progress->since = std::chrono::steady_clock::now();
  }
  std::thread companions([&] { run_companions(job, placed, programs, cancel, progress, &r); });
  {
    Step step(progress, "the ward's lists (kinroll -c)");
    r.batch = run_child({programs.kinroll, "-c", "-u", job.unit}, work, dir + "/batch.out",
                        dir + "/batch.err", programs.limit, cancel);
  }
  companions.join();
  r.console = read_whole(dir + "/batch.out");
  for (const auto& [file, name] : message_files(r)) r.messages += read_whole(dir + "/" + file);
  r.written = written_files(work, r.inputs);
  std::error_code ec;
  r.folder_gone = !fs::is_directory(work, ec);
  return r;
}

void run_book(const Job& job, const JobPrograms& programs, const std::atomic<bool>& cancel,
              JobProgress* progress, JobResult* r) {
  if (programs.book.empty() || !r->placed.has_directory || cancel || r->folder_gone) return;
  Step step(progress, "the directory booklet (kinroll-book)");
  r->book_ran = true;
  // Without a unit typed, the booklet takes the one its directory names.
  std::vector<std::string> argv{programs.book, "."};
  if (job.unit != "Ward") argv.insert(argv.begin() + 1, {"-u", job.unit});
  r->book = run_child(argv, job.work(), job.folder + "/book.out", job.folder + "/book.err",
                      programs.limit, cancel);
  r->messages += read_whole(job.folder + "/book.err");
  r->written = written_files(job.work(), r->inputs);
}

bool make_archive(const Job& job, const JobResult& r, const std::atomic<bool>& cancel,
                  std::string* error) {
  std::vector<ArchiveEntry> entries;
  for (const WrittenFile& f : r.written) entries.push_back({f.name, job.work() + "/" + f.name});
  entries.push_back({"kinroll-console.txt", job.folder + "/batch.out"});
  for (const auto& [file, name] : message_files(r))
    entries.push_back({name, job.folder + "/" + file});
  return write_archive(job.archive(), entries, cancel, error);
}
