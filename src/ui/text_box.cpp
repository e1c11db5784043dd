#include "ui/text_box.h"

#include <algorithm>

#include "app/gfx/fonts.h"
#include "platform/messages.h"
#include "ui/control_focus.h"
#include "ui/scroller.h"
#include "ui/shown_text_log.h"
#include "ui/slide_bar.h"

namespace {

constexpr char kCursorChar = '|';
constexpr unsigned char kParagraph = 182;
constexpr unsigned char kFirstPrintable = 32;
constexpr unsigned char kBreakBelow = 33;
constexpr uint32_t kCharBackspace = 8;
constexpr uint32_t kCharLineFeed = 10;
constexpr uint32_t kCharReturn = 13;
constexpr uint32_t kCharEscape = 27;

}  // namespace

std::vector<WrappedLine> WrapTextLines(std::string_view text, int32_t width,
                                       const std::function<float(unsigned char)>& advance) {
  std::vector<WrappedLine> lines;
  const auto size = static_cast<uint32_t>(text.size());
  uint32_t start = 0;
  float sum = 0.0f;
  int64_t lastBreak = -1;  // the last character below 33 of this line
  uint32_t i = 0;
  while (i < size) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kCharLineFeed || c == kParagraph) {
      lines.push_back({start, i - start});
      start = ++i;
      sum = 0.0f;
      lastBreak = -1;
      continue;
    }
    sum += advance(c);
    if (sum > static_cast<float>(width) && i > start) {
      // Break after the last blank, or before this character.
      const uint32_t next = lastBreak >= 0 ? static_cast<uint32_t>(lastBreak) + 1 : i;
      const uint32_t shown = lastBreak >= 0 ? static_cast<uint32_t>(lastBreak) : i;
      lines.push_back({start, shown - start});
      start = i = next;
      sum = 0.0f;
      lastBreak = -1;
      continue;
    }
    if (c < kBreakBelow) lastBreak = i;
    ++i;
  }
  if (start < size || (size > 0 && (text[size - 1] == kCharLineFeed ||
                                    static_cast<unsigned char>(text[size - 1]) == kParagraph)))
    lines.push_back({start, size - start});
  return lines;
}

TextBoxControl::TextBoxControl(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t boxFlags,
                               int32_t boxId, Screen* boxOwner)
    : ListBoxControl(left, top, width, height, boxFlags, boxId, boxOwner) {
  kind = kKindTextBox;
}

void TextBoxControl::HideCursor() {
  if (!cursorShown) return;
  if (cursor < buffer.size() && buffer[cursor] == kCursorChar) buffer.erase(cursor, 1);
  cursorShown = false;
}

void TextBoxControl::ShowCursor() {
  if (cursorShown) return;
  cursor = std::min<uint32_t>(cursor, static_cast<uint32_t>(buffer.size()));
  buffer.insert(buffer.begin() + cursor, kCursorChar);
  cursorShown = true;
}

void TextBoxControl::Refill() {
  const int32_t keptId = selectedId;
  const int32_t keptPosition = ScrollerPosition(scroller);
  ListClear(this, 1);
  const BitmapFont* font = prototype->Font();
  const int32_t usable = (rect.right - rect.left) - (scroller ? scroller->rect.right - scroller->rect.left : 0);
  const auto lines = WrapTextLines(buffer, usable, [font](unsigned char c) { return GlyphAdvance(font, c); });
  int32_t line = 0;
  for (const WrappedLine& l : lines) {
    const std::string text = buffer.substr(l.offset, l.length);
    ListAddString(this, text.c_str(), ++line, l.offset, 0, 0, 0);
  }
  ListLayoutRows(this);
  selectedId = keptId;
  scroller->SetSelected(keptPosition);
}

void TextBoxSetText(TextBoxControl* box, const char* text, uint32_t capacity, int32_t resetScroll) {
  if (!box) return;
  if (resetScroll) ScrollerSetPosition(box->scroller, 0);
  box->buffer.assign(text ? text : "");
  box->capacity = std::max(capacity, static_cast<uint32_t>(box->buffer.size()));
  box->cursor = 0;
  box->cursorShown = false;
  box->Refill();
}

void TextBoxSetCursor(TextBoxControl* box, uint32_t index) {
  if (!box) return;
  box->HideCursor();
  if (box->capacity > 0 && index < box->capacity - 1) {
    box->cursor = index;
    box->ShowCursor();
  }
}

std::string TextBoxText(const TextBoxControl* box) {
  if (!box) return {};
  std::string text = box->buffer;
  if (box->cursorShown && box->cursor < text.size()) text.erase(box->cursor, 1);
  return text;
}

void TextBoxControl::EditEnded() {
  HideCursor();
  Refill();
}

int32_t TextBoxControl::Draw(const plat::Rect* clip) {
  if (state & kStateEditing) {
    if (!cursorShown) {
      ShowCursor();
      Refill();
    }
  } else if (cursorShown) {
    HideCursor();
    Refill();
  }
  const int32_t drawn = ListBoxControl::Draw(clip);
  if (ShownTextLogKept() && !Hidden() && scroller && !scroller->Hidden()) NoteScrolledText(this, TextBoxText(this));
  return drawn;
}

int32_t TextBoxControl::HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  if (message == static_cast<int32_t>(plat::kWmLButtonDblClk)) {
    Control* row = RowAt(static_cast<int32_t>(p2), static_cast<int32_t>(p3));
    if (owner) {
      owner->OnActivate(this, row ? row->id : -1);
      owner->OnControlMessage(state, state, id, message, p1, p2, p3, this, 0);
    }
    return 0;
  }
  if (message == static_cast<int32_t>(plat::kWmLButtonDown) && (flags & kCtlCaptureOnly)) TextEditSetActive(this);
  return ListBoxControl::HandleMouse(message, p1, p2, p3);
}

int32_t TextBoxControl::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  const bool key = message == static_cast<int32_t>(plat::kWmKeyDown);
  const bool character = message == static_cast<int32_t>(plat::kWmChar);
  if (!key && !character) {
    if (message == static_cast<int32_t>(plat::kWmMouseWheel)) return scroller->HandleInput(message, p1, p2, p3);
    if (message == kControlEnter || message == kControlLeave) {
      if (message == kControlLeave) state &= ~kStatePressed;
      Invalidate();
      if (owner) {
        if (message == kControlEnter) owner->OnMouseEnter(this, id);
        else owner->OnMouseLeave(this, id);
      }
      return 0;
    }
    return ListBoxControl::HandleInput(message, p1, p2, p3);
  }
  if (!(state & kStateEditing)) return 0;
  // Edit the text without the cursor, then put it back where it now is.
  HideCursor();
  const auto length = static_cast<uint32_t>(buffer.size());
  const auto code = static_cast<uint32_t>(p1);
  if (character) {
    if (code == kCharEscape) {
      if (g_controls.capture == this) ReleaseCaptureControl(nullptr, message, p1, p2, p3);
      EndTextEdit();
      Refill();
      return 0;
    }
    if (code == kCharBackspace) {
      if (cursor > 0 && cursor <= length) buffer.erase(--cursor, 1);
    } else if (length + 2 < capacity &&
               (code == kCharReturn || code == kCharLineFeed || (code >= kFirstPrintable && code <= 255))) {
      const char c = static_cast<char>(code == kCharReturn ? kCharLineFeed : code);
      buffer.insert(buffer.begin() + std::min(cursor, length), c);
      ++cursor;
    }
  } else {
    switch (code) {
      case plat::kVkDelete:
        if (cursor < length) buffer.erase(cursor, 1);
        break;
      case plat::kVkLeft:
        if (cursor > 0) --cursor;
        break;
      case plat::kVkRight:
        if (cursor < length) ++cursor;
        break;
      case plat::kVkHome: cursor = 0; break;
      case plat::kVkEnd: cursor = length; break;
      default: break;
    }
  }
  ShowCursor();
  Refill();
  Invalidate();
  if (owner) owner->OnControlChange(this, id);
  return 0;
}
