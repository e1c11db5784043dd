#pragma once
// A small world of facilities for the facility lists' tests (the economy's
// product sources and domestic page, the military facility page): a local
// region's hexes, facility classes of a product, and facilities placed on
// the map one by one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "screens/common/military_test_support.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/product_fields.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "support/world_map_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace facilitylisttest {

inline constexpr int kSide = 16, kLocal = 1, kOther = 2, kProduct = 3;
inline constexpr int16_t kBase = 3, kAirfield = 4, kClinic = 5;
inline constexpr int32_t kA = 0x01000001, kB = 0x01000002, kC = 0x01000003, kD = 0x01000004;

class FacilityListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(0, kLocal), kLocal)});
    w.cellBytes.assign(kSide * kSide, 250);
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.worldEconomy.assign(1024, 0);
    w.gameState.localPlayer = kLocal;
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    for (int32_t c : {4020, 4021}) {
      UnitClassRecord& cls = w.unitClasses[static_cast<size_t>(c)];
      cls.flags = kClassFacility | kClassProduction | kClassSpecialWeaponB;
      cls.hasExtra = true;
      le::StoreF32(cls.extra.data() + 4 * kProduct, 1.0f);
    }
    w.unitClasses[0].baseSlots = 7;
    w.unitClasses[kBase].flags = w.unitClasses[kAirfield].flags = w.unitClasses[kClinic].flags =
        kClassFacility | kClassSettlement;
    w.unitClasses[kBase].loadableMask = 1;
    w.unitClasses[kAirfield].flags |= kClassAirBase;
    w.unitClasses[kClinic].baseKind = kDomesticSiteKind;
    w.gameState.currentHex = {5, 5, 5 * kSide + 5, 0};
    for (int i = 0; i < 7; ++i) words_.Set(kListUgstatus, i, "word" + std::to_string(i));
    g_screens.productScreen.graphTimeScale = 1.0f;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    ListHolderClear(g_screens.workingLists[kCurrentObjectListIndex]);
    for (HexCell& c : g_world.cells) FreeHexStack(c);
  }
  UnitRecord& Facility(int32_t id, int16_t cls, int16_t x, int16_t y, float strength, uint32_t posture = 0) {
    UnitRecord& u = ring_.Add(static_cast<uint32_t>(id), kLocal, cls);
    u.x = x, u.y = y, u.strength = strength;
    u.ordersShown[kPostureBits] = posture;
    MakeHexStack(g_world.cells[static_cast<size_t>(y * kSide + x)])->lead = &u;
    return u;
  }
  static void Figure(int32_t product, size_t field, float value) {
    product::Set(g_world.players[kLocal], product, field, value);
  }
  static std::vector<int32_t> RowIds(const ListBoxControl* list) {
    std::vector<int32_t> ids;
    for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) ids.push_back(row->id);
    return ids;
  }

  WorldMapGuard map_;
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<float> period_{g_screens.productScreen.graphTimeScale};
  militarytest::TextPatch words_;
  testsupport::UnitRing ring_;
  controltest::RecordingScreen owner_;
};

}  // namespace facilitylisttest
