// Reports read ahead on another thread show as if read where they are taken.

#include "menu/readahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "model/kinroll.h"
#include "support/console.h"
#include "support/files.h"

using testsupport::both_streams;
using testsupport::scratch;

namespace {

/// A reader of one family per line that talks about what it reads.
WardFamily* read_names(FILE* fp) {
  WardFamily* head = nullptr;
  WardFamily** tail = &head;
  char buf[100];
  while (std::fgets(buf, sizeof buf, fp) != nullptr) {
    std::fprintf(message_err(), "read %s", buf);
    WardFamily* fam = create_ward_family();
    fam->lname = Text(std::string_view(buf, std::strcspn(buf, "\n")));
    *tail = fam;
    tail = &fam->next;
  }
  std::fprintf(message_out(), "done\n");
  return head;
}

WardFamily* read_and_fail(FILE*) { throw std::runtime_error("out of memory"); }

std::string write_report(const std::string& folder, const std::string& text) {
  std::string name = (scratch(folder) / "report.txt").string();
  std::ofstream(name) << text;
  return name;
}

TEST(ReadAhead, WhatTheReaderPrintsShowsWhereTheReportIsTaken) {
  std::string name = write_report("readahead-order", "ADAMS\nBAKER\n");
  Arena arena;
  WardFamily* list = nullptr;
  bool opened = false;
  std::string shown = both_streams([&] {
    ReadAhead<WardFamily> ahead;
    ahead.start(name.c_str(), arena, read_names);
    std::printf("meanwhile\n");
    list = ahead.take("missing\n", stderr, &opened);
    std::printf("after\n");
  });
  EXPECT_EQ(shown, "meanwhile\nread ADAMS\nread BAKER\ndone\nafter\n");
  EXPECT_TRUE(opened);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->next, nullptr);
  EXPECT_EQ(list->next->lname, "BAKER");
  // The list and its texts are the arena's.
  EXPECT_EQ(Arena::owner_of(list), &arena);
  EXPECT_EQ(Arena::owner_of(list->lname.c_str()), &arena);
}

TEST(ReadAhead, AReportThatCannotBeOpenedIsReportedWhenTaken) {
  std::string folder = scratch("readahead-missing").string();
  std::string name = folder + "/none.txt";
  Arena arena;
  bool opened = true;
  WardFamily* list = nullptr;
  std::string shown = both_streams([&] {
    ReadAhead<WardFamily> ahead;
    ahead.start(name.c_str(), arena, read_names);
    std::printf("meanwhile\n");
    list = ahead.take("Can't open it\n", stdout, &opened);
  });
  EXPECT_EQ(shown, "meanwhile\nCan't open it\n");
  EXPECT_FALSE(opened);
  EXPECT_EQ(list, nullptr);
  // A folder is no report either.
  ReadAhead<WardFamily> ahead;
  ahead.start(folder.c_str(), arena, read_names);
  EXPECT_EQ(both_streams([&] { list = ahead.take("folder\n", stderr); }), "folder\n");
  EXPECT_EQ(list, nullptr);
}

TEST(ReadAhead, WhatTheReaderThrowsIsThrownWhenTaken) {
  std::string name = write_report("readahead-throw", "ADAMS\n");
  Arena arena;
  ReadAhead<WardFamily> ahead;
  ahead.start(name.c_str(), arena, read_and_fail);
  EXPECT_THROW(ahead.take("missing\n", stderr), std::runtime_error);
}

TEST(ReadAhead, AReportNeverTakenShowsNothing) {
  std::string name = write_report("readahead-dropped", "ADAMS\n");
  Arena arena;
  std::string shown = both_streams([&] {
    ReadAhead<WardFamily> ahead;
    ahead.start(name.c_str(), arena, read_names);
  });
  EXPECT_EQ(shown, "");
}

TEST(RunBeside, BothRunAndWhatEitherThrowsComesOut) {
  std::atomic<int> done{0};
  std::thread::id aside_thread;
  run_beside([&] { aside_thread = std::this_thread::get_id(); ++done; }, [&] { ++done; });
  EXPECT_EQ(done.load(), 2);
  EXPECT_NE(aside_thread, std::this_thread::get_id());
  EXPECT_THROW(run_beside([] { throw std::runtime_error("aside"); }, [&] { ++done; }),
               std::runtime_error);
  EXPECT_EQ(done.load(), 3);  // here ran all the same
  EXPECT_THROW(run_beside([&] { ++done; }, [] { throw std::logic_error("here"); }),
               std::logic_error);
  EXPECT_EQ(done.load(), 4);  // aside finished before the throw came out
}

}  // namespace
