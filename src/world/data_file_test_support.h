#pragma once
// What the tests of the file readers and writers share: a clock that always
// reads the same moment, a temporary data root, and a few checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"
#include "support/fixed_clock.h"

namespace filetest {

// A fixed clock and a fresh data root for the test's lifetime.
class DataRootScope {
 public:
  DataRootScope() : oldRoot_(plat::DataRoot()) {
    plat::SetClockSource(&clock_);
    plat::SetDataRoot(dir_.path());
  }
  ~DataRootScope() {
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }
  DataRootScope(const DataRootScope&) = delete;
  DataRootScope& operator=(const DataRootScope&) = delete;

  const TempDir& dir() const { return dir_; }

 private:
  FixedClock clock_{{.year = 2012, .month = 7, .day = 21, .hour = 16, .minute = 5, .second = 44, .milliseconds = 321}, 1000};
  TempDir dir_;
  std::string oldRoot_;
};

inline std::vector<uint8_t> ReadBack(const std::string& gamePath) {
  auto bytes = plat::ReadFileBytes(gamePath);
  EXPECT_TRUE(bytes.has_value()) << gamePath;
  return bytes.value_or(std::vector<uint8_t>{});
}

// A small deterministic generator for test data and corruptions.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : seed_(seed) {}
  uint32_t Next() {
    seed_ = seed_ * 1664525u + 1013904223u;
    return seed_;
  }

 private:
  uint32_t seed_;
};

}  // namespace filetest
