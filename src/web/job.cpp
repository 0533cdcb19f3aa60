#include "web/job.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "web/archive.h"

namespace fs = std::filesystem;

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

/// Runs the companions of the batch: kinroll-changes with last month's
/// directory, kinroll-contacts where it is built. They read only printouts
/// and write files of their own, so they run beside the batch.
void run_companions(const Job& job, const Placement& placed, const JobPrograms& programs,
                    const std::atomic<bool>& cancel, JobResult* r) {
  const std::string work = job.work();
  const std::string& dir = job.folder;
  if (placed.has_last_month && placed.has_directory && !programs.changes.empty() && !cancel) {
    r->changes_ran = true;
    r->changes = run_child({programs.changes, "--csv", "changes.csv", "../last/mis231.txt",
                            "mis231.txt"},
                           work, dir + "/changes.out", dir + "/changes.err", programs.limit, cancel);
    r->changes_report = read_whole(dir + "/changes.out");
    // The report goes among the results whole, as every output does.
    std::error_code ec;
    fs::rename(dir + "/changes.out", work + "/changes.txt", ec);
  }
  if (placed.has_directory && !programs.contacts.empty() && !cancel) {
    r->contacts_ran = true;
    r->contacts = run_child({programs.contacts, "--key", "../contacts.key", "-u", job.unit, "."},
                            work, dir + "/contacts.out", dir + "/contacts.err", programs.limit,
                            cancel);
  }
}

}  // namespace

JobResult run_job(const Job& job, const Placement& placed, const JobPrograms& programs,
                  const std::atomic<bool>& cancel) {
  JobResult r;
  const std::string work = job.work();
  const std::string& dir = job.folder;
  std::thread companions([&] { run_companions(job, placed, programs, cancel, &r); });
  r.batch = run_child({programs.kinroll, "-c", "-u", job.unit}, work, dir + "/batch.out",
                      dir + "/batch.err", programs.limit, cancel);
  companions.join();
  r.console = read_whole(dir + "/batch.out");
  r.messages = read_whole(dir + "/batch.err");
  if (r.changes_ran) r.messages += read_whole(dir + "/changes.err");
  if (r.contacts_ran) r.messages += read_whole(dir + "/contacts.err");

  std::set<std::string> inputs;
  for (const UploadedFile& up : placed.uploads) {
    if (up.taken_as != nullptr) inputs.insert(up.taken_as);
  }
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(work, ec)) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(ec) || entry.is_symlink(ec) || inputs.count(name) != 0) continue;
    r.written.push_back({name, entry.file_size(ec)});
  }
  std::sort(r.written.begin(), r.written.end(),
            [](const WrittenFile& a, const WrittenFile& b) { return a.name < b.name; });
  r.folder_gone = !fs::is_directory(work, ec);
  return r;
}

bool make_archive(const Job& job, const JobResult& r, const std::atomic<bool>& cancel,
                  std::string* error) {
  std::vector<ArchiveEntry> entries;
  for (const WrittenFile& f : r.written) entries.push_back({f.name, job.work() + "/" + f.name});
  entries.push_back({"kinroll-console.txt", job.folder + "/batch.out"});
  entries.push_back({"kinroll-messages.txt", job.folder + "/batch.err"});
  return write_archive(job.archive(), entries, cancel, error);
}
