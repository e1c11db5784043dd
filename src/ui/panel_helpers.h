#pragma once
// Helpers the panels share: real list and text boxes in the place of the
// placeholders their forms carry, side panels in the right column, file and
// CSV listings into lists, and small glue (the selected hex, dates, the
// release of a unit).
#include <cstdint>
#include <string>

#include "app/calendar.h"

class Control;
class ListBoxControl;
class Screen;
class TextBoxControl;
struct UnitClassRecord;
struct UnitRecord;

// Side panel placements.
enum SidePanelPlacement : int32_t { kPanelFull = 0, kPanelTop = 1, kPanelBottom = 2 };

// A list box over the placeholder found by tag (by id when the tag is
// null), the placeholder itself when it matches; null when there is none.
// Non-zero flag is the list's thin-scroller flag and clears the scroller's
// arrow fill.
ListBoxControl* MakeListBox(const char* tag, int32_t id, Control* formRoot, uint32_t flag, Screen* owner);
// The look of the grids and hint boxes laid over a panel: see-through,
// framed in green, showing focus.
void StyleOverlay(Control* control);
// A text box of 8,192 characters over the placeholder, the same way.
TextBoxControl* MakeTextBox(const char* tag, int32_t id, Control* formRoot);
// Hangs the screen's side-panel form in the right column and shows its
// FULL, TOP or BOTTOM part.
void PlaceSidePanel(int32_t id, Screen* screen, int32_t placement);

// One row per file of the folder with the extension (directories skipped),
// named without the extension and numbered from 1; the count.
int32_t ListFiles(const char* folder, ListBoxControl* list, const char* extension);
// One row per line of "name.CSV" whose first field is not empty; the count,
// or kFail when the file cannot be read.
int32_t LoadCsvList(const char* name, ListBoxControl* list);

// Makes the packed hex (x low, y high) the current hex.
void GotoHexPacked(uint32_t packed);
// Fills a date from its fields and sets its day number (the game's dates
// keep no time of day).
void DateInit(GameDate* date, int16_t year, uint8_t month, uint8_t day);
// The date of a day number.
GameDate* DateFromDayNumber(int32_t dayNumber, GameDate* date);
// Lets a unit go: three state-bit commands and the disband command.
void PostUnitReleaseCommands(const UnitRecord& unit);
