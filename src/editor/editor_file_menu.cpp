#include "editor/editor_file_menu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/calendar.h"
#include "app/log.h"
#include "app/number_text.h"
#include "editor/editor_log.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "records/text_field.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/game_stop.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/panel_helpers.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "world/post_load.h"
#include "world/text/editor_imports.h"
#include "world/text/player_settings.h"
#include "world/text/people_bio.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/text/world_economy_table.h"
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

// A blank world, then the setup of a new scenario.
void MakeNewWorld() {
  BuildBlankEditorWorld();
  if (g_editorScreens.setupPopup) g_editorScreens.setupPopup->Popup(1, nullptr);
}

// An import that failed leaves the table as it was: the file keeps it too.
void ImportTables(int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
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

constexpr const char* kScn1Tags[] = {"SCNNAME", "STARTDATE", "TEMPAVG", "RAINAVG", "LEVELM",
                                     "UOWNER",  "UPGLAYER",  "PVARS",   "LOGFILE"};
constexpr const char* kMap1Tags[] = {"MAPNAME", "HEXWIDTH", "MAPX", "MAPY", "MAPAREA", "LEVELM"};

constexpr const char* kFilesTags[] = {"GAMFNAME", "SCNFNAME", "MAPFNAME", "TERFNAME", "REGSOUGHT", "REGFOUND"};
constexpr int32_t kFilesIds[] = {15, 24, 34};

// What the last region import looked for and what it found, shown under its
// button until a new map or a load makes it another scenario's.
RegionImportReport g_lastRegionImport;

// Through the toolkit's setter, which draws the line again: a result line
// given new text by a second press shows it at once.
void ShowText(Control* form, const char* tag, const std::string& text) {
  SetText(form ? FormFindControlByTag(form, tag) : nullptr, text);
}

std::string Percent(float factor) {
  char text[32];
  std::snprintf(text, sizeof text, "%3.0f %%", static_cast<double>(factor) * 100.0);
  return text;
}

}  // namespace

MapEditorMenu::MapEditorMenu(const char* tag) : Screen(tag, FormLookups{.tags = kMenuTags, .ids = kMenuIds}) {}

void MapEditorMenu::BindControls() {
  if (g_editorScreens.infoModes) hostLink = &g_editorScreens.infoModes->boxes[0];
}

void MapEditorMenu::OnCommand(Control*, int32_t id) {
  if (id > 0) MapEditorMenuCommand(id);
}

void BuildBlankEditorWorld() {
  g_lastRegionImport = {};
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  ResetWorldDataTables(w);
  NewGameData(w);
  LoadNewWorld(kNewWorldWidth, kNewWorldHeight);
  w.gameState.localPlayer = 0;
  w.localPlayerRecord = &w.players[0];
}

void WriteEditorBackup(const char* name) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::string base = std::string("BACKUPS\\") + name;
  WriteMapFile(g_world, base);
  WriteGamFile(g_world, base);
}

void RefreshEditorInfoPanels() {
  ScreenManager& ui = g_ui;
  if (ui.mode == kUiInGame && ui.rootForm) RedrawControlTree(ui, ui.rootForm, 1, 0);
  if (g_editorScreens.showMapTitle) g_editorScreens.showMapTitle();
  MapEditorBSs00* info = g_editorScreens.infoModes;
  if (!info) return;
  // Map, scenario, files: the order the panels depend on one another.
  for (int i : {3, 2, 1})
    if (info->infoPanels[i] && info->infoPanels[i]->currentForm) info->infoPanels[i]->Refresh();
}

void MapEditorMenuCommand(int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  switch (id) {
    case kItemLoad:
      g_lastRegionImport = {};
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
    case kItemSave: {
      // A scenario that has no usable name yet is saved through Save as,
      // which asks for one.
      const std::string name = FieldText(g_world.gameState.scenarioName);
      if (!UsableScenarioName(name)) {
        if (g_editorScreens.openFileDialog) g_editorScreens.openFileDialog(kEditorSaveAsDialog);
        break;
      }
      // A save that fails asks for another name, saying why.
      if (SaveScenarioFiles(name.c_str()) != 0 && g_editorScreens.openFileDialog)
        g_editorScreens.openFileDialog(kEditorSaveFailedDialog);
      break;
    }
    default: ImportTables(id); break;
  }
  RefreshEditorInfoPanels();
}

MapEditorScn1::MapEditorScn1(const char* tag) : Screen(tag, FormLookups{.tags = kScn1Tags, .ids = {}}) {}

void MapEditorScn1::BindControls() {
  if (g_editorScreens.infoModes) hostLink = &g_editorScreens.infoModes->boxes[2];
}

void MapEditorScn1::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  ShowText(currentForm, "SCNNAME", FieldText(w.gameState.scenarioName));
  GameDate date;
  DateFromDayNumber(static_cast<int32_t>(w.mapHeader.startDay), &date);
  const char* month = TextListEntry(g_textLists, kListMonthsinyearl, date.month - 1);
  char text[64];
  std::snprintf(text, sizeof text, "%s %d, %d", month ? month : "", date.day, date.year);
  ShowText(currentForm, "STARTDATE", text);
  ShowText(currentForm, "TEMPAVG", Percent(w.mapHeader.tuning[0]));
  ShowText(currentForm, "RAINAVG", Percent(w.mapHeader.tuning[1]));
  ShowText(currentForm, "LEVELM", std::to_string(w.mapHeader.newMapWord));
}

void MapEditorScn1::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  if (ControlTagMatches(control->tag, "UOWNER")) {
    GiveUnitsTheirHexOwners(g_world);
  } else if (ControlTagMatches(control->tag, "UPGLAYER")) {
    g_uiOptions.showFacilityIcons = (control->state & kStateSelected) ? 0 : 1;
  } else if (ControlTagMatches(control->tag, "PVARS")) {
    if (g_editorScreens.derivedData) g_editorScreens.derivedData->Popup(g_world.gameState.localPlayer, nullptr);
  } else if (ControlTagMatches(control->tag, "LOGFILE")) {
    WriteMapEditLog(g_world, g_ui.mode == kUiInGame);
  }
}

void GiveUnitsTheirHexOwners(World& world) {
  if (world.mapWidth <= 0) return;
  for (UnitRecord* unit = world.units; unit;) {
    const bool placed = unit->x != 0 || unit->y != 0;
    const bool onMap = unit->x >= 0 && unit->x < world.mapWidth && unit->y >= 0 && unit->y < world.mapHeight;
    if (IsUnitLive(*unit) && !(unit->unitFlags & kUnitProvisional) && placed && onMap) {
      const size_t cell = static_cast<size_t>(unit->y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(unit->x);
      const auto owner = static_cast<uint8_t>(CellOwner(world.cells[cell].word));
      unit->owner = owner;
      unit->controller = owner;
    }
    unit = unit->next;
    if (unit == world.units) break;
  }
}

MapEditorMap1::MapEditorMap1(const char* tag) : Screen(tag, FormLookups{.tags = kMap1Tags, .ids = {}}) {}

void MapEditorMap1::BindControls() {
  if (g_editorScreens.infoModes) hostLink = &g_editorScreens.infoModes->boxes[3];
}

void MapEditorMap1::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const MapHeader& h = g_world.mapHeader;
  ShowText(currentForm, "MAPNAME", FieldText(h.gameTitle));
  ShowText(currentForm, "HEXWIDTH", std::to_string(h.hexScale));
  ShowText(currentForm, "MAPX", std::to_string(h.width));
  ShowText(currentForm, "MAPY", std::to_string(h.height));
  ShowText(currentForm, "LEVELM", std::to_string(h.newMapWord));
  // The area's groups need room; a box too small for them shows nothing.
  Control* area = currentForm ? FormFindControlByTag(currentForm, "MAPAREA") : nullptr;
  if (area && IsStringKind(area) && static_cast<StringControl*>(area)->bufferSize >= 3) {
    char text[kNumberTextSize];
    ControlSetText(area, FormatNumberText(text, 0, 0, "", 0, "", 0, static_cast<double>(h.areaWord)));
  }
}

MapEditorFiles::MapEditorFiles(const char* tag) : Screen(tag, FormLookups{.tags = kFilesTags, .ids = kFilesIds}) {}

void MapEditorFiles::BindControls() {
  if (g_editorScreens.infoModes) hostLink = &g_editorScreens.infoModes->boxes[1];
}

void MapEditorFiles::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  ShowText(currentForm, "GAMFNAME", FieldText(w.gameState.scenarioName));
  ShowText(currentForm, "SCNFNAME", "");
  ShowText(currentForm, "MAPFNAME", FieldText(w.gameState.mapName));
  ShowText(currentForm, "TERFNAME", FieldText(w.mapHeader.terrainFileName));
  ShowText(currentForm, "REGSOUGHT", g_lastRegionImport.sought);
  ShowText(currentForm, "REGFOUND", g_lastRegionImport.found);
}

void MapEditorFiles::OnCommand(Control*, int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (id <= 0) return;
  switch (id) {
    case 15: g_lastRegionImport = ImportScenarioRegions(g_world); break;
    case 24:
      if (g_editorScreens.setupPopup) g_editorScreens.setupPopup->Popup(0, nullptr);
      break;
    case 34:
      if (g_editorScreens.mapPopup) g_editorScreens.mapPopup->Popup(0, nullptr);
      break;
    default: break;
  }
  RefreshEditorInfoPanels();
}

RegionImportReport ImportScenarioRegions(World& world) {
  const int players = std::min(world.gameState.playerCount, kMaxPlayers - 1);
  uint32_t kept[kMaxPlayers] = {};
  for (int i = 1; i <= players; ++i) kept[i] = world.players[i].displayPolicy.pointerSlot12;
  const std::string name = FieldText(world.gameState.scenarioName);
  const std::string sheet = "CUSTOM\\" + name + ".CSV";
  RegionImportReport report{"Looked for " + sheet, {}};
  std::string why;
  if (name.empty()) {
    // The sheet goes by the scenario's name: without one there is none.
    report = {"No sheet to look for:", "The scenario has no name yet."};
  } else if (ReadPlayerCsv(world, name.c_str(), &why) == 0) {
    const int32_t last = world.gameState.highestPlayer;
    int32_t first = last;
    while (first > 1 && world.players[first - 1].kind == kKindHuman) --first;
    report.found = "Read regions " + std::to_string(first) + " to " + std::to_string(last) + ".";
  } else if (!plat::GameFileExists(sheet)) {
    // The map maker's most likely case: a new scenario's sheet is not made
    // yet. Without regions every game of it ends on its first day.
    report.found = "Not there: no regions read.";
  } else {
    // The reader's reason, with its line, goes to the log whole.
    const size_t at = why.find(" line ");
    report.found = "Not read: " + (at == std::string::npos ? why : why.substr(at + 1));
  }
  LogWrite(g_platform, "Region import: %s %s\n", report.sought.c_str(), report.found.c_str());
  LoadCVars2Table(world, "CVars2");
  LoadDefaultPlayerSettings(world, "Default");
  for (int i = 1; i <= players; ++i)
    world.players[i].simPolicy.pointerSlot12 = world.players[i].displayPolicy.pointerSlot12 = kept[i];
  RestorePlayerPolicies(world);
  return report;
}
