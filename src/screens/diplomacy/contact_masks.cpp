#include "screens/diplomacy/contact_masks.h"

ContactMasks g_contactMasks;

uint32_t ContactBit(int32_t player) {
  return player >= 0 && player < 32 ? 1u << static_cast<uint32_t>(player) : 0u;
}

void SetContactBit(uint32_t& mask, int32_t player, bool on) {
  if (on) {
    mask |= ContactBit(player);
  } else {
    mask &= ~ContactBit(player);
  }
}
