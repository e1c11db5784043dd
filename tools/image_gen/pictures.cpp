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

// A shape drawn pointing up around the origin, turned and moved into place.
std::vector<Pt> Place(const std::vector<Pt>& shape, Pt centre, double radians) {
  std::vector<Pt> moved;
  for (const Pt& p : shape) moved.push_back({p.x + centre.x, p.y + centre.y});
  return RotatedPolygon(moved, centre, radians);
}

void Shape(Canvas& c, const std::vector<Pt>& shape, Pt centre, double radians, uint32_t fill = kBody) {
  const auto placed = Place(shape, centre, radians);
  c.Outline(placed, 2.5, kEdge);
  c.FillPolygon(placed, fill);
}

// The kinds of picture, by sheet number.
void Tank(Canvas& c, Pt at, double a) {
  Shape(c, {{-15, -24}, {15, -24}, {15, 24}, {-15, 24}}, at, a);
  Shape(c, {{-3, -35}, {3, -35}, {3, -6}, {-3, -6}}, at, a);
  c.FillCircle(at.x, at.y, 10, kEdge);
  c.FillCircle(at.x, at.y, 8.5, Rgb(240, 240, 240));
}

void Infantry(Canvas& c, Pt at, double a) {
  Shape(c, {{0, -26}, {20, 18}, {0, 8}, {-20, 18}}, at, a);
  c.FillCircle(at.x, at.y, 5, kEdge);
}

void Aircraft(Canvas& c, Pt at, double a) {
  Shape(c, {{0, -34}, {5, -22}, {5, -6}, {32, 6}, {32, 12}, {5, 8}, {4, 24}, {12, 30}, {12, 34}, {0, 31},
            {-12, 34}, {-12, 30}, {-4, 24}, {-5, 8}, {-32, 12}, {-32, 6}, {-5, -6}, {-5, -22}},
        at, a);
}

void Ship(Canvas& c, Pt at, double a) {
  Shape(c, {{0, -38}, {10, -20}, {10, 26}, {6, 34}, {-6, 34}, {-10, 26}, {-10, -20}}, at, a);
  Shape(c, {{-5, -8}, {5, -8}, {5, 10}, {-5, 10}}, at, a, Rgb(240, 240, 240));
}

void Facility(Canvas& c, Pt at) {
  c.FillRect(static_cast<int32_t>(at.x) - 24, static_cast<int32_t>(at.y) - 10, static_cast<int32_t>(at.x) + 24,
             static_cast<int32_t>(at.y) + 24, kEdge);
  c.FillRect(static_cast<int32_t>(at.x) - 22, static_cast<int32_t>(at.y) - 8, static_cast<int32_t>(at.x) + 22,
             static_cast<int32_t>(at.y) + 22, kBody);
  c.FillPolygon({{at.x - 28, at.y - 8}, {at.x, at.y - 30}, {at.x + 28, at.y - 8}}, kEdge);
  c.FillPolygon({{at.x - 24, at.y - 10}, {at.x, at.y - 27}, {at.x + 24, at.y - 10}}, Rgb(240, 240, 240));
  c.FillRect(static_cast<int32_t>(at.x) - 5, static_cast<int32_t>(at.y) + 6, static_cast<int32_t>(at.x) + 5,
             static_cast<int32_t>(at.y) + 22, kEdge);
}

// A second-table overlay: a pennant that turns with the unit.
void Pennant(Canvas& c, Pt at, double a) {
  Shape(c, {{-2, -30}, {2, -30}, {2, 0}, {-2, 0}}, at, a);
  Shape(c, {{2, -30}, {20, -24}, {2, -18}}, at, a, Rgb(250, 250, 250));
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
  Canvas c(490, 504);
  for (uint32_t cell = 0; cell < 63; ++cell) {
    const auto x0 = static_cast<int32_t>((cell % 7) * 70), y0 = static_cast<int32_t>((cell / 7) * 56);
    const uint32_t seed = static_cast<uint32_t>(sheet) * 97 + cell;
    const uint32_t back = Rgb(40 + Pick(seed, 60), 50 + Pick(seed + 1, 60), 70 + Pick(seed + 2, 60));
    c.VerticalGradient(x0, y0, x0 + 70, y0 + 56, back, Mix(back, Rgb(0, 0, 0), 120));
    const uint32_t suit = Rgb(30 + Pick(seed + 3, 90), 30 + Pick(seed + 4, 60), 40 + Pick(seed + 5, 80));
    const uint32_t skin = Rgb(150 + Pick(seed + 6, 90), 110 + Pick(seed + 7, 70), 80 + Pick(seed + 8, 60));
    const uint32_t hair = Rgb(20 + Pick(seed + 9, 120), 15 + Pick(seed + 10, 80), 10 + Pick(seed + 11, 50));
    const double cx = x0 + 35.0;
    c.FillPolygon({{cx - 26, y0 + 56.0}, {cx - 22, y0 + 42.0}, {cx, y0 + 38.0}, {cx + 22, y0 + 42.0}, {cx + 26, y0 + 56.0}},
                  suit);
    c.FillCircle(cx, y0 + 24.0, 13, hair);
    c.FillCircle(cx, y0 + 27.0, 11.5, skin);
    c.FillCircle(cx - 4, y0 + 25.0, 1.3, Rgb(20, 20, 20));
    c.FillCircle(cx + 4, y0 + 25.0, 1.3, Rgb(20, 20, 20));
    c.Line({cx - 3, y0 + 32.0}, {cx + 3, y0 + 32.0}, 1.2, Rgb(120, 50, 50));
  }
  return c;
}

Canvas UnitSheet(int n, bool secondTable) {
  Canvas c(504, 420);
  for (int cell = 0; cell < 15; ++cell) {
    const Pt at{(cell % 3) * 168 + 84.0, (cell / 3) * 84 + 42.0};
    // Facing f turns the picture by f twenty-fourths of a turn; the last
    // cell is the class's own picture, facing right.
    const double a = (cell == 14 ? 6 : cell) * 2 * kPi / 24;
    if (secondTable) {
      Pennant(c, at, a);
      continue;
    }
    switch (SheetShape(n)) {
      case Kind::kTank:
        Tank(c, at, a);
        break;
      case Kind::kInfantry:
        Infantry(c, at, a);
        break;
      case Kind::kAircraft:
        Aircraft(c, at, a);
        break;
      case Kind::kShip:
        Ship(c, at, a);
        break;
      case Kind::kFacility:
        Facility(c, at);
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
