// The interface's nine shared sets. Set 0 holds the pieces the toolkit
// draws itself: panel fills at the top, the 12 x 12 scroller arrows at
// (252, 122) and (267, 122), and the button-frame pieces in rows 390 to 406
// (normal at columns 6 to 70, selected at 78 to 142), and the title bar's
// 16 x 16 pieces: the clock's 13 frames in a row at (0, 410), one per two
// hours (frame 12 is midnight again), and the four speed boxes (pause, slow,
// normal, fast) at (0, 430), their selected looks at (64, 430).
// Every set has a grid of numbered 64 x 64 cells for the forms to use.
#include <cmath>
#include <string>

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

}  // namespace

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
  return c;
}

}  // namespace image_gen
