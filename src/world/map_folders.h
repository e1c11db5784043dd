#pragma once
// Which folder maps, games, data files and scenario files are read from and
// written to: "MAPS\" in a game, "CUSTOM\" in the map editor, and for a
// custom scenario read from "CUSTOM\" but written to "MAPS\". The interface
// keeps that state (it enters the editor and starts custom scenarios) and
// answers through these hooks; without them (the headless runner, tools,
// most tests) it is a game from "MAPS\".

struct MapFolderHooks {
  // The map editor runs (for the rest of the program's life).
  bool (*mapEditor)() = nullptr;
  // A custom scenario is being played.
  bool (*customScenario)() = nullptr;
};

extern MapFolderHooks g_mapFolderHooks;

// The map editor's folder and rules: files written to "CUSTOM\", the range
// map taken from the unit ring, units with bad entries leaving the map.
bool InMapEditor();
// Files read from "CUSTOM\": in the map editor or a custom scenario.
bool ReadsCustomFolder();
