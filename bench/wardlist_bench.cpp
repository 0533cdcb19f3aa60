// Throughput of the everyday path on a large ward: reading the directory,
// writing the private list, and the sorted pointer list.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "quiet.h"
#include "lists/prodlist.h"
#include "readers/mis231.h"
#include "writers/wardpalm.h"

namespace {

std::string pad(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

/// A directory printout of `families` families of four, 50 lines a page.
std::string directory(int families) {
  std::string text;
  int lines = 0;
  char buf[160];
  for (int f = 0; f < families; ++f) {
    if (lines % 50 == 0) text += "\fDIRECTORY OF MEMBERS (MIS 231)\n\n\n\n\n\n";
    const char* names[4] = {"Robert", "Linda", " Tommy", " Sue"};
    const char* left[4] = {"FAMILY", " 12 Elm St", " Maple Creek, UT  84001-1234", " 555-0101"};
    for (int m = 0; m < 4; ++m) {
      std::snprintf(buf, sizeof buf, "%s%s%c          07Mar61     %2d       %03d-%04d-%04d\n",
                    pad(left[m], 41).c_str(), pad(names[m], 22).c_str(), m % 2 ? 'F' : 'M',
                    40 - m * 10, f % 1000, f, m);
      text += buf;
    }
    text += "-----\n";
    lines += 5;
  }
  return text + "   Total\n";
}

void BM_ReadDirectory(benchmark::State& state) {
  std::string text = directory(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    FILE* fp = fmemopen(text.data(), text.size(), "r");
    benchmark::DoNotOptimize(read_mis231(fp));
    std::fclose(fp);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
// Records live until the program ends, so the iterations are bounded.
BENCHMARK(BM_ReadDirectory)->Arg(500)->Arg(5000)->Iterations(20);

void BM_WritePrivateList(benchmark::State& state) {
  std::string text = directory(static_cast<int>(state.range(0)));
  FILE* in = fmemopen(text.data(), text.size(), "r");
  WardFamily* ward = read_mis231(in);
  std::fclose(in);
  FILE* out = std::fopen("/dev/null", "w");
  for (auto _ : state) create_palm_full(ward, out, 1);
  std::fclose(out);
}
BENCHMARK(BM_WritePrivateList)->Arg(5000);

int compare_ints(const void* a, const void* b) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return (x > y) - (x < y);
}

void BM_SortedPointerList(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  std::vector<int> values(n);
  for (int i = 0; i < n; ++i) values[i] = (i * 7919) % n;
  for (auto _ : state) {
    ProdPtrList* list = create_ptr_prodlist(26);
    for (int& v : values) bupdate_ptr_prodlist(list, &v, compare_ints);
    benchmark::DoNotOptimize(bsearch_ptr_prodlist(list, &values[n / 2], compare_ints));
    free_ptr_prodlist(list);
  }
}
BENCHMARK(BM_SortedPointerList)->Arg(1000)->Arg(10000);

}  // namespace

int main(int argc, char** argv) {
  // The directory reader reports its pseudo record numbers on standard
  // output, which goes to /dev/null.
  return bench::run_quietly(argc, argv, false);
}
