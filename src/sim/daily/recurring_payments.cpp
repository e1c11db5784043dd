#include "sim/daily/recurring_payments.h"

#include <algorithm>

#include "app/calendar.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "sim/player_services.h"
#include "world/recurring_item.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace {



float Stock(const PlayerRecord& r, int p) { return le::LoadF32(r.products[p].bytes + kProductStockAt); }
void SetStock(PlayerRecord& r, int p, float v) { le::StoreF32(r.products[p].bytes + kProductStockAt, v); }

float BaseRate(const World& world) {
  if (world.worldEconomy.size() < kWorldPrimeRateAt + 4) return 0.0f;
  return le::LoadF32(world.worldEconomy.data() + kWorldPrimeRateAt);
}

bool IsGoods(const RecurringFields& f) { return (f.flags & kRecurringGoods) != 0; }

// What the payer has to pay with: its money, or its stock of the product;
// never below 0.
float Available(const PlayerRecord& payer, const RecurringFields& f) {
  const float have = IsGoods(f) ? Stock(payer, f.product) : payer.treasury;
  return have > 0.0f ? have : 0.0f;
}

// What goes to region 0 pays back a loan; anything else between regions is
// aid, tribute or a deal's instalment.
void Transfer(World& world, PlayerRecord& payer, PlayerRecord& payee, const RecurringFields& f, float paid) {
  if (IsGoods(f)) {
    SetStock(payer, f.product, Stock(payer, f.product) - paid);
    SetStock(payee, f.product, Stock(payee, f.product) + paid);
  } else {
    ChargeTreasury(world, payer, f.payee == 0 ? Ledger::kRepaid : Ledger::kForeignExpense, paid);
    CreditTreasury(world, payee, Ledger::kForeignIncome, paid);
  }
}


}  // namespace

bool RecurringItemDueOn(const RecurringFields& f, int32_t today) {
  GameDate date;
  date.dayNumber = today;
  switch (f.periodKind) {
    case 0:
    case kPeriodDaily:
      return true;
    case kPeriodWeekly:
      return ((today + 2) % 7 + 7) % 7 + 1 == f.dueDay;
    case kPeriodMonthly: {
      DayNumberToDate(date);
      if (date.day == f.dueDay) return true;
      const int32_t days = DaysInMonth(date);
      return days < f.dueDay && date.day == days;
    }
    case kPeriodYearly: {
      DayNumberToDate(date);
      int32_t day = DayOfYear(date);
      // 29 February and 1 March of a leap year are both day 60.
      if (IsLeapYear(date) && day >= 61) --day;
      return day == f.dueDay;
    }
    default:
      return false;
  }
}

void RunRecurringItems(World& world, PlayerRecord& region) {
  float totals[3] = {0.0f, 0.0f, 0.0f};
  float held = 0.0f;
  const int32_t today = static_cast<int32_t>(world.gameState.currentDay);
  const float baseRate = BaseRate(world);
  const int self = region.number;

  RecurringItem* first = world.recurringItems;
  RecurringItem* item = first;
  while (item) {
    RecurringFields f = LoadRecurringFields(*item);
    const bool usable = f.kind != kRecurringFinished && f.payer < kMaxPlayers && f.payee < kMaxPlayers &&
                        (!IsGoods(f) || f.product < kProductCount);
    if (usable && f.payee == self) {
      held += f.amount;
    } else if (usable && f.payer == self) {
      PlayerRecord& payer = world.players[f.payer];
      PlayerRecord& payee = world.players[f.payee];
      if (f.kind < 3) totals[f.kind] += f.amount;

      if (!IsGoods(f)) {
        const float r = f.rate > 0.0f ? f.rate : baseRate - f.rate;
        float interest = 0.0f;
        if (f.flags & kRecurringInterest) interest = r * f.amount / 365.0f;
        if (f.arrears != 0.0f) interest += r * f.arrears / 365.0f;
        payer.dayInterestPaid += interest;
        payee.dayInterestReceived += interest;
      }

      bool ended = false;
      if (RecurringItemDueOn(f, today)) {
        const float available = Available(payer, f);
        float due = f.installment;
        if (f.flags & kRecurringRepays) {
          due = std::min(f.installment, f.amount);
          f.amount -= due;
        }
        float paid;
        if (due <= available) {
          const float extra = f.arrears > 0.0f ? std::min({available - due, f.installment, f.arrears}) : 0.0f;
          f.arrears -= extra;
          paid = due + extra;
        } else {
          const float shortfall = due - available;
          f.arrears += shortfall;
          paid = available;
          if (!IsGoods(f)) {
            BroadcastPlayerMessage(world, payer, 0, kMsgDefaultMoneyFriendly, kMsgDefaultMoneyOthers,
                                   kMsgDefaultMoneyOthers, nullptr, MessageParams{});
            PostPlayerMessage(world, payer, self, kMsgYouDefaultedMoney, nullptr, MessageParams{});
            if (f.payee != 0) {
              MessageParams p;
              p.p1 = static_cast<uint32_t>(self);
              p.p2 = static_cast<uint32_t>(f.arrears);
              PostPlayerMessage(world, payee, self, kMsgPayerDefaultedMoney, nullptr, p);
            }
            payer.creditRating *= 0.98f;
            payer.turnDefaulted += shortfall;
          } else {
            BroadcastPlayerMessage(world, payer, 0, kMsgDefaultGoodsFriendly, kMsgDefaultGoodsOthers,
                                   kMsgDefaultGoodsOthers, nullptr, MessageParams{});
            PostPlayerMessage(world, payer, self, kMsgYouDefaultedGoods, nullptr, MessageParams{});
            if (f.payee != 0) {
              MessageParams p;
              p.p1 = static_cast<uint32_t>(self);
              p.p2 = f.product;
              PostPlayerMessage(world, payee, self, kMsgPayerDefaultedGoods, nullptr, p);
            }
          }
        }
        Transfer(world, payer, payee, f, paid);
        if (f.paymentsLeft > 0) {
          --f.paymentsLeft;
          if (f.paymentsLeft == 0) ended = true;
        }
      }

      if (f.maturityDay == static_cast<uint32_t>(today)) ended = true;
      if ((f.flags & kRecurringRepays) && f.amount < 1.0f && f.arrears < 1.0f) ended = true;
      if (ended) {
        const float months = 12.0f * static_cast<float>(f.termYears);
        if (f.kind != 0 && PlayerRatingB(world, payer, months) >= 0.5f && f.termYears > 1) f.termYears = 1;
        f.amount += f.arrears;
        f.arrears = 0.0f;
        if (f.kind == 0) {
          if (f.amount <= Available(payer, f)) {
            Transfer(world, payer, payee, f, f.amount);
            if (!IsGoods(f) && f.payee == 0) {
              MessageParams p;
              p.p1 = static_cast<uint32_t>(f.amount);
              PostPlayerMessage(world, payer, self, kMsgLoanRepaid, nullptr, p);
            }
            f.amount = 0.0f;
            f.kind = kRecurringFinished;
          } else {
            payer.creditRating *= 0.95f;
            f.flags |= kRecurringInterest | kRecurringRepays;
            f.kind = 0;
            f.periodKind = kPeriodDaily;
            f.dueDay = 1;
            f.paymentsLeft = 0;
            f.installment = f.amount / 365.0f;
            f.startDay = static_cast<uint32_t>(today);
            f.maturityDay = 0;
            f.rate = f.rate > 0.0f ? baseRate + f.rate : f.rate - baseRate;
            if (!IsGoods(f) && f.payee == 0) {
              PostPlayerMessage(world, payer, self, kMsgForcedRepayment, nullptr, MessageParams{});
              BroadcastPlayerMessage(world, payer, kMsgForcedRepaymentNews, kMsgForcedRepaymentNews,
                                     kMsgForcedRepaymentNews, kMsgForcedRepaymentNews, nullptr, MessageParams{});
            }
          }
        } else {
          GameDate date;
          date.dayNumber = today;
          DayNumberToDate(date);
          date.year = static_cast<int16_t>(date.year + f.termYears);
          DateToDayNumber(date);
          f.maturityDay = static_cast<uint32_t>(date.dayNumber);
          f.rate = PlayerRatingB(world, payer, months);
          PostPlayerMessage(world, payer, self, kMsgRolledOver, nullptr, MessageParams{});
        }
      }
      StoreRecurringFields(*item, f);
    }
    ListNode* next = item->next();
    if (next == first) break;
    item = static_cast<RecurringItem*>(next);
  }

  region.debtKind0 = totals[0];
  region.debtKind1 = totals[1];
  region.debtKind2 = totals[2];
  region.heldDebt = held;
}
