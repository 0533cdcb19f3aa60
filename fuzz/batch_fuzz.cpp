// Fuzz target: the batch production on a fuzzed set of printouts. The input
// is cut at separator bytes into, in order, mis231.txt, mis232.txt,
// mis239.txt, mis1313.txt, mis1413.txt, mis121.txt, wardunits.txt and
// wardorgs.txt; the files of missing parts do not exist. The program's
// start-up loads and the batch then run in a folder of their own, which must
// hold afterwards only the inputs and the batch's own outputs.

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "fuzz/harness.h"
#include "menu/batch.h"
#include "menu/wardunits.h"
#include "readers/wardorgs.h"

namespace fs = std::filesystem;

namespace {

const char* const kInputs[] = {"mis231.txt",  "mis232.txt", "mis239.txt",    "mis1313.txt",
                               "mis1413.txt", "mis121.txt", "wardunits.txt", "wardorgs.txt"};

const char* const kOutputs[] = {"wardpos.csv", "wardpos.txt",  "wardfam.csv", "wardmem.csv",
                                "wardph.txt",  "wardfull.txt", "wardpriv.txt", "wardzip.txt",
                                "warderr.txt", "wardht.txt",   "htdist.txt",  "htlist.txt",
                                "wardvt.txt",  "vtdist.txt",   "vtlist.txt",  "wardhtvt.csv"};

/// The number of fields of one CSV row: fields are cut at ',' outside
/// double quotes, and a quoted field doubles its '"'. -1 for a row whose
/// quotes do not pair up.
int csv_fields(std::string_view row) {
  int n = 1;
  bool quoted = false;
  for (size_t i = 0; i < row.size(); ++i) {
    char c = row[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < row.size() && row[i + 1] == '"') {
          ++i;
        } else {
          quoted = false;
        }
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      ++n;
    }
  }
  return quoted ? -1 : n;
}

/// Every row of the CSV file `path` has as many fields as its header row.
void check_csv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string row;
  if (!std::getline(in, row)) return;
  int header = csv_fields(row);
  while (std::getline(in, row)) {
    fuzz::expect(csv_fields(row) == header, "CSV row with more or fewer fields than its header");
  }
}

/// Runs the batch with the folder `dir` as the current directory.
void batch_in(const std::string& dir) {
  int home = ::open(".", O_RDONLY | O_DIRECTORY);
  if (home < 0 || ::chdir(dir.c_str()) != 0) std::abort();
  read_ward_units();
  read_ward_orgs();
  create_ward_csv();
  if (::fchdir(home) != 0) std::abort();
  ::close(home);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, std::size(kInputs));
  std::string dir = fuzz::folder("batch");
  for (size_t i = 0; i < parts.size(); ++i) {
    fuzz::put_file(std::string("batch/") + kInputs[i], parts[i]);
  }

  batch_in(dir);

  std::set<std::string> known(std::begin(kInputs), std::end(kInputs));
  known.insert(std::begin(kOutputs), std::end(kOutputs));
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    fuzz::expect(known.count(name) == 1, "the batch left a file it does not write");
    if (entry.path().extension() == ".csv") check_csv(entry.path().string());
  }
  return 0;
}
