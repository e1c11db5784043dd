// The interface's nine shared sets. Set 0 holds the pieces the toolkit
// draws itself: panel fills at the top, the 12 x 12 scroller arrows at
// (252, 122) and (267, 122), and the button-frame pieces in rows 390 to 406
// (normal at columns 6 to 70, selected at 78 to 142), and the title bar's
// 16 x 16 pieces: the clock's 13 frames in a row at (0, 410), one per two
// hours (frame 12 is midnight again), and the four speed boxes (pause, slow,
// normal, fast) at (0, 430), their selected looks at (64, 430).
// Every set has a grid of numbered 64 x 64 cells for the forms to use; set
// 4's first cells hold the icons of the class and row forms.
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "sheets.h"
#include "ui/control_frame.h"

namespace image_gen {
namespace {

constexpr uint32_t kSide = 512;

void NumberedCells(Canvas& c, int sheet, uint32_t tint, int32_t firstRow, int32_t lastRow) {
  for (int32_t row = firstRow; row < lastRow; ++row) {
    for (int32_t col = 0; col < 8; ++col) {
      const int32_t x0 = col * 64, y0 = row * 64;
      const uint32_t shade = Mix(tint, Rgb(0, 0, 0), static_cast<uint32_t>((row + col) % 4 * 30));
      c.FillRect(x0 + 2, y0 + 2, x0 + 62, y0 + 62, shade);
      c.Frame(x0 + 2, y0 + 2, x0 + 62, y0 + 62, 2, Mix(shade, Rgb(255, 255, 255), 120));
      const std::string label = std::to_string(sheet) + ":" + std::to_string(row * 8 + col);
      DrawTextCentred(c, label, x0 + 32, y0 + 38, 12, Rgb(255, 255, 255));
    }
  }
}

void Arrow(Canvas& c, double x, double y, bool up) {
  const std::vector<Pt> tri = up ? std::vector<Pt>{{x + 6, y + 2}, {x + 11, y + 10}, {x + 1, y + 10}}
                                 : std::vector<Pt>{{x + 1, y + 2}, {x + 11, y + 2}, {x + 6, y + 10}};
  c.FillRect(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x) + 12,
             static_cast<int32_t>(y) + 12, Rgb(60, 60, 70));
  c.FillPolygon(tri, Rgb(255, 255, 255));
}

void ClockFrames(Canvas& c) {
  constexpr double kPi = 3.14159265358979323846;
  for (int i = 0; i < 13; ++i) {
    const double cx = i * 16 + 8, cy = 418;
    const int hour = (i * 2) % 24;
    const bool day = hour >= 6 && hour < 18;
    c.FillCircle(cx, cy, 7.5, day ? Rgb(235, 230, 200) : Rgb(70, 80, 120));
    c.Ring(cx, cy, 7.0, 1.2, Rgb(190, 200, 215));
    const double a = (hour % 12) / 12.0 * 2 * kPi;
    c.Line({cx, cy}, {cx + 4.5 * std::sin(a), cy - 4.5 * std::cos(a)}, 1.6, day ? Rgb(20, 24, 30) : Rgb(255, 255, 255));
    c.Line({cx, cy}, {cx, cy - 6.0}, 0.8, day ? Rgb(120, 40, 40) : Rgb(255, 200, 120));
  }
}

void SpeedBoxes(Canvas& c) {
  for (int look = 0; look < 2; ++look) {
    for (int speed = 0; speed < 4; ++speed) {
      const int32_t x0 = look * 64 + speed * 16, y0 = 430;
      c.FillRect(x0, y0, x0 + 16, y0 + 16, look ? Rgb(90, 120, 150) : Rgb(46, 60, 74));
      c.Frame(x0, y0, x0 + 16, y0 + 16, 1, Rgb(120, 140, 160));
      const uint32_t ink = look ? Rgb(255, 255, 100) : Rgb(230, 230, 230);
      if (speed == 0) {
        c.FillRect(x0 + 4, y0 + 4, x0 + 7, y0 + 12, ink);
        c.FillRect(x0 + 9, y0 + 4, x0 + 12, y0 + 12, ink);
        continue;
      }
      // One, two or three arrow heads side by side, centred.
      const double w = speed == 1 ? 6 : speed == 2 ? 5 : 4;
      const double left = x0 + (16 - w * speed) / 2;
      for (int k = 0; k < speed; ++k) {
        const double l = left + k * w;
        c.FillPolygon({{l, y0 + 4.0}, {l + w, y0 + 8.0}, {l, y0 + 12.0}}, ink);
      }
    }
  }
}

void SharedPieces(Canvas& c) {
  // Panel fills.
  c.VerticalGradient(0, 0, 256, 120, Rgb(70, 80, 100), Rgb(30, 34, 44));
  c.VerticalGradient(256, 0, 512, 120, Rgb(90, 70, 50), Rgb(40, 30, 22));
  Arrow(c, 252, 122, true);
  Arrow(c, 267, 122, false);
  // Button frames, normal and selected: one 64 x 16 piece each, cut into
  // nine by the frame drawer (5-pixel corners), with a bevel inside.
  const int32_t lefts[2] = {kFramePieceLeft, kFramePieceSelectedLeft};
  const uint32_t faces[2] = {Rgb(90, 90, 100), Rgb(70, 110, 70)};
  for (int i = 0; i < 2; ++i) {
    const int32_t x0 = lefts[i], x1 = x0 + kFramePieceWidth;
    const int32_t y0 = kFramePieceTop, y1 = y0 + kFramePieceHeight;
    const uint32_t light = Mix(faces[i], Rgb(255, 255, 255), 100), dark = Mix(faces[i], Rgb(0, 0, 0), 100);
    // The selected piece is sunken: its dark edge is at the top left.
    const uint32_t topLeft = i == 0 ? light : dark, bottomRight = i == 0 ? dark : light;
    c.FillRect(x0, y0, x1, y1, faces[i]);
    c.FillRect(x0, y0, x1, y0 + 2, topLeft);
    c.FillRect(x0, y0, x0 + 2, y1, topLeft);
    c.FillRect(x0, y1 - 2, x1, y1, bottomRight);
    c.FillRect(x1 - 2, y0, x1, y1, bottomRight);
  }
  ClockFrames(c);
  SpeedBoxes(c);
}


// The icons, in cell order (see IconCell).
constexpr int kIconIds[] = {30,  31,  32,  33,  34,  35,  36,  37,  10,  11,  12,  13,  14,  15,  16,
                            5,   200, 201, 202, 203, 204, 205, 206, 6,   100, 101, 102, 103, 104, 105,
                            106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120,
                            121, 122, 123, 124, 125, 300, 301, 302, 303, 665, 666, 667};
constexpr uint32_t kInk = Rgb(255, 255, 255);

// A glyph drawn in a 64 x 64 cell, in cell coordinates.
class Glyph {
 public:
  Glyph(Canvas& c, int32_t cell) : c_(c), x0_(cell % 8 * 64), y0_(cell / 8 * 64) {}
  void Back(uint32_t colour) {
    c_.FillRect(x0_, y0_, x0_ + 64, y0_ + 64, 0);
    c_.FillRect(x0_ + 2, y0_ + 2, x0_ + 62, y0_ + 62, colour);
    c_.Frame(x0_ + 2, y0_ + 2, x0_ + 62, y0_ + 62, 3, Mix(colour, kInk, 110));
  }
  void Poly(std::vector<Pt> points, uint32_t colour = kInk) { c_.FillPolygon(Moved(points), colour); }
  void Edge(std::vector<Pt> points, double w, uint32_t colour = kInk) { c_.Outline(Moved(points), w, colour); }
  void Disc(double x, double y, double r, uint32_t colour = kInk) { c_.FillCircle(x0_ + x, y0_ + y, r, colour); }
  void Circle(double x, double y, double r, double w, uint32_t colour = kInk) { c_.Ring(x0_ + x, y0_ + y, r, w, colour); }
  void Stroke(Pt a, Pt b, double w, uint32_t colour = kInk) {
    c_.Line({x0_ + a.x, y0_ + a.y}, {x0_ + b.x, y0_ + b.y}, w, colour);
  }
  void Box(double l, double t, double r, double b, uint32_t colour = kInk) { Poly({{l, t}, {r, t}, {r, b}, {l, b}}, colour); }
  void Text(const std::string& text, uint32_t size = 24) {
    DrawTextCentred(c_, text, x0_ + 32, y0_ + 32 + static_cast<int32_t>(size) * 7 / 20, size, kInk, true);
  }
  void Wave(double y) {
    for (int i = 0; i < 4; ++i) Stroke({10.0 + i * 11, y}, {15.5 + i * 11, y - 4}, 2.5), Stroke({15.5 + i * 11, y - 4}, {21.0 + i * 11, y}, 2.5);
  }

 private:
  std::vector<Pt> Moved(std::vector<Pt> points) const {
    for (Pt& p : points) p.x += x0_, p.y += y0_;
    return points;
  }
  Canvas& c_;
  int32_t x0_, y0_;
};

// A star of n points around (x, y).
std::vector<Pt> Star(double x, double y, double outer, double inner, int n) {
  constexpr double kPi = 3.14159265358979323846;
  std::vector<Pt> points;
  for (int i = 0; i < 2 * n; ++i) {
    const double a = i * kPi / n - kPi / 2, r = i % 2 ? inner : outer;
    points.push_back({x + r * std::cos(a), y + r * std::sin(a)});
  }
  return points;
}

void Wheels(Glyph& g) {
  g.Box(12, 22, 52, 38);
  g.Disc(22, 44, 7);
  g.Disc(42, 44, 7);
}
// A missile standing at x, its kind's mark beside it.
void Missile(Glyph& g, double x = 32) {
  g.Poly({{x, 8}, {x + 5, 18}, {x + 5, 44}, {x + 11, 54}, {x - 11, 54}, {x - 5, 44}, {x - 5, 18}});
}
void Trefoil(Glyph& g, uint32_t back) {
  constexpr double kPi = 3.14159265358979323846;
  g.Disc(32, 32, 22);
  for (int i = 0; i < 3; ++i) {
    const double a = i * 2 * kPi / 3 + kPi / 6, b = a + kPi / 3;
    g.Poly({{32, 32}, {32 + 23 * std::cos(a), 32 + 23 * std::sin(a)}, {32 + 23 * std::cos(b), 32 + 23 * std::sin(b)}},
           back);
  }
  g.Disc(32, 32, 5, back);
  g.Disc(32, 32, 3);
}
void Flask(Glyph& g) {
  g.Poly({{27, 10}, {37, 10}, {37, 26}, {50, 52}, {14, 52}, {27, 26}});
}

// The class groups in the order of the "milclass" list; the land groups in
// their map-symbol frames, the others as their abbreviations.
void GroupIcon(Glyph& g, int group) {
  static const char* const kShort[26] = {"", "", "", "", "", "", "", "", "FT", "BM", "AT", "HE", "TA",
                                         "MP", "CV", "BB", "CA", "DD", "FF", "PB", "TS", "SS", "MS", "ST",
                                         "BA", "SK"};
  const uint32_t backs[3] = {Rgb(70, 100, 60), Rgb(70, 110, 180), Rgb(20, 40, 90)};
  g.Back(backs[group < 8 ? 0 : group < 14 ? 1 : 2]);
  if (group >= 8) {
    g.Text(kShort[group], 32);
    return;
  }
  g.Edge({{10, 16}, {54, 16}, {54, 48}, {10, 48}}, 3);
  switch (group) {
    case 0: g.Stroke({10, 16}, {54, 48}, 3), g.Stroke({10, 48}, {54, 16}, 3); break;  // infantry
    case 1: g.Stroke({10, 48}, {54, 16}, 6); break;                                   // recon
    case 2: g.Poly({{20, 24}, {44, 24}, {50, 32}, {44, 40}, {20, 40}, {14, 32}}); break;  // tank
    case 3: g.Stroke({10, 48}, {32, 18}, 3), g.Stroke({32, 18}, {54, 48}, 3); break;  // anti-tank
    case 4: g.Disc(32, 32, 10); break;                                                 // artillery
    case 5: {  // air defence: a dome
      std::vector<Pt> dome;
      for (int i = 0; i <= 12; ++i) dome.push_back({32 - 16 * std::cos(i * 0.2617994), 46 - 16 * std::sin(i * 0.2617994)});
      g.Edge(dome, 3);
      break;
    }
    case 6: g.Edge({{20, 38}, {20, 26}, {44, 26}, {44, 38}}, 3), g.Stroke({32, 26}, {32, 38}, 3); break;
    default: g.Stroke({10, 42}, {54, 42}, 3); break;                                   // supply
  }
}

void DrawIcon(Canvas& c, int32_t cell, int id) {
  Glyph g(c, cell);
  const uint32_t move = Rgb(80, 80, 96), tech = Rgb(110, 90, 50), stock = Rgb(120, 50, 50);
  const uint32_t carrier = Rgb(90, 60, 110), warhead = Rgb(150, 140, 20);
  if (id >= 100 && id <= 125) return GroupIcon(g, id - 100);
  switch (id) {
    case 30: g.Back(move), g.Disc(32, 16, 6), g.Stroke({32, 22}, {32, 40}, 4), g.Stroke({20, 30}, {44, 30}, 3),
             g.Stroke({32, 40}, {24, 54}, 4), g.Stroke({32, 40}, {40, 54}, 4); break;
    case 31: g.Back(move), Wheels(g); break;
    case 32: g.Back(move), g.Box(22, 18, 42, 30), g.Edge({{10, 30}, {54, 30}, {50, 48}, {14, 48}}, 3);
             for (double x : {20.0, 32.0, 44.0}) g.Disc(x, 39, 4);
             break;
    case 33: g.Back(move), g.Box(12, 14, 52, 28), g.Disc(22, 32, 6), g.Disc(42, 32, 6), g.Wave(50); break;
    case 34: g.Back(move), g.Poly({{32, 8}, {36, 22}, {56, 32}, {56, 37}, {36, 33}, {35, 46}, {42, 54}, {22, 54},
                                   {29, 46}, {28, 33}, {8, 37}, {8, 32}, {28, 22}}); break;
    case 35: g.Back(move), g.Poly({{6, 36}, {58, 36}, {48, 50}, {14, 50}}), g.Box(24, 24, 40, 36),
             g.Stroke({32, 10}, {32, 24}, 3); break;
    case 36: g.Back(move), g.Wave(18), g.Disc(20, 42, 8), g.Disc(44, 42, 8), g.Box(20, 34, 44, 50),
             g.Box(28, 26, 36, 34); break;
    case 37: g.Back(move), g.Box(14, 24, 50, 52);
             for (double x : {14.0, 26.0, 38.0}) g.Box(x, 14, x + 8, 24);
             g.Box(44, 14, 50, 24); break;
    case 10: g.Back(tech), g.Stroke({32, 54}, {32, 14}, 3);
             for (double y : {18.0, 28.0, 38.0}) g.Disc(26, y, 5), g.Disc(38, y, 5);
             break;
    case 11: g.Back(tech), g.Poly({{8, 54}, {8, 30}, {20, 38}, {20, 30}, {32, 38}, {32, 30}, {44, 38}, {44, 12},
                                   {54, 12}, {54, 54}}); break;
    case 12: g.Back(tech), g.Poly({{36, 6}, {16, 36}, {30, 36}, {26, 58}, {48, 26}, {34, 26}}); break;
    case 13: g.Back(Rgb(225, 225, 225)), g.Box(26, 10, 38, 54, Rgb(200, 30, 30)), g.Box(10, 26, 54, 38, Rgb(200, 30, 30));
             break;
    case 14: g.Back(tech), g.Poly(Star(32, 33, 24, 10, 5)); break;
    case 15: g.Back(tech), g.Box(18, 18, 46, 46);
             for (double t : {24.0, 32.0, 40.0}) g.Stroke({10, t}, {54, t}, 2), g.Stroke({t, 10}, {t, 54}, 2);
             g.Box(20, 20, 44, 44); break;
    case 16: g.Back(tech), g.Circle(32, 32, 12, 3), g.Edge({{6, 40}, {32, 26}, {58, 24}, {32, 38}}, 3); break;
    case 5: g.Back(move), g.Box(4, 46, 60, 60, Rgb(60, 120, 200)), Wheels(g); break;
    case 6: g.Back(move), g.Poly({{32, 6}, {35, 18}, {50, 26}, {50, 30}, {35, 27}, {34, 38}, {29, 38}, {28, 27},
                                  {14, 30}, {14, 26}, {29, 18}}), g.Stroke({32, 40}, {32, 54}, 3),
            g.Poly({{24, 48}, {40, 48}, {32, 58}}); break;
    case 200: g.Back(stock), Missile(g, 20), g.Box(34, 44, 60, 56); break;
    case 201: g.Back(stock), Missile(g, 20), g.Poly({{34, 34}, {60, 34}, {47, 8}}); break;
    case 202: g.Back(stock), Missile(g, 20);
              for (double y : {30.0, 40.0, 50.0}) g.Stroke({36, y}, {58, y}, 3);
              break;
    case 203: g.Back(stock), g.Poly({{32, 8}, {40, 22}, {40, 54}, {24, 54}, {24, 22}}), g.Box(22, 46, 42, 50); break;
    case 204: g.Back(stock), Missile(g, 20), g.Stroke({36, 24}, {58, 50}, 5), g.Stroke({36, 50}, {58, 24}, 5); break;
    case 205: g.Back(stock), Trefoil(g, stock); break;
    case 206: g.Back(stock), Flask(g); break;
    case 300: g.Back(carrier), g.Edge({{8, 52}, {20, 30}, {32, 52}}, 3), g.Disc(32, 52, 4); break;
    case 301: g.Back(carrier), g.Edge({{6, 52}, {16, 26}, {32, 16}, {48, 26}, {58, 52}}, 3), g.Disc(58, 52, 4); break;
    case 302: g.Back(carrier), g.Circle(32, 32, 20, 3), g.Disc(32, 32, 8), g.Disc(50, 20, 5); break;
    case 303: g.Back(carrier), g.Poly({{6, 44}, {58, 44}, {48, 56}, {14, 56}}), g.Poly({{30, 8}, {34, 8}, {36, 40}, {28, 40}}); break;
    case 665: g.Back(warhead), g.Poly(Star(32, 32, 26, 11, 8)); break;
    case 666: g.Back(warhead), Trefoil(g, warhead); break;
    case 667: g.Back(warhead), Flask(g); break;
    default: break;
  }
}

void LongRangeIcon(Canvas& c) {
  Glyph g(c, kLongRangeIconCell);
  g.Back(Rgb(80, 80, 96));
  g.Circle(32, 32, 20, 3);
  g.Circle(32, 32, 10, 3);
  g.Disc(32, 32, 3);
  g.Stroke({4, 32}, {60, 32}, 2);
  g.Stroke({32, 4}, {32, 60}, 2);
}

// The row marks: drawn smaller than the icons' glyphs' detail allows, as
// the rows show them at 12 x 12, so each is one bold shape.
void RowMarks(Canvas& c) {
  const uint32_t back = Rgb(46, 70, 96);
  Glyph cargo(c, kCargoMarkCell);
  cargo.Back(back);
  cargo.Box(12, 16, 52, 52);
  cargo.Edge({{12, 16}, {52, 16}, {52, 52}, {12, 52}}, 4, Rgb(120, 80, 40));
  cargo.Stroke({12, 16}, {52, 52}, 4, Rgb(120, 80, 40));
  cargo.Stroke({12, 52}, {52, 16}, 4, Rgb(120, 80, 40));
  Glyph missiles(c, kMissileMarkCell);
  missiles.Back(back);
  Missile(missiles, 22);
  Missile(missiles, 42);
  Glyph landed(c, kLandedMarkCell);
  landed.Back(back);
  landed.Box(4, 50, 60, 58);
  landed.Poly({{8, 40}, {50, 40}, {58, 34}, {50, 30}, {34, 30}, {22, 14}, {14, 14}, {20, 30}, {8, 30}});
  Glyph research(c, kResearchMarkCell);
  research.Back(back);
  research.Disc(32, 26, 16);
  research.Box(24, 38, 40, 52);
  research.Stroke({24, 46}, {40, 46}, 2, back);
  Glyph target(c, kTargetMarkCell);
  target.Back(Rgb(130, 40, 40));
  target.Circle(32, 32, 20, 5);
  target.Stroke({4, 32}, {60, 32}, 4);
  target.Stroke({32, 4}, {32, 60}, 4);
  target.Disc(32, 32, 5);
}

// The approaches of an offer, warm (0) to threatening (6): a face whose
// mouth turns from a smile to a scowl on a ground from green to red.
void ApproachFaces(Canvas& c) {
  for (int a = 0; a < kApproachFaces; ++a) {
    Glyph g(c, a);
    const uint32_t ground = Mix(Rgb(60, 140, 70), Rgb(170, 50, 40), static_cast<uint32_t>(a * 255 / (kApproachFaces - 1)));
    g.Back(ground);
    g.Disc(32, 32, 24, Rgb(235, 215, 150));
    g.Disc(24, 26, 3, Rgb(30, 30, 30));
    g.Disc(40, 26, 3, Rgb(30, 30, 30));
    // Brows slant inward as the tone hardens.
    const double slant = (a - 3) * 1.5;
    g.Stroke({19, 19 - slant}, {28, 19 + slant}, 2, Rgb(30, 30, 30));
    g.Stroke({36, 19 + slant}, {45, 19 - slant}, 2, Rgb(30, 30, 30));
    const double bend = (3 - a) * 2.5;  // the mouth's middle below its corners when smiling
    g.Stroke({21, 42}, {32, 42 + bend}, 2.5, Rgb(30, 30, 30));
    g.Stroke({32, 42 + bend}, {43, 42}, 2.5, Rgb(30, 30, 30));
  }
}

}  // namespace

int IconCell(int id) {
  for (size_t i = 0; i < std::size(kIconIds); ++i)
    if (kIconIds[i] == id) return static_cast<int>(i);
  return -1;
}

Canvas UiSheet(int n) {
  Canvas c(kSide, kSide);
  const uint32_t tints[kUiSheets] = {Rgb(70, 90, 120),  Rgb(60, 110, 80), Rgb(120, 80, 60),
                                     Rgb(100, 70, 120), Rgb(60, 100, 120), Rgb(120, 110, 60),
                                     Rgb(90, 90, 90),   Rgb(120, 60, 80), Rgb(70, 120, 110)};
  if (n == 0) {
    SharedPieces(c);
    NumberedCells(c, n, tints[0], 2, 6);
    NumberedCells(c, n, tints[0], 7, 8);
  } else {
    NumberedCells(c, n, tints[n % kUiSheets], 0, 8);
  }
  if (n == kIconSheet) {
    for (size_t i = 0; i < std::size(kIconIds); ++i) DrawIcon(c, static_cast<int32_t>(i), kIconIds[i]);
    LongRangeIcon(c);
    RowMarks(c);
  }
  if (n == kApproachSheet) ApproachFaces(c);
  return c;
}

}  // namespace image_gen
