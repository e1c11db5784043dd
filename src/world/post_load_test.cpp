#include "world/post_load.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "app/app_object.h"
#include "app/log.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/data_file_test_support.h"
#include "world/derived_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "world/list_items.h"
#include "records/text_field.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;

constexpr int kClasses = 4010;
constexpr int kInfantry = 3;
constexpr int kDepot = 4;
constexpr int kOldStock = 5;
constexpr int kWorks = 4005;

float FloatAt(const PlayerRecord& r, size_t offset) {
  float v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&r) + offset, 4);
  return v;
}

void SetFloatAt(PlayerRecord& r, size_t offset, float v) {
  std::memcpy(reinterpret_cast<uint8_t*>(&r) + offset, &v, 4);
}

class PostLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    NewGameData(w);
    w.unitClasses.assign(kClasses, UnitClassRecord{});
    auto named = [&](int index, const char* name, uint32_t flags, uint8_t kind) {
      UnitClassRecord& c = w.unitClasses[static_cast<size_t>(index)];
      SetFieldText(c.name, name);
      c.strengthPerSize = 1;
      c.flags = flags;
      c.kind = kind;
      c.typeByte = static_cast<uint8_t>(index % 200);
    };
    named(kInfantry, "Infantry", 0, 1);
    named(kDepot, "Depot", kClassFacility, 0);
    named(kOldStock, "Old stock", kClassStock | 0x2, 0);
    named(kWorks, "Works", kClassFacility | kClassSpecialWeaponA, 0);
    w.mapHeader.width = 6;
    w.mapHeader.height = 4;
    w.cells.assign(24, HexCell{});
    w.cellSummary.assign(24, 0);
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    for (int p = 1; p < 3; ++p) w.players[p].kind = kKindComputer;
  }
  void TearDown() override { SetLogTarget(g_platform, "", false, false); }

  UnitRecord* Unit(uint32_t id, int16_t classIndex, int16_t x, int16_t y) {
    auto* u = new UnitRecord{};
    u->id = id;
    u->savedSelf = id;  // as the game file stores it
    u->classIndex = classIndex;
    u->x = x;
    u->y = y;
    u->strength = 1.0f;
    InsertUnitInRing(*world_, *u);
    return u;
  }

  std::string LogText() {
    CloseLogFile(g_platform);
    auto bytes = plat::ReadFileBytes("post.log");
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

TEST_F(PostLoadTest, UnitsAreBoundToTheirClassesAndPutBackOnTheirHexes) {
  World& w = *world_;
  UnitRecord* a = Unit(0x01000001, kInfantry, 2, 1);
  UnitRecord* carried = Unit(0x01000002, kInfantry, 2, 1);
  carried->carrier = a->id;
  UnitRecord* reserve = Unit(0x01000003, kInfantry, 2, 1);
  reserve->orders[kPostureBits] = kPostureInReserve;  // chain B only
  reserve->strength = 2.0f;
  a->chainASlot = 99;
  a->tableEntrySlot = 98;
  a->unitFlags = kUnitFacility;  // the class decides
  ASSERT_EQ(CheckUnitsAfterLoad(w), 0);
  EXPECT_EQ(a->unitType, kInfantry);
  EXPECT_EQ(a->kind, 1);
  EXPECT_EQ(a->moveKind, 1);
  EXPECT_EQ(a->unitFlags, 0u);
  EXPECT_EQ(a->chainASlot, 0u);
  EXPECT_EQ(a->tableEntrySlot, 0u);
  EXPECT_EQ(carried->carrier, a->id);
  const HexUnitStack* stack = w.cells[1 * 6 + 2].stack;
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->chainA[1], a);
  EXPECT_EQ(a->nextInChainA, nullptr);  // the carried one and the reserve one are not in chain A
  EXPECT_EQ(stack->chainB[1], a);
  EXPECT_EQ(a->nextInChainB, reserve);
}

TEST_F(PostLoadTest, ABadClassIsLoggedAndItsUnitRemoved) {
  World& w = *world_;
  SetLogTarget(g_platform, "post.log", true, true);
  UnitRecord* good = Unit(0x01000001, kInfantry, 1, 1);
  UnitRecord* past = Unit(0x01000002, 9000, 1, 1);   // far past the table
  UnitRecord* edge = Unit(0x01000003, kClasses, 1, 1);  // one past the last class
  UnitRecord* empty = Unit(0x01000004, 7, 1, 1);     // a class with no name
  edge->customName = std::make_unique<char[]>(6);
  std::strcpy(edge->customName.get(), "Alpha");
  edge->cargoNext = good->id;
  good->fireTarget = edge->id;
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(past->classIndex, 0);
  EXPECT_EQ(edge->classIndex, 0);
  for (UnitRecord* u : {past, edge, empty}) EXPECT_TRUE(u->unitFlags & kUnitGone) << u->id;
  EXPECT_FALSE(good->unitFlags & kUnitGone);
  EXPECT_EQ(edge->cargoNext, 0u);
  EXPECT_EQ(good->fireTarget, edge->id);  // the record is still there, marked removed
  EXPECT_EQ(w.cells[7].stack->chainA[1], good);
  const std::string log = LogText();
  EXPECT_NE(log.find("VDLOG: Unit () has bad Units/Equipment Entry (#0)\n"), std::string::npos) << log;
  EXPECT_NE(log.find("VDLOG: Unit (Alpha) has bad Units/Equipment Entry (#0)\n"), std::string::npos) << log;
  EXPECT_NE(log.find("VDLOG: Unit () has bad Units/Equipment Entry (#7)\n"), std::string::npos) << log;
}

TEST_F(PostLoadTest, InTheEditorBadUnitsLeaveTheMapExceptTheHead) {
  World& w = *world_;
  TestMapFolders folders(true, false);
  UnitRecord* head = Unit(0x01000001, 7, 1, 1);
  Unit(0x01000002, 7, 1, 1);
  UnitRecord* good = Unit(0x01000003, kInfantry, 1, 1);
  good->fireTarget = 0x01000002;
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(w.units, head);
  EXPECT_TRUE(head->unitFlags & kUnitGone);
  EXPECT_EQ(head->next, good);
  EXPECT_EQ(FindUnitById(w, 0x01000002), nullptr);
  EXPECT_EQ(good->fireTarget, 0u);  // a link to a unit that is gone
}

TEST_F(PostLoadTest, ObsoleteStockClassesGoUnlessTheRulesKeepThem) {
  World& w = *world_;
  UnitRecord* u = Unit(0x01000001, kOldStock, 1, 1);
  CheckUnitsAfterLoad(w);
  EXPECT_TRUE(w.unitClasses[kOldStock].flags & kClassObsolete);
  EXPECT_TRUE(u->unitFlags & kUnitStock);
  EXPECT_TRUE(u->unitFlags & kUnitGone);

  auto kept = std::make_unique<World>();
  kept->unitClasses = w.unitClasses;
  kept->unitClasses[kOldStock].flags &= ~kClassObsolete;
  kept->scenario.head.gameFlags = kGameFlagKeepObsoleteClasses;
  auto* v = new UnitRecord{};
  v->id = 1;
  v->classIndex = kOldStock;
  InsertUnitInRing(*kept, *v);
  CheckUnitsAfterLoad(*kept);
  EXPECT_FALSE(kept->unitClasses[kOldStock].flags & kClassObsolete);
  EXPECT_FALSE(v->unitFlags & kUnitGone);
}

TEST_F(PostLoadTest, UnitsComeBackFromMapSummaries) {
  World& w = *world_;
  w.mapHeader.word600 = 1;
  w.players[2].commandCounter = 40;
  HexCell& cell = w.cells[2 * 6 + 4];
  cell.word = 2u << 3;
  // Class 4000 + 5, strength byte 120, marker 1 with the inactive bit 24.
  w.cellSummary[2 * 6 + 4] = 0x01007805;
  w.cellSummary[3 * 6 + 0] = 0x00017805;  // bits 16-23 set: no unit
  HexCell& led = w.cells[1 * 6 + 1];
  UnitRecord* lead = Unit(0x01000001, kDepot, 1, 1);
  led.stack = new HexUnitStack{};
  led.stack->lead = lead;
  w.cellSummary[1 * 6 + 1] = 0x00007805;  // has its lead: no unit
  CheckUnitsAfterLoad(w);
  ASSERT_NE(cell.stack, nullptr);
  UnitRecord* u = cell.stack->lead;
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(w.players[2].commandCounter, 41u);
  EXPECT_EQ(u->id, 0x02000029u);
  EXPECT_EQ(u->classIndex, kWorks);
  EXPECT_EQ(u->owner, 2);
  EXPECT_EQ(u->x, 4);
  EXPECT_EQ(u->y, 2);
  EXPECT_EQ(u->strength, 0.5f);
  EXPECT_EQ(u->targetStrength, 0.5f);
  EXPECT_EQ(u->buildWork, 0.0f);
  EXPECT_EQ(u->heading, 1);
  EXPECT_EQ(u->wantedHeading, 1);
  EXPECT_EQ(u->unitFlags, kUnitFacility | kUnitMapOption);
  EXPECT_EQ(u->orders[kPostureBits], kPostureInReserve);
  EXPECT_EQ(u->ordersShown[kPostureBits], kPostureInReserve);
  EXPECT_EQ(w.cells[3 * 6 + 0].stack, nullptr);
  EXPECT_EQ(led.stack->lead, lead);
  EXPECT_EQ(FindUnitById(w, 0x02000029), u);
}

TEST_F(PostLoadTest, ASummaryStrengthIsItsByteOver240) {
  World& w = *world_;
  for (uint32_t byte : {0u, 1u, 120u, 239u, 240u, 255u}) {
    FreeGameData(w);
    for (HexCell& c : w.cells) FreeHexStack(c);
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    w.cellSummary.assign(24, 0);
    w.cellSummary[5] = (byte << 8) | 1;
    CheckUnitsAfterLoad(w);
    ASSERT_NE(w.cells[5].stack, nullptr);
    EXPECT_EQ(w.cells[5].stack->lead->strength, static_cast<float>(byte) / 240.0f) << byte;
    EXPECT_EQ(w.cells[5].stack->lead->classIndex, 4001);
  }
}

TEST_F(PostLoadTest, TheScenarioDifficultyScalesTheRegions) {
  World& w = *world_;
  w.scenario.head.initialfunds = 1;
  w.scenario.head.resources = 3;
  PlayerRecord& r = w.players[1];
  r.treasury = 1000.0f;
  for (int k = 0; k < 11; ++k) SetFloatAt(r, 10740 + 96 * static_cast<size_t>(k), 10.0f + static_cast<float>(k));
  w.players[0].treasury = 1000.0f;  // an empty slot is left alone
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(r.treasury, 500.0f);
  EXPECT_EQ(w.players[0].treasury, 1000.0f);
  for (int k = 0; k < 11; ++k) {
    const float want = k == 7 ? 17.0f : (10.0f + static_cast<float>(k)) * 2.0f;
    EXPECT_EQ(FloatAt(r, 10740 + 96 * static_cast<size_t>(k)), want) << k;
  }
  const struct {
    uint8_t money;
    uint8_t stock;
    float treasury;
    float stockFactor;
  } cases[] = {{0, 0, 100.0f, 0.2f}, {2, 1, 100.0f, 0.5f}, {3, 2, 400.0f, 1.0f}, {4, 4, 100.0f, 4.0f}, {9, 9, 100.0f, 1.0f}};
  for (const auto& c : cases) {
    w.scenario.head.initialfunds = c.money;
    w.scenario.head.resources = c.stock;
    r.treasury = 100.0f;
    SetFloatAt(r, 10740, 5.0f);
    CheckUnitsAfterLoad(w);
    EXPECT_EQ(r.treasury, c.treasury) << int(c.money);
    EXPECT_EQ(FloatAt(r, 10740), 5.0f * c.stockFactor) << int(c.stock);
  }
}

TEST_F(PostLoadTest, OldGameFilesGetTheirProductFigures) {
  World& w = *world_;
  w.gameState.version = 110;
  PlayerRecord& r = w.players[1];
  SetFloatAt(r, 10740 + 4, 3.5f);
  SetFloatAt(r, 10740 + 96 + 4, 3.5f);
  SetFloatAt(r, 10740 + 96 + 72, 8.0f);
  SetFloatAt(r, 10740 + 96 + 64, 2.0f);
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(FloatAt(r, 10740 + 72), 3.5f);
  EXPECT_EQ(FloatAt(r, 10740 + 64), 1.0f);
  EXPECT_EQ(FloatAt(r, 10740 + 96 + 72), 8.0f);
  EXPECT_EQ(FloatAt(r, 10740 + 96 + 64), 2.0f);
  w.gameState.version = 111;
  SetFloatAt(r, 10740 + 2 * 96 + 4, 3.5f);
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(FloatAt(r, 10740 + 2 * 96 + 72), 0.0f);
}

TEST_F(PostLoadTest, AGameFromANetworkGameDropsItsPendingDisplayState) {
  World& w = *world_;
  w.gameState.fileFlags = 3;
  w.gameState.techCount = 4;
  w.gameState.designRowBytes = 8;
  w.techRows.assign(32 * 4, PlayerTechState{});
  w.designRows.assign(32 * 8, 0);
  UnitRecord* u = Unit(0x01000001, kInfantry, 1, 1);
  u->orders[3] = 33;
  u->ordersShown[3] = 44;
  u->pendingOrders = 2;
  PlayerRecord& r = w.players[1];
  r.pendingCommands = 3;
  reinterpret_cast<uint8_t*>(&r)[12966] = 5;
  r.simPolicy.defcon = 2;
  r.displayPolicy.defcon = 4;
  auto* tech = NewZeroed<ProjectEntry>();
  tech->kind = kProjectTechnology;
  tech->index = 2;
  tech->displayFlags = 0;
  tech->simFlags = 3;
  w.projectLists[1].Append(tech);
  auto* design = NewZeroed<ProjectEntry>();
  design->kind = kProjectDesign;
  design->index = 6;
  design->simFlags = 0x80000001u;  // negative: counts for nothing
  w.projectLists[1].Append(design);
  HexExtra* extra = GetHexExtra(w, w.cells[9]);
  extra->pairB[0] = 7;
  extra->pairB[1] = 8;
  extra->pairA[0] = 1;
  extra->byte9 = 4;
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(u->ordersShown[3], 33u);
  EXPECT_EQ(u->pendingOrders, 0);
  EXPECT_EQ(r.pendingCommands, 0);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(&r)[12966], 0);
  EXPECT_EQ(r.displayPolicy.defcon, 2);
  EXPECT_EQ(tech->displayFlags, 3u);
  EXPECT_EQ(w.techRows[1 * 4 + 2].projectFlags, 0x30);
  EXPECT_EQ(design->displayFlags, 0x80000001u);
  EXPECT_EQ(w.designRows[1 * 8 + 6], 0);
  EXPECT_EQ(extra->pairA[0], 7);
  EXPECT_EQ(extra->pairA[1], 8);
  EXPECT_EQ(extra->byte9, 0);
}

TEST_F(PostLoadTest, WithoutANetworkGameTheDisplayStateStays) {
  World& w = *world_;
  UnitRecord* u = Unit(0x01000001, kInfantry, 1, 1);
  u->orders[3] = 33;
  u->ordersShown[3] = 44;
  u->pendingOrders = 2;
  w.players[1].pendingCommands = 3;
  CheckUnitsAfterLoad(w);
  EXPECT_EQ(u->ordersShown[3], 44u);
  EXPECT_EQ(u->pendingOrders, 2);
  EXPECT_EQ(w.players[1].pendingCommands, 3);
}

TEST(DerivedTables, TechnologyEffectsMultiplyAndSetSpecialBits) {
  auto w = std::make_unique<World>();
  w->players[1].kind = kKindHuman;
  w->players[2].kind = kKindOut;
  w->gameState.techCount = 6;
  w->techRows.assign(32 * 6, PlayerTechState{});
  w->techs.assign(6, TechRecord{});
  auto effect = [&](int t, uint8_t code0, int8_t pct0, uint8_t code1, int8_t pct1) {
    w->techs[static_cast<size_t>(t)].category = 1;
    w->techs[static_cast<size_t>(t)].effectCodes[0] = code0;
    w->techs[static_cast<size_t>(t)].effectPercents[0] = pct0;
    w->techs[static_cast<size_t>(t)].effectCodes[1] = code1;
    w->techs[static_cast<size_t>(t)].effectPercents[1] = pct1;
  };
  effect(0, 5, 10, 232, 0);    // technology 0 counts without being known; 232 does nothing
  effect(1, 5, 10, 200, 0);
  effect(2, 9, -50, 231, 0);
  effect(3, 0, 50, 127, 100);  // code 0 does nothing
  effect(4, 9, 100, 0, 0);     // not known
  effect(5, 9, 100, 0, 0);
  w->techs[5].category = 0;    // an empty slot, even when known
  for (int t : {1, 2, 3, 5}) w->techRows[1 * 6 + t].known = 1;
  ApplyTechEffects(*w);
  const float* m = w->techEffects[1];
  EXPECT_FLOAT_EQ(m[5], 1.21f);
  EXPECT_EQ(m[5], (110.0f / 100.0f) * (110.0f / 100.0f));
  EXPECT_EQ(m[9], 0.5f);
  EXPECT_EQ(m[127], 2.0f);
  EXPECT_EQ(m[0], 1.0f);
  EXPECT_EQ(m[1], 1.0f);
  EXPECT_EQ(w->players[1].specialEffects, 0x80000001u);
  EXPECT_EQ(w->techEffects[2][5], 0.0f);  // out of the game: untouched
  EXPECT_EQ(w->techEffects[0][5], 0.0f);  // region 0 is not walked
  // The multipliers start again at 1.0 on each pass.
  ApplyTechEffects(*w);
  EXPECT_FLOAT_EQ(m[5], 1.21f);
}

TEST(RestorePlayerPolicies, RegionsInPlayShowTheirSimulationSettingsAgain) {
  // World GDP per head 1000: 1500 gives sqrt(1.6), 0 sqrt(0.1). Regions 0,
  // out and empty keep everything. Technology 0 doubles multiplier 5.
  struct Row { int player; int32_t kind; float gdpPerCapita; bool restored; } rows[] = {
      {0, kKindHuman, 1500.0f, false}, {1, kKindHuman, 1500.0f, true}, {2, kKindComputer, 0.0f, true},
      {3, kKindOut, 1500.0f, false}, {4, kKindEmpty, 1500.0f, false}};
  auto w = std::make_unique<World>();
  w->worldEconomy.assign(1024, 0);
  le::StoreF32(w->worldEconomy.data() + kWorldGdpPerCapitaAt, 1000.0f);
  w->techs.assign(1, TechRecord{});
  w->techs[0].category = 1, w->techs[0].effectCodes[0] = 5, w->techs[0].effectPercents[0] = 100;
  for (const Row& row : rows) {
    PlayerRecord& r = w->players[row.player];
    r.kind = row.kind, r.gdpPerCapita = row.gdpPerCapita, r.costFactor = 9.0f, r.pendingCommands = 3;
    r.simPolicy.defcon = 2, r.displayPolicy.defcon = 4;
  }
  RestorePlayerPolicies(*w);
  for (const Row& row : rows) {
    const PlayerRecord& r = w->players[row.player];
    EXPECT_EQ(std::tuple(r.displayPolicy.defcon, r.pendingCommands, w->techEffects[row.player][5]),
              row.restored ? std::tuple(2, int16_t{0}, 2.0f) : std::tuple(4, int16_t{3}, 0.0f)) << row.player;
    EXPECT_FLOAT_EQ(r.costFactor, row.restored ? std::sqrt(row.gdpPerCapita / 1000.0f + 0.1f) : 9.0f) << row.player;
  }
}

TEST(DerivedTables, WorldPriceIndexesFromTheReferencePrices) {
  auto w = std::make_unique<World>();
  w->worldEconomy.assign(1024, 0);
  uint8_t* e = w->worldEconomy.data();
  for (int p = 0; p < 12; ++p) {
    le::StoreF32(e + 64 * p, static_cast<float>(p + 1));  // price
    le::StoreF32(e + 64 * p + 52, 99.0f);                 // old reference
    for (int c = 0; c < 4; ++c) le::StoreF32(e + 64 * p + 16 + 4 * c, c == 0 ? 1.0f : 0.5f * static_cast<float>(c));
  }
  ComputeWorldPriceIndex(*w);
  for (int p = 0; p < 11; ++p) EXPECT_EQ(le::LoadF32(e + 64 * p + 52), static_cast<float>(p + 1)) << p;
  EXPECT_EQ(le::LoadF32(e + 64 * 11 + 52), 99.0f);  // only 11 products count
  // Sum of 1..11 = 66.
  EXPECT_EQ(le::LoadF32(e + kWorldPriceIndexesAt), 66.0f);
  EXPECT_EQ(le::LoadF32(e + kWorldPriceIndexesAt + 4), 33.0f);
  EXPECT_EQ(le::LoadF32(e + kWorldPriceIndexesAt + 8), 66.0f);
  EXPECT_EQ(le::LoadF32(e + kWorldPriceIndexesAt + 12), 99.0f);
  World none;
  ComputeWorldPriceIndex(none);  // no economy block: nothing to do
  EXPECT_TRUE(none.worldEconomy.empty());
}

}  // namespace
