#pragma once
// Services computed from a region record: the social programmes' costs, the
// budget totals of one settings copy, tax rates for a level, ranks and
// ratings, and the cabinet's default orders.
#include <array>
#include <cstdint>

struct GameDate;
struct PlayerPolicyBlock;
struct PlayerRecord;
struct World;

// The budget words of a settings copy that the totals fill, by word index.
inline constexpr int kBudgetTaxRevenueWord = 26;   // 14 words, one per tax
inline constexpr int kBudgetConsumptionWord = 280; // the products' consumption value
inline constexpr int kBudgetProductionWord = 281;  // the products' production value
inline constexpr int kBudgetSubsidyWord = 282;     // the products' subsidies

// Word n of a settings copy read or written as a float.
float BlockReal(const PlayerPolicyBlock& block, int word);
void SetBlockReal(PlayerPolicyBlock& block, int word, float value);

// 1 for 1 January.
int32_t DayOfYear(const GameDate& date);

// Fills the seven social programmes' costs.
void ComputeSocialCosts(World& world, PlayerRecord& region);
// Cost of programme `index` (0 to 6) at the copy's spending setting, or the
// sum of the seven for a negative index. copy: 0 display, 1 simulation.
float GetSocialSpending(int copy, int index, const PlayerRecord& region);
// Recomputes the budget figures of one settings copy (0 display, 1 simulation).
// The yearly cost of readiness at an alert level, as each day charges it:
// the square of the level times the facilities' and services' yearly
// running costs and the government type's readiness factor, over ten.
float ReadinessCost(const PlayerRecord& region, float defcon);
// The yearly spending the totals sum, item by item, for a policy block
// (0 the display copy, 1 the simulation's).
struct BudgetSpending {
  float wages = 0.0f, maintenance = 0.0f, intelligence = 0.0f, readiness = 0.0f;
  float insurance = 0.0f, services = 0.0f, marketFee = 0.0f;
};
BudgetSpending BudgetSpendingOf(const PlayerRecord& region, int copy);
void RecalcPlayerTotals(World& world, PlayerRecord& region, int copy);
// The twelve tax rates and the user fees (index 12) that raise `level` from
// the given thirteen revenue bases.
std::array<float, 13> TaxRatesForLevel(const float (&bases)[13], float level);
// Posts the local player's commands setting those rates.
void SetTaxRatesForLevel(const float (&bases)[13], float level);
// 1 plus the number of active regions whose float at record offset
// `fieldOffset` is strictly greater than this player's.
int32_t GetPlayerRank(const World& world, int player, uint32_t fieldOffset);
float GetProductSubsidyValue(const World& world, const PlayerRecord& region, int copy, int product);
float GetProductPeakValue(const World& world, int product);
float PlayerRatioC(const PlayerRecord& region);
float PlayerRatingB(const World& world, const PlayerRecord& region, float x);
// The first figure of a government type's factor row; a type outside the
// table takes row 0.
float GovtypeSpendingFactor(uint8_t govtype);
// Factor k (0 to 10) of a government type's row: 0 scales the forces'
// wages, 5 the build bonus and 6 the efficiency bonus of a raised alert, 7
// the readiness cost. Factor 0 is the first figure above, 1 to 10 the
// columns of the leader status table; each keeps the row a type outside
// its table falls back to. 0 for a factor past the row.
float GovernmentFactor(uint8_t govtype, int factor);
// The highest military research spending level the region pays for: the
// square root of its committed research sites (0 for a negative count).
float ResearchLevelCap(const PlayerRecord& region);
// Posts the cabinet's default staffing and orders for the region.
void PostCabinetDefaults(World& world, PlayerRecord& region);
