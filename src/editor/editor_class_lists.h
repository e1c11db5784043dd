#pragma once
// The unit tool's choice of class as the class lists make it: the current
// class and the class the unit brush places, both by index, since the
// unit-types import rebuilds the class table. Window thread only.
#include <cstdint>

struct UnitRecord;

struct EditorUnitClassChoice {
  int32_t current = 0;  // the tool panel's current class; 0 none
  int32_t brush = 0;    // the class the unit brush places: the last one chosen
  // The tool panel shows the newly chosen class's settings; installed with it.
  void (*chosen)() = nullptr;
  // The tool panel's settings (sliders and state) applied to a unit just
  // made from a list; installed with it.
  void (*readSliders)(UnitRecord& unit) = nullptr;
};
extern EditorUnitClassChoice g_editorUnitClass;

// Makes the class current; 0 leaves no current class and the brush keeps
// the last one.
void SetEditorUnitClass(int32_t classIndex);
// The tool panel's current class, 0 for none.
int32_t EditorUnitClass();
// The class the unit brush places.
int32_t EditorBrushClass();
