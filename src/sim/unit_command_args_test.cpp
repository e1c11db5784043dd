// The unit-making, launch and project commands' arguments land in the words
// their handler has always read.
#include "sim/unit_command_args.h"

#include <gtest/gtest.h>

#include "sim/command_args_test_support.h"

namespace {

TEST(UnitCommandArgsTest, EachFamilyPacksIntoTheWordsItsHandlerReads) {
  // 1.5f is 0x3FC00000.
  const ArgsRow<NewUnitArgs> news[] = {{"272",
                                        {.position = 0x00040003, .classIndex = 12, .size = 1.5f, .flags = 0x11},
                                        {0x00040003, 12, 0x3FC00000, 0x11}}};
  const ArgsRow<UnitArgs> units[] = {{"273 274", {.unit = 0x01000007}, {0, 0x01000007, 0, 0}}};
  const ArgsRow<OrderedUnitArgs> ordered[] = {
      {"275", {.classIndex = 12, .size = 2, .flags = 5}, {0, 12, 2, 5}},
      {"275 refused", {.classIndex = 12, .size = -1, .flags = 0}, {0, 12, 0xFFFFFFFF, 0}}};
  const ArgsRow<LaunchBitArgs> launchBits[] = {{"276", {.bit = 6}, {0, 6, 0, 0}}};
  const ArgsRow<LaunchCountArgs> launchCounts[] = {{"277 up", {.index = 2, .delta = 5}, {0, 2, 5, 0}},
                                                   {"277 down", {.index = 2, .delta = -9}, {0, 2, 0xFFFFFFF7, 0}}};
  const ArgsRow<NewProjectArgs> projects[] = {{"384", {.kind = 2, .index = 4, .flags = 3}, {0, 2, 4, 3}}};
  const ArgsRow<ProjectArgs> closes[] = {{"385", {.project = 0x02000005}, {0, 0x02000005, 0, 0}}};
  const ArgsRow<ProjectBitsArgs> bits[] = {
      {"386", {.project = 0x02000005, .bits = 0x20, .set = 1}, {0, 0x02000005, 0x20, 1}}};
  ExpectArgsRoundTrip(news);
  ExpectArgsRoundTrip(units);
  ExpectArgsRoundTrip(ordered);
  ExpectArgsRoundTrip(launchBits);
  ExpectArgsRoundTrip(launchCounts);
  ExpectArgsRoundTrip(projects);
  ExpectArgsRoundTrip(closes);
  ExpectArgsRoundTrip(bits);
}

}  // namespace
