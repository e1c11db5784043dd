// A class's picture in a control: the cell of a frame, the sheet of its
// picture numbers, the goods' records and the picture of a text button.
#include "screens/common/units/class_icon.h"

#include <gtest/gtest.h>

#include <tuple>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

auto Edges(const plat::Rect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); }

void SetPictures(UnitClassRecord& cls, int16_t first, int16_t second, bool tall) {
  cls.symbol = first;
  cls.secondSymbol = second;
  cls.secondFlags = tall ? 1 : 0;
}

TEST(ClassIconTest, FrameSheetAndRecordOfEachCall) {
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  g_world.unitClasses.assign(4040, UnitClassRecord{});
  SetPictures(g_world.unitClasses[5], 7, 0, false);
  SetPictures(g_world.unitClasses[6], 0, 3, true);
  SetPictures(g_world.unitClasses[9], 500, 0, false);
  SetPictures(g_world.unitClasses[10], 7, 0, false);
  g_world.unitClasses[10].sweepMode = 1;  // turns on its own: shows frame 2 whatever its facing
  g_world.unitClasses[10].sweepLower = 2;
  SetPictures(g_world.unitClasses[4023], 11, 0, false);
  SetPictures(g_world.unitClasses[4032], 12, 0, false);
  UiBitmaps& b = g_ui.bitmaps;
  struct Row {  // heading -1: no unit
    const char* what; int32_t number; bool byClass; int heading; int32_t frame;
    Texture* const* wantSlot; plat::Rect wantSource; bool wantMirrored;
  };
  // Wide cell (c, r): (168c + 2, 84r + 2)-(168c + 166, 84r + 82); tall:
  // (168c + 34, 102r + 2)-(168c + 134, 102r + 102).
  const Row rows[] = {
      {"frame 12: column 0, row 4", 5, true, -1, 12, &b.unitPictures[7], {2, 338, 166, 418}, false},
      {"explicit 14: cell 10 mirrored", 5, true, -1, 14, &b.unitPictures[7], {170, 254, 334, 334}, true},
      {"default: cell 14", 5, true, -1, -1, &b.unitPictures[7], {338, 338, 502, 418}, false},
      {"a unit's facing", 5, true, 4, -1, &b.unitPictures[7], {170, 86, 334, 166}, false},
      {"frame 13: cell 11 mirrored", 5, true, -1, 13, &b.unitPictures[7], {338, 254, 502, 334}, true},
      {"frame 24: cell 0 mirrored", 5, true, -1, 24, &b.unitPictures[7], {2, 2, 166, 82}, true},
      {"fixed facing over the unit's", 10, true, 4, -1, &b.unitPictures[7], {338, 2, 502, 82}, false},
      {"an explicit frame over fixed facing", 10, true, 4, 1, &b.unitPictures[7], {170, 2, 334, 82}, false},
      {"second table, tall cells", 6, true, -1, 0, &b.unitPictures2[3], {34, 2, 134, 102}, false},
      {"picture 500: slot 0", 9, true, -1, 0, &b.unitPictures[0], {2, 2, 166, 82}, false},
      {"good 7: record 4023", 7, false, -1, 0, &b.unitPictures[11], {2, 2, 166, 82}, false},
      {"good 8: record 4032", 8, false, -1, 0, &b.unitPictures[12], {2, 2, 166, 82}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    BitmapControl bitmap(controltest::Init("PIC", nullptr, 0, 0, 50, 25), {}, {}, {});
    bitmap.flags = kCtlAnimate;
    UnitRecord unit{};
    unit.heading = static_cast<uint8_t>(r.heading);
    DrawUnitClassIcon(r.number, r.heading >= 0 ? &unit : nullptr, nullptr, &bitmap, r.byClass, r.frame);
    EXPECT_EQ(std::tuple(bitmap.pictureSlot, Edges(bitmap.images[kLookSelected].source),
                         (bitmap.flags & (kCtlMirrorX | kCtlAnimate)) == kCtlMirrorX),
              std::tuple(r.wantSlot, Edges(r.wantSource), r.wantMirrored));
  }
  StringControl button(controltest::Init("VALUE1", nullptr, 0, 0, 100, 22), StringInit{});
  for (int i = 0; i < 2; ++i) DrawUnitClassIcon(7, nullptr, nullptr, &button, false, -1);
  ASSERT_NE(button.firstChild, nullptr);  // one square picture child; the label starts after it
  EXPECT_EQ(std::tuple(button.firstChild->NextInRing(), button.firstChild->rect.right,
                       static_cast<BitmapControl*>(button.firstChild)->pictureSlot, button.textInset),
            std::tuple(nullptr, 22, &b.unitPictures[11], 22));
}

}  // namespace
