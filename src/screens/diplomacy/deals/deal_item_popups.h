#pragma once
// The small panels the deal editor shows for a picked item, one set per
// side: an agreement's description, the amount, frequency and number of a
// payment or a delivery of goods, and the quantity of a unit or a stock of
// missiles. Each change refreshes the panel, then the editor. Window thread.
#include <cstddef>
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "ui/screen.h"

inline constexpr int32_t kMostPayments = 999;
inline constexpr int32_t kFewestInstalments = 2;

// MINUSBUT and PLUSBUT on a payment count (0: continuous).
int32_t PaymentCountAfter(int32_t count, int32_t step);
// EQUAL: each payment's share of the balance.
float EqualPayment(float balance, int32_t count);
// MINUSBUT and PLUSBUT on a deal quantity, and a typed one: at least 1, at
// most the cap and the rounded strength.
int32_t DealQuantityStep(int32_t quantity, int32_t step, float strength);
int32_t DealQuantityTyped(int32_t typed, float strength);

// Where a picked payment or goods item lives: a side's template, or a
// position in the side's group. Looked up again on each use, since adding
// to the group moves its items.
struct DealItemPlace {
  int32_t side = 0;
  bool inGroup = false;
  int32_t kind = kDealPayment;
  uint32_t item = 0;
};
DealItem* ResolveDealItem(const DealItemPlace& place);

inline constexpr const char* kDealItemInfoTags[] = {"NAME", "INFOTEXT"};
inline constexpr const char* kDealAmountTags[] = {"HIDE1",     "EQUAL",    "GRIDEQUAL1", "HIDE2",      "AMNTSLDR",
                                                  "AMOUNT",    "AMOUNTVAL", "STOCK",     "FREQUENCY",  "CHECKBOX",
                                                  "PAYMENTS",  "CONTINUOUS", "NUMBER",   "MINUSBUT",   "PLUSBUT"};
inline constexpr int32_t kDealAmountIds[] = {200, 201, 202, 203, 204};
inline constexpr const char* kDealUnitTags[] = {"NAME", "UCOST", "HIDESTR", "LOCATION", "QTYHIDE", "ALLHIDE",
                                                "ALLPACK", "MQTY", "MINUSBUT", "PLUSBUT", "STRENGTH", "INSPECT",
                                                "STATPARENT"};

class DealItemInfo : public Screen {
 public:
  DealItemInfo() : Screen("POPUP_DIPLOMACY_SS1a", FormLookups{.tags = kDealItemInfoTags, .ids = {}}) {}
  explicit DealItemInfo(const char*) : DealItemInfo() {}
  void Refresh() override;
};

class DealAmountPicker : public Screen {
 public:
  DealAmountPicker() : Screen("POPUP_DIPLOMACY_SS1b", FormLookups{.tags = kDealAmountTags, .ids = kDealAmountIds}) {}
  explicit DealAmountPicker(const char*) : DealAmountPicker() {}
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  int32_t player = 0;  // the giver
  DealItemPlace place;
  float balance = 0.0f;

 private:
  void Changed();
};

// The strength group: its bar, its figure and the figure beside the bar;
// the view switches of the unit sheets turn every such group between bar
// and figure.
inline constexpr int32_t kStrengthBar = 130, kStrengthText = 230, kStrengthHint = 930;
// The class sheets and category rows the two sides show (one each).
inline constexpr size_t kDealClassSheet = 12, kDealCategoryRow = 12;

class DealUnitPicker : public Screen {
 public:
  DealUnitPicker() : Screen("POPUP_DIPLOMACY_SS1e", FormLookups{.tags = kDealUnitTags, .ids = {}}) {}
  explicit DealUnitPicker(const char*) : DealUnitPicker() {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  int32_t side = 0;
  uint32_t unitId = 0;  // 0: a design (the id is its class)
  int32_t quantity = 1;

 private:
  OfferUnit* Entry();
  float Strength() const;
  void Store(int32_t q);
  void ShowStrength(float strength, float fullStrength, float size);
  void Inspect();
};

inline constexpr const char* kDealDiscoveryTags[] = {"NAME", "UCOST", "DESC", "INSPECT", "CLASSPAR"};

class DealDiscoveryInfo : public Screen {
 public:
  DealDiscoveryInfo() : Screen("POPUP_DIPLOMACY_SS1f", FormLookups{.tags = kDealDiscoveryTags, .ids = {}}) {}
  explicit DealDiscoveryInfo(const char*) : DealDiscoveryInfo() {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t side = 0;
};

// Shows the item's panel in the side's host: kind 0 the agreement, 1 and 6
// the amount, 2 and 7 the unit, 5 the design, 4 the technology, 3 the land
// tag (item: the tag + 1).
void ShowDealItemPopup(int32_t kind, int32_t side, int32_t listIndex, uint32_t item, int32_t player);
