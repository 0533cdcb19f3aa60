#include "lists/prodlist.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, int>> g_log;  // (first, second) of each comparison

int cmp_int(const void* a, const void* b) {
  int x = *static_cast<const int*>(a);
  int y = *static_cast<const int*>(b);
  g_log.emplace_back(x, y);
  return x < y ? -1 : (x > y ? 1 : 0);
}

int value(const ProdPtrList* list, int i) { return *static_cast<int*>(list->item[i]); }

int g_released = 0;
void count_release(void*) { ++g_released; }

/// A list of 10, 20, ... n*10 built by ordered insertion in a scrambled order.
ProdPtrList* sorted_list(std::vector<int>& values, int n) {
  values.resize(n);
  for (int i = 0; i < n; ++i) values[i] = (i + 1) * 10;
  ProdPtrList* list = create_ptr_prodlist(0);
  for (int i = 0; i < n; ++i) bupdate_ptr_prodlist(list, &values[(i * 37) % n], cmp_int);
  return list;
}

TEST(ProdPtrList, GrowthSteps) {
  int v[27] = {};
  ProdPtrList* list = create_ptr_prodlist(0);
  EXPECT_EQ(list->maxitems, 0);
  EXPECT_EQ(list->delta, 10);
  EXPECT_TRUE(list->item.empty());
  add_ptr_prodlist(list, &v[0]);
  EXPECT_EQ(list->maxitems, 10);
  EXPECT_EQ(list->item.size(), 10u);
  free_ptr_prodlist(list);

  list = create_ptr_prodlist(26);
  EXPECT_EQ(list->delta, 26);
  for (int i = 0; i < 27; ++i) {
    add_ptr_prodlist(list, &v[i]);
    EXPECT_EQ(list->maxitems, i < 26 ? 26 : 52);
  }
  EXPECT_EQ(list->nitems, 27);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(list->item[i], &v[i]);

  list->nitems = list->maxitems = 2;
  list->delta = 0;  // appending corrects it to 10
  add_ptr_prodlist(list, &v[2]);
  EXPECT_EQ(list->delta, 10);
  EXPECT_EQ(list->maxitems, 12);
  EXPECT_EQ(resize_ptr_prodlist(list, -1), nullptr);
  EXPECT_EQ(list->item.size(), 12u);
  EXPECT_EQ(resize_ptr_prodlist(nullptr, 5), nullptr);
  free_ptr_prodlist(list);
}

TEST(ProdPtrList, SortedInsertAndSearchOnHundredElements) {
  std::vector<int> values;
  ProdPtrList* list = sorted_list(values, 100);
  ASSERT_EQ(list->nitems, 100);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(value(list, i), (i + 1) * 10);
    EXPECT_EQ(bsearch_ptr_prodlist(list, &values[i], cmp_int), i);
  }
  for (int key : {5, 555, 1005}) EXPECT_EQ(bsearch_ptr_prodlist(list, &key, cmp_int), -1);

  int small = 1, big = 2000, mid = 555, again = 300;
  EXPECT_EQ(bupdate_ptr_prodlist(list, &big, cmp_int), nullptr);
  EXPECT_EQ(list->item[100], &big);
  EXPECT_EQ(bupdate_ptr_prodlist(list, &small, cmp_int), nullptr);
  EXPECT_EQ(list->item[0], &small);
  EXPECT_EQ(bupdate_ptr_prodlist(list, &mid, cmp_int), nullptr);
  EXPECT_EQ(value(list, 55), 550);
  EXPECT_EQ(list->item[56], &mid);
  EXPECT_EQ(value(list, 57), 560);
  EXPECT_EQ(list->nitems, 103);

  EXPECT_EQ(bupdate_ptr_prodlist(list, &again, cmp_int), &values[29]);
  EXPECT_EQ(list->item[30], &again);
  EXPECT_EQ(list->nitems, 103);
  free_ptr_prodlist(list);
}

TEST(ProdPtrList, ComparisonOrderAndEmptySearch) {
  int key = 15;
  ProdPtrList* list = create_ptr_prodlist(0);
  g_log.clear();
  EXPECT_EQ(bsearch_ptr_prodlist(list, &key, cmp_int), -1);
  EXPECT_EQ(bsearch_ptr_prodlist(nullptr, &key, cmp_int), -1);
  EXPECT_TRUE(g_log.empty());
  free_ptr_prodlist(list);

  std::vector<int> values;
  list = sorted_list(values, 3);  // 10 20 30
  g_log.clear();
  bupdate_ptr_prodlist(list, &key, cmp_int);
  // Searching passes the new entry first, choosing its slot the element first.
  std::vector<std::pair<int, int>> expect = {{15, 10}, {15, 20}, {10, 15}, {20, 15}};
  EXPECT_EQ(g_log, expect);
  EXPECT_EQ(value(list, 1), 15);
  free_ptr_prodlist(list);
}

TEST(ProdPtrList, UpdateRefusesNullsAndAFullListThatCannotGrow) {
  int a = 10, key = 1;
  ProdPtrList* list = create_ptr_prodlist(1);
  EXPECT_EQ(bupdate_ptr_prodlist(list, nullptr, cmp_int), nullptr);
  EXPECT_EQ(bupdate_ptr_prodlist(list, &key, nullptr), nullptr);
  EXPECT_EQ(list->nitems, 0);
  bupdate_ptr_prodlist(list, &a, cmp_int);
  list->delta = 0;  // insertion grows by delta as it stands: no room
  EXPECT_EQ(bupdate_ptr_prodlist(list, &key, cmp_int), nullptr);
  EXPECT_EQ(list->nitems, 1);
  EXPECT_EQ(list->item[0], &a);
  free_ptr_prodlist(list);
}

TEST(ProdPtrList, ClearAndFreeReleaseOnlyWhenAsked) {
  int v[2] = {};
  ProdPtrList* list = create_ptr_prodlist(4);
  void* elems[] = {&v[0], nullptr, &v[1]};
  for (void* e : elems) add_ptr_prodlist(list, e);
  g_released = 0;
  clear_ptr_prodlist(list);
  EXPECT_EQ(g_released, 0);
  EXPECT_EQ(list->nitems, 0);
  EXPECT_EQ(list->maxitems, 4);
  for (void* e : elems) add_ptr_prodlist(list, e);
  free_ptr_prodlist(list, count_release);
  EXPECT_EQ(g_released, 2);  // the null slot is skipped
}

TEST(ProdPtrList, Display) {
  testing::internal::CaptureStdout();
  display_ptr_prodlist(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "display_list: Empty list\n");

  ProdPtrList* list = create_ptr_prodlist(0);
  add_ptr_prodlist(list, reinterpret_cast<void*>(uintptr_t{0xabc}));
  add_ptr_prodlist(list, reinterpret_cast<void*>(uintptr_t{0x7f00ee}));
  testing::internal::CaptureStdout();
  display_ptr_prodlist(list);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "2 Items in list:\nItem   1: abc\nItem   2: 7f00ee\n");
  free_ptr_prodlist(list);
}

}  // namespace
