#pragma once
// The schedule box: shows whether an action happens at once ("IMMEDIATE")
// and lets the player move a scheduled time (game minutes) by hours, days
// and months. The owner shows it with the scheduled time as its id; the
// picked time stays in the time panel for the owner to read.
#include <cstdint>
#include <string>

#include "app/calendar.h"
#include "ui/screen.h"

class ScheduleModePanel;
class ScheduleTimePanel;

inline constexpr const char* kScheduleTags[] = {"SCHEDBUT", "SCHEDBOX"};
inline constexpr const char* kScheduleModeTags[] = {"SCHEDULE"};
inline constexpr int32_t kScheduleTimeIds[] = {1000, 1001, 1002, 1003, 1004, 1005, 1010, 1011, 1012};

class SchedulePopup : public Screen {
 public:
  explicit SchedulePopup(const char* formName = "CALENDAR1")
      : Screen(formName, FormLookups{.tags = kScheduleTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* scheduleBox = nullptr;
  ScheduleModePanel* modePanel = nullptr;  // given by the screen set
  ScheduleTimePanel* timePanel = nullptr;
};

class ScheduleModePanel : public Screen {
 public:
  explicit ScheduleModePanel(const char* formName = "CALENDAR1a")
      : Screen(formName, FormLookups{.tags = kScheduleModeTags, .ids = {}}) {}
  void Refresh() override;
};

class ScheduleTimePanel : public Screen {
 public:
  explicit ScheduleTimePanel(const char* formName = "CALENDAR1b")
      : Screen(formName, FormLookups{.tags = {}, .ids = kScheduleTimeIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  uint32_t time = 0;  // game minutes
  GameDate date;
  int32_t hour = 0;
};

// The hour as the time panel shows it: "%2.2dh" on the 24-hour clock, else
// "%2d AM" or "%2d PM" with 12 for hours 0 and 12.
std::string ScheduleHourText(int32_t hour, bool clock24);
// The time a time-panel button gives (1000 to 1005: an hour, a day, a
// month back or ahead); backward moves stop at minute 0. Other ids leave
// the time.
uint32_t MoveScheduledTime(uint32_t time, int32_t id);
