// The hash index keeps the first or the last item of a key, finds every
// item after growing, and probes past the table's end.

#include "model/flatindex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

struct Item {
  int key;
  int seq;
};

bool same(const Item& a, const Item& b) { return a.key == b.key; }

TEST(FlatIndex, FirstOrLastOfEachKeyThroughGrowthAndWrapAround) {
  // Hashes near the top of the range land on the last slots; several keys
  // share one hash, so probing runs past the end and the caller's equality
  // decides.
  auto hash_of = [](int key) -> uint64_t {
    return key % 3 == 0 ? UINT64_MAX - static_cast<uint64_t>(key % 5) : 1000003u * (key + 1);
  };
  for (size_t expected : {0u, 1u, 7u, 500u}) {
    FlatIndex<Item> first(expected);
    FlatIndex<Item> last(expected);
    FlatIndex<Item>::Items gathered;
    for (int seq = 0; seq < 600; ++seq) {
      Item item{seq % 300, seq};  // every key twice
      first.add_first(hash_of(item.key), item, same);
      last.put_last(hash_of(item.key), item, same);
      gathered.emplace_back(hash_of(item.key), item);
    }
    // The same, built at once from the gathered items.
    auto first_of = FlatIndex<Item>::of(gathered, FlatIndex<Item>::kFirst, same);
    auto last_of = FlatIndex<Item>::of(gathered, FlatIndex<Item>::kLast, same);
    for (int key = 0; key < 300; ++key) {
      auto match = [key](const Item& i) { return i.key == key; };
      for (const FlatIndex<Item>* index : {&first, &first_of, &last, &last_of}) {
        const Item* found = index->find(hash_of(key), match);
        ASSERT_NE(found, nullptr) << "expected " << expected << " key " << key;
        bool keeps_first = index == &first || index == &first_of;
        EXPECT_EQ(found->seq, keeps_first ? key : key + 300);
      }
    }
    EXPECT_EQ(first.find(hash_of(300), [](const Item& i) { return i.key == 300; }), nullptr);
    EXPECT_EQ(first.find(UINT64_MAX, [](const Item& i) { return i.key == -1; }), nullptr);
  }
}

// Gathered keys grow from heap memory into huge-page blocks and back out;
// every value survives each move.
TEST(FlatIndex, GatheredItemsKeepTheirValuesAcrossLargeBlocks) {
  FlatIndex<Item>::Items items;
  const int n = 3 * static_cast<int>(kHugePage / sizeof(items[0]));
  for (int i = 0; i < n; ++i) items.emplace_back(static_cast<uint64_t>(i) * 7 + 1, Item{i, -i});
  EXPECT_EQ(reinterpret_cast<uintptr_t>(items.data()) % kHugePage, 0u);
  for (int i = 0; i < n; i += 997) {
    ASSERT_EQ(items[i].first, static_cast<uint64_t>(i) * 7 + 1);
    ASSERT_EQ(items[i].second.seq, -i);
  }
  items.resize(10);
  items.shrink_to_fit();
  EXPECT_EQ(items.back().second.key, 9);
}

TEST(KeyHash, AddTextMarksAnAbsentTextApartFromAnEmptyOne) {
  EXPECT_EQ(KeyHash().add_text(Text("ab")).value(), KeyHash().add("ab").value());
  EXPECT_EQ(KeyHash().add_text(Text()).value(), KeyHash().add_absent().value());
  EXPECT_NE(KeyHash().add_text(Text()).value(), KeyHash().add_text(Text("")).value());
}

}  // namespace
