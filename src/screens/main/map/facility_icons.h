#pragma once
// The facility layer of the map: a hex's connection pieces (its two
// improvement slots) and the symbol of its lead facility; also the previews
// of a facility about to be placed. The close-up picture of the side panel
// draws the same things by the same rules at its own places.
#include <cstdint>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"

// One connection piece: its cell in the marker sheet and its colour.
struct ConnectionPiece {
  plat::Rect cell;
  uint32_t colour = 0;
};
// The pieces of a hex's two connection layers as the local side sees them
// (up to two per layer); returns how many.
int ConnectionPieces(const World& world, const HexCell& cell, uint32_t tint, ConnectionPiece out[4]);

// What a hex's facility symbol looks like, by the rules shared by the map
// and the close-up.
struct FacilityLook {
  int32_t classNumber = 0;
  Texture* first = nullptr;   // the symbol
  Texture* second = nullptr;  // its second part, null for none
  plat::Rect firstSource, secondSource;
  bool firstMirrored = false, secondMirrored = false;
  bool large = false;
  uint32_t colour = 0;
  bool disc = false;          // drawn on a disc of the owner's colour
  plat::Rect discCell;
  uint32_t discColour = 0;
};
// The hex's lead facility (or, in preview, the given class) as it is drawn
// with the tint and the fade (1.0 opaque); false when nothing is drawn.
bool LookOfFacility(const World& world, const HexCell& cell, uint32_t hex, bool preview, int32_t previewClass,
                    uint32_t tint, float fade, FacilityLook& out);

// The facility layer of the map frame, in two passes.
void DrawFacilityIconsPass1(const MapView& view);
void DrawFacilityIconsPass2(const MapView& view);
// One hex: its connections (not in preview) and its facility symbol; in
// preview the class to show is given and the hex's own are not drawn.
void DrawHexFacilityIcon(const MapView& view, uint32_t hex, int32_t pass, int32_t preview, uint32_t tint,
                         int32_t previewClass, int32_t firstDirection, int32_t secondDirection);
