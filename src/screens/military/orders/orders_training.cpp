#include "screens/military/orders/orders_training.h"

#include <cstdio>
#include <cstring>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "records/unit_record.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/units/unit_lists.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int32_t kTrainOrder = 4;
constexpr uint32_t kBenefitTextColour = 0xFF96BEFA;

const TrainingRecord& Programme(int32_t i) { return g_ruleTables.trainingTypes.entries[i]; }

void ShowDetails(Control* form, bool shown) {
  for (const char* tag : {"HIDEBOX", "OK", "BACK"}) SetHidden(Tag(form, tag), !shown);
}

void StepBack(ScreenSet& s) {
  if (g_ui.panelDepth > 1) SetPanelDepth(1, 1, g_mapView);
  if (g_ui.panelDepth == 0) s.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(s.mailBar);
}

}  // namespace

int32_t TrainingState(const UnitRecord& unit) {
  const uint32_t f = unit.unitFlags;
  if (f & (1u << 4)) return 4;
  for (int32_t bit = 1; bit <= 3; ++bit)
    if (f & (1u << bit)) return bit;
  return 0;
}

void FillBenefitBox(Control* form, const UnitRecord* unit, const ListHolder& units) {
  if (!form) return;
  if (Control* first = Id(form, 161)) ControlClearSelection(first, 0);
  int32_t state = 0;
  uint32_t mask = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (unit) {
      state = TrainingState(*unit);
      mask = 1u << (unit->kind & 31);
    } else {
      for (ListItem28* i = FirstInHolder(units); i; i = NextInHolder(units, i)) {
        const UnitRecord* u = RefUnit(g_world, *i);
        if (!u) continue;
        if (state == 0) state = TrainingState(*u);
        mask |= 1u << (u->kind & 31);
      }
    }
  }
  for (int32_t i = 1; i <= kTrainingProgrammes; ++i) {
    SetControlText(Id(form, 160 + i), Programme(i).name.c_str());
    SetHidden(Id(form, 180 + i), !(state != 0 && i <= 4));
    SetHidden(Id(form, 150 + i), (mask & static_cast<uint32_t>(Programme(i).kindMask)) != 0);
  }
  SetHidden(Tag(form, "HIDEBOX"), true);
}

void FillTrainingDetails(Control* form, const UnitRecord* unit, const ListHolder& units, int32_t programme) {
  if (!form) return;
  auto* benefit = dynamic_cast<TextBoxControl*>(Tag(form, "BENEFIT"));
  float strength = 0.0f;
  int32_t count = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (unit) {
      strength = unit->strength, count = 1;
    } else {
      for (ListItem28* i = FirstInHolder(units); i; i = NextInHolder(units, i))
        if (const UnitRecord* u = RefUnit(g_world, *i)) strength += u->strength, ++count;
    }
  }
  if (programme <= 0 || programme > kTrainingProgrammes) {
    ShowDetails(form, false);
    return;
  }
  ShowDetails(form, true);
  const TrainingRecord& p = Programme(programme);
  SetControlText(Tag(form, "SELECTED"), p.name.c_str());
  SetControlText(Tag(form, "TRDAYS"), FormatDuration(p.durationDays).c_str());
  // A cost field too small for any figure keeps what it shows.
  auto* cost = dynamic_cast<StringControl*>(Tag(form, "TRCOST"));
  if (cost && cost->bufferSize >= 3) {
    char text[kNumberTextSize];
    FormatNumberText(text, 1, 0, "", 0, "", 0, static_cast<double>(p.costPerDay * p.durationDays * strength));
    SetControlText(cost, text);
  }
  if (Control* c = Tag(form, "TRNUM")) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", count);
    SetControlText(c, text);
  }
  if (benefit) TextBoxSetText(benefit, p.benefit.c_str(), 0, 1);
}

void OrderBenefitBox::BindControls() {
  DockInBotbar2(*this);
  for (int32_t id = 181; id <= 184; ++id) StyleOverlay(Id(currentForm, id));
  for (int32_t id = 151; id <= 160; ++id) StyleOverlay(Id(currentForm, id));
  benefitBox = Tag(currentForm, "BENEFIT") ? MakeTextBox("BENEFIT", 0, currentForm) : nullptr;
  if (benefitBox && benefitBox->prototype) {
    benefitBox->prototype->textColour = kBenefitTextColour;
    benefitBox->prototype->fills[0] = 0;
  }
}

void OrderBenefitBox::OnOpen() {
  programme = 0;
  FillBenefitBox(currentForm, nullptr, g_screens.SelectionList());
  OrdersDockStep(g_screens, 2);
}

void OrderBenefitBox::Refresh() { FillTrainingDetails(currentForm, nullptr, g_screens.SelectionList(), programme); }

void OrderBenefitBox::OnCommand(Control* control, int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ScreenSet& s = g_screens;
  if (!control) return;
  if (ControlTagMatches(control->tag, "BACK")) {
    EndTextEdit();
    CancelMapPlacement(s);
    g_mapClickPending = MapClickPending{};
    StepBack(s);
  } else if (ControlTagMatches(control->tag, "OK")) {
    IssueOrderToSelection(s, kTrainOrder, PackHex(g_world.gameState.currentHex.x, g_world.gameState.currentHex.y),
                          nullptr, false, static_cast<uint32_t>(programme));
    CloseMapPopups(s);
  } else if (id >= 161 && id <= 160 + kTrainingProgrammes) {
    SetHidden(Tag(currentForm, "HIDEBOX"), false);
    programme = id - 160;
    Refresh();
  }
}
