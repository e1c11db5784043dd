// The whole program on the sample scenario as Westholm: the Army page's
// unit summary lists the region's land units; a unit picked there shows its
// orders summary, its picture and the map's unit panel of the pressed page
// beside the list, each page button puts its own panel there, and nothing
// beside the list is drawn over anything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "screens/main/panels/unit_panel.h"
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
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

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
  Control* specs = FormFindControlByTag(popup.currentForm, "SPECPAR");
  ExpectApart(ShownChildren(specs), "SPECPAR");
  ExpectApart(ShownChildren(orders.currentForm), "POPUP_ULIST1c");
  EXPECT_LE(ControlAbsoluteRect(units.summary.currentForm).bottom, ControlAbsoluteRect(popup.details2).bottom)
      << "the page panel keeps to DETAILS2";
}

}  // namespace
