#pragma once
// The map editor's screens: its frame, its command bar with the mode tabs,
// the panel of the information modes and the panel that keeps the derived
// map data; and the registry through which the editor reaches the tool
// panels of the screen set above it.
#include <cstdint>
#include <string>

#include "ui/screen.h"

// What the command bar says when the map is clicked with Edit map off.
inline constexpr const char* kEditingOffHint = "Turn Edit map on to paint.";

class MapEditCmdBar : public Screen {
 public:
  MapEditCmdBar() : Screen("MAPEDITCMDBAR") {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // Says on the bar that the map takes no brush or fill until Edit map is
  // pressed, or clears the line.
  void ShowEditingOffHint(bool shown);
  // Says on the bar why the last click changed nothing ("" clears it): the
  // text, or the shorter one when the text is too wide for the line.
  void ShowHint(const std::string& text, const std::string& shorter = {});

  int32_t currentTab = 1;
  int32_t height = 0;
};

class MapEditorB : public Screen {
 public:
  MapEditorB() : Screen("MAPEDITORB") {}
  void BindControls() override;

  Control* toolHost = nullptr;  // PARENTT: the mode panels
  Control* barHost = nullptr;   // CMDMAP: the command bar
};

// The panel of modes 0 and 1: the four information panels.
class MapEditorBSs00 : public Screen {
 public:
  MapEditorBSs00() : Screen("MAPEDITORB_SS00") {}
  void BindControls() override;
  void Refresh() override;

  Control* boxes[4] = {};
  Screen* infoPanels[4] = {};  // menu, files, scenario, map: set by the screen set
};

// One region's name, people and product rows as the derived map data
// leaves them; choosing a region makes it the local player, whom the other
// panels then work on. The chosen region is the screen's id.
class PlayerVariablesPanel : public Screen {
 public:
  PlayerVariablesPanel();
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;
};

inline constexpr int32_t kEditorModes = 10;

// The editor's screens as the screen set holds them (null without one):
// each mode's tool panel (none for 4 and 7), the terrain painting panel,
// and the facility and unit tools' steps of the brush.
struct EditorScreens {
  MapEditorB* frame = nullptr;
  MapEditCmdBar* cmdBar = nullptr;
  Screen* modePanels[kEditorModes] = {};
  Screen* terrainPaint = nullptr;
  void (*applyFacilityBrush)() = nullptr;
  void (*placeUnit)() = nullptr;
  MapEditorBSs00* infoModes = nullptr;  // hosts the information panels
  PlayerVariablesPanel* derivedData = nullptr;
  Screen* setupPopup = nullptr;  // the scenario setup dialog
  Screen* mapPopup = nullptr;    // the map's size and scale dialog
  // Opens the game file dialog on "CUSTOM\" for kEditorLoadDialog (a
  // scenario definition), kEditorSaveAsDialog (the scenario's files) or
  // kEditorSaveFailedDialog (Save as, saying that the save failed).
  void (*openFileDialog)(int32_t which) = nullptr;
  // The map's title shown again where the screens show it (the minimap).
  void (*showMapTitle)() = nullptr;
};
enum EditorFileDialog : int32_t { kEditorLoadDialog = 1, kEditorSaveAsDialog = 3, kEditorSaveFailedDialog = 4 };
extern EditorScreens g_editorScreens;
