#include "screens/economy/status/status_screen.h"

#include "app/calendar.h"
#include "net/command_network.h"
#include "platform/fpenv.h"
#include "records/player_record.h"
#include "screens/common/player_message_walk.h"
#include "screens/docked_panels.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/command_bars.h"
#include "screens/screen_set.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/scroller.h"
#include "world/world.h"

namespace {

// Rows keep the toolkit's readable fills; plain news is white, urgent news
// orange.
constexpr uint32_t kRowText = 0xFFFFFFFF;
constexpr uint32_t kRowFlagsSet = kCtlShowFocus | kCtlCommand | kCtlRadio | kCtlButton;
constexpr uint32_t kListFlagsSet = kCtlDeselectOnKillFocus | kCtlShowFocus;
constexpr uint32_t kNewsFontSlot = 2;

GameDate DateOf(int32_t dayNumber) {
  GameDate date;
  date.dayNumber = dayNumber;
  DayNumberToDate(date);
  return date;
}

const char* ShortMonth(int month) { return month >= 0 && month <= 12 ? kStatusMonthNames[month] : ""; }

}  // namespace

std::string StatusDateText(int32_t dayNumber) {
  const GameDate date = DateOf(dayNumber);
  char text[32];
  plat::FormatText(text, sizeof text, "%.3s %d, %d", ShortMonth(date.month), date.day, date.year);
  return text;
}

std::vector<NewsRow> CollectNewsRows(World& world, int32_t player) {
  std::vector<NewsRow> rows;
  ForEachPlayerMessage(world, player, kMessageNews, [&rows](const PlayerMessage& message) {
    const GameDate date = DateOf(static_cast<int32_t>(message.day));
    char text[256];
    plat::FormatText(text, sizeof text, "%s %d %s", ShortMonth(date.month), date.day,
                     message.texts[0] ? message.texts[0] : "");
    rows.push_back({text, message.serial, message.priority >= kUrgentNewsImportance});
  });
  return rows;
}

int32_t StatusScreen::AttachForm(Control*) {
  id = OpenChildPopup(*this, kStatusDepartment);
  return static_cast<int32_t>(id);
}

void StatusScreen::OnOpen() {
  RegionSummarySidePanel& side = g_screens.statusSidePanel;
  ReopenScreen(side);
  newsViewer.lastDrawn = 0;
  if (newsList) {
    ListClear(newsList, 1);
    ListResetScroll(newsList);
  }
  // Offered in a network game only, and for now in none: the button and
  // its handler stay for the form that shows it.
  SetHidden(Tag(*this, "MPPING"), !IsNetworkGame(g_commandNet));
  SetHidden(Tag(*this, "MPPING"), true);
}

void StatusScreen::BindControls() {
  g_panelFlags[kStatusDepartment] |= kPanelFlagMarked;
  newsList = MakeListBox("NEWSLIST", 0, form, 0, this);
  if (!newsList) return;
  newsList->flags |= kListFlagsSet;
  if (ListTextRow* row = newsList->prototype.get()) {
    row->textColour = kRowText;
    row->flags = (row->flags | kRowFlagsSet) & ~kCtlMultiLine;
    row->fontSlot = kNewsFontSlot;
  }
}

void StatusScreen::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ListBoxControl* list = newsList;
  if (!list) return;
  const intptr_t keptSerial = list->selectedValue;
  const int32_t keptPosition = list->scroller ? ScrollerPosition(list->scroller) : 0;
  ListClear(list, 1);
  const std::vector<NewsRow> rows = CollectNewsRows(g_world, g_world.gameState.localPlayer);
  int32_t rowId = 0;
  for (const NewsRow& r : rows) {
    Control* row = ListAddString(list, r.text.c_str(), ++rowId, static_cast<intptr_t>(r.serial), 0, 0, 0);
    if (auto* text = dynamic_cast<ListTextRow*>(row); text && r.urgent) text->textColour = kUrgentNewsColour;
  }
  ListLayoutRows(list);
  for (Control* row = ListNextRow(list, nullptr); row && keptSerial != 0; row = ListNextRow(list, row)) {
    if (ListRowValue(row) != keptSerial) continue;
    row->state |= kStateSelected;
    list->selectedId = row->id;
    list->selectedValue = keptSerial;
    break;
  }
  if (list->scroller) ScrollerSetPosition(list->scroller, keptPosition);
}

void StatusScreen::OnCommand(Control* control, int32_t) {
  // The list is a group of its own: an unselected list is no closing tab.
  if (newsList && control == newsList) {
    if (newsList->selectedValue != 0) newsViewer.Show(newsList->selectedValue, nullptr);
    return;
  }
  if (ReleasedGroupButton(control)) {
    PopPopupsTo(g_ui, 1);
    return;
  }
  if (Is(control, "GRAPHS")) {
    graphs.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "STATS")) {
    stats.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "SCENARIO")) {
    scenario.Show(kKeepScreenId, nullptr);
  } else if (Is(control, "SCORECARD")) {
    ScoreCardActivate(g_screens.scoreCard, kKeepScreenId, nullptr);
  } else if (Is(control, "MPPING")) {
    WaitingRoomActivate(g_screens.waitingRoom, 1);
  }
}

void StatusScreen::OnControlChange(Control* control, int32_t) {
  if (!newsList || control != newsList || newsList->selectedValue == 0) return;
  newsViewer.id = newsList->selectedValue;
  newsViewer.Refresh();
}
