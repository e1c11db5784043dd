#pragma once
// Hands the map editor the screens it works through: its frame, command
// bar and mode panels, and the map's selection and route linking.
struct ScreenSet;

void LinkEditorScreens(ScreenSet& screens);
