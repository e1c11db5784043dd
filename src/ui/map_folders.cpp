#include "ui/map_folders.h"

#include "world/map_folders.h"

MapFolderState g_mapFolders;

void InstallMapFolderHooks() {
  g_mapFolderHooks.mapEditor = [] { return g_mapFolders.mapEditor; };
  g_mapFolderHooks.customScenario = [] { return g_mapFolders.customScenario; };
}
