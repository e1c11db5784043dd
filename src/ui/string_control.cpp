#include "ui/string_control.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/gfx/clipping.h"
#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "app/gfx/text_placement.h"
#include "app/number_text.h"
#include "platform/fpenv.h"
#include "ui/control_frame.h"
#include "ui/edit_control.h"
#include "ui/screen.h"
#include "ui/shown_text_log.h"
#include "ui/text_fit.h"

namespace {

// The font a figure too wide for the small font falls back to.
constexpr int32_t kSmallestFigureFontSlot = 6;

// Text formats (the DrawText flag values the font drawer takes).
constexpr uint32_t kFormatOneLine = 0x920;     // single line, no clipping, no prefix
constexpr uint32_t kFormatSeveralLines = 0x8950;  // word break, tab expansion, end ellipsis

ControlInit AsKind(ControlInit init, int16_t fallback) {
  if (init.kind != kKindText && init.kind != kKindString && init.kind != kKindEdit) init.kind = fallback;
  return init;
}

void ApplyStrings(StringControl& c, const StringInit& s) {
  c.bufferSize = s.bufferSize;
  c.fontSlot = s.fontSlot;
  c.alignment = s.alignment;
  c.textColour = s.textColour;
  c.selectedTextColour = s.selectedTextColour;
  c.flags |= kCtlOwnsText;
}

// The control that shows the form the control belongs to: a list row
// hosting a form, or the control a screen's form was shown in. Null for a
// control outside any shown form.
const Control* FormHostOf(const Control* c) {
  for (const Control* n = c ? c->parent : nullptr; n; n = n->parent) {
    if (n->flags & kCtlHost) return n;
    const Screen* s = n->owner;
    if (s && s->currentForm == n && n->parent && s->host == n->parent) return n->parent;
  }
  return nullptr;
}

// The part of a one-line text's box inside the host of its form, where the
// text as aligned would run out of the host (a list row, or the control a
// screen shows the form in); the box as it is otherwise.
void NarrowToHost(const Control& c, BitmapFont* font, uint32_t format, plat::Rect& box, const std::string& shown) {
  const Control* host = FormHostOf(&c);
  if (!host || !font || shown.empty()) return;
  const plat::Rect h = ControlAbsoluteRect(host);
  const int32_t needed = TextWidth(font, shown);
  int32_t left = box.left;
  if (format & kTextCentre) left = (box.left + box.right - needed) / 2;
  else if (format & kTextRight) left = box.right - needed;
  if (left >= h.left && left + needed <= h.right) return;
  box.left = std::max(box.left, h.left);
  box.right = std::max(box.left, std::min(box.right, h.right));
}

// The part of the box that no shown child covers (a flag or a picture set
// at its end): a text drawn on under the child is hidden from the player.
plat::Rect UncoveredPart(const Control& c, plat::Rect box) {
  const Control* child = c.firstChild;
  for (bool first = true; child && (first || child != c.firstChild); child = child->NextInRing(), first = false) {
    if (child->Hidden()) continue;
    const plat::Rect r = ControlAbsoluteRect(child);
    if (r.top >= box.bottom || r.bottom <= box.top || r.right <= box.left || r.left >= box.right) continue;
    if (r.left - box.left >= box.right - r.right) box.right = std::max(box.left, r.left);
    else box.left = std::min(box.right, r.right);
  }
  return box;
}

}  // namespace

uint32_t StringTextFormat(int16_t kind, uint32_t flags, uint32_t alignment) {
  const bool bottom = (alignment & (kAlignBottom | kAlignBottomAlt)) != 0;
  uint32_t format;
  if (flags & kCtlMultiLine)
    format = bottom ? kFormatSeveralLines | kTextBottom : kFormatSeveralLines;
  else if (bottom)
    format = kFormatOneLine | kTextBottom;
  else
    format = kind == kKindEdit ? kFormatOneLine : kFormatOneLine | kTextVCentre;
  if ((alignment & (kAlignRight | kAlignCentreHalf)) == (kAlignRight | kAlignCentreHalf))
    format |= kTextCentre;
  else if (alignment & kAlignRight)
    format |= kTextRight;
  return format;
}

StringControl::StringControl(const ControlInit& init, const StringInit& strings)
    : Control(AsKind(init, kKindString)) {
  ApplyStrings(*this, strings);
}

TextControl::TextControl(const ControlInit& init, const StringInit& strings)
    : StringControl(AsKind(init, kKindText), strings) {
  sourceText = text;
}

BitmapFont* StringControl::Font() const {
  BitmapFont* font = FontSlot(static_cast<int32_t>(fontSlot));
  return font ? font : FontSlot(0);
}

int32_t StringControl::Draw(const plat::Rect* clip) {
  if (!ControlBeginDraw(this)) return 0;
  const plat::Rect own = ControlAbsoluteRect(this);
  bool clipped = false;
  plat::Rect area{};
  if (clip) {
    area = *clip;
    clipped = true;
  }
  if (flags & kCtlClipText) {
    area = clipped ? plat::Rect{std::max(area.left, own.left), std::max(area.top, own.top),
                                std::min(area.right, own.right), std::min(area.bottom, own.bottom)}
                   : own;
    clipped = true;
  }
  plat::Viewport saved;
  if (clipped && g_renderer.device) {
    if (area.right <= area.left || area.bottom <= area.top) return 0;
    if (plat::Failed(IntersectClipRect(&saved, g_renderer, area.left, area.top, area.right, area.bottom))) return 0;
  }
  ControlDrawFrame(this);
  const uint32_t colour = (Selected() ? selectedTextColour : textColour) | 0xFF000000u;
  plat::Rect box{};
  const FittedText fitted = ShownText(&box);
  const uint32_t format = StringTextFormat(kind, flags, alignment);
  if (ShownTextLogKept() && kind != kKindEdit && !(state & kStateEditing)) {
    const plat::Rect drawn = fitted.text.empty() ? plat::Rect{box.left, box.top, box.left, box.top}
                                                 : TextPlacement(box, fitted.font, fitted.text.c_str(), format);
    NoteShownText(this, Selected() && !selectedText.empty() ? selectedText : text, fitted.text, fitted.font,
                  UncoveredPart(*this, box), drawn, (format & kTextWordBreak) != 0);
  }
  if (!fitted.text.empty()) DrawTextAt(&box, fitted.font, fitted.text.c_str(), format, colour);
  if (clipped && g_renderer.device) SetViewportOrDefault(g_renderer, &saved);
  return 0;
}

FittedText StringControl::ShownText(plat::Rect* where) const {
  const bool selected = Selected();
  plat::Rect box = ControlAbsoluteRect(this);
  if ((flags & kCtlTexturedFrame) && selected) {
    box.left += outlineWidths[kLookNormal];
    box.top += outlineWidths[kLookNormal];
    box.right -= outlineWidths[kLookNormal];
    box.bottom -= outlineWidths[kLookNormal];
  }
  box.left += textInset;
  const std::string& shown = selected && !selectedText.empty() ? selectedText : text;
  // A single line is drawn unclipped: one longer than its box, or than the
  // part of it inside its form's host, is fitted to it, or it runs into its
  // neighbours. A field shows what is typed.
  const bool fit = !shown.empty() && !(flags & kCtlMultiLine) && kind != kKindEdit && !(state & kStateEditing);
  if (fit) NarrowToHost(*this, Font(), StringTextFormat(kind, flags, alignment), box, shown);
  if (where) *where = box;
  if (!fit) return {Font(), shown};
  const int32_t width = box.right - box.left;
  FittedText fitted = FitTextToWidth(Font(), FontSlot(kSmallFigureFontSlot), shown, width);
  // A figure already in the small font may still read whole in the
  // smallest one.
  BitmapFont* smallest = FontSlot(kSmallestFigureFontSlot);
  if (fitted.text != shown && smallest && IsFigureText(shown) && TextWidth(smallest, shown) <= width)
    fitted = {smallest, shown};
  return fitted;
}

void StringControl::SetText(const char* newText) {
  const std::string wanted = std::string(newText ? newText : "").substr(0, EditedLimit());
  std::string& stored = EditedText();
  if (stored.compare(0, EditedLimit(), wanted) == 0 && stored.size() <= EditedLimit()) return;
  Invalidate();
  stored = wanted;
  // A field shows its new text at once, not at its next draw: the owner
  // told below, or a panel reading the field before the frame is drawn,
  // must not find the text it held before.
  if (auto* field = dynamic_cast<TextControl*>(this)) field->ShowSourceText();
  if (owner) owner->OnControlChange(this, id);
}

const char* StringControl::SetTextGet(const char* newText) {
  SetText(newText);
  return GetText();
}

const char* StringControl::SetTextFormat(const char* format, ...) {
  std::vector<char> buffer(size_t{bufferSize} + 1, '\0');
  va_list args;
  va_start(args, format);
  plat::FormatTextV(buffer.data(), buffer.size(), format, args);
  va_end(args);
  SetText(buffer.data());
  return GetText();
}

int32_t StringControl::GetInt() { return static_cast<int32_t>(std::strtol(GetText(), nullptr, 10)); }

float StringControl::GetFloat() { return plat::ParseFloat(GetText(), nullptr); }

const char* StringControl::GetText() { return text.c_str(); }

void TextControl::ShowSourceText() { text = sourceText.substr(0, bufferSize); }

int32_t TextControl::Draw(const plat::Rect* clip) {
  if ((state & kStateDirty) || (flags & kCtlAlwaysRedraw)) ShowSourceText();
  // The cursor is only drawn: a panel that reads the text while the field
  // is still being typed into must not find it there.
  const bool cursor = (state & kStateEditing) && text.size() < bufferSize;
  if (cursor) text += '|';
  const int32_t result = StringControl::Draw(clip);
  if (cursor) text.pop_back();
  return result;
}

void TextControl::EditEnded() { ShowSourceText(); }

bool IsStringKind(const Control* control) {
  return control && (control->kind == kKindText || control->kind == kKindString || control->kind == kKindEdit);
}

void SetControlText(Control* control, const char* newText) {
  if (!IsStringKind(control)) return;
  auto* c = static_cast<StringControl*>(control);
  const std::string copy = newText ? newText : "";
  c->text = copy;
  if (control->kind != kKindString) static_cast<TextControl*>(control)->sourceText = copy;
  c->flags |= kCtlOwnsText;
  // The box keeps the room its form gave it: a short text after a long one
  // must not cut the figures written into it later. A longer text widens it.
  c->bufferSize = std::max(c->bufferSize, static_cast<uint32_t>(copy.size()));
  // An edit field shows what is typed into it up to its edit size, not only
  // as much as the text it was last given.
  if (control->kind == kKindEdit)
    c->bufferSize = std::max(c->bufferSize, static_cast<EditControl*>(control)->editSize);
  c->Invalidate();
}

void SetControlNumberText(int32_t currency, int32_t decimals, const char* leading, int32_t abbreviate,
                          const char* trailing, int32_t pad, double value, Control* control) {
  if (!IsStringKind(control)) return;
  auto* c = static_cast<StringControl*>(control);
  if (c->bufferSize < 3) return;
  char buffer[kNumberTextSize];
  c->SetTextGet(FormatNumberText(buffer, currency, decimals, leading, abbreviate, trailing, pad, value));
}
