#pragma once
// The title bar across the top of the main screen: the region's name and
// figures with their trend arrows, the date, the clock, the speed buttons and
// the game menu. Its id is its mode: non-zero hangs it see-through over the
// map instead of in the top bar.
#include <cstdint>
#include <memory>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The figures one refresh shows, each with the value it is compared with
// for its trend arrow.
struct TitleBarFigures {
  int32_t player = -1;  // whose flag FLAG shows
  std::string country;
  float treasury = 0, population = 0, gdp = 0;
  float area = 0;  // square kilometres
  float approval = 0;  // the one shown, 0 to 1
  bool militaryApproval = false;
  int32_t hexCount = 0;
  float previousTreasury = 0, previousPopulation = 0, previousGdp = 0, previousApproval = 0;
  int32_t previousHexCount = 0;
};

// Treasury, population and GDP as the bar last showed them, and the day
// they were shown on: the region record keeps no previous day's copy of
// these three, so the bar keeps its own.
struct TitleBarSnapshot {
  uint32_t day = 0;
  bool set = false;
  float treasury = 0, population = 0, gdp = 0;
  float previousTreasury = 0, previousPopulation = 0, previousGdp = 0;
};

std::unique_ptr<Screen> MakeTitleBar();

// The figures of a region as the bar shows them; the bar's snapshot gives
// the previous values the record does not keep, and moves on with the day.
TitleBarFigures ReadTitleBarFigures(const World& world, const PlayerRecord& record, TitleBarSnapshot& snapshot);
// Sets the country, the numbers, the approval and the arrows in the form.
void FillTitleBarStats(Control* form, const TitleBarFigures& figures);
// The frames-per-second line over the population.
void FillTitleBarFrameRate(Control* form, float framesPerSecond);
// The date, the speed button of the current tier and the clock.
void FillTitleBarDate(Control* form, Control* clock, const GameState& state);
// The clock's frame and text for an hour step (0 to 11, two hours a step;
// others count as 0); clockFlags bit 0 runs the frames backwards.
void FillTitleBarClock(Control* clock, int32_t step, uint8_t clockFlags);

// "Mar 1, 2010" for a day number.
std::string TitleBarDateText(uint32_t dayNumber);
// " 2:00pm", or "14h" in the 24-hour form.
std::string TitleBarClockText(int32_t step, bool hours24);

// Shows the title bar afresh when the current player changes: the pending
// id (when one is set) becomes the bar's, the bar is attached, opened and
// refreshed, the root's title-bar state is reset and the side screens are
// laid out again. Nothing when flag is 0.
void RefreshTitleBar(int32_t flag);
