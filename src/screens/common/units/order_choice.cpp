#include "screens/common/units/order_choice.h"

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/shown_facility.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/units/order_settings.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/combat/fire_sight.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "units/unit_order_issue.h"
#include "world/text/rule_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

UnitOrderIssuer g_unitOrderIssuer = nullptr;
void (*g_openTargetPicker)(int32_t orderId) = nullptr;

namespace {

constexpr int kAirCategory = 1;

ListHolder g_targets{};

const OrderTypeRecord* Definition(int32_t orderId) {
  if (orderId < 0 || orderId >= kOrderTypeCount) return nullptr;
  return &g_ruleTables.orderTypes.entries[orderId];
}
// An order aimed only at enemies: of the unit relations only the hostile
// one may be targeted.
bool EnemyOnly(const OrderTypeRecord& d) {
  return d.unitRelation[3] && !d.unitRelation[0] && !d.unitRelation[1] && !d.unitRelation[2];
}
bool FacilityTarget(const OrderTypeRecord& d) {
  return d.facilityRelation[0] || d.facilityRelation[1] || d.facilityRelation[2] || d.facilityRelation[3];
}
bool SettlementTarget(const OrderTypeRecord& d) {
  return d.hexRelation[0] || d.hexRelation[1] || d.hexRelation[2] || d.hexRelation[3];
}

HexCell* CellAt(World& world, uint32_t packed) {
  const int32_t x = PackedHexColumn(packed), y = PackedHexRow(packed);
  if (x < 0 || y < 0 || x >= world.mapWidth || y >= world.mapHeight) return nullptr;
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x);
  return index < world.cells.size() ? &world.cells[index] : nullptr;
}

uint32_t SelectedHex(const World& world) {
  const HexPosition& h = world.gameState.currentHex;
  return PackHex(h.x, h.y);
}

struct HexCount {
  int32_t enemies = 0, all = 0;
  UnitRecord* lastEnemy = nullptr;
  UnitRecord* lastUnit = nullptr;
};

HexCount CountHex(World& world, uint32_t packed) {
  HexCount n;
  HexCell* cell = CellAt(world, packed);
  if (!cell || !cell->stack) return n;
  const int local = world.gameState.localPlayer;
  if ((world.scenario.head.gameFlags & kGameFlagFog) && !SideSpotsHex(world, packed, local)) return n;
  for (UnitRecord* head : cell->stack->chainB)
    for (UnitRecord* u = ChainLink(head); u; u = ChainLink(u->nextInChainB)) {
      if ((u->unitFlags & kUnitGone) || !LocalPlayerSeesUnit(world, *u)) continue;
      ++n.all;
      n.lastUnit = u;
      if (UnitRelationCode(world, *u, local) == kRelationHostile) {
        ++n.enemies;
        n.lastEnemy = u;
      }
    }
  return n;
}

}  // namespace

ListHolder& TargetList() { return g_targets; }

void IssueOrderToSelection(ScreenSet& screens, int32_t orderId, uint32_t hex, UnitRecord* target,
                           bool settingsOnly, uint32_t extra) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  for (UnitRecord* unit : SelectedUnits(world, screens)) {
    if (orderId == kOrderCancelAll) {
      PostArgs(kCmdUnitCancelOrders, OrderUnitArgs{.unit = unit->id});
      if (unit->kind == kAirCategory && IsUnitLive(*unit) && !(unit->ordersShown[kPostureBits] & 1u) &&
          unit->carrier == 0)
        PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = unit->id, .flags = 2, .mask = 0});
      continue;
    }
    ApplyOrderSettingsToUnit(screens.ordersScreen.edit, *unit);
    if (settingsOnly) {
      PostArgs(kCmdAssignRouteSteps, OrderUnitArgs{.unit = unit->id});
      continue;
    }
    if (g_unitOrderIssuer)
      g_unitOrderIssuer(world, *unit, orderId, hex, target);
    else
      IssueUnitOrder(world, *unit, orderId, hex, nullptr, target, 0, 0, -1);
    if (extra != 0) PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = unit->id, .value = extra});
  }
}

void ExecuteOrderChoice(ScreenSet& screens, int32_t orderId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  bool empty;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    empty = SelectedUnits(world, screens).empty();
  }
  if (empty || orderId == 0) {
    CloseMapPopups(screens);
    return;
  }
  if (orderId == kOrderOpenOrdersPanel) {
    // Picked on the menu of a hex: the panel's orders may aim at it.
    g_selection.orderMenu = 1;
    ShowUnitOrdersPanel(screens);
    return;
  }
  int32_t order = orderId;
  UnitRecord* target = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const uint32_t clicked = g_selection.clickedHex ? g_selection.clickedHex : SelectedHex(world);
    const HexCount n = CountHex(world, clicked);
    const int32_t others = n.all - n.enemies;
    if (orderId == kDefaultOrderChoice) {
      order = n.enemies == 0 ? kMoveOrder : n.enemies == 1 ? kOrderAttackUnit : kOrderAttackHex;
      if (n.enemies == 1) target = n.lastEnemy;
    } else if (const OrderTypeRecord* d = Definition(orderId); d && (d->orderFlags & kOrderLoadInto)) {
      if (EnemyOnly(*d)) {
        HexCell* cell = CellAt(world, clicked);
        const bool facility = FacilityTarget(*d) && cell && ShownFacility(world, *cell);
        if (facility && n.enemies > 1) {
          if (g_openTargetPicker) g_openTargetPicker(orderId);
          return;
        }
        if (n.enemies == 1 && !facility) target = n.lastEnemy;
      } else if (others > 1) {
        if (g_openTargetPicker) g_openTargetPicker(orderId);
        return;
      } else if (others == 1) {
        target = n.lastUnit;
      } else {
        order = kMoveOrder;
      }
    }
  }
  IssueOrderToSelection(screens, order, SelectedHex(world), target, false, 0);
  CloseMapPopups(screens);
}

void CollectTargets(World& world, ListHolder& targets, int32_t orderId) {
  ListHolderClear(targets);
  const OrderTypeRecord* d = Definition(orderId);
  const uint32_t mask = d && EnemyOnly(*d) ? kRelationHostile : 15u;
  const uint32_t hex = SelectedHex(world);
  HexCell* cell = CellAt(world, hex);
  if (!cell || !cell->stack) return;
  for (UnitRecord* head : cell->stack->chainB) {
    UnitRecord* first = ChainLink(head);
    if (!first) continue;
    CollectUnitsArgs a;
    a.resultList = &targets;
    a.viewingPlayer = world.gameState.localPlayer;
    a.relationMask = mask;
    a.orderBit1AndSorting = 1;
    a.orderStatus = 1;
    a.hex = &hex;
    a.start = first;
    a.chainB = 1;
    a.visibleOnly = 1;
    CollectUnits(world, a);
  }
}

void PickTarget(World& world, ListHolder& targets, ListBoxControl* list, int32_t orderId) {
  if (list) ListClear(list, 1);
  CollectTargets(world, targets, orderId);
  const OrderTypeRecord* d = Definition(orderId);
  HexCell* cell = CellAt(world, SelectedHex(world));
  UnitRecord* facility = cell ? ShownFacility(world, *cell) : nullptr;
  const UnitClassRecord* cls = facility ? UnitClassOf(world, *facility) : nullptr;
  if (list && d && cls && (FacilityTarget(*d) || SettlementTarget(*d))) {
    const char* text = (cls->flags & kClassSettlementPopulation) ? "Target Settlement"
                       : (cls->flags & kClassRoad)                ? "Target Transport"
                                                                  : "Target Facility";
    ListAddTextItem(list, text, -1, -1, 0, 0, 0);
  }
  FillUnitList(world, list, targets, false, false, -1);
}
