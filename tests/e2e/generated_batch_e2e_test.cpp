// The batch on a generated ward of 2 000 households writes the same bytes
// and prints the same lines whether its files are filled on the caller
// alone or on three threads.

#include <cstdlib>
#include <optional>

#include "e2e/harness.h"
#include "gen/wardgen.h"

namespace e2e {
namespace {

/// Runs the batch in `s` with KINROLL_THREADS set to `threads`.
Outcome batch_with_threads(const Scratch& s, const char* threads) {
  const char* old = std::getenv("KINROLL_THREADS");
  std::optional<std::string> saved;
  if (old != nullptr) saved = old;
  setenv("KINROLL_THREADS", threads, 1);
  Outcome r = s.run({"-c", "-u", "Generated Ward"}, "");
  if (saved) {
    setenv("KINROLL_THREADS", saved->c_str(), 1);
  } else {
    unsetenv("KINROLL_THREADS");
  }
  return r;
}

TEST(GeneratedBatch, OneThreadAndThreeWriteTheSameBytes) {
  Scratch one;
  Scratch three;
  wardgen::GenOptions opt;
  opt.families = 2000;
  opt.seed = 7;
  std::string error;
  ASSERT_TRUE(wardgen::write_ward_printouts(one.dir().string(), opt, nullptr, &error)) << error;
  ASSERT_TRUE(wardgen::write_ward_printouts(three.dir().string(), opt, nullptr, &error)) << error;

  Outcome a = batch_with_threads(one, "1");
  Outcome b = batch_with_threads(three, "3");
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(b.status, a.status);
  EXPECT_EQ(b.out, a.out);
  EXPECT_EQ(b.err, a.err);
  // The generated faults make the merges talk.
  EXPECT_NE(a.err.find("Can't find"), std::string::npos);

  auto files = one.files();
  EXPECT_EQ(three.files(), files);
  // Every document and CSV file of the batch is there, and none is empty.
  for (const char* name : {"wardfam.csv", "wardmem.csv", "wardhtvt.csv", "wardpos.csv",
                           "wardph.txt", "wardfull.txt", "wardpriv.txt", "wardzip.txt",
                           "warderr.txt", "wardht.txt", "htdist.txt", "htlist.txt", "wardvt.txt",
                           "vtdist.txt", "vtlist.txt", "wardpos.txt"}) {
    ASSERT_EQ(files.count(name), 1u) << name;
    EXPECT_GT(files[name].size(), 1000u) << name;
  }
}

}  // namespace
}  // namespace e2e
