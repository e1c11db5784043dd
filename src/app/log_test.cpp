#include "app/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class Log : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetDataRoot(dir.path());
    fs::create_directories(dir.path() + "/Savegame");
    logPath = dir.path() + "/Savegame/LOG-PLAYER-Test.log";
  }
  void TearDown() override { CloseLogFile(platform); }

  TempDir dir;
  std::string logPath;
  PlatformState platform;
};

TEST_F(Log, DisabledWritesNothingAndMakesNoFile) {
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", false, true);
  LogWrite(platform, "hello %d\n", 1);
  EXPECT_EQ(platform.logFile, nullptr);
  EXPECT_FALSE(fs::exists(logPath));
}

TEST_F(Log, EnabledWithoutANameWritesNothing) {
  SetLogTarget(platform, "", true, true);
  LogWrite(platform, "hello\n");
  OpenLogFile(platform);
  EXPECT_EQ(platform.logFile, nullptr);
  EXPECT_EQ(platform.logNewFile, 1);  // no name: not even an opening attempt
  EXPECT_TRUE(fs::is_empty(dir.path() + "/Savegame"));
}

TEST_F(Log, NewFileReplacesTheOldLogThenLaterOpeningsAppend) {
  dir.Write("Savegame/LOG-PLAYER-Test.log", "old session\n");
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", true, true);
  LogWrite(platform, "Log On.  VD Version %d.%d.%d \n", 1, 2, 3);
  EXPECT_EQ(platform.logNewFile, 0);
  LogWrite(platform, "second\n");
  EXPECT_EQ(Slurp(logPath), "VDLOG: Log On.  VD Version 1.2.3 \nVDLOG: second\n");
  CloseLogFile(platform);
  EXPECT_EQ(platform.logFile, nullptr);
  LogWrite(platform, "after close\n");
  EXPECT_EQ(Slurp(logPath), "VDLOG: Log On.  VD Version 1.2.3 \nVDLOG: second\nVDLOG: after close\n");
}

TEST_F(Log, WithoutTheNewFileFlagTheFirstLineAppends) {
  dir.Write("Savegame/LOG-PLAYER-Test.log", "kept\n");
  SetLogTarget(platform, "savegame\\log-player-test.log", true, false);
  LogWrite(platform, "more\n");
  EXPECT_EQ(Slurp(logPath), "kept\nVDLOG: more\n");
}

TEST_F(Log, ANewTargetTakesTheNextLineWhileTheOldFileIsOpen) {
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", true, true);
  LogWrite(platform, "first\n");
  ASSERT_NE(platform.logFile, nullptr);
  SetLogTarget(platform, "Savegame\\sync.log", true, true);
  LogWrite(platform, "second\n");
  EXPECT_EQ(Slurp(logPath), "VDLOG: first\n");
  EXPECT_EQ(Slurp(dir.path() + "/Savegame/sync.log"), "VDLOG: second\n");
}

// A cut line still ends as a line, marked as cut, so the next one does not
// run on after it; a line that fits is written as it is.
TEST_F(Log, LongTextIsCutTo255CharactersEndingInALineEnd) {
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", true, true);
  const std::string text(300, 'x');
  LogWrite(platform, "%s\n", text.c_str());
  const std::string line = Slurp(logPath);
  EXPECT_EQ(line.size(), 255u);
  EXPECT_EQ(line, "VDLOG: " + std::string(244, 'x') + "...\n");
  CloseLogFile(platform);
  const std::string fits(248, 'y');
  LogWrite(platform, "%s", fits.c_str());
  EXPECT_EQ(Slurp(logPath), line + "VDLOG: " + fits);
}

TEST_F(Log, FloatsRoundToNearest) {
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", true, true);
  LogWrite(platform, "%.0f %.1f\n", 45.6, 0.25 + 0.01);
  EXPECT_EQ(Slurp(logPath), "VDLOG: 46 0.3\n");
}

TEST_F(Log, AFailedOpenIsRetriedInAppendMode) {
  SetLogTarget(platform, "Later\\LOG.log", true, true);
  LogWrite(platform, "lost\n");
  EXPECT_EQ(platform.logFile, nullptr);
  EXPECT_EQ(platform.logNewFile, 0);
  fs::create_directories(dir.path() + "/Later");
  dir.Write("Later/LOG.log", "before\n");
  LogWrite(platform, "found\n");
  EXPECT_EQ(Slurp(dir.path() + "/Later/LOG.log"), "before\nVDLOG: found\n");
}

TEST_F(Log, FourThreadsWriteEveryLineIntact) {
  SetLogTarget(platform, "Savegame\\LOG-PLAYER-Test.log", true, true);
  constexpr int kThreads = 4;
  constexpr int kLines = 1000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < kLines; ++i) LogWrite(platform, "thread %d line %04d of the turn loop\n", t, i);
    });
  }
  for (auto& thread : threads) thread.join();
  CloseLogFile(platform);

  std::istringstream in(Slurp(logPath));
  std::set<std::string> seen;
  std::string line;
  int count = 0;
  int lastOfThread[kThreads] = {-1, -1, -1, -1};
  while (std::getline(in, line)) {
    ++count;
    int t = -1, i = -1;
    char tail[64] = {};
    ASSERT_EQ(std::sscanf(line.c_str(), "VDLOG: thread %d line %d %63[^\n]", &t, &i, tail), 3) << line;
    ASSERT_EQ(std::string(tail), "of the turn loop") << line;
    ASSERT_TRUE(t >= 0 && t < kThreads) << line;
    // Each thread's lines arrive in the order it wrote them.
    EXPECT_EQ(i, lastOfThread[t] + 1) << line;
    lastOfThread[t] = i;
    seen.insert(line);
  }
  EXPECT_EQ(count, kThreads * kLines);
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
}

}  // namespace
