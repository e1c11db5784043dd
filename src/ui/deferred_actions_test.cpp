// The poll ring, also changed by a Poll while the ring is walked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/deferred_actions.h"
#include "ui/screen.h"
#include "ui/ui_screen_hooks.h"

namespace {

std::vector<std::string> g_log;
PollRing g_ring;  // the screen set holds the game's

struct PollScreen : Screen {
  explicit PollScreen(std::string n) : Screen(nullptr), name(std::move(n)) {}
  void Poll(intptr_t argument) override {
    g_log.push_back(name + std::to_string(argument));
    if (onPoll) onPoll();
  }
  std::string name;
  std::function<void()> onPoll;
};

int Nodes() {
  int count = 0;
  for (const ListNode* n = g_ring.head.next(); n && n != &g_ring.head; n = n->next()) ++count;
  return count;
}

void Queue(std::initializer_list<Screen*> screens) {
  for (Screen* s : screens) QueueDeferredUiAction(s, 0);
}

TEST(DeferredActions, RunsRegistrationsInRingOrder) {
  // Set up, run twice (S's action only in the first): polls, nodes before and after the first.
  struct Row {
    const char* name;
    std::function<void(PollScreen& s, PollScreen& t, PollScreen& u)> setUp;
    std::vector<std::string> firstRun, secondRun;
    int nodesBefore, nodesAfterFirst;
  } rows[] = {
      {"registering twice: one poll, the first node freed",
       [](auto& s, auto&, auto&) { QueueDeferredUiAction(&s, 1), QueueDeferredUiAction(&s, 2); }, {"S2"}, {"S2"}, 2, 1},
      {"[S, U], S registers T: T in the same pass",
       [](auto& s, auto& t, auto& u) { Queue({&s, &u}), s.onPoll = [&t] { Queue({&t}); }; },
       {"S0", "U0", "T0"}, {"S0", "U0", "T0"}, 2, 3},
      {"[S], S registers T: T waits for the next run",
       [](auto& s, auto& t, auto&) { Queue({&s}), s.onPoll = [&t] { Queue({&t}); }; }, {"S0"}, {"S0", "T0"}, 1, 2},
      {"a Poll that clears the ring",
       [](auto& s, auto& t, auto& u) { Queue({&s, &u, &t}), s.onPoll = [] { ClearDeferredActions(g_ring); }; },
       {"S0"}, {}, 3, 0},
      {"a screen destroyed while registered",
       [](auto&, auto&, auto& u) { Queue({std::make_unique<PollScreen>("G").get(), &u}); }, {"U0"}, {"U0"}, 2, 1},
  };
  g_uiScreenHooks.pollRing = &g_ring;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PollScreen s("S"), t("T"), u("U");
    row.setUp(s, t, u);
    EXPECT_EQ(Nodes(), row.nodesBefore);
    g_log.clear();
    RunDeferredActions(g_ring);
    EXPECT_EQ(g_log, row.firstRun);
    EXPECT_EQ(Nodes(), row.nodesAfterFirst);
    s.onPoll = nullptr;
    g_log.clear();
    RunDeferredActions(g_ring);
    EXPECT_EQ(g_log, row.secondRun);
    ClearDeferredActions(g_ring);
    EXPECT_EQ(Nodes(), 0);
    for (Screen* x : {&s, &t, &u}) EXPECT_EQ(x->pollRegistration, nullptr);
  }
  g_uiScreenHooks.pollRing = nullptr;
}

}  // namespace
