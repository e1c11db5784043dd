#pragma once
// The product minister: each day in its band it looks after the region's
// eleven products: it reports shortages, and moves each product's entry
// factors, stock target, margin and production target by small steps.
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerRecord;

// Words of a product's settings entry that the minister moves: the entry
// factors are the automatic sale's surplus share and margin; the stock
// target, the entry switch and the production target sit in the words no
// command writes. The target's ratio to the capacity goes to word p of the
// twelfth entry, which no product uses.
inline constexpr int kProductEntryFactor1 = 6;
inline constexpr int kProductEntryFactor2 = 7;
inline constexpr int kProductStockTarget = 1;
inline constexpr int kProductEntrySwitch = 8;
inline constexpr int kProductTarget = 15;
inline constexpr int kProductRatioEntry = 11;
// The flag byte (the top byte of the flags word): bit 4 keeps a locked
// product under the minister's care.
inline constexpr size_t kProductFlagByteAt = 39;

// Runs the step for a region whose product post is served; else nothing.
void DepartmentMinisterStepC(World& world, PlayerRecord& region);
