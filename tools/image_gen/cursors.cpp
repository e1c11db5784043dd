// The pointer cells.
#include "sheets.h"

namespace image_gen {
namespace {

constexpr uint32_t kCell = 32;
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);

std::vector<Pt> Offset(std::vector<Pt> points, double dx) {
  for (Pt& p : points) p.x += dx;
  return points;
}

// Black-edged white shape.
void Edged(Canvas& c, const std::vector<Pt>& shape, uint32_t fill = kWhite) {
  c.Outline(shape, 2.0, kBlack);
  c.FillPolygon(shape, fill);
}

// The arrow's tip is the cell's top-left pixel, where the hot spot is.
std::vector<Pt> Arrow(double x0) {
  return Offset({{0.5, 0.5}, {0.5, 22}, {6, 17}, {10, 26}, {13, 24.5}, {9, 16}, {16, 16}}, x0);
}

void Target(Canvas& c, double x0, uint32_t colour) {
  const double cx = x0 + 15.5, cy = 15.5;
  c.Ring(cx, cy, 10, 4, kBlack);
  c.Ring(cx, cy, 10, 2, colour);
  for (const auto& [a, b] : {std::pair<Pt, Pt>{{cx - 14, cy}, {cx - 5, cy}},
                             {{cx + 5, cy}, {cx + 14, cy}},
                             {{cx, cy - 14}, {cx, cy - 5}},
                             {{cx, cy + 5}, {cx, cy + 14}}}) {
    c.Line(a, b, 4, kBlack);
    c.Line(a, b, 2, colour);
  }
  c.FillCircle(cx, cy, 2, colour);
}

}  // namespace

Canvas CursorSheet() {
  Canvas c(kCell * kCursorCells, kCell);
  // 0: the arrow.
  Edged(c, Arrow(0));
  // 1: busy: an hourglass.
  Edged(c, Offset({{6, 2}, {24, 2}, {24, 5}, {17, 15}, {24, 26}, {24, 29}, {6, 29}, {6, 26}, {13, 15}, {6, 5}}, 32));
  c.FillPolygon(Offset({{10, 26}, {20, 26}, {15, 19}}, 32), Rgb(200, 160, 60));
  // 2 and 3: the arrow with a plus and with a cross.
  Edged(c, Arrow(64));
  c.Line({64 + 17, 24}, {64 + 29, 24}, 5, kBlack);
  c.Line({64 + 23, 18}, {64 + 23, 30}, 5, kBlack);
  c.Line({64 + 18, 24}, {64 + 28, 24}, 2.5, kWhite);
  c.Line({64 + 23, 19}, {64 + 23, 29}, 2.5, kWhite);
  Edged(c, Arrow(96));
  c.Line({96 + 18, 19}, {96 + 29, 30}, 5, kBlack);
  c.Line({96 + 29, 19}, {96 + 18, 30}, 5, kBlack);
  c.Line({96 + 19, 20}, {96 + 28, 29}, 2.5, Rgb(255, 80, 80));
  c.Line({96 + 28, 20}, {96 + 19, 29}, 2.5, Rgb(255, 80, 80));
  // 4 to 7: targets, their centre on the hot spot (15, 15).
  Target(c, 128, kWhite);
  Target(c, 160, Rgb(255, 70, 70));
  Target(c, 192, Rgb(90, 255, 90));
  Target(c, 224, Rgb(255, 235, 60));
  // 8: a hand pointing left, the fingertip on the hot spot (4, 11).
  Edged(c, Offset({{4, 9}, {15, 9}, {15, 6}, {26, 6}, {28, 9}, {28, 24}, {24, 27}, {13, 27}, {13, 17}, {8, 14},
                   {4, 13}},
                  256));
  c.Line({256 + 15, 14}, {256 + 24, 14}, 1, kBlack);
  c.Line({256 + 15, 19}, {256 + 24, 19}, 1, kBlack);
  return c;
}

}  // namespace image_gen
