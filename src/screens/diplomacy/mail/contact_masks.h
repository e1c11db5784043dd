#pragma once
// The local player's contact choices per region: whom they chat and talk
// with, whom they mute, whose offers and mail they take, and whose mail they
// ignore. They are this machine's interface state, never a game command and
// never part of the records the peers compare; the save keeps them in a
// block of its own. Bit n stands for player n.
#include <cstdint>

struct ContactMasks {
  uint32_t chat = 0;
  uint32_t voice = 0;
  uint32_t mute = 0;
  uint32_t offers = 0;
  uint32_t mail = 0;
  uint32_t ignoredSenders = 0;
  bool operator==(const ContactMasks&) const = default;
};

extern ContactMasks g_contactMasks;

// The player's bit, 0 outside 0-31.
uint32_t ContactBit(int32_t player);
// Sets or clears the player's bit in the mask.
void SetContactBit(uint32_t& mask, int32_t player, bool on);
