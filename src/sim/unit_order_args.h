#pragma once
// The arguments of the unit-order commands (336 to 355) by name: the poster
// fills one of these and the handler reads the same struct back, so which
// word carries what is written once, here. Every order command names its
// unit in word 28.
#include <cstdint>

#include "sim/game_command.h"

// The unit alone: cancel all orders, cancel the move or the task, a route
// (its image in the payload) and a route's steps.
struct OrderUnitArgs {
  uint32_t unit = 0;
  CommandArgWords Pack() const { return {.arg28 = unit}; }
  static OrderUnitArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28}; }
  bool operator==(const OrderUnitArgs&) const = default;
};

// A hex of the order, packed (word 24): the destination, the hex to fire at
// and the order's second hex.
struct OrderHexArgs {
  uint32_t unit = 0;
  uint32_t hex = 0;
  CommandArgWords Pack() const { return {.arg24 = hex, .arg28 = unit}; }
  static OrderHexArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28, .hex = w.arg24}; }
  bool operator==(const OrderHexArgs&) const = default;
};

// The order definition's flags ORed into the order and its mask (337).
struct OrderFlagsArgs {
  uint32_t unit = 0;
  uint32_t flags = 0;
  uint32_t mask = 0;
  CommandArgWords Pack() const { return {.arg28 = unit, .arg32 = flags, .arg36 = mask}; }
  static OrderFlagsArgs Unpack(const CommandArgWords& w) {
    return {.unit = w.arg28, .flags = w.arg32, .mask = w.arg36};
  }
  bool operator==(const OrderFlagsArgs&) const = default;
};

// Bits of a word set (set non-zero) or cleared: the state word (338) and
// the option word (348).
struct OrderBitsArgs {
  uint32_t unit = 0;
  uint32_t bits = 0;
  uint32_t set = 0;
  CommandArgWords Pack() const { return {.arg28 = unit, .arg32 = bits, .arg36 = set}; }
  static OrderBitsArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28, .bits = w.arg32, .set = w.arg36}; }
  bool operator==(const OrderBitsArgs&) const = default;
};

// Another unit the order names by id, 0 for none: the unit to fire at (343)
// and the partner (344).
struct OrderTargetArgs {
  uint32_t unit = 0;
  uint32_t target = 0;
  CommandArgWords Pack() const { return {.arg28 = unit, .arg32 = target}; }
  static OrderTargetArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28, .target = w.arg32}; }
  bool operator==(const OrderTargetArgs&) const = default;
};

// One value of the order: the option word (349), the order level and its
// signed change (351, 352), the order id (353), the settings word (354) and
// the posture bit (355).
struct OrderValueArgs {
  uint32_t unit = 0;
  uint32_t value = 0;
  CommandArgWords Pack() const { return {.arg28 = unit, .arg32 = value}; }
  static OrderValueArgs Unpack(const CommandArgWords& w) { return {.unit = w.arg28, .value = w.arg32}; }
  bool operator==(const OrderValueArgs&) const = default;
};

// One two-bit field (0 to 15) of the settings word and its value (350).
struct OrderSettingArgs {
  uint32_t unit = 0;
  uint32_t field = 0;
  uint32_t value = 0;
  CommandArgWords Pack() const { return {.arg28 = unit, .arg32 = field, .arg36 = value}; }
  static OrderSettingArgs Unpack(const CommandArgWords& w) {
    return {.unit = w.arg28, .field = w.arg32, .value = w.arg36};
  }
  bool operator==(const OrderSettingArgs&) const = default;
};
