#include "screens/frame_bars.h"

#include <algorithm>

#include "app/app_object.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/facility_paint_panel.h"
#include "editor/terrain_paint_panel.h"
#include "platform/clock.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

Control* PaletteControl(const char* tag) {
  Control* form = g_screens.editorStrip.currentForm;
  return form ? FormFindControlByTag(form, tag) : nullptr;
}

// The editor's command strip or the game's three command bars show, the
// other hides; the fourth right box shows and the fifth hides either way.
void ShowCommandStrips(ScreenManager& ui, ScreenSet& s, bool editor) {
  SetHidden(s.mapEditCmdBar.currentForm, !editor);
  for (Screen* bar : {static_cast<Screen*>(&s.cmdBar), static_cast<Screen*>(&s.speedBar), static_cast<Screen*>(&s.mailBar)})
    SetHidden(bar->currentForm, editor);
  SetHidden(ui.bottomStrip, !editor);
  SetHidden(ui.bottomBar, editor);
  SetHidden(ui.rightBoxes[3], false);
  SetHidden(ui.rightBoxes[4], true);
}

}  // namespace

void ShowFrontEndScreen(ScreenManager& ui) {
  if (!ui.skipFrontEnd) OpenScreen(g_screens.startMenu);
  if (g_platform.mainWindow) plat::SetWindowTimer(g_platform.mainWindow, kUiTimerId, kUiTimerMs);
}

void ShowEditorFrameBars(ScreenManager& ui) {
  ScreenSet& s = g_screens;
  g_uiOptions.sidescreens = 1;
  s.editorStrip.AttachForm(ui.bottomStrip);
  ShowCommandStrips(ui, s, true);
  OpenScreen(s.editorBar);
  OpenScreen(s.mapEditCmdBar);
  OpenScreen(s.hexInfoPopup);
  SetMapEditMode(0, 0);
  RecalcDerivedMapData(s.playerVariablesPanel);
  g_editorPalette.dirty[0] = g_editorPalette.dirty[1] = 0;
  g_editorPalette.autosaveStart = plat::TickCount();
  ApplySideScreensLayout(*ui.mapView);
}

void ShowGameFrameBars(ScreenManager& ui) {
  ScreenSet& s = g_screens;
  ShowCommandStrips(ui, s, false);
  s.titleBar->id = g_uiOptions.btitlebartransp;
  OpenScreen(*s.titleBar);
  OpenScreen(s.cmdBar);
  s.productScreen.graphTimeScale = g_uiOptions.dayannual ? 365.0f : 1.0f;
}

void ScrollEditorPalettes(ScreenManager&) {
  g_screens.editorBar.InspectHexText(nullptr);
  EditorPaletteState& p = g_editorPalette;
  const bool facility = p.kind == kPaletteFacility;
  if (!facility && p.kind != kPaletteTerrain) return;
  Control* palette = PaletteControl(facility ? "UGBITS" : "TERRAINBITS");
  if (facility) {
    NameFacilityCellAt(palette, g_ui.lastCursorX, g_ui.lastCursorY);
  } else {
    NameTerrainCellAt(palette, g_ui.lastCursorX, g_ui.lastCursorY);
  }
  if (!palette || p.pendingScroll == 0) return;
  auto* bitmap = dynamic_cast<BitmapControl*>(palette);
  const int32_t visible = palette->rect.bottom - palette->rect.top;
  int32_t& offset = facility ? p.facilityOffset : p.terrainOffset;
  offset = ScrollPalette(p.pendingScroll, offset, visible, facility ? 256 : kTerrainSheetHeight);
  if (bitmap) {
    bitmap->images[0].source.top = offset;
    bitmap->images[0].source.bottom = offset + visible;
  }
  palette->Invalidate();
}

void DrawEditorBrush(ScreenManager&) {
  const EditorPaletteState& p = g_editorPalette;
  if (p.kind == kPaletteTerrain && g_editorMap.brushValue >= 0)
    DrawTerrainBits(PaletteControl("TERRAINBITS"), 0xFFFFFF00);
  if (p.kind == kPaletteFacility && p.brush >= 0) DrawFacilityBits(PaletteControl("UGBITS"), 0xFFFFFF00);
}
