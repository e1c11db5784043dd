#pragma once
// The map's line-of-sight shading and overlay layers: what colour each
// visible hex gets (ownership, occupation, terrain values, supply, high
// ground, ground defence, close combat, area tags) and the layers that draw
// those colours as hex markers.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/frame/map_geometry.h"
#include "ui/panel_vocabulary.h"

// Spotting is in force (the game's fog rule).
bool SpottingInForce(const World& world);
// The greatest spotting byte of the hex over the local player and the
// players sharing sight with it; -1 while there is no spotting map.
int32_t LocalSightLevel(const World& world, Hex hex);

// The shading colour of a hex seen at level v (-1: no spotting map), or 0
// for none. Graded: unseen hexes take the full colour, a partly seen one the
// colour with alpha 120 - v, a hex seen at 120 or more none; without a map
// every hex counts as seen at 1. Two-level: only unseen hexes, and none
// without a map.
uint32_t LosShadeColour(int32_t v, bool graded, uint32_t losColour);

// At most half opaque: the alpha's top bit cleared.
inline uint32_t HalfOpaque(uint32_t colour) { return colour & 0x7FFFFFFFu; }

// Occupation: the loyal region's colour with alpha 100 + 100 x control,
// taken modulo 256 (a control of 0.5 gives 150).
uint32_t OccupationColour(float control, uint32_t loyalColour);
// Supply: the level as the owner colour's alpha; level 0 draws nothing.
uint32_t SupplyColour(uint8_t level, uint32_t ownerColour);
// Ground defence from its byte (tenths; below 3 counts as 10): alpha
// (d - 0.5) x 50 between 0 and 220.
uint32_t GroundDefenceColour(int32_t defenceByte, uint32_t defenceColour);
// Terrain value of strength a (0 to 1 and over): alpha min(255, a x 255).
uint32_t TerrainValueColour(float a, uint32_t valueColour);

// The strength the terrain-value overlay shows on a hex: value index k (0
// the relief, 1 to 8 a product value), averaged over the neighbourhood or
// exact (with what the hex's facility adds).
float TerrainValueStrength(const World& world, Hex hex, int32_t k, bool exact);

// The overlay colours of one hex, in drawing order (each one marker 3).
struct HexOverlayColours {
  uint32_t colour[16];
  int count = 0;
};
HexOverlayColours OverlayColoursOfHex(const World& world, const UiOptions& options, const MapView& view, Hex hex,
                                      bool shiftHeld);

// The layers (7 and 9 of the map frame).
void DrawLosShading(const MapView& view);
void DrawOverlayColouring(const MapView& view);
