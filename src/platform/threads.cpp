#include "platform/threads.h"

#include <chrono>
#include <condition_variable>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/fpenv.h"

namespace plat {
namespace {

// Every event shares one lock and one condition: a wait-any over events of
// different owners then needs no lock ordering, and setting any event wakes
// every waiter to re-check its own list. The game has a handful of events, so
// the extra wake-ups cost nothing that matters.
std::mutex& EventMutex() {
  static std::mutex m;
  return m;
}

std::condition_variable& EventCondition() {
  static std::condition_variable cv;
  return cv;
}

using SteadyClock = std::chrono::steady_clock;

// Waits on the condition until `ready` holds or the time is up; the lock is
// held on entry and on return. Waits follow real time, not the injectable
// clock: a test's fake clock must not make a wait hang or return early.
template <typename Ready>
bool WaitLocked(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t timeoutMs,
                Ready ready) {
  if (ready()) return true;
  if (timeoutMs == 0) return false;
  if (timeoutMs == kInfinite) {
    cv.wait(lock, ready);
    return true;
  }
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  return cv.wait_until(lock, deadline, ready);
}

}  // namespace

Event::Event(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
  {
    std::lock_guard lock(EventMutex());
    set_ = true;
  }
  // All waiters wake; each re-checks under the lock, so an auto-reset event is
  // still taken by exactly one of them.
  EventCondition().notify_all();
}

void Event::Reset() {
  std::lock_guard lock(EventMutex());
  set_ = false;
}

bool Event::TryConsumeLocked() {
  if (!set_) return false;
  if (!manual_) set_ = false;
  return true;
}

bool Event::Wait(uint32_t timeoutMs) {
  std::unique_lock lock(EventMutex());
  return WaitLocked(lock, EventCondition(), timeoutMs, [this] { return TryConsumeLocked(); });
}

bool Event::IsSet() const {
  std::lock_guard lock(EventMutex());
  return set_;
}

int WaitAny(Event* const* events, int count, uint32_t timeoutMs) {
  if (events == nullptr || count <= 0) return kWaitTimeout;
  int found = kWaitTimeout;
  auto ready = [&] {
    for (int i = 0; i < count; ++i) {
      if (events[i] != nullptr && events[i]->TryConsumeLocked()) {
        found = i;
        return true;
      }
    }
    return false;
  };
  std::unique_lock lock(EventMutex());
  return WaitLocked(lock, EventCondition(), timeoutMs, ready) ? found : kWaitTimeout;
}

int WaitAny(std::initializer_list<Event*> events, uint32_t timeoutMs) {
  return WaitAny(events.begin(), static_cast<int>(events.size()), timeoutMs);
}

// Shared between the handle and the running thread, so that either may go
// first. The thread object is joined once the body has ended, or detached when
// the handle is released early.
struct Thread::State {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  uint32_t exitCode = kStillActive;
  std::thread thread;
};

Thread::Thread() = default;

Thread::~Thread() { Close(); }

bool Thread::Start(Body body) {
  if (!body) return false;
  if (state_) {
    if (Running()) return false;
    Close();
  }
  auto state = std::make_shared<State>();
  try {
    state->thread = std::thread([state, body = std::move(body)]() mutable {
      // A new thread starts with its creator's rounding mode, which need not
      // be the game's (a thread started from a formatting scope or from a
      // library's own thread); game threads must compute in the game's mode.
      SetGameFloatMode();
      const uint32_t code = body();
      // The body's captures go before the end is announced, so that whoever
      // waits for this thread may free what they referred to.
      body = nullptr;
      {
        std::lock_guard lock(state->mutex);
        state->exitCode = code;
        state->done = true;
      }
      state->ended.notify_all();
    });
  } catch (const std::system_error&) {
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::Wait(uint32_t timeoutMs) {
  if (!state_) return true;
  State& st = *state_;
  std::unique_lock lock(st.mutex);
  std::condition_variable& cv = st.ended;
  auto isDone = [&st] { return st.done; };
  bool ended;
  if (isDone()) {
    ended = true;
  } else if (timeoutMs == 0) {
    ended = false;
  } else if (timeoutMs == kInfinite) {
    cv.wait(lock, isDone);
    ended = true;
  } else {
    ended = cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), isDone);
  }
  // The body has returned and the thread takes no lock any more, so the join
  // only waits for its last few instructions.
  if (ended && st.thread.joinable()) st.thread.join();
  return ended;
}

bool Thread::Running() const {
  if (!state_) return false;
  std::lock_guard lock(state_->mutex);
  return !state_->done;
}

uint32_t Thread::ExitCode() const {
  if (!state_) return 0;
  std::lock_guard lock(state_->mutex);
  return state_->exitCode;
}

void Thread::SetPriority(int priority) { priority_ = priority; }

int Thread::Priority() const { return priority_; }

void Thread::Close() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->thread.joinable()) {
      if (state_->done) {
        state_->thread.join();
      } else {
        state_->thread.detach();
      }
    }
  }
  state_.reset();
}

// The targets are 32-bit fields of plain records; they must be 4-byte aligned,
// as std::atomic_ref requires.
int32_t InterlockedIncrement(int32_t* target) {
  const int32_t previous = std::atomic_ref<int32_t>(*target).fetch_add(1);
  return static_cast<int32_t>(static_cast<uint32_t>(previous) + 1u);
}

int32_t InterlockedDecrement(int32_t* target) {
  const int32_t previous = std::atomic_ref<int32_t>(*target).fetch_sub(1);
  return static_cast<int32_t>(static_cast<uint32_t>(previous) - 1u);
}

int32_t InterlockedExchange(int32_t* target, int32_t value) {
  return std::atomic_ref<int32_t>(*target).exchange(value);
}

int32_t InterlockedExchangeAdd(int32_t* target, int32_t value) {
  return std::atomic_ref<int32_t>(*target).fetch_add(value);
}

int32_t InterlockedCompareExchange(int32_t* target, int32_t exchange, int32_t comparand) {
  std::atomic_ref<int32_t>(*target).compare_exchange_strong(comparand, exchange);
  return comparand;  // the value found, whether or not it was replaced
}

}  // namespace plat
