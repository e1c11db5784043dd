#include "editor/editor_autosave.h"

// The editor's files and their autosave interval come with the editor.
void EditorAutosave(ScreenManager&, int32_t) {}
