// Files of a one-job program: a directory printout named by itself or by its
// folder, read without the reader's messages on the standard output; an
// output file written whole; and the complaints about names that fail.

#include "tools/directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/files.h"
#include "tools/output.h"

namespace {

namespace fs = std::filesystem;

using Folder = testsupport::TempFolder;

// A family whose bracketed head gives way to the spouse (the reader says so
// on standard output) and a member without a record number (counted there).
/// The page header: the title line and the five lines skipped with it.
const std::string kHeader =
    "\fDIRECTORY OF MEMBERS (MIS 231)                  Page 1\nOakvale Ward\nOakvale Stake\n\n"
    "Name, Address, Phone                     Members\n\n";
const std::string kPrintout = kHeader +
    "SMALLEY                                  [Ross]                M Nonmembr 02Jan70     54\n"
    " 9 Elm Row                               Tess                  F          03Feb72     52       011-2222-3333\n"
    " Oakvale, UT  84001\n"
    " 555-0101\n"
    "------------------------------------------\n";

TEST(ToolDirectory, JoinsAFolderAndANameWithOneSlash) {
  EXPECT_EQ(path_in_folder("may", "mis232.txt"), "may/mis232.txt");
  EXPECT_EQ(path_in_folder("may/", "mis232.txt"), "may/mis232.txt");
  EXPECT_EQ(path_in_folder("/", "x.vcf"), "/x.vcf");
}

TEST(ToolDirectory, FolderMeansItsDirectoryPrintout) {
  Folder f;
  fs::create_directory(f.path("may"));
  EXPECT_EQ(directory_printout_path(f.path("may")), f.path("may") + "/mis231.txt");
  EXPECT_EQ(directory_printout_path(f.path("may") + "/"), f.path("may") + "/mis231.txt");
  // A file, or a name that does not exist, stands for itself.
  f.write("april.txt", kPrintout);
  EXPECT_EQ(directory_printout_path(f.path("april.txt")), f.path("april.txt"));
  EXPECT_EQ(directory_printout_path(f.path("june")), f.path("june"));
}

TEST(ToolDirectory, ReadsIntoTheArenaWithoutTheReadersMessages) {
  Folder f;
  f.write("mis231.txt", kPrintout);
  Arena arena;
  WardFamily* list = nullptr;
  testing::internal::CaptureStdout();
  std::printf("before\n");
  bool ok = read_directory_quietly(f.path("mis231.txt"), arena, &list);
  std::printf("after\n");
  std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(ok);
  EXPECT_EQ(out, "before\nafter\n");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->fname, "Tess");
  EXPECT_EQ(list->members->recno, "999-9999-0001");
  EXPECT_TRUE(arena.holds(list));
  EXPECT_TRUE(arena.holds(list->lname.c_str()));
}

TEST(ToolDirectory, NoHeaderOrNoFamilyIsNoDirectory) {
  Folder f;
  const std::string body = kPrintout.substr(kHeader.size());
  const std::string cases[] = {
      "",                                   // empty
      body,                                 // families without a page header
      kHeader,                              // a header without families
      std::string(300, 'x') + "DIRECTORY OF MEMBERS (MIS 231)\n" + body,  // title mid-line
      "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)    Page 1\n" + body,
  };
  for (const std::string& text : cases) {
    f.write("other.txt", text);
    Arena arena;
    WardFamily stale;
    WardFamily* list = &stale;  // must be overwritten
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_directory_quietly(f.path("other.txt"), arena, &list)) << text;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kinroll: " + f.path("other.txt") + ": not a directory of members printout\n");
    EXPECT_EQ(list, nullptr);
  }
}

TEST(ToolDirectory, UnreadableNamesAreToldWithTheReason) {
  Folder f;
  fs::create_directory(f.path("folder"));
  Arena arena;
  WardFamily* list = nullptr;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(read_directory_quietly(f.path("missing.txt"), arena, &list));
  EXPECT_FALSE(read_directory_quietly(f.path("folder"), arena, &list));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "kinroll: cannot read " + f.path("missing.txt") +
                     ": No such file or directory\n"
                     "kinroll: cannot read " + f.path("folder") + ": it is a folder\n");
  EXPECT_EQ(list, nullptr);
}

TEST(ToolDirectory, ReadErrorIsNoShortPrintout) {
  // The start of the process's memory is not mapped: opening works, reading
  // fails.
  Arena arena;
  WardFamily* list = nullptr;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(read_directory_quietly("/proc/self/mem", arena, &list));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kinroll: cannot read /proc/self/mem: Input/output error\n");
  EXPECT_EQ(list, nullptr);
}

TEST(ToolOutput, WritesWholeOrComplains) {
  Folder f;
  f.write("out.csv", "old\n");
  EXPECT_TRUE(write_output_whole(f.path("out.csv"), [](FILE* fp) { std::fputs("new\n", fp); }));
  EXPECT_EQ(f.read("out.csv"), "new\n");

  fs::create_directory(f.path("folder"));
  bool called = false;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_output_whole(f.path("folder"), [&](FILE*) { called = true; }));
  EXPECT_FALSE(write_output_whole(f.path("nowhere/out.csv"), [&](FILE*) { called = true; }));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(called);
  EXPECT_EQ(err, "kinroll: cannot write " + f.path("folder") + ": it is a folder\n"
                 "kinroll: cannot write " + f.path("nowhere/out.csv") +
                     ": No such file or directory\n");

  // A body that fails leaves the old file, and no other, in the folder.
  EXPECT_FALSE(write_output_checked(f.path("out.csv"), [](FILE* fp) {
    std::fputs("half", fp);
    return false;
  }));
  EXPECT_EQ(f.read("out.csv"), "new\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(f.dir()), fs::directory_iterator()), 2);
}

}  // namespace
