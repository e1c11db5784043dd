#include "screens/common/units/unit_header.h"

#include <cstdio>

#include "app/game_math.h"
#include "app/gfx/bitmap_sets.h"
#include "app/gfx/texture.h"
#include "app/ordinal_suffix.h"
#include "records/order_words.h"
#include "records/text_field.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
#include "screens/common/units/unit_tab_figures.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint32_t kPictureStyle = kCtlMultiLine | kCtlAnimate;
constexpr uint8_t kPictureDrawMode = 1;

BitmapControl* AsBitmap(Control* control) {
  return control && control->kind == kKindBitmap ? static_cast<BitmapControl*>(control) : nullptr;
}

// A number outside the table shows its first picture rather than nothing.
Texture** TableSlot(Texture** table, int32_t count, int32_t number) {
  if (number < 0 || number >= count) number = 0;
  Texture** slot = &table[number];
  if (*slot && !(*slot)->deviceTexture) TextureAcquire(*slot);
  return slot;
}

void SetPicture(BitmapControl& bitmap, Texture** slot, const plat::Rect& cell) {
  bitmap.pictureSlot = slot;
  for (BitmapImage& image : bitmap.images) image.source = cell;
  bitmap.flags |= kPictureStyle;
  bitmap.flags &= ~kCtlMirrorX;
  bitmap.frameCount = static_cast<uint8_t>(kUnitPictureFrames);
  bitmap.framesPerRow = static_cast<uint8_t>(kUnitPictureFramesPerRow);
  bitmap.frameDelay = kPictureDrawMode;
}

void SetFrameBit(Control* control, bool on) {
  if (!control) return;
  if (on) {
    control->flags |= kCtlAnimate;
  } else {
    control->flags &= ~kCtlAnimate;
  }
  control->Invalidate();
}

// The money and crew figures want a text control with room for them.
void SetWholeMoney(Control* control, float value) {
  SetControlNumberText(1, 0, "", 1, "", 0, static_cast<double>(WholeFigure(value)), control);
}
void SetWhole(Control* control, float value) {
  SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(WholeFigure(value)), control);
}

AnnualCostInputs CostInputs(const UnitClassRecord& cls, float costRate) {
  AnnualCostInputs in;
  in.atSea = cls.kind == 2 || cls.kind == 3;
  in.weight = cls.weight;
  in.defaultStrength = cls.strengthPerSize;
  in.runningCost = cls.costPerElement;
  in.costFactor = costRate;
  return in;
}

float CostRateOf(int32_t player) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return player >= 0 && player < kMaxPlayers ? g_world.players[player].costFactor : 0.0f;
}

void FillStockMarkers(Control* form, const UnitClassRecord& cls) {
  if (!(cls.flags & kClassStock)) return;
  const bool chemical = (cls.flags & kClassSpecialImmune) != 0;
  const bool nuclear = (cls.flags & kClassSpecialWeapons) != 0;
  SetHidden(FormFindControlById(form, 665), chemical || nuclear);
  SetHidden(FormFindControlById(form, 666), !nuclear);
  SetHidden(FormFindControlById(form, 667), !chemical);
}

int32_t ClassIndexOf(const UnitClassRecord& cls) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const std::vector<UnitClassRecord>& classes = g_world.unitClasses;
  if (classes.empty() || &cls < classes.data() || &cls >= classes.data() + classes.size()) return 0;
  return static_cast<int32_t>(&cls - classes.data());
}

}  // namespace

int32_t WholeFigure(float value) {
  const int32_t whole = CheckedTrunc(value);
  return whole == INT32_MIN ? 0 : whole;
}

plat::Rect UnitPictureRect(const UnitClassRecord& cls) {
  if (cls.secondFlags & 1u) return {2, 2, 166, 102};
  return {0, 0, 168, 84};
}

bool UnitUnderConstruction(const UnitRecord& unit) {
  return IsUnitLive(unit) && (unit.orders[kPostureBits] & kPostureUnderConstruction) != 0;
}

std::string UnitIdText(const UnitRecord& unit, const UnitClassRecord& cls) {
  // The records keep no echelon above the single unit: every unit is at
  // level 0 and numbered by its own number.
  const int32_t level = 0;
  const int32_t number = unit.serial;
  const int32_t category = unit.kind < 4 ? unit.kind : 0;
  const std::string suffix = OrdinalSuffix(number, OrdinalSuffixTexts(g_textLists));
  static_assert(kListMilgroupsSub == kListMilgroupsArmy + 3, "the echelon lists follow one another");
  const TextListId echelons = static_cast<TextListId>(kListMilgroupsArmy + category);
  char text[96];
  std::snprintf(text, sizeof text, "%d%s %s %s", number, suffix.c_str(), TextListText(kListMilclassshort, cls.typeByte),
                TextListText(echelons, level));
  return text;
}

void FillUnitHeader(Control* form, const UnitRecord* unit, const UnitClassRecord& cls, Screen* platformPanel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!form) return;
  if (unit) {
    FillRegionRow(Tag(form, "FLAG"), "", unit->controller);
    SetControlText(Tag(form, "UNITID"), UnitIdText(*unit, cls).c_str());
    AnnualCostInputs in = CostInputs(cls, CostRateOf(unit->owner));
    in.strength = unit->strength;
    in.alert = unit->training;
    SetWholeMoney(Tag(form, "ANNCOST"), AnnualCost(in));
    SetWhole(Tag(form, "TOTALCREW"), static_cast<float>(cls.valuePerPoint) * unit->strength);
    const bool own = unit->owner == g_world.gameState.localPlayer;
    SetHidden(Tag(form, "UNITORDER"), !own || UnitUnderConstruction(*unit));
  } else {
    SetControlText(Tag(form, "UNITNAME"), FieldText(cls.name).c_str());
    SetWholeMoney(Tag(form, "ANNCOST"), AnnualCostBase(CostInputs(cls, CostRateOf(g_world.gameState.localPlayer))));
    SetWhole(Tag(form, "TOTALCREW"), static_cast<float>(cls.valuePerPoint) * static_cast<float>(cls.strengthPerSize));
  }
  FillStockMarkers(form, cls);
  if (platformPanel && (cls.flags & kClassStock))
    if (Control* host = Tag(form, "PLATSTAT")) platformPanel->Show(ClassIndexOf(cls), host);
  DrawUnitPicture(form, cls, unit, -1, 1);
}

void DrawUnitPicture(Control* form, const UnitClassRecord& cls, const UnitRecord* unit, int32_t frame,
                     int32_t frameBit) {
  BitmapControl* picture = form ? AsBitmap(Tag(form, "UNITPIC")) : nullptr;
  if (!picture) return;
  UiBitmaps& b = g_ui.bitmaps;
  const plat::Rect cell = UnitPictureRect(cls);
  const bool overlayOnly = cls.symbol == 0 && cls.secondSymbol != 0;
  SetPicture(*picture,
             overlayOnly ? TableSlot(b.unitPictures2, kUnitPictureCount, cls.secondSymbol)
                         : TableSlot(b.unitPictures, kUnitPictureCount, cls.symbol),
             cell);
  BitmapControl* overlay = AsBitmap(Tag(form, "UNITPICT"));
  if (overlay) {
    SetHidden(overlay, cls.secondSymbol == 0);
    if (cls.secondSymbol != 0) {
      SetPicture(*overlay, TableSlot(b.unitPictures2, kUnitPictureCount, cls.secondSymbol), cell);
      overlay->delayCounter = picture->delayCounter;
    }
  }
  uint8_t shown = frame == -1 ? picture->frame : static_cast<uint8_t>(frame);
  uint8_t overlayShown = shown;
  const bool active = unit && !(unit->unitFlags & kUnitGone) && unit->classIndex != 0 &&
                      !(unit->ordersShown[kPostureBits] & kPostureInReserve);
  if (active) {
    shown = unit->heading;
    overlayShown = unit->angle2;
    frameBit = 0;
  }
  picture->frame = shown;
  SetFrameBit(picture, frameBit != 0);
  if (overlay) {
    overlay->frame = overlayShown;
    SetFrameBit(overlay, frameBit != 0);
  }
}

void ShowTechPicture(Control* form, int32_t picture, int32_t frameBit) {
  BitmapControl* bitmap = form ? AsBitmap(Tag(form, "TECHPIC")) : nullptr;
  if (!bitmap) return;
  bitmap->pictureSlot = TableSlot(g_ui.bitmaps.techPictures, kTechPictureCount, picture);
  for (BitmapImage& image : bitmap->images) image.source = {0, 0, 102, 102};
  bitmap->frameCount = static_cast<uint8_t>(kUnitPictureFrames);
  bitmap->framesPerRow = 5;
  bitmap->frameDelay = kPictureDrawMode;
  bitmap->frame = 0;
  SetFrameBit(bitmap, frameBit != 0);
}

void BindUnitPictureAndStepping(Control* form) {
  if (auto* picture = dynamic_cast<BitmapControl*>(Tag(form, "UNITPIC")))
    picture->frame = static_cast<uint8_t>(kUnitPictureRestingFrame);
  for (const char* tag : {"NEXTBUT", "PREVBUT"})
    if (Control* c = Tag(form, tag)) c->flags |= kCtlAutoRepeat;
}
