#include "screens/diplomacy/areas/area_tag_panel.h"

#include "screens/diplomacy/dip_docking.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/map_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

uint8_t TagMaskBit(int32_t tag) { return static_cast<uint8_t>(1u << tag); }

void CentreOnFirstHex(const AreaTagRecord& r) {
  const uint32_t first = PackedFirstHex(r);
  // (0, 0) is also the empty tag's value: a tag only there moves nothing.
  if (first != 0 && g_ui.mapView) CentreMapOnHex(*g_ui.mapView, first);
}

void ShowDepartmentAgain() {
  DiplomacyScreen& d = g_screens.diplomacyScreen;
  ReopenScreen(d);
}

class AreaTagPanel : public Screen {
 public:
  AreaTagPanel() : Screen("DIPLOMACY1_SS4", FormLookups{.tags = kAreaTagPanelTags, .ids = kAreaTagPanelIds}) {}
  // Docks in the level-2 bar; the tag buttons take their tags' colours.
  void BindControls() override {
    DockInBotbar2(*this);
    ControlSetText(FormFindControlByTag(currentForm, "VIEWTAGTEXT"), "VIEW TAGS");
    for (int32_t t = 0; t < kEditableAreaTags; ++t) {
      Control* button = FormFindControlById(currentForm, kFirstTagButton + t);
      if (!button) continue;
      for (uint32_t& colour : button->outlines) colour = g_uiOptions.playercolor[t + 1];
    }
  }
  // Counts the tags, shows the current one and starts marking on the map.
  void OnOpen() override {
    ScreenSet& s = g_screens;
    RecountHexAreas(s);
    const int32_t tag = CurrentTag();
    g_mapClickPending.areaTag = tag;
    SetControlFlag(FormFindControlById(currentForm, kFirstTagButton + tag), kStateSelected, 1);
    g_uiOptions.areaTagMask |= TagMaskBit(tag);
    CentreOnFirstHex(s.hexAreas.tags[tag]);
    CloseMapPopups(s);
    s.mapClickMode = kClickAreaPaint;
    for (int32_t t = 0; t < kEditableAreaTags; ++t)
      SetControlFlag(FormFindControlById(currentForm, kFirstTagBox + t), kStateSelected,
                     (g_uiOptions.areaTagMask & TagMaskBit(t)) != 0);
    g_uiOptions.areaTagOverlay = 1;
    DockPanelAtDepth(2);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const ScreenSet& s = g_screens;
    const AreaTagRecord& r = s.hexAreas.tags[CurrentTag()];
    const int64_t hexKm = g_world.mapHeader.hexScale;
    SetFigure(FormFindControlByTag(currentForm, "POP"), r.population);
    // Hexes times the hex's square kilometres passes 32 bits on a large map.
    SetFigure(FormFindControlByTag(currentForm, "AREA"), static_cast<double>(r.hexCount * hexKm * hexKm));
    SetFigure(FormFindControlByTag(currentForm, "HEXES"), r.hexCount);
    for (int32_t t = 0; t < kEditableAreaTags; ++t)
      SetHidden(FormFindControlById(currentForm, kFirstTagBox + t), s.hexAreas.tags[t].hexCount == 0);
    SetHidden(FormFindControlByTag(currentForm, "CLEAR"), r.hexCount == 0);
    SetHidden(FormFindControlByTag(currentForm, "MARK"), s.mapClickMode != kClickAreaPaint || r.hexCount == 0);
  }
  void OnCommand(Control* control, int32_t clickId) override {
    ScreenSet& s = g_screens;
    if (clickId >= kFirstTagButton && clickId < kFirstTagButton + kEditableAreaTags) {
      id = clickId - kFirstTagButton;
      g_mapClickPending.areaTag = CurrentTag();
      SetControlFlag(FormFindControlById(currentForm, kFirstTagBox + CurrentTag()), kStateSelected, 1);
      g_uiOptions.areaTagMask |= TagMaskBit(CurrentTag());
      CentreOnFirstHex(s.hexAreas.tags[CurrentTag()]);
      Refresh();
      return;
    }
    if (clickId >= kFirstTagBox && clickId < kFirstTagBox + kEditableAreaTags) {
      const uint8_t bit = TagMaskBit(clickId - kFirstTagBox);
      if (control && control->Selected())
        g_uiOptions.areaTagMask |= bit;
      else
        g_uiOptions.areaTagMask &= static_cast<uint8_t>(~bit);
      return;
    }
    if (!control) return;
    if (ControlTagMatches(control->tag, "CLEAR")) {
      ClearHexTagBit(s, CurrentTag());
      RecountHexAreas(s);
      Refresh();
    } else if (ControlTagMatches(control->tag, "SELECT")) {
      CloseMapPopups(s);
      s.mapClickMode = kClickAreaPaint;
      g_mapClickPending.areaTag = CurrentTag();
      CentreOnFirstHex(s.hexAreas.tags[CurrentTag()]);
      Refresh();
    } else if (ControlTagMatches(control->tag, "MARK")) {
      ClearMapSelection(s);
      ShowDepartmentAgain();
    } else if (ControlTagMatches(control->tag, "BACK")) {
      ShowDepartmentAgain();
    }
  }

  int32_t CurrentTag() const { return static_cast<int32_t>(id) & (kEditableAreaTags - 1); }
};

}  // namespace

std::unique_ptr<Screen> MakeAreaTagPanel() { return std::make_unique<AreaTagPanel>(); }
