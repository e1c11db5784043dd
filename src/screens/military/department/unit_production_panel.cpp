#include "screens/military/department/unit_production_panel.h"

#include "records/command_ids.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/military/department/department_text.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/department/military_side_panels.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/world.h"

ViewFilterFlags g_viewFilterFlags;

namespace {

constexpr int32_t kProductionDepth = 2;

// The switches in the order of kViewFilterTags.
bool* FilterSwitches(ViewFilterFlags& f, int i) {
  switch (i) {
    case 0: return &f.filterOn;
    case 1: return &f.classes.showHidden;
    case 2: return &f.classes.onlyMarked;
    case 3: return &f.classes.ignoreSuccessor;
    case 4: return &f.classes.ignoreThreshold;
    default: return nullptr;
  }
}

// Posts an auto-build switch; the focus panel opens when it goes on and
// only follows the change when it goes off.
void PostAutoBuild(Screen& panel, uint32_t command, const Control* toggle) {
  const bool on = toggle->Selected();
  PostArgs(command, SettingArgs{.value = on ? 1u : 0u});
  Screen& focus = *g_screens.autoBuildFocus;
  if (on) {
    focus.Show(kKeepScreenId, nullptr);
  } else {
    focus.Refresh();
  }
  panel.Refresh();
}

class UnitProductionPanel : public Screen {
 public:
  UnitProductionPanel() : Screen("MILITARY1_ss1", FormLookups{.tags = kUnitProductionTags, .ids = {}}) {}
  void BindControls() override { DockInBotbar2(*this); }
  void OnOpen() override {
    g_screens.autoBuildFocus->Show(kKeepScreenId, nullptr);
    ScreenSlotResetMapMode(g_screens);
  }
  void Refresh() override {
    MilitaryFigures figures;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      figures = LocalMilitaryFigures(g_world);
    }
    FillMilitaryCapacity(currentForm, figures, true);
  }
  void OnCommand(Control* control, int32_t) override {
    ScreenSet& s = g_screens;
    if (!control) return;
    if ((control->flags & kCtlRadio) && !control->Selected()) {
      PopPopupsTo(g_ui, kProductionDepth);
      return;
    }
    if (Is(control, "BACK")) {
      s.militaryScreen.AttachForm(nullptr);
      s.militaryScreen.OnOpen();
      s.militaryScreen.Refresh();
    } else if (Is(control, "AUTOBUILD")) {
      PostAutoBuild(*this, kCmdBUnitAutoBuild, control);
    } else if (Is(control, "AUTOBUILD2")) {
      PostAutoBuild(*this, kCmdBMissilesAutoBuild, control);
    } else if (Is(control, "BUILD")) {
      s.baseUnitList.Show(kKeepScreenId, nullptr);
    } else if (Is(control, "UNDEPLOYED")) {
      s.storedUnits->Show(0, nullptr);  // the stored units of every place
    } else if (Is(control, "RECRUITBUT")) {
      s.forceSizePanel->Show(kKeepScreenId, nullptr);
    } else if (Is(control, "FILTERS")) {
      s.unitViewFilter->Show(kKeepScreenId, nullptr);
    } else if (Is(control, "AUTOSELECT")) {
      s.autoBuildFocus->Show(kKeepScreenId, nullptr);
    }
  }
};

class UnitViewFilterPanel : public Screen {
 public:
  UnitViewFilterPanel() : Screen("MILITARY1_ss1a", FormLookups{.tags = kViewFilterTags, .ids = {}}) {}
  void BindControls() override { DockInSecondBotbar2(*this); }
  // Shows the switches on the toggles.
  void OnOpen() override {
    for (int i = 0; i < 5; ++i) SetPressed(Tag(currentForm, kViewFilterTags[i]), *FilterSwitches(g_viewFilterFlags, i));
    ScreenSlotSelectMapMode(g_screens);
  }
  // Whatever was clicked, the toggles become the switches (a toggle the
  // form lacks gives 0).
  void OnCommand(Control*, int32_t) override {
    for (int i = 0; i < 5; ++i) {
      const Control* toggle = Tag(currentForm, kViewFilterTags[i]);
      *FilterSwitches(g_viewFilterFlags, i) = toggle && toggle->Selected();
    }
  }
};

}  // namespace

std::unique_ptr<Screen> MakeUnitProductionPanel() { return std::make_unique<UnitProductionPanel>(); }
std::unique_ptr<Screen> MakeUnitViewFilterPanel() { return std::make_unique<UnitViewFilterPanel>(); }
