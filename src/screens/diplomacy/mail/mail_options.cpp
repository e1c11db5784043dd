#include "screens/diplomacy/mail/mail_options.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/message_types.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

constexpr int32_t kHighestGaugeFrame = 4;
constexpr int32_t kHighestDescription = 3;
constexpr int32_t kLevelScale = 40;
constexpr int32_t kFirstFilterId = 30;
constexpr int32_t kFilterBits = 32;
constexpr uint8_t kHiddenByPlayer = 0x1;

const char* const kSliderTags[3] = {"SLIDER1", "SLIDER2", "SLIDER3"};
const char* const kGaugeTags[3] = {"VALUE1", "VALUE2", "VALUE3"};
const char* const kDescriptionTags[3] = {"DESC1", "DESC2", "DESC3"};

int32_t* Level(int i) {
  int32_t* levels[3] = {&g_uiOptions.emaillevel, &g_uiOptions.statuslevel, &g_uiOptions.newslevel};
  return levels[i];
}

int32_t ToggleOn(const Control* c) { return c && c->Selected() ? 1 : 0; }

}  // namespace

int32_t MailOptionGaugeFrame(int32_t level) {
  const int32_t frame = (level + 5) / 11;
  return frame < kHighestGaugeFrame ? frame : kHighestGaugeFrame;
}

int32_t MailOptionDescription(int32_t level) {
  const int32_t d = level / 11;
  return d < kHighestDescription ? d : kHighestDescription;
}

int32_t ParseMailDeleteDays(const char* text, int32_t old) {
  if (!text || !*text) return old;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || value < 0 || value > INT_MAX) return old;
  return static_cast<int32_t>(value);
}

void UnhideMessageTypes() {
  auto& records = g_ruleTables.messageTypes.records;
  // The turn thread reads the bit while it posts.
  for (size_t t = 1; t < records.size(); ++t)
    std::atomic_ref<uint8_t>(records[t].muteFlags).fetch_and(static_cast<uint8_t>(~kHiddenByPlayer),
                                                             std::memory_order_relaxed);
}

void MailOptions::BindControls() {
  for (int i = 0; i < 3; ++i) gauges[i] = Tag(form, kGaugeTags[i]);
}

void MailOptions::OnOpen() {
  Control* f = currentForm;
  SetControlText(Tag(f, "DELDAYS"), std::to_string(g_uiOptions.emaildeldays).c_str());
  Press(Tag(f, "DELREPLY"), g_uiOptions.bemaildelonreply);
  Press(Tag(f, "SHOWPANE"), g_uiOptions.bshowprevpane);
  for (int32_t bit = 0; bit < kFilterBits; ++bit)
    if (Control* toggle = f ? FormFindControlById(f, kFirstFilterId + bit) : nullptr)
      Press(toggle, (g_uiOptions.emailfiltmask >> bit) & 1u);
  for (int i = 0; i < 3; ++i) {
    const int32_t v = *Level(i);
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(f, kSliderTags[i]))) {
      bar->exponent = 1;
      SliderSetMaxInt(bar, kLevelScale);
      SliderSetValueInt(bar, v);
    }
    const std::string number = std::to_string(v);
    if (auto* strip = dynamic_cast<BitmapControl*>(gauges[i])) strip->frame = static_cast<uint8_t>(MailOptionGaugeFrame(v));
    else SetControlText(gauges[i], number.c_str());
    SetControlText(Tag(f, kDescriptionTags[i]), TextListText(g_textLists, kListOrdimportance, MailOptionDescription(v)));
  }
}

void MailOptions::OnControlChange(Control* control, int32_t) {
  for (int i = 0; i < 3; ++i) {
    if (!Is(control, kSliderTags[i])) continue;
    *Level(i) = SliderGetValueInt(dynamic_cast<SlideBarControl*>(control));
    Show(kKeepScreenId, nullptr);
    return;
  }
  if (auto* days = dynamic_cast<StringControl*>(control); days && Is(days, "DELDAYS"))
    g_uiOptions.emaildeldays = ParseMailDeleteDays(days->GetText(), g_uiOptions.emaildeldays);
}

void MailOptions::OnCommand(Control* control, int32_t id) {
  if (Is(control, "DELREPLY")) {
    g_uiOptions.bemaildelonreply = ToggleOn(control);
  } else if (Is(control, "SHOWPANE")) {
    g_uiOptions.bshowprevpane = ToggleOn(control);
  } else if (Is(control, "RESET")) {
    UnhideMessageTypes();
  } else if (control && id >= kFirstFilterId && id < kFirstFilterId + kFilterBits) {
    const uint32_t bit = 1u << (id - kFirstFilterId);
    g_uiOptions.emailfiltmask = ToggleOn(control) ? g_uiOptions.emailfiltmask | bit : g_uiOptions.emailfiltmask & ~bit;
  }
}
