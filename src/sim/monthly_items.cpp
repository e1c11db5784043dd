#include "sim/monthly_items.h"

#include "app/calendar.h"
#include "app/list_node.h"
#include "world/recurring_item.h"
#include "world/world.h"

namespace {

constexpr uint8_t kMonthlyDueDay = 15;
constexpr uint8_t kLastDayForThisMonth = 10;
constexpr int kMonthsOfItems = 12;

void LinkItem(World& world, RecurringItem* item) {
  WorldLockGuard hold(world, kLockRecurring);
  if (world.recurringItems)
    world.recurringItems->Append(item);
  else
    world.recurringItems = item;
}

}  // namespace

void CreateMonthlyItems(World& world) {
  GameState& state = world.gameState;
  int32_t highest = state.highestPlayer;
  if (highest >= kMaxPlayers) highest = kMaxPlayers - 1;
  for (int32_t p = 0; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (region.kind != kKindHuman && region.kind != kKindComputer) continue;
    region.itemSerial = 1;

    GameDate date;
    date.dayNumber = static_cast<int32_t>(state.currentDay);
    DayNumberToDate(date);
    const bool nextMonth = date.day > kLastDayForThisMonth;
    date.day = kMonthlyDueDay;
    DateToDayNumber(date);
    if (nextMonth) DateAddMonths(date, 1);

    if (!(region.monthlyYearlyAmount > 0.0f)) continue;
    const float amount = region.monthlyYearlyAmount / 12.0f;
    for (int month = 0; month < kMonthsOfItems; ++month) {
      RecurringItem* item = NewZeroed<RecurringItem>();
      if (!item) return;
      RecurringFields fields{};
      fields.kind = 1;
      fields.payer = static_cast<uint8_t>(p);
      fields.payee = 0;
      fields.serial = static_cast<uint16_t>(region.itemSerial);
      region.itemSerial = static_cast<int16_t>(region.itemSerial + 1);
      fields.periodKind = kPeriodMonthly;
      fields.dueDay = kMonthlyDueDay;
      fields.flags = kRecurringInterest;
      fields.termYears = 1;
      fields.amount = amount;
      fields.rate = region.monthlyRate;
      fields.startDay = state.currentDay;
      fields.maturityDay = static_cast<uint32_t>(date.dayNumber);
      fields.globalSerial = ++world.players[0].commandCounter;
      StoreRecurringFields(*item, fields);
      LinkItem(world, item);
      region.scheduledTotal += amount;
      DateAddMonths(date, 1);
    }
  }
}
