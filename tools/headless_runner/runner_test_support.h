#pragma once
// What the runner's tests share: a run in this process with its output
// caught, and the check that every figure of every day line is a number.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/log.h"
#include "headless_runner.h"

namespace runner_test {

struct RunResult {
  int code = 0;
  std::string out, err;
};

inline std::string ReadAll(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

inline RunResult RunRunner(std::vector<const char*> args) {
  args.insert(args.begin(), "veldrane-headless");
  headless::Options options;
  std::string error;
  EXPECT_TRUE(headless::ParseOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), options, error))
      << error;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  RunResult r;
  r.code = headless::Run(options, out, err);
  r.out = ReadAll(out);
  r.err = ReadAll(err);
  return r;
}

// The game's log goes to the file while the object lives.
struct LogMirrorTo {
  explicit LogMirrorTo(std::FILE* f) { SetLogMirror(f); }
  ~LogMirrorTo() { SetLogMirror(nullptr); }
  LogMirrorTo(const LogMirrorTo&) = delete;
  LogMirrorTo& operator=(const LogMirrorTo&) = delete;
};

// Every figure of every day line is a number.
inline bool DayLinesFinite(const std::string& out, std::string& bad) {
  size_t lines = 0;
  for (size_t at = 0; (at = out.find("day ", at)) != std::string::npos; at += 4) {
    if (at != 0 && out[at - 1] != '\n') continue;
    const std::string line = out.substr(at, out.find('\n', at) - at);
    ++lines;
    if (line.find("nan") != std::string::npos || line.find("inf") != std::string::npos) {
      bad = line;
      return false;
    }
  }
  if (lines == 0) bad = "no day line";
  return lines > 0;
}

}  // namespace runner_test
