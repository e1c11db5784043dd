// The hex-stack commands' arguments land in the words their handler has
// always read: the hex at 24, a value or class at 28, a float or a
// direction at 32.
#include "sim/facility_command_args.h"

#include <gtest/gtest.h>

#include "sim/command_args_test_support.h"

namespace {

constexpr uint32_t kHex = 0x00030002;

TEST(FacilityCommandArgsTest, EachFamilyPacksIntoTheWordsItsHandlerReads) {
  const ArgsRow<HexArgs> hexes[] = {{"292 295 296 304", {.hex = kHex}, {kHex, 0, 0, 0}}};
  const ArgsRow<HexValueArgs> values[] = {{"291 293 294 297 299", {.hex = kHex, .value = 1}, {kHex, 1, 0, 0}}};
  // 1.0f is 0x3F800000, 0.5f is 0x3F000000.
  const ArgsRow<HexPlaceArgs> places[] = {
      {"288", {.hex = kHex, .classIndex = 20, .size = 1.0f}, {kHex, 20, 0x3F800000, 0}}};
  const ArgsRow<HexLinkArgs> links[] = {{"289", {.hex = kHex, .classIndex = 4128, .direction = 5}, {kHex, 4128, 5, 0}}};
  const ArgsRow<HexOutputArgs> outputs[] = {{"290", {.hex = kHex, .level = 0.5f}, {kHex, 0, 0x3F000000, 0}}};
  const ArgsRow<HexDestinationArgs> destinations[] = {
      {"300", {.hex = kHex, .destination = 0x00070006}, {kHex, 0x00070006, 0, 0}}};
  const ArgsRow<HexConvertArgs> converts[] = {{"301", {.hex = kHex, .classIndex = 21}, {kHex, 21, 0, 0}}};
  ExpectArgsRoundTrip(hexes);
  ExpectArgsRoundTrip(values);
  ExpectArgsRoundTrip(places);
  ExpectArgsRoundTrip(links);
  ExpectArgsRoundTrip(outputs);
  ExpectArgsRoundTrip(destinations);
  ExpectArgsRoundTrip(converts);
}

}  // namespace
