#pragma once
// Threads, events, critical sections and interlocked operations with the
// Windows semantics the game's threads are written against.
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>

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

// A re-entrant critical section.
class CriticalSection {
 public:
  void Enter() { m_.lock(); }
  bool TryEnter() { return m_.try_lock(); }
  void Leave() { m_.unlock(); }
  // std::lock_guard and std::unique_lock compatibility.
  void lock() { m_.lock(); }
  bool try_lock() { return m_.try_lock(); }
  void unlock() { m_.unlock(); }

 private:
  std::recursive_mutex m_;
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
