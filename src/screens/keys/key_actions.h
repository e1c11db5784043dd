#pragma once
// What the longer hotkeys do: the department screens, the next player, the
// industry and unit pop-ups of the selected hex, Escape, Backspace and
// Space, the zoom slider, the Alt filter and the unit groups. The table in
// key_table.cpp names one of these, or a one-line toggle, per row. Window
// thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// Main panel numbers: 1 the map, 2 to 8 the departments (F3 to F9).
inline constexpr int32_t kFirstDepartmentPanel = 2;
void OpenDepartmentScreen(ScreenManager& ui, int32_t panel);

// The next player that takes part becomes the local one, after one full
// cycle at the latest (the local player stays when none does); while the
// seat words say a hand-over is pending, flips the toggle word instead.
void NextPlayerKey(ScreenManager& ui);
// POPUP_INDUSTRY on the page of the selected production facility's largest
// product need (0 when none is above 0), else keeping its page.
void IndustryKey(ScreenManager& ui);
// POPUP_MILITARY1 on the first unit of the selected hex, with the hex's
// units (by id) to page through, when the local player sees one of them.
void UnitPopupKey(ScreenManager& ui);

void EscapeKey(ScreenManager& ui, int32_t editor);
void BackspaceKey(ScreenManager& ui);
void SpaceKey(ScreenManager& ui, int32_t editor);

// The zoom slider's value is the zoom above the minimum: 0 to max - min.
float ZoomSliderValue();
void SetZoomSlider(float value);
// The slider to the larger end (the maximum), or a step of +0.1 or -0.1.
void ZoomSliderStep(float step);

// The map's unit filter number (Alt with a top-row digit).
void SetUnitFilter(ScreenManager& ui, int32_t digit);

