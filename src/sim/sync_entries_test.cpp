#include "sim/sync_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "sim/command_test_world.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"

namespace {

// The game world's entries are put back empty after each test.
struct EntriesGuard {
  EntriesGuard() { g_syncEntries = SyncEntries{}; }
  ~EntriesGuard() { g_syncEntries = SyncEntries{}; }
};

std::vector<uint8_t> Entry(World& w, int type) {
  std::vector<uint8_t> out = {0xAA};  // replaced, not appended to
  const size_t n = BuildSyncEntry(w, type, out);
  EXPECT_EQ(n, out.size());
  return out;
}

UnitRecord* AddUnit(World& w, uint32_t id, int16_t x, int16_t y, float strength) {
  auto* u = new UnitRecord{};
  u->id = id;
  u->owner = static_cast<uint8_t>(id >> 24);
  u->classIndex = 1;
  u->x = x;
  u->y = y;
  u->strength = strength;
  InsertUnitInRing(w, *u);
  return u;
}

// Fills a world's records and units the same way for the same seed; the
// units are made in a different order (and between other allocations) so
// that the two worlds' records sit at unrelated addresses.
void FillWorld(World& w, uint32_t seed, bool reverse) {
  std::mt19937 rng(seed);
  for (PlayerRecord& p : w.players) {
    auto* bytes = reinterpret_cast<uint8_t*>(&p);
    for (size_t i = 0; i < sizeof p; ++i) bytes[i] = static_cast<uint8_t>(rng());
  }
  std::vector<uint32_t> ids;
  for (uint32_t i = 1; i <= 50; ++i) ids.push_back(0x02000000u | i);
  if (reverse) std::reverse(ids.begin(), ids.end());
  std::vector<std::unique_ptr<int[]>> spacers;
  for (uint32_t id : ids) {
    spacers.push_back(std::make_unique<int[]>(reverse ? 37 : 3));
    UnitRecord* u = AddUnit(w, id, static_cast<int16_t>(id % 7 + 1), static_cast<int16_t>(id % 5), 1.0f + static_cast<float>(id % 9));
    u->efficiency = 0.25f * static_cast<float>(id % 4);
    u->unitFlags = (id % 10 == 0) ? kUnitProvisional : 0;
  }
}

TEST(SyncEntries, ByteSumAddsEveryByte) {
  const uint8_t bytes[] = {255, 255, 3};
  EXPECT_EQ(ByteSum(bytes, 3), 513u);
  EXPECT_EQ(ByteSum(bytes, 0), 0u);
}

TEST(SyncEntries, PlayerBytesWorkedByHand) {
  CommandTestWorld t;
  World& w = *t.world;
  for (PlayerRecord& p : w.players) p = PlayerRecord{};
  w.players[0].kind = 2;
  std::strcpy(w.players[0].name, "AB");
  w.players[0].treasury = 1.0f;  // bytes 00 00 80 3F
  w.players[0].gdpInput1 = 1.0f;  // at 10,168: in both the 564 and the 108 bytes
  w.players[1].simPolicy.hostileMask = 0x0101;
  w.players[1].products[0].bytes[0] = 9;
  w.players[1].socialLevels[0] = 2.0f;  // 11,980: bytes 00 00 00 40
  std::vector<uint8_t> want(kMaxPlayers * kSyncBytesPerPlayer, 0);
  want[0] = 2 + 'A' + 'B';
  want[2] = static_cast<uint8_t>(0x80 + 0x3F + 0x80 + 0x3F);
  want[5] = 0x80 + 0x3F;
  want[6 + 1] = 2;
  want[6 + 3] = 9;
  want[6 + 4] = 0x40;
  EXPECT_EQ(Entry(w, kSyncPlayers), want);
}

TEST(SyncEntries, PointerWordsCountAsZero) {
  CommandTestWorld a, b;
  FillWorld(*a.world, 5, false);
  FillWorld(*b.world, 5, true);
  for (int p = 0; p < kMaxPlayers; ++p) {
    PlayerRecord& r = b.world->players[p];
    r.pointerSlot48 ^= 0x12345678u;
    r.simPolicy.pointerSlot12 ^= 0xFFFFFFFFu;
    r.simPolicy.pointerSlots4900[0] ^= 0x01010101u;
    r.simPolicy.pointerSlots4900[2] ^= 0x80000000u;
    r.displayPolicy.taxRates[0] += 1.0f;  // the display copy is not covered
    r.turnBestHex[0] ^= 0x55;             // nor is the record past 12,312
  }
  for (UnitRecord* u = b.world->units;;) {
    u->routeSlot = 1;
    u->unitClassSlot = 0xDEAD;
    u->tableEntrySlot = 0xBEEF;
    u->prevSlot = u->nextSlot = 77;
    u = u->next;
    if (u == b.world->units) break;
  }
  EXPECT_NE(a.world->units, b.world->units);
  const std::vector<uint8_t> unitsA = Entry(*a.world, kSyncUnits);
  EXPECT_EQ(unitsA.size(), 45u);  // every tenth unit is hidden
  EXPECT_EQ(unitsA, Entry(*b.world, kSyncUnits));
  EXPECT_EQ(Entry(*a.world, kSyncPlayers), Entry(*b.world, kSyncPlayers));
}

TEST(SyncEntries, OneCoveredByteChangesItsEntry) {
  const size_t covered[] = {0, 47, 52, 119, 5144, 5144 + 11, 5144 + 16, 10167, 10168, 10500, 10731, 10732, 11883,
                            11884, 12311};
  for (size_t at : covered) {
    CommandTestWorld a, b;
    FillWorld(*a.world, 9, false);
    FillWorld(*b.world, 9, false);
    reinterpret_cast<uint8_t*>(&b.world->players[7])[at] += 1;
    const std::vector<uint8_t> ea = Entry(*a.world, kSyncPlayers);
    const std::vector<uint8_t> eb = Entry(*b.world, kSyncPlayers);
    EXPECT_NE(ea, eb) << at;
    for (size_t i = 0; i < ea.size(); ++i) {
      if (i / kSyncBytesPerPlayer != 7) {
        EXPECT_EQ(ea[i], eb[i]) << at;
      }
    }
  }
  for (size_t at : {12u, 19u, 24u, 56u, 104u, 136u, 147u}) {
    CommandTestWorld a, b;
    FillWorld(*a.world, 9, false);
    FillWorld(*b.world, 9, false);
    UnitRecord* u = b.world->units->next->next;
    reinterpret_cast<uint8_t*>(static_cast<UnitImage*>(u))[at] += 1;
    EXPECT_NE(Entry(*a.world, kSyncUnits), Entry(*b.world, kSyncUnits)) << at;
  }
  // Bytes outside the covered stretches change nothing.
  for (size_t at : {48u, 5144u + 12, 5144u + 4900, 5144u + 4911, 120u, 12312u, 14000u}) {
    CommandTestWorld a, b;
    FillWorld(*a.world, 9, false);
    FillWorld(*b.world, 9, false);
    reinterpret_cast<uint8_t*>(&b.world->players[7])[at] += 1;
    EXPECT_EQ(Entry(*a.world, kSyncPlayers), Entry(*b.world, kSyncPlayers)) << at;
  }
}

TEST(SyncEntries, UnitBytesWorkedByHand) {
  CommandTestWorld t;
  World& w = *t.world;
  AddUnit(w, 0x02000005u, 3, 4, 1.0f);
  // owner 2, id 05 00 00 02, class 01 00, x 03 00, y 04 00, strength 00 00 80 3F
  EXPECT_EQ(Entry(w, kSyncUnits), (std::vector<uint8_t>{2 + 5 + 2 + 1 + 3 + 4 + 0x80 + 0x3F}));
  AddUnit(w, 0x02000006u, 0, 0, 1.0f);  // not on the map
  AddUnit(w, 0x02000007u, 1, 1, 0.0f);  // no strength
  AddUnit(w, 0x02000008u, 1, 1, 1.0f)->unitFlags |= kUnitProvisional;
  AddUnit(w, 0x02000009u, 1, 1, 1.0f)->unitFlags |= kUnitGone;
  AddUnit(w, 0x0200000Au, 1, 1, 1.0f)->classIndex = 0;
  EXPECT_EQ(Entry(w, kSyncUnits).size(), 1u);
}

TEST(SyncEntries, AtMostTenThousandUnits) {
  CommandTestWorld t;
  World& w = *t.world;
  // Appending in id order keeps the ring's insertion cheap.
  for (uint32_t i = 1; i <= 10050; ++i) AddUnit(w, 0x02000000u | i, 1, 1, 2.0f);
  EXPECT_EQ(Entry(w, kSyncUnits).size(), kMaxSyncUnits);
}

TEST(SyncEntries, CellsSpottingAndTheEmptyTypes) {
  CommandTestWorld t(4, 2);
  World& w = *t.world;
  w.cells[0].word = 0x01020304u;
  w.cells[7].word = 0xFF00FF00u;
  std::vector<uint8_t> cells(8, 0);
  cells[0] = 10;
  cells[7] = static_cast<uint8_t>(0xFF + 0xFF);
  EXPECT_EQ(Entry(w, kSyncCells), cells);
  EXPECT_TRUE(Entry(w, kSyncSpotting).empty());  // no spotting map yet
  // The map file's per-cell blocks are another array and count for nothing.
  w.cellBlocks.assign(8 * 32, 7);
  w.spottingMap.assign(8 * 32, 0);
  w.spottingMap[32 * 2 + 0] = 200;
  w.spottingMap[32 * 2 + 31] = 100;
  std::vector<uint8_t> spotting(8, 0);
  spotting[2] = 44;  // 300 mod 256
  EXPECT_EQ(Entry(w, kSyncSpotting), spotting);
  EXPECT_TRUE(Entry(w, kSyncEmpty).empty());
  EXPECT_TRUE(Entry(w, kSyncUnused).empty());
  EXPECT_TRUE(Entry(w, 99).empty());
}

TEST(SyncEntries, OnlyNetworkGamesBuildAndOnlyClientsSend) {
  EntriesGuard guard;
  CommandTestWorld t;
  World& w = *t.world;
  AddUnit(w, 0x02000005u, 3, 4, 1.0f);
  w.gameState.currentTick = 500;
  ComputeSyncEntries(w, false);
  EXPECT_TRUE(g_syncEntries.buffers[kSyncPlayers].empty());
  EXPECT_EQ(g_syncEntries.stamp, 0u);
  EXPECT_TRUE(t.log->Empty());
  {
    ScopedNetLink host(kNetGameHost, nullptr);
    ComputeSyncEntries(w, false);
  }
  EXPECT_EQ(g_syncEntries.stamp, 500u);
  EXPECT_EQ(g_syncEntries.buffers[kSyncUnits].size(), 1u);
  EXPECT_EQ(g_syncEntries.buffers[kSyncPlayers].size(), kMaxPlayers * kSyncBytesPerPlayer);
  EXPECT_EQ(g_syncEntries.buffers[kSyncCells].size(), w.cells.size());
  EXPECT_TRUE(t.log->Empty());
  w.gameState.currentTick = 600;
  {
    ScopedNetLink client(kNetGameClient, nullptr);
    ComputeSyncEntries(w, true);
    EXPECT_TRUE(t.log->Empty());
    ComputeSyncEntries(w, false);
  }
  const std::vector<GameCommand> sent = t.log->Entries();
  ASSERT_EQ(sent.size(), kSyncExchanged.size());
  for (const GameCommand& c : sent) {
    EXPECT_EQ(c.id, kCmdSyncCheck);
    EXPECT_EQ(c.player, 1);
    EXPECT_EQ(c.dueTick, 603u);
    EXPECT_EQ(c.arg24, 0u);
    EXPECT_EQ(c.arg32, 600u);
    EXPECT_EQ(c.payload, g_syncEntries.buffers[c.arg28]);
  }
  // Every exchanged type, once.
  std::set<uint32_t> types;
  for (const GameCommand& c : sent) types.insert(c.arg28);
  EXPECT_EQ(types, (std::set<uint32_t>{kSyncCells, kSyncUnits, kSyncPlayers, kSyncSpotting}));
}

}  // namespace
