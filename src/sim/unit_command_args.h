#pragma once
// The arguments of the commands that make, deploy and disband units (272 to
// 275), of the launch bits and counts beside them (276, 277) and of those
// that make and mark research projects (384 to 386), by name. The
// new object's id is the command's sequence word, not an argument.
#include <bit>
#include <cstdint>

#include "sim/game_command.h"

// A new unit of the class at a hex, at the size ordered, with its create
// flags (272).
struct NewUnitArgs {
  uint32_t position = 0;  // a packed hex
  uint32_t classIndex = 0;
  float size = 0.0f;
  uint32_t flags = 0;
  CommandArgWords Pack() const {
    return {.arg24 = position, .arg28 = classIndex, .arg32 = std::bit_cast<uint32_t>(size), .arg36 = flags};
  }
  static NewUnitArgs Unpack(const CommandArgWords& w) {
    return {.position = w.arg24, .classIndex = w.arg28, .size = std::bit_cast<float>(w.arg32), .flags = w.arg36};
  }
  bool operator==(const NewUnitArgs& o) const {
    return position == o.position && classIndex == o.classIndex &&
           std::bit_cast<uint32_t>(size) == std::bit_cast<uint32_t>(o.size) && flags == o.flags;
  }
};

// A unit by id: disbanded (273) or deployed from the reserve (274).
struct UnitArgs {
  uint32_t unit = 0;
  CommandArgWords Pack() const { return {.arg28 = unit}; }
  static UnitArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28}; }
  bool operator==(const UnitArgs&) const = default;
};

// A new unit of the class at no position, its size a whole number, with its
// create flags (275).
struct OrderedUnitArgs {
  uint32_t classIndex = 0;
  int32_t size = 0;
  uint32_t flags = 0;
  CommandArgWords Pack() const { return {.arg28 = classIndex, .arg32 = static_cast<uint32_t>(size), .arg36 = flags}; }
  static OrderedUnitArgs Unpack(const CommandArgWords& w) {
    return {.classIndex = w.arg28, .size = static_cast<int32_t>(w.arg32), .flags = w.arg36};
  }
  bool operator==(const OrderedUnitArgs&) const = default;
};

// A new project for a technology (kind 1) or a design (kind 2) of the
// table, with its flags (384).
struct NewProjectArgs {
  uint32_t kind = 0;
  uint32_t index = 0;
  uint32_t flags = 0;
  CommandArgWords Pack() const { return {.arg28 = kind, .arg32 = index, .arg36 = flags}; }
  static NewProjectArgs Unpack(const CommandArgWords& w) {
    return {.kind = w.arg28, .index = w.arg32, .flags = w.arg36};
  }
  bool operator==(const NewProjectArgs&) const = default;
};

// A project by id: closed (385).
struct ProjectArgs {
  uint32_t project = 0;
  CommandArgWords Pack() const { return {.arg28 = project}; }
  static ProjectArgs Unpack(const CommandArgWords& w) { return {.project = w.arg28}; }
  bool operator==(const ProjectArgs&) const = default;
};

// Bits of a project's flags set (set non-zero) or cleared (386).
struct ProjectBitsArgs {
  uint32_t project = 0;
  uint32_t bits = 0;
  uint32_t set = 0;
  CommandArgWords Pack() const { return {.arg28 = project, .arg32 = bits, .arg36 = set}; }
  static ProjectBitsArgs Unpack(const CommandArgWords& w) {
    return {.project = w.arg28, .bits = w.arg32, .set = w.arg36};
  }
  bool operator==(const ProjectBitsArgs&) const = default;
};

// A launch bit (0 to 7) of the player's set (276).
struct LaunchBitArgs {
  uint32_t bit = 0;
  CommandArgWords Pack() const { return {.arg28 = bit}; }
  static LaunchBitArgs Unpack(const CommandArgWords& w) { return {.bit = w.arg28}; }
  bool operator==(const LaunchBitArgs&) const = default;
};

// One of the player's launch counts (0 to 7) moved by a signed amount (277).
struct LaunchCountArgs {
  uint32_t index = 0;
  int32_t delta = 0;
  CommandArgWords Pack() const { return {.arg28 = index, .arg32 = static_cast<uint32_t>(delta)}; }
  static LaunchCountArgs Unpack(const CommandArgWords& w) {
    return {.index = w.arg28, .delta = static_cast<int32_t>(w.arg32)};
  }
  bool operator==(const LaunchCountArgs&) const = default;
};
