// Launching carried stock: the salvo, the reload, what a quantity below one
// point does, the notice posted when a neutral region is struck, and the
// rules of engagement that hold weapons of mass destruction back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_policy.h"
#include "sim/command_log.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "units/transport/carrier_launch.h"
#include "units/transport/launch_verdict.h"
#include "units/combat/fire_test_world.h"
#include "units/step/unit_side_steps.h"
#include "units/step/unit_step_phases.h"
#include "units/unit_player_fields.h"
#include "world/unit_class_flags.h"

namespace {

using namespace fire_test;
using handover_test::kStockClass;

constexpr int kLauncher = 1;
constexpr int kNeutral = 4;
constexpr int kEnemy = 2;

class LaunchWorld : public FireWorld {
 public:
  LaunchWorld() {
    World& w = *world;
    w.players[kLauncher].kind = kKindComputer;
    w.players[kLauncher].soldiers = 1.0e6f;
    w.gameState.localPlayer = 0;
    UnitClassRecord& boat = w.unitClasses[kBoat];
    boat.cargoSlots = 8;  // cargo slots
    UnitClassRecord& stock = w.unitClasses[kStockClass];
    stock.kind = 1;
    stock.loadableMask = 1u << 2;  // launched from ships
    stock.attackValues[0] = 10;       // strikes units
    stock.attackValues[2] = 10;       // strikes hexes
    carrier = &Unit(kLauncher, kBoat, 30.0f, 1, 1);
    missiles = &Place(kLauncher, kStockClass, 3.0f, 0, 0);
    Load(*carrier, *missiles);
    missiles->rangeLeft = 10;
    g_commandLog.Clear();
  }
  ~LaunchWorld() { g_commandLog.Clear(); }

  int Notices() {
    const std::vector<GameCommand> log = g_commandLog.Entries();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const GameCommand& c) {
      return c.id == kCmdDeclareWar && c.player == kLauncher;
    }));
  }

  // A neutral region's outpost on (x, y) as the missiles' target hex.
  void AimAtNeutralOutpost(int x, int y) {
    Own(x, y, kNeutral);
    Place(kNeutral, kOutpost, 1.0f, x, y);
    missiles->orders[kFireHex] = MakeHexPos(x, y);
  }

  UnitRecord* carrier = nullptr;
  UnitRecord* missiles = nullptr;
};

TEST(CarrierLaunch, TheSalvoComesFromSlotsAndStrengthAndIsHeldToOneToTen) {
  struct Row {
    float strength;
    uint16_t slots;
    int salvo;
  };
  const Row rows[] = {
      {30.0f, 8, 10},  // max(10, 15) = 15, held to 10
      {6.0f, 8, 3},    // max(2, 3)
      {1.0f, 0, 1},    // max(0, 0.5) = 0, at least 1
      {12.0f, 48, 10},
      {4.0f, 36, 6},
  };
  for (const Row& r : rows) EXPECT_EQ(LaunchSalvoSize(r.strength, r.slots), r.salvo) << r.strength << " " << r.slots;
}

TEST(CarrierLaunch, NoticesGoOnlyToANeutralRegionStruck) {
  struct Row {
    const char* what;
    bool atFacility;  // else a hostile unit in a neutral hex
    int notices;
  };
  const Row rows[] = {{"hostile unit in a neutral hex", false, 0}, {"a neutral hex's facility", true, 1}};
  for (const Row& r : rows) {
    LaunchWorld t;
    t.Own(3, 1, kNeutral);
    if (r.atFacility) {
      t.AimAtNeutralOutpost(3, 1);
    } else {
      UnitRecord& enemy = t.Unit(kEnemy, kGun, 10.0f, 3, 1);
      t.missiles->orders[kFireUnit] = enemy.id;
    }
    EXPECT_EQ(LaunchFromCarrier(*t.world, *t.missiles, 5), 3) << r.what;
    EXPECT_EQ(t.Notices(), r.notices) << r.what;
    EXPECT_FLOAT_EQ(t.missiles->strength, 0.0f) << r.what;
  }
}

// A salvo of one (strength 2) empties the count and starts the reload, held
// to 2 to 250; a quantity below one point never launches.
TEST(CarrierLaunch, TheSalvoCountsDownAndTheReloadIsHeldToTwoTo250) {
  struct Row {
    float stock, efficiency, morale, training;
    int launched, reload;
  };
  const Row rows[] = {
      {3.0f, 100.0f, 100.0f, 1.0f, 1, 2},  // a figure of 1 or less waits 2
      {3.0f, 0.0f, 0.0f, 0.0f, 1, 250},    // 350 waits 250
      {3.0f, 0.8f, 0.8f, 0.0f, 1, 38},     // 35 / 0.949 / 0.949 = 38.9
      {0.9f, 0.8f, 0.8f, 0.0f, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.stock << " " << r.efficiency);
    LaunchWorld t;
    t.carrier->efficiency = r.efficiency;
    t.carrier->morale = r.morale;
    t.carrier->training = r.training;
    t.carrier->strength = 2.0f;
    t.missiles->strength = r.stock;
    t.AimAtNeutralOutpost(3, 1);
    EXPECT_EQ(LaunchFromCarrier(*t.world, *t.missiles, 5), r.launched);
    EXPECT_EQ(t.carrier->byte71, 0);
    EXPECT_EQ(t.carrier->reloadTime, r.reload);
    EXPECT_FLOAT_EQ(t.missiles->strength, r.stock - static_cast<float>(r.launched));
    EXPECT_EQ(t.Notices(), r.launched);
  }
}

TEST(CarrierLaunch, ATargetOutOfRangeWaitsAndAFriendlyHexIsGivenUp) {
  LaunchWorld t;
  t.AimAtNeutralOutpost(5, 5);
  t.missiles->rangeLeft = 2;
  EXPECT_EQ(LaunchFromCarrier(*t.world, *t.missiles, 5), 0);
  EXPECT_EQ(t.missiles->orders[kFireHex], MakeHexPos(5, 5));  // kept: it may come into range
  // A target exactly at its reach is within it; one hex more is not.
  const int32_t distance = JudgeLaunch(*t.world, *t.missiles, MakeHexPos(5, 5), 0, false).distance;
  ASSERT_GT(distance, 2);
  t.missiles->rangeLeft = distance;
  EXPECT_EQ(JudgeLaunch(*t.world, *t.missiles, MakeHexPos(5, 5), 0, false).bar, LaunchBar::kNone);
  t.missiles->rangeLeft = distance - 1;
  EXPECT_EQ(JudgeLaunch(*t.world, *t.missiles, MakeHexPos(5, 5), 0, false).bar, LaunchBar::kOutOfReach);
  t.missiles->rangeLeft = 10;
  t.Own(5, 5, kLauncher);
  EXPECT_EQ(LaunchFromCarrier(*t.world, *t.missiles, 5), 0);
  EXPECT_EQ(t.missiles->orders[kFireHex], kNoHexPosition);  // its own hex: the order is dropped
}

TEST(CarrierLaunch, TheGroupsSpeedFollowsTheHexSizeAndNoHexSizeLeavesItStill) {
  struct Row {
    uint32_t hexSize;
    uint8_t kind;
    float rate, factor;
    int32_t reach;
  };
  // Speed 100: v = 1200, base = 1200 / size / 1440 x 22.
  const Row rows[] = {
      {0, 0, 0.0f, 0.0f, 0},
      {10, 0, 1.8333334f, 1.0f, 6},   // the larger map dimension without a fuel use
      {10, 1, 0.9166667f, 1.0f, 6},   // aircraft go at half the base
      {20, 0, 0.9166667f, 1.0f, 6},
  };
  for (const Row& r : rows) {
    LaunchWorld t;
    UnitClassRecord& cls = t.world->unitClasses[kStockClass];
    cls.speed = 100;
    cls.kind = r.kind;
    t.world->mapHeader.hexScale = r.hexSize;
    t.world->mapHeader.scale = 1.0f;
    UnitRecord& group = t.Place(kLauncher, kStockClass, 1.0f, 0, 0);
    group.rangeLeft = 77;
    SetLaunchedGroupSpeed(*t.world, group, cls);
    EXPECT_FLOAT_EQ(group.moveRate, r.rate) << r.hexSize << " " << int(r.kind);
    EXPECT_FLOAT_EQ(group.speedFactor, r.factor);
    EXPECT_EQ(group.rangeLeft, r.reach);
  }
}

TEST(CarrierLaunch, TheGroupLeavesInServiceWhateverTheForceBudget) {
  for (const float budget : {1.0e6f, 0.0f}) {
    LaunchWorld t;
    t.world->players[kLauncher].soldiers = budget;
    t.AimAtNeutralOutpost(3, 1);
    ASSERT_EQ(LaunchFromCarrier(*t.world, *t.missiles, 2), 2);
    const UnitTableArray* air = t.world->unitTables.Slot(kUnitTableOnMap, kLauncher, 1);
    const UnitRecord* group = air->At(air->Count() - 1).unit;
    ASSERT_NE(group, nullptr);
    EXPECT_NE(group, t.missiles);
    EXPECT_FALSE(InReserve(*group)) << budget;
    EXPECT_FLOAT_EQ(group->strength, 2.0f) << budget;
    EXPECT_EQ(group->orders[kFireHex], MakeHexPos(3, 1)) << budget;
    EXPECT_EQ(MakeHexPos(group->x, group->y), MakeHexPos(1, 1)) << budget;
  }
}

// The held-launch messages as mail, with the launcher's region the local
// one; the message types and levels are put back afterwards.
class HeldLaunchMail {
 public:
  explicit HeldLaunchMail(World& world) : world_(world) {
    MessageTypeTable& table = g_ruleTables.messageTypes;
    table = MessageTypeTable{};
    table.records.resize(kMsgLaunchHeldChemical + 1);
    for (auto& states : table.playerMessageState) states.assign(table.records.size(), PlayerMessageState{});
    for (const uint32_t id : {kMsgLaunchHeldNuclear, kMsgLaunchHeldChemical}) {
      table.records[id].flags = kMessageEmail;
      table.records[id].enabled = 1;
      table.records[id].priority = 5;
    }
    g_uiOptions.emaillevel = 0;
    world.gameState.localPlayer = kLauncher;
  }
  ~HeldLaunchMail() {
    FreeRingItems(world_.messageLists[kLauncher]);
    g_ruleTables.messageTypes = std::move(keptTypes_);
    g_uiOptions = keptOptions_;
  }
  // The types of the launcher's mail, oldest first.
  std::vector<uint32_t> Types() const {
    std::vector<uint32_t> out;
    const ListNode& head = world_.messageLists[kLauncher];
    for (const ListNode* n = head.next(); n && n != &head; n = n->next())
      out.insert(out.begin(), static_cast<const PlayerMessage*>(n)->typeId);
    return out;
  }

 private:
  World& world_;
  MessageTypeTable keptTypes_ = std::move(g_ruleTables.messageTypes);
  UiOptions keptOptions_ = g_uiOptions;
};

// A class of mass destruction leaves its carrier only when the region's
// rules of engagement release its kind (nuclear: the tactical nuclear rule;
// chemical: the chemical one), whether the missile's own launch order or
// its carrier's sends it; other stock leaves whatever the rules. A held
// launch tells its owner why, once for the order however often it is
// tried again.
TEST(CarrierLaunch, AWeaponOfMassDestructionLeavesOnlyWhenTheRulesReleaseItsKind) {
  struct Row {
    const char* what;
    uint32_t warhead, rules;
    bool leaves;
    uint32_t told;  // the held-launch message, 0 for none
  };
  const Row rows[] = {
      {"conventional, no rule", 0, 0, true, 0},
      {"nuclear, no rule", kClassSpecialWeaponA, 0, false, kMsgLaunchHeldNuclear},
      {"nuclear, chemical rule only", kClassSpecialWeaponA, kRoeLaunchFirstSpecialKind, false, kMsgLaunchHeldNuclear},
      {"nuclear, nuclear rule", kClassSpecialWeaponA, kRoeLaunchSpecialWeapons, true, 0},
      {"second nuclear kind, nuclear rule", kClassSpecialWeaponB, kRoeLaunchSpecialWeapons, true, 0},
      {"second nuclear kind, no rule", kClassSpecialWeaponB, 0, false, kMsgLaunchHeldNuclear},
      {"chemical, nuclear rule only", kClassSpecialImmune, kRoeLaunchSpecialWeapons, false, kMsgLaunchHeldChemical},
      {"chemical, chemical rule", kClassSpecialImmune, kRoeLaunchFirstSpecialKind, true, 0},
  };
  for (const Row& r : rows) {
    for (const bool carrierOrders : {false, true}) {
      SCOPED_TRACE(testing::Message() << r.what << (carrierOrders ? ", the carrier's order" : ", its own order"));
      LaunchWorld t;
      HeldLaunchMail mail(*t.world);
      t.world->unitClasses[kStockClass].flags |= r.warhead;
      t.world->players[kLauncher].simPolicy.roeFlags = r.rules;
      t.AimAtNeutralOutpost(3, 1);
      // Tried twice: the held order is still there the second time.
      for (int visit = 0; visit < 2; ++visit) {
        if (carrierOrders) {
          t.carrier->orders[kFireHex] = MakeHexPos(3, 1);
          t.carrier->orders[kOrderFlags] |= kOrderLaunchCargo;
          t.carrier->reloadTime = 0;
          UnitStepState s = t.PhaseState(*t.carrier);
          StepEngagement(*t.world, *t.carrier, s);
        } else {
          t.missiles->orders[kOrdersHeader] |= kHeaderLaunchAllowed;
          t.missiles->orders[kOrderFlags] |= kOrderLaunchCargo;
          t.carrier->reloadTime = 0;
          RunCarriedUnitStep(*t.world, *t.missiles, 1);
        }
        if (visit == 0) {
          EXPECT_EQ(t.missiles->strength < 3.0f, r.leaves);
        }
      }
      // The carrier's order ends when nothing leaves, so its second visit
      // is a second order; the missile's own waits on as one.
      std::vector<uint32_t> told;
      if (r.told) told.assign(carrierOrders ? 2 : 1, r.told);
      EXPECT_EQ(mail.Types(), told);
    }
  }
}

}  // namespace
