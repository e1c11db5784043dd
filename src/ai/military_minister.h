#pragma once
// The military minister: each day in its band it weighs the region's funds
// against the cost of its forces, raises the stand-down or alert request,
// and moves the military budget, conscription and the soldier settings.
struct World;
struct PlayerRecord;

// Military post standing-order and request bits.
inline constexpr unsigned kMilCutSpending = 1u << 3;
inline constexpr unsigned kMilBuildUpWhenRich = 1u << 4;
inline constexpr unsigned kMilRaiseSpending = 1u << 10;
inline constexpr unsigned kMilAlert = 1u << 16;
inline constexpr unsigned kMilStandDown = 1u << 31;
// Military lock bits.
inline constexpr unsigned kMilLockConscription = 1u << 0;
inline constexpr unsigned kMilLockBudget = 1u << 1;

// The figures the minister compares: the funds (the treasury) and the
// yearly cost of the region's forces and facilities.
float MinisterFundsFigure(const PlayerRecord& region);
float MilitaryCostFigure(const PlayerRecord& region);

// Runs the step for a region whose military post is staffed and handed to
// its minister; does nothing otherwise.
void MilitaryMinisterStep(World& world, PlayerRecord& region);
