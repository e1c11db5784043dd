// Dialogs over the sample map with the shipped options, in process: a new
// game of the Channel as Westholm, the hex where most units stand put under
// a dialog's words, then the words drawn and taken away. Every pixel they
// change stands out from what lies beneath it by 4.5:1 at least, and the
// map shows through beneath them only faintly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "support/private_game_root.h"
#include "support/contrast.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/text_box.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> Frame() {
  PumpWholeProgram();
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &w, &h), plat::kOk);
  EXPECT_EQ(w * h, 1024u * 768u);
  return pixels;
}

// The pointer rests mid-screen, away from the edges that scroll the map.
PolledInput RestingPointer() { return PolledInput{.x = 512, .y = 400}; }

// The hex where most units stand, moved under the screen point.
void PutBusiestHexUnder(int32_t screenX, int32_t screenY) {
  std::map<uint32_t, int> counts;
  for (const UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next)
    if (u->x != 0 || u->y != 0) ++counts[PackHex(u->x, u->y)];
  const auto busiest = std::max_element(counts.begin(), counts.end(),
                                        [](const auto& a, const auto& b) { return a.second < b.second; });
  ASSERT_NE(busiest, counts.end());
  CentreMapOnHex(g_mapView, busiest->first);
  const Hex pixel = ScreenToMapPixel(g_mapView, screenX, screenY);
  const Hex under = MapPixelToHex(g_mapView, pixel.x, pixel.y), hex = UnpackHex(busiest->first);
  CentreMapOnHex(g_mapView, PackHex(2 * hex.x - under.x, 2 * hex.y - under.y));
}

TEST(DialogContrast, QuestionsOverTheSampleMapReadAtFourAndAHalfToOne) {
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(PrivateGameRoot());
  GlobalGuard pointer(g_uiInput.poll, &RestingPointer);
  GlobalGuard shownPage(g_screens.gameMenu.shownPage);
  PrepareWholeProgram();
  ASSERT_EQ(InitApplication(g_app), 0);
  struct Restores {
    std::string root;
    ~Restores() {
      if (GameThreadsRunning()) StopGameSession(&g_ui);
      plat::SetDataRoot(root);
      plat::SetClockSource(nullptr);
    }
  } restores{oldRoot};
  RunStartupFrameSkippingSplash(clock);
  ScreenSet& s = g_screens;
  ClickControl(FormFindControlByTag(s.startMenu.currentForm, "NEWGAME"));
  Control* choice = s.gameChoice.currentForm;
  for (size_t i = 0; i < s.gameChoice.scenarios.size(); ++i)
    if (s.gameChoice.scenarios[i].file == "Channel") ClickControl(FormFindControlByTag(choice, "SCENLIST"), int(i));
  for (size_t i = 0; i < s.gameChoice.regions.size(); ++i)
    if (s.gameChoice.regions[i].name == "Westholm") ClickControl(FormFindControlByTag(choice, "REGIONLIST"), int(i));
  ClickControl(FormFindControlByTag(s.gameChoice.currentForm, "START"));
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  ASSERT_EQ(g_ui.mode, kUiInGame);

  // The quit question's text box; the save dialog's title, on the bare frame.
  struct Row {
    Screen* page;
    const char* tag;
    int32_t menuPage;
  } const rows[] = {{&s.gameMenu.quitConfirm, "TEXTBOX12", 9}, {&s.gameMenu.saveDialog, "TITLE", 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tag);
    GameMenuActivate(s.gameMenu, row.menuPage);
    Control* words = FormFindControlByTag(row.page->currentForm, row.tag);
    auto* box = dynamic_cast<TextBoxControl*>(words);
    auto* line = dynamic_cast<StringControl*>(words);
    ASSERT_TRUE(box || line);
    const std::string text = box ? TextBoxText(box) : line->text;
    const uint32_t ink = (box ? box->prototype->textColour : line->textColour) | 0xFF000000u;
    const plat::Rect r = ControlAbsoluteRect(words);
    ASSERT_NO_FATAL_FAILURE(PutBusiestHexUnder((r.left + r.right) / 2, r.top + 12));
    const std::vector<uint32_t> withWords = Frame();
    if (box) TextBoxSetText(box, "", 0, 1);
    else line->SetText("");
    const std::vector<uint32_t> beneath = Frame();
    int changed = 0;
    double worst = 21.0, darkest = 1.0, lightest = 0.0;
    for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, 768); ++y) {
      for (int32_t x = std::max(r.left, 0); x < std::min(r.right, 1024); ++x) {
        const size_t i = static_cast<size_t>(y) * 1024 + static_cast<size_t>(x);
        if (withWords[i] == beneath[i]) continue;
        ++changed;
        worst = std::min(worst, Contrast(ink, beneath[i]));
        darkest = std::min(darkest, Luminance(beneath[i]));
        lightest = std::max(lightest, Luminance(beneath[i]));
      }
    }
    EXPECT_GT(changed, 50) << "the words were drawn";
    EXPECT_GE(worst, 4.5);
    // The ground beneath is near even: 1.75:1 and more at the former
    // default transparency of 150, even under the shipped opaque pop-ups.
    EXPECT_LE((lightest + 0.05) / (darkest + 0.05), 1.25);
    if (box) TextBoxSetText(box, text.c_str(), 0, 1);
    else line->SetText(text.c_str());
    s.gameMenu.CloseMenu();
  }
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
