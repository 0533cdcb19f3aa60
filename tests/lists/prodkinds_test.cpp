#include "lists/prodkinds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string shown(void (*show)()) {
  testing::internal::CaptureStdout();
  show();
  return testing::internal::GetCapturedStdout();
}

std::string hex(const void* p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%jx", static_cast<uintmax_t>(reinterpret_cast<uintptr_t>(p)));
  return buf;
}

TEST(ProdKinds, CreationRulesAreThoseOfThePointerList) {
  ProdANumList* anum = create_anum_prodlist(5);
  ASSERT_NE(anum, nullptr);
  EXPECT_EQ(anum->nitems, 0);
  EXPECT_EQ(anum->maxitems, 5);
  EXPECT_EQ(anum->delta, 5);
  EXPECT_EQ(anum->num.size(), 5u);
  EXPECT_EQ(anum->alpha.size(), 5u);
  free_anum_prodlist(anum);

  ProdList* empty = create_prodlist(0);
  EXPECT_EQ(empty->maxitems, 0);
  EXPECT_EQ(empty->delta, 10);
  EXPECT_TRUE(empty->item.empty());
  EXPECT_TRUE(empty->desc.empty());
  EXPECT_EQ(resize_prodlist(empty, 3), empty);
  EXPECT_EQ(empty->maxitems, 3);
  EXPECT_EQ(empty->desc.size(), 3u);
  EXPECT_EQ(resize_prodlist(empty, -1), nullptr);  // refused, unchanged
  EXPECT_EQ(empty->maxitems, 3);
  EXPECT_EQ(empty->item.size(), 3u);
  EXPECT_EQ(resize_prodlist(nullptr, 3), nullptr);
  free_prodlist(empty);

  ProdNumList* neg = create_num_prodlist(-4);
  EXPECT_EQ(neg->maxitems, -4);
  EXPECT_EQ(neg->delta, 10);
  EXPECT_EQ(resize_num_prodlist(neg, 2), neg);
  EXPECT_EQ(neg->item.size(), 2u);
  free_num_prodlist(neg);
  free_num_prodlist(nullptr);
  free_unum_prodlist(nullptr);
  free_aptr_prodlist(nullptr);
  resize_alpha_prodlist(nullptr, 4);  // ignored
  EXPECT_EQ(resize_aptr_prodlist(nullptr, 4), nullptr);
}

ProdNumList* g_num;
ProdUNumList* g_unum;

TEST(ProdKinds, ClearingNumbersKeepsStorage) {
  g_num = create_num_prodlist(4);
  g_num->item[0] = -7;
  g_num->item[1] = 42;
  g_num->nitems = 2;
  EXPECT_EQ(shown([] { display_num_prodlist(g_num); }),
            "2 Items in list:\nItem   1: -7\nItem   2: 42\n");
  clear_num_prodlist(g_num);
  EXPECT_EQ(g_num->maxitems, 4);
  EXPECT_EQ(g_num->item.size(), 4u);
  EXPECT_EQ(g_num->item[1], 42);
  EXPECT_EQ(shown([] { display_num_prodlist(g_num); }), "0 Items in list:\n");
  free_num_prodlist(g_num);

  g_unum = create_unum_prodlist(1);
  g_unum->item[0] = 4000000000ul;
  g_unum->nitems = 1;
  EXPECT_EQ(shown([] { display_unum_prodlist(g_unum); }), "1 Items in list:\nItem   1: 4000000000\n");
  clear_unum_prodlist(g_unum);
  EXPECT_EQ(g_unum->nitems, 0);
  EXPECT_EQ(g_unum->maxitems, 1);
  free_unum_prodlist(g_unum);
  EXPECT_EQ(shown([] { display_unum_prodlist(nullptr); }), "display_list: Empty list\n");
}

ProdANumList* g_anum;

TEST(ProdKinds, NumberAndTextListRefusesToShrink) {
  g_anum = create_anum_prodlist(6);
  const char* texts[] = {"e", "d", "c", "b", "a"};
  for (int i = 0; i < 5; ++i) {
    g_anum->num[i] = i * 10;
    g_anum->alpha[i] = texts[i];
  }
  g_anum->nitems = 5;
  testing::internal::CaptureStderr();
  EXPECT_EQ(resize_anum_prodlist(g_anum, 4), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Attempting to shrink ProdANumList from 5 to 4\n");
  EXPECT_EQ(g_anum->maxitems, 6);
  EXPECT_EQ(g_anum->num.size(), 6u);
  EXPECT_EQ(g_anum->alpha[4], "a");
  EXPECT_EQ(g_anum->num[4], 40);

  testing::internal::CaptureStderr();
  EXPECT_EQ(resize_anum_prodlist(g_anum, 5), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(g_anum->maxitems, 5);
  EXPECT_EQ(g_anum->alpha.size(), 5u);
  EXPECT_EQ(g_anum->alpha[4], "a");
  EXPECT_EQ(resize_anum_prodlist(g_anum, 8), 1);
  EXPECT_EQ(g_anum->num.size(), 8u);
  EXPECT_EQ(resize_anum_prodlist(nullptr, 8), 0);

  EXPECT_EQ(shown([] { display_anum_prodlist(g_anum); }),
            "5 Items in list:\nItem   1: 0\te\nItem   2: 10\td\nItem   3: 20\tc\n"
            "Item   4: 30\tb\nItem   5: 40\ta\n");
  clear_anum_prodlist(g_anum);
  EXPECT_EQ(g_anum->nitems, 0);
  EXPECT_FALSE(g_anum->alpha[0]);
  EXPECT_EQ(g_anum->num[0], 0);  // numbers are not released, only texts
  EXPECT_EQ(g_anum->num[4], 40);
  free_anum_prodlist(g_anum);
}

TEST(ProdKinds, SortPairsByTextKeepingNumbersBeside) {
  ProdANumList* list = create_anum_prodlist(0);
  const char* texts[] = {"delta", "charlie", "bravo", "alpha", "Zulu", "bravo", "", "Alpha"};
  ASSERT_EQ(resize_anum_prodlist(list, 8), 1);
  for (int i = 0; i < 8; ++i) {
    list->num[i] = i;
    list->alpha[i] = texts[i];
  }
  list->nitems = 8;
  sort_anum_prodlist(list);
  const char* sorted[] = {"", "Alpha", "Zulu", "alpha", "bravo", "bravo", "charlie", "delta"};
  const long nums[] = {6, 7, 4, 3, 2, 5, 1, 0};  // equal texts keep their order
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(list->alpha[i], sorted[i]) << i;
    EXPECT_EQ(list->num[i], nums[i]) << i;
  }
  sort_anum_prodlist(nullptr);
  free_anum_prodlist(list);
}

ProdAlphaList* g_alpha;

TEST(ProdKinds, SortedTextInsertionGrowsByTen) {
  g_alpha = create_alpha_prodlist(3);
  g_alpha->delta = 1;  // not used by the sorted insertion
  for (const char* s : {"m", "c", "x"}) insert_sorted_alpha_prodlist(g_alpha, s);
  EXPECT_EQ(g_alpha->nitems, 3);
  EXPECT_EQ(g_alpha->maxitems, 3);
  Text same("m");
  insert_sorted_alpha_prodlist(g_alpha, same);  // present: nothing
  EXPECT_EQ(g_alpha->nitems, 3);
  EXPECT_EQ(g_alpha->maxitems, 3);
  Text a("a");
  insert_sorted_alpha_prodlist(g_alpha, a);
  EXPECT_EQ(g_alpha->nitems, 4);
  EXPECT_EQ(g_alpha->maxitems, 13);
  EXPECT_EQ(g_alpha->item.size(), 13u);
  EXPECT_EQ(g_alpha->item[0].view().data(), a.view().data());  // the text itself
  insert_sorted_alpha_prodlist(g_alpha, "z");
  insert_sorted_alpha_prodlist(g_alpha, "M");
  insert_sorted_alpha_prodlist(g_alpha, Text());  // absent: nothing
  insert_sorted_alpha_prodlist(nullptr, "q");
  EXPECT_EQ(shown([] { display_alpha_prodlist(g_alpha); }),
            "6 Items in list:\nItem   1: M\nItem   2: a\nItem   3: c\nItem   4: m\nItem   5: x\n"
            "Item   6: z\n");
  clear_alpha_prodlist(g_alpha);
  EXPECT_EQ(g_alpha->nitems, 0);
  EXPECT_FALSE(g_alpha->item[0]);
  EXPECT_EQ(g_alpha->maxitems, 13);
  resize_alpha_prodlist(g_alpha, 2);
  EXPECT_EQ(g_alpha->item.size(), 2u);
  free_alpha_prodlist(g_alpha);

  ProdAlphaList* empty = create_alpha_prodlist(0);
  insert_sorted_alpha_prodlist(empty, "first");
  EXPECT_EQ(empty->maxitems, 10);
  EXPECT_EQ(empty->item[0], "first");
  free_alpha_prodlist(empty);
}

ProdList* g_pairs;

TEST(ProdKinds, TextAndDescriptionPairs) {
  g_pairs = create_prodlist(2);
  g_pairs->item[0] = "eq";
  g_pairs->desc[0] = "Elders Quorum";
  g_pairs->item[1] = "rs";
  g_pairs->nitems = 2;
  EXPECT_EQ(shown([] { display_prodlist(g_pairs); }),
            "2 Items in list:\nItem   1: eq\tElders Quorum\nItem   2: rs\t\n");
  clear_prodlist(g_pairs);
  EXPECT_FALSE(g_pairs->item[0]);
  EXPECT_FALSE(g_pairs->desc[0]);
  EXPECT_EQ(g_pairs->maxitems, 2);
  free_prodlist(g_pairs);
  EXPECT_EQ(shown([] { display_prodlist(nullptr); }), "display_list: Empty list\n");
}

int g_released = 0;
void count_release(void*) { ++g_released; }
ProdAPtrList* g_aptr;

TEST(ProdKinds, KeyedPointersStaySortedAndUpdateInPlace) {
  std::vector<int> values(100);
  std::vector<std::string> keys(100);
  g_aptr = create_aptr_prodlist(0);
  for (int i = 0; i < 100; ++i) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "k%03d", (i + 1) * 5);
    keys[i] = buf;
    values[i] = i;
  }
  for (int i = 0; i < 100; ++i) {
    int j = (i * 37) % 100;
    EXPECT_EQ(bupdate_aptr_prodlist(g_aptr, keys[j], &values[j]), nullptr);
  }
  ASSERT_EQ(g_aptr->nitems, 100);
  EXPECT_EQ(g_aptr->maxitems, 100);  // grown by 10 at a time
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(g_aptr->key[i], keys[i]);
    EXPECT_EQ(g_aptr->item[i], &values[i]);
    EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, keys[i]), i);
  }
  EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, "k000"), -1);
  EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, "k251"), -1);
  EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, "z"), -1);
  EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, Text()), -1);
  EXPECT_EQ(bsearch_aptr_prodlist(nullptr, "k005"), -1);

  // A present key: the pointer is replaced, the slot keeps its key.
  int other = 0;
  Text again("k250");
  EXPECT_EQ(bupdate_aptr_prodlist(g_aptr, again, &other), &values[49]);
  EXPECT_EQ(g_aptr->nitems, 100);
  EXPECT_EQ(g_aptr->item[49], &other);
  EXPECT_NE(g_aptr->key[49].view().data(), again.view().data());

  // Smaller than all goes first, greater than all last, null pointers too.
  EXPECT_EQ(bupdate_aptr_prodlist(g_aptr, "a", nullptr), nullptr);
  EXPECT_EQ(g_aptr->key[0], "a");
  EXPECT_EQ(g_aptr->item[0], nullptr);
  EXPECT_EQ(bupdate_aptr_prodlist(g_aptr, "zz", &other), nullptr);
  EXPECT_EQ(g_aptr->key[101], "zz");
  EXPECT_EQ(g_aptr->maxitems, 110);
  EXPECT_EQ(bsearch_aptr_prodlist(g_aptr, "k250"), 50);
  EXPECT_EQ(bupdate_aptr_prodlist(g_aptr, Text(), &other), nullptr);
  EXPECT_EQ(bupdate_aptr_prodlist(nullptr, "x", &other), nullptr);
  EXPECT_EQ(g_aptr->nitems, 102);

  // A full list whose step gives no room is left alone.
  ProdAPtrList* stuck = create_aptr_prodlist(1);
  stuck->delta = 0;
  EXPECT_EQ(bupdate_aptr_prodlist(stuck, "b", &other), nullptr);
  EXPECT_EQ(bupdate_aptr_prodlist(stuck, "a", &other), nullptr);
  EXPECT_EQ(stuck->nitems, 1);
  EXPECT_EQ(stuck->key[0], "b");
  free_aptr_prodlist(stuck);

  g_released = 0;
  clear_aptr_prodlist(g_aptr, count_release);
  EXPECT_EQ(g_released, 101);  // every non-null pointer
  EXPECT_EQ(g_aptr->nitems, 0);
  EXPECT_FALSE(g_aptr->key[0]);
  free_aptr_prodlist(g_aptr);
}

ProdAPtrList* g_shown;

TEST(ProdKinds, KeyedPointerDisplay) {
  static int x;
  g_shown = create_aptr_prodlist(2);
  bupdate_aptr_prodlist(g_shown, "two", &x);
  bupdate_aptr_prodlist(g_shown, "one", nullptr);
  EXPECT_EQ(shown([] { display_aptr_prodlist(g_shown); }),
            "2 Items in list:\nItem   1: (one) 0\nItem   2: (two) " + hex(&x) + "\n");
  free_aptr_prodlist(g_shown);
}

}  // namespace
