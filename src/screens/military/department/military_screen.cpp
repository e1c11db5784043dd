#include "screens/military/department/military_screen.h"

#include <algorithm>

#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/screen_set.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kMilitaryDepartment = 3;
constexpr int32_t kHighestAlert = 4;
// The alert-level bonuses: the build bonus starts above level 2, a tenth
// per level; efficiency gains a twentieth per level.
constexpr int32_t kBuildBonusFrom = 2;
constexpr float kBuildBonusStep = 0.1f;
constexpr float kEfficiencyStep = 0.05f;
constexpr int kBuildBonusFactor = 5;
constexpr int kEfficiencyBonusFactor = 6;
// The picture behind the department buttons.
constexpr int32_t kLinkPictureClass = 4054;
constexpr uint32_t kBaseButtonAlpha = 0x4B;

// What a military figure shows when it is not above 0.
double PositiveOrZero(float value) { return value > 0.0f ? static_cast<double>(value) : 0.0; }

// A grouped toggle that the click left released closes the panels above
// the depth and does nothing else.
bool ClosesAbove(const Control* control, int32_t depth) {
  if (!control || !(control->flags & kCtlRadio) || (control->state & kStateSelected)) return false;
  PopPopupsTo(g_ui, depth);
  return true;
}

}  // namespace

int32_t ShownAlertValue(int32_t defcon) { return std::clamp(defcon, 0, kHighestAlert); }

void FillMilitarySummary(Control* form, const MilitaryFigures& f) {
  const int32_t level = ShownAlertValue(f.defcon);
  auto at = [form](const char* tag) { return Tag(form, tag); };
  SetFigure(at("TECHLEV"), static_cast<double>(f.techLevel));
  SetFractionText(at("TECHRANK"), f.militaryApproval);
  SetInt(at("DEFCON"), kHighestAlert + 1 - level);
  if (Control* c = at("CURDESC")) SetControlText(c, TextListText(kListDefcons, level));
  const float buildBonus = level > kBuildBonusFrom ? static_cast<float>(level - kBuildBonusFrom) * kBuildBonusStep : 0.0f;
  SetFractionText(at("BUILD"), 1.0f + GovernmentFactor(f.governmentType, kBuildBonusFactor) * buildBonus);
  SetFractionText(at("EFFPLUS"),
                 static_cast<float>(level) * GovernmentFactor(f.governmentType, kEfficiencyBonusFactor) * kEfficiencyStep);
  if (auto* bar = dynamic_cast<SlideBarControl*>(at("DEFCONSLDR"))) {
    SliderSetMaxInt(bar, kHighestAlert);
    SliderSetValueInt(bar, level);
  }
  if (Control* c = at("BUILDSTATUS")) SetControlText(c, "");
  SetFractionText(at("EFF"), f.militaryEfficiency);
  if (Control* c = at("MOR")) SetControlText(c, TextListText(kListOrdinitiative, InitiativeLevel(f.morale) + 1));
  SetFractionText(at("ALVL"), f.alertLevel);
  SetInt(at("KILLS"), f.kills);
  SetInt(at("LOSSES"), f.losses);
  SetFigure(at("ACTFORCE"), PositiveOrZero(f.reserveDrawn + f.activeForce));
  SetFigure(at("RESFORCE"), PositiveOrZero(f.reservePool - f.reserveDrawn));
}

int32_t MilitaryScreen::AttachForm(Control*) {
  id = OpenChildPopup(*this, kMilitaryDepartment);
  return 0;
}

void MilitaryScreen::BindControls() {
  g_panelFlags[kMilitaryDepartment] |= kPanelFlagMarked;
  buttonParent = Tag(currentForm, "BUTPARENT");
}

void MilitaryScreen::OnOpen() {
  ScreenSet& s = g_screens;
  s.militaryCabinetLink.Show(0, buttonParent);
  OpenSidePanels(*s.militaryCapacitySide, *s.militaryCostSide);
}

void MilitaryScreen::Refresh() {
  MilitaryFigures figures;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    figures = LocalMilitaryFigures(g_world);
  }
  FillMilitarySummary(currentForm, figures);
}

void MilitaryScreen::OnCommand(Control* control, int32_t) {
  ScreenSet& s = g_screens;
  if (Is(control, "SUMMARY")) {
    s.unitList.Popup(kKeepScreenId, nullptr);
  } else if (Is(control, "MISPOPUP")) {
    s.missiles.Popup(kKeepScreenId, nullptr);
  }
}

void MilitaryCabinetLink::BindControls() {
  basePicture = Tag(currentForm, "BASEPIC");
  if (Control* button = Tag(currentForm, "BASEBUT")) {
    SetAlpha(button->fills[0], kBaseButtonAlpha);
    SetAlpha(button->fills[1], 0);
    SetAlpha(button->fills[2], 0);
  }
}

void MilitaryCabinetLink::OnOpen() {
  DrawUnitClassIcon(kLinkPictureClass, nullptr, nullptr, basePicture, true, -1);
}

void MilitaryCabinetLink::OnCommand(Control* control, int32_t id) {
  ScreenSet& s = g_screens;
  // Clicked while the page is not docked (a key brought the buttons up):
  // the page comes first.
  if (currentForm && !currentForm->parent) {
    s.militaryScreen.AttachForm(nullptr);
    s.militaryScreen.OnOpen();
    s.militaryScreen.Refresh();
  }
  if (ClosesAbove(control, 1)) return;
  // The military post's priorities in the cabinet.
  if (Is(control, "CABINET")) {
    s.cabinetPriorities.Show(kMilitaryCabinetPost, nullptr);
    return;
  }
  Screen* page = nullptr;
  switch (id) {
    case 2: page = &s.unitInventory; break;
    case 3: page = s.militaryWages.get(); break;
    case 4: page = s.forceSizePanel.get(); break;
    case 5: page = s.unitProduction.get(); break;
    case 6: page = s.facilityScreen.get(); break;
    default: break;
  }
  if (page) page->Show(kKeepScreenId, nullptr);
}
