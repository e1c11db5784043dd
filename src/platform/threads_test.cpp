#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

namespace plat {
namespace {

// "Must happen" waits are generous so that a loaded CI machine cannot fail
// them; "must not happen yet" checks use short ones.
constexpr uint32_t kLong = 10000;
constexpr uint32_t kShort = 30;

// Polls until the predicate holds or kLong ms pass.
template <typename Pred>
bool Eventually(Pred pred) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLong);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST(EventTest, WaitAnyOverStopAndGoWithBothSetReturnsStop) {
  Event stop(false, false);
  Event go(false, false);
  stop.Set();
  go.Set();
  EXPECT_EQ(WaitAny({&stop, &go}, 0), 0);
  // Only the winner was consumed.
  EXPECT_FALSE(stop.IsSet());
  EXPECT_TRUE(go.IsSet());
  EXPECT_EQ(WaitAny({&stop, &go}, 0), 1);
  EXPECT_FALSE(go.IsSet());
  EXPECT_EQ(WaitAny({&stop, &go}, kShort), kWaitTimeout);
}

TEST(EventTest, WaitAnyKeepsListOrderWithAManualStop) {
  Event stop(true, true);
  Event go(false, true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(WaitAny({&stop, &go}, 0), 0);
  EXPECT_TRUE(go.IsSet());
  // The order of the list decides, not the order of the events' creation.
  EXPECT_EQ(WaitAny({&go, &stop}, 0), 0);
  EXPECT_FALSE(go.IsSet());
  EXPECT_EQ(WaitAny({&go, &stop}, 0), 1);
}

TEST(EventTest, WaitAnyOverAnArrayWakesWhenAnotherThreadSets) {
  Event a(false, false), b(false, false), c(false, false);
  Event* list[] = {&a, &b, &c};
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    c.Set();
  });
  EXPECT_EQ(WaitAny(list, 3, kLong), 2);
  setter.join();
  EXPECT_FALSE(c.IsSet());
  EXPECT_EQ(WaitAny(list, 0, kShort), kWaitTimeout);
}

TEST(EventTest, AManualResetEventStaysSetUntilReset) {
  Event e(true, false);
  EXPECT_FALSE(e.Wait(0));
  e.Set();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(e.Wait(0));
  EXPECT_TRUE(e.Wait(kInfinite));
  EXPECT_TRUE(e.IsSet());
  e.Reset();
  EXPECT_FALSE(e.IsSet());
  EXPECT_FALSE(e.Wait(kShort));
}

TEST(EventTest, AManualResetEventReleasesEveryWaiter) {
  Event e(true, false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (e.Wait(kLong)) released.fetch_add(1);
    });
  }
  e.Set();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), 3);
  EXPECT_TRUE(e.IsSet());
}

TEST(EventTest, AnAutoResetEventWakesExactlyOneWaiter) {
  Event e(false, false);
  Event quit(true, false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.emplace_back([&] {
      if (WaitAny({&e, &quit}, kInfinite) == 0) released.fetch_add(1);
    });
  }
  for (int round = 1; round <= 3; ++round) {
    e.Set();
    ASSERT_TRUE(Eventually([&] { return released.load() >= round; }));
    // No second waiter gets through on the same signal, and the signal is gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(kShort));
    EXPECT_EQ(released.load(), round);
    EXPECT_FALSE(e.IsSet());
  }
  quit.Set();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), 3);
}

TEST(EventTest, AnAutoResetEventSetWithNoWaiterWaitsForOne) {
  Event e(false, true);
  EXPECT_TRUE(e.IsSet());
  EXPECT_TRUE(e.IsSet());  // looking does not consume
  EXPECT_TRUE(e.Wait(0));
  EXPECT_FALSE(e.Wait(0));
  EXPECT_FALSE(e.manualReset());
}

TEST(EventTest, ATimedWaitGivesUpAfterItsTime) {
  Event e(false, false);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(e.Wait(kShort));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kShort));
}

TEST(ThreadTest, ReportsStillActiveUntilTheBodyEndsThenItsExitCode) {
  Event release(true, false);
  Thread t;
  ASSERT_TRUE(t.Start([&] {
    release.Wait(kInfinite);
    return 42u;
  }));
  EXPECT_TRUE(t.Running());
  EXPECT_EQ(t.ExitCode(), Thread::kStillActive);
  EXPECT_FALSE(t.Wait(0));
  EXPECT_FALSE(t.Wait(kShort));
  release.Set();
  EXPECT_TRUE(t.Wait(kLong));
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(t.ExitCode(), 42u);
  EXPECT_TRUE(t.Wait(0));  // waiting again on an ended thread is immediate
}

TEST(ThreadTest, AHandleWithoutAThreadCountsAsEnded) {
  Thread t;
  EXPECT_TRUE(t.Wait(0));
  EXPECT_FALSE(t.Running());
  EXPECT_EQ(t.ExitCode(), 0u);
  EXPECT_FALSE(t.Start(Thread::Body()));
  t.Close();  // harmless
}

TEST(ThreadTest, DroppingTheHandleOfARunningThreadLeavesItRunning) {
  auto go = std::make_shared<Event>(true, false);
  auto finished = std::make_shared<Event>(true, false);
  {
    Thread t;
    ASSERT_TRUE(t.Start([go, finished] {
      go->Wait(kInfinite);
      finished->Set();
      return 0u;
    }));
  }
  EXPECT_FALSE(finished->Wait(kShort));
  go->Set();
  EXPECT_TRUE(finished->Wait(kLong));
}

TEST(ThreadTest, CloseLeavesTheThreadRunningAndTheHandleEmpty) {
  auto go = std::make_shared<Event>(true, false);
  auto finished = std::make_shared<Event>(true, false);
  Thread t;
  ASSERT_TRUE(t.Start([go, finished] {
    go->Wait(kInfinite);
    finished->Set();
    return 7u;
  }));
  t.Close();
  EXPECT_FALSE(t.Running());
  EXPECT_TRUE(t.Wait(0));
  go->Set();
  EXPECT_TRUE(finished->Wait(kLong));
}

TEST(ThreadTest, StartIsRefusedWhileRunningAndAllowedAfterTheEnd) {
  Event release(true, false);
  Thread t;
  ASSERT_TRUE(t.Start([&] {
    release.Wait(kInfinite);
    return 1u;
  }));
  EXPECT_FALSE(t.Start([] { return 2u; }));
  release.Set();
  ASSERT_TRUE(t.Wait(kLong));
  EXPECT_EQ(t.ExitCode(), 1u);
  ASSERT_TRUE(t.Start([] { return 3u; }));
  ASSERT_TRUE(t.Wait(kLong));
  EXPECT_EQ(t.ExitCode(), 3u);
}

TEST(ThreadTest, TheBodysCapturesAreGoneWhenTheWaitReturns) {
  auto resource = std::make_shared<int>(5);
  std::weak_ptr<int> watch = resource;
  Thread t;
  ASSERT_TRUE(t.Start([r = std::move(resource)] { return static_cast<uint32_t>(*r); }));
  ASSERT_TRUE(t.Wait(kLong));
  EXPECT_EQ(t.ExitCode(), 5u);
  EXPECT_TRUE(watch.expired());
}

TEST(ThreadTest, KeepsThePriorityItWasGiven) {
  Thread t;
  EXPECT_EQ(t.Priority(), Thread::kPriorityNormal);
  t.SetPriority(Thread::kPriorityTimeCritical);
  EXPECT_EQ(t.Priority(), Thread::kPriorityTimeCritical);
}

TEST(CriticalSectionTest, IsReEnterableByItsOwnerOnly) {
  CriticalSection cs;
  cs.Enter();
  ASSERT_TRUE(cs.TryEnter());
  bool otherGotIn = true;
  std::thread([&] {
    otherGotIn = cs.TryEnter();
    if (otherGotIn) cs.Leave();
  }).join();
  EXPECT_FALSE(otherGotIn);
  cs.Leave();
  cs.Leave();
  std::thread([&] {
    otherGotIn = cs.TryEnter();
    if (otherGotIn) cs.Leave();
  }).join();
  EXPECT_TRUE(otherGotIn);
}

TEST(InterlockedTest, ReturnResultingOrPreviousValuesAsWindowsDoes) {
  int32_t v = 10;
  EXPECT_EQ(InterlockedIncrement(&v), 11);
  EXPECT_EQ(InterlockedDecrement(&v), 10);
  EXPECT_EQ(InterlockedExchange(&v, 99), 10);
  EXPECT_EQ(v, 99);
  EXPECT_EQ(InterlockedExchangeAdd(&v, -9), 99);
  EXPECT_EQ(v, 90);
  EXPECT_EQ(InterlockedCompareExchange(&v, 5, 89), 90);  // no match: unchanged
  EXPECT_EQ(v, 90);
  EXPECT_EQ(InterlockedCompareExchange(&v, 5, 90), 90);  // match: replaced
  EXPECT_EQ(v, 5);
}

TEST(InterlockedTest, WrapsAroundAtTheEndsOfTheRange) {
  int32_t v = INT32_MAX;
  EXPECT_EQ(InterlockedIncrement(&v), INT32_MIN);
  EXPECT_EQ(InterlockedDecrement(&v), INT32_MAX);
  v = INT32_MIN;
  EXPECT_EQ(InterlockedDecrement(&v), INT32_MAX);
}

TEST(InterlockedTest, LosesNoUpdateUnderContention) {
  int32_t counter = 0;
  int32_t sum = 0;
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w) {
    workers.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        InterlockedIncrement(&counter);
        InterlockedExchangeAdd(&sum, 3);
      }
    });
  }
  for (auto& t : workers) t.join();
  EXPECT_EQ(counter, 80000);
  EXPECT_EQ(sum, 240000);
}

}  // namespace
}  // namespace plat
