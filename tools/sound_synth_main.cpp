// Writes the game's sound effects under a data root:
//   sound_synth DATA_ROOT
#include <cstdio>

#include "sound_synth.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_synth DATA_ROOT\n");
    return 2;
  }
  return sound_synth::WriteAllSounds(argv[1]) ? 0 : 1;
}
