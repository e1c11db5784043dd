// The whole program on the sample scenario as Westholm: the Army page's
// unit summary lists the region's land units; a unit picked there shows its
// orders summary, its picture and the map's unit panel of the pressed page
// beside the list, each page button puts its own panel there, and nothing
// beside the list is drawn over anything else. A unit ordered at a base
// and stopped with Cancel or Remove is gone the next day.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/build_lists.h"
#include "screens/main/panels/unit_panel.h"
#include "screens/military/facilities/base_popup.h"
#include "screens/military/units/unit_list_popup.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "ui/text_fit.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kArmyBase = 4054, kUnderConstructionMode = 212;
constexpr int kOrdered = 6;

// The shown direct children of the control.
std::vector<const Control*> ShownChildren(const Control* parent) {
  std::vector<const Control*> out;
  Control* first = parent ? parent->firstChild : nullptr;
  for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing())
    if (ShownInTree(c)) out.push_back(c);
  return out;
}

// The picture's overlay is drawn over the picture on purpose.
bool PictureAndOverlay(const Control* a, const Control* b) {
  return (TagOf(a) == "UNITPIC" && TagOf(b) == "UNITPICT") || (TagOf(a) == "UNITPICT" && TagOf(b) == "UNITPIC");
}

void ExpectApart(const std::vector<const Control*>& parts, const char* where) {
  for (size_t i = 0; i < parts.size(); ++i) {
    for (size_t j = i + 1; j < parts.size(); ++j) {
      if (PictureAndOverlay(parts[i], parts[j])) continue;
      EXPECT_FALSE(plat::RectsOverlap(ControlAbsoluteRect(parts[i]), ControlAbsoluteRect(parts[j])))
          << where << ": " << TagOf(parts[i]) << " and " << TagOf(parts[j]) << " overlap";
    }
  }
}

// The local region's units under construction, of the class, by id. The
// caller holds g_simulationLock.
std::vector<uint32_t> UnitsBeingBuilt(int32_t classIndex) {
  const World& w = g_world;
  std::vector<uint32_t> out;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->owner == w.gameState.localPlayer && u->classIndex == classIndex && IsUnitLive(*u) &&
        (u->orders[kPostureBits] & kPostureUnderConstruction))
      out.push_back(u->id);
  return out;
}

bool Contains(const std::vector<uint32_t>& ids, uint32_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

int RowOfUnit(const ListBoxControl* list, uint32_t unit) {
  int i = 0;
  for (const Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row), ++i)
    if (static_cast<uint32_t>(row->id) == unit) return i;
  return -1;
}

TEST(UnitListOrdersPlay, APickedUnitShowsItsSummaryPictureAndPages) {
  plat::SetGameFloatMode();
  const GlobalGuard<UiOptions> options(g_uiOptions);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  const int32_t depthBefore = g_ui.panelDepth;
  SampleGame::ClickControl(FormFindControlByTag(s.militaryScreen.currentForm, "SUMMARY"));
  UnitListPopup& popup = s.unitList;
  ASSERT_NE(popup.currentForm, nullptr);
  ASSERT_TRUE(ShownInTree(popup.currentForm)) << "the unit list is open";
  ASSERT_NE(popup.list, nullptr);
  ASSERT_NE(ListNextRow(popup.list, nullptr), nullptr) << "Westholm has land units";
  // Every text of the rows reads whole: class, name, a field unit's map
  // position and its strength, none cut to dots.
  int32_t positions = 0;
  for (const Control* row = ListNextRow(popup.list, nullptr); row; row = ListNextRow(popup.list, row))
    ControlTreeForEach(row->firstChild, kAnyDepth, 0, [&](Control* c) {
      const auto* t = dynamic_cast<const StringControl*>(c);
      if (!t || !ShownInTree(c) || t->text.empty()) return;
      positions += t->text.rfind("X:", 0) == 0;
      EXPECT_EQ(t->ShownText().text, t->text) << "row " << row->id << " text " << c->id;
    });
  EXPECT_GT(positions, 0) << "a unit in the field shows its map position";
  SampleGame::ClickControl(popup.list, 0);
  UnitListOrdersPanel& orders = s.unitListOrders;
  ASSERT_NE(orders.unit, 0u) << "a unit is picked";
  ASSERT_TRUE(ShownInTree(popup.details1) && ShownInTree(popup.details2));

  Control* summaryHost = FormFindControlByTag(orders.currentForm, "ORDERS1C");
  ASSERT_NE(summaryHost, nullptr);
  EXPECT_EQ(s.orderSheets[1].currentForm->parent, summaryHost) << "the orders summary stands in ORDERS1C";
  EXPECT_EQ(s.orderSheets[1].id, static_cast<intptr_t>(orders.unit));
  // Its texts (the owner's name too) and figures read whole in their small
  // places, none cut to dots.
  int32_t figures = 0;
  ControlTreeForEach(s.orderSheets[1].currentForm, kAnyDepth, 0, [&](Control* c) {
    const auto* t = dynamic_cast<const StringControl*>(c);
    if (!t || !ShownInTree(c) || t->text.empty()) return;
    figures += IsFigureText(t->text);
    EXPECT_EQ(t->ShownText().text, t->text) << "summary text " << c->id << " " << std::string(c->tag, kTagSize).c_str();
  });
  EXPECT_GT(figures, 3);
  const auto* picture = static_cast<const BitmapControl*>(FormFindControlByTag(orders.currentForm, "UNITPIC"));
  ASSERT_NE(picture, nullptr);
  EXPECT_NE(picture->pictureSlot, nullptr) << "the unit's picture is drawn";

  UnitPanel& units = s.mapScreen.units;
  const struct {
    const char* button;
    Screen* panel;
  } pages[] = {{"4B", &units.status}, {"4D", &units.extra}, {"4A", &units.summary}};
  for (const auto& p : pages) {
    Control* button = FormFindControlByTag(orders.currentForm, p.button);
    ASSERT_NE(button, nullptr) << p.button;
    SampleGame::ClickControl(button);
    ASSERT_NE(p.panel->currentForm, nullptr) << p.button;
    EXPECT_EQ(p.panel->currentForm->parent, popup.details2) << p.button << "'s panel stands in DETAILS2";
    EXPECT_EQ(p.panel->id, static_cast<intptr_t>(orders.unit)) << p.button;
  }
  // With the unit's panels shown beside the list (their class rows number
  // controls 200 and up too), the title still names the mode and the kind.
  SampleGame::ClickControl(FormFindControlByTag(FormFindControlByTag(popup.currentForm, "CATBOX"), "200"));
  EXPECT_EQ(FormFindControlByTag(popup.currentForm, "STATUS")->text, "Active - Land");
  Control* specs = FormFindControlByTag(popup.currentForm, "SPECPAR");
  ExpectApart(ShownChildren(specs), "SPECPAR");
  ExpectApart(ShownChildren(orders.currentForm), "POPUP_ULIST1c");
  EXPECT_LE(ControlAbsoluteRect(units.summary.currentForm).bottom, ControlAbsoluteRect(popup.details2).bottom)
      << "the page panel keeps to DETAILS2";

  // Submarines being built: none at the start, and the pane beside the
  // empty list shows no unit of the list before.
  SampleGame::ClickControl(FormFindControlByTag(FormFindControlByTag(popup.currentForm, "MODEBOX"), "212"));
  SampleGame::ClickControl(FormFindControlByTag(FormFindControlByTag(popup.currentForm, "CATBOX"), "203"));
  EXPECT_EQ(FormFindControlByTag(popup.currentForm, "STATUS")->text, "Building - Submarine");
  ASSERT_EQ(ListNextRow(popup.list, nullptr), nullptr) << "no submarine is being built";
  EXPECT_FALSE(ShownInTree(popup.details1)) << "the pane keeps a unit of the list before";
  EXPECT_FALSE(ShownInTree(specs));
  SampleGame::ClickControl(FormFindControlByTag(FormFindControlByTag(popup.currentForm, "MODEBOX"), "210"));
  SampleGame::ClickControl(FormFindControlByTag(FormFindControlByTag(popup.currentForm, "CATBOX"), "200"));

  // Closed, the list leaves the dock as it found it: no level the pages
  // opened stands empty at 1024 x 768.
  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "CLOSEBUT"));
  EXPECT_EQ(g_ui.panelDepth, depthBefore);
  for (int32_t level = 1; level <= g_ui.panelDepth; ++level) {
    const Control* host = DockHost(s, level);
    EXPECT_TRUE(host && host->firstChild) << "dock level " << level << " shows a panel";
  }
}


// Ordered at the army base (its hex clicked on the map, B for its pop-up),
// a unit being built and one waiting for a place in the base's production
// are stopped with the Cancel or Remove shown beside them: the unit is
// gone, off the list and out of production the next day. Hold keeps the
// unit, its build waiting.
TEST(UnitListOrdersPlay, CancelAndRemoveStopAUnitBeingBuilt) {
  enum class Via { kUnitList, kBasePopup };
  struct Row {
    const char* name;
    Via via;
    const char* button;
    bool stops;  // else the unit is held: its build waits, the unit stays
  };
  const Row rows[] = {
      {"U, Cancel on a unit in production", Via::kUnitList, "CANCEL", true},
      {"U, Remove on a unit waiting for a place", Via::kUnitList, "REMBUT", true},
      {"U, Hold on a unit waiting for a place", Via::kUnitList, "HOLD", false},
      {"base pop-up, Cancel in the production list", Via::kBasePopup, "CANCEL", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    plat::SetGameFloatMode();
    const GlobalGuard<UiOptions> options(g_uiOptions);
    SampleGame game;
    ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
    ScreenSet& s = g_screens;
    World& w = g_world;
    uint32_t baseHex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      SetGameSpeed(w.gameState, 0);
      for (const UnitRecord* u = w.units; u && !baseHex; u = u->next == w.units ? nullptr : u->next)
        if (u->classIndex == kArmyBase && u->owner == w.gameState.localPlayer) baseHex = PackHex(u->x, u->y);
    }
    ASSERT_NE(baseHex, 0u) << "Westholm has an army base";
    SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
    int32_t x = 0, y = 0;
    ASSERT_TRUE(SampleGame::PointOn(baseHex, x, y));
    SampleGame::Click(x, y);
    SampleGame::PressKey('B');
    BaseBuildListPanel& build = s.baseBuildList;
    ASSERT_NE(build.list, nullptr) << "B opens the base's pop-up with its build list";
    ASSERT_NE(build.list->firstRow, nullptr);
    const auto cls = static_cast<int32_t>(ListRowValue(build.list->firstRow));
    SampleGame::ClickControl(build.list, 0);
    // More than the base builds at once: some wait for a place.
    for (int i = 1; i < kOrdered; ++i) SampleGame::ClickControl(FormFindControlByTag(build.currentForm, "PLUSBUT"));
    ASSERT_EQ(build.state.quantity, kOrdered);
    std::vector<uint32_t> before;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      before = UnitsBeingBuilt(cls);
    }
    SampleGame::ClickControl(FormFindControlByTag(build.currentForm, "BUILD"));
    SampleGame::PlayDays(2);
    std::vector<uint32_t> ordered;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (uint32_t id : UnitsBeingBuilt(cls))
        if (!Contains(before, id)) ordered.push_back(id);
    }
    ASSERT_EQ(ordered.size(), static_cast<size_t>(kOrdered)) << "the units ordered are being built";

    // The first unit ordered that offers the button is picked and pressed.
    uint32_t stopped = 0;
    if (r.via == Via::kUnitList) {
      SampleGame::ClickControl(FormFindControlByTag(s.basePopup.currentForm, "CLOSEBUT"));
      SampleGame::PressKey('U');
      ASSERT_TRUE(s.unitList.currentForm && ShownInTree(s.unitList.currentForm)) << "U opens the unit list";
      SampleGame::ClickControl(FormFindControlById(s.unitList.currentForm, kUnderConstructionMode));
      ASSERT_EQ(s.unitList.mode, 2);
      for (uint32_t unit : ordered) {
        const int row = RowOfUnit(s.unitList.list, unit);
        ASSERT_GE(row, 0) << "unit " << unit << " is listed as being built";
        SampleGame::ClickControl(s.unitList.list, row);
        ASSERT_EQ(s.unitListOrders.unit, unit);
        Control* button = FormFindControlByTag(s.unitListOrders.currentForm, r.button);
        if (!ShownInTree(button)) continue;
        ASSERT_NO_FATAL_FAILURE(SampleGame::ClickOnTop(button));
        stopped = unit;
        break;
      }
      ASSERT_NE(stopped, 0u) << "a unit ordered offers " << r.button;
      EXPECT_EQ(RowOfUnit(s.unitList.list, stopped) < 0, r.stops) << "the list drops a stopped unit at once";
    } else {
      ListBoxControl* prod = s.basePopup.prodList;
      ASSERT_NE(prod, nullptr);
      for (uint32_t unit : ordered) {
        const int row = RowOfUnit(prod, unit);
        if (row < 0) continue;
        SampleGame::ClickControl(prod, row);
        ASSERT_NO_FATAL_FAILURE(SampleGame::ClickOnTop(FormFindControlByTag(s.basePopup.currentForm, r.button)));
        stopped = unit;
        break;
      }
      ASSERT_NE(stopped, 0u) << "a unit ordered is in the base's production list";
    }
    SampleGame::PlayDays(1);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      SetGameSpeed(w.gameState, 0);
      const UnitRecord* u = FindUnitById(w, stopped);
      const bool building = Contains(UnitsBeingBuilt(cls), stopped);
      const bool listed = Contains(UnitListUnits(w, 0, 2), stopped);
      if (r.stops) {
        EXPECT_TRUE(!u || !IsUnitLive(*u)) << "the unit is gone";
        EXPECT_FALSE(building) << "and is not being built";
        EXPECT_FALSE(listed) << "nor listed as being built";
      } else {
        ASSERT_NE(u, nullptr);
        EXPECT_TRUE(building && listed) << "the held unit stays in production";
        EXPECT_TRUE(u->orders[kStateFlags] & kStatePausedBuild) << "held in the game, not only on the screen";
      }
    }
  }
}

}  // namespace
