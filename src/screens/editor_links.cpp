#include "screens/editor_links.h"

#include <string>

#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "records/text_field.h"
#include "records/unit_record.h"
#include "screens/frontend/game_file_screen.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/screen_panel_helpers.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "world/list_holder.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

std::string g_editorFileChoice;

void OpenEditorFileDialog(int32_t which) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const bool load = which == kEditorLoadDialog;
  g_editorFileChoice = load ? "" : FieldText(g_world.gameState.scenarioName);
  OpenFileDialog(load ? "LOAD SCENARIO" : "SAVE AS", load ? ".GMC" : ".GAM", "CUSTOM\\", &g_screens.gameFile,
                 load ? kFileDialogLoad : kFileDialogSave, &g_editorFileChoice,
                 load ? kFileActionLoadScenario : kFileActionSaveScenario, 1);
  if (which == kEditorSaveFailedDialog) g_screens.gameFile.ShowFailure(kScenarioNotSaved);
}

// The lists that name units by pointer and id drop a unit about to be freed.
void ForgetUnit(const UnitRecord& unit) {
  const auto drop = [&unit](ListHolder& list) {
    for (ListItem28* item = FirstInHolder(list); item;) {
      ListItem28* next = NextInHolder(list, item);
      if (item->object == &unit) ListHolderRemove(list, item);
      item = next;
    }
  };
  for (ListHolder& list : g_screens.workingLists) drop(list);
  drop(HoverStackList());
}

// Class numbers past the table show no picture.
void DrawEditorClassPicture(Control* control, int32_t classIndex, int32_t frame) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (control) DrawUnitClassIcon(classIndex, nullptr, ClassRecordAt(g_world, classIndex), control, true, frame);
}

}  // namespace

void LinkEditorScreens(ScreenSet& s) {
  EditorScreens e;
  e.frame = &s.editorStrip;
  e.cmdBar = &s.mapEditCmdBar;
  Screen* const panels[kEditorModes] = {&s.editorInfoPanel, &s.editorInfoPanel, &s.terrainPaintPanel, &s.terrainTypePanel,
                                        nullptr,           &s.facilityPaintPanel,  &s.facilityTypePanel, nullptr,
                                        &s.unitToolPanel,  &s.editorTechPanel};
  for (int i = 0; i < kEditorModes; ++i) e.modePanels[i] = panels[i];
  e.terrainPaint = &s.terrainPaintPanel;
  e.infoModes = &s.editorInfoPanel;
  e.derivedData = &s.playerVariablesPanel;
  e.setupPopup = &s.scenarioSetupDialog;
  e.mapPopup = &s.mapSetupDialog;
  e.openFileDialog = OpenEditorFileDialog;
  e.showMapTitle = [] { g_screens.minimapBar.ShowMapTitle(); };
  e.applyFacilityBrush = [] { g_screens.facilityPaintPanel.ApplyHexFacilityBrush(); };
  e.placeUnit = [] {
    plat::CriticalSectionLock lock(g_simulationLock);
    g_screens.unitToolPanel.PlaceUnit(g_world);
  };
  g_editorScreens = e;
  Screen* const info[4] = {&s.fileMenuPanels[0], &s.scenarioFilePanels[0], &s.scenarioInfoPanels[0], &s.mapInfoPanels[0]};
  for (int i = 0; i < 4; ++i) s.editorInfoPanel.infoPanels[i] = info[i];
  s.terrainTypePanel.chart = &s.terrainChartPanel;
  s.terrainTypePanel.attributes = &s.attributesPanel;
  s.facilityPaintPanel.attributes = &s.attributesPanel;
  s.facilityPaintPanel.industry = &s.industryPanel;
  s.facilityTypePanel.costs = &s.costsPanel;
  s.facilityTypePanel.industry = &s.industryPanel;
  s.facilityTypePanel.chart = &s.terrainChartPanel;
  s.facilityTypePanel.attributes = &s.attributesPanel;
  s.unitToolPanel.equipmentList = &s.equipmentListPanel;
  s.unitToolPanel.hexUnitList = s.hexUnitListPanel.get();
  s.unitToolPanel.stockClassList = &s.stockClassListPanel;
  s.unitToolPanel.stockUnitList = s.stockUnitListPanel.get();
  s.unitAttributesPanel.popup = &s.unitDetail;
  s.editorTechPanel.techPopup = &s.techPopup;
  s.stockClassListPanel.stockUnits = s.stockUnitListPanel.get();
  g_editorUnitClass.chosen = [] { g_screens.unitToolPanel.FillEquipmentPanel(); };
  g_editorUnitClass.readSliders = [](UnitRecord& unit) { g_screens.unitToolPanel.ReadUnitSliders(unit); };
  g_editorLinks.setMapSelection = SetMapSelection;
  g_editorLinks.linkAlongRoute = [](int32_t classIndex) { LinkHexesAlongRoute(g_screens, classIndex, 1, 0); };
  g_editorLinks.pendingSelection = &g_mapPlacement.routeStarted;
  g_editorLinks.forgetUnit = ForgetUnit;
  g_editorLinks.drawClassPicture = DrawEditorClassPicture;
}
