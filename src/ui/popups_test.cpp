// Pop-ups: stacking and return screens with their sounds, refusals, the
// frame's placement and see-through bits, the panel depth, and the tooltip.
// The docked panels and the side pop-up are tested with the screens.
#include "ui/popups.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "platform/status.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/popup_test_support.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/tooltip.h"
#include "ui/ui_screen_hooks.h"
#include "world/text/ui_options.h"

namespace {

class PopupTest : public PopupFixture {
 protected:
  void SetUp() override {
    PopupFixture::SetUp();
    g_uiScreenHooks.popupFrames = &frames_;
  }
  void TearDown() override {
    PopupFixture::TearDown();
    g_uiScreenHooks.popupFrames = nullptr;
  }
  static int FramesOnRoot() {
    int count = 0;
    for (Control* c = g_ui.rootForm->firstChild; c; c = c->NextInRing()) {
      ++count;
      if (c->NextInRing() == g_ui.rootForm->firstChild) break;
    }
    return count;
  }
  PopupFrameScreen frames_;  // the screen set holds the game's
};

TEST_F(PopupTest, OpeningOneReplacesTheOtherAndClosingItBringsTheOtherBack) {
  struct Row {
    const char* name;
    bool muted;
    std::vector<int32_t> sounds;
  } rows[] = {{"sounding", false, {6, 7, 6, 7, 6}}, {"muted", true, {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    sounds.clear();
    g_sound.muted = row.muted ? 1 : 0;
    FormScreen a, b;
    ScreenParameterList list;
    list.entries = {11, 12};
    ASSERT_EQ(a.Popup(5, &list), 0);
    ASSERT_EQ(b.Popup(9, nullptr), 0);
    EXPECT_EQ(a.form->parent, nullptr);
    EXPECT_EQ(b.returnTo, &a);
    ASSERT_EQ(b.Close(0), 0);
    EXPECT_EQ(b.form->parent, nullptr);
    ASSERT_NE(a.form->parent, nullptr);
    EXPECT_EQ(a.id, 5);
    EXPECT_EQ(a.parameterList->entries, (std::vector<intptr_t>{11, 12}));
    EXPECT_EQ(b.returnTo, nullptr);
    EXPECT_EQ(g_ui.popupCount, 1);
    EXPECT_EQ(g_ui.keepPopups, 0);
    EXPECT_EQ(sounds, row.sounds);
    a.Close(1);
  }
}

TEST_F(PopupTest, StackedExclusiveAndLockedPopupsAndClosingThemAll) {
  struct Row {
    const char* name;
    uint32_t firstFlags, secondFlags;
    int32_t uiLock;
    int32_t secondResult;
    bool firstStaysOpen;
    int beeps;
  } rows[] = {
      {"replacing", 0, 0, 0, 0, false, 0},
      {"stacked", 0, kPopupStacked, 0, 0, true, 0},
      {"after an exclusive one", kPopupExclusive, 0, 0, plat::kFail, true, 1},
      {"while locked", kPopupStacked, kPopupStacked, 1, plat::kFail, true, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    beeps = 0;
    FormScreen a, b;
    const plat::Rect whole{0, 0, 1024, 768};
    ASSERT_EQ(OpenPopup(g_ui, a.form, row.firstFlags, -1, -1, 0, whole), 0);
    g_ui.uiLock = row.uiLock;
    // A re-opening pop-up that is refused must not leave the flag set.
    g_ui.keepPopups = row.secondResult != 0 ? 1 : 0;
    EXPECT_EQ(OpenPopup(g_ui, b.form, row.secondFlags, -1, -1, 0, whole), row.secondResult);
    g_ui.uiLock = 0;
    EXPECT_EQ(g_ui.keepPopups, 0);
    EXPECT_EQ(a.form->parent != nullptr, row.firstStaysOpen);
    EXPECT_EQ(beeps, row.beeps);
    // Closing the stacked one brings nothing back; closing all reopens none.
    if (row.secondFlags & kPopupStacked && row.secondResult == 0) {
      b.returnTo = &a;
      b.Close(0);
      EXPECT_NE(a.form->parent, nullptr);
      EXPECT_EQ(FramesOnRoot(), 1);
    }
    b.returnTo = &a;
    a.returnTo = &b;
    CloseAllPopups(g_ui, 0);
    EXPECT_EQ(a.form->parent, nullptr);
    EXPECT_EQ(b.form->parent, nullptr);
    EXPECT_EQ(g_ui.rootForm->firstChild, nullptr);
    EXPECT_EQ(g_ui.popupCount, 0);
  }
}

TEST_F(PopupTest, PlacementFillAndSeeThrough) {
  struct Row {
    const char* name;
    int32_t width, height, x, y;
    uint32_t flags;
    int32_t noFill;
    uint8_t popupalpha;
    int32_t left, top;
    uint32_t fill;
    bool seeThrough;
  } rows[] = {
      {"centred", 200, 100, -1, -1, 0, 0, 150, 412, 334, 0x96112233u, true},
      {"odd width rounds toward zero", 201, 100, -1, -1, 0, 0, 150, 411, 334, 0x96112233u, true},
      {"placed", 200, 100, 7, 9, 0, 0, 150, 7, 9, 0x96112233u, true},
      {"opaque", 200, 100, -1, -1, kPopupOpaque, 0, 150, 412, 334, 0xFF112233u, false},
      {"option at full", 200, 100, -1, -1, 0, 0, 255, 412, 334, 0xFF112233u, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_uiOptions.popupalpha = row.popupalpha;
    FormScreen a(row.width, row.height);
    ASSERT_EQ(OpenPopup(g_ui, a.form, row.flags, row.x, row.y, row.noFill, {0, 0, 1024, 768}), 0);
    EXPECT_EQ(a.form->rect.left, row.left);
    EXPECT_EQ(a.form->rect.top, row.top);
    EXPECT_EQ(a.form->rect.right - a.form->rect.left, row.width);
    EXPECT_EQ(a.form->fills[kLookNormal], row.fill);
    EXPECT_EQ(a.form->parent->index, kGeneratedFrameIndex);
    EXPECT_EQ(a.form->parent->owner, &frames_);
    EXPECT_EQ((g_ui.rootForm->flags & kCtlAlwaysRedraw) != 0, row.seeThrough);
    a.Close(1);
    EXPECT_EQ(g_ui.rootForm->flags & kCtlAlwaysRedraw, 0u);
  }
}

TEST_F(PopupTest, SeeThroughBitAndPanelDepthFollowTheLastPopup) {
  struct Row {
    const char* name;
    uint32_t secondFlags;
    int32_t depthAfterFirstClose, depthAfterLast;
  } rows[] = {{"stacked second", kPopupStacked, 0, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_ui.panelDepth = 2;
    FormScreen a, b;
    ASSERT_EQ(a.Popup(1, nullptr), 0);
    EXPECT_EQ(g_ui.panelDepth, 0);
    ASSERT_EQ(OpenPopup(g_ui, b.form, row.secondFlags, -1, -1, 0, {0, 0, 1024, 768}), 0);
    b.Close(0);
    EXPECT_EQ(g_ui.panelDepth, row.depthAfterFirstClose);
    EXPECT_NE(g_ui.rootForm->flags & kCtlAlwaysRedraw, 0u);
    g_ui.modal = 0;
    a.Close(0);
    EXPECT_EQ(g_ui.panelDepth, row.depthAfterLast);
    EXPECT_EQ(g_ui.modal, 1);
    EXPECT_EQ(g_ui.rootForm->flags & kCtlAlwaysRedraw, 0u);
  }
}

// The dock closed by the player after a pop-up gave its depth back stays
// closed: neither a form closed again nor the next pop-up reopens it.
TEST_F(PopupTest, APopupGivesTheDepthItFoundBackOnce) {
  g_ui.panelDepth = 2;
  FormScreen a, b;
  ASSERT_EQ(a.Popup(1, nullptr), 0);
  a.Close(0);
  EXPECT_EQ(g_ui.panelDepth, 2);
  g_ui.panelDepth = 0;
  ASSERT_EQ(b.Popup(1, nullptr), 0);
  a.Close(0);
  EXPECT_EQ(g_ui.panelDepth, 0) << "a form no longer open";
  EXPECT_EQ(g_ui.popupCount, 1) << "b is still open";
  b.Close(0);
  EXPECT_EQ(g_ui.panelDepth, 0) << "the next pop-up";
  EXPECT_EQ(g_ui.savedPanelDepth, 0);
}

TEST_F(PopupTest, AnAlwaysOnTopControlStaysAboveNewFrames) {
  struct Row {
    const char* name;
    uint32_t mark;
    bool frameLast;
  } rows[] = {{"marked", kAlwaysOnTopMark, false}, {"unmarked", 0, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* top = new BoxControl(ControlInit{});
    top->userWord = row.mark;
    ControlAddChild(g_ui.rootForm, top);
    FormScreen a;
    ASSERT_EQ(a.Popup(0, nullptr), 0);
    Control* last = g_ui.rootForm->firstChild->PrevInRing();
    EXPECT_EQ(last == a.form->parent, row.frameLast);
    EXPECT_EQ(last == top, !row.frameLast);
    a.Close(1);
    delete top;
  }
}

TEST_F(PopupTest, ClicksOnTheFrame) {
  struct Row {
    const char* name;
    uint32_t flags, message;
    bool closes;
    int beeps;
  } rows[] = {
      {"left closes", 0, plat::kWmLButtonDown, true, 0},
      {"right closes", 0, plat::kWmRButtonDown, true, 0},
      {"double closes", 0, plat::kWmLButtonDblClk, true, 0},
      {"move ignored", 0, plat::kWmMouseMove, false, 0},
      {"modal left beeps", kPopupModal, plat::kWmLButtonDown, false, 1},
      {"modal middle beeps", kPopupModal, plat::kWmMButtonDown, false, 1},
      {"modal double ignored", kPopupModal, plat::kWmLButtonDblClk, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    beeps = 0;
    FormScreen a;
    ASSERT_EQ(OpenPopup(g_ui, a.form, row.flags, -1, -1, 0, {0, 0, 1024, 768}), 0);
    Control* frame = a.form->parent;
    frame->HandleMouse(static_cast<int32_t>(row.message), 0, 5, 5);
    EXPECT_EQ(a.form->parent == nullptr, row.closes);
    EXPECT_EQ(beeps, row.beeps);
    if (a.form->parent) a.Close(1);
  }
}

TEST_F(PopupTest, TooltipSizesRoundItsTextAndStaysOnScreen) {
  struct Row {
    const char* name;
    int32_t cursorX, cursorY;
    plat::Rect expected;
  } rows[] = {
      {"right edge", 1000, 20, {912, 0, 1024, 26}},
      {"room to spare", 300, 400, {300, 374, 412, 400}},
      {"bottom-left", -5, 900, {0, 742, 112, 768}},
  };
  g_tooltipMeasure = [](const Control*, const char*, int32_t* w, int32_t* h) {
    *w = 100;
    *h = 14;
    return true;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Tooltip tip;
    auto* form = new BoxControl(ControlInit{.width = 20, .height = 20});
    auto* text = new StringControl(ControlInit{.kind = kKindText, .tag = "TEXT", .left = 4, .top = 4}, StringInit{});
    ControlAddChild(form, text);
    tip.form = tip.currentForm = form;
    tip.BindControls();
    g_ui.lastCursorX = row.cursorX;
    g_ui.lastCursorY = row.cursorY;
    g_ui.tooltipShown = 0;
    tip.Show(reinterpret_cast<intptr_t>("a tip"), nullptr);
    EXPECT_EQ(form->rect.left, row.expected.left);
    EXPECT_EQ(form->rect.top, row.expected.top);
    EXPECT_EQ(form->rect.right, row.expected.right);
    EXPECT_EQ(form->rect.bottom, row.expected.bottom);
    EXPECT_EQ(text->text, "a tip");
    EXPECT_EQ(g_ui.tooltipShown, 1);
    delete form;
  }
  g_tooltipMeasure = nullptr;
  g_ui.tooltipShown = 0;
}

}  // namespace
