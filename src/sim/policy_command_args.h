#pragma once
// The arguments of the policy settings, the tax rates and the cabinet
// commands by name: the poster fills one of these and the handler reads the
// same struct back. Which settings key posts which form is the key table's
// post kind (world/text/player_settings.cpp): one value, an index and its
// value, a pair, a region's flags or a cabinet post's two ids.
#include <bit>
#include <cstdint>

#include "sim/game_command.h"

// One value (word 28): a switch, a level, an id (the single-value settings,
// the defcon, the government form, world-market membership).
struct SettingArgs {
  uint32_t value = 0;
  CommandArgWords Pack() const { return {.arg28 = value}; }
  static SettingArgs Unpack(const CommandArgWords& w) { return {.value = w.arg28}; }
  bool operator==(const SettingArgs&) const = default;
};

// One real (word 28, its bits): a spending level, a share, a fee.
struct RealSettingArgs {
  float value = 0.0f;
  CommandArgWords Pack() const { return {.arg28 = std::bit_cast<uint32_t>(value)}; }
  static RealSettingArgs Unpack(const CommandArgWords& w) { return {.value = std::bit_cast<float>(w.arg28)}; }
  bool operator==(const RealSettingArgs& o) const {
    return std::bit_cast<uint32_t>(value) == std::bit_cast<uint32_t>(o.value);
  }
};

// An entry of a setting's table and its value (words 28 and 32): a social
// programme's level (25), a research share (138), a cabinet post's control
// (257), priorities (258) and locks (259).
struct IndexedSettingArgs {
  uint32_t index = 0;
  uint32_t value = 0;
  CommandArgWords Pack() const { return {.arg28 = index, .arg32 = value}; }
  static IndexedSettingArgs Unpack(const CommandArgWords& w) { return {.index = w.arg28, .value = w.arg32}; }
  bool operator==(const IndexedSettingArgs&) const = default;
};

// Two values of one setting (words 28 and 32): the common order settings
// (260), the automatic build values (159) and missiles (160).
struct SettingPairArgs {
  uint32_t first = 0;
  uint32_t second = 0;
  CommandArgWords Pack() const { return {.arg28 = first, .arg32 = second}; }
  static SettingPairArgs Unpack(const CommandArgWords& w) { return {.first = w.arg28, .second = w.arg32}; }
  bool operator==(const SettingPairArgs&) const = default;
};

// One tax (0 to 11, word 28) and its rate (word 32, its bits) (19).
struct TaxRateArgs {
  uint32_t tax = 0;
  float rate = 0.0f;
  CommandArgWords Pack() const { return {.arg28 = tax, .arg32 = std::bit_cast<uint32_t>(rate)}; }
  static TaxRateArgs Unpack(const CommandArgWords& w) { return {.tax = w.arg28, .rate = std::bit_cast<float>(w.arg32)}; }
  bool operator==(const TaxRateArgs& o) const {
    return tax == o.tax && std::bit_cast<uint32_t>(rate) == std::bit_cast<uint32_t>(o.rate);
  }
};

// A cabinet post (word 28) and the two ids of its seat (32, 36) (256).
struct CabinetSeatArgs {
  uint32_t post = 0;
  uint32_t first = 0;
  uint32_t second = 0;
  CommandArgWords Pack() const { return {.arg28 = post, .arg32 = first, .arg36 = second}; }
  static CabinetSeatArgs Unpack(const CommandArgWords& w) {
    return {.post = w.arg28, .first = w.arg32, .second = w.arg36};
  }
  bool operator==(const CabinetSeatArgs&) const = default;
};

// Lock bits of a cabinet post set (set non-zero) or cleared (261).
struct CabinetLockArgs {
  uint32_t post = 0;
  uint32_t bits = 0;
  uint32_t set = 0;
  CommandArgWords Pack() const { return {.arg28 = post, .arg32 = bits, .arg36 = set}; }
  static CabinetLockArgs Unpack(const CommandArgWords& w) { return {.post = w.arg28, .bits = w.arg32, .set = w.arg36}; }
  bool operator==(const CabinetLockArgs&) const = default;
};
