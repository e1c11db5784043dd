#pragma once
// The pointer: the system cursor, or the device cursor moved by the cursor thread.
struct PlatformState;

void HideCursor(PlatformState& platform);
void ShowCurrentCursor(PlatformState& platform);
void RestoreCursor(PlatformState& platform);
