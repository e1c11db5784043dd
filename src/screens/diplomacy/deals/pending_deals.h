#pragma once
// The deals already running between two regions: the agreements in force
// and the recurring payments and deliveries from one to the other, as the
// negotiation pop-up and the region panels list them.
//
// A row's value is an agreement index or a recurring item's id. Item ids
// come from the game-wide counter (1, 2, 3, ...) and so overlap agreement
// indexes: whoever acts on a row decides by its kind, never by the size of
// the value.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"

inline constexpr uint8_t kPendingAgreement = 0;  // value: agreement index 1..127
inline constexpr uint8_t kPendingMoney = 1;      // value: recurring item id
inline constexpr uint8_t kPendingGoods = 6;      // value: recurring item id

struct PendingDealRow {
  uint8_t kind = kPendingAgreement;
  uint32_t value = 0;
  bool operator==(const PendingDealRow&) const = default;
};

// The rows of one list, by row id: row id n is rows[n - 1].
struct PendingDealRows {
  std::vector<PendingDealRow> rows;

  // The row of a row id, or null for 0 and ids the list does not have.
  const PendingDealRow* Find(int32_t rowId) const;
};

// The rows of what the giver gives the receiver: first the agreements the
// receiver holds with the giver, then the running recurring items from the
// giver to the receiver. Reads the world under the simulation lock.
std::vector<PendingDealRow> CollectPendingDeals(World& world, int32_t receiver, int32_t giver);

// The text of a recurring item's row: "%s %s" or "%dx %s %s" (payments,
// frequency, amount), then " Arrears " and the arrears when there are any.
std::string PendingItemText(World& world, uint32_t itemId);

// Refills the list with those rows (the list may be null: only the rows are
// made); keeps the selected row's deal and the scroll position.
void FillPendingDeals(World& world, ListBoxControl* list, int32_t receiver, int32_t giver, PendingDealRows& rows);

// The selected row's deal, or null when none is selected.
const PendingDealRow* SelectedPendingDeal(const ListBoxControl* list, const PendingDealRows& rows);
