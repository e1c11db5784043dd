// The memory a long game holds: the headless runner plays the sample world
// for a year, two years and ten years (on past the scenario's end) in a
// child process each, and the child's peak resident memory is reported. A
// game whose lists are kept to their days needs about as much after ten
// years as after one.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

extern char** environ;

namespace {

// The child's peak resident memory in KB, or -1 when it could not run or
// did not end well.
long RunnerPeakKb(int days) {
  const std::string dayText = std::to_string(days);
  const char* argv[] = {VD_HEADLESS_RUNNER, "--play-on", "--days", dayText.c_str(), "Channel", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The day lines and the summary are not wanted here.
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void BM_RunnerPeakMemory(benchmark::State& state) {
  const int days = static_cast<int>(state.range(0));
  long peakKb = 0;
  for (auto _ : state) {
    peakKb = RunnerPeakKb(days);
    if (peakKb < 0) {
      state.SkipWithError("the headless runner did not run the sample world to the end");
      return;
    }
  }
  state.counters["days"] = days;
  state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
  std::printf("%d game days of the sample world: peak memory %.1f MB\n", days, static_cast<double>(peakKb) / 1024.0);
}
BENCHMARK(BM_RunnerPeakMemory)->Arg(365)->Arg(730)->Arg(3650)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
