#pragma once
// Where the interface keeps maps: once it enters the map editor maps go to
// and come from "CUSTOM\"; a custom scenario it starts is read from there.
// The world's file routines ask through their folder hooks.

struct MapFolderState {
  bool mapEditor = false;
  bool customScenario = false;
};

extern MapFolderState g_mapFolders;

// Points the world's folder hooks at g_mapFolders (start-up).
void InstallMapFolderHooks();
