#pragma once
// The arguments of the commands between regions by name: war, surrender,
// treaties, the pair masks, a region's entry flags and the trade refusals.
// The poster fills one of these and the handler reads the same struct back.
#include <cstdint>

#include "sim/game_command.h"

// The other region (word 28): war declared on it (177).
struct RegionArgs {
  uint32_t region = 0;
  CommandArgWords Pack() const { return {.arg28 = region}; }
  static RegionArgs Unpack(const CommandArgWords& w) { return {.region = w.arg28}; }
  bool operator==(const RegionArgs&) const = default;
};

// The winner (word 28) and whether the loser merges into it (32) (181).
struct SurrenderArgs {
  uint32_t winner = 0;
  uint32_t merger = 0;
  CommandArgWords Pack() const { return {.arg28 = winner, .arg32 = merger}; }
  static SurrenderArgs Unpack(const CommandArgWords& w) { return {.winner = w.arg28, .merger = w.arg32}; }
  bool operator==(const SurrenderArgs&) const = default;
};

// A region's bit of a pair mask set (set non-zero) or cleared: the first
// mask, which also moves the hostile mask (164), and the second (165).
struct PairMaskArgs {
  uint32_t region = 0;
  uint32_t set = 0;
  CommandArgWords Pack() const { return {.arg28 = region, .arg32 = set}; }
  static PairMaskArgs Unpack(const CommandArgWords& w) { return {.region = w.arg28, .set = w.arg32}; }
  bool operator==(const PairMaskArgs&) const = default;
};

// Flags of the entry rules towards one region set or cleared (157).
struct RegionFlagArgs {
  uint32_t bits = 0;
  uint32_t region = 0;
  uint32_t set = 0;
  CommandArgWords Pack() const { return {.arg28 = bits, .arg32 = region, .arg36 = set}; }
  static RegionFlagArgs Unpack(const CommandArgWords& w) { return {.bits = w.arg28, .region = w.arg32, .set = w.arg36}; }
  bool operator==(const RegionFlagArgs&) const = default;
};

// A product (word 28) whose trade with a region (32) is refused (36 non-zero)
// or allowed: sales (72) and purchases (71).
struct TradeRefusalArgs {
  uint32_t product = 0;
  uint32_t region = 0;
  uint32_t refuse = 0;
  CommandArgWords Pack() const { return {.arg28 = product, .arg32 = region, .arg36 = refuse}; }
  static TradeRefusalArgs Unpack(const CommandArgWords& w) {
    return {.product = w.arg28, .region = w.arg32, .refuse = w.arg36};
  }
  bool operator==(const TradeRefusalArgs&) const = default;
};

// One treaty ended: its type (word 28), the partner (32) and a flag (36)
// (182).
struct EndTreatyArgs {
  uint32_t type = 0;
  uint32_t partner = 0;
  uint32_t flag = 0;
  CommandArgWords Pack() const { return {.arg28 = type, .arg32 = partner, .arg36 = flag}; }
  static EndTreatyArgs Unpack(const CommandArgWords& w) { return {.type = w.arg28, .partner = w.arg32, .flag = w.arg36}; }
  bool operator==(const EndTreatyArgs&) const = default;
};
