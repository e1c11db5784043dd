// How fast the simulation runs: the headless runner, pinned to one core,
// plays the sample world and the benchmark world (240 x 120, 32 players,
// about 10,000 units) in a child process each; reported are game days a
// second, the child's wall, user and system time and its peak resident
// memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

extern char** environ;

namespace {

struct RunFigures {
  double seconds = 0;  // wall
  double userSeconds = 0;
  double systemSeconds = 0;
  long peakKb = -1;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Runs `runner` for `days` days of "Channel" on the first core this process
// may use; peakKb stays -1 when it could not run or did not end well.
RunFigures RunPinned(const char* runner, int days) {
  RunFigures figures;
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return figures;
  int core = 0;
  while (core < CPU_SETSIZE && !CPU_ISSET(core, &allowed)) ++core;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(core, &one);
  // The child inherits the mask; this process gets its own back afterwards.
  if (sched_setaffinity(0, sizeof one, &one) != 0) return figures;
  const std::string dayText = std::to_string(days);
  const char* argv[] = {runner, "--days", dayText.c_str(), "Channel", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  const bool ended = !failed && wait4(pid, &status, 0, &usage) == pid;
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  sched_setaffinity(0, sizeof allowed, &allowed);
  if (ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    figures.peakKb = usage.ru_maxrss;
    figures.userSeconds = Seconds(usage.ru_utime);
    figures.systemSeconds = Seconds(usage.ru_stime);
  }
  return figures;
}

void Report(benchmark::State& state, const char* world, const char* runner, int days) {
  RunFigures figures;
  for (auto _ : state) {
    figures = RunPinned(runner, days);
    if (figures.peakKb < 0) {
      state.SkipWithError("the headless runner did not run the world to the end");
      return;
    }
  }
  const double daysPerSecond = figures.seconds > 0 ? days / figures.seconds : 0;
  state.counters["days_per_s"] = daysPerSecond;
  state.counters["wall_s"] = figures.seconds;
  state.counters["user_s"] = figures.userSeconds;
  state.counters["sys_s"] = figures.systemSeconds;
  state.counters["peak_MB"] = static_cast<double>(figures.peakKb) / 1024.0;
  std::printf(
      "%s: %d game days in %.2f s wall (%.2f s user, %.2f s system), %.2f game days a second on one core; "
      "peak memory %.1f MB\n",
      world, days, figures.seconds, figures.userSeconds, figures.systemSeconds, daysPerSecond,
      static_cast<double>(figures.peakKb) / 1024.0);
}

void BM_SampleWorldSpeed(benchmark::State& state) { Report(state, "sample world", VD_HEADLESS_RUNNER, 60); }
BENCHMARK(BM_SampleWorldSpeed)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_BenchmarkWorldSpeed(benchmark::State& state) {
  Report(state, "benchmark world", VD_BENCH_WORLD_RUNNER, 10);
}
BENCHMARK(BM_BenchmarkWorldSpeed)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
