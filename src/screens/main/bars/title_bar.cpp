#include "screens/main/bars/title_bar.h"

#include <algorithm>

#include "app/app_object.h"
#include "app/calendar.h"
#include "platform/fpenv.h"
#include "records/player_record.h"
#include "screens/common/region_row.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "ui/panel_vocabulary.h"
#include "world/game_speed.h"
#include "world/player_names.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The clock strip: twelve hour steps and the frame the reversed clock starts on.
constexpr uint8_t kClockFrames = 13;
// The see-through bar's fill alpha.
constexpr uint32_t kTransparentAlpha = 0x6E;
constexpr int32_t kFirstSpeedId = 110;
constexpr int32_t kTopBarControls[] = {9001, 9002, 9003, 9004};
// The form is laid out for the narrowest screen the options offer.
constexpr int32_t kDesignWidth = 1024;

// On a wider host the bar reaches its right edge: the borders and the last
// panel widen, and what the last panel holds (date, clock, speeds, menu)
// moves with its right end.
void SpanHostWidth(Control* f) {
  if (!f || !f->parent) return;
  const int32_t shift = std::max(kDesignWidth, Width(f->parent)) - Width(f);
  if (shift == 0) return;
  const Control* last = FormFindControlById(f, kTopBarControls[3]);
  const int32_t from = last ? last->rect.left : Width(f);
  f->rect.right += shift;
  Control* first = f->firstChild;
  for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing()) {
    if (c == last || ControlTagMatches(c->tag, "BORDER1") || ControlTagMatches(c->tag, "BORDER2")) {
      c->rect.right += shift;
    } else if (c->rect.left > from) {
      c->rect.left += shift;
      c->rect.right += shift;
    }
  }
}

// Every text goes into the control's own storage: a text shown in two
// places never changes under one when the other is refreshed.
void SetOwnText(Control* c, const std::string& text) {
  if (IsStringKind(c)) c->SetText(text.c_str());
}

bool HasNumberRoom(Control* c) { return IsStringKind(c) && static_cast<StringControl*>(c)->bufferSize >= 3; }

void SetBarFigure(Control* c, int32_t currency, int32_t decimals, const char* leading, int32_t abbreviate, double value) {
  if (HasNumberRoom(c)) SetControlNumberText(currency, decimals, leading, abbreviate, "", 0, value, c);
}

void SetArrow(Control* form, const char* tag, double value, double previous) {
  Control* arrow = FormFindControlByTag(form, tag);
  if (!arrow) return;
  SetControlFlag(arrow, kStateSelected, value > previous ? 1 : 0);
  SetHidden(arrow, value == previous);
}

}  // namespace

TitleBarFigures ReadTitleBarFigures(const World& world, const PlayerRecord& r, TitleBarSnapshot& snap) {
  const uint32_t day = world.gameState.currentDay;
  if (!snap.set) {
    snap = {.day = day, .set = true, .treasury = r.treasury, .population = r.population, .gdp = r.gdp,
            .previousTreasury = r.treasury, .previousPopulation = r.population, .previousGdp = r.gdp};
  } else if (snap.day != day) {
    // The last values shown on the day before become the ones to compare with.
    snap.previousTreasury = snap.treasury, snap.previousPopulation = snap.population, snap.previousGdp = snap.gdp;
    snap.day = day;
  }
  snap.treasury = r.treasury, snap.population = r.population, snap.gdp = r.gdp;

  TitleBarFigures f;
  const char* name = LookupLocalizedName(world, r);
  f.country = name ? name : "";
  f.treasury = r.treasury, f.population = r.population, f.gdp = r.gdp;
  f.hexCount = r.hexCount;
  const float km = static_cast<float>(world.mapHeader.hexScale);
  f.area = static_cast<float>(r.hexCount) * km * km;
  // The record carries no choice of approval kind, so the domestic one shows.
  f.militaryApproval = false;
  f.approval = f.militaryApproval ? r.secondRating : r.approval;
  f.previousApproval = f.militaryApproval ? r.yesterdayTotals[1] : r.yesterdayTotals[0];
  f.previousHexCount = r.yesterdayHexCount;
  f.previousTreasury = snap.previousTreasury, f.previousPopulation = snap.previousPopulation;
  f.previousGdp = snap.previousGdp;
  return f;
}

void FillTitleBarStats(Control* form, const TitleBarFigures& f) {
  if (!form) return;
  SetOwnText(FormFindControlByTag(form, "COUNTRY"), f.country);
  Control* treasury = FormFindControlByTag(form, "TREASURY");
  SetBarFigure(treasury, 1, 0, "", 1, f.treasury);
  if (treasury) SetControlFlag(treasury, kStateSelected, f.treasury < 0 ? 1 : 0);
  SetBarFigure(FormFindControlByTag(form, "POPULATION"), 0, 0, "", 1, f.population);
  SetBarFigure(FormFindControlByTag(form, "SIZE"), 0, 0, "", 1, f.area);
  SetBarFigure(FormFindControlByTag(form, "GDP"), 1, 2, "", 1, f.gdp);
  char text[32];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(f.approval * 100.0f));
  SetOwnText(FormFindControlByTag(form, "APR"), text);
  SetHidden(FormFindControlByTag(form, "MILAPR"), !f.militaryApproval);
  SetHidden(FormFindControlByTag(form, "DOMAPR"), f.militaryApproval);
  SetArrow(form, "TARROW", f.treasury, f.previousTreasury);
  SetArrow(form, "PARROW", f.population, f.previousPopulation);
  SetArrow(form, "AARROW", f.approval, f.previousApproval);
  SetArrow(form, "GARROW", f.gdp, f.previousGdp);
  SetArrow(form, "LARROW", f.hexCount, f.previousHexCount);
  FillRegionRow(FormFindControlByTag(form, "FLAG"), nullptr, f.player);
}

void FillTitleBarFrameRate(Control* form, float framesPerSecond) {
  SetBarFigure(FormFindControlByTag(form, "POPULATION"), 0, 2, "FPS ", 0, framesPerSecond);
}

std::string TitleBarDateText(uint32_t dayNumber) {
  GameDate date;
  date.dayNumber = static_cast<int32_t>(dayNumber);
  DayNumberToDate(date);
  char text[32];
  FormatDateShort(date, text);
  return text;
}

std::string TitleBarClockText(int32_t step, bool hours24) {
  if (step < 0 || step > 11) step = 0;
  const int32_t hours = step * 2;
  char text[16];
  if (hours24) {
    plat::FormatText(text, sizeof text, "%02dh", hours);
  } else {
    const int32_t shown = hours == 0 ? 12 : hours > 12 ? hours - 12 : hours;
    plat::FormatText(text, sizeof text, "%2d:00%s", shown, hours >= 12 ? "pm" : "am");
  }
  return text;
}

void FillTitleBarClock(Control* clock, int32_t step, uint8_t clockFlags) {
  if (step < 0 || step > 11) step = 0;
  if (!clock) return;
  const bool reversed = (clockFlags & 1) != 0;
  auto* strip = dynamic_cast<BitmapControl*>(clock);
  const uint8_t frameBefore = strip ? strip->frame : 0;
  const uint32_t flagsBefore = clock->flags;
  const std::string textBefore = clock->text;
  if (strip) strip->frame = static_cast<uint8_t>(reversed ? 12 - step : step);
  if (reversed) {
    clock->flags |= kCtlMirrorX;
  } else {
    clock->flags &= ~kCtlMirrorX;
  }
  const std::string text = TitleBarClockText(step, g_uiOptions.b24hformat != 0);
  ControlSetText(clock, text.c_str());
  // Refreshed by every timer tick: drawn again only when the hour moved.
  if ((strip && strip->frame != frameBefore) || clock->flags != flagsBefore || clock->text != textBefore)
    clock->Invalidate();
}

void FillTitleBarDate(Control* form, Control* clock, const GameState& state) {
  SetOwnText(FormFindControlByTag(form, "DATE"), TitleBarDateText(state.currentDay));
  const int32_t tier = GetGameSpeedTier(state);
  HighlightChildById(tier);
  // The bar's own speed boxes light the speed in force as well, whichever
  // key, button or peer set it, and the box lit before goes out.
  SetControlFlag(FormFindControlById(form, kFirstSpeedId + tier), kStateSelected, 1);
  // The daily driver's flag turns the clock backwards while it runs.
  FillTitleBarClock(clock, state.dayPeriod, state.dailyFlags);
}

namespace {

class TitleBar : public Screen {
 public:
  TitleBar() : Screen("TITLEBAR", FormLookups{.tags = kTags, .ids = kIds}) {}

  int32_t AttachForm(Control* newHost) override {
    currentForm = form;
    Control* f = currentForm;
    ScreenManager& ui = g_ui;
    if (f && f->parent) f->Unlink();
    if (id) {
      if (Control* pane = ui.mapArea; pane && f) {
        pane->Invalidate();
        ControlAddChild(pane, f);
      }
    } else {
      Screen::AttachForm(ui.topBar ? ui.topBar : newHost);
    }
    SpanHostWidth(currentForm);
    SetHidden(ui.topBar, id != 0);
    return 0;
  }
  void OnOpen() override {
    // Shown again for a new game or another player: the day's comparisons
    // start afresh.
    snapshot = {};
    Control* f = currentForm;
    if (!f) return;
    const bool see = id != 0;
    for (int32_t control : kTopBarControls) SetHidden(FormFindControlById(f, control), see);
    SetHidden(border1, see);
    if (see) {
      f->flags |= kCtlAlwaysRedraw;
    } else {
      f->flags &= ~kCtlAlwaysRedraw;
    }
    SetAlpha(f->fills[kLookNormal], see ? kTransparentAlpha : 0xFFu);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    Control* f = currentForm;
    World& w = g_world;
    if (!f) return;
    const int32_t local = w.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) {
      TitleBarFigures figures = ReadTitleBarFigures(w, w.players[local], snapshot);
      figures.player = local;
      FillTitleBarStats(f, figures);
    }
    if (g_ui.showFrameRate) FillTitleBarFrameRate(f, g_ui.framesPerSecond);
    FillTitleBarDate(f, clock, w.gameState);
  }
  void BindControls() override {
    Control* f = form;
    flag = FormFindControlByTag(f, "FLAG");
    clock = FormFindControlByTag(f, "CLOCK");
    if (auto* strip = dynamic_cast<BitmapControl*>(clock)) strip->frameCount = kClockFrames, strip->frame = 0;
    border1 = FormFindControlByTag(f, "BORDER1");
    border2 = FormFindControlByTag(f, "BORDER2");
    if (border1) {
      border1->outlines[kLookNormal] &= ~0x80000000u;
    }
    if (border2) {
      border2->outlines[kLookNormal] &= ~0x80000000u;
      SetHidden(border2, true);
    }
  }
  void OnCommand(Control* control, int32_t controlId) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (controlId >= kFirstSpeedId && controlId <= kFirstSpeedId + kTopSpeedTier) {
      SetGameSpeed(g_world.gameState, controlId - kFirstSpeedId);
      return;
    }
    if (!control || !ControlTagMatches(control->tag, "MENU")) return;
    CloseAllPopups(g_ui, 0);
    // The menu of the screen set pauses the game and opens on its first page.
    g_screens.gameMenu.Popup(kGameMenuMainPage, nullptr);
  }

  Control* flag = nullptr;
  Control* border1 = nullptr;
  Control* border2 = nullptr;
  Control* clock = nullptr;

  TitleBarSnapshot snapshot;

 private:
  static constexpr const char* kTags[] = {"COUNTRY", "TREASURY", "POPULATION", "SIZE",    "GDP",    "APR",    "MILAPR",
                                          "DOMAPR",  "TARROW",   "PARROW",     "AARROW",  "GARROW", "LARROW", "DATE",
                                          "CLOCK",   "FLAG",     "BORDER1",    "BORDER2", "MENU"};
  static constexpr int32_t kIds[] = {110, 111, 112, 113, 9001, 9002, 9003, 9004};
};

}  // namespace

std::unique_ptr<Screen> MakeTitleBar() { return std::make_unique<TitleBar>(); }

void RefreshTitleBar(int32_t flag) {
  if (!flag) return;
  ScreenManager& ui = g_ui;
  Screen& bar = *g_screens.titleBar;
  if (ui.pendingTitleBarId < kKeepScreenId) bar.id = ui.pendingTitleBarId;
  ReopenScreen(bar);
  ui.titleBarState[0] = 0;
  ui.titleBarState[1] = 0;
  ApplySideScreensLayout(g_mapView);
}
