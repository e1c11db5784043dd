#pragma once
// What a test that opens the map editor in process gives back when it ends:
// the editor makes a region its own and keeps its folders, map, palette and
// class choice in globals that later programs in the process would inherit.
#include <cstdint>

#include "editor/editor_class_lists.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "support/global_guard.h"
#include "ui/map_folders.h"
#include "world/world.h"

class EditorProgramGuard {
 public:
  EditorProgramGuard() = default;
  EditorProgramGuard(const EditorProgramGuard&) = delete;
  EditorProgramGuard& operator=(const EditorProgramGuard&) = delete;
  ~EditorProgramGuard() {
    g_world.gameState.localPlayer = player_;
    g_world.localPlayerRecord = record_;
  }

 private:
  int32_t player_ = g_world.gameState.localPlayer;
  PlayerRecord* record_ = g_world.localPlayerRecord;
  GlobalGuard<MapFolderState> folders_{g_mapFolders};
  GlobalGuard<EditorMapState> map_{g_editorMap};
  GlobalGuard<EditorPaletteState> palette_{g_editorPalette};
  GlobalGuard<EditorUnitClassChoice> unitClass_{g_editorUnitClass};
};
