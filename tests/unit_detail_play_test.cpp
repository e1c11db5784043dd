// The whole program on the sample scenario: Ctrl+U on the hex of an own unit
// opens its detail pop-up with the class picture drawn, and its LOCK button
// locks the unit once the turn thread has carried the command out.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

TEST(UnitDetailPlay, CtrlUOpensTheOwnUnitsPopupAndLockLocksIt) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  uint32_t own = 0, at = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap())
      if (IsUnitLive(*u) && !(u->orders[kPostureBits] & (kPostureUnderConstruction | kPostureNoAutoDeploy))) {
        own = u->id, at = MakeHexPos(u->x, u->y);
        break;
      }
    ASSERT_NE(own, 0u);
    SampleGame::MakeCurrentHex(at);
  }
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  KeyCommand('U', g_ui, kModCtrl, 0);
  UnitDetailPopup& popup = g_screens.unitDetail;
  ASSERT_NE(popup.currentForm->parent, nullptr) << "Ctrl+U opens POPUP_MILITARY1";
  const uint32_t shown = popup.unit;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, shown);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->owner, w.gameState.localPlayer);
    ASSERT_EQ(u->orders[kPostureBits] & kPostureNoAutoDeploy, 0u) << "not locked yet";
  }
  SampleGame::Pump();
  auto* picture = static_cast<BitmapControl*>(FormFindControlByTag(popup.currentForm, "UNITPIC"));
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(picture);
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  int drawn = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x) drawn += pixel(x, y) != pixel(box.left, box.top);
  EXPECT_GT(drawn, 0) << "the picture is more than its background";

  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "LOCK"));
  const uint32_t today = w.gameState.currentDay;
  SetGameSpeed(w.gameState, 4);
  bool locked = false;
  while (!locked && std::atomic_ref<uint32_t>(w.gameState.currentDay).load() < today + 2) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, shown);
    locked = u && (u->orders[kPostureBits] & kPostureNoAutoDeploy) != 0;
  }
  EXPECT_TRUE(locked) << "word 15 bit 2 of the simulation orders";
}

}  // namespace
