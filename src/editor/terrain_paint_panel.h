#pragma once
// The terrain painting panel of editor mode 2: the terrain palette, the
// attributes the brush writes into a hex (owner, loyalty, two hex flags) and
// the toggles that choose what the brush does. Window thread only.
#include <cstdint>

#include "ui/screen.h"

struct World;

inline constexpr const char* kTerrainPaintTags[] = {"TERRAINBITS", "TERRAINPICK", "TDESC",      "HEXOWN",
                                                    "HEXLOYAL",    "HEXEQ",       "HEXH",       "BUTMEMODE",
                                                    "BUTTSMODE",   "BUTFULLHEX",  "IHRESET",    "FILL"};
// The text showing the selected hex's terrain.
inline constexpr int32_t kHexTerrainTextId = 10;
inline constexpr int32_t kTerrainPaintIds[] = {kHexTerrainTextId};

class TerrainPaintPanel : public Screen {
 public:
  TerrainPaintPanel()
      : Screen("MAPEDITORB_SS0", FormLookups{.tags = kTerrainPaintTags, .ids = kTerrainPaintIds}) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t code) override;
  void OnControlChange(Control* control, int32_t code) override;
  int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t p1, intptr_t p2,
                           intptr_t p3, Control* control, int32_t zero) override;
};

// Writes the panel's owner, loyalty and hex flags into the hex at the
// position (and the owner into its facility) while editing is on and no
// panel is reading the hex; nothing at (0, 0), which is no hex.
void PaintHexAttributesAt(World& world, uint32_t position);
// The same on the selected hex.
void PaintHexAttributes(TerrainPaintPanel& panel);
// Resets the panel's attributes; a selected hex goes back to terrain 0, and
// takes the reset attributes while editing is on.
void ResetHexAttributes(TerrainPaintPanel& panel);
// With code 10 (the hex's terrain text) the selected hex's terrain becomes
// the brush, while editing is on.
void PickHexTerrain(TerrainPaintPanel& panel, int32_t code);

// The palette's tooltip names the terrain of the cell at (x, y), screen
// pixels (none off the palette).
void NameTerrainCellAt(Control* palette, int32_t x, int32_t y);

// The palette cell under (x, y) of a palette shown at screen rectangle
// (left, top, right) scrolled by scroll pixels: 16 cells of 32 pixels to a
// row over a 512-pixel window; anything outside the terrain table is 0.
int32_t TerrainPaletteIndex(int32_t left, int32_t top, int32_t right, int32_t x, int32_t y, int32_t scroll,
                            int32_t terrainCount);
