// Resetting the world's data tables and its game data.
#include <cstring>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/world.h"

namespace {

constexpr int32_t kAtlasTile = 32;
constexpr int32_t kAtlasColumns = 16;

void FreeUnitList(World& world) {
  UnitRecord* first = world.units;
  world.units = nullptr;
  world.unitIndex.Clear();
  UnitRecord* unit = first;
  while (unit) {
    UnitRecord* following = unit->next;
    delete unit;
    unit = following == first ? nullptr : following;
  }
  // No hex may keep a unit that is gone.
  for (HexCell& cell : world.cells) {
    HexUnitStack* stack = cell.stack;
    if (!stack) continue;
    stack->lead = nullptr;
    for (UnitRecord*& head : stack->chainA) head = nullptr;
    for (UnitRecord*& head : stack->chainB) head = nullptr;
  }
}

}  // namespace

void ResetWorldDataTables(World& world) {
  std::vector<UnitClassRecord>().swap(world.unitClasses);
  std::vector<uint8_t>().swap(world.people);

  std::vector<uint8_t>().swap(world.terrainExtra);
  world.terrains.assign(kTerrainCount, TerrainRecord{});
  for (int i = 0; i < kTerrainCount; ++i) {
    TerrainRecord& terrain = world.terrains[static_cast<size_t>(i)];
    terrain.imageLeft = kAtlasTile * (i % kAtlasColumns);
    terrain.imageTop = kAtlasTile * (i / kAtlasColumns);
    terrain.imageRight = terrain.imageLeft + kAtlasTile;
    terrain.imageBottom = terrain.imageTop + kAtlasTile;
  }
  world.terrainHeader.terrainCount = kTerrainCount;
  world.terrainHeader.word12 = 0;
  world.terrainHeader.word16 = 24;
  world.terrainHeader.created = FileStampNow();

  world.unitClassHeader.version = kUnitClassVersion;
  world.unitClassHeader.classCount = 0;
  world.unitClassHeader.created = FileStampNow();

  world.peopleHeader.created = FileStampNow();
  world.peopleHeader.peopleCount = 256;
  world.people.assign(kPeopleBlockSize, 0);
}

void FreeGameData(World& world) {
  world.localPlayerRecord = nullptr;
  // The pointer words of the records name nothing this program owns: a
  // record is freed by clearing it.
  std::memset(static_cast<void*>(world.players), 0, sizeof world.players);
  ClearUnitGroups(world.unitGroups);
  std::vector<uint8_t>().swap(world.worldEconomy);
  world.unitTables.Release();
  FreeUnitList(world);
  FreeRing(world.recurringItems);
  world.recurringItems = nullptr;
  std::vector<uint8_t>().swap(world.designRows);
  std::vector<PlayerTechState>().swap(world.techRows);
  // The technologies' multipliers belong to the game: the next one starts
  // from the neutral 1, not from the last game's.
  for (auto& multipliers : world.techEffects)
    for (float& m : multipliers) m = 1.0f;
  for (int p = 0; p < kMaxPlayers; ++p) {
    FreeRingItems(world.playerItemLists[p]);
    FreeRingItems(world.messageLists[p]);
    FreeRingItems(world.projectLists[p]);
  }
}

void ClearGameRunState(World& world) {
  for (std::atomic<float>& reserved : world.pendingDeployments) reserved.store(0.0f, std::memory_order_relaxed);
  (void)TakeCombatDayCounts(world);
  (void)TakeDayTallies(world);
  ClearDayLedgers(world);
  std::vector<SavedTableArray>().swap(world.savedUnitTables);
  world.pathSearch.reset();
  world.quickBuild = false;
}

void NewGameData(World& world) {
  FreeGameData(world);
  InitGameState(world.gameState, world.mapHeader);
  for (PlayerRecord& record : world.players) PlayerRecordInit(record);
  world.worldEconomy.assign(kWorldEconomySize, 0);
  world.localPlayerRecord = &world.players[world.gameState.localPlayer];
}
