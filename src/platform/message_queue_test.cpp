#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/threads.h"
#include "platform/window.h"

namespace plat {
namespace {

// A tick that moves only when the test says so.
class FakeClock : public ClockSource {
 public:
  std::atomic<uint64_t> ms{1000};
  uint64_t MonotonicMs() override { return ms.load(); }
  void SleepMs(uint32_t n) override { std::this_thread::sleep_for(std::chrono::milliseconds(n)); }
  LocalTime Now() override { return {}; }
};

std::vector<Message>& Dispatched() {
  static std::vector<Message> seen;
  return seen;
}

LResult RecordingProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  Dispatched().push_back(Message{window, message, wParam, lParam, 0});
  return DefaultWindowProc(window, message, wParam, lParam);
}

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // headless unless told otherwise
    UnregisterAllWindowClasses();
    ResetMessageQueue();
    ASSERT_TRUE(RegisterWindowClass(WindowClass{"QueueTest", kCsDblClks, &RecordingProc, 0}));
    window = CreateAppWindow("QueueTest", "queue", 0, kWsPopup, 0, 0, 64, 48);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ResetMessageQueue();
    Dispatched().clear();
  }

  void TearDown() override {
    DestroyAppWindow(window);
    ResetMessageQueue();
    SetClockSource(nullptr);
    UnregisterAllWindowClasses();
  }

  void UseFakeClock() { SetClockSource(&clock); }

  bool Peek(Message* m, bool remove = true) { return PeekWindowMessage(m, remove); }

  Window* window = nullptr;
  FakeClock clock;
};

TEST_F(MessageQueueTest, PostsFromSeveralThreadsArriveInEachThreadsOrderNoneMerged) {
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  constexpr uint32_t kGaveUp = kWmApp + 0x77;
  Event cancelWatchdog(true, false);
  // Lost messages would leave the loop below waiting for ever; the watchdog
  // turns that into a failure.
  std::jthread watchdog([&] {
    if (!cancelWatchdog.Wait(60000)) PostWindowMessage(window, kGaveUp, 0, 0);
  });
  struct CancelOnExit {
    Event& e;
    ~CancelOnExit() { e.Set(); }
  } cancelOnExit{cancelWatchdog};

  std::atomic<int> failedPosts{0};
  std::vector<std::jthread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        if (!PostWindowMessage(window, kWmApp + 2, static_cast<WParam>(t), i)) ++failedPosts;
      }
    });
  }
  std::vector<LParam> next(kThreads, 0);
  for (int total = 0; total < kThreads * kEach; ++total) {
    Message m;
    ASSERT_TRUE(GetWindowMessage(&m));
    ASSERT_NE(m.message, kGaveUp) << "only " << total << " messages arrived";
    ASSERT_EQ(m.message, kWmApp + 2);
    EXPECT_EQ(m.window, window);
    ASSERT_LT(m.wParam, static_cast<WParam>(kThreads));
    EXPECT_EQ(m.lParam, next[m.wParam]) << "thread " << m.wParam;
    next[m.wParam] = m.lParam + 1;
  }
  for (auto& p : posters) p.join();
  EXPECT_EQ(failedPosts.load(), 0);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kEach);
  Message extra;
  EXPECT_FALSE(Peek(&extra));
}

TEST_F(MessageQueueTest, PeekWithoutRemovalLeavesTheMessage) {
  Message m;
  EXPECT_FALSE(Peek(&m, false));
  ASSERT_TRUE(PostWindowMessage(window, kWmApp, 1, 2));
  ASSERT_TRUE(PostWindowMessage(window, kWmApp + 1, 3, 4));
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmApp);
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmApp);
  ASSERT_TRUE(Peek(&m, true));
  EXPECT_EQ(m.message, kWmApp);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(m.lParam, 2);
  ASSERT_TRUE(Peek(&m, true));
  EXPECT_EQ(m.message, kWmApp + 1);
  EXPECT_FALSE(Peek(&m, true));
}

TEST_F(MessageQueueTest, QuitComesAfterThePostedMessages) {
  ASSERT_TRUE(PostWindowMessage(window, kWmApp, 1, 0));
  PostQuitMessage(3);
  ASSERT_TRUE(PostWindowMessage(window, kWmApp, 2, 0));
  Message m;
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmApp);
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.wParam, 2u);
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmQuit);
  EXPECT_FALSE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmQuit);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(m.window, nullptr);
  // Reported once.
  EXPECT_FALSE(Peek(&m));
}

TEST_F(MessageQueueTest, QuitFromAnotherThreadWakesAWaitingGet) {
  std::jthread poster([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostQuitMessage(-7);
  });
  Message m;
  EXPECT_FALSE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmQuit);
  EXPECT_EQ(static_cast<int>(static_cast<intptr_t>(m.wParam)), -7);
}

TEST_F(MessageQueueTest, PostsToInvalidWindowsFail) {
  EXPECT_FALSE(PostWindowMessage(nullptr, kWmApp, 0, 0));
  int local = 0;
  EXPECT_FALSE(PostWindowMessage(reinterpret_cast<Window*>(&local), kWmApp, 0, 0));
  Window* other = CreateAppWindow("QueueTest", "other", 0, kWsPopup, 0, 0, 8, 8);
  ASSERT_NE(other, nullptr);
  DestroyAppWindow(other);
  EXPECT_FALSE(IsWindowValid(other));
  EXPECT_FALSE(PostWindowMessage(other, kWmApp, 0, 0));
  Message m;
  EXPECT_FALSE(Peek(&m));
}

TEST_F(MessageQueueTest, TimerFiresOnTheClockAndIsNotQueuedTwice) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 7, 100));
  Message m;
  EXPECT_FALSE(Peek(&m));
  clock.ms = 1099;
  EXPECT_FALSE(Peek(&m));
  clock.ms = 1100;
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmTimer);
  EXPECT_EQ(m.window, window);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(m.time, 1100u);
  // Several periods go by while it waits: still one.
  clock.ms = 1450;
  ASSERT_TRUE(Peek(&m, true));
  EXPECT_EQ(m.message, kWmTimer);
  EXPECT_FALSE(Peek(&m, true));
  // The next one counts from when it was last found due.
  clock.ms = 1549;
  EXPECT_FALSE(Peek(&m));
  clock.ms = 1550;
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmTimer);
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(MessageQueueTest, TimersWaitBehindPostedMessages) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 1, 250));
  clock.ms = 1300;
  ASSERT_TRUE(PostWindowMessage(window, kWmApp + 2, 9, 0));
  Message m;
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmApp + 2);
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_EQ(m.message, kWmTimer);
  ASSERT_TRUE(PostWindowMessage(window, kWmApp + 1, 0, 0));
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmApp + 1);
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmTimer);
  EXPECT_FALSE(Peek(&m));
}

TEST_F(MessageQueueTest, EachTimerIdHasItsOwnMessage) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 1, 100));
  ASSERT_TRUE(SetWindowTimer(window, 2, 50));
  clock.ms = 1200;
  Message m;
  std::vector<WParam> ids;
  while (ids.size() < 10 && Peek(&m)) {
    EXPECT_EQ(m.message, kWmTimer);
    ids.push_back(m.wParam);
  }
  EXPECT_EQ(ids, (std::vector<WParam>{1, 2}));
}

TEST_F(MessageQueueTest, KillWindowTimerStopsItAndDropsTheWaitingMessage) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 3, 100));
  clock.ms = 1100;
  Message m;
  ASSERT_TRUE(Peek(&m, false));
  EXPECT_TRUE(KillWindowTimer(window, 3));
  EXPECT_FALSE(Peek(&m));
  clock.ms = 5000;
  EXPECT_FALSE(Peek(&m));
  EXPECT_FALSE(KillWindowTimer(window, 3));
}

TEST_F(MessageQueueTest, SettingATimerAgainRestartsIt) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 1, 100));
  clock.ms = 1080;
  ASSERT_TRUE(SetWindowTimer(window, 1, 100));
  clock.ms = 1100;
  Message m;
  EXPECT_FALSE(Peek(&m));
  clock.ms = 1180;
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmTimer);
}

TEST_F(MessageQueueTest, TimerTicksCrossTheTickCountWrap) {
  UseFakeClock();
  clock.ms = 0xFFFFFFF0ull;
  ASSERT_TRUE(SetWindowTimer(window, 1, 100));
  clock.ms = 0x100000000ull + 0x50;  // the 32-bit tick wrapped to 0x50: 96 ms later
  Message m;
  EXPECT_FALSE(Peek(&m));
  clock.ms = 0x100000000ull + 0x54;
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.message, kWmTimer);
}

TEST_F(MessageQueueTest, TimersDieWithTheirWindow) {
  UseFakeClock();
  Window* other = CreateAppWindow("QueueTest", "other", 0, kWsPopup, 0, 0, 8, 8);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(SetWindowTimer(other, 1, 100));
  DestroyAppWindow(other);
  clock.ms = 2000;
  Message m;
  EXPECT_FALSE(Peek(&m));
  EXPECT_FALSE(SetWindowTimer(other, 1, 100));
  EXPECT_FALSE(SetWindowTimer(nullptr, 1, 100));
}

TEST_F(MessageQueueTest, GetWaitsForATimerOnTheRealClock) {
  ASSERT_TRUE(SetWindowTimer(window, 5, 20));
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmTimer);
  EXPECT_EQ(m.wParam, 5u);
}

TEST_F(MessageQueueTest, GetWaitsForAPostFromAnotherThread) {
  std::jthread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    PostWindowMessage(window, kWmApp + 1, 42, -1);
  });
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmApp + 1);
  EXPECT_EQ(m.wParam, 42u);
  EXPECT_EQ(m.lParam, -1);
}

TEST_F(MessageQueueTest, DispatchHandsTimersAndPostsToTheProcedure) {
  UseFakeClock();
  ASSERT_TRUE(SetWindowTimer(window, 1, 250));
  ASSERT_TRUE(PostWindowMessage(window, kWmApp + 2, 0x1234, 0));
  clock.ms = 1250;
  Message m;
  for (int i = 0; i < 10 && Peek(&m); ++i) DispatchWindowMessage(m);
  ASSERT_EQ(Dispatched().size(), 2u);
  EXPECT_EQ(Dispatched()[0].message, kWmApp + 2);
  EXPECT_EQ(Dispatched()[0].wParam, 0x1234u);
  EXPECT_EQ(Dispatched()[1].message, kWmTimer);
  EXPECT_EQ(Dispatched()[1].wParam, 1u);
}

TEST_F(MessageQueueTest, ResetEmptiesTheQueueTheQuitFlagAndTheTimers) {
  UseFakeClock();
  ASSERT_TRUE(PostWindowMessage(window, kWmApp, 0, 0));
  PostQuitMessage(1);
  ASSERT_TRUE(SetWindowTimer(window, 1, 100));
  ResetMessageQueue();
  clock.ms = 9000;
  Message m;
  EXPECT_FALSE(Peek(&m));
  EXPECT_FALSE(KillWindowTimer(window, 1));
}

TEST_F(MessageQueueTest, MessagesForADestroyedWindowAreDropped) {
  Window* other = CreateAppWindow("QueueTest", "other", 0, kWsPopup, 0, 0, 8, 8);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(PostWindowMessage(other, kWmApp, 1, 0));
  ASSERT_TRUE(PostWindowMessage(window, kWmApp, 2, 0));
  Message stale{other, kWmApp, 3, 0, 0};
  DestroyAppWindow(other);
  Dispatched().clear();
  Message m;
  ASSERT_TRUE(Peek(&m));
  EXPECT_EQ(m.window, window);
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_FALSE(Peek(&m));
  EXPECT_EQ(DispatchWindowMessage(stale), 0);
  EXPECT_TRUE(Dispatched().empty());
}

}  // namespace
}  // namespace plat
