// kinroll-changes on two region-sized directory printouts: a generated ward
// of 60 000 households and the same ward a month later, with a few families
// moved in and out, births, deaths, new phones and addresses and marriages.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "quiet.h"
#include "changes/compare.h"
#include "changes/match.h"
#include "changes/report.h"
#include "changes/run.h"
#include "gen/wardgen.h"
#include "model/arena.h"
#include "readers/mis231.h"

namespace {

constexpr int kFamilies = 60000;

/// The directory printout of `ward`.
std::string directory_of(const wardgen::GenWard& ward) {
  for (auto& p : wardgen::render_printouts(ward)) {
    if (p.name == "mis231.txt") return std::move(p.text);
  }
  return {};
}

/// A record number no generated member has.
std::string fresh_recno(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "990-%04d-%04d", n / 10000, n % 10000);
  return buf;
}

/// The ward a month later: about one household in a hundred changes.
wardgen::GenWard next_month(wardgen::GenWard ward) {
  int made = 0;
  std::vector<wardgen::GenFamily> kept;
  kept.reserve(ward.families.size() + ward.families.size() / 500);
  for (size_t i = 0; i < ward.families.size(); ++i) {
    wardgen::GenFamily f = ward.families[i];
    if (f.is_xref() || f.people.empty()) {
      kept.push_back(std::move(f));
      continue;
    }
    if (i % 500 == 7) continue;  // moved out
    if (i % 700 == 11) f.phone = "555-0" + std::to_string(100 + i % 900);
    if (i % 900 == 13) f.addr = std::to_string(i % 977) + " Harbor Lane";
    if (i % 400 == 17) {  // a birth
      wardgen::GenPerson baby = f.people.back();
      baby.first = "Newbaby";
      baby.role = 3;
      baby.member = true;
      baby.birth_printed = true;
      baby.bday = 2;
      baby.bmonth = 9;
      baby.byear = 2024;
      baby.age = 0;
      baby.recno = fresh_recno(made++);
      f.people.push_back(baby);
    }
    if (i % 1100 == 19 && f.people.size() > 1) f.people.erase(f.people.begin());  // a head died
    if (i % 1300 == 23 && f.people.size() > 1) {  // a marriage: a new name
      f.surname = "WEDDLE";
    }
    kept.push_back(f);
    if (i % 600 == 29) {  // a household moves in
      wardgen::GenFamily newcomer = f;
      newcomer.surname = "NEWCOMB";
      for (auto& p : newcomer.people) p.recno = p.recno.empty() ? p.recno : fresh_recno(made++);
      kept.push_back(std::move(newcomer));
    }
  }
  ward.families = std::move(kept);
  // Only the directory is printed: the other reports point at households
  // by their place, which has changed.
  ward.home_teaching.clear();
  ward.visiting_teaching.clear();
  for (auto& unit : ward.units) unit.orgs.clear();
  return ward;
}

/// Both months' directory printouts, made once.
struct Months {
  std::string before;
  std::string after;
};

const Months& months() {
  static const Months m = [] {
    wardgen::GenOptions opt;
    opt.families = kFamilies;
    wardgen::GenWard ward = wardgen::generate_ward(opt);
    Months out;
    out.before = directory_of(ward);
    out.after = directory_of(next_month(std::move(ward)));
    return out;
  }();
  return m;
}

WardFamily* read_text(const std::string& text, Arena& arena) {
  ArenaScope scope(arena);
  FILE* fp = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  WardFamily* list = read_mis231(fp);
  std::fclose(fp);
  return list;
}

/// Pairing, comparing and writing report and CSV, the printouts read once.
void BM_PairAndReport(benchmark::State& state) {
  Arena old_arena, new_arena;
  WardFamily* before = read_text(months().before, old_arena);
  WardFamily* after = read_text(months().after, new_arena);
  FILE* null = std::fopen("/dev/null", "w");
  int changes = 0;
  for (auto _ : state) {
    Arena arena;
    ArenaScope scope(arena);
    WardChange* list = compare_directories(match_directories(before, after));
    write_changes_report(list, "old", "new", null);
    write_changes_csv(list, null);
    changes = 0;
    for (const WardChange* c = list; c != nullptr; c = c->next) ++changes;
  }
  std::fclose(null);
  state.counters["changes"] = changes;
}

/// The whole program on two files: reading, pairing, report and CSV file.
void BM_ChangesProgram(benchmark::State& state) {
  char dir[] = "/tmp/kinroll-bench-changes-XXXXXX";
  if (mkdtemp(dir) == nullptr) {
    state.SkipWithError("no scratch folder");
    return;
  }
  std::string before = std::string(dir) + "/april.txt";
  std::string after = std::string(dir) + "/may.txt";
  std::string csv = std::string(dir) + "/changes.csv";
  std::ofstream(before, std::ios::binary) << months().before;
  std::ofstream(after, std::ios::binary) << months().after;
  std::vector<std::string> words = {"kinroll-changes", "--csv", csv, before, after};
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  int status = -1;
  for (auto _ : state) status = run_changes(static_cast<int>(argv.size()), argv.data());
  state.counters["status"] = status;
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * (months().before.size() + months().after.size())));
  for (const std::string& f : {before, after, csv}) std::remove(f.c_str());
  rmdir(dir);
}

BENCHMARK(BM_PairAndReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangesProgram)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The program's report goes to /dev/null.
  return bench::run_quietly(argc, argv, false);
}
