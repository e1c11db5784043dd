// The entry routine: answers --help, rebuilds the raw command line the
// game's option parser reads, moves into the data root, and runs the game.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/settings.h"
#include "shell/shell.h"
#include "platform/paths.h"

namespace {

std::string JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!line.empty()) line += ' ';
    if (arg.find_first_of(" \t") != std::string::npos)
      line += '"' + arg + '"';
    else
      line += arg;
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (CommandLineAsksHelp(argc, argv)) {
    std::fputs(kCommandLineUsage, stdout);
    return 0;
  }
  const std::string root = plat::FindDataRoot(argc > 0 ? argv[0] : nullptr);
  if (chdir(root.c_str()) != 0) std::fprintf(stderr, "veldrane: cannot enter the data folder %s\n", root.c_str());
  plat::SetDataRoot(root);
  const std::string commandLine = JoinCommandLine(argc, argv);
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
