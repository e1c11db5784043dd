#pragma once
// A log of the texts the string controls draw while it is kept, for a check
// that every text a player is shown reads whole: a text cut to fit its box,
// wrapped past its box's foot, or drawn into another text of its own form
// (a list row's form, the list of a text row, or the form a screen shows), or a text box that must
// be scrolled to be read, is a fault. Window thread
// only; kept by tests, off in the game, where noting costs one test.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

class Control;
struct BitmapFont;

// Starts the log afresh; nothing is noted until it is started.
void StartShownTextLog();
// Stops the log and forgets what it noted.
void StopShownTextLog();
bool ShownTextLogKept();

// The control drew `shown` (in the font, at the rectangle its glyphs took)
// for its text `wanted` in the box; several lines when wrapped.
void NoteShownText(const Control* control, const std::string& wanted, const std::string& shown, BitmapFont* font,
                   const plat::Rect& box, const plat::Rect& drawn, bool wrapped);

// The list whose rows are being drawn (null once they are): a text row
// noted meanwhile is named by the list and the list's form, and is
// compared with the list's other text rows.
void NoteRowsOfList(const Control* list);

// The list drew its rows as laid out for another height (scrolled by that
// many pixels or beside its scroller with room for every row, or past its
// foot with no scroller): a row stays unseen or cut.
void NoteHiddenRows(const Control* list, int32_t scrolled);

// The text box showed `text` in more lines than its box holds: the reader
// scrolls for the rest, which a short text should never ask.
void NoteScrolledText(const Control* box, const std::string& text);

// Each fault among the texts noted since the start, one line each naming
// the form, the control and the text; the same control drawn again counts
// once, as last drawn.
std::vector<std::string> ShownTextFaults();
