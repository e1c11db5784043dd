#pragma once
// The product minister: each day in its band it looks after the region's
// eleven products: it reports shortages, and moves each product's entry
// factors, stock target, margin and production target by small steps.
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerRecord;

#include "world/text/policy_fields.h"

// Words of a product's settings entry that the minister moves: the entry
// factors are the automatic sale's surplus share and margin; the stock
// target, the entry switch, the production target and the ratio entry are
// named with the entry's other words (world/text/policy_fields.h).
inline constexpr int kProductEntryFactor1 = kProductAutoSellSurplusPercent;
inline constexpr int kProductEntryFactor2 = kProductAutoSellMargin;
// The flag byte (the top byte of the flags word): bit 4 keeps a locked
// product under the minister's care.
inline constexpr size_t kProductFlagByteAt = 39;

// Runs the step for a region whose product post is served; else nothing.
void DepartmentMinisterStepC(World& world, PlayerRecord& region);
