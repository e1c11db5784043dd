#include "sim/campaign_carry_over.h"

#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "app/calendar.h"
#include "sim/game_start.h"
#include "units/unit_queries.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "world/unit_ring.h"
#include "world/id_lookups.h"
#include "world/unit_groups.h"
#include "world/world.h"

CampaignCarryOver g_campaignCarryOver;

namespace {

constexpr int32_t kCarryOverDayGap = 90;
constexpr int kSmallClassLast = 5;          // classes 1 to 5 are the small ones
constexpr uint32_t kCarriedFlagsMask = 0x70A1EEFFu;
constexpr float kCarriedReadiness = 0.8f;
constexpr int kUnitKinds = 4;          // land, air, sea, submarine
constexpr int kSubmarineKind = 3;
constexpr int kBaseKinds = 3;          // land, air and sea bases; submarines use the sea's

void FreeUnitRing(UnitRecord*& first) {
  UnitRecord* head = first;
  first = nullptr;
  if (!head) return;
  UnitRecord* unit = head;
  do {
    UnitRecord* following = unit->next;
    delete unit;
    unit = following;
  } while (unit && unit != head);
}

int32_t LocalIndex(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  return local >= 0 && local < kMaxPlayers ? local : 0;
}

bool IsPlaced(const UnitRecord& unit) { return unit.x != 0 || unit.y != 0; }

// What a unit left behind is worth: its class's value per strength point
// times its strength.
float ValueOf(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  return cls ? static_cast<float>(cls->valuePerPoint) * unit.strength : 0.0f;
}

int CategoryOf(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const int kind = cls ? cls->kind : 0;
  return kind < kUnitKinds ? kind : 0;
}

void TakeOffCounts(PlayerRecord& owner, int category) {
  if (owner.unitCounts[category] > 0) owner.unitCounts[category] -= 1;
}

// A unit of the new scenario that the carried forces replace: it leaves the
// counts and the map and is marked dead.
void RetireUnit(World& world, UnitRecord& unit) {
  PlayerRecord& owner = world.players[unit.owner < kMaxPlayers ? unit.owner : 0];
  if (!(unit.unitFlags & kUnitStock)) TakeOffCounts(owner, CategoryOf(world, unit));
  if (IsPlaced(unit))
    if (HexCell* cell = UnitHexCell(world, unit)) HexStackRemove(world, *cell, unit);
  unit.unitFlags |= kUnitGone;
  unit.x = 0;
  unit.y = 0;
  unit.strength = 0.0f;
}

// Bases of the new scenario that take carried units, by kind: a facility
// of the local player standing on the map whose class makes a base (a
// haven, an airfield, or a settlement that loads units) and has room for
// units. They take the units in turn, each up to that room: its slots
// times its nominal strength, as a carrier's.
struct BaseSlot {
  UnitRecord* base;
  int32_t room;
};

int32_t BaseRoom(const UnitClassRecord& cls) {
  if (cls.baseKind != 0 || cls.strengthPerSize <= 0) return 0;
  return static_cast<int32_t>(cls.baseSlots) * cls.strengthPerSize;
}

// The kind of base a carried unit waits at: submarines lie in havens.
int WantedBaseKind(const World& world, const UnitRecord& unit) {
  const int kind = CategoryOf(world, unit);
  return kind == kSubmarineKind ? kMoveKindSea : kind;
}

// A carried unit arrives whole: its ordered size at its class's nominal
// strength, with the fuel and ammunition that strength holds, and no work
// left on it.
void MakeWhole(const World& world, UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls || unit.targetStrength <= 0.0f) return;
  unit.strength = static_cast<float>(cls->strengthPerSize) * unit.targetStrength;
  unit.fuel = cls->fuelCapacity * unit.strength;
  unit.ammo = cls->ammoCapacity * unit.strength;
  unit.buildWork = 0.0f;
}

}  // namespace

CampaignCarryOver::~CampaignCarryOver() { ClearCarryOver(*this); }

void ClearCarryOver(CampaignCarryOver& carryOver) {
  FreeUnitRing(carryOver.units);
  std::vector<PlayerRecord>().swap(carryOver.snapshotTable);
  std::vector<uint8_t>().swap(carryOver.designRow);
  std::vector<PlayerTechState>().swap(carryOver.techRow);
  std::vector<ProjectEntryFields>().swap(carryOver.projects);
  for (auto& group : carryOver.unitGroups) std::vector<uint32_t>().swap(group);
  carryOver.valueLeftBehind = 0.0f;
}

void CarryOverUnits(World& world, CampaignCarryOver& carryOver) {
  const int32_t local = LocalIndex(world);
  PlayerRecord& record = world.players[local];
  std::vector<BaseSlot> bases[kBaseKinds];

  // The new scenario's own forces of the player give way; its bases stay.
  if (UnitRecord* first = world.units) {
    UnitRecord* unit = first;
    do {
      UnitRecord* following = unit->next;
      if (IsUnitLive(*unit) && unit->owner == local) {
        if (unit->unitFlags & kUnitFacility) {
          const UnitClassRecord* cls = UnitClassOf(world, *unit);
          const int kind = cls ? BaseKindOf(*cls) : -1;
          if (kind >= 0 && kind < kBaseKinds && IsPlaced(*unit) && BaseRoom(*cls) > 0)
            bases[kind].push_back({unit, BaseRoom(*cls)});
        } else if (!(unit->classIndex <= kSmallClassLast && (unit->unitFlags & kUnitInBase))) {
          RetireUnit(world, *unit);
        }
      }
      unit = following;
    } while (unit && unit != first);
  }

  // The carried ring, unlinked unit by unit.
  size_t baseTurn[kBaseKinds] = {};
  UnitRecord* carried = carryOver.units;
  carryOver.units = nullptr;
  std::vector<UnitRecord*> ring;
  // The groups name units by their old ids; each unit that comes along is
  // found here under the id it had.
  std::map<uint32_t, UnitRecord*> arrived;
  if (carried) {
    UnitRecord* unit = carried;
    do {
      ring.push_back(unit);
      unit = unit->next;
    } while (unit && unit != carried);
  }
  for (UnitRecord* unit : ring) {
    const uint32_t oldId = unit->id;
    unit->prev = unit->next = nullptr;
    unit->nextInChainA = unit->nextInChainB = nullptr;
    unit->route.reset();
    unit->route2.reset();
    unit->id = 0;
    const bool mine = IsUnitLive(*unit) && unit->owner == carryOver.previousLocalPlayer;
    if (!mine || (unit->unitFlags & kUnitFacility) || unit->classIndex <= kSmallClassLast) {
      if (mine && IsPlaced(*unit)) carryOver.valueLeftBehind += ValueOf(world, *unit);
      delete unit;
      continue;
    }
    if (IsPlaced(*unit)) carryOver.valueLeftBehind += ValueOf(world, *unit);
    unit->owner = static_cast<uint8_t>(local);
    NoteUnitOwnerChange(world);
    unit->controller = static_cast<uint8_t>(local);
    record.commandCounter += 1;
    unit->id = (record.commandCounter & 0x00FFFFFFu) | (static_cast<uint32_t>(local) << 24);
    unit->orders = OrderBlock{};
    unit->pendingOrders = 0;
    unit->x2 = unit->y2 = 0;
    unit->unitFlags &= kCarriedFlagsMask;
    MakeWhole(world, *unit);
    unit->efficiency = kCarriedReadiness;

    if (unit->unitFlags & kUnitStock) {
      unit->x = unit->y = 0;
    } else {
      const int category = CategoryOf(world, *unit);
      const int baseKind = WantedBaseKind(world, *unit);
      std::vector<BaseSlot>& list = bases[baseKind];
      size_t& turn = baseTurn[baseKind];
      if (list.empty()) {
        // No base of its kind in the new scenario: the unit is lost.
        delete unit;
        continue;
      }
      // The bases take units in turn, a full one passed over while another
      // has room; once all are full they share the rest in turn, as a unit
      // the region kept to the end is not thrown away for want of room.
      size_t tried = 0;
      while (tried < list.size() && list[turn].room <= 0) {
        turn = (turn + 1) % list.size();
        ++tried;
      }
      BaseSlot& slot = list[turn];
      slot.room -= 1;
      unit->x = slot.base->x;
      unit->y = slot.base->y;
      record.unitCounts[category] += 1;
      turn = (turn + 1) % list.size();
    }
    unit->ordersShown = unit->orders;
    InsertUnitInRing(world, *unit);
    if (IsPlaced(*unit))
      if (HexCell* cell = UnitHexCell(world, *unit)) HexStackInsertOrdered(world, *cell, *unit);
    arrived[oldId] = unit;
  }

  // A group that still holds units is the player's again; one whose units
  // all stayed behind leaves the new scenario's group as it is.
  WorldLockGuard lock(world, kLockRecurring);
  for (int g = 0; g < kUnitGroupsPerPlayer; ++g) {
    std::vector<UnitRecord*> members;
    for (const uint32_t id : carryOver.unitGroups[g])
      if (const auto found = arrived.find(id); found != arrived.end()) members.push_back(found->second);
    if (members.empty()) continue;
    ListHolder& group = world.unitGroups.groups[local][g];
    ListHolderClear(group);
    for (UnitRecord* unit : members) NewListItem28(unit, false, 0, group);
  }
}

void CarryOverPlayerState(World& world, CampaignCarryOver& carryOver, const PlayerRecord& snapshot) {
  PlayerRecord& record = world.players[LocalIndex(world)];
  record.rulingParty = snapshot.rulingParty;
  record.avatar = snapshot.avatar;
  record.politic = snapshot.politic;
  record.bytes28[10] = snapshot.bytes28[10];  // the profile byte before the party
  const int band = RulingPartyOf(snapshot.politic);
  record.bandPicks[band] = snapshot.bandPicks[band];
  record.armsAvail = (world.scenario.head.resources < 3 || snapshot.carriedFlag > 1)
                         ? (record.armsAvail | snapshot.armsAvail)
                         : snapshot.armsAvail;
  record.simPolicy = snapshot.simPolicy;
  record.displayPolicy = record.simPolicy;
  record.standing = snapshot.standing;
  record.approval = snapshot.approval;
  record.secondRating = snapshot.secondRating;
  record.creditRating = snapshot.creditRating;
  record.tradeOpenness = snapshot.tradeOpenness;
  record.techLevel = snapshot.techLevel;
  record.researchEfficiency = snapshot.researchEfficiency;
  // Two factors are kept at 1 or more: a value below 1 gives its square root.
  record.efficiency = snapshot.efficiency < 1.0f ? std::sqrt(snapshot.efficiency) : snapshot.efficiency;
  record.militarySpendIndex =
      snapshot.militarySpendIndex < 1.0f ? std::sqrt(snapshot.militarySpendIndex) : snapshot.militarySpendIndex;
  const float soldiers = snapshot.soldiers + carryOver.valueLeftBehind;
  record.soldiers = soldiers > 0.0f ? soldiers : 0.0f;
  record.treasury = snapshot.treasury;
  for (int i = 0; i < 3; ++i)
    if (snapshot.scoreSums[i] != 0.0f) record.scoreSums[i] += 1.0f;

  const int32_t local = LocalIndex(world);
  if (uint8_t* row = DesignRow(world, local))
    if (carryOver.designRow.size() == static_cast<size_t>(world.gameState.designRowBytes))
      std::memcpy(row, carryOver.designRow.data(), carryOver.designRow.size());
  if (PlayerTechState* row = TechRow(world, local))
    if (carryOver.techRow.size() == static_cast<size_t>(world.gameState.techCount))
      std::memcpy(row, carryOver.techRow.data(), carryOver.techRow.size() * sizeof(PlayerTechState));

  ProjectEntry& head = world.projectLists[local];
  if (!head.linked()) {
    WorldLockGuard hold(world, kLockProjects);
    for (const ProjectEntryFields& fields : carryOver.projects) {
      ProjectEntry* entry = NewZeroed<ProjectEntry>();
      if (!entry) break;
      static_cast<ProjectEntryFields&>(*entry) = fields;
      record.commandCounter += 1;
      entry->id = (record.commandCounter & 0x00FFFFFFu) | (static_cast<uint32_t>(local) << 24);
      head.Append(entry);
    }
  }
}

void GameStartSetup(World& world, CampaignCarryOver& carryOver) {
  GameState& state = world.gameState;
  ScenarioSettings& scenario = world.scenario;
  const int32_t local = LocalIndex(world);
  PlayerRecord& record = world.players[local];

  record.govtype = carryOver.leaderChoice;
  g_profileChoices.leaderChoice = carryOver.leaderChoice;

  state.endDay = scenario.victoryDay;
  const uint32_t oldStart = scenario.startDay != 0 ? scenario.startDay : state.currentDay;
  state.currentDay = carryOver.previousDay + kCarryOverDayGap;
  const int64_t shift = static_cast<int64_t>(state.currentDay) - static_cast<int64_t>(oldStart);
  if (record.electionDay != 0) record.electionDay = static_cast<uint32_t>(record.electionDay + shift);
  if (state.endDay != 0) state.endDay = static_cast<uint32_t>(state.endDay + shift);
  carryOver.dayGap = kCarryOverDayGap;

  const int32_t index = carryOver.snapshotIndex;
  if (index >= 0 && static_cast<size_t>(index) < carryOver.snapshotTable.size()) {
    const PlayerRecord snapshot = carryOver.snapshotTable[static_cast<size_t>(index)];
    if (snapshot.carriedFlag) {
      CarryOverUnits(world, carryOver);
      CarryOverPlayerState(world, carryOver, snapshot);
    }
  }

  world.snapshotTable = std::move(carryOver.snapshotTable);
  carryOver.snapshotTable.clear();
  ClearCarryOver(carryOver);
  scenario.head.gameFlags &= ~kGameFlagCarryOver;
}
