#include "platform/picture_fit.h"

#include <algorithm>

namespace plat {

PictureFit FitPicture(int32_t bufferWidth, int32_t bufferHeight, int32_t windowWidth, int32_t windowHeight) {
  PictureFit fit;
  fit.bufferWidth = bufferWidth;
  fit.bufferHeight = bufferHeight;
  if (bufferWidth <= 0 || bufferHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
    fit.width = std::max(bufferWidth, 0);
    fit.height = std::max(bufferHeight, 0);
    return fit;
  }
  // Integer cross-multiplication keeps the result exact on every machine.
  const int64_t byWidth = int64_t{windowWidth} * bufferHeight;
  const int64_t byHeight = int64_t{windowHeight} * bufferWidth;
  if (byWidth <= byHeight) {
    fit.width = windowWidth;
    fit.height = static_cast<int32_t>(byWidth / bufferWidth);
  } else {
    fit.height = windowHeight;
    fit.width = static_cast<int32_t>(byHeight / bufferHeight);
  }
  fit.left = (windowWidth - fit.width) / 2;
  fit.top = (windowHeight - fit.height) / 2;
  return fit;
}

bool PictureFit::WholeScale() const {
  return bufferWidth > 0 && bufferHeight > 0 && width % bufferWidth == 0 && height % bufferHeight == 0 &&
         width / bufferWidth == height / bufferHeight;
}

void PictureFit::WindowToBuffer(int32_t x, int32_t y, int32_t* bx, int32_t* by) const {
  auto map = [](int32_t v, int32_t origin, int32_t span, int32_t size) {
    if (span <= 0 || size <= 0) return v;
    const int64_t scaled = (int64_t{v} - origin) * size;
    if (scaled < 0) return int32_t{0};
    return static_cast<int32_t>(std::min<int64_t>(scaled / span, size - 1));
  };
  *bx = map(x, left, width, bufferWidth);
  *by = map(y, top, height, bufferHeight);
}

void PictureFit::BufferToWindow(int32_t bx, int32_t by, int32_t* x, int32_t* y) const {
  auto map = [](int32_t v, int32_t origin, int32_t span, int32_t size) {
    if (span <= 0 || size <= 0) return v;
    // Rounded up so that mapping the result back gives the same pixel.
    const int64_t scaled = int64_t{v} * span;
    const int64_t cell = scaled >= 0 ? (scaled + size - 1) / size : scaled / size;
    return static_cast<int32_t>(origin + cell);
  };
  *x = map(bx, left, width, bufferWidth);
  *y = map(by, top, height, bufferHeight);
}

}  // namespace plat
