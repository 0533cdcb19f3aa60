#include "web/memory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

#include "tools/status.h"
#include "tools/userdirs.h"
#include "web/recognise.h"
#include "web/text.h"

namespace {

/// One thing remembered: the field it stands for, its file, and whether
/// that is in the state folder (else the configuration folder).
struct Thing {
  Remembered what;
  const char* field;
  const char* file;
  bool state;
};

constexpr Thing kThings[] = {
    {Remembered::kUnit, kUnitField, "web-unit", false},
    {Remembered::kUnits, kUnitsField, "web-wardunits.txt", false},
    {Remembered::kOrgs, kOrgsField, "web-wardorgs.txt", false},
    {Remembered::kLastMonth, kLastMonthField, "web-last-month.txt", true},
};

const Thing& thing(Remembered what) {
  return *std::ranges::find(kThings, what, &Thing::what);
}

std::string folder_for(const MemoryFolders& folders, Remembered what) {
  return thing(what).state ? folders.state : folders.config;
}

std::string path_of(const MemoryFolders& folders, Remembered what) {
  return folder_for(folders, what) + "/" + thing(what).file;
}

/// Reads at most `limit` bytes of the file `path` into `*text`; false when
/// it cannot be opened (it is not there) or read.
bool read_file(const std::string& path, std::string* text, size_t limit = SIZE_MAX) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  text->clear();
  char buf[65536];
  while (text->size() < limit && in) {
    in.read(buf, static_cast<std::streamsize>(std::min(sizeof buf, limit - text->size())));
    text->append(buf, static_cast<size_t>(in.gcount()));
  }
  return !in.bad();
}

std::string trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return "";
  return std::string(text.substr(begin, text.find_last_not_of(" \t\r\n") + 1 - begin));
}

/// The day the file `path` was last written, as "3 May 2026"; empty when
/// it is not there.
std::string day_written(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "";
  struct tm day;
  char buf[32];
  if (localtime_r(&st.st_mtime, &day) == nullptr ||
      std::strftime(buf, sizeof buf, "%e %b %Y", &day) == 0) {
    return "";
  }
  return trimmed(buf);
}

/// Writes `text` to `path` in `folder` (made private first), whole. Says
/// so on the error stream when it cannot.
void remember(const std::string& folder, const std::string& path, std::string_view text) {
  if (!make_private_folder(folder) || !write_private_file(path, text)) {
    tool_error("cannot keep %s: %s", path.c_str(), std::strerror(errno));
  }
}

/// Copies the file `from` of a job to `path` in `folder`, as remember().
void remember_file(const std::string& from, const std::string& folder, const std::string& path) {
  std::string text;
  if (!read_file(from, &text)) {
    tool_error("cannot keep %s: cannot read %s: %s", path.c_str(), from.c_str(),
               std::strerror(errno));
    return;
  }
  remember(folder, path, text);
}

/// Copies the remembered file `kept`, when there is one, to `to` in a job
/// folder, and lists it among the job's inputs as `name`, taken for
/// `taken_as`. False when none is remembered or it cannot be copied.
bool recall_into(const std::string& kept, const std::string& to, std::string name,
                 const char* taken_as, Placement* placed) {
  std::string text;
  if (!read_file(kept, &text)) return false;
  if (!write_private_file(to, text)) {
    tool_error("cannot copy %s into the job: %s", kept.c_str(), std::strerror(errno));
    return false;
  }
  UploadedFile up;
  up.name = std::move(name) + " (from this computer)";
  up.size = text.size();
  up.taken_as = taken_as;
  placed->uploads.push_back(std::move(up));
  return true;
}

KeptDirectory kept_directory(const MemoryFolders& folders) {
  KeptDirectory kept;
  std::string path = path_of(folders, Remembered::kLastMonth);
  std::string head;
  if (!read_file(path, &head, kTitleWindow)) return kept;
  kept.date = printout_date(head);
  kept.printed = !kept.date.empty();
  if (!kept.printed) kept.date = day_written(path);
  return kept;
}

bool is_taken_for(const Placement& placed, const char* input) {
  return std::ranges::any_of(placed.uploads, [input](const UploadedFile& up) {
    return up.taken_as != nullptr && std::strcmp(up.taken_as, input) == 0;
  });
}

/// The last blank-separated word of `*line`, taken off it; empty when none.
std::string_view last_word(std::string_view* line) {
  size_t end = line->find_last_not_of(' ');
  if (end == std::string_view::npos) return {};
  size_t begin = line->find_last_of(' ', end);
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  std::string_view word = line->substr(begin, end + 1 - begin);
  *line = line->substr(0, begin);
  return word;
}

bool all_digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool remembered_by_name(std::string_view name, Remembered* what) {
  for (const Thing& t : kThings) {
    if (name == t.field) {
      *what = t.what;
      return true;
    }
  }
  return false;
}

Recalled recall(const MemoryFolders& folders) {
  Recalled r;
  std::string unit;
  if (read_file(path_of(folders, Remembered::kUnit), &unit, kMaxFieldBytes)) r.unit = trimmed(unit);
  r.units_date = day_written(path_of(folders, Remembered::kUnits));
  r.orgs_date = day_written(path_of(folders, Remembered::kOrgs));
  r.last_month = kept_directory(folders);
  const char* home = std::getenv("HOME");
  std::string_view state = folders.state;
  size_t home_size = home != nullptr ? std::strlen(home) : 0;
  bool in_home = home_size > 1 && state.starts_with(home) && state.size() > home_size &&
                 state[home_size] == '/';
  r.state_shown = in_home ? "~" + std::string(state.substr(home_size)) : folders.state;
  return r;
}

bool forget_remembered(const MemoryFolders& folders, Remembered what) {
  return ::unlink(path_of(folders, what).c_str()) == 0 || errno == ENOENT;
}

std::string choose_unit(const MemoryFolders& folders, std::string_view typed) {
  std::string unit = trimmed(typed);
  if (!unit.empty()) {
    remember(folders.config, path_of(folders, Remembered::kUnit), unit);
  } else if (read_file(path_of(folders, Remembered::kUnit), &unit, kMaxFieldBytes)) {
    unit = trimmed(unit);
  }
  unit = latin1_from_utf8(unit);
  return unit.empty() ? "Ward" : unit;
}

void use_memory(const MemoryFolders& folders, const Job& job, Placement* placed) {
  for (Remembered what : {Remembered::kUnits, Remembered::kOrgs}) {
    const char* input = what == Remembered::kUnits ? "wardunits.txt" : "wardorgs.txt";
    std::string in_job = job.work() + "/" + input;
    if (is_taken_for(*placed, input)) {
      remember_file(in_job, folders.config, path_of(folders, what));
    } else {
      recall_into(path_of(folders, what), in_job, input, input, placed);
    }
  }

  // Last month's: the kept one is copied before this month's replaces it.
  if (placed->has_last_month) {
    const std::vector<ReceivedFile>& files = job.received;
    for (size_t i = 0; i < files.size() && i < placed->uploads.size(); ++i) {
      if (files[i].field == kLastMonthField && placed->uploads[i].taken_as != nullptr) {
        placed->last_month_name = files[i].name;
        break;
      }
    }
  } else if (placed->has_directory) {
    KeptDirectory kept = kept_directory(folders);
    std::string name = kept_directory_name(kept);
    if (!kept.date.empty() && recall_into(path_of(folders, Remembered::kLastMonth),
                                          job.folder + "/last/mis231.txt", name,
                                          "last month's mis231.txt", placed)) {
      placed->has_last_month = true;
      placed->last_month_name = name;
    }
  }
  if (job.keep && placed->has_directory) {
    remember_file(job.work() + "/mis231.txt", folders.state,
                  path_of(folders, Remembered::kLastMonth));
  }
}

std::string kept_directory_name(const KeptDirectory& kept) {
  return kept.printed ? "last month's directory of " + kept.date
                      : "last month's directory, kept on " + kept.date;
}

std::string printout_date(std::string_view head) {
  // The first line that is not blank is the title line of the first page
  // header; the next one holds the unit's name and, at its end, the date.
  size_t at = head.find_first_not_of(" \t\r\n");
  if (at == std::string_view::npos) return "";
  if (head[at] == '\f') ++at;
  if (!head.substr(at).starts_with("DIRE")) return "";
  size_t begin = head.find('\n', at);
  if (begin == std::string_view::npos) return "";
  ++begin;
  size_t end = head.find('\n', begin);
  if (end == std::string_view::npos) return "";  // cut off: the date may be too
  std::string_view line = head.substr(begin, end - begin);
  if (line.ends_with('\r')) line.remove_suffix(1);
  std::string_view year = last_word(&line);
  std::string_view month = last_word(&line);
  std::string_view day = last_word(&line);
  static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (year.size() != 4 || !all_digits(year) || day.size() > 2 || !all_digits(day) ||
      std::ranges::find(kMonths, month) == std::end(kMonths)) {
    return "";
  }
  int d = std::atoi(std::string(day).c_str());
  if (d < 1 || d > 31) return "";
  return std::to_string(d) + " " + std::string(month) + " " + std::string(year);
}
