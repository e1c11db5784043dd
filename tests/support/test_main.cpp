#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/fpenv.h"

int main(int argc, char** argv) {
  // Headless by default, on a desktop as on a build machine.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // Tests run in the game's floating-point mode, as the game's threads do.
  plat::SetGameFloatMode();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
