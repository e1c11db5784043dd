// The map's sets: the close-up mask, route lines, terrain tiles, markers,
// borders and route pieces, the editor palette, unit bars and effects.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "screens/main/map/map_borders_table.h"
#include "sheets.h"

namespace image_gen {
namespace {

constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr double kPi = 3.14159265358979323846;

// Inside a flat-topped hex of the given half width and half height.
bool InHex(double dx, double dy, double hw, double hh) {
  dx = std::fabs(dx);
  dy = std::fabs(dy);
  return dy <= hh && dx <= hw - dy * (hw / 2) / hh;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

// Hex neighbour directions: upper-left, upper, upper-right, lower-left,
// lower, lower-right. The middle of the edge toward each, from the hex's
// centre, in map pixels (a hex is 24 wide and 22 high).
constexpr Pt kEdgeMiddle[6] = {{-9, -5.5}, {0, -11}, {9, -5.5}, {-9, 5.5}, {0, 11}, {9, 5.5}};
// The corners of the edge toward each neighbour.
constexpr Pt kEdgeEnds[6][2] = {{{-12, 0}, {-6, -11}}, {{-6, -11}, {6, -11}}, {{6, -11}, {12, 0}},
                                {{-12, 0}, {-6, 11}},  {{-6, 11}, {6, 11}},   {{6, 11}, {12, 0}}};

// Bend pieces: the two directions a route passes through a hex by.
constexpr int kBendPairs[15][2] = {{0, 1}, {0, 2}, {0, 5}, {0, 4}, {0, 3}, {1, 2}, {1, 5}, {1, 4},
                                   {1, 3}, {2, 5}, {2, 4}, {2, 3}, {4, 5}, {3, 5}, {3, 4}};

// A piece's half line from the centre of a 64 x 64 cell toward direction d
// (the cell stands for the 30 x 30 tile box, the hex's centre at its middle).
void HalfLine(Canvas& c, int32_t x0, int32_t y0, int d, int kind) {
  const double s = 64.0 / 30.0;
  const Pt centre{x0 + 32.0, y0 + 32.0};
  const Pt end{centre.x + kEdgeMiddle[d].x * s * 1.12, centre.y + kEdgeMiddle[d].y * s * 1.12};
  const double width = kind == 2 ? 6.0 : kind == 0 ? 5.0 : 3.0;
  c.Line(centre, end, width, kWhite);
  c.FillCircle(centre.x, centre.y, width / 2, kWhite);
  if (kind == 1) {
    // Cross ties along a railway.
    const double dx = end.x - centre.x, dy = end.y - centre.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double nx = -dy / len * 5, ny = dx / len * 5;
    for (double t = 0.25; t < 1.0; t += 0.25) {
      const Pt m{centre.x + dx * t, centre.y + dy * t};
      c.Line({m.x - nx, m.y - ny}, {m.x + nx, m.y + ny}, 2.0, kWhite);
    }
  }
}

}  // namespace

uint32_t BorderPieceEdges(int piece) {
  for (uint32_t mask = 1; mask < 64; ++mask) {
    const BorderPieceChoice c = BorderPieceForMask(mask);
    if (c.piece == piece) return FlipBorderMask(mask, c.flipX, c.flipY);
  }
  return 0;
}

BorderPiece BorderPieceFor(uint32_t mask) {
  const BorderPieceChoice c = BorderPieceForMask(mask);
  return BorderPiece{c.piece, c.flipX, c.flipY};
}

Canvas HexAlphaMask() {
  Canvas c(128, 128, Rgb(0, 0, 0));
  // Centres of the seven hexes in the close-up's 72 x 66 map pixels.
  const Pt centres[7] = {{36, 33}, {18, 22}, {54, 22}, {18, 44}, {54, 44}, {36, 11}, {36, 55}};
  const double sy = 66.0 / 64.0;
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 72; ++x) {
      int hits = 0;
      for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
          const double px = x + (i + 0.5) / 4, py = (y + (j + 0.5) / 4) * sy;
          for (const Pt& h : centres)
            if (InHex(px - h.x, py - h.y, 12.3, 11.3)) {
              ++hits;
              break;
            }
        }
      }
      c.Set(x, y, Argb(static_cast<uint32_t>(255 - hits * 255 / 16), 0, 0, 0));
    }
  }
  return c;
}

Canvas RouteLineTexture() { return Canvas(16, 16, kWhite); }

Canvas TerrainTiles() {
  Canvas c(512, 480);
  const uint32_t base[12] = {Rgb(30, 60, 130),  Rgb(60, 110, 170), Rgb(110, 160, 70), Rgb(150, 190, 90),
                             Rgb(40, 100, 45),  Rgb(30, 120, 60),  Rgb(140, 115, 75), Rgb(150, 145, 140),
                             Rgb(220, 200, 140), Rgb(200, 210, 215), Rgb(90, 110, 70),  Rgb(120, 120, 125)};
  // Terrain 0 is no terrain: its cell stays clear. The sample's terrains 1
  // to 14 (Deep Ocean to River Valley) each get a look of their own; the
  // cells past them repeat the base colours with the marks in turn.
  struct Look {
    uint32_t colour, mark;  // mark: 0 none, 1 trees, 2 a peak, 3 waves
  };
  const Look sample[] = {
      {0, 0},
      {base[0], 0},              // Deep Ocean
      {base[1], 0},              // Coastal Waters
      {Rgb(80, 140, 200), 3},    // Lake
      {base[3], 0},              // Plains
      {base[2], 0},              // Grassland
      {base[4], 1},              // Forest
      {base[5], 1},              // Jungle
      {base[6], 2},              // Hills
      {base[7], 2},              // Mountains
      {base[8], 0},              // Desert
      {Rgb(165, 170, 150), 0},   // Tundra
      {base[9], 0},              // Polar Ice
      {base[10], 3},             // Swamp
      {Rgb(120, 175, 80), 3},    // River Valley
  };
  for (uint32_t n = 1; n < kTerrainTiles; ++n) {
    const auto x0 = static_cast<int32_t>((n % 16) * 32), y0 = static_cast<int32_t>((n / 16) * 32);
    const bool own = n < std::size(sample);
    const uint32_t colour = own ? sample[n].colour : base[n % 12];
    const uint32_t variant = own ? sample[n].mark : n / 12;
    const double cx = x0 + 16.0, cy = y0 + 16.0;
    // The hex fills the tile box (centre at the box's (15, 15)), a little
    // over its edges so that neighbours meet without seams.
    for (int32_t y = y0 + 1; y < y0 + 31; ++y) {
      for (int32_t x = x0 + 1; x < x0 + 31; ++x) {
        int hits = 0;
        for (int j = 0; j < 4; ++j)
          for (int i = 0; i < 4; ++i)
            if (InHex(x + (i + 0.5) / 4 - cx, y + (j + 0.5) / 4 - cy, 12.6, 11.6)) ++hits;
        if (!hits) continue;
        const uint32_t speckle = Hash(n, static_cast<uint32_t>(x), static_cast<uint32_t>(y)) % (20 + variant * 6);
        c.Blend(x, y, Mix(colour, Rgb(0, 0, 0), speckle), static_cast<uint32_t>(hits * 255 / 16));
      }
    }
    const uint32_t mark = Mix(colour, Rgb(0, 0, 0), 90);
    switch (variant % 4) {
      case 1:  // trees
        c.FillCircle(cx - 4, cy - 2, 2.5, mark);
        c.FillCircle(cx + 4, cy + 2, 2.5, mark);
        break;
      case 2:  // a peak
        c.FillPolygon({{cx - 6, cy + 4}, {cx, cy - 5}, {cx + 6, cy + 4}}, mark);
        break;
      case 3:  // waves
        c.Line({cx - 6, cy - 2}, {cx + 6, cy - 2}, 1.2, mark);
        c.Line({cx - 6, cy + 3}, {cx + 6, cy + 3}, 1.2, mark);
        break;
      default:
        break;
    }
  }
  return c;
}

Canvas MapMarkers() {
  Canvas c(1024, 1024);
  // Border pieces: the owner's edges of a hex drawn in a 32 x 32 map-pixel
  // box, here at twice that size. The map draws the box from the hex's tile
  // corner (the hex's centre at (15, 15)) and mirrors it in place, so the
  // edges centre on the box's middle: mirrored or not, a piece then stands
  // one pixel right of and below the centre, and neighbours' pieces meet.
  for (int piece = 0; piece < kBorderPieces; ++piece) {
    const int32_t x0 = BorderPieceLeft(piece), y0 = BorderPieceTop(piece);
    const uint32_t edges = BorderPieceEdges(piece);
    for (int d = 0; d < 6; ++d) {
      if (!(edges >> d & 1u)) continue;
      // Drawn a little inside the hex so that both owners' borders show.
      const Pt a = kEdgeEnds[d][0], b = kEdgeEnds[d][1];
      const Pt pa{x0 + 32 + a.x * 2 * 0.92, y0 + 32 + a.y * 2 * 0.92};
      const Pt pb{x0 + 32 + b.x * 2 * 0.92, y0 + 32 + b.y * 2 * 0.92};
      c.Line(pa, pb, 4.0, kWhite);
      c.FillCircle(pa.x, pa.y, 2.0, kWhite);
      c.FillCircle(pb.x, pb.y, 2.0, kWhite);
    }
  }
  // Hex markers 0 to 7 at row 640 from x 512, the cell standing for the
  // 30 x 30 tile box.
  const double s = 64.0 / 30.0;
  for (int m = 0; m < 8; ++m) {
    const double cx = (m + 8) * 64 + 32.0, cy = 640 + 32.0;
    const auto hex = Hexagon(cx, cy, 12 * s, 11 * s);
    switch (m) {
      case 0:
        c.FillCircle(cx, cy, 6, kWhite);
        break;
      case 1:
        c.Outline(Hexagon(cx, cy, 11 * s, 10 * s), 4.0, kWhite);
        break;
      case 2:
        c.Outline(Hexagon(cx, cy, 11.6 * s, 10.6 * s), 1.5, kWhite);
        break;
      case 3:
        c.FillPolygon(Hexagon(cx, cy, 12.3 * s, 11.3 * s), kWhite);
        break;
      default:
        c.FillPolygon(hex, Argb(255 - 40 * static_cast<uint32_t>(m - 3), 255, 255, 255));
        break;
    }
  }
  // Route and connection pieces: kind 2 (unit routes) at row 640, kind 0 at
  // 768, kind 1 at 896; straight pieces by index, bends a row below.
  const int32_t rows[3] = {768, 896, 640};
  for (int kind = 0; kind < 3; ++kind) {
    const int32_t y0 = rows[kind];
    for (int index = 0; index < 7; ++index) {
      if (index < 6)
        HalfLine(c, index * 64, y0, index, kind);
      else
        c.FillCircle(index * 64 + 32.0, y0 + 32.0, kind == 1 ? 4.0 : 5.0, kWhite);
    }
    for (int bend = 0; bend < 15; ++bend) {
      HalfLine(c, bend * 64, y0 + 64, kBendPairs[bend][0], kind);
      HalfLine(c, bend * 64, y0 + 64, kBendPairs[bend][1], kind);
    }
  }
  return c;
}

Canvas EditorPalette() {
  Canvas c(256, 256);
  const uint32_t colours[8] = {Rgb(220, 220, 220), Rgb(230, 190, 90), Rgb(120, 180, 230), Rgb(200, 110, 100),
                               Rgb(140, 210, 120), Rgb(190, 150, 220), Rgb(230, 150, 60), Rgb(170, 170, 120)};
  for (int n = 0; n < 64; ++n) {
    const double x0 = (n % 8) * 32.0, y0 = (n / 8) * 32.0;
    const double cx = x0 + 16, cy = y0 + 16;
    const uint32_t colour = colours[n % 8];
    const uint32_t edge = Rgb(30, 30, 30);
    switch (n / 8 % 4) {
      case 0:
        c.FillPolygon({{cx - 10, cy - 10}, {cx + 10, cy - 10}, {cx + 10, cy + 10}, {cx - 10, cy + 10}}, edge);
        c.FillPolygon({{cx - 8, cy - 8}, {cx + 8, cy - 8}, {cx + 8, cy + 8}, {cx - 8, cy + 8}}, colour);
        break;
      case 1:
        c.FillCircle(cx, cy, 11, edge);
        c.FillCircle(cx, cy, 9, colour);
        break;
      case 2:
        c.FillPolygon({{cx, cy - 12}, {cx + 12, cy + 10}, {cx - 12, cy + 10}}, edge);
        c.FillPolygon({{cx, cy - 8}, {cx + 9, cy + 8}, {cx - 9, cy + 8}}, colour);
        break;
      default:
        c.FillPolygon({{cx, cy - 12}, {cx + 12, cy}, {cx, cy + 12}, {cx - 12, cy}}, edge);
        c.FillPolygon({{cx, cy - 9}, {cx + 9, cy}, {cx, cy + 9}, {cx - 9, cy}}, colour);
        break;
    }
  }
  return c;
}

Canvas UnitBars() {
  Canvas c(256, 32);
  // Discs: plain, and with the marker ring.
  c.FillCircle(16, 16, 13, kWhite);
  c.FillCircle(48, 16, 10, kWhite);
  c.Ring(48, 16, 14, 2.5, kWhite);
  // The map stretches these cells to 32 x 32 map pixels from 10 above a
  // hex's tile box (the bar to its length), so the ink stays a small mark at
  // the hex's top: the readiness square above the bar, and a bar strip 4
  // rows high that stacked bars, 6 rows apart, do not cover.
  // Readiness squares: one unit, and a stack; x from the cell's left.
  auto square = [&c](int32_t cell, int32_t x, int32_t y, int32_t side) {
    c.FillRect(cell + x, y, cell + x + side, y + side, Rgb(40, 40, 40));
    c.FillRect(cell + x + 1, y + 1, cell + x + side - 1, y + side - 1, kWhite);
  };
  square(128, 12, 3, 8);
  square(160, 10, 3, 7);
  square(160, 15, 5, 7);
  // The bar cell, stretched to a bar's length and height.
  c.FillRect(192, 12, 224, 16, Rgb(30, 30, 30));
  c.FillRect(192, 13, 224, 15, kWhite);
  return c;
}

Canvas EffectFrames() {
  Canvas c(512, 256);
  for (int f = 0; f < 16; ++f) {
    const double cx = (f % 8) * 64 + 32.0, cy = (f / 8) * 64 + 32.0;
    const double r = 5.0 + f * 1.7;
    const uint32_t fade = static_cast<uint32_t>(255 - f * 14);
    const uint32_t heat = Mix(Rgb(255, 240, 160), Rgb(150, 40, 20), static_cast<uint32_t>(f * 16));
    c.FillCircle(cx, cy, r, WithAlpha(Mix(heat, Rgb(90, 90, 90), static_cast<uint32_t>(f * 12)), fade / 2));
    c.FillCircle(cx, cy, r * 0.6, WithAlpha(heat, fade));
  }
  for (int f = 0; f < 8; ++f) {
    const int n = 16 + f;
    const double cx = (n % 8) * 64 + 32.0, cy = (n / 8) * 64 + 32.0;
    const double r = 4.0 + (f < 4 ? f * 3.0 : (7 - f) * 3.0);
    std::vector<Pt> star;
    for (int k = 0; k < 16; ++k) {
      const double a = k * kPi / 8;
      const double rr = (k % 2) ? r * 0.4 : r;
      star.push_back({cx + std::cos(a) * rr, cy + std::sin(a) * rr});
    }
    c.FillPolygon(star, Rgb(255, 230, 120));
    c.FillCircle(cx, cy, r * 0.3, kWhite);
  }
  return c;
}

}  // namespace image_gen
