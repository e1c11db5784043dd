#pragma once
// The figures a computer player keeps in its region's record: the daily
// progress word, the field-unit counts, the build and batch cursors, levels
// and counts. They lie among the record's unnamed bytes; each place is
// asserted to lie inside bytes no named member covers. The figures that
// have a member of their own (the treasury, which is both the funds figure
// and the cash reserve the building rules read, the special-effects word
// that is the feature flag word) are read through it.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "units/facilities/upkeep_fields.h"

namespace aifields {

// The daily progress word (the record's dayWord, which the daily driver
// clears at the end of every day): the first step of the day (offers and
// war posture), unit building, deployment and technology, each once a day.
inline constexpr uint32_t kProgressFirstStep = 1u << 15;
inline constexpr uint32_t kProgressBuilding = 1u << 0;
inline constexpr uint32_t kProgressDeployment = 1u << 1;
inline constexpr uint32_t kProgressTechnology = 1u << 2;

inline constexpr size_t kFieldUnitCounts = 12640;  // u16[4] by category: idle units listed for orders
inline constexpr size_t kBuildCursors = 12648;     // u8[3] by domain (land, air, sea): 0 to 15
inline constexpr size_t kBatchDomainCursor = 12652;   // u8: 0 to 4
inline constexpr size_t kBatchSubRoleCursor = 12653;  // u8: 0 to 3
inline constexpr size_t kBatchMaxLevels = 12654;   // u8[4] by domain
inline constexpr size_t kBatchMinLevels = 12658;   // u8[4] by domain
// The batch limit and count are the region's stock capacity and the part
// of it in use, which the daily upkeep counts (upkeepfields).
inline constexpr size_t kBatchLimit = upkeepfields::kStockCapacity;
inline constexpr size_t kBatchCount = upkeepfields::kStockUsed;
inline constexpr size_t kBatchStop = 12668;        // u32: bit 0 stops the batches

static_assert(kFieldUnitCounts >= offsetof(PlayerRecord, bytes12608) &&
              kBatchStop + 4 <= offsetof(PlayerRecord, pendingCommands));

inline uint8_t* At(PlayerRecord& r, size_t at) { return reinterpret_cast<uint8_t*>(&r) + at; }
inline const uint8_t* At(const PlayerRecord& r, size_t at) { return reinterpret_cast<const uint8_t*>(&r) + at; }

inline uint32_t DailyProgress(const PlayerRecord& r) { return r.dayWord; }
inline void SetDailyProgress(PlayerRecord& r, uint32_t v) { r.dayWord = v; }

inline uint16_t FieldUnitCount(const PlayerRecord& r, int category) {
  return le::Load16(At(r, kFieldUnitCounts + 2 * static_cast<size_t>(category & 3)));
}
inline void SetFieldUnitCount(PlayerRecord& r, int category, uint16_t v) {
  le::Store16(At(r, kFieldUnitCounts + 2 * static_cast<size_t>(category & 3)), v);
}

inline uint8_t& BuildCursor(PlayerRecord& r, int domain) { return *At(r, kBuildCursors + static_cast<size_t>(domain)); }
inline uint8_t& BatchDomainCursor(PlayerRecord& r) { return *At(r, kBatchDomainCursor); }
inline uint8_t& BatchSubRoleCursor(PlayerRecord& r) { return *At(r, kBatchSubRoleCursor); }
inline uint8_t& BatchMaxLevel(PlayerRecord& r, int domain) { return *At(r, kBatchMaxLevels + static_cast<size_t>(domain)); }
inline uint8_t& BatchMinLevel(PlayerRecord& r, int domain) { return *At(r, kBatchMinLevels + static_cast<size_t>(domain)); }
inline uint16_t BatchLimit(const PlayerRecord& r) { return le::Load16(At(r, kBatchLimit)); }
inline void SetBatchLimit(PlayerRecord& r, uint16_t v) { le::Store16(At(r, kBatchLimit), v); }
inline uint16_t BatchCount(const PlayerRecord& r) { return le::Load16(At(r, kBatchCount)); }
inline void SetBatchCount(PlayerRecord& r, uint16_t v) { le::Store16(At(r, kBatchCount), v); }
inline bool BatchStopped(const PlayerRecord& r) { return (le::Load32(At(r, kBatchStop)) & 1u) != 0; }
inline void SetBatchStopped(PlayerRecord& r, bool on) { le::Store32(At(r, kBatchStop), on ? 1u : 0u); }

// The funds figure and the cash reserve of the building rules: the
// region's treasury.
inline float FundsFigure(const PlayerRecord& r) { return r.treasury; }
inline float CashReserve(const PlayerRecord& r) { return r.treasury; }
// The feature flag word: the special effects the region's technologies give.
inline uint32_t FeatureFlags(const PlayerRecord& r) { return r.specialEffects; }

// The policy flag word's automation bits (militaryFlags, both copies).
inline constexpr uint32_t kUnitAutoBuild = kMilitaryUnitAutoBuild;  // bunitautobuild
inline constexpr uint32_t kMissilesAutoBuild = 1u << 4;  // bmissilesautobuild

}  // namespace aifields
