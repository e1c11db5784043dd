#include "screens/editor_links.h"

#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/main/map_input/map_selection.h"
#include "screens/main/map_input/selection.h"
#include "screens/screen_set.h"

void LinkEditorScreens(ScreenSet& s) {
  EditorScreens e;
  e.frame = &s.mapEditorB;
  e.cmdBar = &s.mapEditCmdBar;
  Screen* const panels[kEditorModes] = {&s.mapEditorBSs00, &s.mapEditorBSs00, &s.mapEditorBSs0, &s.mapEditorBSs1,
                                        nullptr,           &s.mapEditorBSs3,  &s.mapEditorBSs4, nullptr,
                                        &s.mapEditorBSs6,  &s.mapEditorBSs7};
  for (int i = 0; i < kEditorModes; ++i) e.modePanels[i] = panels[i];
  e.terrainPaint = &s.mapEditorBSs0;
  g_editorScreens = e;
  Screen* const info[4] = {&s.mapEditorMenu[0], &s.mapEditorFiles[0], &s.mapEditorScn1[0], &s.mapEditorMap1[0]};
  for (int i = 0; i < 4; ++i) s.mapEditorBSs00.infoPanels[i] = info[i];
  s.mapEditorBSs1.chart = &s.mapEditorTchart;
  s.mapEditorBSs1.attributes = &s.mapEditorAttrib;
  g_editorLinks.setMapSelection = SetMapSelection;
  g_editorLinks.linkAlongRoute = [](int32_t classIndex) { LinkHexesAlongRoute(g_screens, classIndex, 1, 0); };
  g_editorLinks.pendingSelection = &g_mapPlacement.routeStarted;
}
