#include "world/capital_hex.h"

#include "records/le_bytes.h"
#include "records/player_policy.h"

CapitalPosition CapitalHex(const PlayerPolicyBlock& b) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&b) + kPolicyCapitalHex;
  return CapitalPosition{le::LoadI16(p), le::LoadI16(p + 2)};
}

void SetCapitalHex(PlayerPolicyBlock& b, CapitalPosition at) {
  uint8_t* p = reinterpret_cast<uint8_t*>(&b) + kPolicyCapitalHex;
  le::StoreI16(p, at.x);
  le::StoreI16(p + 2, at.y);
}
