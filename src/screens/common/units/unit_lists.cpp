#include "screens/common/units/unit_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/game_math.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/screen_set.h"
#include "net/command_network.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "sim/game_command.h"
#include "units/combat/fire_sight.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/player_names.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using namespace listfields;

// Never listed: facilities' units and removed ones.
constexpr uint32_t kUnitNeverListed = kUnitFacility | kUnitGone;
// The longest cargo chain walked; a chain that loops ends there.
constexpr uint32_t kGreyRow = 0xFFC8C8C8u;
// What a form row leaves free at the list's right for its scroll bar.
constexpr int32_t kScrollBarRoom = 16;

bool LocalUnit(const World& world, const UnitRecord& unit) { return unit.owner == world.gameState.localPlayer; }

// Bit 0 of posture word: the local player's units by their display copy.
bool OrderStatusBit(const World& world, const UnitRecord& unit) {
  const OrderBlock& o = LocalUnit(world, unit) ? unit.ordersShown : unit.orders;
  return (o[kPostureBits] & 1u) != 0;
}

template <class Fn>
void ForEachCargo(const World& world, const UnitRecord& carrier, Fn fn) {
  uint32_t id = carrier.cargoNext;
  for (int n = 0; id != 0 && n < kCargoChainLimit; ++n) {
    const UnitRecord* cargo = FindUnitById(world, id);
    if (!cargo || cargo == &carrier) return;
    fn(*cargo);
    id = cargo->cargoNext;
  }
}

int32_t CargoRoomOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  int32_t limit = cls.cargoSlots;
  if (cls.strengthPerSize == 1 && cls.kind != 0) limit /= 10;
  float used = 0.0f;
  ForEachCargo(world, unit, [&](const UnitRecord& cargo) {
    if (const UnitClassRecord* c = UnitClassOf(world, cargo)) used += static_cast<float>(c->slotSize) * cargo.strength;
  });
  const int32_t free = CheckedTrunc(static_cast<float>(cls.cargoSlots) * unit.strength - used);
  return std::min(limit, free);
}

uint32_t MissileKindOf(const UnitClassRecord& cls) {
  if (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return 1;
  if (cls.flags & kClassSpecialImmune) return 4;
  return 8;
}

uint32_t LoadKinds(const World& world, const UnitRecord& unit) {
  if (unit.carrier != 0) return 0;
  int32_t amount[9] = {};
  ForEachCargo(world, unit, [&](const UnitRecord& cargo) {
    const UnitClassRecord* c = UnitClassOf(world, cargo);
    if (c && (cargo.unitFlags & kUnitStock) && cargo.strength >= 1.0f)
      amount[MissileKindOf(*c)] += CheckedTrunc(cargo.strength);
  });
  uint32_t mask = 0;
  for (uint32_t k : {1u, 4u, 8u})
    if (amount[k] != 0) mask |= k;
  return mask;
}

bool Passes(const World& world, const UnitRecord& u, const CollectUnitsArgs& a, int32_t category) {
  if ((u.unitFlags & kUnitNeverListed) || u.classIndex == 0) return false;
  const UnitClassRecord* cls = UnitClassOf(world, u);
  if (!cls || (cls->flags & kClassFacility)) return false;
  const bool stock = (cls->flags & kClassStock) != 0;
  const OrderBlock& shown = u.ordersShown;
  if (category >= 0) {
    if (stock ? !((cls->loadableMask >> (category & 31)) & 1u) : u.kind != category) return false;
  }
  if ((a.stock == 1) != stock) return false;
  if (a.subType != -1 && u.unitType != a.subType) return false;
  if (a.viewingPlayer >= 0 && a.relationMask != 15 && !(UnitRelationCode(world, u, a.viewingPlayer) & a.relationMask))
    return false;
  if (a.orderBit1AndSorting == 0 || a.orderBit1AndSorting == 1) {
    if (a.orderBit1AndSorting != ((shown[kPostureBits] & 2u) ? 0 : 1)) return false;
  }
  const bool status = OrderStatusBit(world, u);
  if (a.orderStatus == 1 && status) return false;
  if (a.orderStatus == 0 && !status) return false;
  if (a.word12Bit31 != -1 && static_cast<int32_t>(shown[kStateFlags] >> 31) != a.word12Bit31) return false;
  if (a.classGroup != -1 && cls->typeByte != a.classGroup) return false;
  if (a.flagBit14 != -1 && !(shown[kOrderFlags] & (1u << 28)) &&
      static_cast<int32_t>((u.unitFlags >> 14) & 1u) != a.flagBit14)
    return false;
  if (a.categoryBits && !((a.categoryBits >> (u.kind & 7)) & 1u)) return false;
  if (a.hex && PackHex(u.x, u.y) != *a.hex) return false;
  if (stock && !(u.strength > 0.0f)) return false;
  if ((u.unitFlags & kUnitStock) && !status) return false;
  if (shown[kStateFlags] & kStateModeC) return false;
  if (a.cargoRoom != -1) {
    if (stock) {
      if (a.cargoRoom < cls->slotSize) return false;
    } else if (cls->cargoSlots == 0 || a.cargoRoom > CargoRoomOf(world, u, *cls)) {
      return false;
    }
  }
  if (a.missileLoadKinds != -1) {
    const uint32_t load = stock ? MissileKindOf(*cls) : LoadKinds(world, u);
    const uint32_t want = static_cast<uint32_t>(a.missileLoadKinds);
    if (stock || want != 0 ? !(load & want) : load != 0) return false;
  }
  if (a.minimumFirepower != 0.0f && !(cls->firepower * u.strength >= a.minimumFirepower)) return false;
  if (a.visibleOnly && !LocalPlayerSeesUnit(world, u)) return false;
  if (a.excludeInBase && (u.unitFlags & kUnitInBase)) return false;
  return true;
}

ListItem28* AddUnit(ListHolder& list, UnitRecord& unit, const CollectUnitsArgs& a) {
  ListItem28* item;
  if (a.orderBit1AndSorting != 0) {
    const float key = static_cast<float>(unit.classIndex) + CategorySortBase(unit.kind);
    item = NewListNode(&unit, key, a.reverse != 0, 0, list);
  } else {
    item = NewListItem28(&unit, true, 0, list);
    if (item && a.reverse) list.first = item;  // the tail of a ring is one step from its head
  }
  if (item) item->callerWord = static_cast<intptr_t>(unit.id);
  return item;
}

ListHolder g_hexStackList{};

}  // namespace

uint32_t UnitRelationCode(const World& world, const UnitRecord& unit, int32_t viewer) {
  return RelationClassOf(world.players[viewer & 31], 0, unit.owner & 31);
}

bool LocalPlayerSeesUnit(const World& world, const UnitRecord& unit) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if (!(rules & kGameFlagFog)) return true;
  const int local = world.gameState.localPlayer;
  if (rules & kGameFlagUnitSight) return UnitVisibleToSide(world, unit, local);
  return SideSpotsHex(world, PackHex(unit.x, unit.y), local);
}

int32_t CollectUnits(World& world, const CollectUnitsArgs& args) {
  const int32_t category = args.category == 5 ? -1 : args.category;
  if (args.clearFirst && args.resultList) ListHolderClear(*args.resultList);
  UnitRecord* start = args.start ? args.start : world.units;
  int32_t passed = 0;
  UnitRecord* unit = start;
  while (unit) {
    if (Passes(world, *unit, args, category)) {
      ++passed;
      if (args.resultList) AddUnit(*args.resultList, *unit, args);
    }
    unit = args.chainB ? ChainLink(unit->nextInChainB) : unit->next;
    if (unit == start) break;
  }
  return passed;
}

ListHolder& HexStackList() { return g_hexStackList; }

void CollectHexStackUnits(World& world, uint32_t packedHex, int32_t viewer, uint32_t relationMask) {
  ListHolder& list = HexStackList();
  ListHolderClear(list);
  const int32_t width = world.mapWidth, height = world.mapHeight;
  if (width <= 0 || height <= 0) return;
  int32_t x = PackedHexColumn(packedHex) % width;
  if (x < 0) x += width;
  const int32_t y = PackedHexRow(packedHex);
  if (y < 0 || y >= height) return;
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (index >= world.cells.size() || !world.cells[index].stack) return;
  const HexUnitStack& stack = *world.cells[index].stack;
  const uint32_t rules = world.scenario.head.gameFlags;
  if (viewer >= 0 && (rules & kGameFlagFog) && !SideSpotsHex(world, PackHex(x, y), viewer)) return;
  const bool unitSight = (rules & kGameFlagFog) && (rules & kGameFlagUnitSight);
  int32_t seen = 0;
  for (UnitRecord* head : stack.chainB)
    for (const UnitRecord* u = ChainLink(head); u; u = ChainLink(u->nextInChainB)) {
      if (u->unitFlags & kUnitGone) continue;
      if (viewer >= 0 && unitSight && !UnitVisibleToSide(world, *u, viewer)) continue;
      if (viewer >= 0 && relationMask != 15 && !(UnitRelationCode(world, *u, viewer) & relationMask)) continue;
      ++seen;
      break;
    }
  if (seen == 0) return;
  for (UnitRecord* head : stack.chainB) {
    UnitRecord* first = ChainLink(head);
    if (!first) continue;
    CollectUnitsArgs a;
    a.resultList = &list;
    a.viewingPlayer = viewer;
    a.relationMask = relationMask;
    a.orderBit1AndSorting = 1;
    a.orderStatus = 1;
    a.start = first;
    a.chainB = 1;
    a.visibleOnly = 1;
    CollectUnits(world, a);
  }
}

UnitRecord* RefUnit(const World& world, const ListItem28& item) {
  UnitRecord* unit = item.callerWord != 0 ? FindUnitById(world, static_cast<uint32_t>(item.callerWord))
                                          : static_cast<UnitRecord*>(item.object);
  return unit && IsUnitLive(*unit) ? unit : nullptr;
}

void FillUnitList(World& world, ListBoxControl* list, ListHolder& units, bool clear, bool greyBusy, int32_t rowStyle) {
  if (rowStyle == -1) rowStyle = g_uiOptions.bshowallulistob;
  if (rowStyle != 0) ListUseFormRows(list);
  if (clear && list) ListClear(list, 1);
  units.listControl = list;
  if (!list) return;
  // Form rows span the list beside its scroll bar; their height is the
  // row form's own.
  const int32_t rowWidth = std::max(Width(list) - kScrollBarRoom, 0);
  const int32_t local = world.gameState.localPlayer;
  for (ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item)) {
    UnitRecord* unit = RefUnit(world, *item);
    if (!unit) break;
    if (rowStyle != 0) {
      Screen* row = (unit->unitFlags & kUnitStock) ? static_cast<Screen*>(&g_screens.missileProgress)
                                                   : static_cast<Screen*>(&g_screens.militaryProgress);
      ListAddIconItem(list, row, rowWidth, 0, static_cast<int32_t>(unit->id), 0, 0, 0);
      continue;
    }
    const std::string name = UnitDisplayName(world, *unit);
    Control* row = ListAddTextItem(list, name.c_str(), static_cast<int32_t>(unit->id), static_cast<intptr_t>(unit->id),
                                   0, 0, 0);
    const OrderBlock& o = unit->ordersShown;
    const uint32_t relation = UnitRelationCode(world, *unit, local);
    bool grey = (o[kStateFlags] & (1u << 30)) != 0;
    if ((o[kOrderFlags] != 0 || o[kOrderMask] != 0) && (relation == kRelationSelf || relation == kRelationFriendly))
      grey = true;
    if (greyBusy && ((o[kPostureBits] & 2u) || (o[kOrderFlags] & (1u << 28)) || (o[kStateFlags] & (1u << 26))))
      grey = true;
    if (grey && row) static_cast<ListTextRow*>(row)->textColour = kGreyRow;
  }
  ListLayoutRows(list);
}

int32_t FacilityKindOf(const World& world, int32_t classIndex) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return 0;
  const uint32_t f = cls->flags;
  if (f & kClassSettlementPopulation) return 0;
  if (f & kClassRoad) return 1;
  if (f & kClassProduction) return 5;
  if (f & kClassBuildsWorks) return 2;
  if (f & kClassSettlement) {
    if (listfields::FacilityTypeByte(*cls) != 0) return 6;
    if (cls->loadableMask != 0 || (f & (kClassHaven | kClassAirBase))) return 4;
    if (cls->carryCapacity > 0.0f) return 7;
  }
  return 0;
}

void CollectFacilityUnits(World& world, const CollectFacilityArgs& a) {
  if (!a.resultList) return;
  if (a.rowStyle != 0) ListUseFormRows(a.list);
  if (a.clearFirst) {
    ListHolderClear(*a.resultList);
    if (a.list) ListClear(a.list, 1);
  }
  a.resultList->listControl = a.list;
  ListHolder sorted{};
  if (UnitRecord* start = world.units) {
    UnitRecord* u = start;
    do {
      const UnitClassRecord* cls = UnitClassOf(world, *u);
      if (cls && (cls->flags & kClassFacility) && !(u->unitFlags & kUnitGone) && u->classIndex != 0) {
        const int32_t domain = (cls->flags & kClassHaven) ? 2 : static_cast<int32_t>((cls->flags >> 10) & 1u);
        const int32_t mask = cls->loadableMask;
        const bool ok = (a.owner == -1 || u->owner == a.owner) && (a.domain == -1 || domain == a.domain) &&
                        (a.facilityKind == -1 || FacilityKindOf(world, u->classIndex) == a.facilityKind) &&
                        (a.stockMaskTest == -1 || (mask != 0) == (a.stockMaskTest == 1)) &&
                        a.available == ((u->ordersShown[kPostureBits] & 1u) ? 0 : 1) &&
                        (a.facilityType == -1 || listfields::FacilityTypeByte(*cls) == a.facilityType);
        if (ok) {
          if (ListItem28* item = NewListNode(u, static_cast<float>(u->classIndex), true, 0, sorted))
            item->callerWord = static_cast<intptr_t>(u->id);
        }
      }
      u = u->next;
    } while (u && u != start);
  }
  for (ListItem28* item = FirstInHolder(sorted); item; item = NextInHolder(sorted, item)) {
    auto* unit = static_cast<UnitRecord*>(item->object);
    bool held = false;
    for (ListItem28* r = FirstInHolder(*a.resultList); r && !held; r = NextInHolder(*a.resultList, r))
      held = r->object == unit;
    if (held) continue;
    if (ListItem28* added = NewListItem28(unit, true, 0, *a.resultList)) added->callerWord = item->callerWord;
    if (!a.list) continue;
    // Rows name the hex's label, else its column and row.
    char text[48];
    const HexUnitStack* stack = nullptr;
    if (unit->x >= 0 && unit->y >= 0 && unit->x < world.mapWidth && unit->y < world.mapHeight) {
      const size_t index = static_cast<size_t>(unit->y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(unit->x);
      if (index < world.cells.size()) stack = world.cells[index].stack;
    }
    const char* label = stack && stack->extra && stack->extra->text && stack->extra->text[0] ? stack->extra->text : nullptr;
    if (label)
      std::snprintf(text, sizeof text, "%.47s", label);
    else
      std::snprintf(text, sizeof text, "X:%03d Y:%03d", unit->x, unit->y);
    Control* row = ListAddTextItem(a.list, text, static_cast<int32_t>(unit->id), static_cast<intptr_t>(unit->id), 0, 0, 0);
    if (row && a.available == 0) static_cast<ListTextRow*>(row)->textColour = kGreyRow;
  }
  ListHolderClear(sorted);
  if (a.list) ListLayoutRows(a.list);
}

std::string PlayerMaskNamesText(const World& world, uint32_t mask) {
  constexpr size_t kLimit = 1003;
  std::string text;
  const bool networked = IsNetworkGame(g_commandNet);
  for (int p = 0; p < kMaxPlayers; ++p) {
    if (!((mask >> p) & 1u)) continue;
    if (!text.empty()) text += "; ";
    text += LookupLocalizedName(world, world.players[p]);
    if (text.size() > kLimit) return text.substr(0, kLimit) + " ...";
    if (networked) {
      text += " (";
      text += GetPlayerDisplayName(world, world.players[p]);
      text += ")";
      if (text.size() > kLimit) return text.substr(0, kLimit) + "...";
    }
  }
  return text;
}

bool IconCellOf(int32_t index, IconCell& cell) {
  if (index < 0 || index >= 126) return false;
  cell.sheet = index / 63;
  const int32_t at = index % 63;
  cell.left = (at % 7) * 70;
  cell.top = (at / 7) * 56;
  cell.right = cell.left + 70;
  cell.bottom = cell.top + 56;
  return true;
}

void IconCellRect(int32_t index, Control* bitmap, Control* caption) {
  plat::CriticalSectionLock lock(g_simulationLock);
  IconCell cell;
  if (!IconCellOf(index, cell)) return;
  if (bitmap && bitmap->kind == kKindBitmap) {
    auto* b = static_cast<BitmapControl*>(bitmap);
    b->pictureSlot = cell.sheet == 0 ? &g_ui.bitmaps.cabinet : &g_ui.bitmaps.avatar;
    for (BitmapImage& image : b->images) image.source = plat::Rect{cell.left, cell.top, cell.right, cell.bottom};
    b->state |= kStateDirty;
  }
  // Index below the count: the table has no entry at the count itself. The
  // name is the entry's last 16 bytes, as the people importer writes it.
  constexpr size_t kPeopleNameAt = 40, kPeopleNameSize = 16;
  const World& w = g_world;
  if (!caption || index >= static_cast<int32_t>(w.peopleHeader.peopleCount)) return;
  const size_t at = static_cast<size_t>(index) * kPeopleEntrySize;
  if (at + kPeopleEntrySize > w.people.size()) return;
  char name[kPeopleNameSize + 1] = {};
  std::memcpy(name, &w.people[at + kPeopleNameAt], kPeopleNameSize);
  ControlSetText(caption, name);
}

void CollectFacilityPasses(World& world, CollectFacilityArgs walk, std::span<const FacilityPass> passes) {
  bool first = true;
  for (const FacilityPass& pass : passes) {
    walk.facilityKind = pass.facilityKind;
    walk.available = pass.available;
    walk.stockMaskTest = pass.stockMaskTest;
    walk.facilityType = pass.facilityType;
    walk.clearFirst = first ? 1 : 0;
    CollectFacilityUnits(world, walk);
    first = false;
  }
}

void CollectFacilitiesAvailableFirst(World& world, CollectFacilityArgs filters) {
  for (int32_t available : {1, 0}) {
    filters.available = available;
    filters.clearFirst = available;
    CollectFacilityUnits(world, filters);
  }
}
