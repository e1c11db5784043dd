// The unit-order commands' arguments land in the words their handler has
// always read: the unit at 28, a hex at 24, values at 32 and 36.
#include "sim/unit_order_args.h"

#include <gtest/gtest.h>

#include "sim/command_args_test_support.h"

namespace {

// Every field a different value, so a field packed into another's word
// shows.
constexpr uint32_t kUnit = 0x01000007, kHex = 0x00050004;

TEST(UnitOrderArgsTest, EachFamilyPacksIntoTheWordsItsHandlerReads) {
  const ArgsRow<OrderUnitArgs> units[] = {{"336 340 341 345 346", {.unit = kUnit}, {0, kUnit, 0, 0}}};
  const ArgsRow<OrderHexArgs> hexes[] = {{"339 342 347", {.unit = kUnit, .hex = kHex}, {kHex, kUnit, 0, 0}},
                                         {"no hex", {.unit = kUnit, .hex = 0}, {0, kUnit, 0, 0}}};
  const ArgsRow<OrderFlagsArgs> flags[] = {
      {"337", {.unit = kUnit, .flags = 0x00FF0004, .mask = 0x2}, {0, kUnit, 0x00FF0004, 0x2}}};
  const ArgsRow<OrderBitsArgs> bits[] = {
      {"338 348 set", {.unit = kUnit, .bits = 1u << 30, .set = 1}, {0, kUnit, 1u << 30, 1}},
      {"338 348 clear", {.unit = kUnit, .bits = 0x30, .set = 0}, {0, kUnit, 0x30, 0}}};
  const ArgsRow<OrderTargetArgs> targets[] = {
      {"343 344", {.unit = kUnit, .target = 0x01000009}, {0, kUnit, 0x01000009, 0}}};
  const ArgsRow<OrderValueArgs> values[] = {
      {"349 351 353 354 355", {.unit = kUnit, .value = 0xA5A5A5A5}, {0, kUnit, 0xA5A5A5A5, 0}},
      {"352 a fall", {.unit = kUnit, .value = static_cast<uint32_t>(-20)}, {0, kUnit, 0xFFFFFFEC, 0}}};
  const ArgsRow<OrderSettingArgs> settings[] = {{"350", {.unit = kUnit, .field = 6, .value = 2}, {0, kUnit, 6, 2}}};
  ExpectArgsRoundTrip(units);
  ExpectArgsRoundTrip(hexes);
  ExpectArgsRoundTrip(flags);
  ExpectArgsRoundTrip(bits);
  ExpectArgsRoundTrip(targets);
  ExpectArgsRoundTrip(values);
  ExpectArgsRoundTrip(settings);
}

}  // namespace
