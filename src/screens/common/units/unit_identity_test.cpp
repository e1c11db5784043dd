// The unit header and picture on a form of tagged controls.
#include <gtest/gtest.h>

#include "app/gfx/bitmap_sets.h"
#include "app/ordinal_suffix.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/military_test_support.h"
#include "screens/common/units/unit_header.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/data_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;
constexpr int kOwner = 3;

std::vector<int32_t> R(const plat::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

class UnitIdentityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kOwner;
    g_world.players[kOwner].costFactor = 2.0f;
    cls_.strengthPerSize = 10, cls_.costPerElement = 100.0f, cls_.weight = 50.0f, cls_.valuePerPoint = 4;
    unit_.owner = unit_.controller = kOwner;
    unit_.classIndex = 7;
    unit_.strength = 10.0f;
  }
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> owner_{g_world.players[kOwner]};
  militarytest::TextPatch texts_;
  UnitClassRecord cls_;
  UnitRecord unit_{};
};

// base = (10 x 100 + (50 x 10 + 0.9) x 2 + 0.9) / 2 = 1001.35; a unit of
// strength 10 at alert 0 pays 100.135 + 1001.35. At sea the weight-A term
// halves: base 751.35, 826.49. Without elements only base / 10 is left; a
// class alone shows base. Ids 665-667 mark a stock class's warhead.
TEST_F(UnitIdentityTest, CostCrewAndWarheads) {
  const struct {
    uint8_t kind;
    int16_t elements;
    bool withUnit;
    uint32_t flags;
    const char *cost, *crew;
    bool hidden665, hidden666, hidden667;
  } rows[] = {
      {0, 10, true, 0, "$ 1,101", "40", false, false, false},
      {2, 10, true, kClassStock, "$ 826", "40", false, true, true},
      {3, 10, true, kClassStock | 0x4, "$ 826", "40", true, false, true},
      {0, 0, true, kClassStock | 0x2, "$ 0", "40", true, true, false},
      {0, 10, false, kClassStock | 0x8, "$ 1,001", "40", true, false, true},
      {0, 0, false, 0x2, "$ 1", "0", false, false, false},
  };
  for (const auto& r : rows) {
    TestSheet form;
    form.Texts({"ANNCOST", "TOTALCREW"});
    for (int32_t id : {665, 666, 667}) form.Add<Control>(nullptr, id);
    cls_.kind = r.kind, cls_.strengthPerSize = r.elements, cls_.flags = r.flags;
    FillUnitHeader(form.root, r.withUnit ? &unit_ : nullptr, cls_, nullptr);
    EXPECT_EQ(form.Text("ANNCOST"), r.cost) << int(r.kind) << " " << r.elements << " " << r.withUnit;
    EXPECT_EQ(form.Text("TOTALCREW"), r.crew) << r.elements << " " << r.withUnit;
    EXPECT_EQ(form.Find(665)->Hidden(), r.hidden665) << r.flags;
    EXPECT_EQ(form.Find(666)->Hidden(), r.hidden666) << r.flags;
    EXPECT_EQ(form.Find(667)->Hidden(), r.hidden667) << r.flags;
  }
}

TEST_F(UnitIdentityTest, DesignationAndOrdersButton) {
  const char* suffixes[] = {"A", "B", "C", "D", "E"};
  for (int i = 0; i < 5; ++i) texts_.Set(kListNumsuffix, i, suffixes[i]);
  texts_.Set(kListMilclassshort, 2, "Inf");
  texts_.Set(kListMilgroupsArmy, 0, "Bn");
  texts_.Set(kListMilgroupsNavy, 0, "Flt");
  cls_.typeByte = 2;
  unit_.serial = 21;
  const struct {
    uint8_t kind;
    uint32_t flags, posture;
    int owner;
    const char* echelon;
    bool orderHidden;
  } rows[] = {
      {0, 0, 0, kOwner, "Bn", false},  {2, 0, 0, kOwner, "Flt", false},
      {0, 0, kPostureUnderConstruction, kOwner, "Bn", true},
      {0, kUnitGone, kPostureUnderConstruction, kOwner, "Bn", false}, {0, 0, 0, kOwner + 1, "Bn", true},
  };
  for (const auto& r : rows) {
    TestSheet form;
    form.Texts({"UNITID", "UNITORDER"});
    unit_.kind = r.kind, unit_.unitFlags = r.flags, unit_.orders[kPostureBits] = r.posture;
    unit_.owner = static_cast<uint8_t>(r.owner);
    FillUnitHeader(form.root, &unit_, cls_, nullptr);
    EXPECT_EQ(form.Text("UNITID"), std::string("21") + suffixes[OrdinalSuffixEntry(21)] + " Inf " + r.echelon);
    EXPECT_EQ(form.Find("UNITORDER")->Hidden(), r.orderHidden) << r.flags << " " << r.posture << " " << r.owner;
  }
}

// Picture 0 takes the overlay's; numbers off the table take entry 0. An
// active unit shows its own facings and stops turning; one out of play or
// in reserve keeps the caller's frame; -1 keeps the picture's frame.
TEST_F(UnitIdentityTest, PictureOverlayAndFrames) {
  UiBitmaps& b = g_ui.bitmaps;
  unit_.heading = 5, unit_.angle2 = 7;
  const struct {
    int16_t picture, overlay;
    uint32_t layout;
    Texture **picSlot, **overlaySlot;
    plat::Rect rect;
    const UnitRecord* unit;
    uint32_t unitFlags, shownPosture;
    int32_t frame, picFrame, overlayFrame;
    bool animated;
  } rows[] = {
      {5, 0, 0, &b.unitPictures[5], nullptr, {0, 0, 168, 84}, nullptr, 0, 0, 4, 4, 4, true},
      {5, 9, 1, &b.unitPictures[5], &b.unitPictures2[9], {2, 2, 166, 102}, nullptr, 0, 0, 4, 4, 4, true},
      {0, 12, 0, &b.unitPictures2[12], &b.unitPictures2[12], {0, 0, 168, 84}, nullptr, 0, 0, 4, 4, 4, true},
      {500, 0, 0, &b.unitPictures[0], nullptr, {0, 0, 168, 84}, nullptr, 0, 0, 4, 4, 4, true},
      {-3, 430, 0, &b.unitPictures[0], &b.unitPictures2[0], {0, 0, 168, 84}, nullptr, 0, 0, -1, 6, 6, true},
      {1, 2, 0, &b.unitPictures[1], &b.unitPictures2[2], {0, 0, 168, 84}, &unit_, 0, 0, 9, 5, 7, false},
      {1, 2, 0, &b.unitPictures[1], &b.unitPictures2[2], {0, 0, 168, 84}, &unit_, kUnitGone, 0, 9, 9, 9, true},
      {1, 2, 0, &b.unitPictures[1], &b.unitPictures2[2], {0, 0, 168, 84}, &unit_, 0, kPostureInReserve, 9, 9, 9, true},
  };
  for (const auto& r : rows) {
    TestSheet form;
    BitmapControl* pic = form.Add<BitmapControl>("UNITPIC");
    BitmapControl* over = form.Add<BitmapControl>("UNITPICT");
    pic->frame = 6, pic->delayCounter = 2;
    cls_.symbol = r.picture, cls_.secondSymbol = r.overlay, cls_.secondFlags = r.layout;
    unit_.unitFlags = r.unitFlags, unit_.ordersShown[kPostureBits] = r.shownPosture;
    DrawUnitPicture(form.root, cls_, r.unit, r.frame, 1);
    EXPECT_EQ(pic->pictureSlot, r.picSlot) << r.picture << " " << r.overlay;
    EXPECT_EQ(R(pic->images[0].source), R(r.rect)) << r.layout;
    EXPECT_EQ(pic->flags & 0x808000u, r.animated ? 0x808000u : 0x8000u);
    EXPECT_EQ(pic->frameCount, 24);
    EXPECT_EQ(pic->framesPerRow, 3);
    EXPECT_EQ(pic->frameDelay, 1);
    EXPECT_EQ(pic->frame, r.picFrame) << r.unitFlags << " " << r.frame;
    EXPECT_EQ(over->Hidden(), r.overlaySlot == nullptr) << r.overlay;
    if (!r.overlaySlot) continue;
    EXPECT_EQ(over->pictureSlot, r.overlaySlot) << r.overlay;
    EXPECT_EQ(R(over->images[0].source), R(r.rect));
    EXPECT_EQ(over->delayCounter, 2);
    EXPECT_EQ(over->frame, r.overlayFrame) << r.unitFlags << " " << r.frame;
    EXPECT_EQ((over->flags & kCtlAnimate) != 0, r.animated);
  }
}

}  // namespace
