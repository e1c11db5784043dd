#pragma once
// Research and special-program fields that the region record's struct keeps
// among its unnamed bytes, placed here with asserts that keep them clear of
// the named members.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "sim/policy_block_fields.h"

inline constexpr int kResearchKinds = 5;
inline constexpr int kPrograms = 3;

// In the record.
inline constexpr size_t kDayCapacityByKind = 12408;   // f32[5]: the day's sites by kind (kind 1 research)
inline constexpr size_t kDayKind1Strength = 12428;    // f32
inline constexpr size_t kCapacityByKind = 12432;      // f32[5]: committed from the day's
inline constexpr size_t kResearchItemCount = 12452;   // i16
inline constexpr size_t kProgramProgress = 12456;     // f32[3]
inline constexpr size_t kProgramStock = 12468;        // u16[3]
inline constexpr size_t kProgramReady = 12474;        // u16[3]
inline constexpr size_t kProgramReadiness = 12480;    // f32[3]
inline constexpr size_t kResearchSpentToday = 12492;  // f32
static_assert(kDayCapacityByKind >= offsetof(PlayerRecord, bytes12408));
static_assert(kResearchSpentToday + 4 <= offsetof(PlayerRecord, pendingCommands));

// In each settings copy: the launch counts and launch bits that commands
// 277 and 276 change, so that what the player orders is what gets built.
inline constexpr size_t kPolicyProgramOrders = kPolicyLaunchCounts;          // u8[3]: units still to build
inline constexpr size_t kPolicyProgramBuyRequests = kPolicyLaunchBits;       // u8: bits 0-2
static_assert(kPrograms <= kLaunchCounts);

inline uint8_t* RecordBytes(PlayerRecord& r) { return reinterpret_cast<uint8_t*>(&r); }
inline const uint8_t* RecordBytes(const PlayerRecord& r) { return reinterpret_cast<const uint8_t*>(&r); }

inline float RecordF32(const PlayerRecord& r, size_t at) { return le::LoadF32(RecordBytes(r) + at); }
inline void SetRecordF32(PlayerRecord& r, size_t at, float v) { le::StoreF32(RecordBytes(r) + at, v); }
inline uint16_t RecordU16(const PlayerRecord& r, size_t at) { return le::Load16(RecordBytes(r) + at); }
inline void SetRecordU16(PlayerRecord& r, size_t at, uint16_t v) { le::Store16(RecordBytes(r) + at, v); }

inline uint8_t& ProgramOrders(PlayerPolicyBlock& b, int i) {
  return reinterpret_cast<uint8_t*>(&b)[kPolicyProgramOrders + static_cast<size_t>(i)];
}
inline uint8_t& ProgramBuyRequests(PlayerPolicyBlock& b) {
  return reinterpret_cast<uint8_t*>(&b)[kPolicyProgramBuyRequests];
}
