#include "world/list_holder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<void*> Objects(const ListHolder& holder) {
  std::vector<void*> out;
  ListNode* node = holder.first;
  if (!node) return out;
  do {
    out.push_back(static_cast<ListItem28*>(node)->object);
    node = node->next();
  } while (node && node != holder.first);
  return out;
}

TEST(ListHolder, ClearingAnEmptyHolderClearsTheCountAndForgetsItsList) {
  ListHolder holder;
  ListHolderInit(holder);
  EXPECT_EQ(holder.first, nullptr);
  EXPECT_EQ(holder.count, 0);
  EXPECT_EQ(holder.listControl, nullptr);
  holder.count = 5;
  holder.listControl = reinterpret_cast<ListBoxControl*>(&holder);
  ListHolderClear(holder);
  EXPECT_EQ(holder.first, nullptr);
  EXPECT_EQ(holder.count, 0);
  EXPECT_EQ(holder.listControl, nullptr);
}

// Sorted insertion: equal keys keep their arrival order either way.
TEST(ListHolder, SortedItemsKeepArrivalOrderOnEqualKeys) {
  int objects[4] = {};
  const float keys[4] = {5, 3, 5, 1};
  struct Case {
    bool descending;
    std::vector<int> order;  // indices into objects
  } cases[] = {{false, {3, 1, 0, 2}}, {true, {0, 2, 1, 3}}};
  for (const Case& c : cases) {
    ListHolder holder;
    ListHolderInit(holder);
    for (int i = 0; i < 4; ++i) ASSERT_NE(NewListNode(&objects[i], keys[i], c.descending, 7, holder), nullptr);
    std::vector<void*> want;
    for (int i : c.order) want.push_back(&objects[i]);
    EXPECT_EQ(Objects(holder), want) << c.descending;
    EXPECT_EQ(static_cast<ListItem28*>(holder.first)->tag, 7u);
    ListHolderRemove(holder, static_cast<ListItem28*>(holder.first));
    want.erase(want.begin());
    EXPECT_EQ(Objects(holder), want);
    EXPECT_EQ(holder.count, 3);
    ListHolderClear(holder);
  }
}

TEST(ListHolder, ItemsKeepTheirOrderAndDuplicatesAsAsked) {
  int a = 0, b = 0, c = 0;
  ListHolder holder;
  ListHolderInit(holder);
  ListItem28* first = NewListItem28(&a, false, 11, holder);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(holder.first, first);
  EXPECT_EQ(first->callerWord, 11);
  EXPECT_EQ(first->object, &a);
  EXPECT_NE(NewListItem28(&b, false, 12, holder), nullptr);
  EXPECT_NE(NewListItem28(&c, false, 13, holder), nullptr);
  EXPECT_EQ(Objects(holder), (std::vector<void*>{&a, &b, &c}));
  EXPECT_EQ(holder.count, 3);

  // Without duplicates an object already listed leaves the holder as it was.
  EXPECT_EQ(NewListItem28(&b, false, 99, holder), holder.first->next());
  EXPECT_EQ(Objects(holder), (std::vector<void*>{&a, &b, &c}));
  EXPECT_EQ(holder.count, 3);
  EXPECT_EQ(static_cast<ListItem28*>(holder.first->next())->callerWord, 12);

  // With duplicates it is appended again.
  ListItem28* again = NewListItem28(&b, true, 14, holder);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->callerWord, 14);
  EXPECT_EQ(Objects(holder), (std::vector<void*>{&a, &b, &c, &b}));
  EXPECT_EQ(holder.count, 4);

  ListHolderClear(holder);  // the sanitizer build sees any item left behind
  EXPECT_EQ(holder.first, nullptr);
  EXPECT_EQ(holder.count, 0);
  EXPECT_TRUE(Objects(holder).empty());

  // A holder of one item, cleared.
  NewListItem28(&a, false, 0, holder);
  EXPECT_EQ(Objects(holder), (std::vector<void*>{&a}));
  ListHolderClear(holder);
  EXPECT_EQ(holder.first, nullptr);
}

TEST(ListHolder, TheListSetStartsEmptyAndEmptiesItself) {
  EXPECT_EQ(sizeof(g_listSet.holders) / sizeof(ListHolder), 10u);
  for (const ListHolder& holder : g_listSet.holders) {
    EXPECT_EQ(holder.first, nullptr);
    EXPECT_EQ(holder.count, 0);
  }
  EXPECT_FALSE(g_listSet.projectHead.linked());

  auto set = std::make_unique<ListSet>();
  int x = 0;
  NewListItem28(&x, false, 0, set->holders[4]);
  NewListItem28(&set, false, 0, set->holders[4]);
  NewListItem28(&x, false, 0, set->holders[9]);
  set.reset();  // frees its items; the sanitizer build sees any left behind
}

}  // namespace
