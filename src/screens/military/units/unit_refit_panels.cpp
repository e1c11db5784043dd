#include "screens/military/units/unit_refit_panels.h"

#include <cmath>

#include "app/duration_text.h"
#include "app/game_math.h"
#include "records/unit_record.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint32_t kShellsCapable = 0x1;
constexpr uint32_t kNotInGame = 0x8000000u, kNeverBuilt = 0x80000000u;
constexpr uint8_t kBlocked = 0x11;
const char* const kRefitTags[] = {"PAR1", "GRIDCHEM1", "GRIDCHEM2", "GRIDCHEM3", "GRIDUPG2", "GRIDREF1", "GRIDREF2"};
const char* const kUpgradePreviewTags[] = {"UPGNAME", "HDRUPG", "GRIDUPG1"};

bool Available(const World& w, int32_t classIndex, int32_t player) {
  if (classIndex <= 0 || static_cast<size_t>(classIndex) >= w.unitClasses.size() || player < 0) return false;
  return (ClassAvailabilityByte(w, player, classIndex) & 1u) != 0;
}

}  // namespace

bool RefitClassBuildable(const World& w, int32_t classIndex, int32_t player) {
  const UnitClassRecord* cls = ClassRecordAt(w, classIndex);
  if (!cls || cls->name[0] == 0 || (cls->flags & (kClassFacility | kNeverBuilt))) return false;
  if ((cls->flags & kNotInGame) && g_ui.mode == kUiInGame) return false;
  const bool hasPlayer = player >= 0 && player < kMaxPlayers;
  const int32_t tech = hasPlayer ? static_cast<int32_t>(std::lround(w.players[player].techLevel)) : 0;
  if (hasPlayer && cls->level > tech) return false;
  if (!hasPlayer) return true;
  if (!(cls->availability & w.players[player].classMask)) return false;
  if (ClassAvailabilityByte(w, player, classIndex) & kBlocked) return false;
  return cls->buildThreshold == 0 || cls->buildThreshold >= tech;
}

int32_t RefitUpgradeClass(const World& w, int32_t classIndex, int32_t player) {
  const UnitClassRecord* cls = ClassRecordAt(w, classIndex);
  if (!cls) return 0;
  // A chain that loops back on itself ends after as many steps as there
  // are classes.
  const size_t limit = w.unitClasses.size();
  for (int pass = 0; pass < 2; ++pass) {
    int32_t found = 0;
    size_t steps = 0;
    for (int32_t c = cls->successor; c > 0 && steps < limit; ++steps) {
      const bool counts = pass == 0 ? Available(w, c, player)
                                    : Available(w, c, player) || RefitClassBuildable(w, c, player);
      if (counts) found = c;
      const UnitClassRecord* next = ClassRecordAt(w, c);
      c = next ? next->successor : 0;
    }
    if (found) return found;
  }
  return 0;
}

UnitRefitPanel::UnitRefitPanel() : Screen("POPUP_MILITARY1A6", FormLookups{.tags = kRefitTags, .ids = {}}) {}

void UnitRefitPanel::BindControls() {
  hostLink = &g_screens.unitDetail.detailHost;
  panelHost = Tag(currentForm, "PAR1");
}

void UnitRefitPanel::OnOpen() {
  if (Control* upgrade = Tag(currentForm, "UPGRADE")) ControlClearSelection(upgrade, 0);
  SetHidden(panelHost, true);
}

void UnitRefitPanel::Refresh() {
  unit = id > 0 ? static_cast<uint32_t>(id) : 0u;
  Control* f = currentForm;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = unit ? FindUnitById(g_world, unit) : nullptr;
  const UnitClassRecord* cls = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
  if (!cls) return;
  for (const char* tag : {"GRIDCHEM1", "GRIDCHEM2", "GRIDCHEM3", "GRIDUPG2", "GRIDREF1"}) SetHidden(Tag(f, tag), true);
  // The player records keep no shells permission: a capable class is
  // always shown as not allowed them.
  SetHidden(Tag(f, cls->flags & kShellsCapable ? "GRIDCHEM1" : "GRIDCHEM3"), false);
  upgradeClass = RefitUpgradeClass(g_world, u->classIndex, LocalPlayerIndex(g_world));
  SetHidden(Tag(f, "GRIDUPG2"), upgradeClass != 0);
  // Nor do the class records name a refit class: there is none to offer.
  SetHidden(Tag(f, "GRIDREF2"), false);
}

void UnitRefitPanel::OnCommand(Control* control, int32_t) {
  ScreenSet& s = g_screens;
  const auto shown = static_cast<intptr_t>(unit);
  if (Is(control, "BACK")) {
    CloseGridSubPanel(*this, false);
    return;
  }
  Screen* panel = Is(control, "UPGRADE") ? static_cast<Screen*>(s.unitUpgrade.get())
                  : Is(control, "ROLE")  ? static_cast<Screen*>(s.unitRefitChoice.get())
                  : Is(control, "SHELLS") ? static_cast<Screen*>(s.unitChemical.get())
                                          : nullptr;
  if (!panel) return;
  SetHidden(panelHost, false);
  panel->Show(panel == s.unitUpgrade.get() ? upgradeClass : shown, panelHost);
}

namespace {

class UnitUpgradePanel : public Screen {
 public:
  UnitUpgradePanel() : Screen("POPUP_MILITARY1A5", FormLookups {.tags = kUpgradePreviewTags, .ids = {}}) {}
  void BindControls() override { hostLink = &g_screens.unitRefit.panelHost; }
  void Refresh() override {
    Control* f = currentForm;
    const auto classIndex = static_cast<int32_t>(id);
    SetControlText(Tag(f, "COST"), "0");
    SetControlText(Tag(f, "TIME"), FormatDuration(0.0f).c_str());
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex);
    SetControlText(Tag(f, "UPGNAME"), cls ? cls->name : "");
    const bool available = Available(g_world, classIndex, LocalPlayerIndex(g_world));
    SetControlFlag(Tag(f, "HDRUPG"), kStateSelected, available ? 0 : 1);
    SetHidden(Tag(f, "GRIDUPG1"), available);
    SetHidden(Tag(f, "PREVIEW"), host != g_screens.unitRefit.panelHost);
    // The upgrade's statistics, on the sheet of its own the preview keeps.
    constexpr size_t kUpgradeClassSheet = 14;
    if (Control* parent = Tag(f, "STATPARENT"); parent && cls)
      g_screens.unitPicturePanels[kUpgradeClassSheet].Show(classIndex, parent);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "OKBUT") || Is(control, "BACK")) CloseGridSubPanel(*this, false);
    if (Is(control, "UINFO")) g_screens.unitBuild.Popup(id, nullptr);
  }
};

class UnitRefitChoicePanel : public Screen {
 public:
  UnitRefitChoicePanel() : Screen("POPUP_MILITARY1A6B") {}
  void BindControls() override { hostLink = &g_screens.unitRefit.panelHost; }
  void Refresh() override {
    Control* f = currentForm;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* u = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
      const UnitClassRecord* cls = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
      SetControlText(Tag(f, "ROLE"), cls ? TextListText(kListMilclass, cls->typeByte) : "");
    }
    SetControlText(Tag(f, "REFITNAME"), "");
    SetControlText(Tag(f, "VAR"), "");
    SetControlText(Tag(f, "COST"), "0");
    SetHidden(Tag(f, "PREV"), true);
    SetHidden(Tag(f, "NEXT"), true);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "REARM")) CloseGridSubPanel(*this, true);
    if (Is(control, "BACK")) CloseGridSubPanel(*this, false);
  }
};

class UnitChemicalPanel : public Screen {
 public:
  UnitChemicalPanel() : Screen("POPUP_MILITARY1A6C") {}
  void BindControls() override { hostLink = &g_screens.unitRefit.panelHost; }
  void Refresh() override {
    Control* f = currentForm;
    SetHidden(Tag(f, "STD"), false);
    SetHidden(Tag(f, "CHEM"), true);
    SetControlFlag(Tag(f, "TYPE"), kStateSelected, 0);
    SetControlFlag(Tag(f, "TYPE2"), kStateSelected, 1);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "OKBUT")) CloseGridSubPanel(*this, true);
    if (Is(control, "BACK")) CloseGridSubPanel(*this, false);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeUnitUpgradePanel() { return std::make_unique<UnitUpgradePanel>(); }
std::unique_ptr<Screen> MakeUnitRefitChoicePanel() { return std::make_unique<UnitRefitChoicePanel>(); }

std::unique_ptr<Screen> MakeUnitChemicalPanel() { return std::make_unique<UnitChemicalPanel>(); }
