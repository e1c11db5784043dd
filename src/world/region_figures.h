#pragma once
// Region figures that scenario designers set through the editor's region
// import and that the daily simulation reads: society, ratings, rates and
// religions. They have no named member of PlayerRecord yet, so they live at
// fixed offsets inside the record's unnamed bytes after the belligerence
// table; the asserts below break the build if a member is ever named over
// them, so both places are reconciled. Figures that already have a member
// (approval, the second rating, the credit rating, unemployment, the
// treasury, the efficiency that the region's loyalty is, the GDP per head
// and its base, the social levels) are used through it.
//
// Also the world economy block's GDP and rate words.
#include <cstddef>
#include <cstdint>

#include "records/le_bytes.h"
#include "records/player_record.h"

// Record offsets.
inline constexpr size_t kRegionGovtypeApproveAt = 14088;  // u8[4], government types 1 to 4
inline constexpr size_t kRegionGovtypeSuccessAt = 14092;  // u8[4]
inline constexpr size_t kRegionWorldAvailAt = 14096;      // u32 availability mask

// The float figures, 4 bytes apart from kRegionFloatsAt in this order.
enum RegionFloat : int {
  kRegionInternalIntegrity,
  kRegionExternalIntegrity,
  kRegionWmIntegrity,
  kRegionTreatyIntegrity,
  kRegionAptitude,
  kRegionPolicyAppEconomic,
  kRegionPolicyAppMilitary,
  kRegionPolicyAppSocial,
  kRegionPolicyAppForeign,
  kRegionEnvRating,
  kRegionSubsidyRating,
  kRegionTourismRating,
  kRegionLiteracy,
  kRegionAgeAvg,
  kRegionLifeExp,
  kRegionAgeUnder18,
  kRegionAgeOver65,
  kRegionAvgChildren,
  kRegionCultureRating,
  kRegionCrimeRate,
  kRegionPopProfessional,
  kRegionPopSkilled,
  kRegionPopUnskilled,
  kRegionPopAtHome,
  kRegionPrimeRate,
  kRegionBondRate,
  kRegionTbillRate,
  kRegionNationalDebtBase,
  kRegionUiSpendRecom,
  kRegionWelfSpendRecom,
  kRegionPensSpendRecom,
  kRegionInflation,
  kRegionTechMil,
  kRegionPopRefugee,
  kRegionPopPow,
  kRegionPopReserve,
  kRegionBuyingPower,
  kRegionMilEffMod,
  kRegionFloatCount
};
inline constexpr size_t kRegionFloatsAt = 14100;
// Per religion 0 to 11: percentage of the population, tolerance, fervour.
inline constexpr int kRegionReligions = 12;
inline constexpr size_t kRegionReligionsAt = kRegionFloatsAt + 4 * kRegionFloatCount;
inline constexpr size_t kRegionFiguresEnd = kRegionReligionsAt + 3 * kRegionReligions;

static_assert(kRegionGovtypeApproveAt >= offsetof(PlayerRecord, bytes14084) &&
                  kRegionFiguresEnd <= offsetof(PlayerRecord, bytes14084) + sizeof(PlayerRecord::bytes14084),
              "the region figures must stay inside bytes no member names");

// Where a figure lives in the record. The region file's reals run in the
// record's own order from byte 10168: civil and military approval and the
// credit rating land on their members there, and so do the integrities,
// ratings and society figures on the inputs the daily steps read (the world
// market integrity is the standing, the subsidy rating the trade openness).
// The three recommended spending levels are the factors the budget weighs
// unemployment, welfare and pension spending with (10452 to 10460). The
// rest have no place the simulation reads and keep the side table.
constexpr size_t RegionFloatAt(RegionFloat which) {
  switch (which) {
    case kRegionInternalIntegrity: return offsetof(PlayerRecord, gdpInput1);
    case kRegionExternalIntegrity: return offsetof(PlayerRecord, gdpInput2);
    case kRegionWmIntegrity: return offsetof(PlayerRecord, standing);
    case kRegionTreatyIntegrity: return offsetof(PlayerRecord, gdpInput9);
    case kRegionAptitude: return offsetof(PlayerRecord, gdpInput10);
    case kRegionEnvRating: return offsetof(PlayerRecord, gdpInput3);
    case kRegionSubsidyRating: return offsetof(PlayerRecord, tradeOpenness);
    case kRegionTourismRating: return offsetof(PlayerRecord, gdpInput4);
    case kRegionLiteracy: return offsetof(PlayerRecord, gdpInput5);
    case kRegionAgeAvg: return offsetof(PlayerRecord, bytes10232);
    case kRegionLifeExp: return offsetof(PlayerRecord, bytes10232) + 4;
    case kRegionAgeUnder18: return offsetof(PlayerRecord, bytes10232) + 8;
    case kRegionAgeOver65: return offsetof(PlayerRecord, bytes10232) + 12;
    case kRegionAvgChildren: return offsetof(PlayerRecord, bytes10232) + 16;
    case kRegionCultureRating: return offsetof(PlayerRecord, gdpInput6);
    case kRegionCrimeRate: return offsetof(PlayerRecord, gdpInput7);
    case kRegionUiSpendRecom: return 10452;
    case kRegionWelfSpendRecom: return 10456;
    case kRegionPensSpendRecom: return 10460;
    default: return kRegionFloatsAt + 4 * static_cast<size_t>(which);
  }
}
static_assert(RegionFloatAt(kRegionAvgChildren) + 4 == offsetof(PlayerRecord, gdpInput6));
static_assert(RegionFloatAt(kRegionUiSpendRecom) >= offsetof(PlayerRecord, bytes10386) &&
              RegionFloatAt(kRegionPensSpendRecom) + 4 <= offsetof(PlayerRecord, bytes10386) + sizeof(PlayerRecord::bytes10386));

inline float LoadRegionFloat(const PlayerRecord& record, RegionFloat which) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&record) + RegionFloatAt(which));
}
inline void StoreRegionFloat(PlayerRecord& record, RegionFloat which, float value) {
  le::StoreF32(reinterpret_cast<uint8_t*>(&record) + RegionFloatAt(which), value);
}

// World economy block: per product p a 64-byte record at 64p (used 12,
// market limit 32, demand limit 36 and margin anchor 44 besides the fields
// named here), then the world figures.
inline constexpr size_t kWorldProductBytes = 64;
namespace product {
enum WorldField : size_t {
  kWorldPrice = 0,
  kWorldOutputWeight = 4,  // what the build and capture figures weigh a product's yield by
  kWorldShare = 8,
  kWorldNeedFor8 = 16,  // per unit of products 8, 9 and 10: 16, 20, 24
  kWorldConsumerWeight = 40,
  kWorldEnergyContent = 48,
  kWorldImportPrice = 52,
};
}  // namespace product
inline constexpr size_t kWorldMinGdpPerHeadAt = 768;
inline constexpr size_t kWorldGdpPerHeadAt = 772;
inline constexpr size_t kWorldPreviousGdpPerHeadAt = 776;
inline constexpr size_t kWorldPrimeRateAt = 780;
