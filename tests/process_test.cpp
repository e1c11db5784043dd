// The game as a process: started headless, it runs until it is told to stop,
// and a SIGTERM shuts it down in order with exit code 0, leaving its
// settings written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace {

struct Outcome {
  bool exited = false;
  int code = -1;
  int signal = 0;
};

// Starts the game with its configuration folder in a temporary place, lets it
// run, sends SIGTERM, and waits for it.
Outcome RunAndTerminate(const std::string& configHome, const char* option) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LP_NUM_THREADS", "0", 1);
    if (option)
      execl(VD_GAME_EXE, VD_GAME_EXE, option, static_cast<char*>(nullptr));
    else
      execl(VD_GAME_EXE, VD_GAME_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  Outcome out;
  if (pid < 0) return out;
  // The game has started once it has read its settings and made its window;
  // give it time for that even on a slow, sanitised build.
  std::this_thread::sleep_for(std::chrono::seconds(4));
  kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 300; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      out.exited = WIFEXITED(status);
      out.code = out.exited ? WEXITSTATUS(status) : -1;
      out.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
      return out;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return out;
}

TEST(GameProcess, SigtermEndsTheFrontEndAndTheEditorWithCodeZero) {
  for (const char* option : {static_cast<const char*>(nullptr), "-mapedit"}) {
    TempDir config;
    Outcome out = RunAndTerminate(config.path(), option);
    EXPECT_TRUE(out.exited) << (option ? option : "front end") << " ended by signal " << out.signal;
    EXPECT_EQ(out.code, 0) << (option ? option : "front end");
    EXPECT_TRUE(std::filesystem::exists(config.path() + "/veldrane/settings.ini"))
        << "settings are written back at exit";
  }
}

}  // namespace
