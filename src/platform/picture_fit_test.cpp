#include "platform/picture_fit.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

TEST(PictureFit, PlacesThePictureWithItsAspectKept) {
  struct Row {
    int32_t bw, bh, ww, wh;
    int32_t left, top, width, height;
    bool whole;
  };
  const Row rows[] = {
      {1024, 768, 1920, 1080, 240, 0, 1440, 1080, false},  // bars left and right
      {1280, 1024, 1280, 1024, 0, 0, 1280, 1024, true},    // 1:1
      {1280, 1024, 1920, 1080, 285, 0, 1350, 1080, false},
      {800, 600, 1600, 1200, 0, 0, 1600, 1200, true},      // twice, no bars
      {1024, 768, 1024, 1080, 0, 156, 1024, 768, true},    // bars above and below
      {0, 0, 1920, 1080, 0, 0, 0, 0, false},               // nothing to show
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.bw << "x" << r.bh << " in " << r.ww << "x" << r.wh);
    const PictureFit fit = FitPicture(r.bw, r.bh, r.ww, r.wh);
    EXPECT_EQ(fit.left, r.left);
    EXPECT_EQ(fit.top, r.top);
    EXPECT_EQ(fit.width, r.width);
    EXPECT_EQ(fit.height, r.height);
    EXPECT_EQ(fit.WholeScale(), r.whole);
  }
}

TEST(PictureFit, MapsWindowPointsIntoTheBackBufferAndBack) {
  struct Row {
    int32_t bw, bh, ww, wh;
    int32_t x, y, bx, by;
  };
  const Row rows[] = {
      {1024, 768, 1920, 1080, 240, 0, 0, 0},
      {1024, 768, 1920, 1080, 1679, 1079, 1023, 767},
      {1024, 768, 1920, 1080, 100, 500, 0, 355},      // left bar clamps to the edge
      {1024, 768, 1920, 1080, 1900, 20, 1023, 14},    // right bar
      {1024, 768, 1920, 1080, 960, 540, 512, 384},
      {1024, 768, 1920, 1080, -50, -50, 0, 0},        // a drag past the window
      {1024, 768, 1920, 1080, 5000, 5000, 1023, 767},
      {1280, 1024, 1280, 1024, 0, 0, 0, 0},           // 1:1
      {1280, 1024, 1280, 1024, 637, 411, 637, 411},
      {1280, 1024, 1280, 1024, 1279, 1023, 1279, 1023},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "(" << r.x << ", " << r.y << ") in " << r.ww << "x" << r.wh);
    const PictureFit fit = FitPicture(r.bw, r.bh, r.ww, r.wh);
    int32_t bx = -1, by = -1;
    fit.WindowToBuffer(r.x, r.y, &bx, &by);
    EXPECT_EQ(bx, r.bx);
    EXPECT_EQ(by, r.by);
    // Placing the pointer at that buffer pixel lands on a window pixel that maps back to it.
    int32_t x = -1, y = -1, bx2 = -1, by2 = -1;
    fit.BufferToWindow(bx, by, &x, &y);
    fit.WindowToBuffer(x, y, &bx2, &by2);
    EXPECT_EQ(bx2, r.bx);
    EXPECT_EQ(by2, r.by);
  }
}

}  // namespace
}  // namespace plat
