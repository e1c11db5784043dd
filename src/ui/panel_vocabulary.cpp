#include "ui/panel_vocabulary.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/number_text.h"
#include "platform/fpenv.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"

namespace {

// One value through a printf format, rounded to nearest whatever mode the
// game computes in.
template <class Value>
std::string Formatted(const char* format, Value value) {
  char text[128];
  plat::FormatText(text, sizeof text, format, value);
  return text;
}

}  // namespace

Control* Tag(Control* form, const char* tag) { return form ? FormFindControlByTag(form, tag) : nullptr; }

Control* Id(Control* form, int32_t id) { return form ? FormFindControlById(form, id) : nullptr; }

Control* Tag(const Screen& screen, const char* tag) { return Tag(screen.currentForm, tag); }

Control* Id(const Screen& screen, int32_t id) { return Id(screen.currentForm, id); }

bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }

bool Pressed(const Control* control) { return control && (control->state & kStateSelected); }

void SetText(Control* control, const char* text) {
  if (!control) return;
  // A text box owns its copy and grows its room to it; any other control
  // keeps the text as its caption.
  if (IsStringKind(control)) SetControlText(control, text ? text : "");
  else ControlSetText(control, text);
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
  SetText(control, Formatted(format, value));
}

void SetFormatted(Control* control, const char* format, double value) {
  SetText(control, Formatted(format, value));
}

void SetNumberWhereRoom(Control* control, double value) {
  auto* box = dynamic_cast<StringControl*>(control);
  if (!box || box->bufferSize < 3) return;
  char text[kNumberTextSize];
  FormatNumberText(text, 0, 0, "", 0, "", 0, value);
  ControlSetText(control, text);
}

void SetFigure(Control* control, double value) { SetControlNumberText(0, 0, "", 0, "", 0, value, control); }

void SetMoney(Control* control, double amount) { SetControlNumberText(1, 0, "", 0, "", 0, amount, control); }

void SetMoneyShort(Control* control, double amount) { SetControlNumberText(1, 0, "", 1, "", 0, amount, control); }

namespace {

bool SameRow(const Control* a, const Control* b) { return a->rect.top == b->rect.top && a->rect.bottom == b->rect.bottom; }
bool Tagged(const Control* c) { return c->tag[0] != '\0'; }

}  // namespace

bool IsCharged(float baseCost) { return baseCost != 0.0f && std::isfinite(baseCost); }

void SetChargedMoney(Control* control, double amount, bool charged) {
  if (!control) return;
  if (charged) SetMoneyShort(control, amount);
  SetControlFlag(control, kStateHidden, charged ? 0 : 1);
  Control* parent = control->parent;
  if (!parent || !parent->firstChild) return;
  // The row's label goes with the last of its figures.
  bool rowShown = false;
  Control* c = parent->firstChild;
  do {
    if (SameRow(c, control) && (Tagged(c) || c->id != 0) && !c->Hidden()) rowShown = true;
    c = c->NextInRing();
  } while (c && c != parent->firstChild);
  c = parent->firstChild;
  do {
    if (c != control && SameRow(c, control) && !Tagged(c) && c->id == 0 && c->rect.right <= control->rect.left)
      SetControlFlag(c, kStateHidden, rowShown ? 0 : 1);
    c = c->NextInRing();
  } while (c && c != parent->firstChild);
}

void SetPercent(Control* control, const char* format, float fraction) {
  if (!control) return;
  char text[32];
  plat::FormatText(text, sizeof text, format, static_cast<double>(fraction * 100.0f));
  SetControlText(control, text);
}

void EnterText(Control* control, const char* text) {
  if (control) control->SetText(text ? text : "");
}

void EnterInt(Control* control, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  EnterText(control, text);
}

void EnterFormatted(Control* control, const char* format, int32_t value) {
  EnterText(control, Formatted(format, value).c_str());
}

void EnterFormatted(Control* control, const char* format, double value) {
  EnterText(control, Formatted(format, value).c_str());
}

void Press(Control* control, bool pressed) { SetControlFlag(control, kStateSelected, pressed ? 1 : 0); }

void Show(Control* control, bool shown) {
  if (control) SetHidden(control, !shown);
}

void ShowTag(Control* form, const char* tag, bool shown) { Show(Tag(form, tag), shown); }
