#include "sim/daily/recurring_payments.h"

#include "world/player_record.h"
#include "world/world.h"

void RunRecurringItems(World&, PlayerRecord&) {
  // The payments' day comes with the recurring payments.
}
