#pragma once
// A picture being drawn: 0xAARRGGBB pixels, rows top to bottom, with the few
// shapes the game's programmer art needs. Shapes are filled with 4 x 4
// samples per pixel and blended over what is there, so edges are smooth and
// every run draws the same bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace image_gen {

struct Pt {
  double x = 0.0, y = 0.0;
};

// Colour helpers.
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return Argb(255, r, g, b); }
// The colour with its alpha replaced.
constexpr uint32_t WithAlpha(uint32_t colour, uint32_t a) { return (colour & 0x00FFFFFFu) | (a << 24); }
// Channel-wise mix of two colours, t of 256 toward b.
uint32_t Mix(uint32_t a, uint32_t b, uint32_t t);

class Canvas {
 public:
  Canvas(uint32_t width, uint32_t height, uint32_t fill = 0);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  const std::vector<uint32_t>& pixels() const { return pixels_; }
  uint32_t At(uint32_t x, uint32_t y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void Set(uint32_t x, uint32_t y, uint32_t colour) { pixels_[static_cast<size_t>(y) * width_ + x] = colour; }
  // Blends a colour over a pixel, its alpha scaled by coverage (0 to 255);
  // outside the canvas nothing happens.
  void Blend(int32_t x, int32_t y, uint32_t colour, uint32_t coverage = 255);

  // Whole pixels, set (not blended), cut to the canvas.
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
  // A vertical gradient over a rectangle, set.
  void VerticalGradient(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t topColour,
                        uint32_t bottomColour);
  // Blended, smooth-edged shapes (coordinates in pixels, pixel centres at .5).
  void FillPolygon(const std::vector<Pt>& points, uint32_t colour);
  void FillCircle(double cx, double cy, double radius, uint32_t colour);
  void Ring(double cx, double cy, double radius, double thickness, uint32_t colour);
  void Line(Pt a, Pt b, double thickness, uint32_t colour);
  void Outline(const std::vector<Pt>& points, double thickness, uint32_t colour);
  // A rectangle's border of whole pixels, set.
  void Frame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t thickness, uint32_t colour);
  // Copies another canvas in at (x, y), blended.
  void Draw(const Canvas& other, int32_t x, int32_t y);

 private:
  uint32_t width_, height_;
  std::vector<uint32_t> pixels_;
};

// A flat-topped hexagon around a centre: half its width and half its height.
std::vector<Pt> Hexagon(double cx, double cy, double halfWidth, double halfHeight);
// The same turned by a quarter (pointy-topped).
std::vector<Pt> RotatedPolygon(const std::vector<Pt>& points, Pt centre, double radians);

// Text with a DejaVu face (the font folder set by SetFontDirectory), blended.
void SetFontDirectory(const std::string& directory);
// Draws the text with its baseline starting at (x, y); false when the face
// cannot be read. bold picks the bold face.
bool DrawText(Canvas& canvas, const std::string& text, int32_t x, int32_t y, uint32_t pixelSize, uint32_t colour,
              bool bold = false);
// The text's width in pixels at that size (0 when the face cannot be read).
int32_t TextWidth(const std::string& text, uint32_t pixelSize, bool bold = false);
// Draws the text centred on x.
bool DrawTextCentred(Canvas& canvas, const std::string& text, int32_t x, int32_t y, uint32_t pixelSize,
                     uint32_t colour, bool bold = false);

}  // namespace image_gen
