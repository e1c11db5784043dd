// The facility classes' pictures: settlements by size, industry, ports,
// airfields, bases, depots, silos, research centres and works, each with a
// look of its own so that a hex's lead facility reads at a glance.
#include <cmath>
#include <vector>

#include "sheets.h"

namespace image_gen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kInk = Rgb(35, 35, 35);

// The map stretches a 168 x 84 cell over 48 x 30 map pixels, squeezing it
// across by a fifth more than down; drawings are made in a square space and
// widened by that much so they look round on the map. One unit of that
// space is a pixel down the cell; the hex spans about 30 units each way
// from the centre.
constexpr double kWiden = (168.0 / 48.0) / (84.0 / 30.0);

class Pen {
 public:
  Pen(Canvas& c, Pt centre) : c_(c), o_(centre) {}

  Pt At(double x, double y) const { return {o_.x + x * kWiden, o_.y + y}; }
  std::vector<Pt> Map(const std::vector<Pt>& local) const {
    std::vector<Pt> out;
    out.reserve(local.size());
    for (const Pt& p : local) out.push_back(At(p.x, p.y));
    return out;
  }
  // A shape with a dark edge, so it stands out on any ground.
  void Solid(const std::vector<Pt>& local, uint32_t fill) {
    const auto placed = Map(local);
    c_.Outline(placed, 3.0, kInk);
    c_.FillPolygon(placed, fill);
  }
  void Flat(const std::vector<Pt>& local, uint32_t fill) { c_.FillPolygon(Map(local), fill); }
  void Box(double l, double t, double r, double b, uint32_t fill) { Solid({{l, t}, {r, t}, {r, b}, {l, b}}, fill); }
  void FlatBox(double l, double t, double r, double b, uint32_t fill) { Flat({{l, t}, {r, t}, {r, b}, {l, b}}, fill); }
  // An ellipse of the given radii (a circle on the map).
  std::vector<Pt> Ellipse(double cx, double cy, double rx, double ry) const {
    std::vector<Pt> out;
    for (int i = 0; i < 32; ++i) {
      const double a = i * 2 * kPi / 32;
      out.push_back({cx + std::cos(a) * rx, cy + std::sin(a) * ry});
    }
    return out;
  }
  void Disc(double cx, double cy, double r, uint32_t fill) { Solid(Ellipse(cx, cy, r, r), fill); }
  void Line(double x0, double y0, double x1, double y1, double width, uint32_t colour) {
    c_.Line(At(x0, y0), At(x1, y1), width, colour);
  }

 private:
  Canvas& c_;
  Pt o_;
};

// ------------------------------------------------------------ pieces

void House(Pen& p, double x, double base, double w, double h, uint32_t wall, uint32_t roof) {
  p.Solid({{x - w / 2, base}, {x - w / 2, base - h}, {x - w / 2 - 2, base - h}, {x, base - h - w * 0.55},
           {x + w / 2 + 2, base - h}, {x + w / 2, base - h}, {x + w / 2, base}},
          wall);
  p.Flat({{x - w / 2 - 1, base - h}, {x, base - h - w * 0.55 + 2}, {x + w / 2 + 1, base - h}}, roof);
}

void Tower(Pen& p, double l, double top, double r, double base, uint32_t colour) {
  p.Box(l, top, r, base, colour);
  const uint32_t window = Rgb(250, 230, 140);
  for (double y = top + 4; y + 3 < base; y += 7)
    for (double x = l + 3; x + 2 < r; x += 5) p.FlatBox(x, y, x + 2, y + 3, window);
}

void Star(Pen& p, double cx, double cy, double r, uint32_t fill) {
  std::vector<Pt> star;
  for (int k = 0; k < 10; ++k) {
    const double a = -kPi / 2 + k * kPi / 5;
    const double rr = k % 2 ? r * 0.42 : r;
    star.push_back({cx + std::cos(a) * rr, cy + std::sin(a) * rr});
  }
  p.Solid(star, fill);
}

void Shield(Pen& p, uint32_t fill) {
  p.Solid({{-22, -26}, {22, -26}, {22, 2}, {0, 26}, {-22, 2}}, fill);
}

void Anchor(Pen& p, uint32_t colour) {
  p.Line(0, -16, 0, 16, 4.0, colour);
  p.Line(-8, -10, 8, -10, 3.5, colour);
  p.Solid(p.Ellipse(0, -19, 4, 4), colour);
  std::vector<Pt> arc;
  for (int i = 0; i <= 12; ++i) {
    const double a = i * kPi / 12;
    arc.push_back({std::cos(a) * 14, 6 + std::sin(a) * 10});
  }
  for (size_t i = 1; i < arc.size(); ++i) p.Line(arc[i - 1].x, arc[i - 1].y, arc[i].x, arc[i].y, 4.0, colour);
}

void Runway(Pen& p, double tilt) {
  const double c = std::cos(tilt), s = std::sin(tilt);
  auto turned = [&](double x, double y) { return Pt{x * c - y * s, x * s + y * c}; };
  p.Solid({turned(-30, -6), turned(30, -6), turned(30, 6), turned(-30, 6)}, Rgb(70, 70, 75));
  for (double x = -24; x < 24; x += 12) {
    const Pt a = turned(x, 0), b = turned(x + 6, 0);
    p.Line(a.x, a.y, b.x, b.y, 2.0, Rgb(245, 245, 245));
  }
}

void Plane(Pen& p, double cx, double cy, double size, uint32_t fill) {
  const double k = size / 20.0;
  std::vector<Pt> shape = {{0, -20}, {3, -12}, {3, -4}, {20, 4}, {20, 8}, {3, 4}, {2, 13}, {8, 18},
                           {8, 20}, {0, 18}, {-8, 20}, {-8, 18}, {-2, 13}, {-3, 4}, {-20, 8}, {-20, 4},
                           {-3, -4}, {-3, -12}};
  for (Pt& pt : shape) pt = {cx + pt.x * k, cy + pt.y * k};
  p.Solid(shape, fill);
}

void Headframe(Pen& p, uint32_t heap) {
  p.Solid({{-28, 22}, {-12, 4}, {4, 22}}, heap);
  p.Line(6, 22, 14, -18, 3.0, kInk);
  p.Line(26, 22, 18, -18, 3.0, kInk);
  p.Line(9, 8, 23, 8, 2.5, kInk);
  p.Line(11, -6, 21, -6, 2.5, kInk);
  p.Solid(p.Ellipse(16, -20, 8, 8), Rgb(200, 200, 200));
  p.Solid(p.Ellipse(16, -20, 3, 3), kInk);
}

// A plain works building: walls and a roof drawn by the caller.
void Works(Pen& p, uint32_t wall) { p.Box(-26, -4, 26, 22, wall); }

void Chimney(Pen& p, double x, double top, uint32_t colour) {
  p.Box(x - 3, top, x + 3, -4, colour);
  p.Flat(p.Ellipse(x + 5, top - 6, 5, 4), Argb(200, 190, 190, 190));
}

// ------------------------------------------------------------ the facilities

void Village(Pen& p) {
  House(p, -12, 22, 20, 14, Rgb(235, 220, 185), Rgb(170, 70, 50));
  House(p, 12, 16, 18, 12, Rgb(235, 220, 185), Rgb(150, 60, 45));
}

void Town(Pen& p) {
  House(p, -16, 22, 14, 12, Rgb(235, 220, 185), Rgb(170, 70, 50));
  House(p, 16, 22, 14, 12, Rgb(225, 210, 175), Rgb(150, 60, 45));
  // A church between them.
  p.Solid({{-6, 22}, {-6, -8}, {0, -26}, {6, -8}, {6, 22}}, Rgb(240, 240, 235));
  p.FlatBox(-2, 10, 2, 22, Rgb(90, 60, 40));
  House(p, 0, 4, 10, 8, Rgb(225, 210, 175), Rgb(170, 70, 50));
}

void City(Pen& p) {
  Tower(p, -28, -6, -14, 24, Rgb(150, 165, 185));
  Tower(p, -14, -24, 0, 24, Rgb(120, 140, 170));
  Tower(p, 0, -14, 14, 24, Rgb(165, 175, 190));
  Tower(p, 14, 0, 28, 24, Rgb(135, 150, 175));
}

void CapitalCity(Pen& p) {
  Tower(p, -30, -10, -18, 24, Rgb(150, 165, 185));
  Tower(p, 18, -16, 30, 24, Rgb(135, 150, 175));
  // The seat of government: columns under a golden dome.
  p.Box(-16, 4, 16, 24, Rgb(240, 238, 228));
  for (double x = -12; x <= 12; x += 6) p.Line(x, 7, x, 22, 2.0, Rgb(170, 165, 150));
  p.Box(-18, 0, 18, 5, Rgb(225, 220, 205));
  p.Solid({{-12, 0}, {-11, -8}, {-6, -15}, {0, -17}, {6, -15}, {11, -8}, {12, 0}}, Rgb(230, 190, 70));
  p.Line(0, -17, 0, -25, 2.0, kInk);
}

void SupplyDepot(Pen& p) {
  const uint32_t crate = Rgb(190, 140, 80);
  auto box = [&](double x, double y) {
    p.Box(x - 10, y - 10, x + 10, y + 10, crate);
    p.Line(x - 9, y - 9, x + 9, y + 9, 1.8, Rgb(120, 80, 40));
    p.Line(x - 9, y + 9, x + 9, y - 9, 1.8, Rgb(120, 80, 40));
  };
  box(-11, 13);
  box(11, 13);
  box(0, -8);
}

void ResearchCentre(Pen& p) {
  // A flask with glowing green contents.
  p.Solid({{-6, -26}, {6, -26}, {6, -10}, {22, 20}, {18, 24}, {-18, 24}, {-22, 20}, {-6, -10}},
          Rgb(235, 245, 250));
  p.Flat({{-13, 6}, {13, 6}, {20, 20}, {17, 22}, {-17, 22}, {-20, 20}}, Rgb(90, 220, 110));
  p.FlatBox(-8, -28, 8, -24, Rgb(160, 160, 170));
  p.Solid(p.Ellipse(-3, 13, 2.5, 2.5), Rgb(200, 255, 200));
  p.Solid(p.Ellipse(5, 17, 2, 2), Rgb(200, 255, 200));
}

void CommercialPort(Pen& p) {
  // The quay and its water, a crane over a container.
  p.FlatBox(-30, 14, 30, 26, Rgb(60, 110, 190));
  p.Box(-30, 6, 30, 14, Rgb(160, 160, 160));
  p.Line(-16, 6, -16, -24, 4.0, Rgb(240, 190, 40));
  p.Line(-20, -22, 22, -22, 4.0, Rgb(240, 190, 40));
  p.Line(-16, -10, -4, -22, 2.5, Rgb(240, 190, 40));
  p.Line(16, -22, 16, -10, 1.5, kInk);
  p.Box(6, -10, 26, 6, Rgb(200, 70, 60));
}

void RadarStation(Pen& p) {
  p.Line(0, 24, 0, -2, 4.0, kInk);
  p.Solid({{-10, 24}, {10, 24}, {4, 14}, {-4, 14}}, Rgb(150, 150, 150));
  std::vector<Pt> dish;
  for (int i = 0; i <= 16; ++i) {
    const double a = kPi * 0.15 + i * kPi * 0.7 / 16;
    dish.push_back({std::cos(a) * 26, -26 + std::sin(a) * 24});
  }
  p.Solid(dish, Rgb(235, 235, 240));
  p.Line(0, -4, 0, -22, 2.0, kInk);
  p.Solid(p.Ellipse(0, -22, 3, 3), Rgb(220, 60, 50));
}

void Fortress(Pen& p) {
  const uint32_t stone = Rgb(165, 160, 150);
  p.Solid({{-28, 24}, {-28, -12}, {-20, -12}, {-20, -6}, {-12, -6}, {-12, -12}, {-4, -12}, {-4, -6}, {4, -6},
           {4, -12}, {12, -12}, {12, -6}, {20, -6}, {20, -12}, {28, -12}, {28, 24}},
          stone);
  p.Solid({{-7, 24}, {-7, 8}, {0, 2}, {7, 8}, {7, 24}}, Rgb(70, 55, 45));
}

void MissileSilo(Pen& p) {
  p.Solid(p.Ellipse(0, 12, 26, 12), Rgb(150, 150, 145));
  p.Flat(p.Ellipse(0, 12, 16, 7), Rgb(40, 40, 40));
  p.Solid({{-6, 12}, {-6, -14}, {0, -28}, {6, -14}, {6, 12}}, Rgb(240, 240, 240));
  p.Flat({{-5, -14}, {0, -26}, {5, -14}}, Rgb(210, 50, 40));
}

void LaunchSite(Pen& p) {
  p.Line(-14, 24, -14, -26, 3.0, Rgb(200, 60, 40));
  p.Line(-22, 24, -22, -26, 3.0, Rgb(200, 60, 40));
  for (double y = 20; y > -26; y -= 9) p.Line(-22, y, -14, y - 6, 2.0, Rgb(200, 60, 40));
  p.Solid({{2, 24}, {2, -14}, {9, -28}, {16, -14}, {16, 24}}, Rgb(245, 245, 245));
  p.Solid({{2, 24}, {-4, 26}, {2, 12}}, Rgb(120, 120, 130));
  p.Solid({{16, 24}, {22, 26}, {16, 12}}, Rgb(120, 120, 130));
  p.FlatBox(-30, 24, 30, 27, Rgb(120, 120, 120));
}

void Airstrip(Pen& p) {
  Runway(p, -0.45);
  Plane(p, -12, 10, 12, Rgb(235, 235, 235));
}

void AirBase(Pen& p) {
  Runway(p, -0.45);
  p.Solid(p.Ellipse(12, 12, 12, 12), Rgb(40, 70, 160));
  p.Flat(p.Ellipse(12, 12, 8, 8), Rgb(245, 245, 245));
  p.Flat(p.Ellipse(12, 12, 4, 4), Rgb(200, 40, 40));
}

void Airport(Pen& p) {
  Runway(p, -0.45);
  p.Box(-26, 8, 6, 24, Rgb(225, 230, 240));
  p.Line(-22, 15, 2, 15, 3.0, Rgb(90, 150, 210));
  p.Box(10, -4, 18, 24, Rgb(220, 220, 225));
  p.Solid({{6, -4}, {22, -4}, {20, -14}, {8, -14}}, Rgb(90, 150, 210));
}

void NavalBase(Pen& p) {
  Shield(p, Rgb(30, 50, 120));
  Anchor(p, Rgb(240, 240, 240));
}

void ArmyBase(Pen& p) {
  Shield(p, Rgb(80, 105, 50));
  Star(p, 0, -3, 15, Rgb(245, 245, 235));
}

void Farm(Pen& p) {
  p.Solid({{-30, 4}, {30, 4}, {30, 26}, {-30, 26}}, Rgb(210, 190, 80));
  for (double y = 9; y < 26; y += 6) p.Line(-28, y, 28, y, 2.0, Rgb(120, 160, 60));
  p.Solid({{-14, 4}, {-14, -14}, {-4, -24}, {6, -14}, {6, 4}}, Rgb(190, 50, 40));
  p.FlatBox(-8, -6, 0, 4, Rgb(240, 235, 225));
  p.Solid({{12, 4}, {12, -18}, {22, -18}, {22, 4}}, Rgb(200, 200, 195));
  p.Solid(p.Ellipse(17, -18, 5, 4), Rgb(170, 170, 170));
}

void Plantation(Pen& p) {
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 3; ++col) {
      const double x = -20 + col * 20;
      const double y = -10 + row * 22;
      p.Line(x, y + 4, x, y + 12, 3.0, Rgb(110, 70, 40));
      p.Disc(x, y, 9, row ? Rgb(60, 150, 60) : Rgb(40, 125, 50));
    }
}

void LumberMill(Pen& p) {
  const uint32_t bark = Rgb(150, 100, 55), wood = Rgb(225, 185, 120);
  const double logs[6][2] = {{-18, 16}, {0, 16}, {18, 16}, {-9, 0}, {9, 0}, {0, -16}};
  for (const auto& l : logs) {
    p.Disc(l[0], l[1], 9, bark);
    p.Flat(p.Ellipse(l[0], l[1], 6, 6), wood);
    p.Flat(p.Ellipse(l[0], l[1], 2, 2), bark);
  }
}

void OilField(Pen& p) {
  p.Solid({{-4, -28}, {4, -28}, {18, 24}, {-18, 24}}, Rgb(60, 60, 60));
  p.Flat({{-1, -22}, {1, -22}, {12, 20}, {-12, 20}}, Rgb(200, 200, 200));
  p.Line(-9, 4, 9, 4, 2.0, Rgb(60, 60, 60));
  p.Line(-6, -8, 6, -8, 2.0, Rgb(60, 60, 60));
  p.Solid({{20, 24}, {30, 24}, {30, 10}, {25, 4}, {20, 10}}, Rgb(20, 20, 20));
}

void CoalMine(Pen& p) { Headframe(p, Rgb(30, 30, 30)); }
void OreMine(Pen& p) { Headframe(p, Rgb(170, 80, 45)); }

void UraniumMine(Pen& p) {
  Headframe(p, Rgb(200, 220, 40));
  p.Flat(p.Ellipse(-12, 16, 3, 3), kInk);
}

void PowerPlant(Pen& p) {
  p.Solid({{-26, 24}, {-20, 0}, {-24, -24}, {6, -24}, {2, 0}, {8, 24}}, Rgb(200, 200, 195));
  p.Flat(p.Ellipse(-9, -28, 12, 5), Argb(210, 235, 235, 235));
  p.Solid({{18, -26}, {10, 0}, {18, 0}, {12, 26}, {28, -6}, {20, -6}, {26, -26}}, Rgb(250, 210, 40));
}

void GoodsFactory(Pen& p) {
  Works(p, Rgb(120, 170, 220));
  p.Solid({{-26, -4}, {-26, -20}, {-9, -4}, {-9, -20}, {8, -4}, {8, -20}, {26, -4}}, Rgb(90, 140, 200));
  p.Box(-8, 8, 8, 22, Rgb(240, 200, 120));
}

void HeavyIndustry(Pen& p) {
  Chimney(p, -16, -28, Rgb(150, 80, 50));
  Chimney(p, -4, -22, Rgb(150, 80, 50));
  Works(p, Rgb(200, 120, 60));
  p.Solid({{-26, -4}, {0, -14}, {26, -4}}, Rgb(150, 90, 50));
  p.FlatBox(-18, 6, 18, 12, Rgb(250, 200, 80));
}

void ArmsFactory(Pen& p) {
  Works(p, Rgb(110, 125, 70));
  p.Solid({{-26, -4}, {0, -14}, {26, -4}}, Rgb(85, 100, 55));
  // A shell standing in front.
  p.Solid({{-5, 24}, {-5, 2}, {0, -10}, {5, 2}, {5, 24}}, Rgb(220, 180, 80));
  p.FlatBox(-5, 18, 5, 21, Rgb(150, 110, 50));
}

void HydroDam(Pen& p) {
  p.Flat({{-30, -26}, {30, -26}, {30, -4}, {-30, -4}}, Rgb(60, 110, 190));
  std::vector<Pt> wall;
  for (int i = 0; i <= 12; ++i) wall.push_back({-30 + i * 5.0, -6 + std::sin(i * kPi / 12) * 8});
  for (int i = 12; i >= 0; --i) wall.push_back({-30 + i * 5.0, 4 + std::sin(i * kPi / 12) * 8});
  p.Solid(wall, Rgb(175, 175, 170));
  p.Flat({{-6, 12}, {6, 12}, {8, 26}, {-8, 26}}, Argb(220, 200, 230, 250));
}

void Bridge(Pen& p) {
  p.FlatBox(-30, 10, 30, 26, Rgb(60, 110, 190));
  std::vector<Pt> deck = {{-30, -8}, {30, -8}, {30, 22}, {22, 22}};
  for (int i = 0; i <= 12; ++i) {
    const double a = i * kPi / 12;
    deck.push_back({16 * std::cos(a), 22 - 20 * std::sin(a)});
  }
  deck.push_back({-22, 22});
  deck.push_back({-30, 22});
  p.Solid(deck, Rgb(170, 130, 90));
}

void RailYard(Pen& p) {
  for (double y = -18; y <= 18; y += 12) {
    for (double x = -26; x <= 26; x += 7) p.Line(x, y - 4, x, y + 4, 2.0, Rgb(120, 85, 50));
    p.Line(-30, y - 3, 30, y - 3, 1.8, Rgb(60, 60, 60));
    p.Line(-30, y + 3, 30, y + 3, 1.8, Rgb(60, 60, 60));
  }
  p.Box(-16, -4, 12, 4, Rgb(190, 60, 50));
}

void OilRefinery(Pen& p) {
  p.Box(16, -26, 24, 24, Rgb(190, 190, 190));
  p.Solid({{16, -26}, {20, -34}, {24, -26}}, Rgb(250, 150, 40));
  p.Solid(p.Ellipse(-14, 10, 14, 14), Rgb(230, 230, 225));
  p.Solid(p.Ellipse(4, -8, 10, 10), Rgb(230, 230, 225));
  p.Line(-14, 10, 4, -8, 2.0, Rgb(120, 120, 120));
}

void PipelineTerminal(Pen& p) {
  p.Line(-30, 14, 30, 14, 6.0, kInk);
  p.Line(-30, 14, 30, 14, 3.0, Rgb(150, 150, 150));
  p.Solid(p.Ellipse(6, -4, 18, 18), Rgb(230, 230, 225));
  p.Flat(p.Ellipse(6, -4, 8, 8), Rgb(60, 60, 60));
}

void Crossing(Pen& p) {
  p.Line(-22, -20, 22, 20, 8.0, Rgb(90, 90, 90));
  p.Line(-22, 20, 22, -20, 8.0, Rgb(90, 90, 90));
}

void Road(Pen& p) {
  p.Line(-30, 0, 30, 0, 10.0, Rgb(90, 90, 90));
  p.Line(-24, 0, 24, 0, 1.5, Rgb(240, 240, 240));
}

void Railway(Pen& p) {
  for (double x = -26; x <= 26; x += 7) p.Line(x, -8, x, 8, 2.5, Rgb(120, 85, 50));
  p.Line(-30, -5, 30, -5, 2.0, Rgb(60, 60, 60));
  p.Line(-30, 5, 30, 5, 2.0, Rgb(60, 60, 60));
}

using Drawer = void (*)(Pen&);
struct Picture {
  int classNumber;
  Drawer draw;
  bool settlement;  // cell 12 shows it as its region's capital
};

// By class number; a class's picture number is 100 + class number - 4000.
constexpr Picture kPictures[] = {
    {4000, Village, true},         {4001, Town, true},           {4002, City, true},
    {4003, CapitalCity, true},     {4004, SupplyDepot, false},   {4005, Bridge, false},
    {4006, CommercialPort, false}, {4007, RadarStation, false},  {4008, Fortress, false},
    {4011, MissileSilo, false},    {4012, LaunchSite, false},    {4013, Airstrip, false},
    {4014, NavalBase, false},      {4015, AirBase, false},       {4016, Farm, false},
    {4017, Plantation, false},     {4018, LumberMill, false},    {4019, OilField, false},
    {4020, CoalMine, false},       {4021, OreMine, false},       {4022, UraniumMine, false},
    {4023, PowerPlant, false},     {4032, GoodsFactory, false},  {4033, HeavyIndustry, false},
    {4034, ArmsFactory, false},    {4036, HydroDam, false},      {4037, ResearchCentre, false},
    {4038, RailYard, false},       {4039, Airport, false},       {4046, OilRefinery, false},
    {4047, PipelineTerminal, false}, {4054, ArmyBase, false},    {4127, Crossing, false},
    {4128, Road, false},           {4129, Railway, false},
};

const Picture* Find(int number) {
  for (const Picture& p : kPictures)
    if (FacilityPictureNumber(p.classNumber) == number) return &p;
  return nullptr;
}

}  // namespace

int FacilityPictureNumber(int classNumber) { return classNumber - kFirstFacilityClass + kFirstFacilityPicture; }

std::vector<int> FacilityPictureNumbers() {
  std::vector<int> numbers;
  for (const Picture& p : kPictures) numbers.push_back(FacilityPictureNumber(p.classNumber));
  return numbers;
}

bool IsFacilityPicture(int number) { return Find(number) != nullptr; }

Canvas FacilitySheet(int number) {
  Canvas c(504, 420);
  const Picture* picture = Find(number);
  if (!picture) return c;
  for (int cell = 0; cell < 15; ++cell) {
    Pen pen(c, {(cell % 3) * 168 + 84.0, (cell / 3) * 84 + 44.0});
    picture->draw(pen);
    // A settlement on its region's capital hex shows this cell.
    if (picture->settlement && cell == kCapitalCell) Star(pen, 24, -20, 10, Rgb(250, 205, 40));
  }
  return c;
}

}  // namespace image_gen
