// A class icon turns as a bitmap control showing the same sheet does: the
// same frame lands on the same cell, mirrored alike.
#include <gtest/gtest.h>

#include <tuple>

#include "screens/main/panels/class_icon.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"

namespace {

TEST(ClassIconTest, FramesFoldAsInABitmapControl) {
  // The control's frame 0 is the whole first cell; the icon takes the
  // picture inside its 2-pixel margin.
  const plat::Rect first{0, 0, 168, 84};
  for (int32_t frame = 0; frame <= 24; ++frame) {
    const ClassIconCell icon = ClassIconCellFor(frame, false);
    const BitmapFrame control = BitmapFrameSource(first, kCtlMultiLine, static_cast<uint8_t>(frame), 24, 3);
    EXPECT_EQ(std::tuple(icon.source.left - 2, icon.source.top - 2, icon.mirrored),
              std::tuple(control.source.left, control.source.top, control.mirrored))
        << frame;
  }
}

}  // namespace
