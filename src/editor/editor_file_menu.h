#pragma once
// The editor's file menu, in the first of the information panels: loading,
// saving, a new world and leaving, each destructive step after a backup of
// the map and game files under "BACKUPS\", and the imports of the data
// tables from their CSV sheets.
#include <cstdint>
#include <string>

#include "ui/screen.h"

class MapEditorMenu : public Screen {
 public:
  explicit MapEditorMenu(const char* tag);
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};

// The scenario information panel: the scenario's name, start date and
// climate factors and level, and its scenario-wide commands: the units take
// their hexes' owners (UOWNER), the map's facility layer is hidden or shown
// (UPGLAYER), the player variables open (PVARS), and the edit log
// (LOGFILE).
class MapEditorScn1 : public Screen {
 public:
  explicit MapEditorScn1(const char* tag);
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};

// The map's name, hex width, size, area and level in metres.
class MapEditorMap1 : public Screen {
 public:
  explicit MapEditorMap1(const char* tag);
  void BindControls() override;
  void Refresh() override;
};

// The scenario's file names, the region import and the two set-up dialogs.
class MapEditorFiles : public Screen {
 public:
  explicit MapEditorFiles(const char* tag);
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};

struct World;
// What a region import looked for (the sheet named after the scenario) and
// what came of it, as the files panel shows it under the import's button.
struct RegionImportReport {
  std::string sought;
  std::string found;
};
// Reads the scenario's region sheet and the default player settings again;
// each player's pointer word of the policy blocks survives the import.
RegionImportReport ImportScenarioRegions(World& world);
// Every live, shown unit off (0, 0) takes its hex's owner in both its
// owner bytes.
void GiveUnitsTheirHexOwners(World& world);

// Runs a menu item (ids as the menu's buttons carry them); every item but
// quitting ends with the information panels refreshed.
void MapEditorMenuCommand(int32_t id);
// The blank 240 x 120 world of a new scenario, with empty data tables.
void BuildBlankEditorWorld();
// Writes the map and game files as "BACKUPS\<name>" (no report).
void WriteEditorBackup(const char* name);
// The map, scenario and file panels show the world again.
void RefreshEditorInfoPanels();
