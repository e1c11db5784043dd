#include "editor/editor_file_menu.h"

#include <string>

#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "records/text_field.h"
#include "sim/game_stop.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/text/editor_imports.h"
#include "world/text/people_bio.h"
#include "world/unit_class_file.h"
#include "world/world.h"

namespace {

constexpr int32_t kNewWorldWidth = 240;
constexpr int32_t kNewWorldHeight = 120;
constexpr const char* kMenuTags[] = {"MENULOAD", "MENUSAVE", "MENUNEW", "MENUQUIT"};
constexpr int32_t kMenuIds[] = {1, 3, 4, 5, 6, 11, 12, 13, 14};

enum MenuItem : int32_t {
  kItemLoad = 1,
  kItemSaveAs = 3,
  kItemNew = 4,
  kItemQuit = 5,
  kItemSave = 6,
  kItemPeople = 11,
  kItemUnits = 12,
  kItemTech = 13,
  kItemTerrain = 14,
};

// A blank world as the editor starts with, then the setup of a new scenario.
void MakeNewWorld() {
  World& w = g_world;
  ResetWorldDataTables(w);
  NewGameData(w);
  LoadNewWorld(kNewWorldWidth, kNewWorldHeight);
  w.gameState.localPlayer = 0;
  w.localPlayerRecord = &w.players[0];
  if (g_editorScreens.setupPopup) g_editorScreens.setupPopup->Popup(1, nullptr);
}

// An import that failed leaves the table as it was: the file keeps it too.
void ImportTables(int32_t id) {
  World& w = g_world;
  const MapHeader& h = w.mapHeader;
  switch (id) {
    case kItemPeople:
      if (ImportPeopleCsv(w, "PPLFILE") < 0) return;
      LoadPeopleBio(g_peopleBio, "PeopleBio");
      WritePplFile(w, FieldText(h.peopleFileName));
      break;
    case kItemUnits:
      if (ImportUnitsCsv(w, "VDUNITS") >= 0) WriteUniFile(w, FieldText(h.unitFileName));
      break;
    case kItemTech:
      if (ImportTechTreeCsv(w, "TECHTREE") >= 0) WriteTtrFile(w, FieldText(h.techFileName));
      break;
    case kItemTerrain:
      if (ImportTerrainCsv(w, "TERFILE") < 0) return;
      WriteTerFile(w, FieldText(h.terrainFileName));
      if (g_editorScreens.derivedData) RecalcDerivedMapData(*g_editorScreens.derivedData);
      break;
    default: break;
  }
}

}  // namespace

MapEditorMenu::MapEditorMenu(const char* tag) : Screen(tag, FormLookups{.tags = kMenuTags, .ids = kMenuIds}) {}

void MapEditorMenu::BindControls() {
  if (g_editorScreens.infoModes) hostLink = &g_editorScreens.infoModes->boxes[0];
}

void MapEditorMenu::OnCommand(Control*, int32_t id) {
  if (id > 0) MapEditorMenuCommand(id);
}

void WriteEditorBackup(const char* name) {
  const std::string base = std::string("BACKUPS\\") + name;
  WriteMapFile(g_world, base);
  WriteGamFile(g_world, base);
}

void RefreshEditorInfoPanels() {
  ScreenManager& ui = g_ui;
  if (ui.mode == kUiInGame && ui.rootForm) RedrawControlTree(ui, ui.rootForm, 1, 0);
  MapEditorBSs00* info = g_editorScreens.infoModes;
  if (!info) return;
  // Map, scenario, files: the order the panels depend on one another.
  for (int i : {3, 2, 1})
    if (info->infoPanels[i] && info->infoPanels[i]->currentForm) info->infoPanels[i]->Refresh();
}

void MapEditorMenuCommand(int32_t id) {
  switch (id) {
    case kItemLoad:
      WriteEditorBackup("AUTOBACKUPL");
      if (g_editorScreens.openFileDialog) g_editorScreens.openFileDialog(kEditorLoadDialog);
      break;
    case kItemSaveAs:
      if (g_editorScreens.openFileDialog) g_editorScreens.openFileDialog(kEditorSaveAsDialog);
      break;
    case kItemNew:
      WriteEditorBackup("AUTOBACKUPN");
      MakeNewWorld();
      break;
    case kItemQuit:
      WriteEditorBackup("AUTOBACKUPQ");
      SwitchGameScreen(&g_ui, false);
      return;
    case kItemSave: SaveScenarioFiles(FieldText(g_world.gameState.scenarioName).c_str()); break;
    default: ImportTables(id); break;
  }
  RefreshEditorInfoPanels();
}
