#pragma once
// Recurring payments and deliveries: interest, due days, defaults, maturity
// and rollover of the items a region pays.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct RecurringFields;
struct World;

void RunRecurringItems(World& world, PlayerRecord& region);

// Whether an item's payment falls due on that day number.
bool RecurringItemDueOn(const RecurringFields& item, int32_t today);
