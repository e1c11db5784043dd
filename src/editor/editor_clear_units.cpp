#include "editor/editor_clear_units.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "editor/editor_map_input.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/daily/elimination.h"
#include "sim/hex_refresh.h"
#include "sim/mail_ui_link.h"
#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

bool IsSettlement(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = ClassRecordAt(world, unit.classIndex);
  return cls && (cls->flags & kClassSettlementPopulation);
}

// Takes the unit out of the map and the ring and frees it.
void FreeUnit(World& world, UnitRecord* unit) {
  if (g_editorLinks.forgetUnit) g_editorLinks.forgetUnit(*unit);
  RemoveUnitFromMap(world, *unit);
  delete unit;
}

// A facility leaves its hex's state and its hex's lead place first.
void FreeFacility(World& world, UnitRecord* unit) {
  UnitHexRefresh(world, *unit);
  if (HexCell* cell = UnitHexCell(world, *unit))
    if (HexUnitStack* stack = cell->stack; stack && stack->lead == unit) stack->lead = nullptr;
  FreeUnit(world, unit);
}

std::vector<UnitRecord*> RingUnits(World& world) {
  std::vector<UnitRecord*> all;
  UnitRecord* const head = world.units;
  for (UnitRecord* u = head; u;) {
    all.push_back(u);
    u = u->next;
    if (u == head) break;
  }
  return all;
}

// The hex's settlement goes and its people with it.
void ClearSettlementLabel(HexExtra& e) {
  std::free(e.text);
  e.text = nullptr;
  e.HexExtraImage::text = 0;
  std::memset(e.bytes4, 0, 4);
  e.bytes16[16] = e.bytes16[17] = 0;
  for (int i = 0; i < 2; ++i) e.pairA[i] = e.pairB[i] = static_cast<uint8_t>(e.pairB[i] & 1);
  std::memset(e.bytes38 + 2, 0, 8);
}

bool PastEdge(int32_t x, int32_t y, int32_t width, int32_t height) { return x >= width || y >= height; }

}  // namespace

int32_t ClearEditorUnits(World& world, EditorClear what) {
  int32_t removed = 0;
  if (what == EditorClear::kSettlements) {
    for (HexCell& cell : world.cells) {
      HexUnitStack* stack = cell.stack;
      if (!stack) continue;
      UnitRecord* lead = stack->lead;
      if (lead && (lead->unitFlags & kUnitFacility) && IsSettlement(world, *lead)) {
        FreeFacility(world, lead);
        ++removed;
      }
      if (stack->extra) ClearSettlementLabel(*stack->extra);
    }
    return removed;
  }
  for (UnitRecord* unit : RingUnits(world)) {
    const bool facility = (unit->unitFlags & kUnitFacility) != 0;
    if (what == EditorClear::kUnits && !facility) {
      FreeUnit(world, unit);
      ++removed;
    } else if (what == EditorClear::kFacilities && facility && !IsSettlement(world, *unit)) {
      FreeFacility(world, unit);
      ++removed;
    }
  }
  return removed;
}

int32_t ResizeEditorMap(World& world, int32_t width, int32_t height) {
  if (!IsValidMapSize(width, height)) return plat::kInvalidArg;
  for (UnitRecord* unit : RingUnits(world))
    if (PastEdge(unit->x, unit->y, width, height)) FreeUnit(world, unit);
  for (PlayerRecord& r : world.players) {
    for (PlayerPolicyBlock* block : {&r.simPolicy, &r.displayPolicy}) {
      const CapitalPosition at = CapitalHex(*block);
      if (PastEdge(at.x, at.y, width, height)) SetCapitalHex(*block, CapitalPosition{});
    }
    if (PastEdge(r.turnBestHex[0], r.turnBestHex[1], width, height)) r.turnBestHex[0] = r.turnBestHex[1] = 0;
  }
  const int32_t status = ResizeMap(world, width, height);
  if (g_mailUi.recountAreaTags) g_mailUi.recountAreaTags();
  return status;
}
