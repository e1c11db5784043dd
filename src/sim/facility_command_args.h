#pragma once
// The arguments of the hex-stack commands (288 to 304, but 298) by name:
// each names its hex in word 24 and acts on that hex's facility or state,
// so the poster and the handler agree on the rest through these structs.
#include <bit>
#include <cstdint>

#include "sim/game_command.h"

// The hex alone: a facility's production run (292), the hex's sites given
// up (295) and taken up (296), and its name (304, the text in the payload).
struct HexArgs {
  uint32_t hex = 0;
  CommandArgWords Pack() const { return {.arg24 = hex}; }
  static HexArgs Unpack(const CommandArgWords& w) { return {.hex = w.arg24}; }
  bool operator==(const HexArgs&) const = default;
};

// One value for the facility: on or off for its stack's state (291, 293),
// its bit 30 (294 clears on non-zero, 297 sets) and its deploy bit (299).
struct HexValueArgs {
  uint32_t hex = 0;
  uint32_t value = 0;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = value}; }
  static HexValueArgs Unpack(const CommandArgWords& w) { return {.hex = w.arg24, .value = w.arg28}; }
  bool operator==(const HexValueArgs&) const = default;
};

// A unit of the class placed on the hex with the size it is ordered at (288).
struct HexPlaceArgs {
  uint32_t hex = 0;
  uint32_t classIndex = 0;
  float size = 0.0f;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = classIndex, .arg32 = std::bit_cast<uint32_t>(size)}; }
  static HexPlaceArgs Unpack(const CommandArgWords& w) {
    return {.hex = w.arg24, .classIndex = w.arg28, .size = std::bit_cast<float>(w.arg32)};
  }
  bool operator==(const HexPlaceArgs& o) const {
    return hex == o.hex && classIndex == o.classIndex &&
           std::bit_cast<uint32_t>(size) == std::bit_cast<uint32_t>(o.size);
  }
};

// A link of the class (a road, a rail) leaving the hex in a direction 0 to
// 5 (289); each step of a route posts one for each of its two hexes.
struct HexLinkArgs {
  uint32_t hex = 0;
  uint32_t classIndex = 0;
  uint32_t direction = 0;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = classIndex, .arg32 = direction}; }
  static HexLinkArgs Unpack(const CommandArgWords& w) {
    return {.hex = w.arg24, .classIndex = w.arg28, .direction = w.arg32};
  }
  bool operator==(const HexLinkArgs&) const = default;
};

// The facility's output level asked for (290).
struct HexOutputArgs {
  uint32_t hex = 0;
  float level = 0.0f;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg32 = std::bit_cast<uint32_t>(level)}; }
  static HexOutputArgs Unpack(const CommandArgWords& w) {
    return {.hex = w.arg24, .level = std::bit_cast<float>(w.arg32)};
  }
  bool operator==(const HexOutputArgs& o) const {
    return hex == o.hex && std::bit_cast<uint32_t>(level) == std::bit_cast<uint32_t>(o.level);
  }
};

// The destination of the hex's facility, a packed hex (300).
struct HexDestinationArgs {
  uint32_t hex = 0;
  uint32_t destination = 0;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = destination}; }
  static HexDestinationArgs Unpack(const CommandArgWords& w) { return {.hex = w.arg24, .destination = w.arg28}; }
  bool operator==(const HexDestinationArgs&) const = default;
};

// The class the hex's facility becomes (301).
struct HexConvertArgs {
  uint32_t hex = 0;
  uint32_t classIndex = 0;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = classIndex}; }
  static HexConvertArgs Unpack(const CommandArgWords& w) { return {.hex = w.arg24, .classIndex = w.arg28}; }
  bool operator==(const HexConvertArgs&) const = default;
};
