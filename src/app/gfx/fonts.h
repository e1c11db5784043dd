#pragma once
// The bitmap-font table: 16 slots of fonts that controls and screens index.
struct PlatformState;

// Makes the table and its fonts once the device exists.
void LoadFontTable();
// Re-creates every font's vertex buffer after a device reset.
void RestoreFontBuffers(PlatformState& platform);
// Lets go of every font's vertex buffer before a device reset.
void ReleaseFontBuffers(PlatformState& platform);
// Frees every font and the table.
void FreeAllFonts(PlatformState& platform);
