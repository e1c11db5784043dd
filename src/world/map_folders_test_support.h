#pragma once
// Tests stand in for the interface's folder state: while one of these lives
// the world's folder hooks answer from it; afterwards they, and the answers
// of an enclosing one, are as before.
#include "world/map_folders.h"

class TestMapFolders {
 public:
  explicit TestMapFolders(bool mapEditor = false, bool customScenario = false)
      : saved_(g_mapFolderHooks), savedMapEditor_(s_mapEditor), savedCustomScenario_(s_customScenario) {
    Set(mapEditor, customScenario);
    g_mapFolderHooks.mapEditor = [] { return s_mapEditor; };
    g_mapFolderHooks.customScenario = [] { return s_customScenario; };
  }
  ~TestMapFolders() {
    g_mapFolderHooks = saved_;
    Set(savedMapEditor_, savedCustomScenario_);
  }
  TestMapFolders(const TestMapFolders&) = delete;
  TestMapFolders& operator=(const TestMapFolders&) = delete;

  void Set(bool mapEditor, bool customScenario) {
    s_mapEditor = mapEditor;
    s_customScenario = customScenario;
  }

 private:
  static inline bool s_mapEditor = false;
  static inline bool s_customScenario = false;
  MapFolderHooks saved_;
  bool savedMapEditor_;
  bool savedCustomScenario_;
};
