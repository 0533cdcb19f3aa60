// Lists replaced in any order: every list the menu still reaches stays whole
// (the sanitizer build watches for any use of a list given back), and a
// position merged twice is listed twice.

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

TEST(Lifetimes, ReplacedListsLeaveTheOthersWhole) {
  Scratch s;
  for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis121.txt",
                           "wardorgs.txt"}) {
    s.write(name, data(std::string("batch/") + name));
  }
  s.write("mis1313.txt", data("teach/mis1313.txt"));
  s.write("mis1413.txt", data("teach/mis1413.txt"));
  // Directory, both enrichments, positions, both teaching reports; the
  // positions again (a new organisation list: the members keep the old
  // one's positions too); then the full list.
  Outcome r = s.run({}, "201\n\n202\n\n209\n\n101\n\n301\n\n401\n\n101\n\n210\nfull1\n"
                        // A new directory drops what was merged; the teaching
                        // lists and the organisations stay for their own lists.
                        "201\n\n210\nfull2\n310\n\n410\n\n110\n\n301\n\n212\n\nq\n");
  EXPECT_EQ(r.status, 0);
  std::string full1 = s.read("full1.txt");
  EXPECT_NE(full1.find("   Mark 07Mar\n          (bish Bishop)\n          (bish Bishop)\n"),
            std::string::npos);
  EXPECT_NE(full1.find("  HT: BISHOP, Carl & DIAZ, Frank\n"), std::string::npos);
  std::string full2 = s.read("full2.txt");
  EXPECT_EQ(full2.find("(bish"), std::string::npos);
  EXPECT_EQ(full2.find("HT:"), std::string::npos);
  const std::string date = today();
  EXPECT_EQ(s.read("wardht.txt"), dated(data("teach/wardht.txt"), date));
  EXPECT_EQ(s.read("wardvt.txt"), dated(data("teach/wardvt.txt"), date));
  EXPECT_EQ(s.read("wardpos.txt"), dated(data("batch/wardpos.txt"), date));
  // The teaching report read again merges into the new directory.
  EXPECT_NE(s.read("wardpriv.txt").find("  HT:  30% - BISHOP, Carl & DIAZ, Frank\n"),
            std::string::npos);
}

}  // namespace
}  // namespace e2e
