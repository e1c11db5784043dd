#include "screens/diplomacy/deals/deal_side_pickers.h"

#include "app/number_text.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

int32_t TagOf(intptr_t id) { return id >= 0 && id < kDealAreaTagsShown ? static_cast<int32_t>(id) : 0; }

void CentreOnTag(int32_t tag) {
  const uint32_t first = PackedFirstHex(g_screens.hexAreas.tags[tag]);
  // (0, 0) is also an empty tag's first hex: nothing to show then.
  if (first != 0 && g_ui.mapView) CentreMapOnHex(*g_ui.mapView, first);
}

}  // namespace

void DealAreaPicker::BindControls() {
  // Each tag's box in the colours the map draws that tag in.
  for (int32_t t = 0; t < kDealAreaTagsShown; ++t)
    if (Control* box = FormFindControlById(currentForm, t + 1))
      for (uint32_t& colour : box->outlines) colour = g_uiOptions.playercolor[t + 1];
}

void DealAreaPicker::OnOpen() {
  const int32_t tag = TagOf(id);
  for (int32_t t = 0; t < kDealAreaTagsShown; ++t) SetHidden(FormFindControlById(currentForm, t + 1), t != tag);
  RecountHexAreas(g_screens);
  g_uiOptions.areaTagOverlay = 1;
  g_uiOptions.areaTagMask = static_cast<uint8_t>(1u << tag);
  CentreOnTag(tag);
}

void DealAreaPicker::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const AreaTagRecord& r = g_screens.hexAreas.tags[TagOf(id)];
  const int64_t hexKm = g_world.mapHeader.hexScale;
  SetFigure(FormFindControlByTag(currentForm, "POP"), r.population);
  // Hexes times the hex's square kilometres passes 32 bits on a large map.
  SetFigure(FormFindControlByTag(currentForm, "AREA"), static_cast<double>(r.hexCount * hexKm * hexKm));
  SetFigure(FormFindControlByTag(currentForm, "HEXES"), r.hexCount);
}

void DealAreaPicker::OnCommand(Control* control, int32_t) {
  if (control && ControlTagMatches(control->tag, "CENTER")) CentreOnTag(TagOf(id));
}

void DealRegionPicker::BindControls() {
  regions = MakeListBox("REGIONLIST", 0, currentForm, kListIndicators, this);
}

void DealRegionPicker::OnOpen() {
  if (!regions) return;
  regions->selectedId = 0;
  regions->scrollOffset = 0;
}

void DealRegionPicker::OnControlChange(Control* control, int32_t) {
  if (control != regions || !regions || regions->selectedId != 0) return;
  if (Control* pick = FormFindControlByTag(currentForm, "REGIONPICK")) pick->SetText("");
}
