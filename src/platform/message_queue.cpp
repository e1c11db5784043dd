// The main thread's message queue: posted messages and input in arrival order,
// the quit flag, and the window timers, which make a WM_TIMER only when nothing
// else waits.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace plat {
namespace {

using detail::QueuedMessage;

// How often a wait wakes to read the window system's input: the most delay a
// key or click can see while the main thread waits for messages.
inline constexpr uint32_t kInputPollMs = 10;

inline constexpr uint32_t kNoWaitLimit = 0xFFFFFFFFu;

inline constexpr uint32_t kMinTimerMs = 10;
inline constexpr uint32_t kMaxTimerMs = 0x7FFFFFFF;

struct Timer {
  Window* window = nullptr;
  uintptr_t id = 0;
  uint32_t elapse = 0;
  uint32_t nextDue = 0;
  bool pending = false;     // a WM_TIMER waits to be handed out
  uint32_t pendingSince = 0;
};

struct Queue {
  std::mutex mutex;
  std::condition_variable changed;
  uint64_t changes = 0;  // counts every change a waiter may care about
  std::deque<QueuedMessage> messages;
  bool quit = false;
  int exitCode = 0;
  std::vector<Timer> timers;
  // The last key-down taken from the queue with the text it typed, for the
  // translation that follows it.
  bool haveKeyDown = false;
  Message keyDown;
  std::string keyDownText;
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

bool IsDue(uint32_t now, uint32_t due) { return static_cast<int32_t>(now - due) >= 0; }

void NotifyLocked(Queue& q) {
  ++q.changes;
  q.changed.notify_all();
}

void UpdateTimersLocked(Queue& q, uint32_t now) {
  for (Timer& t : q.timers) {
    if (!IsDue(now, t.nextDue)) continue;
    // However many periods went by, one WM_TIMER waits for them all.
    if (!t.pending) {
      t.pending = true;
      t.pendingSince = now;
    }
    t.nextDue = now + t.elapse;
  }
}

// Posted messages and input first, then the quit message, then timers.
bool TakeNextLocked(Queue& q, Message* out, bool remove, uint32_t now) {
  UpdateTimersLocked(q, now);
  if (!q.messages.empty()) {
    *out = q.messages.front().msg;
    if (remove) {
      if (out->message == kWmKeyDown) {
        q.haveKeyDown = true;
        q.keyDown = *out;
        q.keyDownText = std::move(q.messages.front().text);
      }
      q.messages.pop_front();
    }
    return true;
  }
  if (q.quit) {
    *out = Message{nullptr, kWmQuit, static_cast<WParam>(static_cast<intptr_t>(q.exitCode)), 0, now};
    if (remove) q.quit = false;
    return true;
  }
  Timer* first = nullptr;
  for (Timer& t : q.timers) {
    if (t.pending && (first == nullptr || static_cast<int32_t>(t.pendingSince - first->pendingSince) < 0)) {
      first = &t;
    }
  }
  if (first == nullptr) return false;
  *out = Message{first->window, kWmTimer, first->id, 0, first->pendingSince};
  if (remove) first->pending = false;
  return true;
}

// Milliseconds until the next timer falls due, or kNoWaitLimit.
uint32_t UntilNextTimerLocked(const Queue& q, uint32_t now) {
  uint32_t wait = kNoWaitLimit;
  for (const Timer& t : q.timers) {
    if (t.pending) continue;
    const int32_t left = static_cast<int32_t>(t.nextDue - now);
    wait = std::min(wait, static_cast<uint32_t>(std::max(left, 1)));
  }
  return wait;
}

}  // namespace

bool PostWindowMessage(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  if (!IsWindowValid(window)) return false;
  Queue& q = TheQueue();
  QueuedMessage entry;
  entry.msg = Message{window, message, wParam, lParam, TickCount()};
  std::lock_guard lock(q.mutex);
  q.messages.push_back(std::move(entry));
  NotifyLocked(q);
  return true;
}

void PostQuitMessage(int exitCode) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  q.quit = true;
  q.exitCode = exitCode;
  NotifyLocked(q);
}

bool PeekWindowMessage(Message* out, bool remove) {
  detail::PumpWindowEvents();
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  return TakeNextLocked(q, out, remove, TickCount());
}

bool GetWindowMessage(Message* out) {
  Queue& q = TheQueue();
  for (;;) {
    detail::PumpWindowEvents();
    const bool pollInput = detail::PumpsWindowEventsHere();
    std::unique_lock lock(q.mutex);
    const uint32_t now = TickCount();
    if (TakeNextLocked(q, out, true, now)) return out->message != kWmQuit;
    uint32_t wait = UntilNextTimerLocked(q, now);
    if (pollInput) wait = std::min(wait, kInputPollMs);
    const uint64_t seen = q.changes;
    const auto somethingChanged = [&] { return q.changes != seen; };
    if (wait == kNoWaitLimit) {
      q.changed.wait(lock, somethingChanged);
    } else {
      // A timer's wait is measured in ticks, which a test's clock may hold
      // still; the loop then looks again after that many real milliseconds.
      q.changed.wait_for(lock, std::chrono::milliseconds(wait), somethingChanged);
    }
  }
}

bool TranslateWindowMessage(const Message& msg) {
  if (msg.message != kWmKeyDown) return false;
  std::string chars;
  switch (msg.wParam) {
    case kVkBack: chars.push_back('\b'); break;
    case kVkTab: chars.push_back('\t'); break;
    case kVkReturn: chars.push_back('\r'); break;
    case kVkEscape: chars.push_back('\x1b'); break;
    default: break;
  }
  if (msg.window != nullptr && !IsWindowValid(msg.window)) return false;
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  const Message& k = q.keyDown;
  if (q.haveKeyDown && k.window == msg.window && k.wParam == msg.wParam && k.lParam == msg.lParam &&
      k.time == msg.time) {
    chars += q.keyDownText;
    q.haveKeyDown = false;
    q.keyDownText.clear();
  }
  if (chars.empty()) return false;
  // The characters come next, ahead of later input, as Windows hands out posted
  // messages before input.
  const uint32_t now = TickCount();
  std::vector<QueuedMessage> made;
  for (char c : chars) {
    QueuedMessage entry;
    entry.msg = Message{msg.window, kWmChar, static_cast<unsigned char>(c), msg.lParam, now};
    made.push_back(std::move(entry));
  }
  q.messages.insert(q.messages.begin(), std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
  NotifyLocked(q);
  return true;
}

bool SetWindowTimer(Window* window, uintptr_t id, uint32_t elapseMs) {
  if (!IsWindowValid(window)) return false;
  elapseMs = std::clamp(elapseMs, kMinTimerMs, kMaxTimerMs);
  Queue& q = TheQueue();
  const uint32_t now = TickCount();
  std::lock_guard lock(q.mutex);
  auto it = std::find_if(q.timers.begin(), q.timers.end(),
                         [&](const Timer& t) { return t.window == window && t.id == id; });
  if (it == q.timers.end()) {
    q.timers.push_back(Timer{window, id, elapseMs, now + elapseMs, false, 0});
  } else {
    *it = Timer{window, id, elapseMs, now + elapseMs, false, 0};
  }
  NotifyLocked(q);
  return true;
}

bool KillWindowTimer(Window* window, uintptr_t id) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  // A waiting WM_TIMER of the timer goes with it.
  const auto removed =
      std::erase_if(q.timers, [&](const Timer& t) { return t.window == window && t.id == id; });
  return removed != 0;
}

void DiscardPendingInput() {
  detail::PumpWindowEvents();
  detail::ForgetClicks();
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  std::erase_if(q.messages, [](const detail::QueuedMessage& m) {
    const uint32_t id = m.msg.message;
    return (id >= kWmKeyDown && id <= kWmSysKeyUp) || (id > kWmMouseMove && id <= kWmXButtonDblClk);
  });
  q.haveKeyDown = false;
  q.keyDownText.clear();
  NotifyLocked(q);
}

void ResetMessageQueue() {
  detail::ResetWindowInput();
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  q.messages.clear();
  q.quit = false;
  q.exitCode = 0;
  q.timers.clear();
  q.haveKeyDown = false;
  q.keyDownText.clear();
  NotifyLocked(q);
}

namespace detail {

void AppendInputMessages(std::vector<QueuedMessage>&& batch) {
  if (batch.empty()) return;
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  for (QueuedMessage& entry : batch) q.messages.push_back(std::move(entry));
  NotifyLocked(q);
}

void ForgetWindowInQueue(Window* window) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  std::erase_if(q.messages, [&](const QueuedMessage& e) { return e.msg.window == window; });
  std::erase_if(q.timers, [&](const Timer& t) { return t.window == window; });
  if (q.haveKeyDown && q.keyDown.window == window) {
    q.haveKeyDown = false;
    q.keyDownText.clear();
  }
}

}  // namespace detail
}  // namespace plat
