#include "screens/main/panels/map_filter_panel.h"

#include "screens/common/units/class_icon.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

Control* NoValueButton(Control* form) { return form ? FormFindControlByTag(form, kFilterNoValueTag) : nullptr; }

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
    case kFilterBordersId: return &options.ovshowborders;
    case kFilterUnitsId: return &options.showUnitsLayer;
    case kFilterGridId: return &options.ovshowgrid;
    default: return nullptr;
  }
}

const int32_t* MapFilterSwitch(const UiOptions& options, int32_t id) {
  return MapFilterSwitch(const_cast<UiOptions&>(options), id);
}

void LabelMapFilterValues(Control* form) {
  for (int32_t id = kFilterFirstValueId; id <= kFilterLastValueId; ++id) {
    Control* button = Id(form, id);
    if (!button) continue;
    ControlSetText(button, nullptr);
    const char* label = TextListEntry(g_textLists, kListProductsl, id - kFilterFirstValueId);
    if (label && *label) ControlSetText(button, label);
  }
}

void DrawMapFilterIcons(Control* form) {
  for (int32_t id = kFilterFirstValueId; id <= kFilterLastValueId; ++id)
    DrawUnitClassIcon(id - kFilterFirstValueId, nullptr, nullptr, Id(form, id), false, -1);
}

void ShowMapFilterState(const MapView& view, const UiOptions& options, Control* form) {
  if (options.terrainValueOverlay) {
    SetControlFlag(Id(form, view.valueIndex + 1), kStateSelected, 1);
    SetControlFlag(Id(form, kFilterValueGroupId), kStateHidden, view.valueIndex == 0 ? 1 : 0);
  } else {
    SetControlFlag(NoValueButton(form), kStateSelected, 1);
    SetControlFlag(Id(form, kFilterValueGroupId), kStateHidden, 1);
  }
  SetControlFlag(Id(form, kFilterExactHexId), kStateSelected, view.exactHex == 1 ? 1 : 0);
  for (const int32_t id : kFilterSwitchIds)
    SetControlFlag(Id(form, id), kStateSelected, *MapFilterSwitch(options, id) ? 1 : 0);
}

void MapFilterPanel::BindControls() {
  DockInSecondBotbar2(*this);
  LabelMapFilterValues(currentForm);
}

void MapFilterPanel::OnOpen() {
  DrawMapFilterIcons(currentForm);
  ScreenSlotSelectMapMode(g_screens);
}

void MapFilterPanel::Refresh() { ShowMapFilterState(g_mapView, g_uiOptions, currentForm); }

void MapFilterPanel::OnCommand(Control* control, int32_t value) {
  ApplyMapFilterCommand(g_mapView, g_uiOptions, currentForm, control, value);
  Refresh();
}

void ApplyMapFilterCommand(MapView& view, UiOptions& options, Control* form, Control* control, int32_t id) {
  // A value chosen by a key rather than its button leaves no stale choice
  // selected behind it.
  auto clearValueButtons = [&] {
    for (int32_t v = kFilterChoiceId; v <= kFilterLastValueId; ++v) SetControlFlag(Id(form, v), kStateSelected, 0);
    SetControlFlag(NoValueButton(form), kStateSelected, 0);
  };
  Control* valueGroup = Id(form, kFilterValueGroupId);
  if (id >= kFilterChoiceId && id <= kFilterLastValueId) {
    clearValueButtons();
    options.terrainValueOverlay = 1;
    view.valueIndex = id - 1;
    SetControlFlag(valueGroup, kStateHidden, id == kFilterChoiceId ? 1 : 0);
  } else if (control && ControlTagMatches(control->tag, kFilterNoValueTag)) {
    clearValueButtons();
    options.terrainValueOverlay = 0;
    SetControlFlag(valueGroup, kStateHidden, 1);
  } else if (id == kFilterExactHexId || id == kFilterAreaId) {
    view.exactHex = id == kFilterExactHexId ? 1 : 0;
  } else if (int32_t* flag = MapFilterSwitch(options, id)) {
    *flag = control && control->Selected() ? 1 : 0;
  } else {
    return;
  }
  view.redrawPending = 1;
}
