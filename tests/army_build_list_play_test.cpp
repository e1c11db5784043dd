// The whole program on the sample scenario as Westholm: the Army page's
// base build list, a design chosen in it by a click, shows the design's
// class sheet with its picture drawn in the back buffer, and nothing in the
// list's box is drawn over anything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "records/unit_record.h"
#include "screens/main/panels/base_panels.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/military/department/base_unit_list_panel.h"
#include "screens/military/inventory/unit_class_list_panel.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/common/units/build_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "sim/game_command.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kProductionPage = 5, kStoresPage = 2, kBasesPage = 6, kWagesPage = 3;
constexpr int32_t kAirBase = 4015, kCargoAircraftFilter = 112;
constexpr int32_t kAllClassesFilter = 10, kFirstGroupFilter = 100;

// The shown controls of the panel's form (not their insides, which belong
// to them); the list box made over its placeholder box stands for it.
std::vector<const Control*> Parts(const Control* form, const Control* list) {
  std::vector<const Control*> out;
  Control* first = form ? form->firstChild : nullptr;
  for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing())
    if (ShownInTree(c) && (c == list || std::string(c->tag, kTagSize).c_str() != std::string("LIST5"))) out.push_back(c);
  return out;
}

// Distinct colours of the rectangle in the frame: a drawn picture has many,
// an empty box one or two.
size_t Colours(const std::vector<uint32_t>& frame, uint32_t width, const plat::Rect& r) {
  std::vector<uint32_t> seen;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) {
      const uint32_t p = frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu;
      bool known = false;
      for (uint32_t s : seen) known = known || s == p;
      if (!known) seen.push_back(p);
      if (seen.size() > 64) return seen.size();
    }
  return seen.size();
}

// Every picture row of the list, each scrolled into view as a player scrolls
// it: the class's name, strength and build time read whole, its picture is
// drawn in the back buffer, and nothing the row shows lies over anything
// else of it (the second symbol is drawn over the picture it marks) or out
// of the row.
void ExpectPictureRowsWhole(ListBoxControl* list, int leastRows) {
  ASSERT_NE(list, nullptr);
  const plat::Rect view = ListGetClientRect(list);
  int rows = 0;
  for (; ListRowAt(list, rows); ++rows) {
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(SampleGame::PointOfControl(list, rows, x, y));
    SampleGame::Pump();
    // The list's timed refresh may fill it again while the frames run: its
    // rows are looked up afresh, and a refilled row is drawn on a later frame.
    const Control* row = ListRowAt(list, rows);
    for (int frame = 0; frame < 3 && row && !row->firstChild; ++frame) {
      SampleGame::Pump();
      row = ListRowAt(list, rows);
    }
    ASSERT_NE(row, nullptr) << "row " << rows << " is still listed";
    ASSERT_NE(row->firstChild, nullptr) << "row " << row->id << " is drawn";
    const plat::Rect at = ListRowScreenRect(list, row);
    ASSERT_TRUE(at.top >= view.top && at.bottom <= view.bottom) << "row " << row->id << " is in view";
    std::vector<const Control*> shown;
    ControlTreeForEach(row->firstChild->firstChild, 0, 1, [&](Control* c) {
      if (!c->Hidden()) shown.push_back(c);
    });
    for (const char* tag : {"UNAME", "USTR", "UDAYS"}) {
      const auto* t = dynamic_cast<const StringControl*>(FormFindControlByTag(row->firstChild, tag));
      ASSERT_NE(t, nullptr) << tag;
      EXPECT_TRUE(ShownInTree(t) && !t->text.empty()) << "row " << row->id << " shows its " << tag;
      EXPECT_EQ(t->ShownText().text, t->text) << "row " << row->id << " " << tag;
    }
    const plat::Rect inside = ControlAbsoluteRect(row);
    for (size_t i = 0; i < shown.size(); ++i) {
      const plat::Rect a = ControlAbsoluteRect(shown[i]);
      EXPECT_TRUE(a.left >= inside.left && a.right <= inside.right && a.top >= inside.top && a.bottom <= inside.bottom)
          << "row " << row->id << " " << TagOf(shown[i]) << " lies out of its row";
      for (size_t j = i + 1; j < shown.size(); ++j) {
        const std::string pair = TagOf(shown[i]) + " " + TagOf(shown[j]);
        if (pair == "UNITPIC UNITPICT") continue;
        EXPECT_FALSE(plat::RectsOverlap(a, ControlAbsoluteRect(shown[j]))) << "row " << row->id << " " << pair << " overlap";
      }
    }
    std::vector<uint32_t> frame;
    uint32_t width = 0, height = 0;
    ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
    const Control* picture = FormFindControlByTag(row->firstChild, "UNITPIC");
    ASSERT_NE(picture, nullptr);
    EXPECT_GT(Colours(frame, width, ControlAbsoluteRect(picture)), 8u) << "row " << row->id << " draws its picture";
  }
  EXPECT_GE(rows, leastRows);
}

std::vector<int32_t> ListedClasses(const ListBoxControl* list) {
  std::vector<int32_t> out;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    out.push_back(static_cast<int32_t>(ListRowValue(row)));
  return out;
}

std::vector<int32_t> Sorted(std::vector<int32_t> v) {
  std::sort(v.begin(), v.end());
  return v;
}

int32_t GroupOf(int32_t classIndex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.unitClasses[static_cast<size_t>(classIndex)].typeByte;
}

// Every unit design the local region may build for the category, whatever
// its group, by the world's own availability rule.
std::vector<int32_t> BuildableFor(int32_t category) {
  plat::CriticalSectionLock lock(g_simulationLock);
  std::vector<int32_t> out;
  for (size_t i = 1; i < g_world.unitClasses.size(); ++i) {
    const UnitClassRecord& c = g_world.unitClasses[i];
    if (c.name[0] == 0 || (c.flags & (kClassFacility | kClassStock))) continue;
    const auto index = static_cast<int32_t>(i);
    if (UnitClassAvailable(g_world, index, category, 256, g_world.gameState.localPlayer, true, 1, nullptr, 0, 0, 0))
      out.push_back(index);
  }
  return out;
}

void ExpectNoPartOverlaps(const Control* form, const ListBoxControl* list) {
  const std::vector<const Control*> parts = Parts(form, list);
  for (size_t i = 0; i < parts.size(); ++i)
    for (size_t j = i + 1; j < parts.size(); ++j)
      EXPECT_FALSE(plat::RectsOverlap(ControlAbsoluteRect(parts[i]), ControlAbsoluteRect(parts[j])))
          << TagOf(parts[i]) << " and " << TagOf(parts[j]) << " overlap";
}

TEST(ArmyBuildListPlay, AChosenDesignShowsItsSheetAndPictureBesideTheRows) {
  plat::SetGameFloatMode();
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<BuildListFilters> filters(g_buildListFilters);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kProductionPage));
  ASSERT_NE(s.unitProduction->currentForm, nullptr);
  SampleGame::ClickControl(FormFindControlByTag(s.unitProduction->currentForm, "BUILD"));
  BaseUnitListPanel& panel = s.baseUnitList;
  ASSERT_NE(panel.currentForm, nullptr);
  ASSERT_NE(panel.list, nullptr);
  ASSERT_NE(ListNextRow(panel.list, nullptr), nullptr) << "the land list offers designs";
  SampleGame::ClickControl(panel.list, 0);
  SampleGame::Pump();
  const int32_t chosen = static_cast<int32_t>(panel.list->selectedValue);
  ASSERT_GT(chosen, 0) << "a design is chosen";

  UnitPicturePanel& sheet = s.unitPicturePanels[0];
  ASSERT_EQ(sheet.id, chosen) << "the sheet shows the chosen class";
  ASSERT_NE(sheet.currentForm, nullptr);
  ASSERT_TRUE(ShownInTree(sheet.currentForm)) << "the sheet is shown";
  const auto* picture = static_cast<const BitmapControl*>(FormFindControlByTag(sheet.currentForm, "UNITPIC"));
  ASSERT_NE(picture, nullptr);
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  EXPECT_GT(Colours(frame, width, ControlAbsoluteRect(picture)), 8u) << "the class picture is drawn";

  // The list's box holds two picture rows, and shows them.
  EXPECT_GE(RowsFillTheirBox(panel.list, "the Army page's list"), 2);

  // Picture rows (the option's default) show whole in the short list: a
  // row is in view entirely or not at all.
  const plat::Rect view = ListGetClientRect(panel.list);
  for (const Control* row = ListNextRow(panel.list, nullptr); row; row = ListNextRow(panel.list, row)) {
    const plat::Rect at = ListRowScreenRect(panel.list, row);
    EXPECT_TRUE(!plat::RectsOverlap(at, view) || (at.top >= view.top && at.bottom <= view.bottom)) << "row " << row->id;
  }

  // The rows are narrower than their form: every text a drawn row shows
  // reads whole, none cut to dots.
  int32_t texts = 0;
  for (const Control* row = ListNextRow(panel.list, nullptr); row; row = ListNextRow(panel.list, row))
    texts += TextsReadWhole(row->firstChild, "row " + std::to_string(row->id));
  EXPECT_GE(texts, 2) << "the rows in view show their names and strengths";
  // So do the sheet beside them (its item labels and figures) and the
  // production page's headings and figures.
  for (Control* form : {sheet.currentForm, s.unitProduction->currentForm})
    EXPECT_GE(TextsReadWhole(form, TagOf(form)), 4) << TagOf(form) << " shows its texts";

  // The arrow that shows more rows below lies in the list's box.
  ASSERT_FALSE(panel.list->downIndicator->Hidden()) << "the short list scrolls";
  const plat::Rect box = ControlAbsoluteRect(panel.list);
  auto arrowPixels = [&](int32_t top, int32_t bottom) {
    int n = 0;
    for (int32_t y = top; y < bottom; ++y)
      for (int32_t x = box.left; x < box.right; ++x) {
        const uint32_t p = frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
        n += ((p >> 16) & 0xFFu) > 0xC0u && ((p >> 8) & 0xFFu) > 0xC0u && (p & 0xFFu) < 0x90u;
      }
    return n;
  };
  EXPECT_GT(arrowPixels(box.bottom - 8, box.bottom), 4) << "the down arrow is drawn at the list's foot";
  EXPECT_EQ(arrowPixels(box.bottom, box.bottom + 8), 0) << "nothing of it below the list";

  ExpectNoPartOverlaps(panel.currentForm, panel.list);

  // Each category's list as the player narrows it by the class filters.
  // ALL lists every design the region may build for the category, every
  // row whole (the sample's fighters and sea transports have no group
  // button of their own); each group button the page shows is marked when
  // pressed and lists that group's designs, and nothing in the page lies
  // over anything else whichever category's buttons show.
  for (int32_t category = 0; category < 3; ++category) {
    SCOPED_TRACE(category);
    SampleGame::ClickOnTop(FormFindControlById(panel.currentForm, kBaseCategoryButtons[category]));
    ASSERT_NO_FATAL_FAILURE(SampleGame::ClickOnTop(FormFindControlById(panel.currentForm, kAllClassesFilter)));
    const std::vector<int32_t> all = Sorted(ListedClasses(panel.list));
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all, BuildableFor(category));
    ExpectPictureRowsWhole(panel.list, 1);
    int32_t groups = 0;
    for (int32_t id = kFirstGroupFilter; id < kFirstGroupFilter + kMilitaryClasses; ++id) {
      Control* button = FormFindControlById(panel.currentForm, id);
      if (!button || !ShownInTree(button)) continue;
      SCOPED_TRACE(id);
      ++groups;
      ASSERT_NO_FATAL_FAILURE(SampleGame::ClickOnTop(button));
      for (int32_t other = kFirstGroupFilter; other < kFirstGroupFilter + kMilitaryClasses; ++other) {
        if (const Control* c = FormFindControlById(panel.currentForm, other); c && ShownInTree(c)) {
          EXPECT_EQ(c->Selected(), c == button) << other << " is marked alone";
        }
      }
      std::vector<int32_t> group;
      for (int32_t c : all)
        if (GroupOf(c) == id - kFirstGroupFilter) group.push_back(c);
      EXPECT_EQ(Sorted(ListedClasses(panel.list)), group);
      ExpectNoPartOverlaps(panel.currentForm, panel.list);
    }
    EXPECT_GE(groups, 6) << "the category's group buttons show";
  }
  // The air list of Westholm's air base, in its pop-up, with the cargo
  // aircraft's group filter pressed.
  const UnitRecord* airBase = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<const UnitRecord*> bases = SampleGame::OwnUnitsOnMap(kAirBase);
    airBase = bases.empty() ? nullptr : bases.front();
  }
  ASSERT_NE(airBase, nullptr);
  OpenBasePopup(s, airBase);
  SampleGame::Pump();
  ASSERT_NE(s.baseBuildList.currentForm, nullptr);
  SampleGame::ClickControl(FormFindControlById(s.baseBuildList.currentForm, kCargoAircraftFilter));
  {
    SCOPED_TRACE("air");
    ExpectPictureRowsWhole(s.baseBuildList.list, 1);
  }
  // The base's attack sheet: each figure under its column's caption, and
  // the sample's unarmed base says so beneath its noughts.
  Control* attacks = s.baseAttackSheet->currentForm;
  ASSERT_TRUE(attacks && ShownInTree(attacks));
  EXPECT_GE(TextsReadWhole(attacks, "attack sheet"), 8 + 2);
  TextsApart(attacks, "attack sheet");
  EXPECT_TRUE(ShownInTree(FormFindControlByTag(attacks, "UNARMED")));
  CloseAllPopups(g_ui, 0);
  SampleGame::Pump();
  // The wages page: each cost under its caption, nought or not.
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kWagesPage));
  Control* wages = s.militaryWages->currentForm;
  ASSERT_TRUE(wages && ShownInTree(wages)) << "the wages page docks";
  for (const char* tag : {"MILWAGES", "NEWMILWAGES", "MILEFF", "NEWMILEFF", "COSTNEWEQ"}) {
    const Control* figure = FormFindControlByTag(wages, tag);
    EXPECT_TRUE(ShownInTree(figure) && !figure->text.empty()) << tag;
  }
  EXPECT_GE(TextsReadWhole(wages, "wages page"), 20);
  TextsApart(wages, "wages page");
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kStoresPage));
  ASSERT_NE(s.unitInventory.currentForm, nullptr);
  SampleGame::ClickControl(FormFindControlByTag(s.unitInventory.currentForm, "BUILD"));
  ASSERT_NE(s.unitClassList.currentForm, nullptr);
  SampleGame::ClickControl(FormFindControlById(s.unitClassList.currentForm, kClassListCategoryButtons[3]));
  {
    SCOPED_TRACE("missiles");
    ExpectPictureRowsWhole(s.unitClassList.list, 2);
  }
  // The Bases page lists Westholm's facilities, as many as its box holds.
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kBasesPage));
  ASSERT_NE(s.facilityScreen->currentForm, nullptr);
  auto* bases = dynamic_cast<ListBoxControl*>(FormFindControlByTag(s.facilityScreen->currentForm, "FACILLIST"));
  ASSERT_NE(bases, nullptr);
  int32_t listed = 0;
  for (Control* row = ListNextRow(bases, nullptr); row; row = ListNextRow(bases, row), ++listed)
    if (row->firstChild) TextsReadWhole(row->firstChild, "base row " + std::to_string(row->id));
  EXPECT_GE(RowsFillTheirBox(bases, "the Bases page's list"), std::min(listed, 3));
}

constexpr int32_t kArmyBase = 4054;

// Opens one build list as a player reaches it; null when it could not.
using OpenList = Screen* (*)(ScreenSet& s);

Screen* ArmyPage(ScreenSet& s) {
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kProductionPage));
  SampleGame::ClickControl(FormFindControlByTag(s.unitProduction->currentForm, "BUILD"));
  return &s.baseUnitList;
}

const UnitRecord* OwnArmyBase() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<const UnitRecord*> bases = SampleGame::OwnUnitsOnMap(kArmyBase);
  return bases.empty() ? nullptr : bases.front();
}

// The base pop-up of Westholm's army base, as a double click on it opens.
Screen* BasePopupList(ScreenSet& s) {
  const UnitRecord* base = OwnArmyBase();
  if (!base) return nullptr;
  OpenBasePopup(s, base);
  SampleGame::Pump();
  return &s.baseBuildList;
}

// The map's base panel for the army base's hex, then its automatic
// production tab, once the player has taken the building of units back from
// the computer on the Army page (else a cover hides the list).
Screen* AutoProductionTab(ScreenSet& s) {
  const UnitRecord* base = OwnArmyBase();
  if (!base) return nullptr;
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kProductionPage));
  Control* computerBuilds = FormFindControlByTag(s.unitProduction->currentForm, "AUTOBUILD");
  if (!computerBuilds) return nullptr;
  if (computerBuilds->Selected()) SampleGame::ClickControl(computerBuilds);
  SampleGame::Pump();
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SampleGame::MakeCurrentHex(PackHex(base->x, base->y));
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  SampleGame::Pump();
  Control* facilityTab = FormFindControlByTag(s.mapScreen.currentForm, "UGINFOBUT");
  if (!facilityTab) return nullptr;
  if (!facilityTab->Selected()) SampleGame::ClickControl(facilityTab);
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlById(s.mapScreen.base.currentForm, kBaseTabAutoProduction));
  SampleGame::Pump();
  return &s.mapScreen.autoProduction;
}

// The Army page with ALL pressed: every land design, whatever its group.
// Reached from the map, as the department button closes an open department.
Screen* ArmyPageAllClasses(ScreenSet& s) {
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  SampleGame::Pump();
  Screen* page = ArmyPage(s);
  if (!page || !page->currentForm) return nullptr;
  SampleGame::ClickControl(FormFindControlById(page->currentForm, kAllClassesFilter));
  return page;
}

// The Attack header orders a base's land designs by their soft attack,
// best first, and says so; a second click puts the list back as it was.
// Every build list with headers shares the order, the list of all classes
// too, which shows ALL chosen throughout.
TEST(ArmyBuildListPlay, AHeaderClickSortsTheListByItsColumnAndBack) {
  const struct {
    const char* list;
    OpenList open;
    bool all;
  } rows[] = {{"the map's automatic", AutoProductionTab, false},
              {"the base pop-up's", BasePopupList, false},
              {"the Army page's", ArmyPage, false},
              {"the Army page's under ALL", ArmyPageAllClasses, true}};
  plat::SetGameFloatMode();
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<BuildListFilters> filters(g_buildListFilters);
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
  }
  for (const auto& r : rows) {
    SCOPED_TRACE(r.list);
    CloseAllPopups(g_ui, 0);
    SampleGame::Pump();
    Screen* panel = r.open(s);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(panel->currentForm, nullptr);
    const auto* list = dynamic_cast<const ListBoxControl*>(FormFindControlByTag(panel->currentForm, "LIST5"));
    ASSERT_NE(list, nullptr);
    const std::vector<int32_t> before = ListedClasses(list);
    ASSERT_GT(before.size(), 2u);
    Control* attack = FormFindControlByTag(panel->currentForm, "HDRATT");
    ASSERT_NE(attack, nullptr);
    const plat::Rect at = ControlAbsoluteRect(attack);
    const Control* top = ControlHitTest(g_ui.rootForm, (at.left + at.right) / 2, (at.top + at.bottom) / 2, kAnyDepth, 0);
    ASSERT_EQ(top, attack) << "nothing lies over the header, found " << (top ? std::string(top->tag, kTagSize).c_str() : "");
    SampleGame::ClickControl(attack);
    const std::vector<int32_t> sorted = ListedClasses(list);
    ASSERT_EQ(sorted.size(), before.size());
    std::vector<float> values;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (int32_t c : sorted) values.push_back(UnitClassStat(g_world, c, attack->id - 33));
    }
    for (size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i - 1], values[i]) << "row " << i;
    EXPECT_NE(sorted, before) << "the sample's land designs differ in attack from their build order";
    EXPECT_TRUE(attack->Selected()) << "the header shows it orders the list";
    const Control* all = FormFindControlById(panel->currentForm, kAllClassesFilter);
    if (r.all) {
      ASSERT_NE(all, nullptr);
      EXPECT_TRUE(all->Selected()) << "ALL shows it is chosen";
    }
    SampleGame::ClickControl(attack);
    EXPECT_EQ(ListedClasses(list), before);
    EXPECT_FALSE(attack->Selected());
    if (r.all) {
      EXPECT_TRUE(all->Selected()) << "ALL stays chosen";
    }
  }
}

}  // namespace
