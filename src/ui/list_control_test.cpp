// List boxes and text boxes: scrolling by rows, selection with and without
// Ctrl, the notifications, the word wrap and editing, and a scrolled list in
// the back buffer.
#include "ui/list_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/gfx/font_file.h"
#include "app/gfx/fonts.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/renderer.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "support/contrast.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/scroller.h"
#include "ui/slide_bar.h"
#include "ui/text_box.h"

namespace {

using controltest::RecordingScreen;
using Events = std::vector<std::string>;

constexpr int32_t kLeftDown = static_cast<int32_t>(plat::kWmLButtonDown);
constexpr int32_t kChar = static_cast<int32_t>(plat::kWmChar);
constexpr int32_t kKeyDown = static_cast<int32_t>(plat::kWmKeyDown);

class ListBoxTest : public ::testing::Test {
 protected:
  void TearDown() override { g_controls = ControlGlobals{}; }
  std::unique_ptr<ListBoxControl> List(int rows, uint32_t flags = 0) {
    std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 100, 100, flags, 5, &screen_)};
    SetControlTag(list.get(), "LIST");
    for (int i = 1; i <= rows; ++i) ListAddTextItem(list.get(), "row", i, 10 * i, 0, 0, 0);
    ListLayoutRows(list.get());
    screen_.Take();
    return list;
  }
  static std::vector<int32_t> Selected(const ListBoxControl* list) {
    std::vector<int32_t> ids;
    for (Control* r = ListNextSelected(list, nullptr); r; r = ListNextSelected(list, r)) ids.push_back(r->id);
    return ids;
  }
  RecordingScreen screen_;
};

TEST_F(ListBoxTest, TheScrollerFollowsTheRows) {
  struct Case {
    int rows;
    bool scrollerShown;
    int32_t thumb;
    int32_t offsetAtMiddle;
  };
  const Case cases[] = {
      {10, true, 6250, 30},    // 160 px in 100: 100 x 10000 / 160; half of 60 px
      {100, true, 2000, 750},  // 625 would be too short a thumb
      {5, false, 10000, 0},    // 80 px fit: no scroller, whatever the bar said
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    auto list = List(c.rows);
    list->scrollOffset = 50;
    ListLayoutRows(list.get());
    EXPECT_EQ(!list->scroller->Hidden(), c.scrollerShown);
    EXPECT_EQ(list->scroller->bar->thumbLength, c.thumb);
    list->scroller->SetSelected(5000);
    EXPECT_EQ(list->scrollOffset, c.offsetAtMiddle);
    if (!c.scrollerShown) {
      ListLayoutRows(list.get());
      EXPECT_EQ(list->scrollOffset, 0);
    }
  }
  auto narrowed = List(10);  // narrowed after it was made, as a pop-up fitted to its rows is
  narrowed->rect.right = 60;
  ListLayoutRows(narrowed.get());
  EXPECT_EQ(std::pair(narrowed->scroller->rect.right, narrowed->downIndicator->rect.right), std::pair(60, 52));
}

// Rows hosting a form, taller than a text row, show whole: as many as fit
// beside the indicators, scrolled by whole rows; rows that all fit keep
// the list's top. Both arrows share the foot strip when that shows one row
// more, and no arrow lies over a row in view.
TEST_F(ListBoxTest, FormRowsShowWholeAndScrollByWholeRows) {
  struct Case {
    int rows;
    int32_t boxHeight, rowHeight;
    int32_t position;  // of the bar, 0 to 10000
    int32_t clientTop, clientHeight, offset;
  };
  const Case cases[] = {
      {5, 60, 40, 5000, 8, 40, 80},  // 200 px in 60: one row of 40 between the 8-px indicators; half of 160
      {5, 60, 40, 3000, 8, 40, 40},  // 48 px is nearer one row than two
      {5, 60, 40, 10000, 8, 40, 160},
      {1, 60, 40, 5000, 0, 60, 0},   // it fits: nothing to scroll, nothing set aside
      {6, 98, 30, 0, 0, 90, 0},      // 82 px between two strips hold two rows, 90 above one strip three
      {6, 98, 30, 10000, 0, 90, 90},
      {6, 100, 40, 0, 8, 80, 0},     // two rows either way: the arrows keep a strip each
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows of " << c.rowHeight << " in " << c.boxHeight << " at "
                                    << c.position);
    std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 100, c.boxHeight, kListIndicators, 5, &screen_)};
    for (int i = 1; i <= c.rows; ++i) ListAddIconItem(list.get(), nullptr, 92, c.rowHeight, i, 0, 0, 0);
    ListLayoutRows(list.get());
    list->scroller->SetSelected(c.position);
    const plat::Rect client = ListGetClientRect(list.get());
    EXPECT_EQ(client.top, c.clientTop);
    EXPECT_EQ(client.bottom - client.top, c.clientHeight);
    EXPECT_EQ(list->scrollOffset, c.offset);
    if (c.rows > 1) {
      const plat::Rect second = ListRowScreenRect(list.get(), ListNextRow(list.get(), list->firstRow));
      EXPECT_EQ(second.top, c.clientTop + c.rowHeight - c.offset);
    }
    for (const StringControl* arrow : {list->upIndicator, list->downIndicator}) {
      if (arrow->Hidden()) continue;
      const plat::Rect at = ControlAbsoluteRect(arrow);
      EXPECT_FALSE(plat::RectsOverlap(at, client)) << "arrow " << arrow->id << " over the rows";
      EXPECT_TRUE(at.top >= 0 && at.bottom <= c.boxHeight) << "arrow " << arrow->id << " in the box";
    }
  }
}

TEST_F(ListBoxTest, CtrlClicksToggleRowsUnlessTheListIsSingleSelect) {
  struct Case {
    uint32_t flags;
    std::vector<int32_t> afterTwo, afterThree;
  };
  const Case cases[] = {
      {0, {1, 2}, {2}},                 // each row toggles on its own; row 2 stays
      {kListSingleSelect, {2}, {1}},    // every click selects one row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    auto list = List(5, c.flags);
    // Rows are 16 px high from the top: row n at y = 16 (n - 1) + 8.
    list->HandleMouse(kLeftDown, plat::kMkControl, 20, 8);
    list->HandleMouse(kLeftDown, plat::kMkControl, 20, 24);
    EXPECT_EQ(Selected(list.get()), c.afterTwo);
    list->HandleMouse(kLeftDown, plat::kMkControl, 20, 8);
    EXPECT_EQ(Selected(list.get()), c.afterThree);
    EXPECT_EQ(list->selectedId, c.afterThree.front());
    EXPECT_EQ(list->selectedValue, 10 * c.afterThree.front());
  }
}

TEST_F(ListBoxTest, SelectionByIdNotifiesOnlyChanges) {
  struct Case {
    int32_t before;  // 0: nothing selected
    int32_t id;
    int32_t after;
    Events events;
  };
  const Case cases[] = {
      {0, 3, 3, {"change LIST"}},
      {2, 99, 0, {"change LIST"}},  // unknown: cleared, and something was selected
      {0, 99, 0, {}},               // unknown with nothing selected: silent
      {2, 0, 0, {"change LIST"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto list = List(5);
    if (c.before) ListSetSelection(0, list.get(), c.before, 0);
    screen_.Take();
    ListSetSelection(0, list.get(), c.id, 0);
    EXPECT_EQ(list->selectedId, c.after);
    EXPECT_EQ(screen_.Take(), c.events);
  }
}

TEST_F(ListBoxTest, ClearingIsSilentOnlyWhenAsked) {
  for (int32_t silent : {1, 0}) {
    auto list = List(12);
    ListSetSelection(0, list.get(), 2, 0);
    screen_.Take();
    ListClear(list.get(), silent);
    EXPECT_EQ(screen_.Take(), silent ? Events{} : Events{"change LIST"});
    EXPECT_EQ(list->rowCount, 0u);
    EXPECT_EQ(list->selectedId, 0);
    EXPECT_TRUE(list->scroller->Hidden());
  }
}

TEST_F(ListBoxTest, NextAndPreviousStopAtTheEnds) {
  auto list = List(3);
  ListSelectNext(list.get());
  EXPECT_TRUE(Selected(list.get()).empty()) << "nothing selected: nothing moves";
  ListSetSelection(0, list.get(), 2, 0);
  const struct {
    bool next;
    int32_t id;
  } steps[] = {{true, 3}, {true, 3}, {false, 2}, {false, 1}, {false, 1}};
  for (const auto& s : steps) {
    s.next ? ListSelectNext(list.get()) : ListSelectPrevious(list.get());
    EXPECT_EQ(Selected(list.get()), std::vector<int32_t>{s.id});
    EXPECT_EQ(list->selectedId, s.id);
  }
}

// A pop-up opened from a list steps through the rows that stand for
// something, a note row (id 0) left out, in the order shown.
TEST_F(ListBoxTest, APopUpStepsThroughTheRowsThatStandForSomething) {
  auto list = List(3);
  ListAddTextItem(list.get(), "None", 0, 0, 0, 1, 0);
  const ScreenParameterList rows = ListRowsToStep(list.get());
  EXPECT_EQ(rows.entries, (std::vector<intptr_t>{1, 2, 3}));
  EXPECT_EQ(rows.listControl, list.get());
  EXPECT_TRUE(ListRowsToStep(nullptr).entries.empty());
}

TEST_F(ListBoxTest, RowsKeepTheirOwnCopyOfTheText) {
  auto list = List(0);
  char shared[16] = "first";  // a buffer the caller reuses for every row
  ListAddTextItem(list.get(), shared, 1, 1, 0, 0, 1);
  std::strcpy(shared, "second");
  ListAddTextItem(list.get(), shared, 2, 2, 0, 0, 1);
  shared[0] = 0;
  const Control* first = ListNextRow(list.get(), nullptr);
  EXPECT_EQ(first->text, "first");
  EXPECT_EQ(ListNextRow(list.get(), first)->text, "second");
}

TEST_F(ListBoxTest, ListsAndTheirScreensLeaveTogether) {
  const auto count = [] {
    int n = 0;
    for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) ++n;
    return n;
  };
  const int before = count();
  auto list = List(20, kListIndicators);
  EXPECT_EQ(count(), before + 2) << "the list's and its scroller's";
  list.reset();
  EXPECT_EQ(count(), before);
}

TEST(TextWrap, LinesBreakAtLineFeedsAndAfterBlanks) {
  struct Case {
    std::string text;
    int32_t width;
    std::vector<uint32_t> offsets;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"ab\ncd", 1000, {0, 3}, {"ab", "cd"}},
      {"hello world foo", 50, {0, 6, 12}, {"hello", "world", "foo"}},  // 7 px a glyph: 7 fit
      {"abcdefghij", 50, {0, 7}, {"abcdefg", "hij"}},                  // no blank: at the glyph
      {"a\xB6" "b", 1000, {0, 2}, {"a", "b"}},
      {"", 50, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto lines = WrapTextLines(c.text, c.width, [](unsigned char) { return 7.0f; });
    std::vector<uint32_t> offsets;
    std::vector<std::string> texts;
    for (const WrappedLine& l : lines) {
      offsets.push_back(l.offset);
      texts.push_back(c.text.substr(l.offset, l.length));
    }
    EXPECT_EQ(offsets, c.offsets);
    EXPECT_EQ(texts, c.lines);
  }
}

TEST_F(ListBoxTest, TextBoxesFillRowsAndEdit) {
  TextBoxControl box(0, 0, 100, 100, kCtlCaptureOnly, 6, &screen_);
  TextBoxSetText(&box, "ab\ncd", 64, 1);
  std::vector<std::string> rows;
  std::vector<intptr_t> values;
  for (Control* r = ListNextRow(&box, nullptr); r; r = ListNextRow(&box, r)) {
    rows.push_back(r->text);
    values.push_back(ListRowValue(r));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"ab", "cd"}));
  EXPECT_EQ(values, (std::vector<intptr_t>{0, 3}));

  box.HandleInput(kChar, 'x', 0, 0);
  EXPECT_EQ(TextBoxText(&box), "ab\ncd") << "no typing before the edit starts";
  box.HandleMouse(kLeftDown, 0, 20, 8);
  ASSERT_EQ(g_controls.edit, &box);
  struct Step {
    int32_t message;
    intptr_t code;
    const char* buffer;
  };
  const Step steps[] = {
      {kKeyDown, plat::kVkEnd, "ab\ncd|"}, {kChar, '!', "ab\ncd!|"},  {kKeyDown, plat::kVkLeft, "ab\ncd|!"},
      {kChar, 8, "ab\nc|!"},               {kChar, 13, "ab\nc\n|!"},   {kKeyDown, plat::kVkHome, "|ab\nc\n!"},
      {kKeyDown, plat::kVkDelete, "|b\nc\n!"},
  };
  for (const Step& s : steps) {
    box.HandleInput(s.message, s.code, 0, 0);
    EXPECT_EQ(box.buffer, s.buffer);
  }
  EndTextEdit();
  EXPECT_EQ(box.buffer, "b\nc\n!") << "the cursor leaves with the edit";
  EXPECT_EQ(box.rowCount, 3u);
}

class ListBoxDrawTest : public gfxtest::GlRendererTest {
 protected:
  void TearDown() override {
    g_controls = ControlGlobals{};
    GlRendererTest::TearDown();
  }
};

TEST_F(ListBoxDrawTest, AScrolledListDrawsItsRowsShiftedAndClipped) {
  ClearTo(0xFF0000FFu);
  ListBoxControl list(10, 10, 100, 80, 0, 5, nullptr);
  for (int i = 1; i <= 10; ++i) ListAddTextItem(&list, "", i, i, 0, 0, 0);
  ListLayoutRows(&list);
  ListSetSelection(0, &list, 3, 0);
  list.scroller->SetSelected(5000);  // 160 - 80 = 80 px to scroll: 40
  ASSERT_EQ(list.scrollOffset, 40);
  list.Draw(nullptr);
  FlushAllDrawing(g_renderer);
  const gfxtest::Image image = Read();
  // Row 3 spans 32..48 in the list: 40 px up it is clipped to 10..18.
  EXPECT_GT(gfxtest::Channel(image.At(40, 14), 16), 0) << "the selected row's fill";
  EXPECT_EQ(image.At(40, 30), 0xFF000000u) << "the list's own fill under an unselected row";
  EXPECT_EQ(image.At(40, 5), 0xFF0000FFu) << "nothing above the list";
}

// The arrows that show more rows above and below stay inside the list's
// box, though the rows' font is twice as tall as the arrows' strips.
TEST_F(ListBoxDrawTest, TheMoreRowsArrowsLieInsideTheList) {
  constexpr uint32_t kWhite = 0xFFFFFFFFu, kBehind = 0xFF0000FFu, kArrow = 0xFFFFFF64u;
  // Two fonts whose every glyph is a white block as tall as the line: 16
  // pixels for the rows' slot, 8 for the smallest.
  BitmapFont fonts[2];
  BitmapFont* table[kFontSlots] = {};
  for (int i = 0; i < 2; ++i) {
    const uint32_t line = i == 0 ? 16 : 8;
    FontFileImage image{};
    std::strncpy(image.name, i == 0 ? "R" : "S", sizeof image.name - 1);
    image.pageWidth = 64;
    image.pageHeight = line;
    image.scale = 1.0f;
    for (GlyphCell& cell : image.glyphs) cell = GlyphCell{0.0f, 0.0f, 6.0f / 64, 1.0f};
    const std::vector<uint8_t> bytes = EncodeFontFile(image);
    dir_.Write(std::string("FONTS/") + image.name + ".D3F", std::string(bytes.begin(), bytes.end()));
    WritePng(std::string("FONTS/") + image.name + ".PNG", 64, line, std::vector<uint32_t>(64 * line, kWhite));
    CreateBitmapFont(&fonts[i], image.name, 0, 0);
    ASSERT_EQ(CreateFontVertexBuffer(&fonts[i]), plat::kOk);
  }
  table[3] = &fonts[0];
  table[6] = &fonts[1];
  void* saved = g_platform.fontTable;
  g_platform.fontTable = table;
  g_renderer.flushFontGlyphs = [] { FlushAllFontGlyphs(g_platform); };
  {
    ClearTo(kBehind);
    ListBoxControl list(10, 30, 100, 40, kListIndicators, 5, nullptr);
    list.fills[kLookNormal] = 0xFF000000u;
    for (int i = 1; i <= 10; ++i) ListAddTextItem(&list, "", i, i, 0, 0, 0);
    ListLayoutRows(&list);
    list.scroller->SetSelected(5000);
    ASSERT_FALSE(list.upIndicator->Hidden());
    ASSERT_FALSE(list.downIndicator->Hidden());
    ControlDrawTree(&list, kAnyDepth, 1, nullptr, 0);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    int inside = 0, outside = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
      for (uint32_t x = 0; x < kWidth; ++x)
        if (image.At(x, y) == kArrow) ++(x >= 10 && x < 110 && y >= 30 && y < 70 ? inside : outside);
    EXPECT_GT(inside, 0) << "the arrows are drawn";
    EXPECT_EQ(outside, 0) << "pixels of the arrows outside the list";
  }
  g_platform.fontTable = saved;
  g_renderer.flushFontGlyphs = nullptr;
  for (BitmapFont& f : fonts) {
    delete f.vertexBuffer;
    ForgetSpriteTexture(g_renderer, f.page);
    delete f.page;
  }
}

// A list readied for form rows shows its chosen row opaque under a form
// that draws no background, though its screen gave it a faint selection.
TEST_F(ListBoxDrawTest, AChosenFormRowReadsUnderItsForm) {
  constexpr uint32_t kFaint = 0x21FF0000u, kBehind = 0xFF0000FFu;
  for (const bool readied : {false, true}) {
    SCOPED_TRACE(readied ? "readied" : "as given");
    ClearTo(kBehind);
    ListBoxControl list(10, 10, 100, 80, 0, 5, nullptr);
    list.fills[kLookNormal] = 0;  // the list itself lets through what lies behind
    list.prototype->fills[kLookSelected] = kFaint;
    if (readied) ListUseFormRows(&list);
    ListAddIconItem(&list, nullptr, 92, 20, 1, 0, 0, 0);
    ListLayoutRows(&list);
    ListSetSelection(0, &list, 1, 0);
    list.Draw(nullptr);
    FlushAllDrawing(g_renderer);
    const uint32_t drawn = Read().At(40, 20);
    EXPECT_EQ(drawn == 0xFFFF0000u, readied);
  }
}

}  // namespace

namespace {

// Selected and hovered rows read at 4.5:1 at least over whatever lies
// behind the list: their fills are opaque, and a hovered row's fill is
// or-ed into the selected one.
TEST_F(ListBoxTest, SelectedAndFocusedRowsReadWithEnoughContrast) {
  const auto list = List(1);
  const ListTextRow& row = *list->prototype;
  const uint32_t selected = row.fills[kLookSelected], focused = row.fills[kLookFocused];
  for (uint32_t fill : {selected, focused, selected | focused}) EXPECT_EQ(fill >> 24, 0xFFu);
  EXPECT_GE(Contrast(selected, row.selectedTextColour), 4.5);
  EXPECT_GE(Contrast(focused, row.textColour), 4.5);
  EXPECT_GE(Contrast(selected | focused, row.selectedTextColour), 4.5);
}

}  // namespace
