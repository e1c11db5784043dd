// Controls drawn on the OpenGL device: the quads they send through the draw
// hook and the pixels they leave in the back buffer. Frames, fills, the
// dirty walk, bitmaps, and a whole tree built in code that draws, is hit
// and takes clicks and keys.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/gfx/fonts.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "platform/messages.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_frame.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/string_control.h"

namespace {

using controltest::Init;
using controltest::RecordingScreen;
using Events = std::vector<std::string>;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr int32_t kLeftDown = static_cast<int32_t>(plat::kWmLButtonDown);
constexpr int32_t kChar = static_cast<int32_t>(plat::kWmChar);

// One textured or plain quad as the batch sent it: where it went and, for a
// textured one, which texels it read (right < left when mirrored).
struct Quad {
  plat::Rect dest;
  plat::Rect source;
  uint32_t colour = 0;
  plat::DeviceTexture* texture = nullptr;
};

class ControlDrawTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    savedFonts_ = g_platform.fontTable;
    g_platform.fontTable = nullptr;
    for (Texture*& set : g_renderer.bitmapSets) set = nullptr;
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) { draws_.push_back(r); });
  }
  void TearDown() override {
    g_controls = ControlGlobals{};
    g_renderer.device->SetDrawHook(nullptr);
    for (Texture*& set : g_renderer.bitmapSets) set = nullptr;
    sets_.clear();
    if (g_platform.fontTable == fontTable_) {
      g_platform.fontTable = savedFonts_;
      g_renderer.flushFontGlyphs = nullptr;
    }
    if (font_.vertexBuffer || font_.page) {
      delete font_.vertexBuffer;
      ForgetSpriteTexture(g_renderer, font_.page);
      delete font_.page;
    }
    GlRendererTest::TearDown();
  }

  // A bitmap set of one colour (or of the texels given).
  Texture* MakeSet(int slot, uint32_t size, uint32_t colour) {
    auto t = std::make_unique<Texture>(plat::kFmtA8R8G8B8, size, size, 0, 0);
    Fill(t->deviceTexture, std::vector<uint32_t>(size_t{size} * size, colour));
    g_renderer.bitmapSets[slot] = t.get();
    sets_.push_back(std::move(t));
    return g_renderer.bitmapSets[slot];
  }

  // Slot 0 of a font table of its own: 'A' and 'B' solid cells 4 and 6
  // pixels wide, every other code a clear 2-pixel cell, lines 8 high.
  void LoadFont() {
    FontFileImage image{};
    std::strncpy(image.name, "T", sizeof image.name - 1);
    image.pageWidth = 64;
    image.pageHeight = 16;
    image.scale = 1.0f;
    for (GlyphCell& cell : image.glyphs) cell = GlyphCell{0.0f, 0.0f, 2.0f / 64, 0.5f};
    image.glyphs['A' - 32] = GlyphCell{4.0f / 64, 0.0f, 8.0f / 64, 0.5f};
    image.glyphs['B' - 32] = GlyphCell{10.0f / 64, 0.0f, 16.0f / 64, 0.5f};
    const std::vector<uint8_t> bytes = EncodeFontFile(image);
    dir_.Write("FONTS/T.D3F", std::string(bytes.begin(), bytes.end()));
    std::vector<uint32_t> page(64 * 16, 0x00FFFFFFu);
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 4; x < 16; ++x)
        if (x < 8 || x >= 10) page[y * 64 + x] = kWhite;
    WritePng("FONTS/T.PNG", 64, 16, page);
    CreateBitmapFont(&font_, "T", 0, 0);
    ASSERT_NE(font_.page, nullptr);
    ASSERT_EQ(CreateFontVertexBuffer(&font_), plat::kOk);
    fontTable_[0] = &font_;
    g_platform.fontTable = fontTable_;
    g_renderer.flushFontGlyphs = [] { FlushAllFontGlyphs(g_platform); };
  }

  // Draws what is queued and hands over the quads drawn since the last call.
  std::vector<Quad> TakeQuads() {
    FlushAllDrawing(g_renderer);
    std::vector<Quad> quads;
    for (const plat::DrawRecord& r : draws_) {
      if (r.vertexShader != kSpriteFvf) continue;
      for (uint32_t q = 0; q < r.primitiveCount / 2; ++q) {
        SpriteVertex tl, br;
        std::memcpy(&tl, r.vertices.data() + (q * 6 + 1) * sizeof tl, sizeof tl);
        std::memcpy(&br, r.vertices.data() + (q * 6 + 2) * sizeof br, sizeof br);
        Quad out;
        out.dest = {Px(tl.x + 0.5f), Px(tl.y + 0.5f), Px(br.x + 0.5f), Px(br.y + 0.5f)};
        out.colour = tl.diffuse;
        out.texture = r.textures[0];
        if (out.texture) {
          plat::SurfaceDesc d;
          out.texture->GetLevelDesc(0, &d);
          out.source = {Px(tl.u0 * float(d.width)), Px(tl.v0 * float(d.height)), Px(br.u0 * float(d.width)),
                        Px(br.v0 * float(d.height))};
        }
        quads.push_back(out);
      }
    }
    draws_.clear();
    return quads;
  }

  static int32_t Px(float v) { return static_cast<int32_t>(std::lround(v)); }

  RecordingScreen screen_;
  std::vector<plat::DrawRecord> draws_;
  std::vector<std::unique_ptr<Texture>> sets_;
  BitmapFont font_;
  BitmapFont* fontTable_[kFontSlots] = {};
  void* savedFonts_ = nullptr;
};

bool SameRect(const plat::Rect& a, const plat::Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(ControlDrawTest, TexturedFramesAreCutIntoOneToNinePiecesOfTheSharedSheet) {
  Texture* sheet = MakeSet(0, 512, kWhite);
  struct Row {
    int32_t width, height;
    bool selected;
    uint32_t flags;
    size_t quads;
    plat::Rect firstDest, firstSource;  // the top-left piece, the frame at (0, 0)
  };
  const Row rows[] = {
      {64, 16, false, 0, 1, {0, 0, 64, 16}, {6, 390, 70, 406}},
      {64, 16, true, 0, 1, {0, 0, 64, 16}, {78, 390, 142, 406}},
      {119, 23, false, 0, 9, {0, 0, 5, 5}, {6, 390, 11, 395}},  // 5 x 5 corners
      {119, 23, true, kCtlTintFrame, 9, {0, 0, 5, 5}, {78, 390, 83, 395}},
      {100, 20, false, 0, 4, {0, 0, 50, 10}, {6, 390, 38, 398}},  // two halves each way
      {118, 22, false, 0, 4, {0, 0, 59, 11}, {6, 390, 38, 398}},
      {64, 40, false, 0, 3, {0, 0, 64, 5}, {6, 390, 70, 395}},
      {200, 16, false, kCtlInvertLook, 3, {0, 0, 5, 16}, {78, 390, 83, 406}},
  };
  for (const Row& row : rows) {
    ControlInit init = Init("F", nullptr, 10, 20, row.width, row.height, kCtlTexturedFrame | row.flags, 0xFF336699u);
    BoxControl box(init);
    SetControlFlag(&box, kStateSelected, row.selected ? 1 : 0);
    ControlDrawTree(&box, 0, 1, nullptr, 0);
    const std::vector<Quad> quads = TakeQuads();
    ASSERT_EQ(quads.size(), row.quads) << row.width << "x" << row.height;
    int64_t area = 0;
    for (const Quad& q : quads) {
      EXPECT_EQ(q.texture, sheet->deviceTexture);
      EXPECT_EQ(q.colour, (row.flags & kCtlTintFrame) ? 0xFF336699u : kWhite);
      area += int64_t{q.dest.right - q.dest.left} * (q.dest.bottom - q.dest.top);
    }
    EXPECT_EQ(area, int64_t{row.width} * row.height);  // the pieces tile the frame
    const plat::Rect dest{row.firstDest.left + 10, row.firstDest.top + 20, row.firstDest.right + 10,
                          row.firstDest.bottom + 20};
    EXPECT_TRUE(SameRect(quads[0].dest, dest)) << row.width << "x" << row.height;
    EXPECT_TRUE(SameRect(quads[0].source, row.firstSource)) << row.width << "x" << row.height;
    if (row.quads == 9) {  // the middle piece: inset 5 on both sides
      EXPECT_TRUE(SameRect(quads[4].dest, plat::Rect{15, 25, 10 + row.width - 5, 20 + row.height - 5}));
      const int32_t l = quads[0].source.left;
      EXPECT_TRUE(SameRect(quads[4].source, plat::Rect{l + 5, 395, l + 59, 401}));
    }
  }
}

TEST_F(ControlDrawTest, AFilledBoxTurnsExactlyItsPixelsAndAHiddenOneNone) {
  struct Row {
    const char* what;
    bool hidden, hiddenParent;
    uint8_t frameStyle, outlineWidth;
  };
  const Row rows[] = {
      {"filled", false, false, 0, 0},
      {"hidden", true, false, 0, 0},
      {"under a hidden parent", false, true, 0, 0},
      {"outline only", false, false, 1, 2},
      {"outline only of width 0", false, false, 1, 0},
      {"filled and outlined", false, false, 0, 1},
  };
  constexpr uint32_t kOutline = 0xFF00FF00u;
  for (const Row& row : rows) {
    ClearTo(kBlack);
    BoxControl parent(Init("P", nullptr, 0, 0, 128, 96, 0, 0x00000000u));
    ControlInit init = Init("B", nullptr, 10, 10, 40, 20, 0, kBlue);
    init.frameStyle = row.frameStyle;
    init.outlineWidth = row.outlineWidth;
    init.outlineColour = kOutline;
    ControlAddChild(&parent, new BoxControl(init));
    parent.frameStyle = 1;  // the parent draws nothing of its own
    if (row.hidden) SetControlFlag(parent.firstChild, kStateHidden, 1);
    if (row.hiddenParent) SetControlFlag(&parent, kStateHidden, 1);
    ControlDrawTree(&parent, kAnyDepth, 1, nullptr, 0);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    const bool shown = !row.hidden && !row.hiddenParent;
    for (uint32_t y = 0; y < 40; ++y)
      for (uint32_t x = 0; x < 64; ++x) {
        const bool inside = x >= 10 && x < 50 && y >= 10 && y < 30;
        const bool edge = inside && (x < 10u + row.outlineWidth || x >= 50u - row.outlineWidth ||
                                     y < 10u + row.outlineWidth || y >= 30u - row.outlineWidth);
        uint32_t expected = kBlack;
        if (shown && edge) expected = kOutline;
        else if (shown && inside && row.frameStyle == 0) expected = kBlue;
        ASSERT_EQ(image.At(x, y), expected) << row.what << " " << x << "," << y;
      }
  }
}

TEST_F(ControlDrawTest, TheDirtyWalkRedrawsWhatChangedAndWhatShowsThroughIt) {
  struct Row {
    const char* what;
    uint32_t stringFill;
    uint32_t otherFlags;
    size_t idleQuads;     // a walk with nothing changed
    size_t changedQuads;  // after SetText on the string
  };
  const Row rows[] = {
      {"opaque string", 0xFF404040u, 0, 0, 1},
      {"translucent string: its parent's whole subtree", 0x80404040u, 0, 0, 3},
      {"a box drawn on every walk", 0xFF404040u, kCtlAlwaysRedraw, 1, 2},
  };
  for (const Row& row : rows) {
    BoxControl root(Init("ROOT", &screen_, 0, 0, 128, 96, 0, 0xFF101010u));
    auto* s = new StringControl(Init("S", &screen_, 4, 4, 40, 10, 0, row.stringFill), StringInit{});
    ControlAddChild(&root, s);
    ControlAddChild(&root, new BoxControl(Init("K", &screen_, 50, 4, 20, 10, row.otherFlags, 0xFF808080u)));
    ControlDrawTree(&root, kAnyDepth, 1, nullptr, 0);
    EXPECT_EQ(TakeQuads().size(), 3u) << row.what;
    EXPECT_EQ(s->state & kStateDirty, 0u);
    ControlDrawTree(&root, kAnyDepth, 1, nullptr, 1);
    EXPECT_EQ(TakeQuads().size(), row.idleQuads) << row.what;
    s->SetText("changed");
    ControlDrawTree(&root, kAnyDepth, 1, nullptr, 1);
    EXPECT_EQ(TakeQuads().size(), row.changedQuads) << row.what;
  }
  // Drawn at an offset (as list rows are), then back in place.
  BoxControl row(Init("ROW", &screen_, 2, 3, 10, 4));
  row.AppendSibling(new BoxControl(Init("ROW2", &screen_, 2, 7, 10, 4)));
  ControlDrawAtOffset(20, 30, 0, 1, 1, nullptr, 0, &row);
  const std::vector<Quad> moved = TakeQuads();
  ASSERT_EQ(moved.size(), 2u);
  EXPECT_TRUE(SameRect(moved[0].dest, plat::Rect{22, 33, 32, 37}));
  EXPECT_TRUE(SameRect(moved[1].dest, plat::Rect{22, 37, 32, 41}));
  EXPECT_TRUE(SameRect(row.rect, plat::Rect{2, 3, 12, 7}));
  delete row.NextInRing();
  // A control wholly outside the clip is not drawn, dirty as it is.
  BoxControl root(Init("ROOT", &screen_, 0, 0, 128, 96, 0, 0xFF101010u));
  ControlAddChild(&root, new BoxControl(Init("K", &screen_, 50, 50, 20, 10)));
  const plat::Rect clip{0, 0, 40, 40};
  ControlDrawTree(&root, kAnyDepth, 1, &clip, 0);
  EXPECT_EQ(TakeQuads().size(), 1u);
}

TEST_F(ControlDrawTest, BitmapsReadTheirFrameFromTheSetAndMirrorTheBackwardHalf) {
  Texture* set = MakeSet(2, 128, 0xFFFF8000u);
  struct Row {
    const char* what;
    int32_t slot;
    uint32_t flags;
    uint8_t frameCount, frame, perRow;
    int32_t status;
    plat::Rect source;  // the texels read; right below left when mirrored
  };
  const Row rows[] = {
      {"no texture", 5, 0, 0, 0, 0, plat::kFail, {}},
      {"no set number", -1, 0, 0, 0, 0, plat::kFail, {}},
      {"the first frame", 2, 0, 8, 0, 4, plat::kOk, {0, 0, 16, 16}},
      {"frame 5 at 4 a row", 2, 0, 8, 5, 4, plat::kOk, {16, 16, 32, 32}},
      {"back and forth: 5 of 8 is 3 mirrored", 2, kCtlMultiLine, 8, 5, 0, plat::kOk, {64, 0, 48, 16}},
      {"back and forth, first half", 2, kCtlMultiLine, 8, 3, 0, plat::kOk, {48, 0, 64, 16}},
      {"mirrored by its flag", 2, kCtlMirrorX, 0, 0, 0, plat::kOk, {16, 0, 0, 16}},
      {"both mirrorings cancel", 2, kCtlMultiLine | kCtlMirrorX, 8, 5, 0, plat::kOk, {48, 0, 64, 16}},
      {"mirrored vertically", 2, kCtlMirrorY, 0, 0, 0, plat::kOk, {0, 16, 16, 0}},
      {"a lone frame row", 2, 0, 0, 2, 0, plat::kOk, {32, 0, 48, 16}},
  };
  for (const Row& row : rows) {
    ControlInit init = Init("PIC", nullptr, 10, 10, 16, 16, row.flags);
    init.frameStyle = 1;  // no background
    const BitmapImage image{row.slot, {0, 0, 16, 16}};
    BitmapControl bitmap(init, image, BitmapImage{}, BitmapImage{});
    bitmap.frameCount = row.frameCount;
    bitmap.frame = row.frame;
    bitmap.framesPerRow = row.perRow;
    EXPECT_EQ(bitmap.Draw(nullptr), row.status) << row.what;
    const std::vector<Quad> quads = TakeQuads();
    if (row.status != plat::kOk) {
      EXPECT_TRUE(quads.empty()) << row.what;
      continue;
    }
    ASSERT_EQ(quads.size(), 1u) << row.what;
    EXPECT_EQ(quads[0].texture, set->deviceTexture);
    EXPECT_TRUE(SameRect(quads[0].dest, plat::Rect{10, 10, 26, 26})) << row.what;
    EXPECT_TRUE(SameRect(quads[0].source, row.source))
        << row.what << ": " << quads[0].source.left << "," << quads[0].source.top << "-" << quads[0].source.right
        << "," << quads[0].source.bottom;
  }
  // The animation moves on one frame each time its delay has passed.
  ControlInit init = Init("ANIM", nullptr, 0, 0, 16, 16, kCtlAnimate);
  BitmapControl anim(init, BitmapImage{2, {0, 0, 16, 16}}, BitmapImage{}, BitmapImage{});
  anim.frameCount = 3;
  anim.frameDelay = 1;
  const uint8_t expected[] = {0, 1, 1, 2, 2, 0, 0, 1};
  for (uint8_t frame : expected) {
    ControlDrawTree(&anim, 0, 1, nullptr, 1);
    EXPECT_EQ(anim.frame, frame);
  }
}

TEST_F(ControlDrawTest, ATreeBuiltInCodeDrawsIsHitAndTakesClicksAndKeys) {
  LoadFont();
  MakeSet(2, 64, 0xFFFF8000u);
  constexpr uint32_t kPanel = 0xFF303030u, kGreen = 0xFF00FF00u;
  // root (opaque black) > panel at (8, 8) > a title, an edit field, a
  // picture and a command button.
  BoxControl root(Init("ROOT", &screen_, 0, 0, 128, 96, 0, kBlack));
  Control* panel = ControlAddChild(&root, new BoxControl(Init("PANEL", &screen_, 8, 8, 104, 72, 0, kPanel)));
  StringInit strings;
  auto* title = new StringControl(Init("TITLE", &screen_, 4, 4, 60, 12, 0, kPanel), strings);
  SetControlText(title, "AB");
  ControlAddChild(panel, title);
  auto* edit = new EditControl(Init("NAME", &screen_, 4, 20, 60, 12, kCtlCaptureOnly, kPanel), strings, 8,
                               kEditUpperCase | kEditLetters);
  ControlAddChild(panel, edit);
  ControlAddChild(panel, new BitmapControl(Init("PIC", &screen_, 70, 4, 16, 16), BitmapImage{2, {0, 0, 16, 16}},
                                           BitmapImage{}, BitmapImage{}));
  Control* ok = ControlAddChild(panel, new BoxControl(Init("OK", &screen_, 70, 40, 30, 12, kCtlCommand, kGreen)));

  ClearTo(0xFF123456u);
  ControlDrawTree(&root, kAnyDepth, 1, nullptr, 0);
  FlushAllDrawing(g_renderer);
  gfxtest::Image image = Read();
  EXPECT_EQ(image.At(2, 2), kBlack);            // the root
  EXPECT_EQ(image.At(10, 90), kBlack);
  EXPECT_EQ(image.At(100, 70), kPanel);         // the panel
  EXPECT_EQ(image.At(80, 14), 0xFFFF8000u);     // the picture
  EXPECT_EQ(image.At(80, 50), kGreen);          // the button
  // "AB" in white, vertically centred in the title: (12 - 8 - 1) / 2 = 1 down.
  EXPECT_EQ(image.At(12, 13), kWhite);
  EXPECT_EQ(image.At(12, 12), kPanel);
  EXPECT_EQ(image.At(21, 13), kWhite);  // B: 4 + 2 + 6 pixels from 12
  EXPECT_EQ(image.At(22, 13), kPanel);

  struct Click {
    int32_t x, y;
    Control* hit;
  };
  const Click clicks[] = {{80, 50, ok}, {20, 30, edit}, {12, 13, title}, {100, 70, panel}, {2, 2, &root}};
  for (const Click& c : clicks) EXPECT_EQ(ControlHitTest(&root, c.x, c.y, kAnyDepth, 0), c.hit) << c.x << "," << c.y;

  // A click on the button is a command; one on the field starts the edit.
  ControlHitTest(&root, 80, 50, kAnyDepth, 0)->HandleMouse(kLeftDown, 0, 80, 50);
  EXPECT_EQ(screen_.Take(), (Events{"enter OK", "command OK"}));
  ControlHitTest(&root, 20, 30, kAnyDepth, 0)->HandleMouse(kLeftDown, 0, 20, 30);
  EXPECT_EQ(screen_.Take(), (Events{"leave OK", "begin edit NAME", "enter NAME"}));
  ASSERT_EQ(g_controls.capture, edit);
  ControlDrawTree(&root, kAnyDepth, 1, nullptr, 1);  // the looks the clicks changed
  TakeQuads();
  // Keys go to the control holding the capture.
  for (char ch : std::string("a1b")) g_controls.capture->HandleInput(kChar, ch, 0, 0);
  EXPECT_EQ(edit->sourceText, "AB");
  EXPECT_EQ(screen_.Take(), (Events{"change NAME", "change NAME", "change NAME"}));

  // Only the field redraws: its text and the cursor, over its own fill.
  ControlDrawTree(&root, kAnyDepth, 1, nullptr, 1);
  std::vector<Quad> quads = TakeQuads();
  ASSERT_EQ(quads.size(), 1u);
  EXPECT_TRUE(SameRect(quads[0].dest, plat::Rect{12, 28, 72, 40}));
  image = Read();
  EXPECT_EQ(edit->text, "AB");  // the cursor is drawn, never kept in the text
  EXPECT_EQ(image.At(12, 29), kWhite);  // a single-line field is not centred
  EXPECT_EQ(image.At(21, 29), kWhite);
  g_controls.capture->HandleInput(kChar, 13, 0, 0);
  EXPECT_EQ(screen_.Take(), (Events{"leave NAME", "end edit NAME", "change NAME", "command NAME"}));
  ControlDrawTree(&root, kAnyDepth, 1, nullptr, 1);
  TakeQuads();
  EXPECT_EQ(edit->text, "AB");
}

// A control drawn over a sibling's text in the same walk covers it: the
// text queued before the cover's fill is not drawn above it at the flush.
// Beside the cover, the text is left as it is.
TEST_F(ControlDrawTest, AnOpaqueControlDrawnOverASiblingsTextCoversIt) {
  LoadFont();
  constexpr uint32_t kPanel = 0xFF303030u, kGreen = 0xFF00FF00u;
  BoxControl root(Init("ROOT", &screen_, 0, 0, 128, 32, 0, kPanel));
  for (int32_t at : {8, 64}) {
    auto* label = new StringControl(Init("LABEL", &screen_, at, 8, 40, 12, 0, 0), StringInit{});
    SetControlText(label, "AB");
    ControlAddChild(&root, label);
  }
  ControlAddChild(&root, new BoxControl(Init("NOTE", &screen_, 0, 4, 56, 20, 0, kGreen)));
  ClearTo(kBlack);
  ControlDrawTree(&root, kAnyDepth, 1, nullptr, 0);
  FlushAllDrawing(g_renderer);
  const gfxtest::Image image = Read();
  // "AB" starts at the label's left, one row down: (12 - 8 - 1) / 2.
  for (uint32_t x = 8; x < 48; ++x) ASSERT_EQ(image.At(x, 9), kGreen) << x;
  EXPECT_EQ(image.At(64, 9), kWhite);
}

// A form's text longer than the room left in its host (a list row hosting
// the form, or the control a screen shows its form in) is cut to fit with
// dots and draws nothing outside the host; a text that fits stays whole.
TEST_F(ControlDrawTest, AFormsTextStaysInsideTheControlHostingTheForm) {
  LoadFont();
  constexpr uint32_t kPanel = 0xFF303030u;
  struct Row {
    const char* what;
    bool listRow;
    const char* text;
    int32_t lastWhite;  // the rightmost white column, -1 for none
  };
  // The host spans 8-47; the text starts at 28: "AB" ends at 28 + 4 + 2 + 6 - 1.
  const Row rows[] = {{"a list row", true, "ABABABAB", -1}, {"a screen's host", false, "ABABABAB", -1},
                      {"a fitting text", false, "AB", 37}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RecordingScreen shown;
    BoxControl root(Init("ROOT", &screen_, 0, 0, 128, 32, 0, kBlack));
    Control* host = ControlAddChild(&root, new BoxControl(Init("HOST", &screen_, 8, 8, 40, 16,
                                                                row.listRow ? kCtlHost : 0u, kPanel)));
    Control* form = ControlAddChild(host, new BoxControl(Init("FORM", &shown, 0, 0, 80, 16, 0, 0)));
    if (!row.listRow) {
      shown.currentForm = form;
      shown.host = host;
    }
    auto* text = new StringControl(Init("FLAG", &shown, 20, 0, 80, 16, 0, 0), StringInit{});
    SetControlText(text, row.text);
    ControlAddChild(form, text);
    ClearTo(kBlack);
    ControlDrawTree(&root, kAnyDepth, 1, nullptr, 0);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    int32_t lastWhite = -1;
    for (int32_t x = 0; x < 128; ++x)
      if (image.At(static_cast<uint32_t>(x), 15) == kWhite) lastWhite = x;
    if (row.lastWhite >= 0) {
      EXPECT_EQ(lastWhite, row.lastWhite);
    } else {
      EXPECT_GE(lastWhite, 28) << "the cut text is drawn";
      EXPECT_LT(lastWhite, 48) << "nothing is drawn right of the host";
    }
    for (int32_t x = 48; x < 128; ++x) ASSERT_EQ(image.At(static_cast<uint32_t>(x), 15), kBlack) << x;
  }
}

}  // namespace
