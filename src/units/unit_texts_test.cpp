#include "units/unit_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "units/handover_test_world.h"
#include "units/unit_short_status.h"
#include "world/unit_create.h"
#include "world/text/text_list_test_support.h"
#include "world/text/text_lists.h"

namespace {

using namespace handover_test;

constexpr int kLocal = 3;

class UnitTexts : public ::testing::Test, public World6 {
 protected:
  UnitTexts() {
    world->gameState.localPlayer = kLocal;
    world->players[kLocal].displayPolicy.friendlyMask = 1u << 4;
    world->players[kLocal].displayPolicy.hostileMask = (1u << 5) | (1u << 6);
    world->players[kLocal].displayPolicy.friendlyMask |= 1u << 6;  // at war all the same
  }
  ListWords suffixes{kListNumsuffix, {"th", "st", "nd", "rd", "th"}};
  ListWords kinds{kListMilclassshort, {"Inf", "Cav", "Arty", "Arm"}};
};

TEST_F(UnitTexts, PositionsReadAsCargoALabelOrColumnAndRow) {
  struct Case {
    int x, y;
    const char* label;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, nullptr, "CARGO"},
      {5, 4, nullptr, "X:005 Y:004"},
      {2, 3, "Harbour Gate", "Harbour Gate"},
      {2, 1, "", "X:002 Y:001"},
      {3, 3, "A very long name for a hex that goes on well past forty-seven characters",
       "A very long name for a hex that goes on well pa"},
  };
  for (const Case& c : cases) {
    if (c.label && (c.x || c.y)) {
      HexExtra* extra = GetHexExtra(*world, Cell(c.x, c.y));
      std::free(extra->text);
      extra->text = strdup(c.label);
    }
    UnitRecord& u = Place(kLocal, kTank, 1.0f, c.x, c.y);
    EXPECT_EQ(UnitPositionText(*world, u), c.text);
  }
  EXPECT_EQ(HexPositionText(*world, unitbytes::PackPosition(5, 12)), "X:005 Y:012");
}

TEST_F(UnitTexts, NamesByOwnerOptionsAndForm) {
  struct Case {
    const char* what;
    int owner;
    uint16_t serial;
    const char* custom;
    bool building, numbered, alternate, alternateForm;
    const char* name;
  };
  const Case cases[] = {
      {"own side, numbered names off", kLocal, 21, nullptr, false, false, false, false, "21st Arm"},
      {"own side, numbered names on", kLocal, 21, nullptr, false, true, false, false, "Tank"},
      {"alternate names show the number", kLocal, 12, nullptr, false, true, true, false, "12th Arm"},
      {"and the label in the alternate form", kLocal, 3, nullptr, false, true, true, true, "3rd  Tank"},
      {"a unit being built up shows its class", kLocal, 21, nullptr, true, false, false, false, "Tank"},
      {"a related region's unit", 4, 111, nullptr, false, false, false, false, "111th Arm"},
      {"a unit of a region at war shows its class", 5, 1, nullptr, false, false, false, false, "Tank"},
      {"at war though related", 6, 1, nullptr, false, false, false, false, "Tank"},
      {"a stranger's unit", 7, 1, nullptr, false, false, false, false, "Tank"},
      {"a named unit, whatever its owner", 5, 1, "Iron Fist", false, false, false, false, "Iron Fist"},
  };
  for (const Case& c : cases) {
    UnitRecord& u = Place(c.owner, kTank, 1.0f, 1, 1);
    u.serial = c.serial;
    u.unitType = 0;
    world->unitClasses[kTank].typeByte = 3;
    if (c.custom) SetUnitCustomName(*world, u, c.custom);
    if (c.building) u.ordersShown[kPostureBits] |= kPostureUnderConstruction;
    EXPECT_EQ(UnitDisplayName(*world, u, c.alternateForm, UnitNameOptions{c.numbered, c.alternate}), c.name) << c.what;
  }
  UnitRecord& stock = Place(kLocal, kStockClass, 1.0f, 1, 1);
  EXPECT_EQ(UnitDisplayName(*world, stock, false, UnitNameOptions{false, false}), "Fuel");
}

std::vector<std::string> Texts(const std::vector<UnitStatusRow>& rows) {
  std::vector<std::string> out;
  for (const UnitStatusRow& r : rows) out.push_back(r.text + "/" + std::to_string(r.code));
  return out;
}

TEST_F(UnitTexts, StatusRowsInTheirOrder) {
  struct Case {
    const char* what;
    uint32_t posture, state, orderFlags, unitFlags;
    float suppression, buildWork;
    uint32_t destination;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"in reserve", kPostureInReserve, 0, 0, 0, 0, 0, 0, {"IN RESERVE/1"}},
      {"under construction", kPostureInReserve | kPostureUnderConstruction, kStatePausedBuild, 0, 0, 0, 730.0f, 0,
       {"UNDER CONSTRUCTION/1", "(Construction Paused)/2", "(730 Days Remaining)/2", "IN RESERVE/1"}},
      {"repairing", kPostureInReserve, 0, kOrderAutoDeploy, 0, 0, 0, 0, {"REPAIRING/1"}},
      {"suppression of 0.05 shows nothing", 0, 0, 0, 0, 0.05f, 0, 0, {"/1"}},
      {"0.5 partly", 0, 0, 0, 0, 0.5f, 0, 0, {"/1", "PARTIALLY SUPPRESSED/12"}},
      {"0.98 highly", 0, 0, 0, 0, 0.98f, 0, 0, {"/1", "HIGHLY SUPPRESSED/12"}},
      {"above 0.98 fully", 0, 0, 0, 0, 0.99f, 0, 0, {"/1", "FULLY SUPPRESSED/12"}},
      {"retreating and waiting", 0, kStateOutOfFuel | kStateHalt, 0, kUnitSeekingBase | kUnitBit21, 0, 0, 0,
       {"/1", "RETREATING/2", "WAITING FOR SUPPLIES/5", "WAITING FOR SAFE PATH/7", "Waiting for Cargo Unit/10"}},
      {"a destination", 0, 0, 0, 0, 0, 0, unitbytes::PackPosition(5, 4), {"/1", "Destination: X:005 Y:004/4"}},
      {"destroyed", 0, 0, 0, kUnitGone, 0, 0, 0, {"DESTROYED/1", "/1"}},
  };
  for (const Case& c : cases) {
    UnitRecord& u = Place(kLocal, kTank, 1.0f, 1, 1);
    u.ordersShown[kPostureBits] = c.posture;
    u.ordersShown[kStateFlags] = u.orders[kStateFlags] = c.state;
    u.ordersShown[kOrderFlags] = c.orderFlags;
    u.ordersShown[kDestination] = c.destination;
    u.unitFlags |= c.unitFlags;
    u.disruption = c.suppression;
    u.buildWork = c.buildWork;
    EXPECT_EQ(Texts(UnitStatusText(*world, u)), c.rows) << c.what;
  }
}

TEST_F(UnitTexts, ShortStatusTakesTheFirstThatApplies) {
  struct Case {
    uint32_t state, unitFlags, orderFlags, destination;
    const char* text;
  };
  const Case cases[] = {
      {kStateHalt, kUnitMovesWhileTurning, 0, 0, "RETREATING"},
      {kStateHalt, kUnitBit16, 0, 0, "WAITING TRANSPORT"},
      {0, kUnitBit21, 0, 0, "WAITING FOR UNIT"},
      {kStateCanRefuel | kStateOutOfFuel, 0, 0, 0, "RESUPPLYING"},
      {kStateWaitFormation, 0, 0, 0, "WAITING FORMATION"},
      {0, 0, 0, unitbytes::PackPosition(5, 12), " Dest X:005 Y:012"},
      {0, 0, kOrderAutoDeploy, 0, "REPAIRING"},
      {0, kUnitInBase, 0, 0, "GARRISONED"},
      {0, 0, 0, 0, "NONE"},
  };
  for (const Case& c : cases) {
    UnitRecord& u = Place(kLocal, kTank, 1.0f, 1, 1);
    u.orders[kStateFlags] = c.state;
    u.unitFlags |= c.unitFlags;
    u.ordersShown[kOrderFlags] = c.orderFlags;
    u.ordersShown[kDestination] = c.destination;
    EXPECT_EQ(UnitStatusShort(*world, u), c.text);
  }
  UnitRecord& plane = Place(kLocal, kPlane, 1.0f, 1, 1);
  EXPECT_EQ(UnitStatusShort(*world, plane), "LANDED") << "an aircraft of no flying movement type";
  // A narrow row shows the destination on a line of its own.
  UnitRecord& moving = Place(kLocal, kTank, 1.0f, 1, 1);
  moving.ordersShown[kDestination] = unitbytes::PackPosition(5, 12);
  EXPECT_EQ(UnitStatusShortParts(*world, moving).destination, "Dest X:005 Y:012");
}

}  // namespace
