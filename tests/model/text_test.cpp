// Texts and the arenas that hold them: absent against empty, and texts that
// outlive the list they came from.

#include "model/text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/arena.h"
#include "model/kinroll.h"

namespace {

TEST(Text, AbsentIsNotEmpty) {
  Text absent;
  Text empty("");
  EXPECT_FALSE(absent);
  EXPECT_TRUE(empty);
  EXPECT_FALSE(absent == empty);
  EXPECT_TRUE(absent == Text(std::nullopt));
  EXPECT_FALSE(absent == "");
  EXPECT_TRUE(empty == "");
  EXPECT_TRUE(absent.empty() && empty.empty());
  EXPECT_STREQ(absent.c_str(), "");
  EXPECT_FALSE(Text(static_cast<const char*>(nullptr)));
  // A text holds no NUL: it ends at the first one.
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(Text("Smith").find("ith"), 2u);
}

TEST(Text, CopiesShareAndCopyIntoOutlivesTheSourceArena) {
  auto ward = std::make_shared<Arena>();
  WardFamily* fam;
  {
    ArenaScope in(*ward);
    fam = create_ward_family();
    fam->lname = "ASHBY";
    // A plain copy shares the bytes.
    fam->fname = fam->lname;
    EXPECT_EQ(fam->fname.c_str(), fam->lname.c_str());
  }
  {
    Arena report;
    WardFamily* entry;
    {
      ArenaScope in(report);
      entry = create_ward_family();
      entry->acode = "A01";
      entry->city = "";
    }
    ArenaScope in(*ward);
    copy_into(fam->acode, entry->acode);  // copied into the ward's arena
    copy_into(fam->city, entry->city);
    copy_into(fam->zip, entry->zip);
    EXPECT_NE(fam->acode.c_str(), entry->acode.c_str());
    EXPECT_TRUE(ward->holds(fam->acode.c_str()));
  }
  // The same code merged again from another report keeps the copy it has.
  const char* kept = fam->acode.c_str();
  {
    Arena again;
    WardFamily* entry;
    {
      ArenaScope in(again);
      entry = create_ward_family();
      entry->acode = "A01";
    }
    ArenaScope in(*ward);
    copy_into(fam->acode, entry->acode);
    EXPECT_EQ(fam->acode.c_str(), kept);
    {
      ArenaScope back(again);
      entry->acode = "B02";
    }
    copy_into(fam->acode, entry->acode);
    EXPECT_EQ(fam->acode, "B02");
    copy_into(fam->state, Text());  // absent stays absent
    EXPECT_FALSE(fam->state);
  }
  // The reports' arenas are gone; the ward's texts still read (ASan watches).
  EXPECT_EQ(fam->acode, "B02");
  EXPECT_EQ(fam->city, "");
  EXPECT_FALSE(fam->zip);
}

TEST(Arena, KeepsAnotherArenaAlive) {
  auto ward = std::make_shared<Arena>();
  auto orgs = std::make_shared<Arena>();
  WardOrg* org;
  {
    ArenaScope in(*orgs);
    org = create_ward_org();
    org->org = "Relief Society";
  }
  WardPos* copy;
  {
    ArenaScope in(*ward);
    copy = create_ward_pos(org);
  }
  ward->keep(orgs);
  orgs.reset();  // the organisation list is dropped; the ward still holds it
  EXPECT_EQ(copy->org->org, "Relief Society");
}

TEST(Arena, LongTextsAndManyRecords) {
  Arena arena;
  ArenaScope in(arena);
  std::string big(100000, 'x');
  Text t(big);
  EXPECT_EQ(t.size(), big.size());
  EXPECT_TRUE(arena.holds(t.c_str()));
  for (int i = 0; i < 5000; ++i) ASSERT_NE(create_ward_family(), nullptr);
  EXPECT_EQ(arena.size(), 5000u);
  EXPECT_GE(arena.bytes_held(), 5000 * sizeof(WardFamily));
  arena.reset();
  EXPECT_EQ(arena.bytes_held(), 0u);
}

TEST(Arena, FirstChunkIsSizedFromTheExpectedReport) {
  struct Case {
    size_t expected;
    size_t first_chunk;
  } cases[] = {{0, Arena::kBlock},
               {Arena::kBlock + 1, 2 * Arena::kBlock},
               {100 * 1024, 128 * 1024},
               {31u << 20, Arena::kHuge}};
  for (const Case& c : cases) {
    Arena arena;
    arena.expect(c.expected);
    arena.expect(c.expected / 4);  // never smaller
    ArenaScope in(arena);
    ASSERT_NE(create_ward_family(), nullptr);
    EXPECT_EQ(arena.bytes_held(), c.first_chunk) << c.expected;
    arena.reset();  // and a reset arena starts small again
    ASSERT_NE(create_ward_family(), nullptr);
    EXPECT_EQ(arena.bytes_held(), Arena::kBlock) << c.expected;
  }
}

TEST(Arena, ADroppedArenasHugeChunksServeTheNextArena) {
  // Enough records to pass the small chunks and fill a few huge ones.
  const size_t before = Arena::pooled_chunks();
  size_t huge_held;
  {
    Arena dropped;
    ArenaScope in(dropped);
    for (int i = 0; i < 60000; ++i) ASSERT_NE(create_ward_family(), nullptr);
    huge_held = dropped.bytes_held() / Arena::kHuge;
  }
  ASSERT_GE(huge_held, 3u);
  const size_t pooled = Arena::pooled_chunks();
  EXPECT_GE(pooled, before + 3);
  {
    Arena next;
    ArenaScope in(next);
    for (int i = 0; i < 60000; ++i) ASSERT_NE(create_ward_family(), nullptr);
    // The new arena's huge chunks came from the pool.
    EXPECT_LE(Arena::pooled_chunks() + 3, pooled);
  }
  EXPECT_EQ(Arena::pooled_chunks(), pooled);
}

/// Resident memory of this process in bytes.
size_t resident_bytes() {
  long pages = 0, resident = 0;
  FILE* fp = std::fopen("/proc/self/statm", "r");
  if (fp == nullptr || std::fscanf(fp, "%ld %ld", &pages, &resident) != 2) resident = 0;
  if (fp != nullptr) std::fclose(fp);
  return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

TEST(Arena, ADroppedArenaKeepsABoundedPartOfItsMemory) {
  // 300 MB of texts in an arena, then dropped: at most about 100 MB stay in
  // place for the next arenas, the rest goes back to the system, and the
  // texts of a later arena are sound on the reused addresses.
  const size_t before = resident_bytes();
  ASSERT_GT(before, 0u);
  size_t during;
  {
    Arena big;
    ArenaScope in(big);
    std::string line(1000, 'x');
    for (int i = 0; i < 300000; ++i) Text t(line);
    during = resident_bytes();
    // Some of it may stand on pages that earlier tests' arenas left.
    EXPECT_GT(during, before + (190u << 20));
  }
  EXPECT_GT(during, resident_bytes() + (150u << 20));
  Arena next;
  ArenaScope in(next);
  std::vector<Text> texts;
  for (int i = 0; i < 200000; ++i) texts.emplace_back(std::to_string(i));
  for (int i = 0; i < 200000; i += 997) ASSERT_EQ(texts[static_cast<size_t>(i)], std::to_string(i));
}

}  // namespace

TEST(Arena, EachThreadHasItsOwnCurrentArena) {
  // Two threads fill arenas of their own at once: a thread's scope is not
  // another's.
  Arena outer;
  ArenaScope main_scope(outer);
  Arena a;
  Arena b;
  auto fill = [](Arena& arena, bool* right) {
    ArenaScope scope(arena);
    *right = true;
    for (int i = 0; i < 20000; ++i) {
      Text t(std::string(40, static_cast<char>('a' + i % 26)));
      if (!arena.holds(t.c_str())) *right = false;
    }
  };
  bool right_a = false;
  bool right_b = false;
  std::thread ta(fill, std::ref(a), &right_a);
  std::thread tb(fill, std::ref(b), &right_b);
  ta.join();
  tb.join();
  EXPECT_TRUE(right_a);
  EXPECT_TRUE(right_b);
  EXPECT_EQ(&Arena::current(), &outer);
  // A new thread starts in the global arena.
  Arena* seen = nullptr;
  std::thread([&] { seen = &Arena::current(); }).join();
  EXPECT_EQ(seen, &Arena::global());
  EXPECT_GT(a.bytes_held(), 20000u * 40);
  a.reset();
  Text kept("still here");
  EXPECT_TRUE(outer.holds(kept.c_str()));
}
