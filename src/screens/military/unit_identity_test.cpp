// The unit header and picture on a form of tagged controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/gfx/bitmap_sets.h"
#include "app/ordinal_suffix.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/military/unit_header.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kOwner = 3;

std::vector<int32_t> R(const plat::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// String controls by tag, bitmaps by tag, plain cells by id.
struct Form {
  Form(std::initializer_list<const char*> strings, std::initializer_list<const char*> bitmaps,
       std::initializer_list<int32_t> ids = {}) {
    root = new Control(controltest::Init("FORM", &owner, 0, 0, 400, 300));
    for (const char* tag : strings)
      ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 60, 20), StringInit{.bufferSize = 31}));
    for (const char* tag : bitmaps) {
      auto* b = new BitmapControl;
      SetControlTag(b, tag);
      ControlAddChild(root, b);
    }
    for (int32_t id : ids) ControlAddChild(root, new Control(controltest::Init(nullptr, &owner, 0, 0, 20, 12)))->id = id;
  }
  ~Form() { delete root; }
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  std::string Text(const char* tag) const { return static_cast<StringControl*>(Find(tag))->GetText(); }
  Control* Find(const char* tag) const { return FormFindControlByTag(root, tag); }
  BitmapControl* Bitmap(const char* tag) const { return static_cast<BitmapControl*>(Find(tag)); }
  controltest::RecordingScreen owner;
  Control* root;
};

class UnitIdentityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kOwner;
    g_world.players[kOwner].costFactor = 2.0f;
    cls_.strengthPerSize = 10;
    cls_.upkeepFactor = 100.0f;
    cls_.weight = 50.0f;
    cls_.valuePerPoint = 4;
    unit_.owner = unit_.controller = kOwner;
    unit_.classIndex = 7;
    unit_.strength = 10.0f;
  }
  void TearDown() override {
    for (const auto& [list, index, saved] : texts_) {
      char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
      std::free(entry);
      entry = saved;
    }
  }
  void SetText(TextListId list, int index, const char* text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    texts_.push_back({list, index, entry});
    entry = strdup(text);
  }
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> owner_{g_world.players[kOwner]};
  struct Kept {
    TextListId list;
    int index;
    char* saved;
  };
  std::vector<Kept> texts_;
  UnitClassRecord cls_;
  UnitRecord unit_;
};

// base = (10 x 100 + (50 x 10 + 0.9) x 2 + 0.9) / 2 = 1001.35; at alert 0
// a unit of strength 10 pays 100.135 + 1001.35. At sea the weight-A term
// halves: base 751.35, cost 826.49. Without elements only base / 10 is
// left; a class alone shows base.
TEST_F(UnitIdentityTest, AnnualCostAndCrew) {
  const struct {
    uint8_t kind;
    int16_t elements;
    bool withUnit;
    const char* cost;
    const char* crew;
  } rows[] = {
      {0, 10, true, "$ 1,101", "40"}, {2, 10, true, "$ 826", "40"},   {3, 10, true, "$ 826", "40"},
      {0, 0, true, "$ 0", "40"},      {0, 10, false, "$ 1,001", "40"}, {0, 0, false, "$ 1", "0"},
  };
  for (const auto& r : rows) {
    Form form({"ANNCOST", "TOTALCREW", "UNITNAME"}, {});
    cls_.kind = r.kind;
    cls_.strengthPerSize = r.elements;
    FillUnitHeader(form.root, r.withUnit ? &unit_ : nullptr, cls_, nullptr);
    EXPECT_EQ(form.Text("ANNCOST"), r.cost) << int(r.kind) << " " << r.elements << " " << r.withUnit;
    EXPECT_EQ(form.Text("TOTALCREW"), r.crew) << int(r.kind) << " " << r.elements << " " << r.withUnit;
  }
}

TEST_F(UnitIdentityTest, DesignationAndOrdersButton) {
  const char* suffixes[] = {"A", "B", "C", "D", "E"};
  for (int i = 0; i < 5; ++i) SetText(kListNumsuffix, i, suffixes[i]);
  cls_.typeByte = 2;
  SetText(kListMilclassshort, 2, "Inf");
  SetText(kListMilgroupsArmy, 0, "Bn");
  SetText(kListMilgroupsNavy, 0, "Flt");
  unit_.serial = 21;
  const struct {
    uint8_t kind;
    uint32_t flags;
    uint32_t posture;
    int owner;
    const char* echelon;
    bool orderHidden;
  } rows[] = {
      {0, 0, 0, kOwner, "Bn", false},
      {2, 0, 0, kOwner, "Flt", false},
      {0, 0, kPostureUnderConstruction, kOwner, "Bn", true},
      {0, kUnitGone, kPostureUnderConstruction, kOwner, "Bn", false},
      {0, 0, 0, kOwner + 1, "Bn", true},
  };
  for (const auto& r : rows) {
    Form form({"UNITID", "UNITORDER"}, {});
    unit_.kind = r.kind;
    unit_.unitFlags = r.flags;
    unit_.orders[kPostureBits] = r.posture;
    unit_.owner = static_cast<uint8_t>(r.owner);
    FillUnitHeader(form.root, &unit_, cls_, nullptr);
    const std::string expected = std::string("21") + suffixes[OrdinalSuffixEntry(21)] + " Inf " + r.echelon;
    EXPECT_EQ(form.Text("UNITID"), expected);
    EXPECT_EQ(form.Find("UNITORDER")->Hidden(), r.orderHidden) << r.flags << " " << r.posture << " " << r.owner;
  }
}

// Ids 665-667: no warhead, nuclear, chemical; only for stock classes.
TEST_F(UnitIdentityTest, WarheadMarkers) {
  const struct {
    uint32_t flags;
    bool hidden665, hidden666, hidden667;
  } rows[] = {
      {kClassStock, false, true, true},
      {kClassStock | 0x4, true, false, true},
      {kClassStock | 0x8, true, false, true},
      {kClassStock | 0x2, true, true, false},
      {0x2, false, false, false},
  };
  for (const auto& r : rows) {
    Form form({}, {}, {665, 666, 667});
    cls_.flags = r.flags;
    FillUnitHeader(form.root, nullptr, cls_, nullptr);
    EXPECT_EQ(FormFindControlById(form.root, 665)->Hidden(), r.hidden665) << r.flags;
    EXPECT_EQ(FormFindControlById(form.root, 666)->Hidden(), r.hidden666) << r.flags;
    EXPECT_EQ(FormFindControlById(form.root, 667)->Hidden(), r.hidden667) << r.flags;
  }
}

TEST_F(UnitIdentityTest, PictureAndOverlay) {
  UiBitmaps& b = g_ui.bitmaps;
  const struct {
    int16_t picture, overlay;
    uint32_t layout;
    Texture** picSlot;
    Texture** overlaySlot;
    plat::Rect rect;
  } rows[] = {
      {5, 0, 0, &b.unitPictures[5], nullptr, {0, 0, 168, 84}},
      {5, 9, 1, &b.unitPictures[5], &b.unitPictures2[9], {2, 2, 166, 102}},
      {0, 12, 0, &b.unitPictures2[12], &b.unitPictures2[12], {0, 0, 168, 84}},
      {500, 0, 0, &b.unitPictures[0], nullptr, {0, 0, 168, 84}},
      {-3, 430, 0, &b.unitPictures[0], &b.unitPictures2[0], {0, 0, 168, 84}},
  };
  for (const auto& r : rows) {
    Form form({}, {"UNITPIC", "UNITPICT"});
    cls_.symbol = r.picture;
    cls_.secondSymbol = r.overlay;
    cls_.secondFlags = r.layout;
    form.Bitmap("UNITPIC")->delayCounter = 2;
    DrawUnitPicture(form.root, cls_, nullptr, 4, 1);
    const BitmapControl* pic = form.Bitmap("UNITPIC");
    const BitmapControl* over = form.Bitmap("UNITPICT");
    EXPECT_EQ(pic->pictureSlot, r.picSlot) << r.picture << " " << r.overlay;
    EXPECT_EQ(R(pic->images[0].source), R(r.rect)) << r.layout;
    EXPECT_EQ(pic->flags & 0x808000u, 0x808000u);
    EXPECT_EQ(pic->frameCount, 24);
    EXPECT_EQ(pic->framesPerRow, 3);
    EXPECT_EQ(pic->frameDelay, 1);
    EXPECT_EQ(pic->frame, 4);
    EXPECT_EQ(over->Hidden(), r.overlaySlot == nullptr) << r.overlay;
    if (!r.overlaySlot) continue;
    EXPECT_EQ(over->pictureSlot, r.overlaySlot) << r.overlay;
    EXPECT_EQ(R(over->images[0].source), R(r.rect));
    EXPECT_EQ(over->delayCounter, 2);
    EXPECT_EQ(over->frame, 4);
  }
}

// An active unit shows its own facings and stops turning; one out of play
// keeps the caller's frame; -1 keeps the frame the picture has.
TEST_F(UnitIdentityTest, PictureFrames) {
  cls_.symbol = 1;
  cls_.secondSymbol = 2;
  unit_.heading = 5;
  unit_.angle2 = 7;
  const struct {
    uint32_t unitFlags;
    uint32_t shownPosture;
    int32_t frame;
    uint8_t picFrame, overlayFrame;
    bool animated;
  } rows[] = {
      {0, 0, 9, 5, 7, false},
      {kUnitGone, 0, 9, 9, 9, true},
      {0, kPostureInReserve, 9, 9, 9, true},
      {kUnitGone, 0, -1, 6, 6, true},
  };
  for (const auto& r : rows) {
    Form form({}, {"UNITPIC", "UNITPICT"});
    form.Bitmap("UNITPIC")->frame = 6;
    unit_.unitFlags = r.unitFlags;
    unit_.ordersShown[kPostureBits] = r.shownPosture;
    DrawUnitPicture(form.root, cls_, &unit_, r.frame, 1);
    EXPECT_EQ(form.Bitmap("UNITPIC")->frame, r.picFrame) << r.unitFlags << " " << r.frame;
    EXPECT_EQ(form.Bitmap("UNITPICT")->frame, r.overlayFrame) << r.unitFlags << " " << r.frame;
    EXPECT_EQ((form.Bitmap("UNITPIC")->flags & kCtlAnimate) != 0, r.animated);
    EXPECT_EQ((form.Bitmap("UNITPICT")->flags & kCtlAnimate) != 0, r.animated);
  }
}

TEST_F(UnitIdentityTest, TechPicture) {
  UiBitmaps& b = g_ui.bitmaps;
  const struct {
    int32_t number;
    int32_t bit;
    Texture** slot;
  } rows[] = {{3, 1, &b.techPictures[3]}, {5, 0, &b.techPictures[5]}, {6, 1, &b.techPictures[0]}, {-1, 0, &b.techPictures[0]}};
  for (const auto& r : rows) {
    Form form({}, {"TECHPIC"});
    form.Bitmap("TECHPIC")->frame = 3;
    ShowTechPicture(form.root, r.number, r.bit);
    const BitmapControl* pic = form.Bitmap("TECHPIC");
    EXPECT_EQ(pic->pictureSlot, r.slot) << r.number;
    EXPECT_EQ(R(pic->images[0].source), R({0, 0, 102, 102}));
    EXPECT_EQ(pic->framesPerRow, 5);
    EXPECT_EQ(pic->frame, 0);
    EXPECT_EQ((pic->flags & kCtlAnimate) != 0, r.bit != 0) << r.number;
  }
}

}  // namespace
