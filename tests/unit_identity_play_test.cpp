// The whole program on the sample scenario: a click on an own unit in the
// selected-unit panel draws its class picture; and every class of the
// sample fills the header, class sheet and performance sheet with figures
// that are numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gfx/renderer.h"
#include "records/unit_record.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/military_test_support.h"
#include "screens/common/units/unit_header.h"
#include "screens/military/units/unit_performance.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/list_control.h"
#include "support/sample_game.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kTankClass = 8;

// Every text of the sheet reads as a number: no NaN, infinity or the
// integer a failed conversion gives.
void ExpectNumbers(const militarytest::TestSheet& sheet, const UnitClassRecord& cls) {
  Control* const first = sheet.root->firstChild;
  for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing()) {
    const std::string text = IsStringKind(c) ? static_cast<StringControl*>(c)->GetText() : "";
    for (const char* bad : {"nan", "inf", "-2147483648"}) EXPECT_EQ(text.find(bad), std::string::npos) << cls.name;
  }
}

TEST(UnitIdentityPlay, ClassPicturesAndSheetsOfTheSample) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  uint32_t own = 0, at = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const auto tanks = SampleGame::OwnUnitsOnMap(kTankClass);
    ASSERT_FALSE(tanks.empty());
    own = tanks.front()->id, at = MakeHexPos(tanks.front()->x, tanks.front()->y);
    SampleGame::MakeCurrentHex(at);
  }
  UnitPanel& units = g_screens.mapScreen.units;
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  units.id = 0;
  units.Show(0, nullptr);
  SampleGame::Pump();
  int row = 0;
  for (Control* r = ListNextRow(units.list, nullptr); r && static_cast<uint32_t>(ListRowValue(r)) != own;
       r = ListNextRow(units.list, r))
    ++row;
  SampleGame::ClickControl(units.list, row);
  ASSERT_EQ(units.CurrentUnit(), own);
  SampleGame::Pump();
  auto* picture = static_cast<BitmapControl*>(FormFindControlByTag(units.currentForm, "UNITPIC"));
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->Hidden());
  ASSERT_NE(picture->pictureSlot, nullptr);
  EXPECT_NE(*picture->pictureSlot, nullptr) << "the sample gives the class a picture";
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(picture);
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  int drawn = 0;
  for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
    for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x) drawn += pixel(x, y) != pixel(box.left, box.top);
  EXPECT_GT(drawn, 0) << "the picture is more than its background";

  militarytest::TestSheet sheet;
  sheet.Texts({"ANNCOST", "TOTALCREW", "UNITNAME", "DAYS", "UWEIGHT", "UTECHLEV", "DOLCOST", "GOODSCOST", "UTRANS",
               "UCREW", "CHOURS", "GUNSIZE", "MSIZE", "DEFSTR", "YIELD"});
  for (int32_t id = 130; id <= 154; ++id) sheet.Add<SlideBarControl>(nullptr, id);
  for (int32_t id = 230; id <= 347; ++id)
    if (id <= 254 || id >= 330) sheet.Add(nullptr, id);
  plat::CriticalSectionLock lock(g_simulationLock);
  for (const UnitClassRecord& cls : w.unitClasses) {
    if (cls.name[0] == 0) continue;
    FillUnitHeader(sheet.root, nullptr, cls, nullptr);
    FillUnitClassSheet(sheet.root, cls, nullptr, nullptr);
    FillUnitPerformance(sheet.root, &cls, nullptr);
    ExpectNumbers(sheet, cls);
  }
}

}  // namespace
