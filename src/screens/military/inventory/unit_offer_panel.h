#pragma once
// The offer panels of the stored units: MILITARY1_ss4a2 prices units for
// sale (what they cost, what they would fetch), MILITARY1_ss4a3 for scrap
// (the goods salvaged); OK gives the order. They show inside a container of
// another screen's form, on one unit (their id) or on the selected rows of
// the list handed to them, and give way to that screen when done. The
// offer is always for whole units: the disposal orders take the whole unit.
// Window thread; reads of the world hold the simulation lock.
#include <cstdint>

#include "ui/screen.h"

class ListBoxControl;
struct UnitClassRecord;
struct World;

// The figures of one unit: its cost, the resale part of the offer, the
// offer and the goods salvaged.
struct OfferFigures {
  float cost = 0.0f;
  float resaleBase = 0.0f;
  float offer = 0.0f;
  float salvaged = 0.0f;
};

// What the pricing reads of a unit and its seller.
struct OfferInputs {
  float strength = 0.0f;
  uint8_t saleFlag = 0;
  float cargoValue = 0.0f;
  float ownValue = 0.0f;
  float sellerPrice = 0.0f;  // the seller's goods price
  float worldPrice = 0.0f;   // the world's
};
OfferFigures UnitOfferFigures(const UnitClassRecord& cls, const OfferInputs& in);

// The sale orders and the scrap orders, the second of each pair for a unit
// with a sale flag.
inline constexpr int kSaleOrder = 47, kSaleOrderFlagged = 49;
inline constexpr int kScrapOrder = 46, kScrapOrderFlagged = 48;

class UnitOfferPanel : public Screen {
 public:
  explicit UnitOfferPanel(const char* formName);
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  ListBoxControl* rowList = nullptr;  // its selected rows are offered; null offers the one unit
  uint32_t unit = 0;
  int32_t scrap = 0;
  int32_t offeredCount = 0;

 private:
  // The screen that owns the container gets its page back.
  void GiveWay();
};

// MILITARY1_ss4a4: a yes or no that gives the page back to the screen that
// owns its container.
class UnitOfferConfirm : public Screen {
 public:
  explicit UnitOfferConfirm(const char* formName = "MILITARY1_ss4a4") : Screen(formName) {}
  void OnCommand(Control* control, int32_t id) override;
};
