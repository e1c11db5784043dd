#include "world/world.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "records/text_field.h"
#include "support/fixed_clock.h"

namespace {

TEST(World, ConstructionSetsTheHeadsAndNothingElse) {
  auto w = std::make_unique<World>();
  EXPECT_EQ(w->mapHeader.size, 672u);
  EXPECT_EQ(w->mapHeader.terrainRecordSize, 164u);
  EXPECT_EQ(w->mapHeader.cellSize, 8u);
  EXPECT_EQ(w->mapHeader.labelSize, 48u);
  EXPECT_EQ(w->mapHeader.version, 113);
  EXPECT_EQ(w->scenario.head.id, 0x20003u);
  EXPECT_EQ(w->scenario.head.size, 140u);
  EXPECT_EQ(w->campaignMessage.id, 0x20006u);
  EXPECT_EQ(w->campaignMessage.size, 48u);
  EXPECT_EQ(w->localPlayerRecord, nullptr);
  EXPECT_EQ(w->gameState.size, 0u);
  EXPECT_EQ(w->players[31].kind, kKindEmpty);
  for (int p = 0; p < kMaxPlayers; ++p) {
    EXPECT_FALSE(w->playerItemLists[p].linked());
    EXPECT_FALSE(w->projectLists[p].linked());
    EXPECT_FALSE(w->messageLists[p].linked());
  }
  EXPECT_EQ(w->techEffects[31][127], 0.0f);
}

// The creation order of the twelve locks, as the game makes them.
TEST(World, LocksAreMadeInTheirOrder) {
  const WorldLock expected[kWorldLockCount] = {
      kLockCommandLog, kLockNetQueue, kLockTextMessages, kLockMapEffects, kLockUnits,     kLockProjects,
      kLockHexExtras,  kLockHexStacks, kLockMail,        kLockLocalNews,  kLockRecurring, kLockFileSave};
  bool seen[kWorldLockCount] = {};
  for (int i = 0; i < kWorldLockCount; ++i) {
    EXPECT_EQ(kWorldLockCreationOrder[i], expected[i]) << i;
    seen[kWorldLockCreationOrder[i]] = true;
  }
  for (bool s : seen) EXPECT_TRUE(s);
  // The members' order: lock 1 the command log ... lock 12 file save.
  EXPECT_EQ(kLockCommandLog, 0);
  EXPECT_EQ(kLockNetQueue, 1);
  EXPECT_EQ(kLockUnits, 2);
  EXPECT_EQ(kLockProjects, 3);
  EXPECT_EQ(kLockHexStacks, 4);
  EXPECT_EQ(kLockHexExtras, 5);
  EXPECT_EQ(kLockMail, 6);
  EXPECT_EQ(kLockLocalNews, 7);
  EXPECT_EQ(kLockRecurring, 8);
  EXPECT_EQ(kLockMapEffects, 9);
  EXPECT_EQ(kLockTextMessages, 10);
  EXPECT_EQ(kLockFileSave, 11);
}

TEST(World, LocksAreReentrantAndExclude) {
  auto w = std::make_unique<World>();
  EXPECT_FALSE(WorldLocksExist(*w));
  WorldInitLocks(*w);
  ASSERT_TRUE(WorldLocksExist(*w));
  {
    WorldLockGuard outer(*w, kLockHexExtras);
    WorldLockGuard inner(*w, kLockHexExtras);  // the same thread again
    std::atomic<bool> got{false};
    std::thread other([&] {
      got = w->locks[kLockHexExtras]->TryEnter();
      if (got) w->locks[kLockHexExtras]->Leave();
    });
    other.join();
    EXPECT_FALSE(got);
  }
  std::atomic<bool> got{false};
  std::thread other([&] {
    got = w->locks[kLockHexExtras]->TryEnter();
    if (got) w->locks[kLockHexExtras]->Leave();
  });
  other.join();
  EXPECT_TRUE(got);
  WorldDeleteLocks(*w);
  EXPECT_FALSE(WorldLocksExist(*w));
  for (auto* lock : w->locks) EXPECT_EQ(lock, nullptr);
}

TEST(World, ResetDataTablesMakesTheDefaultTables) {
  FixedClock clock{{.year = 2011, .month = 1, .day = 2, .hour = 3, .minute = 4, .second = 5, .milliseconds = 6}, 5};
  plat::SetClockSource(&clock);
  auto w = std::make_unique<World>();
  w->unitClasses.resize(5);
  w->terrainExtra.assign(10, 1);
  w->people.assign(3, 9);
  w->unitClassHeader.version = 99;
  w->unitClassHeader.classCount = 5;
  ResetWorldDataTables(*w);
  plat::SetClockSource(nullptr);

  EXPECT_TRUE(w->unitClasses.empty());
  EXPECT_TRUE(w->terrainExtra.empty());
  ASSERT_EQ(w->terrains.size(), 256u);
  // Terrain 0 at the top left, 17 in the second row, 255 at the bottom right.
  EXPECT_EQ(w->terrains[0].imageLeft, 0);
  EXPECT_EQ(w->terrains[0].imageTop, 0);
  EXPECT_EQ(w->terrains[0].imageRight, 32);
  EXPECT_EQ(w->terrains[0].imageBottom, 32);
  EXPECT_EQ(w->terrains[17].imageLeft, 32);
  EXPECT_EQ(w->terrains[17].imageTop, 32);
  EXPECT_EQ(w->terrains[15].imageLeft, 480);
  EXPECT_EQ(w->terrains[15].imageRight, 512);
  EXPECT_EQ(w->terrains[255].imageLeft, 480);
  EXPECT_EQ(w->terrains[255].imageTop, 480);
  EXPECT_EQ(w->terrains[255].imageRight, 512);
  EXPECT_EQ(w->terrains[255].imageBottom, 512);
  for (const TerrainRecord& t : w->terrains)
    for (uint8_t byte : t.bytes) ASSERT_EQ(byte, 0);
  EXPECT_EQ(w->terrainHeader.terrainCount, 256);
  EXPECT_EQ(w->terrainHeader.word12, 0u);
  EXPECT_EQ(w->terrainHeader.word16, 24u);
  EXPECT_EQ(w->terrainHeader.created.date.year, 2011);
  EXPECT_EQ(w->terrainHeader.created.milliseconds, 5006);
  EXPECT_EQ(w->unitClassHeader.version, 108u);
  EXPECT_EQ(w->unitClassHeader.classCount, 0);
  EXPECT_EQ(w->unitClassHeader.created.hour, 3);
  EXPECT_EQ(w->peopleHeader.peopleCount, 256);
  EXPECT_EQ(w->peopleHeader.created.minute, 4);
  ASSERT_EQ(w->people.size(), 14336u);
  for (uint8_t byte : w->people) ASSERT_EQ(byte, 0);
}

TEST(World, NewGameDataStartsAFreshGame) {
  auto w = std::make_unique<World>();
  w->mapHeader.startDay = 2455317;
  SetFieldText(w->mapHeader.gameTitle, "NEW");
  w->players[3].kind = kKindHuman;
  w->players[3].treasury = 5.0f;
  w->worldEconomy.assign(10, 7);
  w->designRows.assign(64, 1);
  w->gameState.designRowBytes = 2;
  w->projectLists[2].Append(NewZeroed<ProjectEntry>());
  w->playerItemLists[0].Append(NewZeroed<PlayerItem>());
  auto* message = NewZeroed<PlayerMessage>();
  message->texts[1] = strdup("mail");
  w->messageLists[31].Append(message);
  w->techEffects[4][17] = 3.0f;  // the last game's technology

  NewGameData(*w);
  for (const auto& multipliers : w->techEffects)
    for (float m : multipliers) ASSERT_EQ(m, 1.0f) << "a new game starts from neutral multipliers";
  EXPECT_EQ(w->gameState.size, 580u);
  EXPECT_EQ(w->gameState.playerCount, 32);
  EXPECT_EQ(w->gameState.localPlayer, 1);
  EXPECT_EQ(w->gameState.currentDay, 2455317u);
  EXPECT_STREQ(w->gameState.mapName, "NEW");
  EXPECT_EQ(w->localPlayerRecord, &w->players[1]);
  for (const PlayerRecord& r : w->players) {
    const auto* b = reinterpret_cast<const uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i) ASSERT_EQ(b[i], 0);
  }
  ASSERT_EQ(w->worldEconomy.size(), 1024u);
  for (uint8_t byte : w->worldEconomy) ASSERT_EQ(byte, 0);
  EXPECT_TRUE(w->designRows.empty());
  EXPECT_EQ(DesignRow(*w, 0), nullptr);
  EXPECT_FALSE(w->projectLists[2].linked());
  EXPECT_FALSE(w->playerItemLists[0].linked());
  EXPECT_FALSE(w->messageLists[31].linked());
}

// Freeing the game's units leaves no hex pointing at one.
TEST(World, FreeGameDataLeavesNoHexWithAUnit) {
  auto w = std::make_unique<World>();
  w->cells.assign(4, HexCell{});
  auto* a = new UnitRecord{};
  auto* b = new UnitRecord{};
  a->next = b;
  a->prev = b;
  b->next = a;
  b->prev = a;
  w->units = a;
  HexUnitStack* stack = MakeHexStack(w->cells[2]);
  stack->lead = a;
  stack->chainA[1] = b;
  stack->chainB[3] = a;
  GetHexExtra(*w, w->cells[2])->text = strdup("Ford");

  FreeGameData(*w);
  EXPECT_EQ(w->units, nullptr);
  ASSERT_EQ(w->cells[2].stack, stack);
  EXPECT_EQ(stack->lead, nullptr);
  EXPECT_EQ(stack->chainA[1], nullptr);
  EXPECT_EQ(stack->chainB[3], nullptr);
  // The hex keeps its label.
  EXPECT_STREQ(stack->extra->text, "Ford");
}

TEST(World, RowsOfEachPlayer) {
  auto w = std::make_unique<World>();
  EXPECT_EQ(DesignRow(*w, 0), nullptr);
  EXPECT_EQ(TechRow(*w, 0), nullptr);
  w->gameState.designRowBytes = 12;
  w->gameState.techCount = 5;
  w->designRows.assign(32 * 12, 0);
  w->techRows.assign(32 * 5, PlayerTechState{});
  EXPECT_EQ(DesignRow(*w, 0), w->designRows.data());
  EXPECT_EQ(DesignRow(*w, 31), w->designRows.data() + 31 * 12);
  EXPECT_EQ(TechRow(*w, 7), w->techRows.data() + 35);
  EXPECT_EQ(DesignRow(*w, 32), nullptr);
  EXPECT_EQ(DesignRow(*w, -1), nullptr);
  EXPECT_EQ(TechRow(*w, 32), nullptr);
  // Rows narrower than the state says are not handed out.
  w->gameState.designRowBytes = 13;
  EXPECT_EQ(DesignRow(*w, 31), nullptr);
  EXPECT_NE(DesignRow(*w, 0), nullptr);
}

}  // namespace
