#include "ui/list_control.h"

#include <algorithm>
#include <cstring>

#include "app/gfx/clipping.h"
#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "platform/messages.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_frame.h"
#include "ui/control_tree.h"
#include "ui/scroller.h"
#include "ui/shown_text_log.h"
#include "ui/slide_bar.h"

namespace {

constexpr uint32_t kListFill = 0xFF000000u;
constexpr uint32_t kListOutline = 0xFF96964Bu;
constexpr uint32_t kListGains = 0x8200000;
constexpr uint32_t kScrollerFlags = kScrollVertical | kScrollArrowsDetached;
constexpr int32_t kThinScroller = 4;
constexpr int32_t kWideScroller = 8;
constexpr int32_t kRowHeight = 16;
constexpr int32_t kIndicatorHeight = 8;
constexpr int32_t kRowFontSlot = 3;
// The arrows that show more rows above or below are drawn in the smallest
// font: the rows' font is taller than their strip, and its arrows stood
// out of the list's box.
constexpr int32_t kIndicatorFontSlot = 6;
constexpr uint32_t kRowFlags = 0x200051;  // focus look, command on press, radio, button
constexpr uint32_t kIndicatorGains = 0x180000C1;
// Opaque, so the rows read the same over whatever lies behind the list. A
// hovered row's fill is or-ed into its own, so a hovered selected row shows
// the two together.
constexpr uint32_t kRowSelectedFill = 0xFF2E4A6Au;
constexpr uint32_t kRowFocusedFill = 0xFF1A3450u;
constexpr uint32_t kRowSelectedOutline = 0xFF00C800u;
constexpr uint32_t kRowFocusedOutline = 0xFF00FF00u;
constexpr uint32_t kRowText = 0xFFFFFF64u;
constexpr uint32_t kRowSelectedText = 0xFFFFFFFFu;
constexpr uint32_t kRowAlignment = 6;
constexpr int32_t kHostNotifyShownInBox = 99;
constexpr int32_t kMaxThumbFloor = 2000;
constexpr int32_t kWheelNotch = 120;
constexpr int32_t kNotchLimit = 5000;

template <typename Fn>
void EachRow(const ListBoxControl* list, Fn fn) {
  Control* first = list->firstRow;
  if (!first) return;
  Control* c = first;
  do {
    Control* next = c->NextInRing();
    fn(c);
    c = next;
  } while (c && c != first);
}

Control* LastRow(const ListBoxControl* list) {
  if (!list->firstRow) return nullptr;
  Control* prev = list->firstRow->PrevInRing();
  return prev ? prev : list->firstRow;
}

bool ScrollerVisible(const ListBoxControl* list) { return list->scroller && !list->scroller->Hidden(); }

void SetHidden(Control* c, bool hidden) {
  if (!c) return;
  if (hidden) c->state |= kStateHidden;
  else c->state &= ~kStateHidden;
  c->Invalidate();
}

int32_t ScrollerWidth(const ListBoxControl* list) { return list->scroller ? Width(list->scroller) : 0; }

// The room the rows of a whole-row list may fill: the box less the
// indicators' strips. Both arrows share one strip at the foot when that
// lets one more row show, so a box shows every row it has room for.
struct WholeRows {
  int32_t height = 0;  // of each row; 0 when the rows are not shown whole
  int32_t top = 0;     // where the first row starts below the list's top
  int32_t visible = 0; // the rows' whole height in view
  bool sharedFoot = false;
};

WholeRows WholeRowLayout(const ListBoxControl* list) {
  WholeRows out;
  const Control* first = list->firstRow;
  if (!first || !(first->flags & kCtlHost)) return out;
  const int32_t height = Height(first);
  bool uniform = height > 0;
  int32_t total = 0;
  EachRow(list, [&](Control* row) {
    uniform = uniform && (row->flags & kCtlHost) && Height(row) == height;
    total += Height(row);
  });
  const bool arrows = (list->flags & kListIndicators) != 0;
  const int32_t foot = Height(list) - (arrows ? kIndicatorHeight : 0);
  if (!uniform || total <= Height(list) || foot < height) return out;
  out.height = height;
  const int32_t apart = Height(list) - (arrows ? 2 * kIndicatorHeight : 0);
  const int32_t rowsApart = apart / height, rowsShared = foot / height;
  out.sharedFoot = arrows && rowsShared > rowsApart;
  out.top = arrows && !out.sharedFoot ? kIndicatorHeight : 0;
  out.visible = (out.sharedFoot ? rowsShared : rowsApart) * height;
  return out;
}

// The height of every row when all rows host a form and are equally high,
// they do not all fit, and the list has room for at least one of them;
// else 0. Such rows are shown whole: the list shows as many as fit beside
// its indicators and scrolls by whole rows.
int32_t WholeRowHeight(const ListBoxControl* list) { return WholeRowLayout(list).height; }

// Where the rows start below the list's top.
int32_t RowsTop(const ListBoxControl* list) { return WholeRowLayout(list).top; }

// The list's visible height for the rows (less the bottom indicator's
// room with the indicators shown; whole rows only, for rows shown whole).
int32_t VisibleHeight(const ListBoxControl* list) {
  if (const WholeRows whole = WholeRowLayout(list); whole.height) return whole.visible;
  int32_t visible = Height(list);
  if (list->flags & kListIndicators) visible -= kIndicatorHeight;
  return visible;
}

// The arrows' strips: the up arrow at the top and the down arrow at the
// foot, each as wide as the rows, or both side by side in the foot strip.
void PlaceIndicators(ListBoxControl* list, int32_t width) {
  const int32_t foot = Height(list) - kIndicatorHeight;
  if (WholeRowLayout(list).sharedFoot) {
    list->upIndicator->rect = {0, foot, width / 2, foot + kIndicatorHeight};
    list->downIndicator->rect = {width / 2, foot, width, foot + kIndicatorHeight};
  } else {
    list->upIndicator->rect = {0, 0, width, kIndicatorHeight};
    list->downIndicator->rect = {0, foot, width, foot + kIndicatorHeight};
  }
}

int32_t TotalHeight(const ListBoxControl* list) {
  const Control* last = LastRow(list);
  return last ? last->rect.bottom : 0;
}

void ShowIndicators(ListBoxControl* list, bool scrolling) {
  if (!(list->flags & kListIndicators)) return;
  const int32_t p = ScrollerPosition(list->scroller);
  SetHidden(list->upIndicator, !scrolling || list->scrollOffset == 0);
  SetHidden(list->downIndicator, !scrolling || p >= kSliderRange);
}

// The offset the bar's position stands for.
void ScrollFromBar(ListBoxControl* list) {
  const int32_t total = TotalHeight(list);
  const int32_t visible = VisibleHeight(list);
  if (total > visible) {
    list->scrollOffset =
        static_cast<int32_t>(int64_t{ScrollerPosition(list->scroller)} * (total - visible) / kSliderRange);
    if (const int32_t row = WholeRowHeight(list))
      list->scrollOffset = std::min((list->scrollOffset + row / 2) / row * row, total - visible);
    ShowIndicators(list, true);
  } else {
    list->scrollOffset = 0;
    ShowIndicators(list, false);
  }
  list->Invalidate();
}

void Notify(ListBoxControl* list) {
  if (list->owner) list->owner->OnControlChange(list, list->selectedId);
}

void Wheel(ListBoxControl* list, int32_t notches) {
  const auto high = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(notches * kWheelNotch)));
  list->scroller->HandleInput(static_cast<int32_t>(plat::kWmMouseWheel), static_cast<intptr_t>(high << 16), 0, 0);
}

// A row that hosts a form carries its key as its id, which is then its value.
bool IsValueKind(const Control* c) {
  return c->kind == kKindText || c->kind == kKindString || c->kind == kKindEdit || (c->flags & kCtlHost) != 0;
}

}  // namespace

intptr_t ListRowValue(const Control* row) {
  if (const auto* text = dynamic_cast<const ListTextRow*>(row)) return text->value;
  return row && (row->flags & kCtlHost) ? row->id : 0;
}

ScreenParameterList ListRowsToStep(ListBoxControl* list) {
  ScreenParameterList rows;
  rows.listControl = list;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    if (row->id > 0) rows.entries.push_back(row->id);
  return rows;
}

void ListScreen::OnControlChange(Control* control, int32_t id) {
  if (control == list_->scroller) {
    ScrollFromBar(list_);
  } else if (control == list_->upIndicator || control == list_->downIndicator) {
    Wheel(list_, id == kListUpIndicatorId ? 1 : -1);
  }
}

ListBoxControl::ListBoxControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t listFlags,
                               int32_t listId, Screen* listOwner)
    : screen(std::make_unique<ListScreen>(this)) {
  kind = kKindListBox;
  flags = listFlags | kListGains;
  id = listId;
  owner = listOwner;
  rect = {left, top, left + width, top + height};
  fills[0] = fills[1] = fills[2] = kListFill;
  outlines[0] = outlines[1] = outlines[2] = kListOutline;
  outlineWidths[0] = outlineWidths[1] = outlineWidths[2] = 1;

  const int32_t column = (flags & kListIndicators) ? kThinScroller : kWideScroller;
  scroller = new ScrollerControl(width - column, 0, column, height, kScrollerFlags, kListScrollerId, screen.get());
  ControlAddChild(this, scroller);

  ControlInit row;
  row.kind = kKindString;
  row.flags = kRowFlags;
  row.fillSelected = kRowSelectedFill;
  row.width = width - column;
  row.height = kRowHeight;
  StringInit strings;
  strings.fontSlot = FontSlot(kRowFontSlot) ? kRowFontSlot : 0;
  strings.alignment = kRowAlignment;
  strings.textColour = kRowText;
  strings.selectedTextColour = kRowSelectedText;
  prototype = std::make_unique<ListTextRow>(row, strings);
  prototype->fills[kLookFocused] = kRowFocusedFill;
  prototype->outlines[kLookNormal] = 0;
  prototype->outlines[kLookSelected] = kRowSelectedOutline;
  prototype->outlines[kLookFocused] = kRowFocusedOutline;

  auto indicator = [&](int32_t indicatorId, const char* glyph, int32_t y) {
    auto* c = static_cast<StringControl*>(prototype->Clone());
    c->flags |= kIndicatorGains;
    c->id = indicatorId;
    c->owner = screen.get();
    c->text = glyph;
    if (FontSlot(kIndicatorFontSlot)) c->fontSlot = kIndicatorFontSlot;
    c->rect = {0, y, width - column, y + kIndicatorHeight};
    if (flags & kListIndicators) ControlAddChild(this, c);
    return c;
  };
  upIndicator = indicator(kListUpIndicatorId, "\x7F", 0);
  downIndicator = indicator(kListDownIndicatorId, "\x81", height - kIndicatorHeight);
}

ListBoxControl::~ListBoxControl() {
  while (firstRow) {
    Control* row = firstRow;
    firstRow = static_cast<Control*>(row->Unlink());
    delete row;
  }
  for (StringControl* c : {upIndicator, downIndicator})
    if (c && c->parent != this) delete c;
  while (firstChild) delete firstChild;
}

ListBoxControl* ListBoxConstruct(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags, int32_t id,
                                 Screen* owner) {
  return new ListBoxControl(x, y, width, height, flags, id, owner);
}

plat::Rect ListGetClientRect(const ListBoxControl* list) {
  if (!list) return {};
  plat::Rect r = ControlAbsoluteRect(list);
  if (list->flags & kListIndicators) {
    if (list->upIndicator && !list->upIndicator->Hidden()) r.top += kIndicatorHeight;
    if (list->downIndicator && !list->downIndicator->Hidden()) r.bottom -= kIndicatorHeight;
  }
  if (ScrollerVisible(list)) r.right -= ScrollerWidth(list);
  if (const WholeRows whole = WholeRowLayout(list); whole.height) {
    r.top = ControlAbsoluteRect(list).top + whole.top;
    r.bottom = r.top + whole.visible;
  }
  return r;
}

plat::Rect ListRowScreenRect(const ListBoxControl* list, const Control* row) {
  if (!list || !row) return {};
  const plat::Rect r = ControlAbsoluteRect(list);
  const int32_t top = r.top + RowsTop(list) - list->scrollOffset;
  return {r.left + row->rect.left, top + row->rect.top, r.left + row->rect.right, top + row->rect.bottom};
}

void ListAppendRow(ListBoxControl* list, Control* row, int32_t atTop, int32_t id, int32_t relayout) {
  if (!list || !row) return;
  row->parent = nullptr;
  if (!list->firstRow) {
    list->firstRow = row;
  } else if (atTop) {
    list->firstRow->Append(row);
    list->firstRow = row;
  } else {
    const int32_t below = LastRow(list)->rect.bottom;
    row->rect.top += below;
    row->rect.bottom += below;
    list->firstRow->Append(row);
  }
  row->id = id;
  ++list->rowCount;
  if (relayout) ListLayoutRows(list);
}

Control* ListAddString(ListBoxControl* list, const char* text, int32_t id, intptr_t value, uint32_t capacity,
                       int32_t atTop, int32_t relayout) {
  if (!list) return nullptr;
  auto* row = static_cast<ListTextRow*>(list->prototype->Clone());
  const std::string copy = text ? text : "";
  row->text = copy;
  row->value = value;
  row->owner = nullptr;
  row->bufferSize = std::max<uint32_t>(capacity, static_cast<uint32_t>(copy.size()) + 1);
  int32_t w = 0, h = 0;
  if (plat::Succeeded(MeasureText(row->Font(), copy.c_str(), &w, &h)) && h > Height(row))
    row->rect.bottom = row->rect.top + h;
  ListAppendRow(list, row, atTop, id, relayout);
  return row;
}

Control* ListAddTextItem(ListBoxControl* list, const char* text, int32_t id, intptr_t value, uint32_t length,
                         int32_t atTop, int32_t relayout) {
  // The row keeps a copy: callers pass buffers they reuse for the next row.
  return ListAddString(list, text, id, value, length, atTop, relayout);
}

Control* ListAddIconItem(ListBoxControl* list, Screen* hosted, int32_t width, int32_t height, int32_t id,
                         int32_t atTop, int32_t relayout, int32_t showNow) {
  if (!list) return nullptr;
  const ListTextRow& p = *list->prototype;
  Control* form = hosted ? (hosted->currentForm ? hosted->currentForm : hosted->form) : nullptr;
  if (!width && form) width = Width(form);
  if (!height && form) height = Height(form);
  ControlInit init;
  init.flags = p.flags | kCtlHost;
  init.width = width;
  init.height = height;
  auto* row = new BoxControl(init);
  row->index = kRunTimeRow;
  row->frameStyle = p.frameStyle;
  std::memcpy(row->fills, p.fills, sizeof row->fills);
  std::memcpy(row->outlines, p.outlines, sizeof row->outlines);
  std::memcpy(row->outlineWidths, p.outlineWidths, sizeof row->outlineWidths);
  row->hostedScreen = hosted;
  if (showNow && hosted) {
    hosted->Show(id, nullptr);
    hosted->OnHostNotify(kHostNotifyShownInBox, width);
    if (hosted->currentForm) ControlAddChild(row, ControlDeepClone(hosted->currentForm));
  }
  ListAppendRow(list, row, atTop, id, relayout);
  return row;
}

void ListUseFormRows(ListBoxControl* list) {
  if (!list || !list->prototype) return;
  for (const int look : {kLookSelected, kLookFocused}) list->prototype->fills[look] |= 0xFF000000u;
}

void ListClear(ListBoxControl* list, int32_t silent) {
  if (!list) return;
  while (list->firstRow) {
    Control* row = list->firstRow;
    list->firstRow = static_cast<Control*>(row->Unlink());
    if (row->index == kRunTimeRow) delete row;
  }
  list->scrollOffset = 0;
  list->selectedId = 0;
  list->selectedValue = 0;
  list->rowCount = 0;
  ScrollerSetPosition(list->scroller, 0);
  ScrollerSetThumb(list->scroller, kSliderRange);
  if (!silent && list->owner) list->owner->OnControlChange(list, 0);
  ListLayoutRows(list);
}

void ListLayoutRows(ListBoxControl* list) {
  if (!list) return;
  int32_t total = 0;
  EachRow(list, [&](Control* row) {
    RectMoveTo(&row->rect, 0, total);
    total += Height(row);
  });
  ScrollerControl* s = list->scroller;
  if (Height(s) != Height(list)) s->Resize(Width(s), Height(list));
  // A list resized after it was made (a pop-up narrowed to its rows) keeps
  // its scroller and arrows inside its own rectangle.
  RectMoveTo(&s->rect, Width(list) - Width(s), 0);
  PlaceIndicators(list, Width(list) - Width(s));
  int32_t rowWidth = Width(list);
  const int32_t whole = WholeRowHeight(list);
  if (total > (whole ? VisibleHeight(list) : Height(list))) {
    const int32_t visible = VisibleHeight(list);
    ScrollerSetThumb(s, std::max<int32_t>(kMaxThumbFloor, static_cast<int32_t>(int64_t{visible} * kSliderRange / total)));
    list->scrollOffset = std::clamp(list->scrollOffset, 0, total - visible);
    if (whole) list->scrollOffset -= list->scrollOffset % whole;
    ScrollerSetPosition(s, static_cast<int32_t>(int64_t{list->scrollOffset} * kSliderRange / (total - visible)));
    // A notch of the wheel moves a whole row where rows are shown whole.
    const int32_t step = whole ? whole : list->rowStep;
    const int32_t notches = static_cast<int32_t>(static_cast<float>(total - visible) / step + 0.9f);
    s->bar->notches = static_cast<uint16_t>(notches > kNotchLimit ? 0 : notches);
    if (!(list->options & kListFullWidthRows)) {
      SetHidden(s, false);
      rowWidth = Width(list) - Width(s) - 1;
    }
    ShowIndicators(list, true);
  } else {
    ScrollerSetThumb(s, kSliderRange);
    ScrollerSetPosition(s, 0);
    list->scrollOffset = 0;
    SetHidden(s, true);
    SetHidden(list->upIndicator, true);
    SetHidden(list->downIndicator, true);
  }
  EachRow(list, [&](Control* row) { row->rect.right = row->rect.left + rowWidth; });
  list->Invalidate();
}

void ListSelectItem(int32_t extend, ListBoxControl* list, Control* row, int32_t command) {
  if (!list) return;
  list->selectedValue = 0;
  Control* current = nullptr;
  if (!row) {
    if (list->firstRow && (list->firstRow->flags & kCtlRadio)) ControlClearSelection(list->firstRow, 1);
  } else if ((row->flags & kCtlRadio) && !extend) {
    row->SetState(row->state | kStateSelected, 0, nullptr, 0, 0, 0, 0, 1);
    current = row;
  } else {
    const uint32_t saved = row->flags;
    if (extend) row->flags &= ~kCtlRadio;
    row->SetState(row->state ^ kStateSelected, 0, nullptr, 0, 0, 0, 0, 1);
    row->flags = saved;
    current = row->Selected() ? row : ListNextSelected(list, nullptr);
  }
  if (current && IsValueKind(current)) list->selectedValue = ListRowValue(current);
  const int32_t newId = current ? current->id : 0;
  if (newId != list->selectedId || row) {
    list->selectedId = newId;
    if (list->owner) {
      list->owner->OnControlChange(list, newId);
      if (command) list->owner->OnCommand(list, newId);
    }
  }
}

void ListSetSelection(int32_t extend, ListBoxControl* list, int32_t id, int32_t command) {
  if (!list) return;
  Control* found = nullptr;
  if (id != 0) {
    EachRow(list, [&](Control* row) {
      if (!found && row->id == id) found = row;
    });
  }
  if (found) {
    ListSelectItem(extend, list, found, command);
    return;
  }
  if (list->firstRow) ControlClearSelection(list->firstRow, 1);
  list->selectedValue = 0;
  if (list->selectedId != 0) {
    list->selectedId = 0;
    Notify(list);
  }
}

Control* ListNextRow(const ListBoxControl* list, const Control* row) {
  if (!list || !list->firstRow) return nullptr;
  if (!row) return list->firstRow;
  Control* next = row->NextInRing();
  return next && next != list->firstRow ? next : nullptr;
}

Control* ListNextSelected(const ListBoxControl* list, const Control* after) {
  for (Control* r = ListNextRow(list, after); r; r = ListNextRow(list, r))
    if (r->Selected()) return r;
  return nullptr;
}

namespace {

// Makes the row the only selected one, without commands; the owner hears
// the change.
void MoveSelection(ListBoxControl* list, Control* target) {
  EachRow(list, [](Control* r) { r->state &= ~kStateSelected; r->Invalidate(); });
  target->state |= kStateSelected;
  list->selectedId = target->id;
  list->selectedValue = IsValueKind(target) ? ListRowValue(target) : 0;
  Notify(list);
  list->Invalidate();
}

}  // namespace

void ListSelectNext(ListBoxControl* list) {
  Control* current = ListNextSelected(list, nullptr);
  if (!current) return;
  Control* next = ListNextRow(list, current);
  MoveSelection(list, next ? next : current);
}

void ListSelectPrevious(ListBoxControl* list) {
  Control* current = ListNextSelected(list, nullptr);
  if (!current) return;
  MoveSelection(list, current == list->firstRow ? current : current->PrevInRing());
}

void ListSelectAll(ListBoxControl* list) {
  if (!list) return;
  EachRow(list, [](Control* r) { r->state |= kStateSelected; r->Invalidate(); });
  list->selectedId = list->firstRow ? list->firstRow->id : 0;
  list->selectedValue = list->firstRow ? ListRowValue(list->firstRow) : 0;
}

void ListDeselectAll(ListBoxControl* list) {
  if (!list) return;
  EachRow(list, [](Control* r) { r->state &= ~kStateSelected; r->Invalidate(); });
  list->selectedId = 0;
  list->selectedValue = 0;
}

void ListSaveSelection(ListBoxControl* list) {
  if (!list) return;
  list->savedSelectedId = list->selectedId;
  list->savedPosition = ScrollerPosition(list->scroller);
}

void ListPrepareRows(ListBoxControl* list) {
  if (!list) return;
  if (!list->savedSelection) list->savedSelection = std::make_unique<std::vector<int32_t>>();
  ListSaveSelection(list);
  list->savedSelection->clear();
  EachRow(list, [&](Control* r) {
    if (r->Selected()) list->savedSelection->push_back(r->id);
  });
}

int32_t ListApplyToItems(ListBoxControl* list, const std::vector<int32_t>& ids) {
  if (!list) return 0;
  int32_t count = 0;
  for (int32_t want : ids) {
    Control* found = nullptr;
    EachRow(list, [&](Control* r) {
      if (!found && r->id == want) found = r;
    });
    if (!found) continue;
    if (!found->Selected()) ListSelectItem(1, list, found, 0);
    ++count;
  }
  return count;
}

void ListResetScroll(ListBoxControl* list) {
  if (!list) return;
  list->savedSelectedId = 0;
  list->savedPosition = 0;
  list->selectedId = 0;
  list->selectedValue = 0;
  ScrollerSetPosition(list->scroller, 0);
  ScrollFromBar(list);
}

void ControlRefreshList(ListBoxControl* list) {
  if (!list) return;
  if (list->firstRow) {
    ListSelectItem(0, list, nullptr, 0);
    return;
  }
  list->selectedValue = 0;
  if (list->selectedId != 0) {
    list->selectedId = 0;
    Notify(list);
  }
}

Control* ListBoxControl::RowAt(int32_t x, int32_t y) const {
  if (!firstRow) return nullptr;
  const plat::Rect client = ListGetClientRect(this);
  if (x < client.left || x >= client.right || y < client.top || y >= client.bottom) return nullptr;
  const plat::Rect r = ControlAbsoluteRect(this);
  return ControlHitTest(firstRow, x - r.left, y - r.top - RowsTop(this) + scrollOffset, 0, 1);
}

int32_t ListBoxControl::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  ControlDrawFrame(this);
  if (!firstRow) return 0;
  const plat::Rect client = ListGetClientRect(this);
  const plat::Rect r = ControlAbsoluteRect(this);
  plat::Viewport saved{};
  if (plat::Succeeded(IntersectClipRect(&saved, g_renderer, client.left, client.top, client.right, client.bottom))) {
    // Rows laid out for another height hide some of them: rows that all
    // fit yet stand scrolled or beside a bar, or rows past the foot with
    // no bar to reach them.
    if (ShownTextLogKept() && scroller) {
      const bool fit = TotalHeight(this) <= (WholeRowHeight(this) ? VisibleHeight(this) : Height(this)), bar = !scroller->Hidden();
      if (fit ? scrollOffset != 0 || bar : !bar && !(options & kListFullWidthRows)) NoteHiddenRows(this, scrollOffset);
    }
    NoteRowsOfList(this);
    ControlDrawAtOffset(r.left, r.top + RowsTop(this) - scrollOffset, kAnyDepth, 1, 1, &client, 0, firstRow);
    NoteRowsOfList(nullptr);
    SetViewportOrDefault(g_renderer, &saved);
  }
  return 0;
}

int32_t ListBoxControl::HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  Control* row = RowAt(static_cast<int32_t>(p2), static_cast<int32_t>(p3));
  const auto msg = static_cast<uint32_t>(message);
  if (row && (row->flags & kCtlButton)) {
    switch (msg) {
      case plat::kWmLButtonDown:
      case plat::kWmLButtonDblClk: {
        SetCaptureControl(this, message, p1, p2, p3);
        const bool extend = (p1 & plat::kMkControl) && !(flags & kListSingleSelect);
        ListSelectItem(extend, this, row, 0);
        state |= kStatePressed;
        if (owner) {
          owner->OnCommand(this, row->id);
          if (msg == plat::kWmLButtonDblClk) owner->OnActivate(this, row->id);
        }
        Invalidate();
        break;
      }
      case plat::kWmLButtonUp: state &= ~kStatePressed; break;
      case plat::kWmRButtonDown:
      case plat::kWmRButtonDblClk:
      case plat::kWmMButtonDown:
      case plat::kWmMButtonDblClk:
        if (g_controls.capture == this) ReleaseCaptureControl(nullptr, message, p1, p2, p3);
        break;
      default: break;
    }
  }
  if (owner) owner->OnControlMessage(state, state, id, message, p1, p2, p3, this, 0);
  return 0;
}

int32_t ListBoxControl::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  switch (message) {
    case kControlLeave:
      state &= ~kStatePressed;
      if (firstRow) ControlClearFocusMarks(firstRow);
      if (owner) owner->OnMouseLeave(this, id);
      break;
    case kControlEnter:
      if (owner) owner->OnMouseEnter(this, id);
      break;
    case static_cast<int32_t>(plat::kWmKeyDown):
    case static_cast<int32_t>(plat::kWmMouseWheel):
      return scroller->HandleInput(message, p1, p2, p3);
    case static_cast<int32_t>(plat::kWmMouseMove): {
      // The frame hands the resting pointer over every frame: the list is
      // drawn again only when the row marked under it changes.
      Control* row = RowAt(static_cast<int32_t>(p2), static_cast<int32_t>(p3));
      if (row && (row->state & kStateFocused)) return 0;
      bool changed = false;
      if (Control* first = firstRow) {
        Control* r = first;
        do {
          changed = changed || (r->state & kStateFocused) != 0;
          r = r->NextInRing();
        } while (r && r != first);
        ControlClearFocusMarks(first);
      }
      if (row && !(p1 & plat::kMkLButton) && (row->flags & kCtlShowFocus)) {
        row->state |= kStateFocused;
        changed = true;
        if (owner) owner->OnSetFocus(this, row->id);
      }
      if (!changed) return 0;
      break;
    }
    default:
      return 1;
  }
  Invalidate();
  return 0;
}
