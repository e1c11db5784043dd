#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/fpenv.h"

int main(int argc, char** argv) {
  // Headless by default, on a desktop as on a build machine.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // The software renderer draws on the calling thread: no driver threads
  // come and go under the leak checker, and tests on two cores do not
  // crowd each other.
  setenv("LP_NUM_THREADS", "0", 0);
  // Tests run in the game's floating-point mode, as the game's threads do.
  plat::SetGameFloatMode();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
