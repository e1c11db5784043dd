// veldrane-headless [--help] [--days N] [--save NAME] [--play-on] SCENARIO-OR-SAVE,
// or a network game on 127.0.0.1: [--host PORT [--regions H,J]] SCENARIO on
// one side and --join ADDRESS:PORT on the other; run from the game's data
// root (or from anywhere when the program sits in it).
#include <cstdio>

#include "headless_runner.h"
#include "app/log.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  headless::Options options;
  std::string error;
  if (!headless::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "veldrane-headless: %s\n%s", error.c_str(), headless::kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(headless::kUsage, stdout);
    return 0;
  }
  plat::SetDataRoot(plat::FindDataRoot(argv[0]));
  // No window shows what the game logs (refused peers, unusable table
  // values): whoever runs the runner reads it on standard error.
  SetLogMirror(stderr);
  return headless::Run(options, stdout, stderr);
}
