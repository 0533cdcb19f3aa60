// Files written several at once that show as if written one after another.

#include "model/writequeue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "model/arena.h"
#include "model/text.h"
#include "support/files.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::scratch;
using testsupport::slurp;

namespace {

/// What a stream got, read back from the start.
std::string contents(FILE* fp) {
  std::fflush(fp);
  std::rewind(fp);
  std::string text;
  for (int c; (c = std::fgetc(fp)) != EOF;) text += static_cast<char>(c);
  return text;
}

/// The names of what `dir` holds, sorted.
std::vector<std::string> listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

/// A body writing `lines` numbered lines, long enough to outlast a few others.
std::function<void(FILE*)> numbered(int lines, const std::string& tag) {
  return [lines, tag](FILE* fp) {
    for (int i = 0; i < lines; ++i) std::fprintf(fp, "%s %d\n", tag.c_str(), i);
  };
}

std::string expected_numbered(int lines, const std::string& tag) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += tag + " " + std::to_string(i) + "\n";
  return text;
}

class WriteQueueTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(WriteQueueTest, EffectsShowInTheOrderTheJobsWereAdded) {
  fs::path dir = scratch("writequeue-order-" + std::to_string(GetParam()));
  FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  std::string expected_log;
  {
    WriteQueue q(GetParam());
    for (int j = 0; j < 24; ++j) {
      std::string name = "doc" + std::to_string(j) + ".txt";
      // Every fifth job names a folder that does not exist; the long bodies
      // come first, so later jobs are filled before them.
      bool fails = j % 5 == 3;
      std::string path = (fails ? dir / "missing" / name : dir / name).string();
      static const char* const kFailures[] = {"cannot open 3\n", "cannot open 8\n",
                                              "cannot open 13\n", "cannot open 18\n",
                                              "cannot open 23\n"};
      q.add({{path, numbered(j < 4 ? 20000 : 10, name), fails ? kFailures[j / 5] : nullptr, log}},
            [log, j] { std::fprintf(log, "then %d\n", j); });
      expected_log += fails ? "cannot open " + std::to_string(j) + "\n"
                            : "then " + std::to_string(j) + "\n";
    }
    EXPECT_FALSE(q.finish());
  }
  EXPECT_EQ(contents(log), expected_log);
  std::fclose(log);
  for (int j = 0; j < 24; ++j) {
    std::string name = "doc" + std::to_string(j) + ".txt";
    if (j % 5 == 3) {
      EXPECT_FALSE(fs::exists(dir / name));
    } else {
      EXPECT_EQ(slurp(dir / name), expected_numbered(j < 4 ? 20000 : 10, name)) << name;
    }
  }
  EXPECT_EQ(listing(dir).size(), 24u - 5u);  // no temporary file left
}

TEST_P(WriteQueueTest, FilesOfAJobAreWrittenTogetherOrNotAtAll) {
  fs::path dir = scratch("writequeue-group-" + std::to_string(GetParam()));
  FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  WriteQueue q(GetParam());
  // The second file cannot be opened: the first is not written either.
  q.add({{(dir / "fam.csv").string(), numbered(5, "fam"), "no fam\n", log},
         {(dir / "no" / "mem.csv").string(), numbered(5, "mem"), "no mem\n", log}},
        [log] { std::fprintf(log, "then 1\n"); });
  q.add({{(dir / "a.csv").string(), numbered(3000, "a"), "no a\n", log},
         {(dir / "b.csv").string(), numbered(3000, "b"), "no b\n", log}},
        [log] { std::fprintf(log, "then 2\n"); });
  EXPECT_FALSE(q.finish());
  EXPECT_EQ(contents(log), "no mem\nthen 2\n");
  std::fclose(log);
  EXPECT_EQ(listing(dir), (std::vector<std::string>{"a.csv", "b.csv"}));
  EXPECT_EQ(slurp(dir / "b.csv"), expected_numbered(3000, "b"));
  // A queue that finished takes more jobs; all written: true.
  q.add({{(dir / "c.csv").string(), numbered(2, "c")}});
  EXPECT_TRUE(q.finish());
  EXPECT_EQ(slurp(dir / "c.csv"), expected_numbered(2, "c"));
}

TEST_P(WriteQueueTest, ABodyThatThrowsStopsTheTurnsAfterItsJob) {
  fs::path dir = scratch("writequeue-throw-" + std::to_string(GetParam()));
  std::vector<int> turns;
  {
    WriteQueue q(GetParam());
    q.add({{(dir / "one.txt").string(), numbered(10, "one")}}, [&] { turns.push_back(1); });
    q.add({{(dir / "two.txt").string(), [](FILE*) { throw std::runtime_error("no memory"); }}},
          [&] { turns.push_back(2); });
    for (int j = 3; j < 12; ++j) {
      q.add({{(dir / ("more" + std::to_string(j))).string(), numbered(10, "more")}},
            [&turns, j] { turns.push_back(j); });
    }
    EXPECT_THROW(q.finish(), std::runtime_error);
  }
  EXPECT_EQ(turns, std::vector<int>{1});
  // Only the file before the failing job is in place, and nothing else is left.
  EXPECT_EQ(listing(dir), std::vector<std::string>{"one.txt"});
}

TEST_P(WriteQueueTest, BodiesAllocateInArenasOfTheirOwn) {
  fs::path dir = scratch("writequeue-arena-" + std::to_string(GetParam()));
  Arena mine;
  ArenaScope scope(mine);
  std::atomic<int> elsewhere{0};
  WriteQueue q(GetParam());
  for (int j = 0; j < 8; ++j) {
    q.add({{(dir / ("t" + std::to_string(j))).string(), [&elsewhere, &mine](FILE* fp) {
              Arena& here = Arena::current();
              if (&here == &mine || &here == &Arena::global()) ++elsewhere;
              for (int i = 0; i < 2000; ++i) {
                Text t("a text of some length for the arena");
                std::fprintf(fp, "%s\n", t.c_str());
              }
            }}});
  }
  EXPECT_TRUE(q.finish());
  EXPECT_EQ(elsewhere.load(), 0);
  EXPECT_EQ(mine.bytes_held(), 0u);  // nothing came to the caller's arena
}

TEST_P(WriteQueueTest, AFileWrittenInPlaceIsWrittenAtItsTurn) {
  fs::path dir = scratch("writequeue-direct-" + std::to_string(GetParam()));
  WriteQueue q(GetParam());
  q.add({{(dir / "before.txt").string(), numbered(2000, "before")}});
  q.add({{"/dev/null", numbered(2000, "null")}});
  q.add({{(dir / "after.txt").string(), numbered(2, "after")}});
  EXPECT_TRUE(q.finish());
  EXPECT_EQ(slurp(dir / "before.txt"), expected_numbered(2000, "before"));
  EXPECT_EQ(slurp(dir / "after.txt"), expected_numbered(2, "after"));
}

INSTANTIATE_TEST_SUITE_P(Threads, WriteQueueTest, ::testing::Values(1u, 2u, 3u));

}  // namespace
