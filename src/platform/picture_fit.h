#pragma once
// Where the back buffer's picture sits in a window of another size: scaled
// with its aspect kept, centred, black bars on the two sides (or above and
// below) that the picture does not reach; and the mapping of window points
// into back-buffer points and back.
#include <cstdint>

namespace plat {

struct PictureFit {
  int32_t bufferWidth = 0, bufferHeight = 0;
  // The picture's rectangle in window pixels.
  int32_t left = 0, top = 0, width = 0, height = 0;

  // True when every back-buffer pixel covers a whole number of window pixels
  // (1:1 included), so the picture may be drawn without smoothing.
  bool WholeScale() const;
  // The back-buffer pixel under a window point; points in the bars or outside
  // the window are clamped to the picture's nearest edge.
  void WindowToBuffer(int32_t x, int32_t y, int32_t* bx, int32_t* by) const;
  // The window pixel at the top-left of a back-buffer pixel (used to place
  // the pointer and its confinement).
  void BufferToWindow(int32_t bx, int32_t by, int32_t* x, int32_t* y) const;
};

// The largest picture of the buffer's shape that fits the window. Empty
// sizes give a 1:1 fit at the window's origin.
PictureFit FitPicture(int32_t bufferWidth, int32_t bufferHeight, int32_t windowWidth, int32_t windowHeight);

}  // namespace plat
