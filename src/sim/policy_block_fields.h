#pragma once
// Fields of a region's settings block that only commands write and that the
// record's struct keeps among its unnamed bytes. Their places inside the
// block are fixed here; they lie between the named fields in the order the
// commands list them: the launch counters and the launch bits before the
// military flags, the two pair masks after the cabinet posts, the build list
// behind the pointer words.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_policy.h"

inline constexpr size_t kPolicyGovtypeRequest = 0;  // u8: the first byte of the block
inline constexpr size_t kPolicyLaunchCounts = 316;  // u8[kLaunchCounts]
inline constexpr int kLaunchCounts = 8;
inline constexpr size_t kPolicyLaunchBits = 324;  // u8
inline constexpr size_t kPolicyTreatyMasks = 4264;  // u32[kTreatyMaskTypes]: bit q while treaty t holds with q
inline constexpr int kTreatyMaskTypes = 128;
inline constexpr size_t kPolicyPairMask1 = 4872;  // u32, bit per player
inline constexpr size_t kPolicyPairMask2 = 4876;  // u32, bit per player
inline constexpr size_t kPolicyBuildList = 4912;  // i32[kBuildListValues]
inline constexpr int kBuildListValues = 16;

static_assert(kPolicyLaunchCounts == offsetof(PlayerPolicyBlock, bytes316));
static_assert(kPolicyLaunchBits + 1 <= offsetof(PlayerPolicyBlock, militaryFlags));
static_assert(kPolicyTreatyMasks == offsetof(PlayerPolicyBlock, bytes4264));
static_assert(kPolicyTreatyMasks + 4 * kTreatyMaskTypes == offsetof(PlayerPolicyBlock, cabinetPolicy));
static_assert(kPolicyPairMask1 == offsetof(PlayerPolicyBlock, bytes4872));
static_assert(kPolicyPairMask2 + 4 <= offsetof(PlayerPolicyBlock, ceasefireMask));
static_assert(kPolicyBuildList == offsetof(PlayerPolicyBlock, bytes4912));
static_assert(kPolicyBuildList + 4 * kBuildListValues <= sizeof(PlayerPolicyBlock));

inline uint8_t* PolicyBytes(PlayerPolicyBlock& block) { return reinterpret_cast<uint8_t*>(&block); }
inline const uint8_t* PolicyBytes(const PlayerPolicyBlock& block) { return reinterpret_cast<const uint8_t*>(&block); }

inline uint8_t GovtypeRequest(const PlayerPolicyBlock& b) { return PolicyBytes(b)[kPolicyGovtypeRequest]; }
inline void SetGovtypeRequest(PlayerPolicyBlock& b, uint8_t v) { PolicyBytes(b)[kPolicyGovtypeRequest] = v; }

inline uint8_t LaunchCount(const PlayerPolicyBlock& b, int i) { return PolicyBytes(b)[kPolicyLaunchCounts + i]; }
inline void SetLaunchCount(PlayerPolicyBlock& b, int i, uint8_t v) { PolicyBytes(b)[kPolicyLaunchCounts + i] = v; }
inline uint8_t LaunchBits(const PlayerPolicyBlock& b) { return PolicyBytes(b)[kPolicyLaunchBits]; }
inline void SetLaunchBits(PlayerPolicyBlock& b, uint8_t v) { PolicyBytes(b)[kPolicyLaunchBits] = v; }

inline uint32_t PairMask1(const PlayerPolicyBlock& b) { return le::Load32(PolicyBytes(b) + kPolicyPairMask1); }
inline void SetPairMask1(PlayerPolicyBlock& b, uint32_t v) { le::Store32(PolicyBytes(b) + kPolicyPairMask1, v); }
inline uint32_t PairMask2(const PlayerPolicyBlock& b) { return le::Load32(PolicyBytes(b) + kPolicyPairMask2); }
inline void SetPairMask2(PlayerPolicyBlock& b, uint32_t v) { le::Store32(PolicyBytes(b) + kPolicyPairMask2, v); }

// The mask of treaty type t (0..127): bit q while the treaty holds with player q.
inline uint32_t TreatyMask(const PlayerPolicyBlock& b, int t) {
  return le::Load32(PolicyBytes(b) + kPolicyTreatyMasks + 4 * static_cast<size_t>(t));
}
inline void SetTreatyMask(PlayerPolicyBlock& b, int t, uint32_t v) {
  le::Store32(PolicyBytes(b) + kPolicyTreatyMasks + 4 * static_cast<size_t>(t), v);
}

inline int32_t BuildListValue(const PlayerPolicyBlock& b, int i) {
  return le::LoadI32(PolicyBytes(b) + kPolicyBuildList + 4 * i);
}
inline void SetBuildListValue(PlayerPolicyBlock& b, int i, int32_t v) {
  le::StoreI32(PolicyBytes(b) + kPolicyBuildList + 4 * i, v);
}
