// The full-screen pictures.
#include <cmath>

#include "sheets.h"

namespace image_gen {
namespace {

constexpr uint32_t kWidth = 1024, kHeight = 768;

// A smooth, fixed landscape value for a hex of the background pattern.
double Landscape(int col, int row) {
  return std::sin(col * 0.45 + 1.3) + std::cos(row * 0.6 - 0.4) + 0.6 * std::sin((col + row) * 0.31);
}

uint32_t TerrainColour(double v) {
  if (v < -0.6) return Rgb(32, 64, 120);   // sea
  if (v < -0.2) return Rgb(48, 96, 150);   // shallows
  if (v < 0.7) return Rgb(70, 120, 60);    // plains
  if (v < 1.4) return Rgb(40, 90, 45);     // forest
  if (v < 2.0) return Rgb(120, 100, 70);   // hills
  return Rgb(170, 165, 160);               // mountains
}

// Hexes in the map's proportions (columns 54 apart, rows 66, odd columns
// half a row lower), darkened by `shade` of 256.
void HexLandscape(Canvas& c, uint32_t shade, uint32_t outline) {
  for (int col = -1; col * 54 < static_cast<int>(c.width()) + 54; ++col) {
    for (int row = -1; row * 66 < static_cast<int>(c.height()) + 66; ++row) {
      const double cx = col * 54.0 + 36.0;
      const double cy = row * 66.0 + ((col & 1) ? 33.0 : 0.0);
      const auto hex = Hexagon(cx, cy, 36.5, 33.5);
      c.FillPolygon(hex, Mix(TerrainColour(Landscape(col, row)), Rgb(0, 0, 0), shade));
      c.Outline(Hexagon(cx, cy, 36.0, 33.0), 1.5, outline);
    }
  }
}

void TitleBlock(Canvas& c, int32_t baseline, uint32_t size) {
  const int32_t mid = static_cast<int32_t>(c.width() / 2);
  DrawTextCentred(c, "VELDRANE", mid + 4, baseline + 4, size, Argb(160, 0, 0, 0), true);
  DrawTextCentred(c, "VELDRANE", mid, baseline, size, Rgb(236, 220, 170), true);
}

}  // namespace

Canvas PublisherSplash() {
  Canvas c(kWidth, kHeight);
  c.VerticalGradient(0, 0, kWidth, kHeight, Rgb(12, 18, 40), Rgb(2, 4, 10));
  // The emblem: three nested hexes.
  for (int i = 0; i < 3; ++i) {
    const double r = 110.0 - i * 30.0;
    c.Outline(Hexagon(512, 320, r, r * 0.9), 6.0, Rgb(200 - 40 * i, 170 - 30 * i, 90));
  }
  c.FillPolygon(Hexagon(512, 320, 34, 30), Rgb(220, 190, 100));
  DrawTextCentred(c, "QUELLBROOK", 512, 520, 48, Rgb(220, 220, 230), true);
  DrawTextCentred(c, "presents", 512, 570, 24, Rgb(150, 150, 170));
  return c;
}

Canvas TitleSplash() {
  Canvas c(kWidth, kHeight, Rgb(0, 0, 0));
  HexLandscape(c, 60, Argb(90, 0, 0, 0));
  c.VerticalGradient(0, 260, kWidth, 470, Argb(255, 10, 12, 20), Argb(255, 10, 12, 20));
  TitleBlock(c, 390, 110);
  DrawTextCentred(c, "Regions, armies and markets on a map of hexes", 512, 440, 22, Rgb(200, 200, 210));
  return c;
}

Canvas LoadingImage() {
  Canvas c(kWidth, kHeight, Rgb(0, 0, 0));
  HexLandscape(c, 150, Argb(120, 0, 0, 0));
  TitleBlock(c, 330, 96);
  DrawTextCentred(c, "Loading...", 512, 420, 32, Rgb(230, 230, 230));
  return c;
}

Canvas MenuBackground() {
  Canvas c(kWidth, kHeight, Rgb(0, 0, 0));
  HexLandscape(c, 170, Argb(110, 0, 0, 0));
  TitleBlock(c, 110, 72);
  return c;
}

Canvas GameBackground() {
  Canvas c(kWidth, kHeight);
  c.VerticalGradient(0, 0, kWidth, kHeight, Rgb(24, 30, 40), Rgb(8, 10, 14));
  for (int col = 0; col * 54 < 1024 + 54; ++col)
    for (int row = 0; row * 66 < 768 + 66; ++row)
      c.Outline(Hexagon(col * 54.0 + 36.0, row * 66.0 + ((col & 1) ? 33.0 : 0.0), 36.0, 33.0), 1.0,
                Argb(40, 140, 160, 200));
  return c;
}

}  // namespace image_gen
