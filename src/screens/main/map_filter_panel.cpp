#include "screens/main/map_filter_panel.h"

#include "screens/main/map_view.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_set.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

// The order Refresh shows the switches in.
constexpr int32_t kSwitchIds[] = {kFilterOwnershipId,   kFilterOccupationId, kFilterSupplyId,      kFilterLosId,
                                  kFilterGroundDefenceId, kFilterMunitionsId,  kFilterCloseCombatId, kFilterHighGroundId};

Control* FindOnForm(Control* form, int32_t id) { return form ? FormFindControlById(form, id) : nullptr; }

}  // namespace

int32_t* MapFilterSwitch(UiOptions& options, int32_t id) {
  switch (id) {
    case kFilterLosId: return &options.ovshowlos;
    case kFilterSupplyId: return &options.ovshowsupply;
    case kFilterGroundDefenceId: return &options.ovshowgrounddef;
    case kFilterMunitionsId: return &options.ovshowmunitions;
    case kFilterOccupationId: return &options.occupationShading;
    case kFilterOwnershipId: return &options.ovshowownership;
    case kFilterCloseCombatId: return &options.ovshowclosecombat;
    case kFilterHighGroundId: return &options.ovshowhighground;
    default: return nullptr;
  }
}

Control* MapFilterPanel::Find(int32_t id) const { return FindOnForm(currentForm, id); }

void MapFilterPanel::BindControls() {
  for (int32_t id = kFilterFirstValueId; id <= kFilterLastValueId; ++id) {
    Control* button = Find(id);
    if (!button) continue;
    ControlSetText(button, nullptr);
    const char* label = TextListEntry(g_textLists, kListProductsl, id - kFilterFirstValueId);
    if (label && *label) ControlSetText(button, label);
  }
}

void MapFilterPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void MapFilterPanel::Refresh() {
  if (g_uiOptions.terrainValueOverlay) {
    SetControlFlag(Find(g_mapView.valueIndex + 1), kStateSelected, 1);
    SetControlFlag(Find(kFilterValueGroupId), kStateHidden, g_mapView.valueIndex == 0 ? 1 : 0);
  } else {
    SetControlFlag(currentForm ? FormFindControlByTag(currentForm, kFilterNoValueTag) : nullptr, kStateSelected, 1);
    SetControlFlag(Find(kFilterValueGroupId), kStateHidden, 1);
  }
  SetControlFlag(Find(kFilterExactHexId), kStateSelected, g_mapView.exactHex ? 1 : 0);
  for (const int32_t id : kSwitchIds) SetControlFlag(Find(id), kStateSelected, *MapFilterSwitch(g_uiOptions, id) ? 1 : 0);
}

void MapFilterPanel::OnCommand(Control* control, int32_t value) {
  ApplyMapFilterCommand(g_mapView, g_uiOptions, currentForm, control, value);
  Refresh();
}

void ApplyMapFilterCommand(MapView& view, UiOptions& options, Control* form, Control* control, int32_t id) {
  if (!control) return;
  auto clearValueButtons = [&] {
    for (int32_t v = kFilterFirstValueId; v <= kFilterLastValueId; ++v)
      SetControlFlag(FindOnForm(form, v), kStateSelected, 0);
    SetControlFlag(form ? FormFindControlByTag(form, kFilterNoValueTag) : nullptr, kStateSelected, 0);
  };
  if (ControlTagMatches(control->tag, kFilterNoValueTag)) {
    clearValueButtons();
    options.terrainValueOverlay = 0;
    view.valueIndex = 0;
  } else if (id >= kFilterFirstValueId && id <= kFilterLastValueId) {
    clearValueButtons();
    options.terrainValueOverlay = 1;
    view.valueIndex = id - 1;
  } else if (id == kFilterExactHexId) {
    view.exactHex = control->Selected() ? 1 : 0;
  } else if (int32_t* flag = MapFilterSwitch(options, id)) {
    *flag = control->Selected() ? 1 : 0;
  } else {
    return;
  }
  view.redrawPending = 1;
}
