#pragma once
// Recurring payments and deliveries: interest, due days, defaults, maturity
// and rollover of the items a region pays.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void RunRecurringItems(World& world, PlayerRecord& region);
