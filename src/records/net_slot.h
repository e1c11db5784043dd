#pragma once
// One slot of the network session's table of 32 player slots. The table
// lives in the world and travels byte for byte between peers, so the slot
// is a 32-byte image.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// Slot states.
inline constexpr uint8_t kSlotFree = 0;
inline constexpr uint8_t kSlotHuman = 2;
inline constexpr uint8_t kSlotComputer = 3;  // or closed
inline constexpr uint8_t kSlotHost = 5;

struct NetSlot {
  uint8_t state;       // 0
  uint8_t ready;       // 1: the slot's player declared itself ready
  uint8_t assignment;  // 2
  uint8_t region;      // 3: the player number this slot plays, 0 none; a session message's sender
  uint32_t playerId;   // 4: the peer's id, 0xFFFFFFFF none
  uint32_t progress;   // 8: the tick its peer last reported
  uint32_t reserved;   // 12
  char name[16];       // 16
};
static_assert(std::is_trivially_copyable_v<NetSlot>);
static_assert(std::endian::native == std::endian::little, "the slot is its own wire image");
static_assert(sizeof(NetSlot) == 32);
static_assert(offsetof(NetSlot, state) == 0);
static_assert(offsetof(NetSlot, ready) == 1);
static_assert(offsetof(NetSlot, assignment) == 2);
static_assert(offsetof(NetSlot, region) == 3);
static_assert(offsetof(NetSlot, playerId) == 4);
static_assert(offsetof(NetSlot, progress) == 8);
static_assert(offsetof(NetSlot, reserved) == 12);
static_assert(offsetof(NetSlot, name) == 16);
