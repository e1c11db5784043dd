// The compatibility check of a joining peer, the comparison of sync-check
// entries, and the progress check that holds the minute loop until every
// person's peer has caught up within the command lead.
#include "net_game/sync_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "app/app_object.h"
#include "app/log.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "platform/paths.h"
#include "records/unit_record.h"
#include "sim/command_test_world.h"
#include "sim/sync_entries.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "world/unit_ring.h"
#include "records/net_slot.h"
#include "world/world.h"

namespace {

std::vector<std::string> TakeLines() {
  std::vector<std::string> out;
  for (const TextLine& line : TakeQueuedTextLines(g_textLines)) out.push_back(line.text);
  return out;
}

TEST(SyncCheck, CompatibilityRecordNamesEachMismatchInOrder) {
  auto world = std::make_unique<World>();
  world->gameState.checksum = 1, world->mapHeader.checksum = 2, world->peopleHeader.checksum = 3;
  world->unitClassHeader.checksum = 4, world->terrainHeader.checksum = 5, world->techHeader.checksum = 6;
  world->saveHeader.checksum = 7;
  const SyncInfo scenario = LocalSyncInfo(*world, false);
  SyncInfo everywhere{90, 91, 92, 93, 94, 95, 96, 0, 9, 9, 9, 0};
  SyncInfo scnOnly = scenario;
  scnOnly.scenarioId = scenario.scenarioId + 1;
  // A saved game is compared on SAV, UNI, TER, TTR and the version only:
  // the game, map and people sums it carries differ and are not named.
  SyncInfo save = LocalSyncInfo(*world, true);
  save.gameSum = 80, save.mapSum = 81, save.peopleSum = 82, save.unitSum = 83;
  SyncInfo otherSave = save;
  otherSave.saveSum = 8;
  const struct {
    SyncInfo theirs;
    std::vector<std::string> lines;
  } rows[] = {
      {scenario, {}},
      {everywhere,
       {"Sync Error: Different Game Versions.", "Sync Error: Mismatched GAM File.", "Sync Error: Mismatched SCN File.",
        "Sync Error: Mismatched MAP File.", "Sync Error: Mismatched PPL File.", "Sync Error: Mismatched UNI File.",
        "Sync Error: Mismatched TER File.", "Sync Error: Mismatched TTR File."}},
      {scnOnly, {"Sync Error: Mismatched SCN File."}},
      {save, {"Sync Error: Mismatched UNI File."}},
      {otherSave, {"Sync Error: Mismatched Save Game File.", "Sync Error: Mismatched UNI File."}},
  };
  (void)TakeLines();
  for (const auto& row : rows) {
    // Through its wire image, as a peer's record arrives.
    const auto wire = EncodeSyncInfo(row.theirs);
    NetSyncCheck(g_netSession, DecodeSyncInfo(wire.data()), *world);
    EXPECT_EQ(TakeLines(), row.lines) << "game sum " << row.theirs.gameSum << " save sum " << row.theirs.saveSum;
  }
}

// The scenario word of the record follows every file both peers must read
// alike beyond the data files: one changed byte in any of them changes it,
// and a file only the interface reads does not.
TEST(SyncCheck, TheScenarioWordFollowsTheDefinitionAndEveryRuleTable) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  const std::vector<std::string> covered = {"Scenario/Test.GMC",     "PlayerSet/Default.INI", "INI/CVars2.CSV",
                                            "INI/deptprior.CSV",     "INI/cabinetconcerns.CSV", "INI/techtreeeffects.CSV",
                                            "INI/newsitems.CSV",     "INI/orders.CSV",        "INI/training.CSV",
                                            "INI/rtreaties.CSV",     "INI/wtreaties.CSV",     "INI/wmvotes.CSV",
                                            "AI/AIparams.CSV"};
  const auto write = [&](const std::string& file, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(dir.path() + "/" + file).parent_path());
    std::ofstream(dir.path() + "/" + file, std::ios::binary) << text;
  };
  for (const std::string& file : covered) write(file, "difficulty: 2\r\n0.1,0.05\r\n");
  write("INI/LOCALEN.INI", "text\r\n");
  auto world = std::make_unique<World>();
  std::snprintf(world->gameState.scenarioName, sizeof world->gameState.scenarioName, "Test");
  const uint32_t base = SharedRulesChecksum(*world);
  EXPECT_EQ(LocalSyncInfo(*world, false).scenarioId, base);
  // A saved game is compared on its own checksum, as the record says.
  EXPECT_EQ(LocalSyncInfo(*world, true).scenarioId, 0u);
  for (const std::string& file : covered) {
    write(file, "difficulty: 3\r\n0.1,0.05\r\n");
    EXPECT_NE(SharedRulesChecksum(*world), base) << file;
    write(file, "difficulty: 2\r\n0.1,0.05\r\n");
  }
  write("INI/LOCALEN.INI", "other text\r\n");
  EXPECT_EQ(SharedRulesChecksum(*world), base);
  // A missing table is a difference too.
  std::filesystem::remove(dir.path() + "/INI/CVars2.CSV");
  EXPECT_NE(SharedRulesChecksum(*world), base);
}

TEST(SyncCheck, EachDifferingEntryIsAnnouncedAndLogged) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  std::filesystem::create_directories(dir.path() + "/Savegame");
  SetLogTarget(g_platform, "Savegame\\sync.log", true, true);
  auto world = std::make_unique<World>();
  world->gameState.localPlayer = 1;
  GlobalGuard<SyncEntries> entries(g_syncEntries);
  struct Row {
    std::vector<uint8_t> ours, theirs;
    int sender;
    size_t lines;
    std::vector<std::string> logged;
    uint32_t stamp = 100;  // ours; theirs are of tick 100
    bool built = true;
  };
  const std::vector<uint8_t> ten = {10, 11, 12, 13, 17, 15, 16, 17, 18, 19};
  std::vector<uint8_t> three = ten;
  three[1] = 0, three[4] = 18, three[9] = 200;
  const Row rows[] = {
      {ten, ten, 2, 0, {}},
      {ten, three, 2, 3,
       {"Sync Error in Entry - From Player 2, Type 2, Entry # 1 (our checksum 11, theirs 0)",
        "Sync Error in Entry - From Player 2, Type 2, Entry # 4 (our checksum 17, theirs 18)",
        "Sync Error in Entry - From Player 2, Type 2, Entry # 9 (our checksum 19, theirs 200)"}},
      {ten, std::vector<uint8_t>(ten.begin(), ten.end() - 1), 2, 1,
       {"Sync Error - From Player 2, Type 2, ourentries: 10, theirentries: 9"}},
      {ten, three, 1, 0, {}},  // our own entries
      // None built here, or built at another tick: nothing to compare with.
      {{}, three, 2, 0, {"Sync check - From Player 2, Type 2: entries of tick 100, ours of tick 0; not compared"}, 0,
       false},
      {ten, three, 2, 0, {"Sync check - From Player 2, Type 2: entries of tick 100, ours of tick 99; not compared"}, 99},
      // Built here and empty: no units is a state like any other.
      {{}, three, 2, 1, {"Sync Error - From Player 2, Type 2, ourentries: 0, theirentries: 10"}},
  };
  (void)TakeLines();
  for (const Row& row : rows) {
    const std::string logPath = dir.path() + "/Savegame/sync.log";
    std::filesystem::remove(logPath);
    std::vector<uint8_t>& ours = SyncEntriesOf(*world).buffers[kSyncUnits];
    ours = row.ours;
    g_syncEntries.stamp = row.stamp;
    g_syncEntries.built = row.built;
    CheckSyncEntries(*world, row.sender, 100, kSyncUnits, row.theirs);
    const std::vector<std::string> lines = TakeLines();
    EXPECT_EQ(lines.size(), row.lines);
    for (const std::string& line : lines) EXPECT_EQ(line, "Sync Error - Game Paused.");
    std::vector<std::string> logged;
    std::ifstream in(logPath);
    for (std::string line; std::getline(in, line);) logged.push_back(line.substr(line.find(' ') + 1));
    EXPECT_EQ(logged, row.logged);
    ours.clear();
  }
  SetLogTarget(g_platform, "", false, false);
}

// Two peers at the same turn end whose states differ in one entry type:
// each, given the other's entries as they travel (command 0x8001), finds
// that type and only that type differing.
TEST(SyncCheck, PeersWhoseStatesDifferInOneTypeEachSeeThatType) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  std::filesystem::create_directories(dir.path() + "/Savegame");
  const std::string logPath = dir.path() + "/Savegame/sync.log";
  GlobalGuard<SyncEntries> entries(g_syncEntries);
  ScopedNetLink client(kNetGameClient, nullptr);
  struct Row {
    int type;
    void (*change)(World&);
  };
  const Row rows[] = {
      {kSyncCells, [](World& w) { w.cells[5].word ^= 0x0100; }},
      {kSyncUnits, [](World& w) { w.units->efficiency += 0.5f; }},
      {kSyncPlayers, [](World& w) { reinterpret_cast<uint8_t*>(&w.players[3])[10200] ^= 1; }},
      {kSyncSpotting, [](World& w) { w.spottingMap[size_t{kMaxPlayers} * 7 + 3] ^= 4; }},
  };
  // The types named in the log's sync-error lines, and the peers named.
  auto errorsLogged = [&](std::set<int>& types, std::set<int>& from) {
    CloseLogFile(g_platform);
    std::ifstream in(logPath);
    for (std::string line; std::getline(in, line);) {
      int player = -1, type = -1;
      const size_t at = line.find("Sync Error");
      if (at != std::string::npos &&
          std::sscanf(line.c_str() + at, "Sync Error in Entry - From Player %d, Type %d", &player, &type) == 2) {
        types.insert(type);
        from.insert(player);
      }
    }
    std::filesystem::remove(logPath);
  };
  for (const Row& row : rows) {
    CommandTestWorld a, b;
    b.world->gameState.localPlayer = 2;
    for (CommandTestWorld* peer : {&a, &b}) {
      World& w = *peer->world;
      for (size_t i = 0; i < w.cells.size(); ++i) w.cells[i].word = static_cast<uint32_t>(i * 0x01010101u);
      w.spottingMap.assign(w.cells.size() * kMaxPlayers, 7);
      auto* unit = new UnitRecord{};
      unit->id = 0x02000001u;
      unit->owner = 2;
      unit->classIndex = 1;
      unit->x = 3;
      unit->y = 2;
      unit->strength = 1.0f;
      InsertUnitInRing(w, *unit);
    }
    row.change(*b.world);
    ComputeSyncEntries(*a.world, false);
    const SyncEntries ofA = g_syncEntries;
    ComputeSyncEntries(*b.world, false);
    const std::vector<GameCommand> fromA = a.log->Entries(), fromB = b.log->Entries();
    ASSERT_EQ(fromA.size(), kSyncExchanged.size());
    ASSERT_EQ(fromB.size(), kSyncExchanged.size());
    (void)TakeLines();
    SetLogTarget(g_platform, "Savegame\\sync.log", true, true);
    for (const GameCommand& c : fromA) CheckSyncEntries(*b.world, c.player, c.arg32, c.arg28, c.payload);
    std::set<int> typesAtB, fromAtB;
    errorsLogged(typesAtB, fromAtB);
    g_syncEntries = ofA;
    for (const GameCommand& c : fromB) CheckSyncEntries(*a.world, c.player, c.arg32, c.arg28, c.payload);
    std::set<int> typesAtA, fromAtA;
    errorsLogged(typesAtA, fromAtA);
    SetLogTarget(g_platform, "", false, false);
    EXPECT_EQ(typesAtB, std::set<int>{row.type}) << "type " << row.type;
    EXPECT_EQ(typesAtA, std::set<int>{row.type}) << "type " << row.type;
    EXPECT_EQ(fromAtB, std::set<int>{1});
    EXPECT_EQ(fromAtA, std::set<int>{2});
    EXPECT_FALSE(TakeLines().empty()) << "type " << row.type << " was not announced";
  }
}

TEST(SyncCheck, PlayersStateHoldsTheClockForALaggingPerson) {
  struct Row {
    bool networked;
    uint32_t tick;
    uint8_t state;  // of slot 3
    uint32_t progress;
    bool inStep;
  };
  const Row rows[] = {
      {true, 100, kSlotHuman, 76, false}, {true, 100, kSlotHuman, 77, true}, {true, 100, kSlotHuman, 100, true},
      {true, 23, kSlotHuman, 0, true},    {true, 24, kSlotHuman, 0, false},  {true, 100, 0, 0, true},
      {false, 100, kSlotHuman, 0, true},
  };
  auto world = std::make_unique<World>();
  world->gameState.commandLead = 25;
  for (const Row& row : rows) {
    world->gameState.currentTick = row.tick;
    world->slotTable[2].state = kSlotHuman;  // the local person, up to date
    world->slotTable[2].progress = row.tick;
    world->slotTable[3].state = row.state;
    world->slotTable[3].progress = row.progress;
    EXPECT_EQ(CheckPlayersState(*world, row.networked), row.inStep)
        << "tick " << row.tick << " progress " << row.progress << " networked " << row.networked;
  }
}

}  // namespace
