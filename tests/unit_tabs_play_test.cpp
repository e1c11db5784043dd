// The whole program on the sample scenario as Westholm, the selected-unit
// panel's tabs opened by clicks: a battle tank picked on the map, its
// details, its command grid's base transfer panel opened and closed in the
// tab (closed by its button and by its Back, the grid drawn again), its
// loads and class abilities; then a transport helicopter with the
// tank aboard lists it on the cargo tab, and the tank, ordered out there, is
// back on the map within a game day.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/military/units/unit_progress_row.h"
#include "screens/military/units/unit_detail_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "units/transport/carrier_boarding.h"
#include "units/unit_texts.h"
#include "world/game_speed.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_create.h"
#include "world/unit_tables.h"
#include "world/world.h"

namespace {

constexpr int32_t kTankClass = 8;
constexpr int32_t kTransportHelos = 22;
// The class row's name of group g is its control 100 + g; group 24 and up
// are the facilities and stock items, which no summary row shows.
constexpr int32_t kGroupNameIds = 100, kFacilityType = 24;

// The row of the unit in a list, counted from 0; -1 for none.
int RowOf(const ListBoxControl* list, uint32_t unitId) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (static_cast<uint32_t>(ListRowValue(row)) == unitId) return n;
  return -1;
}

std::string TextOf(Screen& s, const char* tag) {
  const Control* c = s.currentForm ? FormFindControlByTag(s.currentForm, tag) : nullptr;
  return c ? c->text : "<missing>";
}
std::string TextOf(Screen& s, int32_t id) {
  const Control* c = s.currentForm ? FormFindControlById(s.currentForm, id) : nullptr;
  return c ? c->text : "<missing>";
}

// The carrier of a unit in play, 0 for none; a unit gone counts as carried.
uint32_t CarrierOf(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, id);
  return u && !(u->unitFlags & kUnitGone) ? u->carrier : ~0u;
}

TEST(UnitTabsPlay, TheTabsShowATankAndATransportPutsItAshore) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  ScreenSet& s = g_screens;
  SetGameSpeed(w.gameState, 0);
  uint32_t tank = 0, helo = 0, at = 0;
  std::string crew, place;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const auto tanks = SampleGame::OwnUnitsOnMap(kTankClass);
    ASSERT_FALSE(tanks.empty());
    tank = tanks.front()->id, at = MakeHexPos(tanks.front()->x, tanks.front()->y);
    const UnitRecord& t = *FindUnitById(w, tank);
    crew = std::to_string(static_cast<int32_t>(static_cast<float>(w.unitClasses[kTankClass].valuePerPoint) * t.strength));
    place = UnitPositionText(w, t);
  }
  UnitPanel& units = s.mapScreen.units;
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  // The tank's hex chosen as the game's current hex lists its units.
  const auto showHex = [&] {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      SampleGame::MakeCurrentHex(at);
    }
    units.id = 0;
    units.Show(0, nullptr);
    SampleGame::Pump();
  };
  // The tank's hex clicked on the map lists its units.
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(at, x, y));
  SampleGame::Click(x, y);
  // More than one unit there: the stack list opens and the tank is picked
  // from it, the panel then listing the selection.
  if (StackList().currentForm->parent) SampleGame::ClickControl(StackList().list, RowOf(StackList().list, tank));
  const int tankRow = RowOf(units.list, tank);
  ASSERT_GE(tankRow, 0);
  SampleGame::ClickControl(units.list, tankRow);
  ASSERT_EQ(units.CurrentUnit(), tank);
  // With the all-units option (on by default) the hex's units are progress
  // rows: the tank's strength bar is drawn full in its readiness colour.
  Control* row = ListNextRow(units.list, nullptr);
  for (int n = 0; n < tankRow; ++n) row = ListNextRow(units.list, row);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->hostedScreen, &s.militaryProgress) << "the tank's row is a progress row";
  uint32_t ready = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord& t = *FindUnitById(w, tank);
    ready = ReadinessColour(w, t, w.unitClasses[kTankClass]);
  }
  ASSERT_GT((ready >> 8) & 0xFFu, (ready >> 16) & 0xFFu) << "a fresh tank is ready: green";
  SampleGame::Pump();
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  // Rows sit in the list's box, the list not scrolled.
  const plat::Rect box = ControlAbsoluteRect(units.list);
  x = box.left + row->rect.right - 12, y = box.top + row->rect.top + 6;
  ASSERT_TRUE(x >= 0 && x < static_cast<int32_t>(width) && y >= 0 && y < static_cast<int32_t>(height));
  const uint32_t bar = frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu;
  // The bar's green shows through the row's selection mark.
  const auto channel = [bar](int shift) { return static_cast<int32_t>((bar >> shift) & 0xFFu); };
  EXPECT_GT(channel(8), channel(16) + 0x20) << std::hex << bar << ": the strength bar's middle is green";
  EXPECT_GT(channel(8), channel(0) + 0x20) << std::hex << bar << ": the strength bar's middle is green";

  // The tank's summary row names its owner whole in its 144 pixels.
  const auto* owner = dynamic_cast<const StringControl*>(FormFindControlByTag(units.ordersArea, "FLAG"));
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(owner->ShownText().text, owner->text);
  EXPECT_EQ(owner->text.rfind("Westholm", 0), 0u) << owner->text;

  SampleGame::ClickControl(FormFindControlByTag(units.currentForm, "4A"));
  EXPECT_EQ(TextOf(units.detail, "CLASS"), TextListText(kListMilclass, w.unitClasses[kTankClass].typeByte));
  EXPECT_EQ(TextOf(units.detail, "UCREW"), crew);
  EXPECT_EQ(TextOf(units.detail, "LOCATION"), place);
  // The tab's command grid opens the tank's base transfer panel in place of
  // the details; pressing the button again brings the details back.
  Control* details = FormFindControlByTag(units.summary.currentForm, "SUBPARENT2");
  ASSERT_EQ(s.unitTabGrid.currentForm->parent, FormFindControlByTag(units.summary.currentForm, "GRIDPAR"))
      << "the unit tab carries the command grid";
  Control* base = FormFindControlById(s.unitTabGrid.currentForm, 108);
  ASSERT_FALSE(base->Hidden()) << "a tank on the map may change base";
  // The grid as the player sees it, to find it drawn again after Back.
  const plat::Rect gridBox = ControlAbsoluteRect(s.unitTabGrid.currentForm);
  const auto gridPixels = [&] {
    SampleGame::Pump();
    std::vector<uint32_t> shown, pixels;
    uint32_t w = 0, h = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&shown, &w, &h), plat::kOk);
    for (int32_t py = std::max(gridBox.top, 0); py < std::min<int32_t>(gridBox.bottom, static_cast<int32_t>(h)); ++py)
      for (int32_t px = std::max(gridBox.left, 0); px < std::min<int32_t>(gridBox.right, static_cast<int32_t>(w)); ++px)
        pixels.push_back(shown[static_cast<size_t>(py) * w + static_cast<size_t>(px)] & 0xFFFFFFu);
    return pixels;
  };
  const std::vector<uint32_t> gridBefore = gridPixels();
  ASSERT_FALSE(gridBefore.empty());
  for (const char* close : {"", "BACK"}) {
    SampleGame::ClickControl(base);
    EXPECT_EQ(details->firstChild, s.unitTransfer.currentForm) << "the transfer panel shows in the tab";
    EXPECT_EQ(static_cast<uint32_t>(s.unitTransfer.id), tank);
    // Pressing the button again, or the panel's Back, brings the details
    // back under the same grid, the tab still open.
    SampleGame::ClickControl(*close ? FormFindControlByTag(s.unitTransfer.currentForm, close) : base);
    EXPECT_EQ(details->firstChild, units.detail.currentForm) << "the details are back after " << close;
    EXPECT_EQ(g_ui.panelDepth, 3) << "the unit tab stays open after " << close;
    EXPECT_TRUE(gridPixels() == gridBefore) << "the grid is drawn again after " << close;
  }
  SampleGame::ClickControl(FormFindControlByTag(units.currentForm, "4B"));
  EXPECT_EQ(TextOf(units.strength, 355), "0") << "a tank carries nothing";
  EXPECT_NE(TextOf(units.strength, 256), "0") << "a tank has days of supplies";
  SampleGame::ClickControl(FormFindControlByTag(units.currentForm, "4D"));
  EXPECT_EQ(units.extraFill.id, kTankClass);
  // The class tab: the class's specification above its abilities, which
  // name the kind of target it is; every text whole and apart.
  EXPECT_EQ(TextOf(units.extra, "CLASS"), TextListText(kListMilclass, w.unitClasses[kTankClass].typeByte));
  EXPECT_EQ(TextOf(units.extra, "DEFSTR"), std::to_string(w.unitClasses[kTankClass].strengthPerSize));
  EXPECT_EQ(TextOf(units.extra, "UCREW"),
            std::to_string(w.unitClasses[kTankClass].valuePerPoint * w.unitClasses[kTankClass].strengthPerSize));
  EXPECT_EQ(TextOf(units.extra, "MOVETYPE"), "Motorised");
  const Control* landTarget = FormFindControlById(units.extraFill.currentForm, 30);
  ASSERT_NE(landTarget, nullptr);
  EXPECT_TRUE(ShownInTree(landTarget));
  EXPECT_EQ(landTarget->text, "Land target");
  EXPECT_GE(TextsReadWhole(units.extra.currentForm, "class tab"), 19);
  TextsApart(units.extra.currentForm, "class tab");
  EXPECT_TRUE(FormFindControlByTag(units.currentForm, "4C")->Hidden()) << "no cargo tab for a tank";

  // A transport helicopter made ready on the tank's hex takes the tank
  // aboard as a load order would.
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    PlayerRecord& owner = w.players[w.gameState.localPlayer];
    ++owner.commandCounter;
    const uint32_t id = (static_cast<uint32_t>(owner.number) << 24) | (owner.commandCounter & 0xFFFFFFu);
    UnitRecord* h = CreateUnit(w, owner, id, kTransportHelos, 1.0f, at, 0, 0);
    ASSERT_NE(h, nullptr);
    h->unitFlags &= ~kUnitProvisional;
    h->buildWork = 0.0f;
    h->orders[kPostureBits] &= ~(kPostureUnderConstruction | kPostureInReserve);
    h->ordersShown = h->orders;
    HexStackInsertOrdered(w, w.cells[w.gameState.currentHex.cellIndex], *h);
    AppendUnitPtr(w, kUnitTableOnMap, h->owner, h->kind, *h);
    helo = h->id;
    BoardingRules rules;
    rules.hexAndClassTests = false;
    ASSERT_EQ(BoardUnit(w, *FindUnitById(w, tank), *h, rules, false), BoardingResult::kBoarded);
  }
  ASSERT_EQ(CarrierOf(tank), helo);
  showHex();
  const int heloRow = RowOf(units.list, helo);
  ASSERT_GE(heloRow, 0);
  EXPECT_LT(RowOf(units.list, tank), 0) << "the tank aboard is off the hex";
  SampleGame::ClickControl(units.list, heloRow);
  ASSERT_EQ(units.CurrentUnit(), helo);
  // Its summary row reads "Transport Helos" and its type whole, as it would
  // every class name and type of the sample, in the row's fonts and places.
  const auto* name = dynamic_cast<const StringControl*>(FormFindControlByTag(units.ordersArea, "NAME"));
  const auto* type = dynamic_cast<const StringControl*>(FormFindControlById(
      units.ordersArea, kGroupNameIds + w.unitClasses[kTransportHelos].typeByte));
  ASSERT_NE(name, nullptr);
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(name->text, std::string(w.unitClasses[kTransportHelos].name));
  EXPECT_EQ(type->text, TextListText(kListMilclass, w.unitClasses[kTransportHelos].typeByte));
  EXPECT_FALSE(type->Hidden());
  for (const StringControl* c : {name, type}) EXPECT_EQ(c->ShownText().text, c->text);
  for (const UnitClassRecord& k : w.unitClasses) {
    if (k.name[0] == '\0' || k.typeByte >= kFacilityType) continue;
    for (const auto& [c, text] : {std::pair{name, k.name}, std::pair{type, TextListText(kListMilclass, k.typeByte)}}) {
      int32_t width = 0, height = 0;
      ASSERT_EQ(MeasureText(c->Font(), text, &width, &height), plat::kOk);
      EXPECT_LE(width, Width(c)) << text;
    }
  }
  Control* cargoTab = FormFindControlByTag(units.currentForm, "4C");
  ASSERT_FALSE(cargoTab->Hidden());
  SampleGame::ClickControl(cargoTab);
  const int aboardRow = RowOf(units.cargo.cargoList, tank);
  ASSERT_GE(aboardRow, 0) << "the cargo tab lists the tank";
  // A double click on its row opens the tank's details.
  SampleGame::DoubleClickControl(units.cargo.cargoList, aboardRow);
  ASSERT_NE(s.unitDetail.currentForm->parent, nullptr) << "the cargo row opens the unit's details";
  EXPECT_EQ(static_cast<uint32_t>(s.unitDetail.id), tank);
  SampleGame::ClickControl(FormFindControlByTag(s.unitDetail.currentForm, "CLOSEBUT"));
  SampleGame::ClickControl(units.cargo.cargoList, aboardRow);
  Control* unload = FormFindControlByTag(units.cargo.currentForm, "UNLOAD");
  ASSERT_FALSE(unload->Hidden());
  g_commandLog.Clear();
  SampleGame::ClickControl(unload);
  bool ordered = false;
  for (const GameCommand& c : g_commandLog.Entries())
    ordered |= c.id == kCmdAddOrderFlags && c.arg28 == tank && c.arg32 == kOrderUnloadDue;
  EXPECT_TRUE(ordered) << "the unload order reaches the command log";

  SampleGame::PlayUntil(2, [&] { return CarrierOf(tank) == 0; });
  EXPECT_EQ(CarrierOf(tank), 0u) << "the tank is put ashore";
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_EQ(MakeHexPos(FindUnitById(w, tank)->x, FindUnitById(w, tank)->y), at) << "on the helicopter's hex";
}

}  // namespace
