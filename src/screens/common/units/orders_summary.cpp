#include "screens/common/units/orders_summary.h"

#include <algorithm>
#include <cstdio>

#include "app/game_math.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "units/unit_short_status.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// Where the orders stand beside the cargo and experience rows, and the
// room their longest lines need there ("WAITING TRANSPORT").
constexpr int32_t kBesideOrdersLeft = 88, kBesideOrdersWidth = 110;
// A cargo chain longer than this loops; its walk stops there.
// The cargo icons sort stock by its special kind: the two weapon kinds,
// then the other, then the rest.
constexpr uint32_t kIconWeaponKinds = kClassSpecialWeaponA | kClassSpecialWeaponB;

// Rounded to the nearest whole number; what no integer holds shows 0.
int32_t Rounded(float value) {
  const int32_t r = CheckedTrunc(value < 0.0f ? value - 0.5f : value + 0.5f);
  return r == INT32_MIN ? 0 : r;
}

void SetPair(Control* c, float a, float b) {
  if (!c) return;
  char text[48];
  std::snprintf(text, sizeof text, "%d/%d", Rounded(a), Rounded(b));
  SetControlText(c, text);
}

void SetRoundedPercent(Control* c, float ratio) {
  if (!c) return;
  char text[32];
  std::snprintf(text, sizeof text, "%d %%", Rounded(ratio * 100.0f));
  SetControlText(c, text);
}

// Walks the unit's carried units (by id); f sees each live one.
template <typename F>
void ForEachCarried(const World& world, const UnitRecord& unit, F f) {
  int guard = 0;
  for (uint32_t next = unit.cargoNext; next != 0 && guard < kCargoChainLimit; ++guard) {
    const UnitRecord* aboard = FindUnitById(world, next);
    if (!aboard) break;
    next = aboard->cargoNext;
    if (const UnitClassRecord* k = ClassRecordAt(world, aboard->classIndex)) f(*aboard, *k);
  }
}

bool ShowsOrdersOf(const World& world, const UnitRecord& unit) {
  const int32_t local = world.gameState.localPlayer;
  if (unit.owner == local) return true;
  if (local < 0 || local >= kMaxPlayers || unit.owner >= 32) return false;
  const PlayerPolicyBlock& p = world.players[local].displayPolicy;
  const uint32_t bit = 1u << unit.owner;
  return !(p.hostileMask & bit) && (p.friendlyMask & bit);
}

}  // namespace

AmmunitionRoom AmmunitionRoomOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  AmmunitionRoom room;
  room.capacity = cls.ammoCapacity * unit.strength;
  if (unit.carrier != 0 || unit.cargoNext == 0) return room;
  ForEachCarried(world, unit, [&](const UnitRecord& aboard, const UnitClassRecord& k) {
    if (aboard.strength > 0.0f)
      room.load += k.weight * aboard.strength + UnitLoadTotal(world, aboard, true, true, true) + aboard.ammo;
  });
  if (unit.supply != 0.0f) return room;
  const float spare = cls.carryCapacity * unit.strength - room.load;
  if (spare < 0.0f) room.capacity = std::max(0.0f, room.capacity + spare);
  return room;
}

SelectionTotals TotalsOf(const World& world, std::span<const UnitRecord* const> units) {
  SelectionTotals t;
  float ratios = 0.0f;
  for (const UnitRecord* u : units) {
    const UnitClassRecord* k = ClassRecordAt(world, u->classIndex);
    if (!k) continue;
    ++t.count;
    t.personnel += static_cast<float>(k->valuePerPoint) * u->strength;
    t.strength += u->strength;
    const float cap = AmmunitionRoomOf(world, *u, *k).capacity;
    ratios += cap == 0.0f ? 1.0f : SafeDivide(u->ammo, cap);
    const float fuel = k->fuelCapacity * u->strength;
    ratios += fuel == 0.0f ? 1.0f : SafeDivide(u->fuel, fuel);
  }
  t.supply = t.count == 0 ? 0.0f : ratios / (2.0f * static_cast<float>(t.count));
  return t;
}

void DrawUnitSummary(OrdersUnitSummary& summary, const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = summary.currentForm;
  const UnitClassRecord* k = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!f || !k) return;
  summary.FitToHost();
  const World& world = g_world;
  SetControlText(Tag(f, "NAME"), k->name);
  const float maximum = static_cast<float>(k->strengthPerSize) * unit->targetStrength;
  SliderSetMaxAndValueFloat(TagAs<SlideBarControl>(f, "STRSLDR"), maximum, unit->strength);
  if (k->strengthPerSize == 1) {
    SetRoundedPercent(Id(f, 401), unit->strength);
  } else {
    SetPair(Id(f, 401), unit->strength, maximum);
  }
  const AmmunitionRoom room = AmmunitionRoomOf(world, *unit, *k);
  SliderSetMaxAndValueFloat(TagAs<SlideBarControl>(f, "AMMOSLDR"), room.capacity, unit->ammo);
  // Rounds of the whole unit; a unit of no strength holds none rather than
  // a quotient by zero.
  const float perRound = k->ammoPerShot * unit->strength;
  if (k->ammoPerShot > 0.0f) {
    SetPair(Id(f, 403), SafeDivide(unit->ammo, perRound), SafeDivide(room.capacity, perRound));
  } else {
    SetPair(Id(f, 403), 0.0f, 0.0f);
  }
  const float fuel = k->fuelCapacity * unit->strength;
  if (SlideBarControl* bar = TagAs<SlideBarControl>(f, "FUELSLDR")) {
    SliderSetMaxFloat(bar, fuel);
    if (fuel >= 1.0f) {
      SliderSetValueFloat(bar, unit->fuel);
    } else {
      SliderSetPosition(bar, 10000);
    }
  }
  SetPair(Id(f, 402), unit->fuel, fuel);
  const bool missiles = k->cargoSlots > 0 && unit->owner == world.gameState.localPlayer;
  SetHidden(Tag(f, "CARGO"), missiles);
  SetHidden(Tag(f, "MISSILE"), !missiles);
  SlideBarControl* cargo = TagAs<SlideBarControl>(f, "CARGOSLDR");
  if (missiles) {
    float slots = 0.0f;
    ForEachCarried(world, *unit, [&](const UnitRecord& aboard, const UnitClassRecord& c) {
      slots += static_cast<float>(c.slotSize) * aboard.strength;
    });
    const float most = static_cast<float>(k->cargoSlots) * unit->strength;
    SliderSetMaxAndValueFloat(cargo, most, slots);
    if (cargo) cargo->rawMarker = 0;
    SetPair(Id(f, 404), slots, most);
  } else {
    const float most = k->carryCapacity * unit->strength;
    const float carried = unit->carrier == 0 ? room.load : 0.0f;
    SliderSetMaxAndValueFloat(cargo, most, unit->supply + carried);
    if (cargo) cargo->rawMarker = static_cast<uint16_t>(SliderPositionOfFloat(cargo, carried));
    SetPair(Id(f, 404), unit->supply + carried, most);
  }
  SliderSetMaxAndValueFloat(TagAs<SlideBarControl>(f, "EFFSLDR"), 1.2f, unit->efficiency);
  SetRoundedPercent(Id(f, 405), unit->efficiency);
  if (summary.classParent && summary.classRow) {
    SetHidden(summary.classParent, false);
    summary.classParent->Invalidate();
    summary.classRow->Show(k->typeByte, summary.classParent);
  }
  SliderSetMaxAndValueFloat(TagAs<SlideBarControl>(f, "EXPSLDR"), 5.0f, unit->experience);
  if (Control* c = Id(f, 408)) {
    char text[48];
    std::snprintf(text, sizeof text, "%d Experience", Rounded(unit->experience * 100.0f));
    SetControlText(c, text);
  }
  int32_t groups[3] = {0, 0, 0};
  if (unit->carrier == 0) {
    ForEachCarried(world, *unit, [&](const UnitRecord& aboard, const UnitClassRecord& c) {
      if (!(aboard.unitFlags & kUnitStock) || aboard.strength < 1.0f) return;
      const int g = (c.flags & kIconWeaponKinds) ? 0 : (c.flags & kClassSpecialImmune) ? 1 : 2;
      groups[g] += Rounded(aboard.strength);
    });
  }
  SetHidden(Id(f, 666), groups[0] == 0);
  SetHidden(Id(f, 667), groups[1] == 0);
  SetHidden(Id(f, 665), groups[2] == 0 && k->ammoCapacity == 0.0f);
  Control* owner = Tag(f, "FLAG");
  FillRegionRow(owner, "", unit->owner);
  // Where the leader's name after the region's does not fit, the region's
  // name alone reads whole rather than cut.
  if (const auto* text = dynamic_cast<const StringControl*>(owner); text && text->ShownText().text != text->text)
    SetControlText(owner, RegionDisplayName(world, unit->owner));
  const bool orders = ShowsOrdersOf(world, *unit);
  // The destination has a line of its own under the order: both on one
  // line are wider than the row.
  const UnitShortStatus status = orders ? UnitStatusShortParts(world, *unit) : UnitShortStatus{};
  SetControlText(Tag(f, "ORDERS"), status.status.c_str());
  SetControlText(Tag(f, "DEST"), status.destination.c_str());
  SetHidden(Tag(f, "ORDERSBOX"), !orders);
}

void OrdersUnitSummary::BindControls() {
  hostLink = &g_screens.selectedUnitBox.summaryParent;
  classParent = Tag(currentForm, "CLASSPAR");
  Control* f = currentForm;
  widened_[kForm] = f, widened_[kFlag] = Tag(f, "FLAG"), widened_[kOrdersBox] = Tag(f, "ORDERSBOX");
  widened_[kOrders] = Tag(f, "ORDERS"), widened_[kDestination] = Tag(f, "DEST");
  for (int i = 0; i < kWidened; ++i) formRects_[i] = widened_[i] ? widened_[i]->rect : plat::Rect{};
}

// The owner's row and the orders run longest ("Westholm (PLAYER)", "WAITING
// TRANSPORT", "Dest X:078 Y:030"): a host wider than the form (the unit
// list's orders panel) gives them its room, out to its right edge. The
// orders screen's host is lower than the form and wider: there the orders
// stand beside the cargo and experience rows, the owner's row under them.
// Another host may show the form next, so each fit starts from the form's
// own places.
void OrdersUnitSummary::FitToHost() {
  Control* f = currentForm;
  if (!f) return;
  for (int i = 0; i < kWidened; ++i)
    if (widened_[i]) widened_[i]->rect = formRects_[i];
  if (!f->parent) return;
  const int32_t formWidth = formRects_[kForm].right - formRects_[kForm].left;
  const int32_t extra = std::max(Width(f->parent) - formWidth, 0);
  for (int i = 0; i < kWidened; ++i)
    if (widened_[i]) widened_[i]->rect.right += extra;
  Control* box = widened_[kOrdersBox];
  Control* flag = widened_[kFlag];
  const int32_t formHeight = formRects_[kForm].bottom - formRects_[kForm].top;
  const int32_t lower = formHeight - Height(f->parent);
  if (!box || !flag || lower <= 0 || Width(f->parent) < kBesideOrdersLeft + kBesideOrdersWidth) return;
  // The cargo and experience rows end where the orders begin.
  box->rect = {kBesideOrdersLeft, flag->rect.top - lower - Height(box), f->rect.right, flag->rect.top - lower};
  flag->rect.top -= lower, flag->rect.bottom -= lower;
  f->rect.bottom -= lower;
  for (Control* line : {widened_[kOrders], widened_[kDestination]})
    if (line) line->rect.right = Width(box) - line->rect.left;
}

void OrdersUnitSummary::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
  DrawUnitSummary(*this, unit && IsUnitLive(*unit) ? unit : nullptr);
}

namespace {

class OrdersScreenA : public Screen {
 public:
  OrdersScreenA() : Screen("ORDERS1a") {}
  void BindControls() override { hostLink = &g_screens.ordersScreen.orderParent; }
  void Refresh() override {
    Control* f = currentForm;
    if (!f) return;
    SelectionTotals t;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const std::vector<UnitRecord*> units = SelectedUnits(g_world, g_screens);
      const std::vector<const UnitRecord*> view(units.begin(), units.end());
      t = TotalsOf(g_world, view);
    }
    char text[32];
    const auto put = [&](const char* tag, int32_t v) {
      if (Control* c = Tag(f, tag)) {
        std::snprintf(text, sizeof text, "%d", v);
        SetControlText(c, text);
      }
    };
    put("TOT", t.count);
    put("PERS", Rounded(t.personnel));
    put("CSTR", Rounded(t.strength));
    if (Control* c = Tag(f, "CSUP")) {
      std::snprintf(text, sizeof text, "%3.0f %%", static_cast<double>(t.supply * 100.0f));
      SetControlText(c, text);
    }
  }
};

}  // namespace

std::unique_ptr<Screen> MakeOrdersScreenA() { return std::make_unique<OrdersScreenA>(); }

void OrdersScreenB::BindControls() {
  hostLink = &g_screens.ordersScreen.orderParent;
  summaryParent = Tag(currentForm, "ORDERS1C");
  if (!summaryParent && currentForm && ControlTagMatches(currentForm->tag, "ORDERS1C")) summaryParent = currentForm;
}

void OrdersScreenB::Refresh() {
  summary_.Show(id, summaryParent);
  Control* f = currentForm;
  if (!f) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
    if (const UnitClassRecord* k = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr)
      DrawUnitPicture(f, *k, unit, -1, 1);
  }
  f->Invalidate();
}

void OrdersScreenB::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "CENTRE")) return;
  uint32_t hex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
    if (!unit) return;
    hex = PackHex(unit->x, unit->y);
  }
  CentreMapOnHex(g_mapView, hex);
}
