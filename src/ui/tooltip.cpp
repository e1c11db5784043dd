#include "ui/tooltip.h"

#include "app/app_object.h"
#include "app/gfx/fonts.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"

TooltipMeasure g_tooltipMeasure = nullptr;

namespace {

bool MeasureInFont(const Control* control, const char* text, int32_t* width, int32_t* height) {
  const BitmapFont* font = nullptr;
  if (const auto* string = dynamic_cast<const StringControl*>(control)) font = string->Font();
  return MeasureText(font, text, width, height) == plat::kOk;
}

// Moves the span [start, start + size) back inside [0, room) where it sticks
// out; a span wider than the room keeps its start at 0.
int32_t Inside(int32_t start, int32_t size, int32_t room) {
  if (start + size > room) start = room - size;
  return start < 0 ? 0 : start;
}

}  // namespace

void Tooltip::BindControls() { textControl = currentForm ? FormFindControlByTag(currentForm, "TEXT") : nullptr; }

void Tooltip::OnOpen() {
  if (!textControl) BindControls();
  Control* tip = currentForm;
  const char* text = reinterpret_cast<const char*>(id);
  if (!tip) return;
  // A tip without words, or a form without the control to hold them, would
  // be an empty box over what the pointer rests on.
  if (!text || !*text || !textControl) {
    g_ui.tooltipShown = 0;
    return;
  }
  textControl->SetText(text);
  int32_t textWidth = 0, textHeight = 0;
  const bool measured = g_tooltipMeasure ? g_tooltipMeasure(textControl, text, &textWidth, &textHeight)
                                         : MeasureInFont(textControl, text, &textWidth, &textHeight);
  if (measured) {
    textControl->rect.right = textControl->rect.left + textWidth;
    textControl->rect.bottom = textControl->rect.top + textHeight;
  }
  tip->rect.right = tip->rect.left + textControl->rect.right + 8;
  tip->rect.bottom = tip->rect.top + textControl->rect.bottom + 8;
  const int32_t width = tip->rect.right - tip->rect.left, height = tip->rect.bottom - tip->rect.top;
  const int32_t left = Inside(g_ui.lastCursorX, width, g_platform.clientRect.right);
  const int32_t top = Inside(g_ui.lastCursorY - height, height, g_platform.clientRect.bottom);
  RectMoveTo(&tip->rect, left, top);
  g_ui.tooltipShown = 1;
}
