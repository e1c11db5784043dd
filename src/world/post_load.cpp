#include "world/post_load.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "app/app_object.h"
#include "app/log.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/derived_tables.h"
#include "world/hex_extra.h"
#include "world/list_items.h"
#include "world/map_folders.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/text/world_economy_table.h"
#include "world/world.h"

namespace {

// The regions' product records as the difficulty and the old-file repair
// address them: the stock of each of the 11 records.
constexpr size_t kProductRecordsAt = offsetof(PlayerRecord, products) + kProductStockAt;
constexpr size_t kProductRecordSize = sizeof(ProductState);
static_assert(kProductRecordsAt == 10740);
constexpr int kUnscaledStockProduct = 7;
// The word after pendingCommands, cleared with it.
constexpr size_t kPendingCommandsAfterAt = 12966;

const UnitClassImage& ClassOrEmpty(const World& world, int32_t classIndex) {
  static const UnitClassImage kNone{};
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  return cls ? *cls : kNone;
}

// Binds a unit to its class: an index the table does not have becomes 0,
// and the class-derived bytes and flags follow the class.
const UnitClassImage& BindClass(const World& world, UnitRecord& unit) {
  const int32_t count = static_cast<int32_t>(world.unitClasses.size());
  if (unit.classIndex < 0 || unit.classIndex >= count) unit.classIndex = 0;
  const UnitClassImage& cls = ClassOrEmpty(world, unit.classIndex);
  unit.unitType = cls.typeByte;
  unit.unitFlags = (unit.unitFlags & ~kUnitFacility) | ((cls.flags & kClassFacility) ? kUnitFacility : 0u);
  unit.unitFlags = (unit.unitFlags & ~kUnitStock) | ((cls.flags & kClassStock) ? kUnitStock : 0u);
  unit.kind = cls.kind;
  unit.moveKind = cls.kind == 3 ? 2 : cls.kind;
  return cls;
}

void ClearStackLinks(UnitRecord& unit) {
  unit.chainASlot = unit.chainBSlot = 0;
  unit.tableEntrySlot = 0;
  unit.nextInChainA = unit.nextInChainB = nullptr;
}

float LoadFloat(const PlayerRecord& record, size_t offset) {
  float v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&record) + offset, 4);
  return v;
}

void StoreFloat(PlayerRecord& record, size_t offset, float v) {
  std::memcpy(reinterpret_cast<uint8_t*>(&record) + offset, &v, 4);
}

// A project's flag word mirrored into the region's rows: bit 0 as the open
// mark, bit 1 as the held mark. A negative word counts for nothing.
void MirrorProjectMarks(World& world, int player, const ProjectEntry& entry) {
  const uint32_t word = entry.displayFlags;
  if (static_cast<int32_t>(word) < 0) return;
  uint8_t bits = 0;
  if (word & kProjectPursued) bits |= kRowProjectOpen;
  if (word & kProjectHeld) bits |= kRowProjectHeld;
  if (entry.kind == kProjectTechnology) {
    PlayerTechState* row = TechRow(world, player);
    if (row && entry.index < static_cast<uint32_t>(world.gameState.techCount)) row[entry.index].projectFlags |= bits;
  } else if (entry.kind == kProjectDesign) {
    uint8_t* row = DesignRow(world, player);
    if (row && entry.index < static_cast<uint32_t>(world.gameState.designRowBytes)) row[entry.index] |= bits;
  }
}

void ScalePlayers(World& world, bool network, bool applyDifficulty) {
  const ScenarioHead& head = world.scenario.head;
  float stockFactor = 1.0f;
  switch (head.resources) {
    case 0: stockFactor = 0.2f; break;
    case 1: stockFactor = 0.5f; break;
    case 3: stockFactor = 2.0f; break;
    case 4: stockFactor = 4.0f; break;
    default: break;
  }
  const int32_t count = world.gameState.playerCount < kMaxPlayers ? world.gameState.playerCount : kMaxPlayers;
  for (int p = 0; p < count; ++p) {
    PlayerRecord& record = world.players[p];
    if (!TakesPart(record)) continue;
    if (network) {
      record.pendingCommands = 0;
      std::memset(reinterpret_cast<uint8_t*>(&record) + kPendingCommandsAfterAt, 0, 2);
      record.displayPolicy = record.simPolicy;
      ListNode& head = world.projectLists[p];
      for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
        auto& entry = static_cast<ProjectEntry&>(*node);
        entry.displayFlags = entry.simFlags;
        MirrorProjectMarks(world, p, entry);
      }
    }
    if (world.gameState.version < 111) {
      for (int k = 0; k < kProductCount; ++k) {
        const size_t at = kProductRecordsAt + static_cast<size_t>(k) * kProductRecordSize;
        if (LoadFloat(record, at + 72) == 0.0f) StoreFloat(record, at + 72, LoadFloat(record, at + 4));
        if (LoadFloat(record, at + 64) == 0.0f) StoreFloat(record, at + 64, 1.0f);
      }
    }
    if (!applyDifficulty) continue;
    if (head.initialfunds == 1) record.treasury = record.treasury * 0.5f;
    if (head.initialfunds == 3) record.treasury = record.treasury * 4.0f;
    if (stockFactor != 1.0f) {
      for (int k = 0; k < kProductCount; ++k) {
        if (k == kUnscaledStockProduct) continue;
        const size_t at = kProductRecordsAt + static_cast<size_t>(k) * kProductRecordSize;
        StoreFloat(record, at, LoadFloat(record, at) * stockFactor);
      }
    }
  }
}

// Units a map file keeps only as cell summaries: a hex with a summary, no
// lead unit and bits 16-23 clear gets its facility back.
void RecreateSummaryUnits(World& world) {
  if (world.cellSummary.size() != world.cells.size()) return;
  for (size_t i = 0; i < world.cells.size(); ++i) {
    const uint32_t summary = world.cellSummary[i];
    HexCell& cell = world.cells[i];
    if (summary == 0 || (summary & 0x00FF0000u)) continue;
    if (cell.stack && cell.stack->lead) continue;
    const int owner = CellOwner(cell.word);
    PlayerRecord& record = world.players[owner];
    record.commandCounter += 1;
    const uint32_t id = (record.commandCounter & 0x00FFFFFFu) | (static_cast<uint32_t>(owner) << 24);
    UnitRecord* unit = EnsureHexFacility(world, cell, id, false);
    if (!unit) continue;
    unit->classIndex = static_cast<int16_t>(4000 + (summary & 0xFFu));
    const UnitClassImage& cls = BindClass(world, *unit);
    unit->strength = unit->targetStrength = static_cast<float>((summary >> 8) & 0xFFu) / 240.0f;
    unit->buildWork = 0.0f;
    unit->orders[kPostureBits] &= ~kPostureUnderConstruction;
    unit->ordersShown[kPostureBits] &= ~kPostureUnderConstruction;
    if ((cls.flags & kClassSpecialWeaponA) && (world.mapHeader.word600 & 1u)) unit->unitFlags |= kUnitMapOption;
    unit->heading = unit->wantedHeading = static_cast<uint8_t>((summary >> 24) & 0x0Fu);
    if (summary & (1u << 24)) {
      unit->orders[kPostureBits] |= kPostureInReserve;
      unit->ordersShown[kPostureBits] |= kPostureInReserve;
    }
  }
}

}  // namespace

int32_t CheckUnitsAfterLoad(World& world, LoadSource source) {
  const bool keepObsolete = (world.scenario.head.gameFlags & kGameFlagKeepObsoleteClasses) != 0;
  const bool network = (world.gameState.fileFlags & kGameFileNetwork) != 0;
  const bool editor = InMapEditor();
  // What an earlier game charged is no day of this one.
  ClearDayLedgers(world);

  if (!keepObsolete) {
    for (UnitClassRecord& cls : world.unitClasses)
      if ((cls.flags & kClassStock) && (cls.flags & kClassSpecialKinds)) cls.flags |= kClassObsolete;
  }

  std::vector<UnitRecord*> units;
  for (UnitRecord* unit = world.units; unit;) {
    units.push_back(unit);
    unit = unit->next;
    if (unit == world.units) break;
  }

  // Classes first: units of unusable classes are marked (and in the editor
  // taken away), so that no link is mapped to a unit that is gone.
  std::vector<UnitRecord*> good;
  UnitRecord* const head = world.units;
  for (UnitRecord* unit : units) {
    const UnitClassImage& cls = BindClass(world, *unit);
    if (!(unit->unitFlags & kUnitFacility) && (cls.name[0] == 0 || cls.strengthPerSize == 0)) {
      unit->unitFlags |= kUnitGone;
      LogWrite(g_platform, "Unit (%s) has bad Units/Equipment Entry (#%d)\n", UnitDisplayName(world, *unit).c_str(),
               static_cast<int>(unit->classIndex));
      if (editor && unit != head) {
        RemoveUnitFromMap(world, *unit);
        delete unit;
        continue;
      }
      for (size_t offset : kUnitLinkOffsets) UnitLinkWord(*unit, offset) = 0;
      ClearStackLinks(*unit);
      continue;
    }
    good.push_back(unit);
  }

  // Links are stored as the saved-self word of the unit they name; each
  // becomes that unit's id, or 0 when no unit carried it.
  std::map<uint32_t, uint32_t> savedToId;
  for (UnitRecord* unit = world.units; unit;) {
    if (unit->savedSelf != 0) savedToId.emplace(unit->savedSelf, unit->id);
    unit = unit->next;
    if (unit == world.units) break;
  }
  for (UnitRecord* unit : good) {
    for (size_t offset : kUnitLinkOffsets) {
      uint32_t& link = UnitLinkWord(*unit, offset);
      if (link == 0) continue;
      const auto it = savedToId.find(link);
      link = it == savedToId.end() ? 0 : it->second;
    }
    ClearStackLinks(*unit);
    const UnitClassImage& cls = ClassOrEmpty(world, unit->classIndex);
    if ((unit->unitFlags & kUnitStock) && (cls.flags & kClassSpecialKinds) && !keepObsolete) unit->unitFlags |= kUnitGone;
    if (!(unit->unitFlags & kUnitGone) && unit->classIndex != 0 && !(unit->unitFlags & kUnitFacility) &&
        unit->carrier == 0) {
      if (HexCell* cell = UnitHexCell(world, *unit)) {
        if (!InReserve(*unit)) HexStackInsertById(world, *cell, *unit);
        if (!(unit->ordersShown[kPostureBits] & kPostureInReserve)) HexStackInsertOrdered(world, *cell, *unit);
      }
    }
    if (network) {
      unit->ordersShown = unit->orders;
      unit->pendingOrders = 0;
    }
  }

  ScalePlayers(world, network, source == LoadSource::kScenario);
  RecreateSummaryUnits(world);

  if (network) {
    for (HexCell& cell : world.cells) {
      if (!cell.stack || !cell.stack->extra) continue;
      HexExtra& extra = *cell.stack->extra;
      extra.pairA[0] = extra.pairB[0];
      extra.pairA[1] = extra.pairB[1];
      extra.byte9 = 0;
    }
  }

  CloseLogFile(g_platform);
  (void)LoadCVars2Table(world, "CVars2");
  ComputeWorldPriceIndex(world);
  ApplyTechEffects(world);
  return 0;
}

void RestorePlayerPolicies(World& world) {
  for (int p = 1; p < kMaxPlayers; ++p) {
    PlayerRecord& record = world.players[p];
    if (!TakesPart(record)) continue;
    record.displayPolicy = record.simPolicy;
    record.pendingCommands = 0;
    UpdateCostFactor(world, record);
  }
  ComputeWorldPriceIndex(world);
  ApplyTechEffects(world);
}

int32_t AfterLoadStep(World& world, const char* scenarioName) {
  const int32_t result = LoadScenarioDef(world, nullptr, scenarioName);
  if (result >= 0) {
    const char* text = world.scenario.gmtfile ? world.scenario.gmtfile : "";
    return LoadScenarioText(world, text);
  }
  FreeScenarioText(g_scenarioText);
  g_scenarioText.scenarioName.reset(strdup(scenarioName ? scenarioName : ""));
  return result;
}
