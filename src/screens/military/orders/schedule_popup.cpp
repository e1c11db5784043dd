#include "screens/military/orders/schedule_popup.h"

#include <cstdio>

#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_time.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kHour = 60;
constexpr uint32_t kDay = 1440;

// Earlier by a span, but not before minute 0: an unsigned time would wrap
// to a date far ahead that the panel's clamp does not catch.
uint32_t Back(uint32_t time, uint32_t span) { return time > span ? time - span : 0; }

// A month back or ahead at the same time of day.
uint32_t MoveMonths(uint32_t time, int8_t months) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const GameDateTime now = GameMinutesToDate(g_world, time);
  GameDate date = now.date;
  DateAddMonths(date, months);
  const uint32_t hourMinute = static_cast<uint32_t>(now.hour) | (static_cast<uint32_t>(now.minute) << 8);
  const int32_t minutes = DateTimeToGameMinutes(g_world, static_cast<uint32_t>(date.dayNumber), hourMinute);
  return minutes > 0 ? static_cast<uint32_t>(minutes) : 0;
}

}  // namespace

std::string ScheduleHourText(int32_t hour, bool clock24) {
  char text[16];
  if (clock24) {
    std::snprintf(text, sizeof text, "%2.2dh", hour);
  } else {
    const int32_t shown = hour == 0 || hour == 12 ? 12 : hour > 12 ? hour - 12 : hour;
    std::snprintf(text, sizeof text, "%2d %s", shown, hour < 12 ? "AM" : "PM");
  }
  return text;
}

uint32_t MoveScheduledTime(uint32_t time, int32_t id) {
  switch (id) {
    case 1000: return Back(time, kHour);
    case 1001: return time + kHour;
    case 1002: return Back(time, kDay);
    case 1003: return time + kDay;
    case 1004: return MoveMonths(time, -1);
    case 1005: return MoveMonths(time, 1);
    default: return time;
  }
}

void SchedulePopup::BindControls() {
  scheduleBox = nullptr;
  if (!currentForm) return;
  scheduleBox = ControlTagMatches(currentForm->tag, "SCHEDBOX") ? currentForm : Tag(*this, "SCHEDBOX");
}

void SchedulePopup::OnOpen() {
  SetHidden(Tag(*this, "SCHEDBUT"), false);
  if (modePanel) modePanel->Show(id, scheduleBox);
}

void SchedulePopup::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "SCHEDBUT")) return;
  SetHidden(control, true);
  if (timePanel) timePanel->Show(id, scheduleBox);
}

void ScheduleModePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (static_cast<uint32_t>(id) <= CurrentTickNow(g_world.gameState)) SetControlText(Tag(*this, "SCHEDULE"), "IMMEDIATE");
}

void ScheduleTimePanel::OnOpen() { time = static_cast<uint32_t>(id); }

void ScheduleTimePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const uint32_t now = CurrentTickNow(g_world.gameState);
  if (time < now) time = now;
  const GameDateTime at = GameMinutesToDate(g_world, time);
  date = at.date;
  hour = at.hour;
  SetControlText(FormFindControlById(currentForm, 1010), ScheduleHourText(hour, g_uiOptions.b24hformat != 0).c_str());
  char day[8];
  std::snprintf(day, sizeof day, "%d", date.day);
  SetControlText(FormFindControlById(currentForm, 1011), day);
  SetControlText(FormFindControlById(currentForm, 1012), MonthName(12 + date.month));
}

void ScheduleTimePanel::OnCommand(Control*, int32_t id) {
  {
      time = MoveScheduledTime(time, id);
  }
  Refresh();
}
