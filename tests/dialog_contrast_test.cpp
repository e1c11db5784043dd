// Dialogs over the sample map, in process: a new game of the Channel as
// Westholm, the map centred where most units stand, and the in-game menu's
// questions drawn over it with the shipped options. Every pixel a
// question's words change stands out from what lies beneath them (the
// dialog drawn without its words) by 4.5:1 at least, the contrast readable
// text needs, and the map shows through beneath the words only faintly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "app/shell/shell.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/unit_record.h"
#include "screens/frontend/game_menu.h"
#include "screens/main/map/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/world.h"

namespace {

void Pump() {
  plat::Message msg;
  while (plat::PeekWindowMessage(&msg, true)) plat::DispatchWindowMessage(msg);
  RunIdleFrame();
}

void Click(Control* control, int row) {
  ASSERT_NE(control, nullptr);
  const plat::Rect r = ControlAbsoluteRect(control);
  int y = (r.top + r.bottom) / 2;
  if (row >= 0) y = r.top + static_cast<ListBoxControl*>(control)->rowStep * row + 3;
  const plat::LParam at = static_cast<plat::LParam>(((r.left + r.right) / 2) | (y << 16));
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonDown, plat::kMkLButton, at);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonUp, 0, at);
  Pump();
}

template <typename Rows>
int RowOf(const Rows& rows, const std::string& wanted, std::string (*name)(const typename Rows::value_type&)) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (name(rows[i]) == wanted) return static_cast<int>(i);
  return -1;
}

double Luminance(uint32_t argb) {
  auto channel = [](uint32_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((argb >> 16) & 0xFF) + 0.7152 * channel((argb >> 8) & 0xFF) + 0.0722 * channel(argb & 0xFF);
}

double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<uint32_t> Frame() {
  Pump();
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &w, &h), plat::kOk);
  EXPECT_EQ(w, 1024u);
  return pixels;
}

// The pointer rests mid-screen, away from the edges that scroll the map.
PolledInput RestingPointer() { return PolledInput{.x = 512, .y = 400}; }

// Moves the map so that the hex lies under the screen point.
void PutHexUnder(uint32_t packed, int32_t screenX, int32_t screenY) {
  CentreMapOnHex(g_mapView, packed);
  const Hex pixel = ScreenToMapPixel(g_mapView, screenX, screenY);
  const Hex under = MapPixelToHex(g_mapView, pixel.x, pixel.y);
  const Hex hex = UnpackHex(packed);
  if (under == Hex{}) return;
  CentreMapOnHex(g_mapView, PackHex(2 * hex.x - under.x, 2 * hex.y - under.y));
}

// The hex where most units stand, so the dialog covers symbols, not open sea.
uint32_t BusiestHex() {
  std::map<uint32_t, int> counts;
  const UnitRecord* first = g_world.units;
  for (const UnitRecord* u = first; u; u = u->next == first ? nullptr : u->next)
    if (u->x != 0 || u->y != 0) ++counts[PackHex(u->x, u->y)];
  uint32_t best = 0;
  int most = 0;
  for (const auto& [hex, n] : counts)
    if (n > most) best = hex, most = n;
  return best;
}

TEST(DialogContrast, QuestionsOverTheSampleMapReadAtFourAndAHalfToOne) {
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
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
  RunIdleFrame();
  ASSERT_EQ(g_ui.mode, kUiFrontEnd);

  ScreenSet& s = g_screens;
  Click(FormFindControlByTag(s.startMenu.currentForm, "NEWGAME"), -1);
  const int channel = RowOf(s.gameChoice.scenarios, "Channel", +[](const ScenarioEntry& e) { return e.file; });
  ASSERT_GE(channel, 0);
  Click(FormFindControlByTag(s.gameChoice.currentForm, "SCENLIST"), channel);
  const int westholm = RowOf(s.gameChoice.regions, "Westholm", +[](const RegionEntry& e) { return e.name; });
  ASSERT_GE(westholm, 0);
  Click(FormFindControlByTag(s.gameChoice.currentForm, "REGIONLIST"), westholm);
  Click(FormFindControlByTag(s.gameChoice.currentForm, "START"), -1);
  Click(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
  ASSERT_EQ(g_ui.mode, kUiInGame);
  const uint32_t busiest = BusiestHex();
  ASSERT_NE(busiest, 0u);

  // Each question or title, the page holding it and how its page opens.
  struct Row {
    const char* name;
    Screen* page;
    const char* tag;
    void (*open)();
  } const rows[] = {
      {"the quit question", &s.gameMenu.quitConfirm, "TEXTBOX12", [] { GameMenuActivate(g_screens.gameMenu, 9); }},
      {"the save dialog's title", &s.gameMenu.saveDialog, "TITLE", [] { GameMenuActivate(g_screens.gameMenu, 3); }},
      {"the question after a save", &s.gameMenu.quitNow, "TEXTBOX15", [] {
         GameMenuActivate(g_screens.gameMenu, 0);
         g_screens.gameMenu.ShowQuitNow();
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.open();
    Control* words = FormFindControlByTag(row.page->currentForm, row.tag);
    ASSERT_NE(words, nullptr);
    auto* box = dynamic_cast<TextBoxControl*>(words);
    auto* line = dynamic_cast<StringControl*>(words);
    ASSERT_TRUE(box || line);
    const std::string text = box ? TextBoxText(box) : line->text;
    ASSERT_FALSE(text.empty());
    const uint32_t ink = (box ? box->prototype->textColour : line->textColour) | 0xFF000000u;
    // The symbols of the busiest hex beneath the first line of words.
    const plat::Rect r = ControlAbsoluteRect(words);
    PutHexUnder(busiest, (r.left + r.right) / 2, r.top + 12);
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
        worst = std::min(worst, Contrast(ink, beneath[i] | 0xFF000000u));
        darkest = std::min(darkest, Luminance(beneath[i]));
        lightest = std::max(lightest, Luminance(beneath[i]));
      }
    }
    EXPECT_GT(changed, 50) << "the words were drawn";
    EXPECT_GE(worst, 4.5);
    // And what lies beneath them is near even: the map's symbols show
    // through faintly at most (1.75:1 and more at the old default of 150,
    // about 1.1:1 at the shipped 235), so they do not compete with letters.
    EXPECT_LE((lightest + 0.05) / (darkest + 0.05), 1.25);
    if (box) TextBoxSetText(box, text.c_str(), 0, 1);
    else line->SetText(text.c_str());
    s.gameMenu.CloseMenu();
    Pump();
  }
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
