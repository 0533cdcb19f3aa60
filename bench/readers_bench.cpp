// Throughput of every reader (MB of printout per second) and time of every
// merge, on the printouts of a generated ward of 6000 households.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "quiet.h"
#include "gen/wardgen.h"
#include "menu/wardunits.h"
#include "model/arena.h"
#include "readers/mis121.h"
#include "readers/mis1313.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"

namespace {

constexpr int kFamilies = 6000;

/// The generated printouts, by file name.
const std::string& printout(const std::string& name) {
  static const std::vector<wardgen::Printout> all = [] {
    wardgen::GenOptions opt;
    opt.families = kFamilies;
    return wardgen::render_printouts(wardgen::generate_ward(opt));
  }();
  for (const auto& p : all) {
    if (p.name == name) return p.text;
  }
  static const std::string none;
  return none;
}

/// `text` as a stream to read from; closed with the returned handle.
std::unique_ptr<FILE, int (*)(FILE*)> open_text(const std::string& text) {
  return {fmemopen(const_cast<char*>(text.data()), text.size(), "r"), &std::fclose};
}

template <class List>
void read_bench(benchmark::State& state, const char* name, List* (*read)(FILE*)) {
  const std::string& text = printout(name);
  for (auto _ : state) {
    Arena arena;
    ArenaScope scope(arena);
    auto in = open_text(text);
    benchmark::DoNotOptimize(read(in.get()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReadDirectory(benchmark::State& s) { read_bench(s, "mis231.txt", read_mis231); }
void BM_ReadFamilyListing(benchmark::State& s) { read_bench(s, "mis232.txt", read_mis232); }
void BM_ReadRecordNumbers(benchmark::State& s) { read_bench(s, "mis239.txt", read_mis239); }
void BM_ReadHomeTeaching(benchmark::State& s) { read_bench(s, "mis1313.txt", read_mis1313); }
void BM_ReadVisitingTeaching(benchmark::State& s) { read_bench(s, "mis1413.txt", read_mis1313); }
void BM_ReadPositions(benchmark::State& s) { read_bench(s, "mis121.txt", read_mis121); }

void BM_ReadStakeReport(benchmark::State& state) {
  const std::string& text = printout("smis.txt");
  for (auto _ : state) {
    Arena arena;
    ArenaScope scope(arena);
    // Each read starts from units without organisations.
    for (int i = 0; i < UnitNames->nitems; ++i) static_cast<UnitName*>(UnitNames->item[i])->orgs = nullptr;
    auto in = open_text(text);
    read_smis121(in.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

/// A fresh ward list in `arena`.
WardFamily* read_ward(Arena& arena) {
  ArenaScope scope(arena);
  auto in = open_text(printout("mis231.txt"));
  return read_mis231(in.get());
}

template <class Report>
void merge_bench(benchmark::State& state, const char* name, Report* (*read)(FILE*),
                 void (*merge)(WardFamily*, Report*)) {
  Arena ward_arena;
  WardFamily* ward = read_ward(ward_arena);
  Arena report_arena;
  Report* report;
  {
    ArenaScope scope(report_arena);
    auto in = open_text(printout(name));
    report = read(in.get());
  }
  for (auto _ : state) {
    ArenaScope scope(ward_arena);
    merge(ward, report);
  }
}

void merge232(WardFamily* w, WardFamily* r) { merge_232(w, r); }
void merge239(WardFamily* w, WardMember* r) { merge_239(w, r); }
void merge1313(WardFamily* w, WardFamily* r) { merge_1313(w, r); }

void BM_MergeFamilyListing(benchmark::State& s) {
  merge_bench(s, "mis232.txt", read_mis232, merge232);
}
void BM_MergeRecordNumbers(benchmark::State& s) {
  merge_bench(s, "mis239.txt", read_mis239, merge239);
}
void BM_MergeHomeTeaching(benchmark::State& s) {
  merge_bench(s, "mis1313.txt", read_mis1313, merge1313);
}

void BM_MergePositions(benchmark::State& state) {
  // Every merge adds copies of the positions: each starts from a fresh ward.
  Arena org_arena;
  WardOrg* org;
  {
    ArenaScope scope(org_arena);
    auto in = open_text(printout("mis121.txt"));
    org = read_mis121(in.get());
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto ward_arena = std::make_unique<Arena>();
    WardFamily* ward = read_ward(*ward_arena);
    state.ResumeTiming();
    ArenaScope scope(*ward_arena);
    merge_121(ward, org);
  }
}

BENCHMARK(BM_ReadDirectory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFamilyListing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecordNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHomeTeaching)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadVisitingTeaching)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPositions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadStakeReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeFamilyListing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeRecordNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeHomeTeaching)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergePositions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The readers' own messages (pseudo record numbers, unmatched entries) go
  // to /dev/null.
  return bench::run_quietly(argc, argv, true, [] {
    // The unit names of the generated stake, for the stake report.
    char units[] = "/tmp/kinroll-bench-units-XXXXXX";
    int fd = mkstemp(units);
    if (fd < 0) return false;
    const std::string& text = printout("wardunits.txt");
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (written) read_ward_units_from(units);
    unlink(units);
    return written;
  });
}
