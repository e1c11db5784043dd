#include <gtest/gtest.h>

#include "platform/fpenv.h"

int main(int argc, char** argv) {
  // Tests run in the game's floating-point mode, as the game's threads do.
  plat::SetGameFloatMode();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
