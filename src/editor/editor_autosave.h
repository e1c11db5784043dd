#pragma once
// The map editor's timed autosave of map and scenario.
#include <cstdint>

struct ScreenManager;

// Ten minutes between autosaves.
inline constexpr uint32_t kEditorAutosaveMs = 600000;

// With force set, restarts the interval without writing. Otherwise, once the
// interval has passed, writes the map and game files as
// "BACKUPS\AUTOSAVE<scenario>" and restarts it; a failed write is not
// reported and waits for the next interval like a good one.
void EditorAutosave(ScreenManager& ui, int32_t force);
