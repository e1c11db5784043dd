// The whole program on the sample scenario as Kessaria, which keeps its
// missiles by its silo. The O key opens the silo pop-up with the stock aboard
// counted and the stored missiles drawn, and the missile stock pop-up's
// auto-build switch reaches the simulation copy by the next day. A stored
// missile loaded into the silo from the army's stores page goes aboard once
// the orders are due.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/order_words.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/simulation_lock.h"
#include "support/posted_since.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/transport/cargo_boarding.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleSilo = 4011;
constexpr int32_t kStoresPage = 2;

// A stored missile of the local region standing by the silo, 0 for none.
uint32_t StoredMissileBy(const UnitRecord& silo) {
  World& w = g_world;
  for (UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->owner == w.gameState.localPlayer && (u->unitFlags & kUnitStock) && u->carrier == 0 &&
        u->strength >= 1.0f && u->x == silo.x && u->y == silo.y)
      return u->id;
  return 0;
}

// Pixels of the rectangle in the frame as light as text.
int LitPixels(const std::vector<uint32_t>& frame, uint32_t width, uint32_t height, const plat::Rect& r) {
  int lit = 0;
  for (int32_t y = std::max(r.top, 0); y < r.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = std::max(r.left, 0); x < r.right && x < static_cast<int32_t>(width); ++x)
      lit += ((frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] >> 8) & 0xFFu) > 0xA0u;
  return lit;
}

// The strength of the class's units aboard the silo.
float AboardSilo(uint32_t silo, int32_t classIndex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  float strength = 0.0f;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->carrier == silo && u->classIndex == classIndex) strength += u->strength;
  return strength;
}

TEST(StoredWeapons, TheOKeyOpensTheSiloWithItsStockAndTheStockPopupSwitchesAutoBuild) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  PlayerRecord& region = w.players[w.gameState.localPlayer];
  uint32_t siloId = 0;
  int32_t aboardPoints = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    region.simPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
    region.displayPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
    UnitRecord* silo = OwnUnitOfClass(kSampleSilo);
    ASSERT_NE(silo, nullptr) << "Kessaria owns a silo";
    siloId = silo->id;
    UnitRecord* missile = FindUnitById(w, StoredMissileBy(*silo));
    ASSERT_NE(missile, nullptr) << "Kessaria has a missile by its silo";
    LinkIntoCargoChain(w, *silo, *missile);
    missile->strength = 0.5f;
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if (u->carrier == siloId)
        aboardPoints += static_cast<int32_t>(static_cast<float>(ClassRecordAt(w, u->classIndex)->slotSize) * u->strength);
  }
  ASSERT_GT(aboardPoints, 0);

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, 'O', plat::kKeyModifiersCarried);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, 'O', plat::kKeyModifiersCarried);
  SampleGame::Pump();
  SiloPopup& popup = s.siloPopup;
  ASSERT_NE(popup.currentForm, nullptr) << "O opens POPUP_SILO1";
  EXPECT_EQ(static_cast<uint32_t>(popup.id), siloId);
  EXPECT_EQ(std::string(FormFindControlByTag(popup.currentForm, "SILO1")->text), std::to_string(aboardPoints));

  ListBoxControl* list = popup.storedList;
  ASSERT_TRUE(list && list->firstRow) << "the stored missiles are listed";
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  const plat::Rect first = ListRowScreenRect(list, list->firstRow);
  EXPECT_GT(LitPixels(frame, width, height, first), 0) << "the first stored row is drawn";
  // With the pictured-list option (on by default) the row ends in its
  // class's picture, past the name.
  EXPECT_GT(LitPixels(frame, width, height, plat::Rect{first.right - 36, first.top, first.right, first.bottom}), 4)
      << "the first stored row shows its class picture";

  // Its carrier badge is the picture of its kind, not a plain square.
  const Control* badge = nullptr;
  ControlTreeForEach(list->firstRow->firstChild, kAnyDepth, 0, [&](Control* c) {
    if (c->id >= 300 && c->id <= 303 && !c->Hidden()) badge = c;
  });
  ASSERT_NE(badge, nullptr) << "the first stored row shows a carrier badge";
  plat::Rect at = badge->rect;
  for (const Control* up = badge->parent; up && up != list->firstRow; up = up->parent)
    at = {at.left + up->rect.left, at.top + up->rect.top, at.right + up->rect.left, at.bottom + up->rect.top};
  at = {at.left + first.left, at.top + first.top, at.right + first.left, at.bottom + first.top};
  std::vector<uint32_t> colours;
  for (int32_t y = at.top; y < at.bottom; ++y)
    for (int32_t x = at.left; x < at.right; ++x) {
      const uint32_t p = frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu;
      if (std::find(colours.begin(), colours.end(), p) == colours.end()) colours.push_back(p);
    }
  EXPECT_GT(colours.size(), 4u) << "the badge draws its picture";

  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "CONSTRUCT"));
  ASSERT_NE(s.missiles.currentForm, nullptr) << "CONSTRUCT opens POPUP_MISSILE1";
  SampleGame::ClickControl(FormFindControlByTag(s.missiles.currentForm, "AUTOBUILD2"));
  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_NE(region.simPolicy.militaryFlags & kMilitaryMissileAutoBuild, 0u);
}

TEST(StoredWeapons, AMissileLoadedIntoTheSiloFromTheStoresPageGoesAboard) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  g_uiOptions.bnoconfirmturn = 1;
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t siloId = 0, missile = 0;
  int32_t missileClass = 0;
  float storedStrength = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const UnitRecord* silo = OwnUnitOfClass(kSampleSilo);
    ASSERT_NE(silo, nullptr);
    siloId = silo->id;
    missile = StoredMissileBy(*silo);
    ASSERT_NE(missile, 0u);
    const UnitRecord* m = FindUnitById(w, missile);
    missileClass = m->classIndex;
    storedStrength = m->strength;
  }

  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  ASSERT_NE(stores.currentForm->parent, nullptr) << "MILITARY1_ss4 is shown";
  const int stored = RowOfUnit(stores.storedList, missile);
  ASSERT_GE(stored, 0) << "the stores page lists the missile";
  // The page may have chosen the row itself, without the change that shows
  // its buttons: a click on a chosen row lets it go, the next takes it.
  if (stores.storedList->selectedId == static_cast<int32_t>(missile)) SampleGame::ClickControl(stores.storedList, stored);
  SampleGame::ClickControl(stores.storedList, stored);
  ASSERT_EQ(stores.storedList->selectedId, static_cast<int32_t>(missile));
  // Drawn: every stored row's text and the chosen class's picture.
  SampleGame::Pump();
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
  for (const Control* row = stores.storedList->firstRow; row; row = ListNextRow(stores.storedList, row))
    EXPECT_GT(LitPixels(frame, width, height, ListRowScreenRect(stores.storedList, row)), 0) << "row " << row->id;
  // Each row is the missile row, which gives its stock's count ("19x
  // Tactical Msl"): a name alone reads the same for a stock of 1 and of 19.
  for (const Control* row = stores.storedList->firstRow; row; row = ListNextRow(stores.storedList, row))
    EXPECT_EQ(row->hostedScreen, &s.missileProgress) << "row " << row->id;
  const plat::Rect pic = ControlAbsoluteRect(
      FormFindControlByTag(s.unitPicturePanels[kInventoryClassSheet].currentForm, "UNITPIC"));
  std::set<uint32_t> colours;
  for (int32_t y = pic.top; y < pic.bottom; ++y)
    for (int32_t x = pic.left; x < pic.right; ++x) colours.insert(frame[static_cast<size_t>(y) * width + x]);
  EXPECT_GT(colours.size(), 8u) << "the class sheet draws the class's picture";
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "DEPLOY"));
  MissileSiloPanel& load = s.missileSiloPanel;
  ASSERT_NE(load.currentForm->parent, nullptr) << "MILITARY1_ss4b is shown";
  const int platform = RowOfUnit(load.platforms, siloId);
  ASSERT_GE(platform, 0) << "the silo is offered";
  SampleGame::ClickControl(load.platforms, platform);
  const PostedSince before;
  SampleGame::ClickControl(FormFindControlByTag(load.currentForm, "LOAD"));
  ASSERT_FALSE(before.Commands().empty()) << "LOAD posts the orders";

  // The orders are due within the day, and the missile's reserve step
  // loads it at once.
  SampleGame::PlayUntil(1, [&] { return AboardSilo(siloId, missileClass) != 0.0f; });
  const float aboard = AboardSilo(siloId, missileClass);

  // The stores page's Load panel on its Silo tab: the tab stays pressed when
  // pressed again, the silo chosen is named as its row names it, and the
  // box beside it lists what the silo holds.
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "VIEW"));
  Screen& loadPanel = *s.missileLoadPanel;
  ASSERT_TRUE(loadPanel.currentForm && loadPanel.currentForm->parent) << "Load shows MILITARY1_ss4c";
  Control* siloTab = FormFindControlById(loadPanel.currentForm, kLoadPanelSilos);
  auto* silos = TagAs<ListBoxControl>(loadPanel.currentForm, "LIST5");
  ASSERT_TRUE(siloTab && silos);
  for (int press = 0; press < 2; ++press) {
    SampleGame::ClickControl(siloTab);
    EXPECT_TRUE(siloTab->Selected()) << "press " << press;
    EXPECT_GE(RowOfUnit(silos, siloId), 0) << "the Silo tab lists the silo after press " << press;
  }
  const int siloRow = RowOfUnit(silos, siloId);
  ASSERT_GE(siloRow, 0);
  for (int click = 0; click < 4 && silos->selectedId != static_cast<int32_t>(siloId); ++click)
    SampleGame::ClickControl(silos, siloRow);
  ASSERT_EQ(silos->selectedId, static_cast<int32_t>(siloId));
  const Control* lit = ListNextSelected(silos, nullptr);
  ASSERT_TRUE(lit && !lit->text.empty());
  EXPECT_EQ(FormFindControlByTag(loadPanel.currentForm, "PLATFORMNAM")->text, lit->text)
      << "the chosen silo is named, not None Selected";
  auto* cargo = TagAs<ListBoxControl>(loadPanel.currentForm, "MISSILELIST");
  ASSERT_NE(cargo, nullptr);
  bool listed = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const Control* row = cargo->firstRow; row; row = ListNextRow(cargo, row))
      if (const UnitRecord* u = row->id > 0 ? FindUnitById(w, static_cast<uint32_t>(row->id)) : nullptr)
        listed = listed || (u->carrier == siloId && u->classIndex == missileClass);
  }
  EXPECT_TRUE(listed) << "the box lists the missile aboard the silo";
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_EQ(aboard, 1.0f) << "one point of the missile is aboard the silo";
  const UnitRecord* m = FindUnitById(w, missile);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->strength, storedStrength - 1.0f);
}

}  // namespace
