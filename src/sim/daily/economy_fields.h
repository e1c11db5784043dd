#pragma once
// Region figures of the GDP and society steps that the record's struct
// keeps among its unnamed bytes, placed here with asserts that keep them
// clear of the named members.
#include <cstddef>

#include "records/le_bytes.h"
#include "records/player_policy.h"
#include "records/player_record.h"

namespace economy {

// In the record.
inline constexpr size_t kTurnSumD = 13184;        // f32: the fourth and fifth turn sums the GDP counts
inline constexpr size_t kTurnSumE = 13188;        // f32
inline constexpr size_t kCapacityByKind = 12432;  // f32[5]: the committed sites by kind
inline constexpr size_t kOverdraftRate = 10396;   // f32
inline constexpr size_t kOverdraftCost = 10400;   // f32
inline constexpr size_t kLoanIncomeDaily = 10404;    // f32: what the region's lending earns a day
inline constexpr size_t kLoanInterestDaily = 10408;  // f32: the interest its loans cost a day
inline constexpr size_t kDayExtraDeaths = 13192;  // f32: deaths counted during the day by other steps
// 13080 to 13107 hold the unit code's daily counts; 13200 on its stock counts.
static_assert(kTurnSumD >= offsetof(PlayerRecord, bytes13176) + 8 && kDayExtraDeaths + 4 <= 13200);
static_assert(kOverdraftRate >= offsetof(PlayerRecord, bytes10386) && kLoanInterestDaily + 4 <= offsetof(PlayerRecord, socialCosts));

// In each settings copy: the policy values A to E. A, B and C are the
// budget's balance, revenue and spending, which the region's totals are
// recomputed into just before the day adds A / 365 to the treasury; D and E
// have no writer yet and sit in two words nothing else uses.
inline constexpr size_t kPolicyValueAt[5] = {offsetof(PlayerPolicyBlock, budgetBalance),
                                             offsetof(PlayerPolicyBlock, budgetRevenue),
                                             offsetof(PlayerPolicyBlock, budgetSpending), 1148, 1152};
static_assert(kPolicyValueAt[3] >= offsetof(PlayerPolicyBlock, bytes1112) + 4 * (283 - 278) &&
              kPolicyValueAt[4] + 4 <= offsetof(PlayerPolicyBlock, roeFlags));

inline float Real(const PlayerRecord& r, size_t at) { return le::LoadF32(reinterpret_cast<const uint8_t*>(&r) + at); }
inline void SetReal(PlayerRecord& r, size_t at, float v) { le::StoreF32(reinterpret_cast<uint8_t*>(&r) + at, v); }
// Policy value 0 (A) to 4 (E) of a settings copy.
inline float PolicyValue(const PlayerPolicyBlock& b, int i) {
  return le::LoadF32(reinterpret_cast<const uint8_t*>(&b) + kPolicyValueAt[i]);
}
inline void SetPolicyValue(PlayerPolicyBlock& b, int i, float v) {
  le::StoreF32(reinterpret_cast<uint8_t*>(&b) + kPolicyValueAt[i], v);
}

}  // namespace economy
