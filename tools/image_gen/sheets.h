#pragma once
// The drawings of every image file the game loads from "GRAPHICS\", at the
// sizes and cell layouts its drawing code uses. Plain programmer art: flat
// colours, hexes and simple symbols, mostly white where the game tints.
#include <cstdint>
#include <vector>

#include "canvas.h"
#include "screens/main/map/map_borders_table.h"

namespace image_gen {

// Full-screen pictures (1024 x 768): the publisher's and the game's splash,
// the loading image, the menu background and the game background.
Canvas PublisherSplash();
Canvas TitleSplash();
Canvas LoadingImage();
Canvas MenuBackground();
Canvas GameBackground();

// Nine 32 x 32 pointer cells in a row: 0 arrow, 1 busy, 2 arrow with a
// plus, 3 arrow with a cross, 4 target, 5 to 7 targets in red, green and
// yellow, 8 pointing hand.
inline constexpr uint32_t kCursorCells = 9;
Canvas CursorSheet();

// The map's sets.
// 128 x 128: opaque black outside, clear inside the seven hexes of the
// close-up (the selected hex and its neighbours), laid out in its top-left
// 72 x 64 as the close-up picture's map area of 72 x 66 map pixels.
Canvas HexAlphaMask();
// 16 x 16 white: route lines take only their colour from it.
Canvas RouteLineTexture();
// 512 x 480: terrain tile n in the 32 x 32 cell at ((n mod 16) x 32,
// (n / 16) x 32), its hex drawn in the 30 x 30 box one pixel in; the editor's
// palette shows the sheet whole, so its cell (c, r) is terrain r x 16 + c.
// Cell 0 (no terrain) is clear; cells 1 to 14 show the sample's terrains in
// the order of its terrain table.
inline constexpr uint32_t kTerrainTiles = 240;
Canvas TerrainTiles();
// 1024 x 1024 (UGBITS0): border pieces at rows 512 to 640, hex markers at
// row 640 from x 512, route and connection pieces in rows 640 to 1024.
Canvas MapMarkers();
// The border pieces' edges by piece number (bit d: the edge toward
// neighbour d), as the border table's unflipped masks give them.
uint32_t BorderPieceEdges(int piece);
inline constexpr int kBorderPieces = kBorderPieceCount;
// The piece the map draws for a hex whose neighbours in the mask (bit d)
// have another owner, and how it is mirrored.
struct BorderPiece {
  int piece;
  bool flipX, flipY;
};
BorderPiece BorderPieceFor(uint32_t mask);
// 256 x 256: the map editor's facility palette, 32 x 32 cells.
Canvas EditorPalette();
// 256 x 32: unit discs (cells 0 and 1), readiness squares (128 and 160) and
// the bar cell (192).
Canvas UnitBars();
// 512 x 256: map effect frames in 64 x 64 cells, 8 a row: 0 to 15 an impact,
// 16 to 23 a shot.
Canvas EffectFrames();

// The interface's nine shared sets (512 x 512 each).
inline constexpr int kUiSheets = 9;
Canvas UiSheet(int n);
// The icons of the class and row forms, drawn over set 4's numbered cells:
// the cell of a control id that shows an icon (-1 for one without), cell n
// at ((n mod 8) x 64, (n / 8) x 64). The ids: 30 to 37 the ways of moving,
// 10 to 16 the technology categories, 5 amphibious, 6 free air lift, 100 to
// 125 the class groups, 200 to 206 the stock kinds, 300 to 303 the stock
// carriers, 665 to 667 the warheads. The class rows' long-range mark (their
// own control 10) has a cell of its own.
inline constexpr int kIconSheet = 4;
inline constexpr int kLongRangeIconCell = 57;
int IconCell(int id);
// The marks of the unit and production rows, which their forms name by tag
// (no id), in the cells after the long-range mark: what a unit carries
// (cargo, missiles), a landed aircraft, a design that waits on research and
// a missile stock's target.
inline constexpr int kCargoMarkCell = 58, kMissileMarkCell = 59, kLandedMarkCell = 60, kResearchMarkCell = 61,
                     kTargetMarkCell = 62;
// The approach pictures of an offer, one per approach 0 to 6, in set 5's
// first 64 x 64 cells; the approach panel shows approach n as frame n.
inline constexpr int kApproachSheet = 5;
inline constexpr int kApproachFaces = 7;

// Portrait sheets: 7 columns and 9 rows of 70 x 56 cells (490 x 504).
Canvas PortraitSheet(int sheet);
// Unit picture sheets: 3 columns and 5 rows of 168 x 84 cells (504 x 420),
// cell f showing facing f (frames 13 to 24 are drawn mirrored).
// Both tables cover the symbol numbers of the sample's unit classes (up to
// 47; numbers of 430 and more take sheet 0).
inline constexpr int kUnitSheets = 48;
inline constexpr int kSecondTableSheets = kUnitSheets;
Canvas UnitSheet(int n, bool secondTable);
// Facility picture sheets, laid out as the unit sheets but every cell
// showing the facility as it stands (a facility does not turn), except that
// a settlement's cell 12 shows it as its region's capital. A facility
// class's picture number is 100 + its class number - 4000, so the sample's
// classes from 4000 to 4129 take numbers 100 to 229.
inline constexpr int kFirstFacilityClass = 4000;
inline constexpr int kFirstFacilityPicture = 100;
inline constexpr int kCapitalCell = 12;
int FacilityPictureNumber(int classNumber);
// The picture numbers that have a drawing, ascending.
std::vector<int> FacilityPictureNumbers();
bool IsFacilityPicture(int number);
Canvas FacilitySheet(int number);
// Technology pictures, 102 x 102.
Canvas TechPicture(int n);

}  // namespace image_gen
