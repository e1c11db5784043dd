// The poll ring: registering, cancelling, clearing and running, with screens
// whose Poll registers, cancels or clears while the ring is walked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/deferred_actions.h"
#include "ui/screen.h"
#include "ui/screen_set.h"

namespace {

std::vector<std::string> g_log;

class PollScreen : public Screen {
 public:
  explicit PollScreen(std::string name) : Screen(nullptr), name_(std::move(name)) {}
  void Poll(intptr_t argument) override {
    g_log.push_back(name_ + std::to_string(argument));
    if (onPoll) onPoll();
  }
  std::function<void()> onPoll;

 private:
  std::string name_;
};

int Nodes() {
  int count = 0;
  const ListNode& head = g_screens.pollRing.head;
  for (const ListNode* n = head.next(); n && n != &head; n = n->next()) ++count;
  return count;
}

struct Screens {
  PollScreen s{"S"}, t{"T"}, u{"U"};
};

TEST(DeferredActions, RunsRegistrationsInRingOrder) {
  // Each row sets up the ring (and what the Polls do), then runs it twice;
  // the polls of each run and the nodes left after it.
  struct Row {
    const char* name;
    std::function<void(Screens&)> setUp;
    std::vector<std::string> firstRun, secondRun;
    int nodesBefore, nodesAfterFirst;
  } rows[] = {
      {"a second registration replaces the first; the run frees the first",
       [](Screens& x) { QueueDeferredUiAction(&x.s, 1), QueueDeferredUiAction(&x.s, 2); }, {"S2"}, {"S2"}, 2, 1},
      {"a node appended during the run is reached when the one run was not the last",
       [](Screens& x) {
         QueueDeferredUiAction(&x.s, 0), QueueDeferredUiAction(&x.u, 0);
         x.s.onPoll = [&x] { QueueDeferredUiAction(&x.t, 0); };
       },
       {"S0", "U0", "T0"}, {"S0", "U0", "T0"}, 2, 3},
      {"appended behind the last node it waits for the next run",
       [](Screens& x) {
         QueueDeferredUiAction(&x.s, 0);
         x.s.onPoll = [&x] { QueueDeferredUiAction(&x.t, 0); };
       },
       {"S0"}, {"S0", "T0"}, 1, 2},
      {"a cancelled node is not polled and goes",
       [](Screens& x) { QueueDeferredUiAction(&x.s, 0), QueueDeferredUiAction(&x.u, 0), CancelDeferredUiAction(&x.s); },
       {"U0"}, {"U0"}, 2, 1},
      {"a Poll that cancels the next node stops it",
       [](Screens& x) {
         QueueDeferredUiAction(&x.s, 0), QueueDeferredUiAction(&x.u, 0);
         x.s.onPoll = [&x] { CancelDeferredUiAction(&x.u); };
       },
       {"S0"}, {"S0"}, 2, 1},
      {"a Poll that clears the ring leaves no node for the walk to trip on",
       [](Screens& x) {
         QueueDeferredUiAction(&x.s, 0), QueueDeferredUiAction(&x.u, 0), QueueDeferredUiAction(&x.t, 0);
         x.s.onPoll = [] { ClearDeferredActions(g_screens); };
       },
       {"S0"}, {}, 3, 1},
      {"cancelling a screen with no registration does nothing",
       [](Screens& x) { CancelDeferredUiAction(&x.s); }, {}, {}, 0, 0},
      {"a screen destroyed while registered is not polled",
       [](Screens& x) {
         auto gone = std::make_unique<PollScreen>("G");
         QueueDeferredUiAction(gone.get(), 0), QueueDeferredUiAction(&x.u, 0);
       },
       {"U0"}, {"U0"}, 2, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Screens x;
    row.setUp(x);
    EXPECT_EQ(Nodes(), row.nodesBefore);
    g_log.clear();
    RunDeferredActions(g_screens);
    EXPECT_EQ(g_log, row.firstRun);
    EXPECT_EQ(Nodes(), row.nodesAfterFirst);
    for (Screen* s : {&x.s, &x.t, &x.u}) static_cast<PollScreen*>(s)->onPoll = nullptr;
    g_log.clear();
    RunDeferredActions(g_screens);
    EXPECT_EQ(g_log, row.secondRun);
    ClearDeferredActions(g_screens);
    EXPECT_EQ(Nodes(), 0);
    for (Screen* s : {&x.s, &x.t, &x.u}) EXPECT_EQ(s->pollRegistration, nullptr);
    CancelDeferredUiAction(&x.s);  // after a clear: nothing
    EXPECT_EQ(Nodes(), 0);
  }
}

}  // namespace
