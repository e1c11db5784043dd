#pragma once
// The editor's file menu, in the first of the information panels: loading,
// saving, a new world and leaving, each destructive step after a backup of
// the map and game files under "BACKUPS\", and the imports of the data
// tables from their CSV sheets.
#include <cstdint>

#include "ui/screen.h"

class MapEditorMenu : public Screen {
 public:
  explicit MapEditorMenu(const char* tag);
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};

// Runs a menu item (ids as the menu's buttons carry them); every item but
// quitting ends with the information panels refreshed.
void MapEditorMenuCommand(int32_t id);
// Writes the map and game files as "BACKUPS\<name>" (no report).
void WriteEditorBackup(const char* name);
// The map, scenario and file panels show the world again.
void RefreshEditorInfoPanels();
