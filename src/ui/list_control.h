#pragma once
// The list box: a scrolling column of row controls (text rows and rows that
// host a screen) with single or multiple selection, and the operations
// through which screens fill it, select in it and read it. The rows form a
// ring of their own, outside the list's children; the list owns them.
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/control.h"
#include "ui/screen.h"
#include "ui/string_control.h"

class ScrollerControl;
class ListBoxControl;

// List flags besides the control's own: a thin scroller with the two
// indicators shown, and single selection even with Ctrl held.
inline constexpr uint32_t kListIndicators = 0x2000;
inline constexpr uint32_t kListSingleSelect = kCtlRadio;
// Options: rows take the full width.
inline constexpr uint32_t kListFullWidthRows = 0x1;
// The scroller's id inside its list, and the indicators'.
inline constexpr int32_t kListScrollerId = -2;
inline constexpr int32_t kListUpIndicatorId = 1;
inline constexpr int32_t kListDownIndicatorId = -1;
// Rows made at run time carry this index; ListClear destroys them.
inline constexpr uint16_t kRunTimeRow = 0xFFFF;

// A text row: a string control carrying the caller's value word.
class ListTextRow : public StringControl {
 public:
  using StringControl::StringControl;
  Control* Clone() const override { return new ListTextRow(*this); }
  intptr_t value = 0;

 protected:
  ListTextRow(const ListTextRow&) = default;
};

// Hears the list's scroller and indicators and scrolls the list.
class ListScreen final : public Screen {
 public:
  explicit ListScreen(ListBoxControl* list) : Screen(nullptr), list_(list) {}
  void OnControlChange(Control* control, int32_t id) override;

 private:
  ListBoxControl* list_;
};

class ListBoxControl : public Control {
 public:
  // Kind 19 over the rectangle, with its scroller, indicators and row
  // prototype.
  ListBoxControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t flags, int32_t id,
                 Screen* owner);
  // Destroys every row and the detached indicators.
  ~ListBoxControl() override;

  int32_t Draw(const plat::Rect* clip) override;
  int32_t HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) override;
  // Rows, scroller and screen are the list's own: a copy is a plain control.
  Control* Clone() const override { return Control::Clone(); }

  // The row under a screen point, or null.
  Control* RowAt(int32_t x, int32_t y) const;

  Control* firstRow = nullptr;
  ScrollerControl* scroller = nullptr;
  StringControl* upIndicator = nullptr;
  StringControl* downIndicator = nullptr;
  uint32_t options = 0;
  int32_t scrollOffset = 0;
  int32_t rowStep = 12;
  std::unique_ptr<ListTextRow> prototype;
  int32_t selectedId = 0;
  intptr_t selectedValue = 0;
  uint32_t rowCount = 0;
  int32_t savedSelectedId = 0;
  int32_t savedPosition = 0;
  std::unique_ptr<std::vector<int32_t>> savedSelection;
  std::unique_ptr<ListScreen> screen;
};

ListBoxControl* ListBoxConstruct(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags, int32_t id,
                                 Screen* owner);

void ListAppendRow(ListBoxControl* list, Control* row, int32_t atTop, int32_t id, int32_t relayout);
// A text row holding its own copy of the text (length 0: the text's own).
Control* ListAddTextItem(ListBoxControl* list, const char* text, int32_t id, intptr_t value, uint32_t length,
                         int32_t atTop, int32_t relayout);
// The same with a buffer of at least capacity bytes.
Control* ListAddString(ListBoxControl* list, const char* text, int32_t id, intptr_t value, uint32_t capacity,
                       int32_t atTop, int32_t relayout);
// A row hosting the screen (a zero size takes its form's); with showNow the
// screen is shown and its form cloned into the row at once.
Control* ListAddIconItem(ListBoxControl* list, Screen* screen, int32_t width, int32_t height, int32_t id,
                         int32_t atTop, int32_t relayout, int32_t showNow);
void ListClear(ListBoxControl* list, int32_t silent);
// Readies the list for rows hosting a form: the selected and hovered row
// fills the rows copy become opaque, so a chosen row reads under a form
// that draws no background of its own, whatever fills the list was given.
void ListUseFormRows(ListBoxControl* list);
void ListLayoutRows(ListBoxControl* list);
void ListSetSelection(int32_t extend, ListBoxControl* list, int32_t id, int32_t command);
void ListSelectItem(int32_t extend, ListBoxControl* list, Control* row, int32_t command);
Control* ListNextSelected(const ListBoxControl* list, const Control* after);
Control* ListNextRow(const ListBoxControl* list, const Control* row);
void ListSelectNext(ListBoxControl* list);
void ListSelectPrevious(ListBoxControl* list);
void ListSelectAll(ListBoxControl* list);
void ListDeselectAll(ListBoxControl* list);
void ListSaveSelection(ListBoxControl* list);
void ListPrepareRows(ListBoxControl* list);
int32_t ListApplyToItems(ListBoxControl* list, const std::vector<int32_t>& ids);
void ListResetScroll(ListBoxControl* list);
void ControlRefreshList(ListBoxControl* list);
plat::Rect ListGetClientRect(const ListBoxControl* list);
// Where the row lies on the screen as the list now shows it (scrolled).
plat::Rect ListRowScreenRect(const ListBoxControl* list, const Control* row);
// A row's value word: a text row's own, a form row's key (its id), else 0.
intptr_t ListRowValue(const Control* row);
// The ids of the list's rows that stand for something (above 0), in row
// order, as the list a pop-up opened from the list steps through.
ScreenParameterList ListRowsToStep(ListBoxControl* list);
