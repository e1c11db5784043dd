#include "screens/main/panels/base_panels.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/base_list_rows.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/facilities/facility_build.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The list's own scroller style: a thin bar.
// A base's name shows at most this many characters.
constexpr size_t kBaseNameMax = 47;

}  // namespace

void BasePanel::BindControls() {
  DockInBotbar2(*this);
  prodList = MakeListBox("PRODLIST", 0, currentForm, kListIndicators, this);
  // The rows are a list, not a choice among the panel's buttons.
  if (prodList) prodList->flags &= ~kCtlRadio;
}

void BasePanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void BasePanel::Refresh() {
  if (!currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  if (hex.x == 0 && hex.y == 0) return;
  const FacilityView v = ViewSelectedFacility(w);
  const UnitClassRecord* cls = v.visibleClass > 0 ? ClassRecordAt(w, v.visibleClass) : nullptr;
  if (!v.cell || !cls || !(cls->flags & kClassSettlement)) return;

  const int branch = (cls->flags & kClassHaven) ? 2 : (cls->flags & kClassAirBase) ? 1 : 0;
  ControlSetText(Tag(*this, "BASETYPE"), TextListText(kListMilbranch, branch));

  char name[kBaseNameMax + 1] = {};
  const HexUnitStack* stack = LoadHexStack(*v.cell);
  if (stack && stack->extra && stack->extra->text) std::strncpy(name, stack->extra->text, kBaseNameMax);
  ControlSetText(Tag(*this, "BASENAME"), name);

  const bool shownQueue = v.present && !(v.present->unitFlags & kUnitProvisional);
  SetFormatted(Tag(*this, "QUEUE"), "%d", shownQueue ? v.present->leadValue : 0);
  SetFormatted(Tag(*this, "CAPACITY"), "%d", cls->baseSlots);

  // A hex without supply builds nothing, whatever state its base is in.
  int32_t status = FacilityStatus(w, v.cellIndex);
  if (HexLevelByte(w, *v.cell) == 0) status = kFacilityBuildingNoSupply;
  Control* note = Tag(*this, "NOTE");
  ControlSetText(note, TextListText(kListUgstatus, status));
  SetControlFlag(note, kStateSelected, v.present && (v.present->ordersShown[kStateFlags] & kStatePausedBuild));

  char condition[32];
  const float strength = v.present ? std::min(v.present->strength, 1.0f) : 0.0f;
  std::snprintf(condition, sizeof condition, "%3.0f %%", static_cast<double>(strength * 100.0f));
  ControlSetText(Tag(*this, "CONDITION"), condition);

  SetHidden(Tag(*this, "BASEDETAILS"), !v.ownHex);

  if (!prodList) return;
  const ListPlace place = ClearKeepingSelections(prodList);
  FillBaseListRows(g_screens, prodList, v.cell, units);
  RestoreSelections(prodList, place);
  if (!prodList->firstRow) {
    // A press on the placeholder row must not select it.
    if (Control* row = ListAddTextItem(prodList, kBaseListEmpty, 0, 0, 0, 0, 1)) row->flags &= ~kCtlButton;
  }
}

void BasePanel::OnCommand(Control* control, int32_t commandId) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, kDockLevelSecond);
    return;
  }
  if (ControlTagMatches(control->tag, "BASEDETAILS")) {
    const UnitRecord* base = nullptr;
    bool own = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const FacilityView v = ViewSelectedFacility(g_world);
      own = v.cell && v.ownHex;
      base = v.present;
    }
    if (own) OpenBasePopup(g_screens, base);
    return;
  }
  if (ControlTagMatches(control->tag, "NAMEBUT")) {
    g_screens.nameHex->Popup(kKeepScreenId, nullptr);
    return;
  }
  MapScreen& map = g_screens.mapScreen;
  switch (commandId) {
    case kBaseTabActions: map.facilityActions.Show(kKeepScreenId, nullptr); break;
    // Automatic production and the production lists are screens of their
    // own; the base only opens them.
    case kBaseTabAutoProduction: static_cast<Screen&>(map.autoProduction).Show(kKeepScreenId, nullptr); break;
    case kBaseTabProduction: static_cast<Screen&>(map.baseProduction).Show(0, nullptr); break;
    case kBaseTabDepartment: g_screens.storedUnits->Show(1, nullptr); break;
    default: break;
  }
}

void BasePanel::OnActivate(Control* control, int32_t rowId) {
  if (!control || control != prodList || rowId == 0) return;
  // Row ids are unit ids, whose owner byte may set the sign bit.
  g_screens.unitDetail.Popup(static_cast<intptr_t>(static_cast<uint32_t>(rowId)), &units);
}
