#pragma once
// The region and class figures the daily military upkeep reads and keeps
// among the records' unnamed bytes: readiness targets and their inputs, the
// day's upkeep, value and weight, force counts by category, stock counters,
// free transport capacity, build slots and the build and training spending.
// Each place is asserted to lie inside bytes no named member covers.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "units/unit_player_fields.h"
#include "world/data_tables.h"

namespace upkeepfields {

// f32: the two readiness targets the region's units drift toward.
inline constexpr size_t kQualityTarget1 = 12072;
inline constexpr size_t kQualityTarget2 = 12076;
inline constexpr size_t kQualityInput = 12228;  // f32: a tenth of it lifts the first target
// u8[4] by unit kind: the largest and the smallest non-zero free transport
// capacity of the region's carriers.
inline constexpr size_t kFreeCapacityMax = 12512;
inline constexpr size_t kFreeCapacityMin = 12516;
inline constexpr size_t kUnitsCounted = 12520;  // u16[4] by class category: every counted unit
inline constexpr size_t kUnitsInBuild = 12528;  // u16[6] by category: units still being built
inline constexpr size_t kSlotPause = 12192;     // u8: bit 0 the storage limit is reached, which holds the type-8 builds
inline constexpr size_t kMilitaryWeight = 13044;  // f32
inline constexpr size_t kUpkeepTotal = 13048;     // f32: the day's upkeep of every unit
inline constexpr size_t kBuildSpent = 13080;      // f32: the day's build payments from the treasury
inline constexpr size_t kUnitsOnMap = 13084;      // u16[4] by class category
inline constexpr size_t kUnitsInReserve = 13096;  // u16[4] by class category
inline constexpr size_t kBuildShortfall = 13108;  // f32: build payments the treasury could not make
// u16[4] by stock kind: stock on the map and in the reserve; classes whose
// loadable mask has bit 4 count in the second set.
inline constexpr size_t kStockOnMap = 13200;
inline constexpr size_t kStockInReserve = 13208;
inline constexpr size_t kStockOnMapB = 13216;
inline constexpr size_t kStockInReserveB = 13224;
inline constexpr size_t kSlotLimit = 13232;     // f32: type-8 build slots the region may hold: its free stock room
inline constexpr size_t kTrainingSpent = 13444;  // f32: the day's training payments
// u16: the region's stock capacity and the part of it in use (stock
// weapons held and on order). The military pages show the pair; the
// computer players order missile batches only while the first exceeds the
// second.
inline constexpr size_t kStockCapacity = 12662;
inline constexpr size_t kStockUsed = 12664;

static_assert(kQualityTarget1 >= offsetof(PlayerRecord, bytes12008) &&
              kQualityTarget2 + 4 <= unitfields::kMapCounts);
static_assert(kQualityInput >= offsetof(PlayerRecord, bytes12200) &&
              kQualityInput + 4 <= offsetof(PlayerRecord, spottingLevel));
static_assert(kSlotPause == offsetof(PlayerRecord, bytes12192));
static_assert(kFreeCapacityMax >= offsetof(PlayerRecord, bytes12408) && kUnitsInBuild + 12 <= unitfields::kHoldOutLevel);
static_assert(kMilitaryWeight >= offsetof(PlayerRecord, bytes13036) &&
              kUpkeepTotal + 4 <= offsetof(PlayerRecord, dayPopulation));
static_assert(kBuildSpent == offsetof(PlayerRecord, bytes13080) &&
              kUnitsInReserve + 8 <= offsetof(PlayerRecord, turnUnpaidBuildCost));
static_assert(kBuildShortfall == offsetof(PlayerRecord, bytes13108));
static_assert(kStockOnMap >= offsetof(PlayerRecord, bytes13176) + 24 &&
              kSlotLimit + 4 <= offsetof(PlayerRecord, turnUpkeepMarked));
static_assert(kTrainingSpent == offsetof(PlayerRecord, bytes13444));
static_assert(kStockCapacity >= offsetof(PlayerRecord, bytes12608) + 54 &&
              kStockUsed + 2 <= offsetof(PlayerRecord, pendingCommands));


inline uint8_t Byte(const PlayerRecord& r, size_t at) { return unitfields::Bytes(r)[at]; }
inline void SetByte(PlayerRecord& r, size_t at, uint8_t v) { unitfields::Bytes(r)[at] = v; }
inline uint16_t Word(const PlayerRecord& r, size_t at) { return le::Load16(unitfields::Bytes(r) + at); }
inline void SetWord(PlayerRecord& r, size_t at, uint16_t v) { le::Store16(unitfields::Bytes(r) + at, v); }
inline void AddWord(PlayerRecord& r, size_t at, int delta) {
  le::Store16(unitfields::Bytes(r) + at, static_cast<uint16_t>(Word(r, at) + delta));
}
inline void AddReal(PlayerRecord& r, size_t at, float delta) {
  unitfields::SetReal(r, at, unitfields::Real(r, at) + delta);
}

}  // namespace upkeepfields
