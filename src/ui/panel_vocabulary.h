#pragma once
// The words every panel is written in: finding a control of a form by tag or
// id, asking what a control is, and putting numbers and texts into it. A
// panel that needs one of these takes it from here; a helper that a second
// panel needs joins this file instead of being copied.
#include <cstdint>
#include <string>

class Control;
class Screen;

// The control of the form with the tag (or id); null when the form is null
// or holds none.
Control* Tag(Control* form, const char* tag);
Control* Id(Control* form, int32_t id);
// The same in the form the screen shows now (its current form).
Control* Tag(const Screen& screen, const char* tag);
Control* Id(const Screen& screen, int32_t id);
// The control of the form with the tag, as the kind the caller expects;
// null when there is none or it is of another kind.
template <class T>
T* TagAs(Control* form, const char* tag) {
  return dynamic_cast<T*>(Tag(form, tag));
}
template <class T>
T* IdAs(Control* form, int32_t id) {
  return dynamic_cast<T*>(Id(form, id));
}

// A colour with its alpha byte replaced (0 clear, 255 solid).
constexpr uint32_t WithAlpha(uint32_t colour, uint32_t alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }
// The alpha byte of a colour kept in place (a control's fill or outline)
// replaced.
inline void SetAlpha(uint32_t& colour, uint32_t alpha) { colour = WithAlpha(colour, alpha); }

// Whether the control (which may be null) carries the tag.
bool Is(const Control* control, const char* tag);
// Whether a button or toggle (which may be null) is pressed: its selected bit.
bool Pressed(const Control* control);

// Texts into a control (a text box's own copy; any other control's
// caption); a null control takes nothing.
void SetText(Control* control, const char* text);
void SetText(Control* control, const std::string& text);
// A whole number as "%d".
void SetInt(Control* control, int32_t value);
// A number in the game's grouped form ("3,387,689"), no decimals.
void SetNumber(Control* control, double value);
// A printf format with one value.
void SetFormatted(Control* control, const char* format, int32_t value);
void SetFormatted(Control* control, const char* format, double value);

// A number in the grouped form, only into a text box its form gave room for
// three characters or more: a narrower box keeps what it has.
void SetNumberWhereRoom(Control* control, double value);

// Grouped figures as the form's number boxes show them ("3,387,689",
// "$ 1,234", money with millions abbreviated), only into a box with room for
// three characters, cut to its room; the box's owner hears of a change.
void SetFigure(Control* control, double value);
void SetMoney(Control* control, double amount);
void SetMoneyShort(Control* control, double amount);
// A money figure that only means something while a cost is charged for it:
// when charged, as SetMoneyShort and shown; when not, hidden with the label
// to its left on its row (unless that row also holds a figure still shown),
// so the page shows no $0 for a cost nothing charges.
void SetChargedMoney(Control* control, double amount, bool charged);
// Whether a yearly base cost is charged at all: a number other than 0 (a
// base no rule has set stays 0, and the day charges nothing for it).
bool IsCharged(float baseCost);
// A fraction as a percentage with the format ("%3.0f %%" or "%2.1f %%").
void SetPercent(Control* control, const char* format, float fraction);

// Texts entered as if typed into the control: cut to the room its form gave
// it, and its owner hears of the change (panels that write a field back to
// the world from that notice rely on it).
void EnterText(Control* control, const char* text);
void EnterInt(Control* control, int32_t value);
void EnterFormatted(Control* control, const char* format, int32_t value);
void EnterFormatted(Control* control, const char* format, double value);

// Presses or releases a button or toggle (its selected bit).
void Press(Control* control, bool pressed);

// Shows or hides the control (or the form's control with the tag).
void Show(Control* control, bool shown);
void ShowTag(Control* form, const char* tag, bool shown);
