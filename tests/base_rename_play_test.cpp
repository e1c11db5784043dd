// The whole program on the sample scenario as Westholm: its army base,
// renamed in the base pop-up, carries the new name on the map once the turn
// thread has taken the command, and the pop-up draws the name.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr int32_t kArmyBase = 4054;

std::string Label(World& w, uint32_t cellIndex) {
  WorldLockGuard extras(w, kLockHexExtras);
  const HexUnitStack* stack = LoadHexStack(w.cells[cellIndex]);
  return stack && stack->extra && stack->extra->text ? stack->extra->text : "";
}

TEST(BaseRenamePlay, TheArmyBaseTakesItsNewName) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  const UnitRecord* base = nullptr;
  uint32_t cellIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const UnitRecord* head = w.units;
    for (const UnitRecord* u = head; u && !base; u = u->next == head ? nullptr : u->next)
      if (u->classIndex == kArmyBase && u->owner == w.gameState.localPlayer) base = u;
    ASSERT_NE(base, nullptr) << "Westholm has an army base";
    cellIndex = static_cast<uint32_t>(base->y * w.mapWidth + base->x);
  }
  OpenBasePopup(s, base);
  SampleGame::Pump();
  Control* form = s.basePopup.currentForm;
  ASSERT_NE(form, nullptr);
  auto* name = static_cast<TextControl*>(FormFindControlByTag(form, "BASENAME"));
  ASSERT_NE(name, nullptr);
  SampleGame::ClickControl(FormFindControlByTag(form, "RENBASEBUT"));
  ASSERT_EQ(g_controls.edit, name) << "the name field takes the typing";
  name->sourceText = "Fort Ash";
  EndTextEdit();
  PlayDaysUntil(2, [&] { return Label(w, cellIndex) == "Fort Ash"; });
  EXPECT_EQ(Label(w, cellIndex), "Fort Ash");
  SampleGame::Pump();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(name);
  int drawn = 0;
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x)
      drawn += pixel(x, y) != pixel(box.left, box.top);
  EXPECT_GT(drawn, 0) << "the name is drawn";
}

}  // namespace
