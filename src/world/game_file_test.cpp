#include "world/game_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/fpenv.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "world/unit_class_flags.h"
#include "world/unit_ring.h"
#include "world/command_log_access.h"
#include "world/data_checksum.h"
#include "world/data_file_test_support.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "world/list_holder.h"
#include "world/post_load.h"
#include "world/region_figures.h"
#include "records/text_field.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

// A route's 64-byte image.
uint8_t* RouteBytes(PathRequest& route) { return reinterpret_cast<uint8_t*>(static_cast<PathRequestImage*>(&route)); }

using filetest::DataRootScope;
using filetest::Lcg;
using filetest::ReadBack;

// A command log of the test's own: the commands in the order filed.
std::vector<PendingCommandImage> g_testLog;

std::vector<PendingCommandImage> CollectTestLog(World&) { return g_testLog; }
void InsertTestLog(World&, PendingCommandImage&& command) { g_testLog.push_back(std::move(command)); }

constexpr uint32_t kIdA = 0x01000001;
constexpr uint32_t kIdB = 0x01000002;
constexpr uint32_t kIdC = 0x02000005;
constexpr uint32_t kIdD = 0x02000009;
constexpr uint32_t kIdGone = 0x0200000C;
constexpr uint32_t kIdNowhere = 0x0500FFFF;

UnitRecord* NewUnit(World& w, uint32_t id, int16_t classIndex) {
  auto* unit = new UnitRecord{};
  unit->id = id;
  unit->owner = static_cast<uint8_t>(id >> 24);
  unit->classIndex = classIndex;
  unit->strength = 0.75f;
  unit->bytes40[3] = static_cast<uint8_t>(id);
  InsertUnitInRing(w, *unit);
  return unit;
}

void SetText(char*& slot, const char* text) {
  std::free(slot);
  slot = text ? strdup(text) : nullptr;
}

class GameFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    g_testLog.clear();
  }
  void TearDown() override {
    g_gameSpeedNetwork = GameSpeedNetwork{};
    g_testLog.clear();
  }

  // A game with a bit of everything: three regions, five units (one of them
  // removed, which the file leaves out) with routes, names and links, two
  // recurring items, three pending commands (two with payloads), the rows,
  // player items, messages with texts, projects and unit groups.
  void MakeGame(World& w) {
    NewGameData(w);
    GameState& s = w.gameState;
    s.playerCount = 3;
    s.highestPlayer = 2;
    s.localPlayer = 2;
    s.designRowBytes = 8;
    s.techCount = 4;
    s.currentTick = 12345;
    s.gameSpeed = 40;
    s.bytes484[7] = 0x5A;  // a byte nobody names survives
    for (size_t i = 0; i < w.worldEconomy.size(); i += 4)
      le::StoreF32(w.worldEconomy.data() + i, static_cast<float>(i % 256 / 4 + 1) / 8.0f);
    for (int p = 0; p < 3; ++p) {
      PlayerRecord& r = w.players[p];
      r.kind = p == 0 ? kKindWorld : kKindComputer;
      r.number = static_cast<uint8_t>(p);
      r.govtype = static_cast<uint8_t>(p + 1);
      SetFieldText(r.name, "Region " + std::to_string(p));
      r.treasury = 1000.0f * static_cast<float>(p);
      r.bytes14084[p] = 0x11;
    }

    UnitRecord* a = NewUnit(w, kIdA, 3);
    UnitRecord* b = NewUnit(w, kIdB, 4);
    UnitRecord* c = NewUnit(w, kIdC, 3);
    UnitRecord* d = NewUnit(w, kIdD, 5);
    UnitRecord* gone = NewUnit(w, kIdGone, 3);
    gone->unitFlags = kUnitGone;
    a->carrier = kIdB;                   // carried by B
    a->orders[kFireUnit] = kIdC;    // orders naming C
    c->ordersShown[kLeaderUnit] = kIdA;
    d->fireTarget = kIdNowhere;             // a unit that is no more
    b->cargoNext = kIdGone;                // a removed unit is not written
    a->route = std::make_unique<PathRequest>();
    a->route2 = std::make_unique<PathRequest>();
    for (int k = 0; k < 60; ++k) {
      RouteBytes(*a->route)[k] = static_cast<uint8_t>(k + 1);
      RouteBytes(*a->route2)[k] = static_cast<uint8_t>(200 - k);
    }
    c->route = std::make_unique<PathRequest>();  // only the first route
    RouteBytes(*c->route)[0] = 0x77;
    a->customName = std::make_unique<char[]>(8);
    std::strcpy(a->customName.get(), "Lancers");
    d->customName = std::make_unique<char[]>(6);
    std::strcpy(d->customName.get(), "Fleet");

    for (int i = 0; i < 2; ++i) {
      auto* item = NewZeroed<RecurringItem>();
      for (size_t k = 0; k < kRecurringFieldsSize; ++k) item->fields[k] = static_cast<uint8_t>(i * 50 + k);
      SetRecurringItemId(*item, 0x100 + static_cast<uint32_t>(i));
      if (w.recurringItems)
        w.recurringItems->Append(item);
      else
        w.recurringItems = item;
    }

    for (int i = 0; i < 3; ++i) {
      PendingCommandImage command;
      le::Store32(command.bytes, kCommandHeaderWord);
      le::Store32(command.bytes + 4, 64);
      le::Store32(command.bytes + 8, 272 + static_cast<uint32_t>(i));
      le::Store32(command.bytes + 12, 12400 + static_cast<uint32_t>(i));
      command.bytes[16] = 1;
      le::Store32(command.bytes + 28, 0xC0DE0000u + static_cast<uint32_t>(i));
      if (i == 0) command.payload = {'D', 'I', 'P', 0, 1, 2, 0, 9};  // raw bytes, zeros and all
      if (i == 2) command.payload = {'X'};
      le::Store32(command.bytes + 56, static_cast<uint32_t>(command.payload.size()));
      g_testLog.push_back(command);
    }

    w.designRows.resize(32 * 8);
    for (size_t i = 0; i < w.designRows.size(); ++i) w.designRows[i] = static_cast<uint8_t>(i % 7);
    w.techRows.resize(32 * 4);
    for (size_t i = 0; i < w.techRows.size(); ++i) w.techRows[i].known = static_cast<uint8_t>(i % 3);

    for (int i = 0; i < 3; ++i) {
      auto* item = NewZeroed<PlayerItem>();
      item->words[0] = 0xAA00 + static_cast<uint32_t>(i);
      item->bytes[2] = 9;
      item->lastWord = 2;
      w.playerItemLists[i == 2 ? 2 : 1].Append(item);
    }
    for (int i = 0; i < 2; ++i) {
      auto* m = NewZeroed<PlayerMessage>();
      m->typeId = 40 + static_cast<uint32_t>(i);
      m->day = 2455400;
      m->recipientMasks[0] = 2;
      m->owner = 1;
      m->params[3] = 0xFEED;
      m->flags = 0x81;
      SetText(m->texts[0], i == 0 ? "Subject" : "Re: Subject");
      SetText(m->texts[1], "Body text");
      SetText(m->texts[2], i == 0 ? "DIPOFFER 1" : nullptr);
      w.messageLists[1].Append(m);
    }
    auto project = [&](int player, uint8_t kind, uint32_t index, uint32_t flags, uint32_t id) {
      auto* e = NewZeroed<ProjectEntry>();
      e->kind = kind;
      e->index = index;
      e->displayFlags = flags;
      e->simFlags = flags & 1;
      e->remainingCost = 12.5f;
      e->id = id;
      w.projectLists[player].Append(e);
    };
    project(1, kProjectTechnology, 2, 3, 0x01000010);
    project(1, kProjectDesign, 5, 1, 0x01000011);
    project(2, kProjectTechnology, 1, 0x80000000u, 0x02000020);
    // The marks the projects stand for are already in the rows.
    w.techRows[1 * 4 + 2].projectFlags |= 0x30;
    w.designRows[1 * 8 + 5] |= 0x10;

    NewListItem28(a, true, 0, w.unitGroups.groups[1][0]);
    NewListItem28(c, true, 0, w.unitGroups.groups[1][0]);
    NewListItem28(d, true, 0, w.unitGroups.groups[1][9]);
    NewListItem28(b, true, 0, w.unitGroups.groups[2][3]);
  }

  // What a refused read must leave alone.
  std::string Fingerprint(const World& w) const {
    std::string f(reinterpret_cast<const char*>(&w.gameState), sizeof(GameState));
    f.append(w.worldEconomy.begin(), w.worldEconomy.end());
    for (int p = 0; p < 3; ++p) f.append(w.players[p].name, 16);
    for (UnitRecord* u = w.units; u;) {
      f += std::to_string(u->id) + ",";
      u = u->next;
      if (u == w.units) break;
    }
    f.append(w.designRows.begin(), w.designRows.end());
    for (int p = 0; p < 3; ++p) {
      for (const ListNode* n = w.messageLists[p].next(); n && n != &w.messageLists[p]; n = n->next()) f += "m";
      for (const ListNode* n = w.projectLists[p].next(); n && n != &w.projectLists[p]; n = n->next()) f += "p";
      f += std::to_string(w.unitGroups.groups[p][0].count);
    }
    return f;
  }

  std::unique_ptr<World> ReadInto(const std::vector<uint8_t>& image) {
    auto w = std::make_unique<World>();
    g_testLog.clear();
    EXPECT_EQ(ReadGamFile(*w, "x", image), 0);
    return w;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
  GlobalGuard<CommandLogAccess> access_{g_commandLogAccess, CommandLogAccess{CollectTestLog, InsertTestLog}};
};

TEST_F(GameFileTest, WriteReadWriteIsByteIdentical) {
  MakeGame(*world_);
  const auto first = BuildGameImage(*world_);
  auto other = ReadInto(first);
  EXPECT_EQ(BuildGameImage(*other), first);

  // Through real files as well, with the checksum taken on the read.
  ASSERT_EQ(WriteGamFile(*world_, "ROUND"), 0);
  const auto onDisk = ReadBack("MAPS\\ROUND.GAM");
  EXPECT_EQ(onDisk, first);
  World fromDisk;
  g_testLog.clear();
  ASSERT_EQ(ReadGamFile(fromDisk, "ROUND"), 0);
  EXPECT_EQ(fromDisk.gameState.checksum, DataFileChecksum(onDisk.data(), onDisk.size()));
  EXPECT_EQ(le::Load32(onDisk.data() + 4), 0u);
  ASSERT_EQ(WriteGamFile(fromDisk, "AGAIN"), 0);
  EXPECT_EQ(ReadBack("MAPS\\AGAIN.GAM"), first);
}

TEST_F(GameFileTest, EverythingComesBack) {
  MakeGame(*world_);
  auto w = ReadInto(BuildGameImage(*world_));
  EXPECT_EQ(w->gameState.unitCount, 4);  // the removed unit is not written
  EXPECT_EQ(w->gameState.recurringCount, 2);
  EXPECT_EQ(w->gameState.commandCount, 3);
  EXPECT_EQ(w->gameState.version, 113u);
  EXPECT_EQ(w->gameState.fileFlags, 1u);
  EXPECT_EQ(w->localPlayerRecord, &w->players[2]);
  EXPECT_STREQ(w->players[1].name, "Region 1");
  EXPECT_EQ(le::LoadF32(w->worldEconomy.data() + 100), 3.25f);

  UnitRecord* a = FindUnitById(*w, kIdA);
  UnitRecord* c = FindUnitById(*w, kIdC);
  UnitRecord* d = FindUnitById(*w, kIdD);
  ASSERT_TRUE(a && c && d);
  EXPECT_EQ(FindUnitById(*w, kIdGone), nullptr);
  EXPECT_STREQ(a->customName.get(), "Lancers");
  EXPECT_STREQ(d->customName.get(), "Fleet");
  EXPECT_EQ(c->customName, nullptr);
  ASSERT_TRUE(a->route && a->route2);
  EXPECT_EQ(RouteBytes(*a->route)[59], 60);
  EXPECT_EQ(RouteBytes(*a->route2)[0], 200);
  ASSERT_TRUE(c->route);
  EXPECT_FALSE(c->route2);
  EXPECT_EQ(RouteBytes(*c->route)[0], 0x77);
  EXPECT_EQ(a->savedSelf, kIdA);
  EXPECT_EQ(w->units, a);  // the ring from the lowest id
  EXPECT_EQ(a->prev->id, kIdD);

  ASSERT_EQ(g_testLog.size(), 3u);
  EXPECT_EQ(g_testLog[0].payload, (std::vector<uint8_t>{'D', 'I', 'P', 0, 1, 2, 0, 9}));
  EXPECT_TRUE(g_testLog[1].payload.empty());
  EXPECT_EQ(g_testLog[2].payload, std::vector<uint8_t>{'X'});
  EXPECT_EQ(le::Load32(g_testLog[2].bytes + 8), 274u);
  EXPECT_EQ(le::Load32(g_testLog[0].bytes + 60), 0u);  // no address crosses a file

  ASSERT_NE(FindRecurringItemById(*w, 0x101), nullptr);
  EXPECT_EQ(FindRecurringItemById(*w, 0x101)->fields[0], 50);

  const auto* m = static_cast<const PlayerMessage*>(w->messageLists[1].next());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->typeId, 40u);
  EXPECT_STREQ(m->texts[0], "Subject");
  EXPECT_STREQ(m->texts[2], "DIPOFFER 1");
  m = static_cast<const PlayerMessage*>(m->next());
  EXPECT_STREQ(m->texts[0], "Re: Subject");
  EXPECT_EQ(m->texts[2], nullptr);
  EXPECT_EQ(m->params[3], 0xFEEDu);
  EXPECT_EQ(m->flags, 0x81u);

  ProjectEntry* e = FindProjectById(*w, 0x01000011);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->index, 5u);
  EXPECT_EQ(e->remainingCost, 12.5f);

  const ListHolder& group = w->unitGroups.groups[1][0];
  ASSERT_NE(group.first, nullptr);
  EXPECT_EQ(static_cast<ListItem28*>(group.first)->object, a);
  EXPECT_EQ(static_cast<ListItem28*>(group.first->next())->object, c);
  EXPECT_EQ(static_cast<ListItem28*>(w->unitGroups.groups[1][9].first)->object, d);
  EXPECT_EQ(static_cast<ListItem28*>(w->unitGroups.groups[2][3].first)->object, FindUnitById(*w, kIdB));
}

TEST_F(GameFileTest, LinksResolveToTheSameUnitsAfterTheLoad) {
  MakeGame(*world_);
  auto w = ReadInto(BuildGameImage(*world_));
  w->unitClasses.assign(6, UnitClassRecord{});
  for (UnitClassRecord& c : w->unitClasses) {
    std::strcpy(c.name, "Class");
    c.strengthPerSize = 1;
  }
  CheckUnitsAfterLoad(*w);
  UnitRecord* a = FindUnitById(*w, kIdA);
  UnitRecord* b = FindUnitById(*w, kIdB);
  UnitRecord* c = FindUnitById(*w, kIdC);
  UnitRecord* d = FindUnitById(*w, kIdD);
  ASSERT_TRUE(a && b && c && d);
  EXPECT_EQ(FindUnitById(*w, a->carrier), b);
  EXPECT_EQ(FindUnitById(*w, a->orders[kFireUnit]), c);
  EXPECT_EQ(FindUnitById(*w, c->ordersShown[kLeaderUnit]), a);
  EXPECT_STREQ(FindUnitById(*w, c->ordersShown[kLeaderUnit])->customName.get(), "Lancers");
  EXPECT_EQ(d->fireTarget, 0u);  // its unit is gone
  EXPECT_EQ(b->cargoNext, 0u);  // the removed unit was not written
}

TEST_F(GameFileTest, ImageLayout) {
  MakeGame(*world_);
  const auto f = BuildGameImage(*world_);
  EXPECT_EQ(le::Load32(f.data()), 580u);
  EXPECT_EQ(le::Load32(f.data() + 8), 113u);
  EXPECT_EQ(le::Load32(f.data() + 16), 4u);
  EXPECT_EQ(le::Load32(f.data() + 564), 1u);
  for (size_t k = 580; k < 1024; ++k) ASSERT_EQ(f[k], 0) << k;
  EXPECT_EQ(le::LoadF32(f.data() + 1024 + 100), 3.25f);
  const size_t players = 2048;
  EXPECT_EQ(std::memcmp(f.data() + players + 16384 + 8, "Region 1", 9), 0);
  for (size_t k = 14584; k < 16384; ++k) ASSERT_EQ(f[players + k], 0) << k;
  const size_t units = players + 3 * 16384;
  // Unit slots in id order: A, B, C, D.
  EXPECT_EQ(le::Load32(f.data() + units + 24), kIdA);
  EXPECT_EQ(le::Load32(f.data() + units + 348), kIdA);  // its saved-self word
  EXPECT_EQ(le::Load32(f.data() + units + 4), 0u);
  EXPECT_EQ(le::Load32(f.data() + units + 324), 1u);  // the first name in the pool
  EXPECT_EQ(f[units + 448], 1);                        // first route at 448
  EXPECT_EQ(f[units + 384], 200);                      // second route at 384
  const size_t slotC = units + 2 * 512;
  EXPECT_EQ(le::Load32(f.data() + slotC + 24), kIdC);
  EXPECT_EQ(f[slotC + 448], 0x77);
  for (size_t k = 384; k < 448; ++k) ASSERT_EQ(f[slotC + k], 0) << k;  // no second route
  EXPECT_EQ(le::Load32(f.data() + slotC + 296), 0u);
  const size_t recurring = units + 4 * 512;
  for (size_t k = 0; k < 12; ++k) EXPECT_EQ(f[recurring + k], 0);
  EXPECT_EQ(f[recurring + 12 + 1], 1);
  EXPECT_EQ(le::Load32(f.data() + recurring + 256 + 64), 0x101u);
  const size_t commands = recurring + 2 * 256;
  EXPECT_EQ(le::Load32(f.data() + commands), 0x20001u);
  EXPECT_EQ(le::Load32(f.data() + commands + 56), 8u);
  // The pool: a zero byte, the names "Lancers" and "Fleet", then the payloads.
  EXPECT_EQ(le::Load32(f.data() + commands + 60), 1u + 8 + 6);
  EXPECT_EQ(le::Load32(f.data() + commands + 64 + 60), 0u);
  EXPECT_EQ(le::Load32(f.data() + commands + 128 + 60), 1u + 8 + 6 + 8);
  const size_t design = commands + 3 * 64;
  EXPECT_EQ(f[design + 8 + 5], static_cast<uint8_t>((13 % 7) | 0x10));
  const size_t tech = design + 32 * 8;
  const size_t itemCounts = tech + 32 * 4 * 8;
  EXPECT_EQ(le::Load32(f.data() + itemCounts + 4), 2u);
  EXPECT_EQ(le::Load32(f.data() + itemCounts + 8), 1u);
  const size_t messageCounts = itemCounts + 128 + 3 * 48;
  EXPECT_EQ(le::Load32(f.data() + messageCounts + 4), 2u);
  const size_t projectCounts = messageCounts + 128 + 2 * 96;
  EXPECT_EQ(le::Load32(f.data() + projectCounts + 8), 1u);
  const size_t groupWord = projectCounts + 128 + 3 * 48;
  EXPECT_EQ(le::Load32(f.data() + groupWord), 10u);
  EXPECT_EQ(le::Load32(f.data() + groupWord + 4 + 4 * 10), 2u);       // player 1 group 0
  EXPECT_EQ(le::Load32(f.data() + groupWord + 4 + 4 * 19), 1u);       // player 1 group 9
  const size_t ids = groupWord + 4 + 32 * 10 * 4;
  EXPECT_EQ(le::Load32(f.data() + ids), kIdA);
  EXPECT_EQ(le::Load32(f.data() + ids + 4), kIdC);
  EXPECT_EQ(le::Load32(f.data() + ids + 8), kIdD);
  EXPECT_EQ(le::Load32(f.data() + ids + 12), kIdB);
  const size_t pool = ids + 16;
  const uint32_t poolSize = le::Load32(f.data() + 440);
  EXPECT_EQ(f.size(), pool + poolSize);
  EXPECT_EQ(poolSize % 256, 0u);
  EXPECT_EQ(f[pool], 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(f.data() + pool + 1), "Lancers");
  EXPECT_STREQ(reinterpret_cast<const char*>(f.data() + pool + 9), "Fleet");
  EXPECT_EQ(std::memcmp(f.data() + pool + 15, "DIP\0\1\2\0\x09X", 9), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(f.data() + pool + 24), "Subject");
}

TEST_F(GameFileTest, AnEmptyGameHasItsRowsAfterTheLastRegion) {
  NewGameData(*world_);
  world_->gameState.playerCount = 2;
  world_->gameState.designRowBytes = 4;
  world_->designRows.assign(32 * 4, 0xD5);
  g_testLog.clear();
  const auto f = BuildGameImage(*world_);
  const size_t rows = 2048 + 2 * 16384;
  EXPECT_EQ(f[rows], 0xD5);
  EXPECT_EQ(f[rows + 127], 0xD5);
  EXPECT_EQ(le::Load32(f.data() + rows + 128), 0u);  // the item counts follow
  auto w = ReadInto(f);
  EXPECT_EQ(w->units, nullptr);
  EXPECT_EQ(w->designRows, std::vector<uint8_t>(128, 0xD5));
}

TEST_F(GameFileTest, AGameWrittenInANetworkGameReadsBackWithFlags3) {
  MakeGame(*world_);
  g_gameSpeedNetwork.inNetworkGame = [] { return true; };
  const auto f = BuildGameImage(*world_);
  g_gameSpeedNetwork = GameSpeedNetwork{};
  EXPECT_EQ(le::Load32(f.data() + 564), 3u);
  auto w = ReadInto(f);
  EXPECT_EQ(w->gameState.fileFlags, 3u);
}

TEST_F(GameFileTest, PlayersOnlyFillsThePlayersAndTheEconomy) {
  MakeGame(*world_);
  const auto f = BuildGameImage(*world_);
  World w;
  g_testLog.clear();
  ASSERT_EQ(ReadGamFile(w, "x", f, true), 0);
  EXPECT_STREQ(w.players[2].name, "Region 2");
  EXPECT_EQ(le::LoadF32(w.worldEconomy.data() + 100), 3.25f);
  EXPECT_EQ(w.units, nullptr);
  EXPECT_EQ(w.recurringItems, nullptr);
  EXPECT_TRUE(g_testLog.empty());
  EXPECT_TRUE(w.designRows.empty());
  EXPECT_EQ(w.messageLists[1].next(), nullptr);
  EXPECT_EQ(w.unitGroups.groups[1][0].first, nullptr);
  // Only the regions need to be there.
  World cut;
  EXPECT_EQ(ReadGamFile(cut, "x", std::span<const uint8_t>(f.data(), 2048 + 3 * 16384), true), 0);
  EXPECT_EQ(ReadGamFile(cut, "x", std::span<const uint8_t>(f.data(), 2048 + 3 * 16384 - 1), true), plat::kFail);
}

TEST_F(GameFileTest, OldVersionsAndBadCountsAreRefused) {
  MakeGame(*world_);
  const auto good = BuildGameImage(*world_);
  World w;
  ASSERT_EQ(ReadGamFile(w, "x", good), 0);
  const std::string before = Fingerprint(w);
  auto f = good;
  le::Store32(f.data() + 8, 109);
  EXPECT_EQ(ReadGamFile(w, "x", f), plat::kFail);
  le::Store32(f.data() + 8, 110);
  g_testLog.clear();
  World old;
  EXPECT_EQ(ReadGamFile(old, "x", f), 0);  // 110 to 113 are read alike
  for (size_t at : {12u, 16u, 20u, 52u, 56u, 60u, 308u}) {
    for (uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu, 33u}) {
      f = good;
      le::Store32(f.data() + at, value);
      EXPECT_EQ(ReadGamFile(w, "x", f), plat::kFail) << at << " " << value;
    }
  }
  EXPECT_EQ(Fingerprint(w), before);
  EXPECT_EQ(ReadGamFile(w, "NOSUCH"), plat::kFail);
  EXPECT_EQ(Fingerprint(w), before);
}

TEST_F(GameFileTest, TruncatedCopiesAreRefusedAndChangeNothing) {
  MakeGame(*world_);
  const auto good = BuildGameImage(*world_);
  World w;
  ASSERT_EQ(ReadGamFile(w, "x", good), 0);
  const std::string before = Fingerprint(w);
  for (size_t length = 0; length < good.size(); ++length) {
    ASSERT_EQ(ReadGamFile(w, "x", std::span<const uint8_t>(good.data(), length)), plat::kFail) << length;
    if (length % 509 == 0 || length + 300 > good.size()) {
      ASSERT_EQ(Fingerprint(w), before) << length;
    }
  }
  EXPECT_EQ(Fingerprint(w), before);
}

// Corrupted copies: bit flips through the header, the counts and the texts'
// and payloads' offsets, and random words anywhere. Each is refused with the
// game unchanged, or read into a game whose parts hang together.
TEST_F(GameFileTest, CorruptedCopiesAreRefusedCleanly) {
  MakeGame(*world_);
  const auto good = BuildGameImage(*world_);
  World w;
  ASSERT_EQ(ReadGamFile(w, "x", good), 0);
  int refused = 0;
  int read = 0;
  auto check = [&](const std::vector<uint8_t>& copy) {
    g_testLog.clear();
    const std::string before = Fingerprint(w);
    if (ReadGamFile(w, "x", copy) != 0) {
      ++refused;
      ASSERT_EQ(Fingerprint(w), before);
      ASSERT_TRUE(g_testLog.empty());
      return;
    }
    ++read;
    int units = 0;
    for (UnitRecord* u = w.units; u;) {
      ++units;
      if (u->customName) {
        ASSERT_LT(std::strlen(u->customName.get()), copy.size());
      }
      u = u->next;
      if (u == w.units) break;
    }
    ASSERT_LE(units, w.gameState.unitCount);
    for (const PendingCommandImage& c : g_testLog) ASSERT_LE(c.payload.size(), copy.size());
    ASSERT_EQ(w.designRows.size(), 32u * static_cast<uint32_t>(w.gameState.designRowBytes));
  };
  // The words that place or count things: the state's counts, the units'
  // route and name words, the commands' payload words, every count of the
  // extended part, the messages' text words and the group ids.
  const size_t units = 2048 + 3 * 16384;
  const size_t commands = units + 4 * 512 + 2 * 256;
  const size_t itemCounts = commands + 3 * 64 + 32 * 8 + 32 * 4 * 8;
  const size_t messageCounts = itemCounts + 128 + 3 * 48;
  const size_t projectCounts = messageCounts + 128 + 2 * 96;
  const size_t groupWord = projectCounts + 128 + 3 * 48;
  std::vector<size_t> bytes;
  for (size_t k = 0; k < 72; ++k) bytes.push_back(k);
  for (size_t k = 304; k < 316; ++k) bytes.push_back(k);
  for (size_t k = 436; k < 448; ++k) bytes.push_back(k);
  for (size_t k = 560; k < 572; ++k) bytes.push_back(k);
  for (size_t u = 0; u < 4; ++u)
    for (size_t k : {292u, 296u, 324u, 325u, 326u, 327u}) bytes.push_back(units + u * 512 + k);
  for (size_t c = 0; c < 3; ++c)
    for (size_t k = 56; k < 64; ++k) bytes.push_back(commands + c * 64 + k);
  for (size_t k = 0; k < 16; ++k) {
    bytes.push_back(itemCounts + k);
    bytes.push_back(messageCounts + k);
    bytes.push_back(projectCounts + k);
  }
  for (size_t m = 0; m < 2; ++m)
    for (size_t k = 76; k < 88; ++k) bytes.push_back(messageCounts + 128 + m * 96 + k);
  for (size_t k = 0; k < 4 + 4 * 12; ++k) bytes.push_back(groupWord + k);
  for (size_t k = 0; k < 16; ++k) bytes.push_back(groupWord + 4 + 32 * 10 * 4 + k);
  for (size_t at : bytes) {
    for (int bit = 0; bit < 8; ++bit) {
      auto copy = good;
      copy[at] ^= static_cast<uint8_t>(1u << bit);
      check(copy);
    }
  }
  Lcg rng(4242);
  for (int round = 0; round < 400; ++round) {
    auto copy = good;
    const int words = 1 + static_cast<int>(rng.Next() % 3);
    for (int k = 0; k < words; ++k) {
      const size_t at = (rng.Next() % (good.size() / 4)) * 4;
      const uint32_t value = (rng.Next() & 1) ? rng.Next() : rng.Next() % 64;
      le::Store32(copy.data() + at, value);
    }
    check(copy);
  }
  EXPECT_GT(refused, 1000) << read;
  EXPECT_GT(read, 100);
}

// A figure outside the range its field holds in play is refused, the field
// named: every word of the world economy, the region record's approvals,
// shares, rates and people, and 0xFF over the settings blocks' reals. The
// figures at the edges of their ranges are read.
TEST_F(GameFileTest, FiguresOutsideTheirRangesAreRefusedByName) {
  MakeGame(*world_);
  const auto good = BuildGameImage(*world_);
  std::string why;
  ASSERT_TRUE(StageGameImage(good, false, why)) << why;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (size_t at = 0; at < kGamEconomyBlock; at += 4) {
    auto f = good;
    le::StoreF32(f.data() + kGamHeaderBlock + at, nan);
    EXPECT_FALSE(StageGameImage(f, false, why)) << "economy word at " << at;
    EXPECT_TRUE(why.starts_with("the world economy: its ") && why.ends_with("that is not a finite number")) << why;
  }
  const size_t economy = kGamHeaderBlock;
  const size_t region = kGamHeaderBlock + kGamEconomyBlock + kGamPlayerSlot;
  struct Row {
    size_t at;
    float value;
    const char* refusal;  // null: read
  };
  const Row rows[] = {
      {economy + 0, 1e7f, "the world economy: its product 0 price of 1e+07, outside 0 to 1e+06"},
      {economy + 64 * 3 + 40, -0.5f, "the world economy: its product 3 consumerWeight of -0.5, outside 0 to 100"},
      {economy + 780, 10.0f, nullptr},
      {economy + 780, 11.0f, "the world economy: its primeRate of 11, outside 0 to 10"},
      {region + offsetof(PlayerRecord, approval), 1e12f, "region 1: its approval of 1e+12, outside 0 to 1"},
      {region + offsetof(PlayerRecord, approval), 1.0f, nullptr},
      {region + offsetof(PlayerRecord, standing), 65536.0f, "region 1: its standing of 65536, outside 0 to 1"},
      {region + offsetof(PlayerRecord, population), -1.0f, "region 1: its population of -1, outside 0 to 1e+10"},
      {region + offsetof(PlayerRecord, population), 0.0f, nullptr},
      {region + offsetof(PlayerRecord, population), 1e10f, nullptr},
      {region + offsetof(PlayerRecord, soldiers), -1.0f, "region 1: its soldiers of -1, outside 0 to 1e+10"},
      {region + offsetof(PlayerRecord, dayPopulation), -1.0f, "region 1: its dayPopulation of -1, outside 0 to 1e+10"},
      {region + offsetof(PlayerRecord, unemployment), 1.5f, "region 1: its unemployment of 1.5, outside 0 to 1"},
      {region + offsetof(PlayerRecord, partyShare) + 4, 2.0f, "region 1: its partyShare[1] of 2, outside 0 to 1"},
      {region + offsetof(PlayerRecord, dayApproval), 2.0f, nullptr},
      {region + RegionFloatAt(kRegionPrimeRate), 50.0f, "region 1: its primeRate of 50, outside -1 to 10"},
      {region + offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, taxRates) + 8, nan,
       "region 1: its simPolicy taxRates[2] that is not a finite number"},
      {region + offsetof(PlayerRecord, civilAttitude) + 8, nan,
       "region 1: its civilAttitude[2] that is not a finite number"},
      {region + offsetof(PlayerRecord, simPolicy) + offsetof(PlayerPolicyBlock, taxRates), std::nextafter(1.0f, 2.0f),
       "region 1: its simPolicy taxRates[0] of 1.0000001, outside 0 to 1"},
  };
  for (const Row& row : rows) {
    auto f = good;
    le::StoreF32(f.data() + row.at, row.value);
    const bool read = StageGameImage(f, false, why) != nullptr;
    EXPECT_EQ(read, row.refusal == nullptr) << row.at << " " << row.value << ": " << why;
    if (row.refusal) {
      EXPECT_EQ(why, row.refusal);
    }
  }
  // 0xFF over the sim settings' reals and product settings, 64 bytes at a
  // time, as a damaged scenario file holds them.
  const size_t settings = region + offsetof(PlayerRecord, simPolicy);
  for (size_t at = offsetof(PlayerPolicyBlock, milResearch); at + 64 <= offsetof(PlayerPolicyBlock, productionFlags);
       at += 64) {
    auto f = good;
    std::fill_n(f.begin() + static_cast<ptrdiff_t>(settings + at), 64, 0xFF);
    EXPECT_FALSE(StageGameImage(f, false, why)) << at;
    EXPECT_TRUE(why.starts_with("region 1: its simPolicy ")) << why;
  }
}

// A unit is held to its class: at most the merge ceiling times the class's
// full strength and none below 0; a stock (a count of weapons) and a unit
// of a class without a strength keep the general bound.
TEST_F(GameFileTest, AUnitIsHeldToItsClassStrength) {
  MakeGame(*world_);
  world_->unitClasses.resize(6);
  world_->unitClasses[3].strengthPerSize = 10;  // units A and C
  world_->unitClasses[4].strengthPerSize = 1;   // unit B, a stock
  world_->unitClasses[4].flags = kClassStock;
  const auto good = BuildGameImage(*world_);
  const size_t a = kGamHeaderBlock + kGamEconomyBlock + 3 * kGamPlayerSlot + offsetof(UnitImage, strength);
  const size_t b = a + kGamUnitSlot, d = b + 2 * kGamUnitSlot, size = offsetof(UnitImage, targetStrength);
  const std::string unitA = "unit 0 (id 16777217): its ";
  for (const auto& [at, value, refusal] :
       {std::tuple{a, 17.5f, std::string()},
        {a, std::nextafter(17.5f, 18.0f), unitA + "strength of 17.500002, outside 0 to 17.5"},
        {a - offsetof(UnitImage, strength) + size, 1.7500001f, unitA + "targetStrength of 1.7500001, outside 0 to 1.75"},
        {b, 65535.0f, ""},
        {d, 65535.0f, ""}}) {
    auto f = good;
    le::StoreF32(f.data() + at, value);
    std::string why;
    const auto staged = StageGameImage(f, false, why);
    EXPECT_EQ(staged && CheckStagedUnitsAgainstClasses(*staged, world_->unitClasses, why) ? "" : why, refusal);
  }
}

// Each word of region 1, of the world economy and of a unit set to 1e30
// finds its figure's bound in the refusal. The bounds other than the
// general one are these, by name (the settings block, entry and index
// left out); every figure is read on its bound and refused one step
// outside it, named with a figure that reads back as the one refused.
TEST_F(GameFileTest, EveryFigureIsReadOnItsBoundAndRefusedOneStepOutside) {
  const std::pair<std::pair<float, float>, const char*> groups[] = {
      {{0, 1}, "standing approval unemployment partyShare policyAppEconomic policyAppMilitary policyAppSocial "
               "policyAppForeign ageUnder18 ageOver65 popProfessional popSkilled popUnskilled popAtHome userfees "
               "intelspendforfocus taxRates"},
      {{0, 2}, "tradeOpenness dayApproval"},
      {{0, 5}, "secondRating daySecondRating uispend welfspend pensspend socialspend"},
      {{0, 10}, "gdpInput1 gdpInput2 gdpInput3 gdpInput4 gdpInput5 gdpInput6 gdpInput9 gdpInput10 efficiency "
                "serviceAdd researchEfficiency product_perCapitaUse milspendsalary milspendmaint milspendintel "
                "milspendresearch productPolicy_domesticMargin productPolicy_subsidy productPolicy_productionCap "
                "productPolicy_autoSellSurplusPercent productPolicy_autoSellMargin productPolicy_entrySwitch "
                "productPolicy_targetRatio world_primeRate unit_efficiency"},
      {{0, 100}, "creditRating costFactor militarySpendIndex avgChildren uiSpendRecom welfSpendRecom pensSpendRecom "
                 "techMil buyingPower milEffMod world_product_needFor8 world_product_needFor9 world_product_needFor10 "
                 "world_product_need4 world_product_consumerWeight world_product_marginAnchor"},
      {{0, 1000}, "gdpInput7 ageAvg lifeExp"},
      {{-1, 1}, "growthRate"},
      {{-1, 10}, "primeRate bondRate tbillRate inflation"},
      {{0, 500}, "techLevel"},
      {{0, 1e4f}, "world_product_energyContent"},
      {{0, 1e5f}, "gdpPerCapita baseGdpPerCapita yesterdayGdpPerCapita immigrationtax"},
      {{0, 1e6f}, "world_product_price world_product_share world_product_importPrice"},
      {{0, 1e7f}, "productPolicy_askPrice productPolicy_purchaseMax productPolicy_autoBuyMax"},
      {{0, 1e9f}, "turnBuildSpending world_product_outputWeight world_minGdpPerHead world_gdpPerHead "
                  "world_previousGdpPerHead"},
      {{0, 1e10f}, "population soldiers ruralPopulation dayPopulation dayRuralPopulation turnBestHexValue popRefugee "
                   "popPow popReserve salaryBaseCost maintenanceBaseCost intelBaseCost"},
      {{0, 1e11f}, "yearlyCostFacilities yearlyCostHexLead yearlyCostC yearlyCostD"},
      {{0, 1e12f}, "productPolicy_stockTarget productPolicy_sellAmount productPolicy_wantedAmount productPolicy_target "
                   "world_product_used world_product_marketLimit world_product_demandLimit"},
      {{0, 1e18f}, "world_product_word_56 world_product_word_60"},
      {{-1e18f, 2}, "socialLevels"},
      {{0, 65535}, "unit_strength unit_targetStrength"}};
  std::map<std::string, std::pair<float, float>> bounds;
  for (const auto& [range, names] : groups) {
    std::istringstream in(names);
    for (std::string name; in >> name;) bounds[name] = range;
  }
  MakeGame(*world_);
  const auto good = BuildGameImage(*world_);
  const size_t economy = kGamHeaderBlock, region = economy + kGamEconomyBlock + kGamPlayerSlot;
  const size_t unit = region + 2 * kGamPlayerSlot;
  // A refusal ends ": its NAME of FIGURE, outside LOW to HIGH": m[1] to m[4].
  using Refusal = std::array<std::string, 5>;
  const auto parse = [](const std::string& why, Refusal& m) {
    const size_t its = why.rfind(": its ");
    if (its == std::string::npos) return false;
    const std::string rest = why.substr(its + 6);
    const size_t outside = rest.rfind(", outside ");
    const size_t of = outside == std::string::npos ? outside : rest.rfind(" of ", outside);
    if (of == std::string::npos) return false;
    const std::string range = rest.substr(outside + 10);
    const size_t to = range.find(" to ");
    if (to == std::string::npos) return false;
    m = {"", rest.substr(0, of), rest.substr(of + 4, outside - of - 4), range.substr(0, to), range.substr(to + 4)};
    for (size_t i = 2; i < m.size(); ++i)
      if (m[i].empty() || m[i].find(' ') != std::string::npos) return false;
    return true;
  };
  const auto refused = [&](size_t at, float v, Refusal& m, std::string& why) {
    auto f = good;
    le::StoreF32(f.data() + at, v);
    return !StageGameImage(f, false, why) && parse(why, m);
  };
  const auto Read = [](const std::string& figure) { return plat::ParseFloat(figure.c_str(), nullptr); };
  // The table's key of a field: no policy copy, no index, no unit number,
  // words joined by '_'.
  const auto keyOf = [](std::string name) {
    for (const char* copy : {"displayPolicy ", "simPolicy "})
      if (name.starts_with(copy)) name.erase(0, std::strlen(copy));
    std::vector<std::string> words;
    std::istringstream in(name);
    for (std::string word; in >> word;) {
      for (size_t open; (open = word.find('[')) != std::string::npos;) word.erase(open, word.find(']', open) - open + 1);
      words.push_back(word);
    }
    std::string key;
    for (size_t i = 0; i < words.size(); ++i) {
      const bool number = !words[i].empty() && words[i].find_first_not_of("0123456789") == std::string::npos;
      if (number && i > 0 && i + 1 < words.size()) continue;
      key += (key.empty() ? "" : "_") + words[i];
    }
    return key;
  };
  std::set<std::string> seen;
  for (const auto& [from, to, owner] : {std::tuple{economy, region - kGamPlayerSlot, "world "},
                                        std::tuple{region, region + sizeof(PlayerRecord), ""},
                                        std::tuple{unit, unit + sizeof(UnitImage), "unit "}}) {
    for (size_t at = from; at < to; at += 4) {
      Refusal m;
      std::string why;
      if (!refused(at, 1e30f, m, why) || Read(m[2]) != 1e30f) continue;  // not a figure, or not this one
      const std::string name = m[1];
      const std::string key = keyOf(owner + name);
      seen.insert(key);
      const auto it = bounds.find(key);
      const auto [low, high] = it != bounds.end() ? it->second : std::pair{-1e18f, 1e18f};
      EXPECT_TRUE(Read(m[3]) == low && Read(m[4]) == high) << key << ": " << why;
      for (const float v : {low, high, std::nextafter(low, -INFINITY), std::nextafter(high, INFINITY)}) {
        const bool inside = v >= low && v <= high;
        EXPECT_EQ(refused(at, v, m, why), !inside) << name << " " << v << ": " << why;
        if (!inside) {
          EXPECT_TRUE(m[1] == name && Read(m[2]) == v) << why;
        }
      }
    }
  }
  for (const auto& [key, range] : bounds) EXPECT_TRUE(seen.contains(key)) << key << " has no figure";
}

}  // namespace
