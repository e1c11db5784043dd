// Portraits, unit pictures and technology pictures.
#include <cmath>
#include <string>

#include "sheets.h"

namespace image_gen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kBody = Rgb(215, 215, 215);
constexpr uint32_t kEdge = Rgb(40, 40, 40);

uint32_t Pick(uint32_t seed, uint32_t range) {
  uint32_t h = seed * 0x9E3779B1u + 0x7F4A7C15u;
  h ^= h >> 13;
  h *= 0x85EBCA77u;
  h ^= h >> 16;
  return h % range;
}

// Where and how a unit's shapes are drawn: its centre, its turn and its
// scale. The shapes below are about 76 pixels across; the map shows a
// frame at half size over a hex of 24 x 22, so the facings' cells draw them
// at kOnMapScale to stay inside their own hex and leave the neighbours'
// clear. The class's own picture (cell 14), shown only in panels and lists,
// keeps the full size.
struct Pose {
  Pt at;
  double radians;
  double scale;
};
constexpr double kOnMapScale = 0.54;

// A shape drawn pointing up around the origin, scaled, turned and moved
// into place.
std::vector<Pt> Place(const std::vector<Pt>& shape, const Pose& pose) {
  std::vector<Pt> moved;
  for (const Pt& p : shape) moved.push_back({p.x * pose.scale + pose.at.x, p.y * pose.scale + pose.at.y});
  return RotatedPolygon(moved, pose.at, pose.radians);
}

void Shape(Canvas& c, const std::vector<Pt>& shape, const Pose& pose, uint32_t fill = kBody) {
  const auto placed = Place(shape, pose);
  c.Outline(placed, 2.5, kEdge);
  c.FillPolygon(placed, fill);
}

void Dot(Canvas& c, const Pose& pose, double radius, uint32_t colour) {
  c.FillCircle(pose.at.x, pose.at.y, radius * pose.scale, colour);
}

// The kinds of picture, by sheet number.
void Tank(Canvas& c, const Pose& p) {
  Shape(c, {{-15, -24}, {15, -24}, {15, 24}, {-15, 24}}, p);
  Shape(c, {{-3, -35}, {3, -35}, {3, -6}, {-3, -6}}, p);
  Dot(c, p, 10, kEdge);
  Dot(c, p, 8.5, Rgb(240, 240, 240));
}

void Infantry(Canvas& c, const Pose& p) {
  Shape(c, {{0, -26}, {20, 18}, {0, 8}, {-20, 18}}, p);
  Dot(c, p, 5, kEdge);
}

void Aircraft(Canvas& c, const Pose& p) {
  Shape(c, {{0, -34}, {5, -22}, {5, -6}, {32, 6}, {32, 12}, {5, 8}, {4, 24}, {12, 30}, {12, 34}, {0, 31},
            {-12, 34}, {-12, 30}, {-4, 24}, {-5, 8}, {-32, 12}, {-32, 6}, {-5, -6}, {-5, -22}},
        p);
}

void Ship(Canvas& c, const Pose& p) {
  Shape(c, {{0, -38}, {10, -20}, {10, 26}, {6, 34}, {-6, 34}, {-10, 26}, {-10, -20}}, p);
  Shape(c, {{-5, -8}, {5, -8}, {5, 10}, {-5, 10}}, p, Rgb(240, 240, 240));
}

// Stores do not turn.
void Facility(Canvas& c, const Pose& p) {
  const Pose upright{p.at, 0.0, p.scale};
  Shape(c, {{-24, -10}, {0, -30}, {24, -10}, {24, 24}, {-24, 24}}, upright);
  Shape(c, {{-5, 6}, {5, 6}, {5, 22}, {-5, 22}}, upright, kEdge);
}

// A second-table overlay: a pennant that turns with the unit.
void Pennant(Canvas& c, const Pose& p) {
  Shape(c, {{-2, -30}, {2, -30}, {2, 0}, {-2, 0}}, p);
  Shape(c, {{2, -30}, {20, -24}, {2, -18}}, p, Rgb(250, 250, 250));
}

enum class Kind { kTank, kInfantry, kAircraft, kShip, kFacility };

// The sample classes' symbol numbers are their class numbers: each sheet
// shows what its class is (foot soldiers, vehicles and guns, aircraft and
// missiles, ships and submarines, stores), so a unit looks like itself.
Kind SheetShape(int n) {
  if (n == 1 || n == 2 || n == 4 || n == 5 || n == 15) return Kind::kInfantry;
  if ((n >= 17 && n <= 26) || (n >= 39 && n <= 42) || n == 47) return Kind::kAircraft;
  if (n >= 27 && n <= 38) return Kind::kShip;
  if (n >= 43 && n <= 46) return Kind::kFacility;
  return Kind::kTank;
}

}  // namespace

Canvas PortraitSheet(int sheet) {
  // Natural tones to pick from, so that every face looks like a person's.
  constexpr uint32_t kSkins[] = {Rgb(245, 210, 180), Rgb(235, 190, 150), Rgb(220, 170, 125), Rgb(190, 135, 95),
                                 Rgb(150, 100, 65),  Rgb(110, 72, 48),   Rgb(240, 200, 170), Rgb(205, 155, 115)};
  constexpr uint32_t kHairs[] = {Rgb(25, 20, 18),   Rgb(70, 45, 25),    Rgb(120, 80, 40), Rgb(200, 165, 95),
                                 Rgb(150, 60, 30),  Rgb(150, 150, 150), Rgb(215, 215, 210), Rgb(45, 35, 30)};
  constexpr uint32_t kSuits[] = {Rgb(35, 40, 60),  Rgb(50, 50, 55),  Rgb(70, 60, 50), Rgb(30, 55, 45),
                                 Rgb(90, 30, 35),  Rgb(60, 70, 90),  Rgb(80, 80, 85), Rgb(40, 30, 50)};
  constexpr uint32_t kTies[] = {Rgb(170, 30, 40), Rgb(30, 70, 150), Rgb(200, 160, 40), Rgb(40, 120, 60),
                                Rgb(120, 40, 120), Rgb(230, 230, 230)};
  Canvas c(490, 504);
  for (uint32_t cell = 0; cell < 63; ++cell) {
    const auto x0 = static_cast<int32_t>((cell % 7) * 70), y0 = static_cast<int32_t>((cell / 7) * 56);
    const uint32_t seed = static_cast<uint32_t>(sheet) * 97 + cell;
    const uint32_t back = Rgb(60 + Pick(seed, 50), 70 + Pick(seed + 1, 50), 90 + Pick(seed + 2, 50));
    c.VerticalGradient(x0, y0, x0 + 70, y0 + 56, back, Mix(back, Rgb(0, 0, 0), 140));
    const uint32_t skin = kSkins[Pick(seed + 3, 8)];
    const uint32_t shade = Mix(skin, Rgb(60, 30, 20), 60);
    const uint32_t hair = kHairs[Pick(seed + 4, 8)];
    const uint32_t suit = kSuits[Pick(seed + 5, 8)];
    const uint32_t style = Pick(seed + 6, 4);  // 0 short, 1 parted, 2 balding, 3 long
    const double cx = x0 + 35.0, top = y0;
    // Shoulders, collar and tie.
    c.FillPolygon({{cx - 30, top + 56}, {cx - 27, top + 45}, {cx - 12, top + 39}, {cx + 12, top + 39},
                   {cx + 27, top + 45}, {cx + 30, top + 56}},
                  suit);
    c.FillPolygon({{cx - 7, top + 39}, {cx + 7, top + 39}, {cx + 4, top + 50}, {cx, top + 56}, {cx - 4, top + 50}},
                  Rgb(240, 240, 240));
    c.FillPolygon({{cx - 2.5, top + 42}, {cx + 2.5, top + 42}, {cx + 3.5, top + 54}, {cx, top + 56},
                   {cx - 3.5, top + 54}},
                  kTies[Pick(seed + 7, 6)]);
    c.FillPolygon({{cx - 12, top + 39}, {cx - 4, top + 39}, {cx - 1, top + 52}}, Mix(suit, Rgb(0, 0, 0), 50));
    c.FillPolygon({{cx + 12, top + 39}, {cx + 4, top + 39}, {cx + 1, top + 52}}, Mix(suit, Rgb(0, 0, 0), 50));
    // Neck, long hair behind, ears and face.
    c.FillRect(static_cast<int32_t>(cx) - 5, static_cast<int32_t>(top) + 30, static_cast<int32_t>(cx) + 5,
               static_cast<int32_t>(top) + 41, shade);
    if (style == 3) c.FillPolygon({{cx - 14, top + 16}, {cx + 14, top + 16}, {cx + 15, top + 40}, {cx - 15, top + 40}}, hair);
    c.FillCircle(cx - 11.5, top + 24, 3, shade);
    c.FillCircle(cx + 11.5, top + 24, 3, shade);
    std::vector<Pt> face;
    for (int i = 0; i < 32; ++i) {
      const double a = i * 2 * kPi / 32;
      face.push_back({cx + std::cos(a) * 11, top + 23 + std::sin(a) * (std::sin(a) > 0 ? 13 : 12)});
    }
    c.FillPolygon(face, skin);
    // Hair on top.
    if (style == 2) {
      c.FillPolygon({{cx - 12, top + 24}, {cx - 11, top + 15}, {cx - 8, top + 17}, {cx - 9, top + 25}}, hair);
      c.FillPolygon({{cx + 12, top + 24}, {cx + 11, top + 15}, {cx + 8, top + 17}, {cx + 9, top + 25}}, hair);
    } else {
      std::vector<Pt> cap;
      for (int i = 0; i <= 16; ++i) {
        const double a = kPi + i * kPi / 16;
        cap.push_back({cx + std::cos(a) * 12, top + 22 + std::sin(a) * 12});
      }
      const double fringe = style == 1 ? 16.0 : 15.0;
      cap.push_back({cx + 11, top + fringe + 3});
      cap.push_back({cx + (style == 1 ? -3 : 6), top + fringe});
      cap.push_back({cx - 11, top + fringe + 3});
      c.FillPolygon(cap, hair);
    }
    // Brows, eyes, nose and mouth; some wear glasses or a moustache.
    const uint32_t brow = Mix(hair, Rgb(0, 0, 0), 80);
    c.Line({cx - 7, top + 20}, {cx - 2, top + 19.5}, 1.3, brow);
    c.Line({cx + 2, top + 19.5}, {cx + 7, top + 20}, 1.3, brow);
    c.FillCircle(cx - 4.5, top + 23, 1.7, Rgb(250, 250, 250));
    c.FillCircle(cx + 4.5, top + 23, 1.7, Rgb(250, 250, 250));
    c.FillCircle(cx - 4.5, top + 23, 1.0, Rgb(40, 30, 25));
    c.FillCircle(cx + 4.5, top + 23, 1.0, Rgb(40, 30, 25));
    c.FillPolygon({{cx, top + 24}, {cx + 2, top + 29}, {cx - 1, top + 29.5}}, shade);
    if (Pick(seed + 8, 4) == 0) c.Line({cx - 4, top + 31}, {cx + 4, top + 31}, 1.8, brow);
    c.Line({cx - 3.5, top + 33}, {cx + 3.5, top + 33}, 1.2, Rgb(140, 60, 55));
    if (Pick(seed + 9, 4) == 0) {
      c.Ring(cx - 4.5, top + 23, 3.4, 1.0, Rgb(30, 30, 30));
      c.Ring(cx + 4.5, top + 23, 3.4, 1.0, Rgb(30, 30, 30));
      c.Line({cx - 1.2, top + 23}, {cx + 1.2, top + 23}, 1.0, Rgb(30, 30, 30));
    }
  }
  return c;
}

Canvas UnitSheet(int n, bool secondTable) {
  Canvas c(504, 420);
  for (int cell = 0; cell < 15; ++cell) {
    // Facing f turns the picture by f twenty-fourths of a turn; the last
    // cell is the class's own picture, facing right.
    const Pose pose{{(cell % 3) * 168 + 84.0, (cell / 3) * 84 + 42.0}, (cell == 14 ? 6 : cell) * 2 * kPi / 24,
                    cell == 14 ? 1.0 : kOnMapScale};
    if (secondTable) {
      Pennant(c, pose);
      continue;
    }
    switch (SheetShape(n)) {
      case Kind::kTank:
        Tank(c, pose);
        break;
      case Kind::kInfantry:
        Infantry(c, pose);
        break;
      case Kind::kAircraft:
        Aircraft(c, pose);
        break;
      case Kind::kShip:
        Ship(c, pose);
        break;
      case Kind::kFacility:
        Facility(c, pose);
        break;
    }
  }
  return c;
}

Canvas TechPicture(int n) {
  Canvas c(102, 102);
  const uint32_t colours[6] = {Rgb(70, 110, 170), Rgb(170, 90, 60), Rgb(80, 150, 80),
                               Rgb(150, 130, 60), Rgb(120, 80, 150), Rgb(90, 140, 150)};
  const uint32_t colour = colours[n % 6];
  c.FillCircle(51, 51, 48, Mix(colour, Rgb(0, 0, 0), 100));
  c.FillCircle(51, 51, 44, colour);
  switch (n % 6) {
    case 0:  // a gear
      for (int k = 0; k < 8; ++k) {
        const double a = k * kPi / 4;
        c.Line({51 + std::cos(a) * 18, 51 + std::sin(a) * 18}, {51 + std::cos(a) * 32, 51 + std::sin(a) * 32}, 9,
               Rgb(235, 235, 235));
      }
      c.FillCircle(51, 51, 22, Rgb(235, 235, 235));
      c.FillCircle(51, 51, 9, colour);
      break;
    case 1:  // a flask
      c.FillPolygon({{44, 22}, {58, 22}, {58, 42}, {76, 78}, {26, 78}, {44, 42}}, Rgb(235, 235, 235));
      c.FillPolygon({{36, 62}, {66, 62}, {72, 74}, {30, 74}}, Rgb(120, 220, 120));
      break;
    case 2:  // an atom
      for (int k = 0; k < 3; ++k) {
        std::vector<Pt> orbit;
        for (int i = 0; i < 36; ++i) {
          const double t = i * kPi / 18;
          orbit.push_back({51 + std::cos(t) * 32, 51 + std::sin(t) * 12});
        }
        c.Outline(RotatedPolygon(orbit, {51, 51}, k * kPi / 3), 2.5, Rgb(235, 235, 235));
      }
      c.FillCircle(51, 51, 7, Rgb(255, 220, 120));
      break;
    case 3:  // a factory
      c.FillRect(24, 50, 80, 78, Rgb(235, 235, 235));
      c.FillRect(30, 26, 40, 50, Rgb(235, 235, 235));
      c.FillRect(50, 34, 60, 50, Rgb(235, 235, 235));
      break;
    case 4:  // a shield
      c.FillPolygon({{51, 20}, {78, 30}, {74, 60}, {51, 82}, {28, 60}, {24, 30}}, Rgb(235, 235, 235));
      break;
    default:  // a rocket
      c.FillPolygon({{51, 14}, {62, 34}, {62, 70}, {74, 84}, {28, 84}, {40, 70}, {40, 34}}, Rgb(235, 235, 235));
      break;
  }
  DrawTextCentred(c, std::to_string(n), 51, 97, 11, Rgb(255, 255, 255), true);
  return c;
}

}  // namespace image_gen
