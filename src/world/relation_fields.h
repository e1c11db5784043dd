#pragma once
// Relation fields that the region record's struct keeps among its unnamed
// bytes: the reciprocal treaty words of each settings copy, and the strike
// and war-notice masks and running event totals of the record. Their places
// are fixed here; the asserts keep them clear of named members and of the
// editor's region figures.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "world/region_figures.h"

// In the settings block: five words, for treaty types 13, 14, 15, the
// surrender word and 30; bit p while player p holds that treaty with this one.
inline constexpr size_t kPolicyReciprocalTreatyMasks = 4976;
inline constexpr int kReciprocalWords = 5;
static_assert(kPolicyReciprocalTreatyMasks >= offsetof(PlayerPolicyBlock, bytes4912) + 64);
static_assert(kPolicyReciprocalTreatyMasks + 4 * kReciprocalWords <= sizeof(PlayerPolicyBlock));

// In the settings block: the region's target hex, x in the low and y in the
// high half (0 none).
inline constexpr size_t kPolicyTargetHex = 4996;
static_assert(kPolicyTargetHex >= kPolicyReciprocalTreatyMasks + 4 * kReciprocalWords);
static_assert(kPolicyTargetHex + 4 <= sizeof(PlayerPolicyBlock));

inline uint32_t TargetHex(const PlayerPolicyBlock& b) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&b) + kPolicyTargetHex);
}
inline void SetTargetHex(PlayerPolicyBlock& b, uint32_t v) {
  le::Store32(reinterpret_cast<uint8_t*>(&b) + kPolicyTargetHex, v);
}

// In the settings block: the region it surrendered (or asked to surrender)
// to; 0 none.
inline constexpr size_t kPolicySurrenderTarget = 5000;
static_assert(kPolicySurrenderTarget >= kPolicyTargetHex + 4);
static_assert(kPolicySurrenderTarget + 1 <= sizeof(PlayerPolicyBlock));

inline uint8_t SurrenderTarget(const PlayerPolicyBlock& b) {
  return reinterpret_cast<const uint8_t*>(&b)[kPolicySurrenderTarget];
}
inline void SetSurrenderTarget(PlayerPolicyBlock& b, uint8_t v) {
  reinterpret_cast<uint8_t*>(&b)[kPolicySurrenderTarget] = v;
}

// In the record.
inline constexpr size_t kRecordAttackedByMaskA = 14440;
inline constexpr size_t kRecordAttackedByMaskB = 14444;
inline constexpr size_t kRecordWarNoticeMaskA = 14448;
inline constexpr size_t kRecordWarNoticeMaskB = 14452;
inline constexpr size_t kRecordRelationEventTotal = 14456;
inline constexpr size_t kRecordCivilEventTotal = 14460;
inline constexpr size_t kRecordMilitaryEventTotal = 14464;
// 14468 is the border-attempt mask of the unit code; the score total sits
// in the free word after it.
inline constexpr size_t kRecordScoreEventTotal = 14472;
static_assert(kRecordAttackedByMaskA >= kRegionFiguresEnd);
static_assert(kRecordScoreEventTotal + 4 <= offsetof(PlayerRecord, slotName));

// The reciprocal word of a treaty type (13, 14, 15, 30), or -1.
inline int ReciprocalWord(int type) {
  switch (type) {
    case 13: return 0;
    case 14: return 1;
    case 15: return 2;
    case 30: return 4;
    default: return -1;
  }
}
inline constexpr int kReciprocalSurrenderWord = 3;

inline uint32_t ReciprocalMask(const PlayerPolicyBlock& b, int word) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&b) + kPolicyReciprocalTreatyMasks + 4 * static_cast<size_t>(word));
}
inline void SetReciprocalMask(PlayerPolicyBlock& b, int word, uint32_t v) {
  le::Store32(reinterpret_cast<uint8_t*>(&b) + kPolicyReciprocalTreatyMasks + 4 * static_cast<size_t>(word), v);
}

inline uint32_t RecordWord(const PlayerRecord& r, size_t at) {
  return le::Load32(reinterpret_cast<const uint8_t*>(&r) + at);
}
inline void SetRecordWord(PlayerRecord& r, size_t at, uint32_t v) {
  le::Store32(reinterpret_cast<uint8_t*>(&r) + at, v);
}
inline float RecordFloat(const PlayerRecord& r, size_t at) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&r) + at);
}
inline void SetRecordFloat(PlayerRecord& r, size_t at, float v) {
  le::StoreF32(reinterpret_cast<uint8_t*>(&r) + at, v);
}

// Set after a relation change; the screens poll and clear it to redraw.
inline std::atomic<bool> g_relationsChanged{false};
