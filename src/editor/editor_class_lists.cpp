#include "editor/editor_class_lists.h"

EditorUnitClassChoice g_editorUnitClass;

void SetEditorUnitClass(int32_t classIndex) {
  g_editorUnitClass.current = classIndex > 0 ? classIndex : 0;
  if (classIndex > 0) g_editorUnitClass.brush = classIndex;
}

int32_t EditorUnitClass() { return g_editorUnitClass.current; }

int32_t EditorBrushClass() { return g_editorUnitClass.brush; }
