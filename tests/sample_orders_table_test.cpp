// The sample's orders table as the order lists offer it: every offered row
// that aims at a hex carries the bits the unit step needs to carry it out.
// A row that fires but names nothing it may hit on a hex fires at nothing;
// one that launches cargo without asking for launchable cargo launches
// nothing; one that sends aircraft at a foreign hex without a mission never
// leaves the base.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "platform/paths.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "units/handover_test_world.h"
#include "units/hex_geometry.h"
#include "units/order_filter.h"
#include "units/step/unit_scheduler.h"
#include "units/unit_order_issue.h"
#include "world/scenario_load.h"
#include "world/terrain_flags.h"
#include "world/text/order_types.h"
#include "world/text/rule_tables.h"
#include "world/unit_class_flags.h"

namespace {

constexpr uint32_t kNeedsTargetHex = 1u << 28;
constexpr uint32_t kNeedsStockCargo = 1u << 23;
constexpr uint32_t kSecondHexBits = kOrderLiftBits | (1u << 26);
constexpr uint32_t kPartnerBits = kOrderAimedAtLeader | (1u << 28);
constexpr int kAir = 1;

std::string GameRoot() { return std::filesystem::path(VD_GAME_EXE).parent_path().string(); }

// The sample's orders table, read once.
const OrderTypeTable& SampleOrders() {
  static const std::unique_ptr<OrderTypeTable> table = [] {
    auto t = std::make_unique<OrderTypeTable>();
    const std::string oldRoot = plat::DataRoot();
    plat::SetDataRoot(GameRoot());
    EXPECT_EQ(LoadOrdersTable(*t, "orders"), plat::kOk);
    plat::SetDataRoot(oldRoot);
    return t;
  }();
  return *table;
}

// The sample's order definitions in force while it lives; the old ones
// back after.
class OrderTableSwap {
 public:
  explicit OrderTableSwap(const OrderTypeTable& table) : saved_(std::make_unique<OrderTypeTable>()) {
    std::swap(*saved_, g_ruleTables.orderTypes);
    for (int id = 0; id < kOrderTypeCount; ++id) {
      const OrderTypeRecord& r = table.entries[id];
      OrderTypeRecord& to = g_ruleTables.orderTypes.entries[id];
      to.orderFlags = r.orderFlags, to.orderMask = r.orderMask, to.listModes = r.listModes;
      to.requirements = r.requirements, to.spare = r.spare;
      std::copy(std::begin(r.categories), std::end(r.categories), to.categories);
      std::copy(std::begin(r.hexRelation), std::end(r.hexRelation), to.hexRelation);
      std::copy(std::begin(r.facilityRelation), std::end(r.facilityRelation), to.facilityRelation);
      std::copy(std::begin(r.unitRelation), std::end(r.unitRelation), to.unitRelation);
      to.name.reset(r.name.get() ? strdup(r.name.get()) : nullptr);
    }
  }
  ~OrderTableSwap() { std::swap(*saved_, g_ruleTables.orderTypes); }
  OrderTableSwap(const OrderTableSwap&) = delete;
  OrderTableSwap& operator=(const OrderTableSwap&) = delete;

 private:
  std::unique_ptr<OrderTypeTable> saved_;
};

TEST(SampleOrdersTable, EveryOfferedHexOrderCanReachItsEffect) {
  const OrderTypeTable& table = SampleOrders();
  int offered = 0;
  for (int id = 0; id < kOrderTypeCount; ++id) {
    const OrderTypeRecord& r = table.entries[id];
    const std::string name = r.name.c_str();
    if (name.empty() || !(r.listModes & 3) || !(r.requirements & kNeedsTargetHex)) continue;
    ++offered;
    SCOPED_TRACE(std::to_string(id) + " " + name);
    const uint32_t f = r.orderFlags;
    const bool fires = (f & kOrderTargetBits) != 0;
    const bool foreignOnly = !r.hexRelation[0] && !r.facilityRelation[0];
    EXPECT_TRUE(f & (kOrderMissionByte | kOrderTargetAndKeep | kSecondHexBits | kPartnerBits)) << "does something";
    if (f & kOrderLaunchCargo) {
      EXPECT_TRUE(r.requirements & kNeedsStockCargo) << "launches only what it carries";
    } else if (fires && foreignOnly) {
      EXPECT_TRUE(f & kOrderHexAttackBits) << "names what it may hit on the hex";
    }
    if (fires && foreignOnly && r.categories[kAir]) {
      EXPECT_TRUE(f & kOrderMissionByte) << "aircraft take off";
    }
  }
  EXPECT_GT(offered, 10);
}

// The sample's classes, terrains, map scale and reach boost, read once from
// the sample scenario, for the short worlds below.
const World& SampleWorld() {
  static const std::unique_ptr<World> sample = [] {
    auto w = std::make_unique<World>();
    const std::string oldRoot = plat::DataRoot();
    plat::SetDataRoot(GameRoot());
    std::string why;
    const int32_t status = LoadScenarioFileSequence(*w, "Channel", &why);
    plat::SetDataRoot(oldRoot);
    EXPECT_GE(status, 0) << why;
    return w;
  }();
  return *sample;
}

// A terrain the sample's units of the category stand on: the sample map's
// first open water for ships, else the cell under the first unit met.
int HomeTerrain(const World& sample, int kind) {
  for (const HexCell& c : sample.cells) {
    const int t = CellTerrain(c.word);
    const bool water = static_cast<size_t>(t) < sample.terrains.size() &&
                       (le::Load32(sample.terrains[static_cast<size_t>(t)].bytes + 136) & kTerrainWater);
    if (kind >= 2 && water) return t;
  }
  for (const UnitRecord* u = sample.units; u; u = u->next == sample.units ? nullptr : u->next)
    if (u->kind == kind && !(u->unitFlags & kUnitFacility) && u->carrier == 0 && (u->x || u->y))
      return CellTerrain(sample.cells[static_cast<size_t>(u->y) * sample.mapHeader.width + u->x].word);
  return -1;
}

// A 6 x 6 world of one sample terrain with the sample's rules and its
// regions' rules of engagement, region 3 at war with region 4 and the
// orders of the sample's table in force.
class ShortWorld : public handover_test::World6 {
 public:
  static constexpr int kOwner = 3;
  static constexpr int kEnemy = 4;
  explicit ShortWorld(const World& sample, int terrain) : log(*world) {
    World& w = *world;
    w.unitClasses = sample.unitClasses;
    w.terrains = sample.terrains;
    w.mapHeader.hexScale = sample.mapHeader.hexScale;
    w.mapHeader.scale = sample.mapHeader.scale;
    w.mapHeader.scaleSquared = sample.mapHeader.scaleSquared;
    w.gameState.weaponRangeBoost = sample.gameState.weaponRangeBoost;
    w.gameState.rangeBoostAddend = sample.gameState.rangeBoostAddend;
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellOwner(c.word, kOwner), terrain);
    for (int x = 2; x < 6; ++x)
      for (int y = 0; y < 6; ++y) Own(x, y, kEnemy);
    std::memcpy(w.techEffects, sample.techEffects, sizeof w.techEffects);
    w.gameState.localPlayer = kOwner;
    w.gameState.highestPlayer = kEnemy;
    w.gameState.commandLead = 1;
    for (int p : {kOwner, kEnemy}) {
      w.players[p].kind = kKindComputer;
      w.players[p].simPolicy.roeFlags = sample.players[p].simPolicy.roeFlags;
      w.players[p].simPolicy.hostileMask = 1u << (kOwner + kEnemy - p);
    }
  }
  // Fuelled and armed as the sample's forces start.
  UnitRecord& Armed(int owner, int cls, int x, int y) {
    UnitRecord& u = Place(owner, cls, 1.0f, x, y);
    u.fuel = world->unitClasses[cls].fuelCapacity * u.strength;
    u.ammo = world->unitClasses[cls].ammoCapacity * u.strength;
    return u;
  }
  // Commands run at their minute and the units step, minute by minute,
  // until done() or the days are over.
  template <typename Done>
  bool RunUntil(int days, Done done) {
    World& w = *world;
    for (int minute = 0; minute < days * 1440; ++minute) {
      DrainDueCommands(log, w.gameState.currentTick);
      RunUnitScheduler(w, 1440 - minute % 1440);
      ++w.gameState.currentTick;
      if (done()) return true;
    }
    return false;
  }
  CommandLog log;
};

// The sample's first facility class with the flag.
int FacilityClass(const World& w, uint32_t flag) {
  for (size_t c = 0; c < w.unitClasses.size(); ++c)
    if ((w.unitClasses[c].flags & flag) && (w.unitClasses[c].flags & kClassFacility)) return static_cast<int>(c);
  return 0;
}

// The first class the attacker's weapons hurt (by the attack value against
// its target type) that can stand beside it: of its own category first,
// then, for a ship, any ship or an aircraft in flight; a carrier's only gun
// is against aircraft, a submarine's torpedoes are against ships.
int PreyClass(const World& w, const UnitClassRecord& attacker, int kind) {
  for (const bool own : {true, false})
    for (size_t c = 0; c < w.unitClasses.size(); ++c) {
      const UnitClassRecord& k = w.unitClasses[c];
      if (!k.name[0] || (k.flags & (kClassFacility | kClassStock)) || k.kind >= 4) continue;
      const bool beside = own ? k.kind == kind : kind >= 2 && k.kind >= 1;
      if (beside && AttackValueAgainst(attacker, k.targetType) > 0) return static_cast<int>(c);
    }
  return 0;
}

// Each row offered against a hex, for each unit category it names: the
// sample's first class of that category that may take it carries it out
// within ten days in a short world, or no class of that category is
// offered it. A move arrives on the next hex, a ship's from a port onto
// open, unowned water; an attack on a unit or an
// area fires at an enemy next door that it can hurt; an air strike from an
// own base hits an enemy settlement three hexes off. The strike is aimed at
// the hex, as the order menu aims it at a hex with a facility: aimed at the
// settlement as a unit, the order would be dropped at the base, out of
// reach.
TEST(SampleOrdersTable, EveryOfferedRowReachesItsEffectInAShortWorld) {
  // Foot soldiers take about a week a hex.
  constexpr int kDays = 10;
  enum Effect { kArrives, kFires, kStrikesFacility };
  const struct {
    const char* name;
    Effect effect;
  } rows[] = {{"Move", kArrives},
              {"Attack Unit", kFires},
              {"Attack Area", kFires},
              {"Bombard", kFires},
              {"Air Strike", kStrikesFacility}};
  const World& sample = SampleWorld();
  const OrderTypeTable& table = SampleOrders();
  const OrderTableSwap inForce(table);
  int tried = 0;
  for (const auto& row : rows) {
    int id = 0;
    while (id < kOrderTypeCount && std::string(table.entries[id].name.c_str()) != row.name) ++id;
    ASSERT_LT(id, kOrderTypeCount) << row.name;
    const OrderTypeRecord& order = table.entries[id];
    ASSERT_TRUE(order.listModes & 3) << row.name << " is offered";
    for (int kind = 0; kind < 4; ++kind) {
      if (!order.categories[kind]) continue;
      SCOPED_TRACE(std::string(row.name) + " by category " + std::to_string(kind));
      const int terrain = HomeTerrain(sample, kind == 1 ? 0 : kind);
      if (terrain < 0) continue;  // the sample fields no such force
      // The first class of the category the order is offered to, as it
      // stands on the map.
      std::unique_ptr<ShortWorld> world;
      UnitRecord* u = nullptr;
      for (size_t c = 0; c < sample.unitClasses.size() && !u; ++c) {
        const UnitClassRecord& cls = sample.unitClasses[c];
        if (cls.kind != kind || !cls.name[0] || (cls.flags & (kClassFacility | kClassStock))) continue;
        world = std::make_unique<ShortWorld>(sample, terrain);
        UnitRecord& probe = world->Armed(ShortWorld::kOwner, static_cast<int>(c), 1, 2);
        if (UnitMeetsOrder(*world->world, order, probe)) u = &probe;
      }
      if (!u) continue;  // not offered to this category
      ++tried;
      ShortWorld& s = *world;
      World& w = *s.world;
      SCOPED_TRACE(w.unitClasses[u->classIndex].name);
      const int airBase = FacilityClass(w, kClassAirBase);
      ASSERT_GT(airBase, 0);
      if (kind == 1) {
        s.Armed(ShortWorld::kOwner, airBase, 1, 2);
        u->unitFlags |= kUnitInBase;
        u->orders[kStateFlags] |= kStateCanRefuel;
        u->ordersShown = u->orders;
      }
      const float ammo = u->ammo;
      if (row.effect == kArrives) {
        const uint32_t goal = MakeHexPos(1, 3);
        if (kind >= 2) {
          ASSERT_GT(FacilityClass(w, kClassHaven), 0);
          s.Armed(ShortWorld::kOwner, FacilityClass(w, kClassHaven), 1, 2);
          s.Own(1, 3, 0);
        }
        IssueUnitOrder(w, *u, id, goal, nullptr, nullptr, 0, 0, -1);
        EXPECT_TRUE(s.RunUntil(kDays, [&] { return MakeHexPos(u->x, u->y) == goal; })) << "arrives";
      } else if (row.effect == kFires) {
        const int prey = PreyClass(w, w.unitClasses[u->classIndex], kind);
        ASSERT_GT(prey, 0) << "has something to fire at";
        UnitRecord& enemy = s.Armed(ShortWorld::kEnemy, prey, 2, 2);
        // Aircraft over the sea are in flight.
        if (enemy.kind == kAir) enemy.unitFlags |= kUnitMoved;
        IssueUnitOrder(w, *u, id, MakeHexPos(2, 2), nullptr, &enemy, 0, 0, -1);
        EXPECT_TRUE(s.RunUntil(kDays, [&] { return u->ammo < ammo; })) << "fires";
      } else {
        UnitRecord& facility = s.Armed(ShortWorld::kEnemy, FacilityClass(w, kClassSettlement), 4, 2);
        const float strength = facility.strength;
        IssueUnitOrder(w, *u, id, MakeHexPos(4, 2), nullptr, nullptr, 0, 0, -1);
        EXPECT_TRUE(s.RunUntil(kDays, [&] { return facility.strength < strength || !IsUnitLive(facility); }))
            << "hits the facility";
        // Its work done, the aircraft comes home with fuel left instead of
        // circling there until its tanks run dry.
        bool lost = false;
        EXPECT_TRUE(s.RunUntil(60, [&] {
          lost = !IsUnitLive(*u) || !(u->fuel > 0.0f);
          return lost || (MakeHexPos(u->x, u->y) == MakeHexPos(1, 2) && !(u->orders[kOrderFlags] & kOrderMoving));
        }) && !lost) << "comes home";
      }
    }
  }
  EXPECT_GE(tried, 13);
}

}  // namespace
