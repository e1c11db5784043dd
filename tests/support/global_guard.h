#pragma once
// Sets a global for one test and puts its old value back when the guard goes,
// so a test leaves the process as it found it in whatever order tests run.
// As a fixture member it keeps the value from before SetUp until after
// TearDown; guards are undone in the reverse order of their declaration.
#include <algorithm>
#include <atomic>
#include <cstddef>

namespace global_guard_detail {

// How a global of each kind is read and written back.
template <typename U>
struct Kept {
  using type = U;
  static U Read(const U& from) { return from; }
  static void Write(U& to, const U& value) { to = value; }
};
template <typename U>
struct Kept<std::atomic<U>> {
  using type = U;
  static U Read(const std::atomic<U>& from) { return from.load(); }
  static void Write(std::atomic<U>& to, const U& value) { to.store(value); }
};
template <typename U, size_t N>
struct Kept<U[N]> {
  struct type {
    U items[N];
  };
  static type Read(const U (&from)[N]) {
    type kept;
    std::copy(from, from + N, kept.items);
    return kept;
  }
  static void Write(U (&to)[N], const type& value) { std::copy(value.items, value.items + N, to); }
};
}  // namespace global_guard_detail

template <typename T>
class GlobalGuard {
  using Keep = global_guard_detail::Kept<T>;

 public:
  using Value = typename Keep::type;

  // Keeps the global's value to put back later.
  explicit GlobalGuard(T& global) : global_(global), saved_(Keep::Read(global)) {}
  // Keeps the global's value and sets it to `value` for the test.
  GlobalGuard(T& global, const Value& value) : GlobalGuard(global) { Keep::Write(global_, value); }
  ~GlobalGuard() { Keep::Write(global_, saved_); }

  GlobalGuard(const GlobalGuard&) = delete;
  GlobalGuard& operator=(const GlobalGuard&) = delete;

  // The value the global had when the guard was made.
  const Value& saved() const { return saved_; }

 private:
  T& global_;
  Value saved_;
};
