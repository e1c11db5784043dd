#include "units/paths/unit_motion_geometry.h"

#include <cstdlib>

#include "app/game_math.h"

namespace {

constexpr int32_t kColumnPixels = 18;
constexpr int32_t kRowPixels = 22;
constexpr int32_t kHalfRowPixels = 11;
constexpr float kSlantRatio = 0x1.1745d2p-1f;  // 6 / 11, the slope of a hex's slanted edges

int32_t CentreX(int32_t x) { return x * kColumnPixels + 12; }
int32_t CentreY(int32_t x, int32_t y) { return y * kRowPixels + ((x & 1) ? kHalfRowPixels : 0); }

// Division rounding down (b above 0).
int32_t FloorDivide(int32_t a, int32_t b) {
  int32_t q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

// Left of column 0 of a wrapping map (and above row 0) the pixel values are
// negative, where a truncating division rounds toward column 0 and finds the
// unit's own hex or one beyond its neighbours. Division rounding down finds
// the hex of the last column the point lies in, and agrees with truncation
// everywhere else.
PointHex Find(const HexMapShape& map, int32_t x, int32_t y, float offsetX, float offsetY) {
  const int32_t px = CentreX(x) + CheckedTrunc(offsetX);
  const int32_t py = CentreY(x, y) + CheckedTrunc(offsetY);
  int32_t col = FloorDivide(px, kColumnPixels);
  const int32_t cx = px - col * kColumnPixels;
  const int32_t h = FloorDivide(py, kHalfRowPixels);
  const int32_t hy = py - h * kHalfRowPixels;
  int32_t o = (col & 1) ? -1 : 0;
  if (cx < 6) {
    const bool odd = ((o + 1 + h) & 1) != 0;
    if (odd && hy > 0 && static_cast<float>(cx) / static_cast<float>(hy) < kSlantRatio) {
      o = 0;
      col -= 1;
    } else if (!odd && (hy == 0 || static_cast<float>(cx) / static_cast<float>(kHalfRowPixels - hy) < kSlantRatio)) {
      o = -1;
      col -= 1;
    }
  }
  const int32_t row = FloorDivide(o + 1 + h, 2);
  PointHex out;
  out.column = col;
  int32_t wrapped = col;
  if (map.wraps && map.width > 0) wrapped = ((col % map.width) + map.width) % map.width;
  if (wrapped < 0 || wrapped >= map.width || row < 0 || row >= map.height) return out;
  out.position = MakeHexPos(wrapped, row);
  out.centreShiftX = static_cast<float>(CentreX(col) - CentreX(x));
  out.centreShiftY = static_cast<float>(CentreY(wrapped, row) - CentreY(x, y));
  return out;
}

}  // namespace

PointHex HexUnderPoint(const HexMapShape& map, int32_t x, int32_t y, float offsetX, float offsetY) {
  // Most moves end well inside the hex they started in: within 6 pixels
  // either side of the centre no slanted edge is near, and within 11 above or
  // below no row edge, so the search below would find the hex itself.
  const int32_t tx = CheckedTrunc(offsetX);
  const int32_t ty = CheckedTrunc(offsetY);
  if (tx >= -6 && tx < 6 && ty >= -11 && ty < 11 && x >= 0 && x < map.width && y >= 0 && y < map.height) {
    PointHex own;
    own.column = x;
    own.position = MakeHexPos(x, y);
    return own;
  }
  return Find(map, x, y, offsetX, offsetY);
}

int CrossingDirection(const HexMapShape& map, int32_t x, int32_t y, const PointHex& to) {
  const int32_t row = HexY(to.position);
  const int32_t v = y + (x & 1) - row;
  int d = v <= 0 ? 4 : 1;
  int32_t dx = x - HexX(to.position);
  if (map.wraps && map.width > 0) {
    if (dx > map.width / 2) dx -= map.width;
    if (dx < -map.width / 2) dx += map.width;
  }
  if (std::abs(dx) > std::abs(v / 2)) d = dx > 0 ? d - 1 : d + 1;
  return d;
}

float LimitToward(float move, float offset) {
  if (move > 0.0f && move > -offset) return -offset;
  if (move < 0.0f && move < -offset) return -offset;
  return move;
}

void ExitPointOffset(int d, float& dx, float& dy) {
  // From the top-left corner of the hex, whose centre is at (12, 11).
  static const int8_t kExit[7][2] = {{3, 5}, {12, 0}, {21, 5}, {3, 17}, {12, 22}, {21, 17}, {12, 11}};
  const int i = d >= 0 && d <= 6 ? d : 6;
  dx = static_cast<float>(kExit[i][0] - 12);
  dy = static_cast<float>(kExit[i][1] - 11);
}
