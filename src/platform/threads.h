#pragma once
// Threads, events, critical sections and interlocked operations with the
// Windows semantics the game's threads are written against.
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <thread>

namespace plat {

// Wait times are milliseconds of real time (the injectable clock of clock.h
// does not apply to them); kInfinite waits for ever.
inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr int kWaitTimeout = -1;

// An event: manual-reset events stay set until Reset; auto-reset events are
// cleared by the one waiter they release.
class Event {
 public:
  Event(bool manualReset, bool initiallySet);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // True when signalled within the time; an auto-reset event is consumed.
  bool Wait(uint32_t timeoutMs);
  bool IsSet() const;  // does not consume
  bool manualReset() const { return manual_; }

 private:
  friend int WaitAny(std::initializer_list<Event*>, uint32_t);
  friend int WaitAny(Event* const*, int, uint32_t);
  bool TryConsumeLocked();
  const bool manual_;
  bool set_;
};

// Waits until one of the events is signalled; when several are, the first in
// list order wins (and only that one is consumed). Returns its index, or
// kWaitTimeout.
int WaitAny(std::initializer_list<Event*> events, uint32_t timeoutMs);
int WaitAny(Event* const* events, int count, uint32_t timeoutMs);

// A thread with an exit code that can be waited for with a time limit.
// Dropping the last handle of a running thread leaves it running (detached).
class Thread {
 public:
  using Body = std::function<uint32_t()>;
  Thread();
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs the body on a new thread in the game's floating-point mode. False
  // when this handle's thread is still running, the body is empty or the
  // system refuses a thread; a handle whose thread has ended may start again.
  bool Start(Body body);
  // True when the thread has ended (at once when it never started).
  bool Wait(uint32_t timeoutMs);
  bool Running() const;
  // The body's result once it has ended; kStillActive before; 0 when no
  // thread was started (or the handle was closed).
  uint32_t ExitCode() const;
  // Windows priorities are accepted and kept; scheduling is left to the system.
  void SetPriority(int priority);
  int Priority() const;
  // Releases the handle: waits for nothing; a running thread goes on.
  void Close();

  static constexpr uint32_t kStillActive = 259;
  static constexpr int kPriorityNormal = 0;
  static constexpr int kPriorityTimeCritical = 15;

 private:
  struct State;
  std::shared_ptr<State> state_;
  int priority_ = kPriorityNormal;
};

// A re-entrant critical section. It knows which thread holds it, and may run
// a call on a thread each time that thread lets its outermost hold go (the
// call runs with the section free).
class CriticalSection {
 public:
  CriticalSection() = default;
  explicit CriticalSection(void (*onRelease)()) : onRelease_(onRelease) {}
  void Enter() {
    m_.lock();
    Took();
  }
  bool TryEnter() {
    if (!m_.try_lock()) return false;
    Took();
    return true;
  }
  void Leave() {
    // Only the holder changes the depth, so it needs no guard of its own.
    const bool last = --depth_ == 0;
    if (last) owner_.store(std::thread::id(), std::memory_order_relaxed);
    m_.unlock();
    if (last && onRelease_) onRelease_();
  }
  // std::lock_guard and std::unique_lock compatibility.
  void lock() { Enter(); }
  bool try_lock() { return TryEnter(); }
  void unlock() { Leave(); }
  bool HeldByThisThread() const { return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id(); }

 private:
  void Took() {
    if (depth_++ == 0) owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
  std::recursive_mutex m_;
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;
  void (*const onRelease_)() = nullptr;
};

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~CriticalSectionLock() { cs_.Leave(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CriticalSection& cs_;
};

// Interlocked operations on plain 32-bit words (fields of fixed records).
// Each returns the resulting value, as the Windows ones do, except Exchange and
// CompareExchange, which return the previous value.
int32_t InterlockedIncrement(int32_t* target);
int32_t InterlockedDecrement(int32_t* target);
int32_t InterlockedExchange(int32_t* target, int32_t value);
int32_t InterlockedExchangeAdd(int32_t* target, int32_t value);  // returns the previous value
int32_t InterlockedCompareExchange(int32_t* target, int32_t exchange, int32_t comparand);

}  // namespace plat
