#include "web/job.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "web/archive.h"
#include "web/recognise.h"
#include "web/text.h"

namespace fs = std::filesystem;

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

/// The name the clerk knows this month's directory by: the browser's name
/// of the file taken for it.
std::string directory_name(const Job& job) {
  for (const UploadedFile& up : job.uploads) {
    if (up.taken_as != nullptr && std::string_view(up.taken_as) == "mis231.txt") return up.name;
  }
  return "";
}

/// Runs the companions of the batch: kinroll-changes with last month's
/// directory, kinroll-contacts where it is built. They read only printouts
/// and write files of their own, so they run beside the batch.
void run_companions(const Job& job, const JobPrograms& programs, const std::atomic<bool>& cancel,
                    JobResult* r) {
  const std::string work = job.work();
  const std::string& dir = job.folder;
  if (job.has_last_month && job.has_directory && !programs.changes.empty() && !cancel) {
    // The report names its printouts as it is given them: they are linked
    // under the clerk's names in a folder of their own, where it runs.
    ChangesNames names = changes_names(job.last_month_name, directory_name(job));
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
  if (job.has_directory && !programs.contacts.empty() && !cancel) {
    r->contacts_ran = true;
    r->contacts = run_child({programs.contacts, "-u", job.unit, "."}, work,
                            dir + "/contacts.out", dir + "/contacts.err", programs.limit, cancel);
  }
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

JobResult run_job(const Job& job, const JobPrograms& programs, const std::atomic<bool>& cancel) {
  JobResult r;
  const std::string work = job.work();
  const std::string& dir = job.folder;
  std::thread companions([&] { run_companions(job, programs, cancel, &r); });
  r.batch = run_child({programs.kinroll, "-c", "-u", job.unit}, work, dir + "/batch.out",
                      dir + "/batch.err", programs.limit, cancel);
  companions.join();
  r.console = read_whole(dir + "/batch.out");
  r.messages = read_whole(dir + "/batch.err");
  if (r.changes_ran) r.messages += read_whole(dir + "/changes.err");
  if (r.contacts_ran) r.messages += read_whole(dir + "/contacts.err");

  std::set<std::string> inputs;
  for (const UploadedFile& up : job.uploads) {
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
