#include "ui/panel_vocabulary.h"

#include <cstdio>

#include "app/number_text.h"
#include "platform/fpenv.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"

Control* Tag(Control* form, const char* tag) { return form ? FormFindControlByTag(form, tag) : nullptr; }

Control* Id(Control* form, int32_t id) { return form ? FormFindControlById(form, id) : nullptr; }

bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }

void SetText(Control* control, const char* text) {
  if (control) SetControlText(control, text ? text : "");
}

void SetText(Control* control, const std::string& text) { SetText(control, text.c_str()); }

void SetInt(Control* control, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  SetText(control, text);
}

void SetNumber(Control* control, double value) {
  char text[kNumberTextSize];
  FormatNumberText(text, 0, 0, "", 0, "", 0, value);
  SetText(control, text);
}

void SetFormatted(Control* control, const char* format, int32_t value) {
  char text[128];
  plat::FormatText(text, sizeof text, format, value);
  SetText(control, text);
}

void SetFormatted(Control* control, const char* format, double value) {
  char text[128];
  plat::FormatText(text, sizeof text, format, value);
  SetText(control, text);
}

void Show(Control* control, bool shown) {
  if (control) SetHidden(control, !shown);
}

void ShowTag(Control* form, const char* tag, bool shown) { Show(Tag(form, tag), shown); }
