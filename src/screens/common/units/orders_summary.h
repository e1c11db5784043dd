#pragma once
// What the orders screen shows above its list: the totals of the selected
// units (ORDERS1a), or, for one unit, its picture and its summary row
// (ORDERS1b holding ORDERS1c). The summary row is also the unit panel's and
// the unit picker's. Window thread; the fills hold the simulation lock.
#include <memory>
#include <cstdint>
#include <span>

#include "platform/window.h"
#include "ui/screen.h"

class Control;
class UnitClassRow;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// What a unit's ammunition may fill: its class's ammunition per point times
// its strength, less what its carried units overrun of its cargo room (an
// uncarried carrier without goods of its own); never below 0. load is the
// weight of its carried units as the summary's cargo row counts them.
struct AmmunitionRoom {
  float capacity = 0.0f;
  float load = 0.0f;
};
AmmunitionRoom AmmunitionRoomOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls);

// The totals box's figures over the units.
struct SelectionTotals {
  int32_t count = 0;
  float personnel = 0.0f;
  float strength = 0.0f;
  float supply = 0.0f;  // the mean of the fuel and ammunition ratios, 0-1
};
SelectionTotals TotalsOf(const World& world, std::span<const UnitRecord* const> units);

// ORDERS1c: one unit's summary row; the screen's id is the unit's id. The
// class row is the one shown inside "CLASSPAR" (none: not shown).
class OrdersUnitSummary : public Screen {
 public:
  OrdersUnitSummary() : Screen("ORDERS1c") {}
  void BindControls() override;
  void Refresh() override;
  // Widens the longest texts' places to a host wider than the form; a host
  // lower than the form but wide enough has the orders beside the cargo
  // and experience rows.
  void FitToHost();
  Control* classParent = nullptr;
  UnitClassRow* classRow = nullptr;

 private:
  enum Widened { kForm, kFlag, kOrdersBox, kOrders, kDestination, kWidened };
  Control* widened_[kWidened] = {};
  plat::Rect formRects_[kWidened] = {};
};

// Draws the summary row of the unit into the summary's form; nothing for a
// null unit. Hold the simulation lock.
void DrawUnitSummary(OrdersUnitSummary& summary, const UnitRecord* unit);

// ORDERS1a: the totals of the selection.
std::unique_ptr<Screen> MakeOrdersScreenA();

// ORDERS1b: one selected unit, its picture and its summary row; the id is
// the unit's.
class OrdersScreenB : public Screen {
 public:
  explicit OrdersScreenB(OrdersUnitSummary& summary) : Screen("ORDERS1b"), summary_(summary) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  Control* summaryParent = nullptr;

 private:
  OrdersUnitSummary& summary_;
};
