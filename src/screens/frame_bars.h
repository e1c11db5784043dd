#pragma once
// The frame's screens: the front end's first screen, the bars the frame
// switches between the map editor and the game, and the editor's palettes
// in the bottom strip (their scroll each frame and the brush outline drawn
// over them). Window thread only.

struct ScreenManager;

// Opens the start menu unless told to skip it, then starts the window timer.
void ShowFrontEndScreen(ScreenManager& ui);
// Switch the frame between the editor's bars and the game's.
void ShowEditorFrameBars(ScreenManager& ui);
void ShowGameFrameBars(ScreenManager& ui);
// Moves the editor's palette in use by half its pending scroll.
void ScrollEditorPalettes(ScreenManager& ui);
// The outline of the brush on the palette in use, while a brush is chosen.
void DrawEditorBrush(ScreenManager& ui);
