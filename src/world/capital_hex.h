#pragma once
// A region's capital: two signed 16-bit words (x, y) in each copy of its
// settings; (0, 0) is none. The unit code reads it where a capital is taken
// or a unit needs a base near home; the daily steps keep it.
#include <cstddef>
#include <cstdint>

struct PlayerPolicyBlock;

inline constexpr size_t kPolicyCapitalHex = 4884;  // i16 x, i16 y; (0, 0) none

struct CapitalPosition {
  int16_t x = 0, y = 0;
  bool operator==(const CapitalPosition&) const = default;
};
CapitalPosition CapitalHex(const PlayerPolicyBlock& block);
void SetCapitalHex(PlayerPolicyBlock& block, CapitalPosition at);
