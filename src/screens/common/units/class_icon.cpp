#include "screens/common/units/class_icon.h"

#include "app/gfx/bitmap_sets.h"
#include "app/gfx/texture.h"
#include "records/unit_record.h"
#include "screens/common/units/class_symbols.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr int32_t kOwnPictureFrame = 14;
constexpr int32_t kSheetFrames = 24;
constexpr int32_t kCellsPerRow = 3;
// The records that hold the goods' pictures, after the unit classes.
constexpr int32_t kFirstGoodRecord = 4016;
constexpr int32_t kLaterGoodsRecord = 4024;
constexpr int32_t kFirstGoodsCount = 8;
constexpr char kIconTag[] = "CLASSICON";

// The slot of the class's picture: its first-table number, else its
// second-table one, else slot 0 of the first table; out-of-range numbers
// take slot 0 too.
Texture** PictureSlot(const UnitClassRecord& cls) {
  UiBitmaps& b = g_ui.bitmaps;
  const int32_t first = ClassSymbol(cls), second = ClassSecondSymbol(cls);
  const bool secondTable = first == 0 && second != 0;
  int32_t number = secondTable ? second : first;
  if (number < 0 || number >= kUnitPictureCount) number = 0;
  return secondTable ? &b.unitPictures2[number] : &b.unitPictures[number];
}

// A text button's picture: a bitmap child at its left end that passes
// clicks to the button.
BitmapControl* IconChild(Control* control) {
  if (Control* first = control->firstChild) {
    Control* c = first;
    do {
      if (ControlTagMatches(c->tag, kIconTag) && c->kind == kKindBitmap) return static_cast<BitmapControl*>(c);
      c = c->NextInRing();
    } while (c && c != first);
  }
  auto* icon = new BitmapControl;
  SetControlTag(icon, kIconTag);
  icon->flags = kCtlClickThrough | kCtlNoFocus;
  icon->frameStyle = 1;  // the picture alone, over the button's own frame
  ControlAddChild(control, icon);
  return icon;
}

}  // namespace

ClassIconCell ClassIconCellFor(int32_t frame, bool tallCells) {
  ClassIconCell out;
  if (frame == -1) {
    frame = kOwnPictureFrame;
  } else {
    const FoldedFrame folded = FoldMirroredFrame(frame, kSheetFrames);
    frame = folded.frame;
    out.mirrored = folded.mirrored;
  }
  if (frame < 0) frame = 0;
  out.source = UnitSymbolCell(frame, tallCells);
  return out;
}

const UnitClassRecord* ClassIconRecord(int32_t classNumber, bool byClassNumber) {
  plat::CriticalSectionLock lock(g_simulationLock);
  int32_t n = classNumber;
  if (!byClassNumber) {
    if (classNumber < 0) return nullptr;
    n = classNumber < kFirstGoodsCount ? kFirstGoodRecord + classNumber : kLaterGoodsRecord + classNumber;
  }
  const std::vector<UnitClassRecord>& classes = g_world.unitClasses;
  if (n < 0 || static_cast<size_t>(n) >= classes.size()) return nullptr;
  return &classes[static_cast<size_t>(n)];
}

void DrawUnitClassIcon(int32_t classNumber, const UnitRecord* unit, const UnitClassRecord* classRecord,
                       Control* control, bool byClassNumber, int32_t frame) {
  if (!control) return;
  const UnitClassRecord* cls = classRecord ? classRecord : ClassIconRecord(classNumber, byClassNumber);
  if (!cls) return;
  if (unit && frame == -1) frame = ClassHasFixedFacing(*cls) ? ClassFixedFacingFrame(*cls) : unit->heading;
  const ClassIconCell cell = ClassIconCellFor(frame, ClassSymbolLayout(*cls));
  Texture** slot = PictureSlot(*cls);
  if (*slot && !(*slot)->deviceTexture) TextureAcquire(*slot);

  BitmapControl* bitmap = nullptr;
  if (control->kind == kKindBitmap) {
    bitmap = static_cast<BitmapControl*>(control);
  } else {
    bitmap = IconChild(control);
    const int32_t side = Height(control);
    bitmap->rect = {0, 0, side, side};
    if (auto* button = dynamic_cast<StringControl*>(control)) button->textInset = side;
  }
  bitmap->pictureSlot = slot;
  bitmap->images[kLookNormal].source = cell.source;
  bitmap->images[kLookSelected] = bitmap->images[kLookNormal];
  if (cell.mirrored) {
    bitmap->flags |= kCtlMirrorX;
  } else {
    bitmap->flags &= ~kCtlMirrorX;
  }
  bitmap->flags &= ~kCtlAnimate;
  bitmap->frameCount = 0;
  bitmap->frame = 0;
  bitmap->framesPerRow = kCellsPerRow;
  bitmap->Invalidate();
}
