#include "canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace image_gen {
namespace {

constexpr int kSamples = 4;  // per side of a pixel

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

bool Inside(const std::vector<Pt>& poly, double x, double y) {
  bool in = false;
  const size_t n = poly.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const Pt& a = poly[i];
    const Pt& b = poly[j];
    if ((a.y > y) != (b.y > y)) {
      const double cross = (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x;
      if (x < cross) in = !in;
    }
  }
  return in;
}

// What a shape says of a whole pixel before its samples are counted.
enum class Whole { kInside, kOutside, kPartly };

// Runs the test at every sample of every pixel of the box and blends the
// colour by the share of samples inside. `whole` may settle a pixel at once
// (it must agree with what the samples would find).
template <typename Test, typename WholeTest>
void Cover(Canvas& c, double minX, double minY, double maxX, double maxY, uint32_t colour, Test inside,
           WholeTest whole) {
  const auto x0 = static_cast<int32_t>(std::max(0.0, std::floor(minX)));
  const auto y0 = static_cast<int32_t>(std::max(0.0, std::floor(minY)));
  const auto x1 = static_cast<int32_t>(std::min(static_cast<double>(c.width()), std::ceil(maxX)));
  const auto y1 = static_cast<int32_t>(std::min(static_cast<double>(c.height()), std::ceil(maxY)));
  for (int32_t y = y0; y < y1; ++y) {
    for (int32_t x = x0; x < x1; ++x) {
      const Whole w = whole(x, y);
      if (w == Whole::kOutside) continue;
      int hits = kSamples * kSamples;
      if (w == Whole::kPartly) {
        hits = 0;
        for (int sy = 0; sy < kSamples; ++sy)
          for (int sx = 0; sx < kSamples; ++sx)
            if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
      }
      if (hits) c.Blend(x, y, colour, static_cast<uint32_t>(hits * 255 / (kSamples * kSamples)));
    }
  }
}

Whole Partly(int32_t, int32_t) { return Whole::kPartly; }

// For a convex polygon a pixel is wholly inside when its four corners are
// inside every edge, and wholly outside when they are all outside one edge.
bool Convex(const std::vector<Pt>& poly, double* orientation) {
  const size_t n = poly.size();
  double sign = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const Pt& a = poly[i];
    const Pt& b = poly[(i + 1) % n];
    const Pt& c = poly[(i + 2) % n];
    const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
    if (cross == 0.0) continue;
    if (sign == 0.0) sign = cross > 0 ? 1.0 : -1.0;
    if ((cross > 0) != (sign > 0)) return false;
  }
  *orientation = sign;
  return sign != 0.0;
}

Whole ConvexWhole(const std::vector<Pt>& poly, double orientation, int32_t x, int32_t y) {
  bool allInside = true;
  const size_t n = poly.size();
  for (size_t i = 0; i < n; ++i) {
    const Pt& a = poly[i];
    const Pt& b = poly[(i + 1) % n];
    int outside = 0;
    for (int corner = 0; corner < 4; ++corner) {
      const double px = x + (corner & 1), py = y + (corner >> 1);
      const double side = ((b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x)) * orientation;
      if (side < 0) ++outside;
    }
    if (outside == 4) return Whole::kOutside;
    if (outside) allInside = false;
  }
  return allInside ? Whole::kInside : Whole::kPartly;
}

// The nearest and farthest squared distances from a point to a pixel.
void PixelDistances(double cx, double cy, int32_t x, int32_t y, double* nearest, double* farthest) {
  const double nx = std::clamp(cx, static_cast<double>(x), x + 1.0) - cx;
  const double ny = std::clamp(cy, static_cast<double>(y), y + 1.0) - cy;
  const double fx = std::max(std::fabs(x - cx), std::fabs(x + 1.0 - cx));
  const double fy = std::max(std::fabs(y - cy), std::fabs(y + 1.0 - cy));
  *nearest = nx * nx + ny * ny;
  *farthest = fx * fx + fy * fy;
}

std::string g_fontDir = "/usr/share/fonts/truetype/dejavu";

class Face {
 public:
  Face(bool bold, uint32_t pixelSize) {
    const std::string path = g_fontDir + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
    if (FT_Init_FreeType(&library_) != 0) return;
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
      face_ = nullptr;
      return;
    }
    if (FT_Set_Pixel_Sizes(face_, 0, pixelSize) != 0) {
      FT_Done_Face(face_);
      face_ = nullptr;
    }
  }
  ~Face() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  bool ok() const { return face_ != nullptr; }
  FT_GlyphSlot Load(unsigned char c) {
    if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) return nullptr;
    return face_->glyph;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace

uint32_t Mix(uint32_t a, uint32_t b, uint32_t t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t ca = Channel(a, shift), cb = Channel(b, shift);
    out |= ((ca * (256 - t) + cb * t) >> 8) << shift;
  }
  return out;
}

Canvas::Canvas(uint32_t width, uint32_t height, uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int32_t x, int32_t y, uint32_t colour, uint32_t coverage) {
  if (x < 0 || y < 0 || static_cast<uint32_t>(x) >= width_ || static_cast<uint32_t>(y) >= height_) return;
  uint32_t& dst = pixels_[static_cast<size_t>(y) * width_ + static_cast<uint32_t>(x)];
  const uint32_t sa = Channel(colour, 24) * coverage / 255;
  if (sa == 0) return;
  const uint32_t da = Channel(dst, 24);
  // Straight-alpha "over": out = src + dst x (1 - src alpha).
  const uint32_t oa = sa + da * (255 - sa) / 255;
  if (oa == 0) {
    dst = 0;
    return;
  }
  uint32_t out = oa << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t sc = Channel(colour, shift), dc = Channel(dst, shift);
    const uint32_t oc = (sc * sa + dc * da * (255 - sa) / 255) / oa;
    out |= std::min(oc, 255u) << shift;
  }
  dst = out;
}

void Canvas::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, static_cast<int32_t>(width_));
  bottom = std::min(bottom, static_cast<int32_t>(height_));
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = left; x < right; ++x) Set(static_cast<uint32_t>(x), static_cast<uint32_t>(y), colour);
}

void Canvas::VerticalGradient(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t topColour,
                              uint32_t bottomColour) {
  const int32_t span = std::max(1, bottom - top - 1);
  for (int32_t y = std::max(top, 0); y < std::min(bottom, static_cast<int32_t>(height_)); ++y) {
    const auto t = static_cast<uint32_t>((y - top) * 256 / span);
    FillRect(left, y, right, y + 1, Mix(topColour, bottomColour, std::min(t, 256u)));
  }
}

void Canvas::FillPolygon(const std::vector<Pt>& points, uint32_t colour) {
  if (points.size() < 3) return;
  double minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
  for (const Pt& p : points) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const auto inside = [&](double x, double y) { return Inside(points, x, y); };
  double orientation = 0.0;
  if (Convex(points, &orientation))
    Cover(*this, minX, minY, maxX, maxY, colour, inside,
          [&](int32_t x, int32_t y) { return ConvexWhole(points, orientation, x, y); });
  else
    Cover(*this, minX, minY, maxX, maxY, colour, inside, Partly);
}

void Canvas::FillCircle(double cx, double cy, double radius, uint32_t colour) {
  const double r2 = radius * radius;
  Cover(
      *this, cx - radius, cy - radius, cx + radius, cy + radius, colour,
      [&](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= r2;
      },
      [&](int32_t x, int32_t y) {
        double nearest, farthest;
        PixelDistances(cx, cy, x, y, &nearest, &farthest);
        if (nearest > r2) return Whole::kOutside;
        return farthest <= r2 ? Whole::kInside : Whole::kPartly;
      });
}

void Canvas::Ring(double cx, double cy, double radius, double thickness, uint32_t colour) {
  const double outer = radius + thickness / 2, inner = std::max(0.0, radius - thickness / 2);
  Cover(
      *this, cx - outer, cy - outer, cx + outer, cy + outer, colour,
      [&](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= outer * outer && d2 >= inner * inner;
      },
      [&](int32_t x, int32_t y) {
        double nearest, farthest;
        PixelDistances(cx, cy, x, y, &nearest, &farthest);
        if (nearest > outer * outer || farthest < inner * inner) return Whole::kOutside;
        return farthest <= outer * outer && nearest >= inner * inner ? Whole::kInside : Whole::kPartly;
      });
}

void Canvas::Line(Pt a, Pt b, double thickness, uint32_t colour) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0) return;
  const double nx = -dy / length * thickness / 2, ny = dx / length * thickness / 2;
  FillPolygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, colour);
}

void Canvas::Outline(const std::vector<Pt>& points, double thickness, uint32_t colour) {
  for (size_t i = 0; i < points.size(); ++i) {
    const Pt& a = points[i];
    const Pt& b = points[(i + 1) % points.size()];
    Line(a, b, thickness, colour);
    FillCircle(a.x, a.y, thickness / 2, colour);
  }
}

void Canvas::Frame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t thickness, uint32_t colour) {
  FillRect(left, top, right, top + thickness, colour);
  FillRect(left, bottom - thickness, right, bottom, colour);
  FillRect(left, top, left + thickness, bottom, colour);
  FillRect(right - thickness, top, right, bottom, colour);
}

void Canvas::Draw(const Canvas& other, int32_t x, int32_t y) {
  for (uint32_t oy = 0; oy < other.height(); ++oy)
    for (uint32_t ox = 0; ox < other.width(); ++ox)
      Blend(x + static_cast<int32_t>(ox), y + static_cast<int32_t>(oy), other.At(ox, oy));
}

std::vector<Pt> Hexagon(double cx, double cy, double halfWidth, double halfHeight) {
  const double h = halfWidth / 2;
  return {{cx + halfWidth, cy}, {cx + h, cy + halfHeight}, {cx - h, cy + halfHeight},
          {cx - halfWidth, cy}, {cx - h, cy - halfHeight}, {cx + h, cy - halfHeight}};
}

std::vector<Pt> RotatedPolygon(const std::vector<Pt>& points, Pt centre, double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  std::vector<Pt> out;
  out.reserve(points.size());
  for (const Pt& p : points) {
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    out.push_back({centre.x + dx * c - dy * s, centre.y + dx * s + dy * c});
  }
  return out;
}

void SetFontDirectory(const std::string& directory) { g_fontDir = directory; }

int32_t TextWidth(const std::string& text, uint32_t pixelSize, bool bold) {
  Face face(bold, pixelSize);
  if (!face.ok()) return 0;
  int32_t width = 0;
  for (unsigned char c : text)
    if (FT_GlyphSlot g = face.Load(c)) width += static_cast<int32_t>(g->advance.x >> 6);
  return width;
}

bool DrawText(Canvas& canvas, const std::string& text, int32_t x, int32_t y, uint32_t pixelSize, uint32_t colour,
              bool bold) {
  Face face(bold, pixelSize);
  if (!face.ok()) return false;
  for (unsigned char c : text) {
    FT_GlyphSlot g = face.Load(c);
    if (!g) continue;
    const FT_Bitmap& bitmap = g->bitmap;
    for (uint32_t row = 0; row < bitmap.rows; ++row) {
      const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
      for (uint32_t col = 0; col < bitmap.width; ++col)
        if (line[col])
          canvas.Blend(x + g->bitmap_left + static_cast<int32_t>(col), y - g->bitmap_top + static_cast<int32_t>(row),
                       colour, line[col]);
    }
    x += static_cast<int32_t>(g->advance.x >> 6);
  }
  return true;
}

bool DrawTextCentred(Canvas& canvas, const std::string& text, int32_t x, int32_t y, uint32_t pixelSize,
                     uint32_t colour, bool bold) {
  return DrawText(canvas, text, x - TextWidth(text, pixelSize, bold) / 2, y, pixelSize, colour, bold);
}

}  // namespace image_gen
