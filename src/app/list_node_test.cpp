#include "app/list_node.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Item : ListNode {
  int value = 0;
};

// Checks every ring invariant over a set of nodes: a lone node has both links
// null, prev is the exact inverse of next, no self links, and following next
// from any linked node comes back to it.
void ExpectRingInvariants(const std::vector<Item*>& nodes) {
  for (Item* n : nodes) {
    if (!n->next()) {
      EXPECT_EQ(n->prev(), nullptr);
      continue;
    }
    ASSERT_NE(n->prev(), nullptr);
    EXPECT_NE(n->next(), n);
    EXPECT_NE(n->prev(), n);
    EXPECT_EQ(n->next()->prev(), n);
    EXPECT_EQ(n->prev()->next(), n);
    const ListNode* walk = n->next();
    size_t steps = 1;
    while (walk != n && steps <= nodes.size()) {
      walk = walk->next();
      ++steps;
    }
    EXPECT_EQ(walk, n) << "ring does not close";
    EXPECT_GE(steps, 2u);
  }
}

std::vector<const ListNode*> Walk(const ListNode& head) {
  std::vector<const ListNode*> out;
  for (const ListNode* n = head.next(); n && n != &head; n = n->next()) out.push_back(n);
  return out;
}

TEST(ListNode, AppendPrependAndUnlinkFollowTheRingRules) {
  Item head, a, b, c;
  head.Append(&a);
  EXPECT_EQ(head.next(), &a);
  EXPECT_EQ(head.prev(), &a);
  EXPECT_EQ(a.next(), &head);
  EXPECT_EQ(a.prev(), &head);

  head.Append(&b);    // tail
  head.Prepend(&c);   // front
  EXPECT_EQ(Walk(head), (std::vector<const ListNode*>{&c, &a, &b}));

  // Unlinking returns the follower; from a ring of two the survivor is left alone.
  EXPECT_EQ(a.Unlink(), &b);
  EXPECT_EQ(c.Unlink(), &b);
  EXPECT_EQ(b.Unlink(), &head);
  EXPECT_EQ(head.next(), nullptr);
  EXPECT_EQ(head.prev(), nullptr);
  EXPECT_EQ(b.Unlink(), nullptr);  // in no ring: nothing changes
}

TEST(ListNode, AppendingALinkedNodeMovesItBetweenRings) {
  Item h1, h2, x, y;
  h1.Append(&x);
  h1.Append(&y);
  h2.Append(&x);
  EXPECT_EQ(Walk(h1), (std::vector<const ListNode*>{&y}));
  EXPECT_EQ(Walk(h2), (std::vector<const ListNode*>{&x}));
}

TEST(ListNode, ReplaceWithTakesThePlaceOrOnlyUnlinks) {
  Item head, a, b, c, other;
  head.Append(&a);
  head.Append(&b);
  other.Append(&c);
  EXPECT_EQ(a.ReplaceWith(&c), &c);
  EXPECT_EQ(Walk(head), (std::vector<const ListNode*>{&c, &b}));
  EXPECT_EQ(a.next(), nullptr);
  EXPECT_EQ(other.next(), nullptr);  // c left its old ring of two

  Item lone, moved, home;
  home.Append(&moved);
  lone.ReplaceWith(&moved);  // lone is in no ring: moved only leaves home
  EXPECT_EQ(moved.next(), nullptr);
  EXPECT_EQ(home.next(), nullptr);
  EXPECT_EQ(lone.next(), nullptr);
}

TEST(ListNode, RandomOperationsKeepTheInvariants) {
  std::mt19937 rng(20261207);
  std::vector<Item> storage(12);
  std::vector<Item*> nodes;
  for (auto& s : storage) nodes.push_back(&s);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(nodes.size()) - 1);
  std::uniform_int_distribution<int> op(0, 3);
  for (int step = 0; step < 20000; ++step) {
    Item* a = nodes[pick(rng)];
    Item* b = nodes[pick(rng)];
    if (a == b) continue;
    switch (op(rng)) {
      case 0: a->Append(b); break;
      case 1: a->Prepend(b); break;
      case 2: a->ReplaceWith(b); break;
      case 3: a->Unlink(); break;
    }
    if (step % 97 == 0) ExpectRingInvariants(nodes);
    if (HasFailure()) return;
  }
  ExpectRingInvariants(nodes);
}

TEST(ListNode, DeleteChainFreesEveryNodeOfTheRing) {
  // Under the address sanitizer a node left behind shows as a leak, and a
  // node freed twice as an error.
  auto* head = NewZeroed<Item>();
  for (int i = 0; i < 5; ++i) head->Append(NewZeroed<Item>());
  head->DeleteChain();
  auto* lone = NewZeroed<Item>();
  lone->DeleteChain();
  ListNodeDeleteChain(nullptr);
}

TEST(AllocZeroed, GivesZeroFilledMemory) {
  auto* bytes = static_cast<uint8_t*>(AllocZeroed(4096));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(bytes[i], 0);
  FreeZeroed(bytes);
}

}  // namespace
