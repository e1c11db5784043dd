#include "ui/edit_control.h"

#include <algorithm>

#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "platform/messages.h"
#include "ui/control_focus.h"
#include "ui/screen.h"

namespace {

constexpr unsigned char kBackspace = 8;
constexpr unsigned char kTab = 9;
constexpr unsigned char kEnter = 13;
constexpr unsigned char kEscape = 27;
// Half see-through blue: selected text.
constexpr uint32_t kSelectionBand = 0x804C8CE6u;

// Letters of the Windows-1252 text the window sends: ASCII and the accented
// range from 0xC0 (less the multiplication and division signs).
bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

unsigned char Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<unsigned char>(c - 32);
  return c;
}

ControlInit AsEdit(ControlInit init) {
  init.kind = kKindEdit;
  return init;
}

}  // namespace

int32_t EditAdmits(uint32_t classes, unsigned char c) {
  if (c < 32) return -1;
  if (c == ' ' && (classes & kEditNoSpaces)) return -1;
  const uint32_t restricting = kEditLettersDigitsDash | kEditLetters | kEditDigitsDash;
  if (classes & restricting) {
    const bool ok = ((classes & kEditLettersDigitsDash) && (IsLetter(c) || IsDigit(c) || c == '-')) ||
                    ((classes & kEditLetters) && IsLetter(c)) ||
                    ((classes & kEditDigitsDash) && (IsDigit(c) || c == '-'));
    if (!ok) return -1;
  }
  return (classes & kEditUpperCase) ? Upper(c) : c;
}

EditControl::EditControl(const ControlInit& init, const StringInit& strings, uint32_t size, uint32_t charClasses)
    : TextControl(AsEdit(init), strings), editSize(size), classes(charClasses) {
  if (sourceText.size() > editSize) sourceText.resize(editSize);
}

int32_t EditControl::HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  const int32_t result = TextControl::HandleMouse(message, p1, p2, p3);
  const bool press = message == static_cast<int32_t>(plat::kWmLButtonDown) ||
                     message == static_cast<int32_t>(plat::kWmLButtonDblClk);
  // A click puts the field in edit whatever its style bits: taking the
  // capture enters it, and a field that already held the capture (its edit
  // ended by Enter) starts again.
  if (press && !(flags & kCtlNoFocus)) {
    SetCaptureControl(this, message, p1, p2, p3);
    TextEditSetActive(this);
  }
  return result;
}

int32_t EditControl::Draw(const plat::Rect* clip) {
  if (!wholeTextSelected || sourceText.empty()) return TextControl::Draw(clip);
  if ((state & kStateDirty) || (flags & kCtlAlwaysRedraw)) ShowSourceText();
  const int32_t result = StringControl::Draw(clip);
  // The selection's band over the text, which shows through it.
  plat::Rect box{};
  const FittedText fitted = ShownText(&box);
  const int32_t width = std::min(TextWidth(fitted.font, fitted.text), box.right - box.left);
  const uint32_t format = StringTextFormat(kind, flags, alignment);
  int32_t left = box.left;
  if (format & kTextCentre) left = (box.left + box.right - width) / 2;
  else if (format & kTextRight) left = box.right - width;
  if (g_renderer.device && width > 0)
    (void)FillRect2D(kSelectionBand, g_renderer, left, box.top, left + width, box.bottom, 0, 0, 0, kFillModePlain);
  return result;
}

int32_t EditControl::HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3) {
  switch (message) {
    case kControlEnter:
      TextEditSetActive(this);
      Invalidate();
      if (owner) owner->OnMouseEnter(this, id);
      return 0;
    case kControlLeave:
      Invalidate();
      if (owner) {
        owner->OnMouseLeave(this, id);
        if (owner->currentForm == this) owner->OnLeave();
      }
      return 0;
    case static_cast<int32_t>(plat::kWmChar): {
      const auto c = static_cast<unsigned char>(p1 & 0xFF);
      bool command = false;
      // Typing over the selected text replaces it; Backspace clears it.
      // A character the field refuses leaves the selection as it was.
      const bool admitted = EditAdmits(classes, c) >= 0;
      const bool replaced = wholeTextSelected && (c == kBackspace || admitted);
      if (admitted || c < 32) wholeTextSelected = false;
      if (replaced) sourceText.clear();
      if (c == kBackspace) {
        if (!replaced && !sourceText.empty()) sourceText.pop_back();
      } else if (c == kEscape) {
        if (!sourceText.empty()) {
          sourceText.clear();
        } else {
          ReleaseCaptureControl(this, message, p1, p2, p3);
          EndTextEdit();
          if (owner) owner->OnHostNotify(kHostNotifyEditCancelled, 0);
        }
      } else if (c == kEnter) {
        ReleaseCaptureControl(this, message, p1, p2, p3);
        EndTextEdit();
        command = true;
      } else if (c == kTab) {
        command = true;
      } else if (sourceText.size() < editSize) {
        const int32_t typed = EditAdmits(classes, c);
        if (typed >= 0) sourceText += static_cast<char>(typed);
      }
      ShowSourceText();
      Invalidate();
      if (owner) {
        owner->OnControlChange(this, id);
        if (command) owner->OnCommand(this, id);
      }
      return 0;
    }
    case static_cast<int32_t>(plat::kWmKeyDown):
    case static_cast<int32_t>(plat::kWmMouseMove):
    case static_cast<int32_t>(plat::kWmMouseWheel):
      return 0;
    default:
      return 1;
  }
}
