#include "world/map_folders.h"

MapFolderHooks g_mapFolderHooks;

bool InMapEditor() { return g_mapFolderHooks.mapEditor && g_mapFolderHooks.mapEditor(); }

bool ReadsCustomFolder() {
  return InMapEditor() || (g_mapFolderHooks.customScenario && g_mapFolderHooks.customScenario());
}
