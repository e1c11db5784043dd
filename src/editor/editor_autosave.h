#pragma once
// The map editor's timed autosave of map and scenario.
#include <cstdint>

struct ScreenManager;

void EditorAutosave(ScreenManager& ui, int32_t force);
