#include "sim/save_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "app/app_object.h"
#include "net/net_message_queue.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "units/ai_event_queue.h"
#include "world/unit_ring.h"
#include "world/command_log_access.h"
#include "world/data_checksum.h"
#include "world/data_file_test_support.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "records/crc32.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/post_load.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/text/ui_options.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/save_extension.h"
#include "world/world.h"

namespace {

// A save changed on purpose gets its checksum again, so that the check
// under test (not the checksum) is the one that judges it.
void Reseal(std::vector<uint8_t>& image) {
  const size_t head = image.size() - 12;
  ASSERT_EQ(le::Load32(image.data() + head), kSaveBlockChecksum);
  le::Store32(image.data() + head + 8, Crc32(std::span(image).first(head)));
}

using filetest::DataRootScope;
using filetest::Lcg;
using filetest::ReadBack;

// The speeds queued for the main thread since the last call, oldest first.
std::vector<uint32_t> TakeQueuedSpeeds() {
  std::vector<uint32_t> speeds;
  plat::CriticalSectionLock hold(g_netQueue.lock);
  for (ListNode* n = g_netQueue.head.next(); n && n != &g_netQueue.head; n = n->next())
    speeds.push_back(static_cast<NetQueueNode*>(n)->message->value);
  FreeNetQueue(g_netQueue);
  return speeds;
}

// A failing writer that leaves what a crash before the rename would leave:
// the new bytes in a temporary file beside the target, the target untouched.
plat::Status WriteThenFailBeforeRename(std::string_view path, const void* data, size_t size) {
  const std::string temp = std::string(path) + ".partial";
  (void)plat::WriteFileReplacing(temp, data, size);
  return plat::kFail;
}

class SaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFieldText(g_app.saveGamePath, "Savegame\\");
    g_uiOptions.speedrateslices[0] = 7;
    g_uiOptions.speedrateslices[1] = 20;
    g_uiOptions.bspeeddouble = 0;
    TakeQueuedSpeeds();
    // Events an earlier test queued for computer players would be saved too,
    // and the small world has no computer players whose block would be added.
    g_aiEvents.Clear();
    g_computerPlayerSaveHook = SaveBlockHook{};
    world_ = std::make_unique<World>();
    MakeWorld(*world_);
  }
  void TearDown() override {
    TakeQueuedSpeeds();
    g_saveFileWriter = plat::WriteFileReplacing;
  }

  // A small world in every part: a 6 x 4 map with labels, cell bytes and
  // blocks; three regions with units on the map (one a hex's facility) and
  // links between them; the rule files on disk under the names the map
  // header gives; people; a scenario head; and a snapshot.
  void MakeWorld(World& w) {
    ResetWorldDataTables(w);
    MapHeader& h = w.mapHeader;
    h = MapHeaderWithSizes();
    h.width = 6;
    h.height = 4;
    h.cellCount = 24;
    h.startDay = kNewMapStartDay;
    h.scaleSquared = 1.0f;
    SetFieldText(h.gameTitle, "SAVETEST");
    for (char* name : {h.unitFileName, h.peopleFileName, h.techFileName, h.terrainFileName}) std::strcpy(name, "TEST");
    w.cells.assign(24, HexCell{});
    w.cellBytes.assign(24, 0);
    w.cellBlocks.assign(24 * 32, 0);
    for (int i = 0; i < 24; ++i) {
      w.cells[i].word = WithCellTerrain(WithCellOwner(0, 1 + i % 2), i);
      w.cellBytes[i] = static_cast<uint8_t>(i * 3);
      w.cellBlocks[i * 32 + 5] = static_cast<uint8_t>(i);
    }
    GetHexExtra(w, w.cells[8])->text = strdup("Harbour");
    GetHexExtra(w, w.cells[20]);
    PrepareMapBuffers(w);

    NewGameData(w);
    GameState& s = w.gameState;
    s.playerCount = 3;
    s.designRowBytes = 8;
    s.techCount = 3;
    s.gameSpeed = GameSpeedOfTier(0);
    w.designRows.assign(32 * 8, 1);
    w.techRows.assign(32 * 3, PlayerTechState{});
    for (int p = 0; p < 3; ++p) {
      w.players[p].kind = p == 0 ? kKindWorld : kKindComputer;
      w.players[p].number = static_cast<uint8_t>(p);
      w.players[p].govtype = 1;
      SetFieldText(w.players[p].name, "Land " + std::to_string(p));
      w.players[p].treasury = 800.0f;
      w.players[p].hexCount = p == 0 ? 0 : 12;  // the map's cells alternate between regions 1 and 2
    }
    w.unitClasses.assign(6, UnitClassRecord{});
    for (int c = 1; c < 6; ++c) {
      SetFieldText(w.unitClasses[static_cast<size_t>(c)].name, "Class " + std::to_string(c));
      w.unitClasses[static_cast<size_t>(c)].strengthPerSize = 2;
    }
    w.unitClasses[4].flags = kClassFacility;
    w.techs.assign(3, TechRecord{});
    w.techs[1].category = 1;
    w.techs[1].name.assign("Wheel");
    for (size_t i = 0; i < w.people.size(); ++i) w.people[i] = static_cast<uint8_t>(i);

    auto unit = [&](uint32_t id, int16_t classIndex, int16_t x, int16_t y) {
      auto* u = new UnitRecord{};
      u->id = id;
      u->savedSelf = id;  // as read from the scenario's game file
      u->owner = static_cast<uint8_t>(id >> 24);
      u->classIndex = classIndex;
      u->x = x;
      u->y = y;
      u->strength = 1.5f;
      InsertUnitInRing(w, *u);
      return u;
    };
    UnitRecord* a = unit(0x01000001, 1, 2, 1);
    UnitRecord* b = unit(0x01000002, 2, 2, 1);
    UnitRecord* depot = unit(0x02000003, 4, 3, 2);
    a->carrier = b->id;
    b->orders[kFireUnit] = depot->id;
    MakeHexStack(w.cells[2 * 6 + 3])->lead = depot;
    a->customName = std::make_unique<char[]>(5);
    std::strcpy(a->customName.get(), "Hawk");
    // B is half-way along its route: three of its six steps are walked.
    b->route = std::make_unique<PathRequest>();
    b->route->start = 0x00010002;
    b->route->end = b->route->waypoints[1] = 0x00040005;
    b->route->waypoints[0] = b->route->start;
    b->route->current = 0x00010002 + 3;
    b->route->stepCount = 6;
    b->route->stepIndex = 2;
    b->route->waypointIndex = 1;
    b->route->flags = 0x13;
    b->route->steps = {5, 4, 0x45, 5, 4, 2};
    b->route2 = std::make_unique<PathRequest>();  // waiting for a search: no steps

    w.scenario.head.initialfunds = 1;
    w.scenario.head.resources = 3;
    w.scenario.head.difficulty = 2;
    w.scenario.head.programVersion = 0xABCD;
    w.snapshotTable.resize(16);
    for (int i = 0; i < 16; ++i) SetFieldText(w.snapshotTable[static_cast<size_t>(i)].name, "Snap " + std::to_string(i));

    ASSERT_EQ(WriteUniFile(w, "TEST"), 0);
    ASSERT_EQ(WriteTtrFile(w, "TEST"), 0);
    ASSERT_EQ(WriteTerFile(w, "TEST"), 0);
    // The scenario's start: the pass binds the units and applies the difficulty once.
    CheckUnitsAfterLoad(w);
    TakeQueuedSpeeds();
  }

  std::string Fingerprint(const World& w) const {
    std::string f(reinterpret_cast<const char*>(&w.gameState), sizeof(GameState));
    f.append(reinterpret_cast<const char*>(&w.saveHeader), sizeof(SaveHeader));
    f.append(reinterpret_cast<const char*>(&w.mapHeader), sizeof(MapHeader));
    f.append(reinterpret_cast<const char*>(&w.scenario.head), sizeof(ScenarioHead));
    for (int p = 0; p < 3; ++p) f.append(w.players[p].name, 16);
    for (UnitRecord* u = w.units; u;) {
      f += std::to_string(u->id) + ",";
      u = u->next;
      if (u == w.units) break;
    }
    for (const HexCell& c : w.cells) f += std::to_string(c.word) + (c.stack ? "s" : "-");
    f.append(w.people.begin(), w.people.end());
    f += std::to_string(w.snapshotTable.size());
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
  GlobalGuard<decltype(g_app.saveGamePath)> savePath_{g_app.saveGamePath};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<SaveBlockHook> workerHook_{g_computerPlayerSaveHook};
};

TEST_F(SaveFileTest, SaveLoadSaveIsByteIdentical) {
  ASSERT_EQ(SaveGame(*world_, "ONE"), 0);
  const auto first = ReadBack("Savegame\\ONE.SAV");
  World other;
  ASSERT_EQ(LoadSaveGame(other, "ONE", nullptr, false, false), 0);
  ASSERT_EQ(SaveGame(other, "TWO"), 0);
  EXPECT_EQ(ReadBack("Savegame\\TWO.SAV"), first);
  // Loading it once more does not scale the treasury again.
  World third;
  ASSERT_EQ(LoadSaveGame(third, "TWO", nullptr, false, false), 0);
  EXPECT_EQ(third.players[1].treasury, 400.0f);
  FreeMapData(other);
  FreeMapData(third);
}

TEST_F(SaveFileTest, TheWholeGameComesBack) {
  ASSERT_EQ(SaveGame(*world_, "ONE"), 0);
  World w;
  w.snapshotTable.clear();
  ASSERT_EQ(LoadSaveGame(w, "ONE", nullptr, false, false), 0);
  EXPECT_STREQ(w.players[2].name, "Land 2");
  EXPECT_EQ(w.mapHeader.width, 6);
  EXPECT_STREQ(w.cells[8].stack->extra->text, "Harbour");
  EXPECT_EQ(w.cellBytes[5], 15);
  EXPECT_EQ(w.cellBlocks[7 * 32 + 5], 7);
  EXPECT_EQ(w.people, world_->people);
  ASSERT_EQ(w.unitClasses.size(), 6u);  // the rule files come from the data folder
  EXPECT_STREQ(w.techs[1].name.get(), "Wheel");
  EXPECT_EQ(w.terrains.size(), 256u);
  UnitRecord* a = FindUnitById(w, 0x01000001);
  UnitRecord* b = FindUnitById(w, 0x01000002);
  UnitRecord* depot = FindUnitById(w, 0x02000003);
  ASSERT_TRUE(a && b && depot);
  EXPECT_EQ(w.cells[2 * 6 + 3].stack->lead, depot);  // the map finds its facility among the saved units
  EXPECT_EQ(FindUnitById(w, a->carrier), b);
  EXPECT_EQ(FindUnitById(w, b->orders[kFireUnit]), depot);
  EXPECT_STREQ(a->customName.get(), "Hawk");
  // Back on their hex, but for the unit that is carried.
  EXPECT_EQ(w.cells[1 * 6 + 2].stack->chainA[0], b);
  EXPECT_EQ(b->nextInChainA, nullptr);
  ASSERT_EQ(w.snapshotTable.size(), 16u);
  EXPECT_STREQ(w.snapshotTable[15].name, "Snap 15");
  EXPECT_EQ(w.scenario.head.programVersion, 0xABCDu);
  EXPECT_EQ(w.scenario.head.difficulty, 2);
  EXPECT_EQ(w.localPlayerRecord, &w.players[1]);
  FreeMapData(w);
}

TEST_F(SaveFileTest, HeaderAndParts) {
  const auto f = BuildSaveImage(*world_);
  EXPECT_EQ(le::Load32(f.data()), 100u);
  EXPECT_EQ(le::Load32(f.data() + 4), 0u);  // never a checksum in the file
  EXPECT_EQ(le::Load32(f.data() + 8), 113u);
  EXPECT_EQ(le::Load16(f.data() + 16 + 4), 2012);
  EXPECT_EQ(std::memcmp(f.data() + 16, f.data() + 28, 12), 0);  // both stamps alike
  const uint32_t game = le::Load32(f.data() + 80);
  const uint32_t map = le::Load32(f.data() + 88);
  const uint32_t people = le::Load32(f.data() + 92);
  const uint32_t snapshot = le::Load32(f.data() + 96);
  EXPECT_EQ(game, 1024u);
  EXPECT_EQ(le::Load32(f.data() + game), 580u);  // the game part begins with its state
  EXPECT_EQ(le::Load32(f.data() + map), 672u);   // the map part with its header
  EXPECT_EQ(f[map + 65], 3);                     // cell bytes and blocks
  EXPECT_EQ(people - map, 1024u + 24 * (8 + 1 + 32) + 2 * 256 + 256);
  EXPECT_EQ(snapshot - people, 66560u);
  const uint32_t extension = le::Load32(f.data() + 84);
  EXPECT_EQ(extension, snapshot + 16u * 16384);
  // One route's six steps, then the checksum over all before it.
  EXPECT_EQ(f.size(), extension + 8u + 4 + 9 + 6 + 12);
  EXPECT_EQ(le::Load32(f.data() + f.size() - 12), kSaveBlockChecksum);
  EXPECT_EQ(le::Load32(f.data() + f.size() - 4), Crc32(std::span(f).first(f.size() - 12)));
  EXPECT_EQ(std::memcmp(f.data() + snapshot + 15 * 16384 + 8, "Snap 15", 8), 0);
  EXPECT_EQ(le::Load32(f.data() + 512), 0x20003u);  // the scenario head
  EXPECT_EQ(le::Load32(f.data() + 512 + 120), 0xABCDu);
  for (size_t k = 100; k < 512; ++k) ASSERT_EQ(f[k], 0) << k;
  for (size_t k = 652; k < 1024; ++k) ASSERT_EQ(f[k], 0) << k;
  EXPECT_EQ(world_->saveHeader.mapPartOffset, map);
}

TEST_F(SaveFileTest, ASaveWithoutSnapshotLoadsWithoutOne) {
  world_->snapshotTable.clear();
  ASSERT_EQ(SaveGame(*world_, "BARE"), 0);
  const auto f = ReadBack("Savegame\\BARE.SAV");
  EXPECT_EQ(le::Load32(f.data() + 96), 0u);
  EXPECT_EQ(le::Load32(f.data() + 84), le::Load32(f.data() + 92) + 66560u);
  World w;
  w.snapshotTable.resize(16);
  ASSERT_EQ(LoadSaveGame(w, "BARE", nullptr, false, false), 0);
  EXPECT_TRUE(w.snapshotTable.empty());
  FreeMapData(w);
}

TEST_F(SaveFileTest, TheLoadedHeaderCarriesTheFilesChecksum) {
  ASSERT_EQ(SaveGame(*world_, "ONE"), 0);
  const auto f = ReadBack("Savegame\\ONE.SAV");
  EXPECT_EQ(le::Load32(f.data() + 4), 0u);
  World w;
  ASSERT_EQ(LoadSaveGame(w, "ONE", nullptr, false, false), 0);
  const uint32_t sum = DataFileChecksum(f.data(), f.size());
  EXPECT_EQ(w.saveHeader.checksum, sum ? sum : 1u);
  EXPECT_EQ(w.saveHeader.peoplePartOffset, le::Load32(f.data() + 92));
  FreeMapData(w);
}

TEST_F(SaveFileTest, LoadingSetsTheSpeedToTierZero) {
  world_->gameState.gameSpeed = 80;  // saved running
  ASSERT_EQ(SaveGame(*world_, "FAST"), 0);
  World w;
  ASSERT_EQ(LoadSaveGame(w, "FAST", nullptr, false, false), 0);
  EXPECT_EQ(w.gameState.gameSpeed, 7);
  EXPECT_EQ(TakeQueuedSpeeds(), std::vector<uint32_t>{7});
  // Even with the speed locked for timed turns.
  world_->gameState.speedLockMode = 1;
  world_->gameState.speedChangeAllowed = 0;
  ASSERT_EQ(SaveGame(*world_, "LOCKED"), 0);
  ASSERT_EQ(LoadSaveGame(w, "LOCKED", nullptr, false, false), 0);
  EXPECT_EQ(w.gameState.gameSpeed, 7);
  FreeMapData(w);
}

TEST_F(SaveFileTest, AnOlderSaveKeepsTheScenarioHeadAsTheDefinitionLeftIt) {
  auto f = BuildSaveImage(*world_);
  World w;
  ASSERT_EQ(LoadSaveImage(w, f, "x", false, false), 0);
  EXPECT_EQ(w.scenario.head.programVersion, 0xABCDu);
  le::Store32(f.data() + 8, 112);
  Reseal(f);
  World older;
  older.scenario.head.programVersion = 0x1111;
  ASSERT_EQ(LoadSaveImage(older, f, "x", false, false), 0);
  EXPECT_NE(older.scenario.head.programVersion, 0xABCDu);
  EXPECT_EQ(older.scenario.head.id, 0x20003u);
  // Keeping the scenario leaves the head alone whatever the version.
  World kept;
  kept.scenario.head.programVersion = 0x2222;
  le::Store32(f.data() + 8, 113);
  Reseal(f);
  ASSERT_EQ(LoadSaveImage(kept, f, "x", true, false), 0);
  EXPECT_EQ(kept.scenario.head.programVersion, 0x2222u);
  for (World* each : {&w, &older, &kept}) FreeMapData(*each);
}

TEST_F(SaveFileTest, AFailedWriteLeavesThePreviousSaveWholeAndLoadable) {
  ASSERT_EQ(SaveGame(*world_, "KEEP"), 0);
  const auto before = ReadBack("Savegame\\KEEP.SAV");
  SetFieldText(world_->players[1].name, "Renamed");
  g_saveFileWriter = WriteThenFailBeforeRename;
  EXPECT_EQ(SaveGame(*world_, "KEEP"), plat::kFail);
  g_saveFileWriter = plat::WriteFileReplacing;
  EXPECT_EQ(ReadBack("Savegame\\KEEP.SAV"), before);
  EXPECT_TRUE(plat::GameFileExists("Savegame\\KEEP.SAV.partial"));
  World w;
  ASSERT_EQ(LoadSaveGame(w, "KEEP", nullptr, false, false), 0);
  EXPECT_STREQ(w.players[1].name, "Land 1");
  FreeMapData(w);
}

TEST_F(SaveFileTest, TruncatedSavesAreRefusedAndChangeNothing) {
  const auto good = BuildSaveImage(*world_);
  World w;
  ASSERT_EQ(LoadSaveImage(w, good, "x", false, false), 0);
  const std::string before = Fingerprint(w);
  for (size_t length = 0; length < good.size(); ++length) {
    // Without just its checksum block the save is whole: below.
    if (length == good.size() - 12) continue;
    ASSERT_EQ(LoadSaveImage(w, std::span<const uint8_t>(good.data(), length), "x", false, false), plat::kFail)
        << length;
    if (length % 4099 == 0) {
      ASSERT_EQ(Fingerprint(w), before) << length;
    }
  }
  EXPECT_EQ(Fingerprint(w), before);
  EXPECT_EQ(LoadSaveGame(w, "NOSUCH", nullptr, false, false), plat::kFail);
  EXPECT_EQ(Fingerprint(w), before);
  // A save without its checksum block loads, as a save from before
  // checksums does.
  EXPECT_EQ(LoadSaveImage(w, std::span<const uint8_t>(good.data(), good.size() - 12), "x", false, false), plat::kOk);
  FreeMapData(w);
}

TEST_F(SaveFileTest, CorruptedSavesAreRefusedCleanly) {
  const auto good = BuildSaveImage(*world_);
  World w;
  int refused = 0;
  int read = 0;
  auto check = [&](std::vector<uint8_t> copy) {
    const std::string before = Fingerprint(w);
    // As damaged on disk: the checksum refuses it, naming the damage.
    std::string why;
    ASSERT_NE(LoadSaveImage(w, copy, "x", false, false, &why), 0);
    ASSERT_EQ(Fingerprint(w), before);
    if (why.find("checksum") == std::string::npos) {
      ++refused;  // refused before the checksum is read: the header's own offsets
      return;
    }
    // As a writer that got it wrong would have sealed it: the parts' own
    // checks judge it.
    Reseal(copy);
    if (LoadSaveImage(w, copy, "x", false, false) != 0) {
      ++refused;
      ASSERT_EQ(Fingerprint(w), before);
      return;
    }
    ++read;
    ASSERT_EQ(w.cells.size(), static_cast<size_t>(w.mapHeader.width) * static_cast<size_t>(w.mapHeader.height));
    ASSERT_TRUE(w.snapshotTable.empty() || w.snapshotTable.size() == 16);
  };
  for (size_t at : {0u, 4u, 8u, 80u, 84u, 88u, 92u, 96u}) {
    for (size_t byte = at; byte < at + 4; ++byte) {
      for (int bit = 0; bit < 8; ++bit) {
        auto copy = good;
        copy[byte] ^= static_cast<uint8_t>(1u << bit);
        check(copy);
      }
    }
  }
  Lcg rng(777);
  const uint32_t people = le::Load32(good.data() + 92);
  for (int round = 0; round < 120; ++round) {
    auto copy = good;
    // Words in the game and map parts, where the counts and offsets are.
    const size_t at = 1024 + (rng.Next() % ((people - 1024) / 4)) * 4;
    le::Store32(copy.data() + at, (rng.Next() & 1) ? rng.Next() : rng.Next() % 64);
    check(copy);
  }
  EXPECT_GT(refused, 50);
  EXPECT_GT(read, 10);
  FreeMapData(w);
}

// The snapshot's records are region records: a figure out of its range
// there is refused as in the game part, the field named and the world as
// it was, and a game holding one is not saved over the last good save.
TEST_F(SaveFileTest, ASnapshotFigureOutOfItsRangeIsRefusedByName) {
  ASSERT_EQ(SaveGame(*world_, "SNAP"), 0);
  const auto good = ReadBack("Savegame\\SNAP.SAV");
  const size_t snapshot = le::Load32(good.data() + offsetof(SaveHeader, snapshotPartOffset));
  World w;
  ASSERT_EQ(LoadSaveImage(w, good, "x", false, false), 0);
  const std::string before = Fingerprint(w);
  struct Row {
    size_t record;
    size_t at;
    float value;
    const char* refusal;
  };
  const Row rows[] = {
      {3, offsetof(PlayerRecord, approval), std::numeric_limits<float>::quiet_NaN(),
       "snapshot part: record 3: its approval that is not a finite number"},
      {15, offsetof(PlayerRecord, population), 1e12f,
       "snapshot part: record 15: its population of 1e+12, outside 0 to 1e+10"},
  };
  for (const Row& row : rows) {
    auto image = good;
    le::StoreF32(image.data() + snapshot + row.record * kSnapshotSlot + row.at, row.value);
    Reseal(image);
    std::string why;
    EXPECT_EQ(LoadSaveImage(w, image, "x", false, false, &why), plat::kFail) << row.refusal;
    EXPECT_EQ(why, row.refusal);
    EXPECT_TRUE(Fingerprint(w) == before) << row.refusal << ": the refused save changed the game";
    auto* held = reinterpret_cast<uint8_t*>(&world_->snapshotTable[row.record]) + row.at;
    const float kept = le::LoadF32(held);
    le::StoreF32(held, row.value);
    EXPECT_EQ(SaveGame(*world_, "SNAP"), plat::kFail) << row.refusal;
    EXPECT_TRUE(ReadBack("Savegame\\SNAP.SAV") == good) << row.refusal << ": the last good save was replaced";
    le::StoreF32(held, kept);
  }
  FreeMapData(w);
}

TEST_F(SaveFileTest, AUnitHalfWayAlongItsRouteKeepsItsStepsByteForByte) {
  const UnitRecord& b = *FindUnitById(*world_, 0x01000002);
  const auto image = BuildSaveImage(*world_);
  ASSERT_NE(le::Load32(image.data() + 84), 0u);
  World w;
  ASSERT_EQ(LoadSaveImage(w, image, "x", false, false), 0);
  const UnitRecord* loaded = FindUnitById(w, 0x01000002);
  ASSERT_TRUE(loaded && loaded->route && loaded->route2);
  EXPECT_EQ(std::memcmp(static_cast<const PathRequestImage*>(loaded->route.get()),
                        static_cast<const PathRequestImage*>(b.route.get()), sizeof(PathRequestImage)),
            0);
  EXPECT_EQ(loaded->route->steps, b.route->steps);
  EXPECT_TRUE(loaded->route2->steps.empty());
  FreeMapData(w);
}

// A save without the section loads as before, a block of an unknown tag is
// passed over, and a block that does not fit the game is refused with the
// world left as it was.
TEST_F(SaveFileTest, TheExtensionSectionIsCheckedBeforeTheGameIsReplaced) {
  const auto good = BuildSaveImage(*world_);
  const uint32_t at = le::Load32(good.data() + 84);
  ASSERT_GT(at, 0u);
  auto without = std::vector<uint8_t>(good.begin(), good.begin() + at);
  le::Store32(without.data() + 84, 0);
  auto unknown = good;
  le::Store32(unknown.data() + at, 0x454E4F4E);
  Reseal(unknown);
  struct Case {
    size_t offset;  // from the section's start; 0 leaves the image as it is
    uint32_t value;
    bool loads;
  };
  const Case cases[] = {
      {4, 0xFFFF, false},      // the block runs past the file
      {8, 2, false},           // more routes than the block holds
      {12, 0x01000077, false},  // a unit that is not in the game
      {16, 3, false},          // a route a unit cannot have
  };
  World w;
  ASSERT_EQ(LoadSaveImage(w, without, "x", false, false), 0);
  EXPECT_FALSE(FindUnitById(w, 0x01000002)->route->steps.size());
  ASSERT_EQ(LoadSaveImage(w, unknown, "x", false, false), 0);
  EXPECT_FALSE(FindUnitById(w, 0x01000002)->route->steps.size());
  ASSERT_EQ(LoadSaveImage(w, good, "x", false, false), 0);
  const std::string before = Fingerprint(w);
  for (const Case& c : cases) {
    auto copy = good;
    if (c.offset == 16)
      copy[at + c.offset] = static_cast<uint8_t>(c.value);
    else
      le::Store32(copy.data() + at + c.offset, c.value);
    Reseal(copy);
    EXPECT_EQ(LoadSaveImage(w, copy, "x", false, false) == 0, c.loads) << c.offset;
    EXPECT_EQ(Fingerprint(w), before);
  }
  EXPECT_EQ(FindUnitById(w, 0x01000002)->route->steps, (std::vector<uint8_t>{5, 4, 0x45, 5, 4, 2}));
  FreeMapData(w);
}

// The spotting map travels in the extension section as its bytes that are
// not 0; a damaged block is refused before anything changes.
TEST_F(SaveFileTest, TheSpottingMapComesBackAndADamagedOneIsRefused) {
  world_->spottingMap.assign(24 * 32, 0);
  world_->spottingMap[3 * 32 + 1] = 40;
  world_->spottingMap[20 * 32 + 2] = 200;
  const auto good = BuildSaveImage(*world_);
  std::vector<SaveExtensionBlock> blocks;
  std::string why;
  ASSERT_TRUE(SplitSaveExtension(std::span(good).subspan(le::Load32(good.data() + 84)), blocks, why));
  size_t block = 0;  // the payload's offset in the file
  for (const SaveExtensionBlock& b : blocks)
    if (b.tag == kSaveBlockSpottingMap) block = static_cast<size_t>(b.payload.data() - good.data());
  ASSERT_NE(block, 0u);
  World w;
  ASSERT_EQ(LoadSaveImage(w, good, "x", false, false), 0);
  EXPECT_EQ(w.spottingMap, world_->spottingMap);
  const std::string before = Fingerprint(w);
  const struct {
    const char* what;
    size_t offset;  // in the block's payload
    uint32_t value;
  } damaged[] = {
      {"a map of another size", 0, 25},
      {"more entries than it holds", 4, 3},
      {"the second byte before the first", 13, 2},
  };
  for (const auto& d : damaged) {
    auto copy = good;
    le::Store32(copy.data() + block + d.offset, d.value);
    Reseal(copy);
    EXPECT_NE(LoadSaveImage(w, copy, "x", false, false), 0) << d.what;
    EXPECT_EQ(Fingerprint(w), before) << d.what;
    EXPECT_EQ(w.spottingMap, world_->spottingMap) << d.what;
  }
  FreeMapData(w);
}

TEST_F(SaveFileTest, TheLoadDialogReadsOnlyTheRegions) {
  ASSERT_EQ(SaveGame(*world_, "LIST"), 0);
  World w;
  ASSERT_EQ(ReadSavGamePart(nullptr, w, "LIST"), 0);
  EXPECT_STREQ(w.players[2].name, "Land 2");
  EXPECT_EQ(w.units, nullptr);
  EXPECT_EQ(w.saveHeader.gamePartOffset, 1024u);
  EXPECT_EQ(w.scenario.head.programVersion, 0xABCDu);
  EXPECT_TRUE(w.cells.empty());
  EXPECT_EQ(ReadSavGamePart(nullptr, w, "NOSUCH"), plat::kFail);
  const auto bytes = ReadBack("Savegame\\LIST.SAV");
  root_.dir().Write("Elsewhere/LIST.SAV", std::string(bytes.begin(), bytes.end()));
  World there;
  EXPECT_EQ(ReadSavGamePart("Elsewhere\\", there, "LIST"), 0);
  EXPECT_STREQ(there.players[1].name, "Land 1");
}

std::vector<PendingCommandImage> g_saveLog;
std::vector<PendingCommandImage> CollectSaveLog(World&) { return g_saveLog; }
void InsertSaveLog(World&, PendingCommandImage&& command) { g_saveLog.push_back(std::move(command)); }

TEST_F(SaveFileTest, PendingCommandsTravelInTheSave) {
  PendingCommandImage command;
  le::Store32(command.bytes, 0x20001);
  le::Store32(command.bytes + 4, 64);
  le::Store32(command.bytes + 8, 340);
  command.payload = {'o', 'f', 'f', 'e', 'r', 0};
  le::Store32(command.bytes + 56, 6);
  g_saveLog = {command};
  const CommandLogAccess saved = g_commandLogAccess;
  g_commandLogAccess = CommandLogAccess{CollectSaveLog, InsertSaveLog};
  ASSERT_EQ(SaveGame(*world_, "CMDS"), 0);
  g_saveLog.clear();
  World w;
  const plat::Status loaded = LoadSaveGame(w, "CMDS", nullptr, false, false);
  g_commandLogAccess = saved;
  ASSERT_EQ(loaded, 0);
  ASSERT_EQ(g_saveLog.size(), 1u);
  EXPECT_EQ(le::Load32(g_saveLog[0].bytes + 8), 340u);
  EXPECT_EQ(g_saveLog[0].payload, command.payload);
  EXPECT_EQ(w.gameState.commandCount, 1);
}

TEST(SaveNames, AutosavesAndCampaignSaves) {
  EXPECT_EQ(AutoSaveName("Europe"), "AutoSave-Europe");
  EXPECT_EQ(CampaignSaveName("Europe"), "Campaign-Europe");
  EXPECT_EQ(CampaignAutoSaveName("Europe"), "AutosaveC-Europe");
  EXPECT_STREQ(kTurnSaveName, "TurnSave");
  EXPECT_EQ(SaveGamePath("TurnSave", "Net\\"), "Net\\TurnSave.SAV");
}

}  // namespace
