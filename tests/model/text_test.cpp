// Texts and the arenas that hold them: absent against empty, and texts that
// outlive the list they came from.

#include "model/text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

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

TEST(Text, AssignedIntoARecordOutlivesItsSourceArena) {
  auto ward = std::make_shared<Arena>();
  WardFamily* fam;
  {
    ArenaScope in(*ward);
    fam = create_ward_family();
    fam->lname = "ASHBY";
  }
  {
    Arena report;
    ArenaScope in(report);
    WardFamily* entry = create_ward_family();
    entry->acode = "A01";
    entry->city = "";
    fam->acode = entry->acode;  // copied into the ward's arena
    fam->city = entry->city;
    fam->zip = entry->zip;
    EXPECT_NE(fam->acode.c_str(), entry->acode.c_str());
    // Within one arena a text is shared.
    fam->fname = fam->lname;
    EXPECT_EQ(fam->fname.c_str(), fam->lname.c_str());
  }
  // The same code merged again from another report keeps the copy it has.
  const char* kept = fam->acode.c_str();
  {
    Arena again;
    ArenaScope in(again);
    WardFamily* entry = create_ward_family();
    entry->acode = "A01";
    fam->acode = entry->acode;
    EXPECT_EQ(fam->acode.c_str(), kept);
    entry->acode = "B02";
    fam->acode = entry->acode;
    EXPECT_EQ(fam->acode, "B02");
  }
  // The report's arena is gone; the ward's texts still read (ASan watches).
  EXPECT_EQ(fam->acode, "B02");
  EXPECT_EQ(fam->city, "");
  EXPECT_FALSE(fam->zip);
  EXPECT_EQ(Arena::owner_of(fam->acode.c_str()), ward.get());
}

TEST(Text, LocalsAndTheGlobalArenaShare) {
  Text global = "forever";
  Arena other;
  ArenaScope in(other);
  WardFamily* fam = create_ward_family();
  fam->state = global;
  EXPECT_EQ(fam->state.c_str(), global.c_str());
  Text local = fam->state;
  local = fam->state;
  EXPECT_EQ(local.c_str(), fam->state.c_str());
  EXPECT_EQ(Arena::owner_of(&local), nullptr);
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
  EXPECT_EQ(Arena::owner_of(t.c_str()), &arena);
  for (int i = 0; i < 5000; ++i) ASSERT_NE(create_ward_family(), nullptr);
  EXPECT_EQ(arena.size(), 5000u);
  EXPECT_GE(arena.bytes_held(), 5000 * sizeof(WardFamily));
  arena.reset();
  EXPECT_EQ(arena.bytes_held(), 0u);
}

}  // namespace

TEST(Arena, EachThreadHasItsOwnCurrentArena) {
  // Two threads fill arenas of their own at once while each looks up the
  // owners of its texts: a thread's scope is not another's, and owner_of
  // finds the arena of blocks another thread registers meanwhile.
  Arena outer;
  ArenaScope main_scope(outer);
  Arena a;
  Arena b;
  auto fill = [](Arena& arena, bool* right) {
    ArenaScope scope(arena);
    *right = true;
    for (int i = 0; i < 20000; ++i) {
      Text t(std::string(40, static_cast<char>('a' + i % 26)));
      if (Arena::owner_of(t.c_str()) != &arena) *right = false;
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
  EXPECT_EQ(Arena::owner_of(kept.c_str()), &outer);
}
