#include "screens/diplomacy/deals/pending_deals.h"

#include <optional>
#include <string>

#include "app/number_text.h"
#include "sim/policy_block_fields.h"
#include "sim/simulation_lock.h"
#include "ui/list_control.h"
#include "world/id_lookups.h"
#include "world/recurring_item.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"
#include "world/local_player.h"

namespace {

constexpr int kAgreementIndexes = 128;  // indexes 1..127 are agreements

const char* AgreementName(int index) {
  const TreatyTypeEntry* entry = TreatyType(g_ruleTables.rTreatyTypes, index);
  return entry && entry->name ? entry->name.get() : nullptr;
}

void AmountText(const RecurringFields& f, float amount, char (&out)[kNumberTextSize]) {
  if (f.flags & kRecurringGoods)
    FormatNumberText(out, 0, 0, TextListText(kListProdtabs, f.product), 0, TextListText(kListProdunits, f.product), 0,
                     amount);
  else
    FormatNumberText(out, 1, 0, "", 1, "", 0, amount);
}

std::string ItemText(const RecurringFields& f) {
  char amount[kNumberTextSize];
  AmountText(f, f.amount, amount);
  const char* frequency = TextListText(kListPayfrequency, f.periodKind);
  std::string text;
  if (f.paymentsLeft != 0 && f.periodKind != 0)
    text = std::to_string(f.paymentsLeft) + "x " + frequency + " " + amount;
  else
    text = std::string(frequency) + " " + amount;
  if (f.arrears != 0.0f) {
    char arrears[kNumberTextSize];
    AmountText(f, f.arrears, arrears);
    text += " Arrears ";
    text += arrears;
  }
  return text;
}

template <typename Visit>
void ForEachRecurringItem(World& world, Visit visit) {
  RecurringItem* first = world.recurringItems;
  for (RecurringItem* item = first; item;) {
    visit(*item);
    item = static_cast<RecurringItem*>(item->next());
    if (item == first) break;
  }
}

std::string RowText(World& world, const PendingDealRow& row) {
  if (row.kind == kPendingAgreement) {
    const char* name = AgreementName(static_cast<int>(row.value));
    return name ? name : "";
  }
  return PendingItemText(world, row.value);
}

}  // namespace

const PendingDealRow* PendingDealRows::Find(int32_t rowId) const {
  if (rowId < 1 || static_cast<size_t>(rowId) > rows.size()) return nullptr;
  return &rows[static_cast<size_t>(rowId) - 1];
}

std::vector<PendingDealRow> CollectPendingDeals(World& world, int32_t receiver, int32_t giver) {
  std::vector<PendingDealRow> rows;
  if (!IsPlayerSlot(receiver) || !IsPlayerSlot(giver)) return rows;
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerPolicyBlock& held = world.players[receiver].displayPolicy;
  const uint32_t giverBit = 1u << static_cast<unsigned>(giver);
  for (int i = 1; i < kAgreementIndexes; ++i)
    if (AgreementName(i) && (TreatyMask(held, i) & giverBit))
      rows.push_back({kPendingAgreement, static_cast<uint32_t>(i)});
  ForEachRecurringItem(world, [&](const RecurringItem& item) {
    const RecurringFields f = LoadRecurringFields(item);
    if (f.kind == kRecurringFinished || f.payee != receiver || f.payer != giver) return;
    rows.push_back({(f.flags & kRecurringGoods) ? kPendingGoods : kPendingMoney, f.globalSerial});
  });
  return rows;
}

std::string PendingItemText(World& world, uint32_t itemId) {
  const RecurringItem* item = FindRecurringItemById(world, itemId);
  return item ? ItemText(LoadRecurringFields(*item)) : std::string();
}

void FillPendingDeals(World& world, ListBoxControl* list, int32_t receiver, int32_t giver, PendingDealRows& rows) {
  // The selection follows its deal, which may have moved to another row.
  std::optional<PendingDealRow> kept;
  if (const PendingDealRow* selected = SelectedPendingDeal(list, rows)) kept = *selected;
  rows.rows = CollectPendingDeals(world, receiver, giver);
  if (!list) return;
  const int32_t keptScroll = list->scrollOffset;
  ListClear(list, 1);
  int32_t reselect = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (size_t n = 0; n < rows.rows.size(); ++n) {
      const PendingDealRow& row = rows.rows[n];
      const int32_t rowId = static_cast<int32_t>(n + 1);
      const std::string text = RowText(world, row);
      ListAddString(list, text.c_str(), rowId, static_cast<intptr_t>(row.value), static_cast<uint32_t>(text.size() + 1),
                    0, 0);
      if (kept && kept->kind == row.kind && kept->value == row.value) reselect = rowId;
    }
  }
  ListLayoutRows(list);
  ListSetSelection(0, list, reselect, 0);
  list->scrollOffset = keptScroll;
}

const PendingDealRow* SelectedPendingDeal(const ListBoxControl* list, const PendingDealRows& rows) {
  return list ? rows.Find(list->selectedId) : nullptr;
}
