#pragma once
// The map editor's screens that the frame switches: its command bar, its
// bottom panel (which holds the terrain and facility palettes) and the
// panel that keeps the derived map data. Their controls come with the
// editor; the screen set above it holds them.
#include "ui/screen.h"

class MapEditCmdBar : public Screen {
 public:
  MapEditCmdBar() : Screen("MAPEDITCMDBAR") {}
};

class MapEditorB : public Screen {
 public:
  MapEditorB() : Screen("MAPEDITORB") {}
};

class MapEditorSs2 : public Screen {
 public:
  MapEditorSs2() : Screen("MAPEDITOR_SS2") {}
};

// The screen set's palette panel, registered when the set is built: the
// editor reaches its palettes through it. Null without a screen set.
extern MapEditorB* g_editorPaletteScreen;
