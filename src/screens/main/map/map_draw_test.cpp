// The map frame on the OpenGL device: the quads its sprites send through the
// draw hook, and the pixels the picture tiles and the terrain leave behind.
#include "screens/main/map/map_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"
#include "app/gfx/texture.h"
#include "screens/main/map/map_borders.h"
#include "screens/main/map/map_grid_bake.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// A picture whose every pixel names its place: x in the low 12 bits, y above.
uint32_t PicturePixel(int32_t x, int32_t y) { return 0xFF000000u | (uint32_t(y) << 12) | uint32_t(x); }

struct Quad {
  float x, y, w, h, u0, v0, u1, v1;
};

class MapDrawTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    ResetMapFrame();
    g_world.gameState.currentHex = g_world.gameState.viewHex = HexPosition{};
    g_ui.mode = kUiInGame;
    ugbits_ = std::make_unique<Texture>(plat::kFmtA8R8G8B8, 1024, 1024, 0, 0);
    tbits_ = std::make_unique<Texture>(plat::kFmtA8R8G8B8, 32, 32, 0, 0);
    Fill(tbits_->deviceTexture, std::vector<uint32_t>(32 * 32, kTerrain));
    g_ui.bitmaps.ugbits = ugbits_.get();
    g_ui.bitmaps.tbits = tbits_.get();
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) { draws_.push_back(r); });
  }
  void TearDown() override {
    g_renderer.device->SetDrawHook(nullptr);
    g_ui.bitmaps.ugbits = g_ui.bitmaps.tbits = nullptr;
    ugbits_.reset();
    tbits_.reset();
    ReleaseMapImagery(g_mapImagery);
    ReleaseMapGridBake();  // its tiles are textures of this test's device
    g_world.cells.clear();
    g_world.terrains.clear();
    g_world.mapHeader.flags = 0;
    GlRendererTest::TearDown();
  }

  // A map of 30 x 20 hexes (540 x 440 map pixels) in the whole back buffer.
  static void Place(MapView& view, bool wraps) {
    view.viewRight = kWidth;
    view.viewBottom = kHeight;
    InitMapViewGeometry(view, 30, 20, wraps, 540, 440);
  }

  void LoadPicture(int32_t w, int32_t h, uint32_t (*pixel)(int32_t, int32_t) = PicturePixel) {
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) pixels[size_t(y) * size_t(w) + size_t(x)] = pixel(x, y);
    picture_.reset(CreateImageSurface(g_renderer, uint32_t(w), uint32_t(h), plat::kFmtA8R8G8B8));
    ASSERT_EQ(picture_->WritePixels(plat::Rect{0, 0, w, h}, pixels.data()), plat::kOk);
    ASSERT_EQ(AllocMapImageryTiles(g_mapImagery, picture_.get()), plat::kOk);
  }

  std::vector<Quad> TakeQuads() {
    FlushAllDrawing(g_renderer);
    std::vector<Quad> quads;
    for (const plat::DrawRecord& r : draws_) {
      for (size_t at = 0; at + 6 * sizeof(SpriteVertex) <= r.vertices.size(); at += 6 * sizeof(SpriteVertex)) {
        SpriteVertex v[6];
        std::memcpy(v, r.vertices.data() + at, sizeof v);  // bl, tl, br, tr, br, tl
        quads.push_back({v[1].x + 0.5f, v[1].y + 0.5f, v[2].x - v[1].x, v[2].y - v[1].y, v[1].u0 * 1024,
                         v[1].v0 * 1024, v[2].u0 * 1024, v[2].v0 * 1024});
      }
    }
    draws_.clear();
    return quads;
  }

  static constexpr uint32_t kTerrain = 0xFF0000FFu;
  std::vector<plat::DrawRecord> draws_;
  std::unique_ptr<Texture> ugbits_, tbits_;
  std::unique_ptr<plat::Surface> picture_;
  GlobalGuard<int32_t> mode_{g_ui.mode};
};

TEST_F(MapDrawTest, SpritesAndMarkersLandWhereTheZoomPutsThem) {
  // The view's origin is at (10, 20) of the screen.
  struct Row {
    const char* what;
    float zoom, cap;
    int32_t marker;  // 0: a 30-pixel sprite at map (0, 0)
    uint32_t hex;
    size_t quads;
    Quad want;
  } rows[] = {
      // Zoom 0.5 would make it 60 wide; the cap keeps 30, centred: +15.
      {"cap 1.0 at zoom 0.5", 0.5f, 1.0f, 0, 0, 1, {25, 35, 30, 30, 0, 0, 1024, 1024}},
      {"cap 0.3 at zoom 0.5", 0.5f, 0.3f, 0, 0, 1, {10, 20, 60, 60, 0, 0, 1024, 1024}},
      // Odd column 3: the tile box at (3 x 18 - 3, 2 x 22 - 4) = (51, 40).
      {"marker 1 on hex (3, 2)", 1.0f, 0, 1, PackHex(3, 2), 1, {61, 60, 30, 30, 576, 640, 640, 704}},
      {"marker 2 on even hex (4, 2)", 1.0f, 0, 2, PackHex(4, 2), 1, {79, 49, 30, 30, 640, 640, 704, 704}},
      {"hex (0, 0) is no hex", 1.0f, 0, 1, 0, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MapView view;
    view.viewLeft = 10;
    view.viewTop = 20;
    view.zoom = r.zoom;
    if (r.marker)
      DrawHexMarker(r.marker, 0xFFFFFFFFu, view, r.hex);
    else
      DrawMapSprite(view, ugbits_.get(), nullptr, 0, 0, 30, 30, 0xFFFFFFFFu, nullptr, r.cap);
    const std::vector<Quad> quads = TakeQuads();
    ASSERT_EQ(quads.size(), r.quads);
    if (quads.empty()) continue;
    const float got[] = {quads[0].x, quads[0].y, quads[0].w, quads[0].h,
                         quads[0].u0, quads[0].v0, quads[0].u1, quads[0].v1};
    const float want[] = {r.want.x, r.want.y, r.want.w, r.want.h, r.want.u0, r.want.v0, r.want.u1, r.want.v1};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], want[i], 0.01f) << i;
  }
}

TEST_F(MapDrawTest, ZoomingKeepsTheViewCentred) {
  // 100 x 50 hexes in a 600-pixel-wide view: from zoom 1.0 to 0.5 the pan
  // moves by 600 x 0.5 / 2 = 150 to the right.
  MapView view;
  view.viewRight = 600;
  view.viewBottom = 400;
  InitMapViewGeometry(view, 100, 50, false, 0, 0);
  DrawMapView(view, 0);
  const int32_t before = view.panX;
  view.zoom = 0.5f;
  ComputeMapScrollLimits(view);
  DrawMapView(view, 0);
  EXPECT_EQ(view.panX, before + 150);
}

TEST_F(MapDrawTest, PictureTilesOverlapByFourPixels) {
  LoadPicture(1000, 600);
  EXPECT_EQ(g_mapImagery.columns, 4);
  EXPECT_EQ(g_mapImagery.rows, 3);
  EXPECT_EQ(Texels(g_mapImagery.tiles[1 * 16 + 1]->deviceTexture)[0], PicturePixel(252, 252));
}

TEST_F(MapDrawTest, PictureShowsAtThePanAcrossSeamsAndTheEasternWrap) {
  // 540 x 440 map pixels over a picture of the same size: 3 x 2 tiles.
  struct Row {
    const char* what;
    bool wraps;
    int32_t panX, panY;  // the view spans panX .. panX + 128 and panY .. panY + 96
  } rows[] = {
      {"inside, over the seams at 252-256", false, 200, 220},
      {"past the east edge of a wrapping map, its seam included", true, 480, 220},
  };
  LoadPicture(540, 440);
  g_world.mapHeader.flags = kMapFlagImagery;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MapView view;
    Place(view, r.wraps);
    view.panX = r.panX;
    view.panY = r.panY;
    ClampMapPan(view);
    ClearTo(0xFFFF0000u);
    DrawMapView(view, 0);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    int checked = 0;
    for (int32_t sy = 0; sy < int32_t(kHeight); ++sy) {
      for (int32_t sx = 0; sx < int32_t(kWidth); ++sx) {
        int32_t x = sx + r.panX;
        const int32_t y = sy + r.panY;
        if (r.wraps && x >= 540) x -= 540;
        if (x >= 540 || y >= 440) continue;
        ASSERT_EQ(image.At(uint32_t(sx), uint32_t(sy)), PicturePixel(x, y)) << sx << "," << sy;
        ++checked;
      }
    }
    EXPECT_GT(checked, 128 * 90);
  }
}

TEST_F(MapDrawTest, TerrainShowsUnlessAPictureIsClaimedAndLoaded) {
  // Terrain 1 on hex (2, 2) alone; the pan is held at (18, 26), so the
  // hex's centre (48, 44) is at screen (30, 18) and screen (100, 80) has
  // no terrain.
  struct Row {
    const char* what;
    uint8_t flags;
    bool loaded;
    uint32_t centre, elsewhere;
  } rows[] = {
      {"a claimed picture that did not load", kMapFlagImagery, false, kTerrain, g_uiOptions.mapbackground},
      {"a picture not claimed", 0, true, kTerrain, g_uiOptions.mapbackground},
      {"a claimed picture", kMapFlagImagery, true, PicturePixel(48, 44), PicturePixel(118, 106)},
  };
  g_world.terrains.assign(2, TerrainRecord{});
  g_world.terrains[1].imageRight = g_world.terrains[1].imageBottom = 32;
  g_world.cells.assign(30 * 20, HexCell{});
  g_world.cells[2 * 30 + 2].word = WithCellTerrain(0, 1);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    if (r.loaded) LoadPicture(540, 440);
    else ReleaseMapImagery(g_mapImagery);
    g_world.mapHeader.flags = r.flags;
    MapView view;
    Place(view, false);
    view.panX = 0;
    view.panY = 0;
    ClearTo(0xFFFF0000u);  // what a stale frame left
    DrawMapView(view, 0);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    EXPECT_EQ(image.At(30, 18), r.centre);
    EXPECT_EQ(image.At(100, 80), r.elsewhere);
  }
}

TEST_F(MapDrawTest, GridAndBordersLeaveTheSamePixelsAsWholeCells) {
  // Lopsided patches (mirroring shows), a column filtering reaches into the grid's cell, owners meeting every way:
  // the pixels of whole cells, but for a texel filtered from other corners rounding the other way by one level.
  std::vector<uint32_t> sheet(1024 * 1024, 0);
  for (uint32_t y = 512; y < 704; ++y)
    for (uint32_t x = 0, cx = 0; x < 1024; cx = ++x % 64)
      if (x == 639 || (cx > 4 + x / 64 && cx < 40 + y / 64 % 3 * 8 && y % 64 > 6 && y % 64 < 30 + x / 64))
        sheet[y * 1024 + x] = (x * 37 + y * 11) << 24 | (x * 997 + y * 31);
  Fill(ugbits_->deviceTexture, sheet);  // before the first draw reads the cells' boxes
  const GlobalGuard<UiOptions> options(g_uiOptions);
  g_uiOptions.ovshowgrid = g_uiOptions.ovshowgridnolos = 1, g_uiOptions.maphexgrid = 0xC0FFFFFFu;
  g_uiOptions.playercolor[1] = g_uiOptions.playercolor[2] = 0xC000FF80u;
  g_world.cells.assign(30 * 20, HexCell{}), g_world.mapWidth = 30, g_world.mapHeight = 20;
  for (size_t i = 0; i < 600; ++i) g_world.cells[i].word = WithCellOwner(0, (i * 7 / 3) % 3 ? 1 : 2);
  uint8_t& wraps = reinterpret_cast<uint8_t*>(&g_world.mapHeader)[67];
  const float rows[][3] = {{1.0f, 40, 60}, {1.5f, 25, 33}, {0.9f, 61, 47}, {0.2f, 80, 90}, {1.3f, 500, 30}};
  for (const auto& r : rows) {  // 0.2: whole cells past the cap; 500: the east seam
    MapView view;
    Place(view, (wraps = r[1] > 400));
    view.zoom = r[0], view.panX = int32_t(r[1]), view.panY = int32_t(r[2]);
    ComputeMapScrollLimits(view), ClampMapPan(view);
    ClearTo(0xFF204060u);
    DrawHexGridAndBorders(view);
    const gfxtest::Image got = (FlushAllDrawing(g_renderer), Read());
    ClearTo(0xFF204060u);
    ForEachVisibleHex(view, [&view](uint32_t hex) {
      BorderSprite b;
      DrawHexMarker(kMarkerGrid, g_uiOptions.maphexgrid, view, hex);
      if (!hex || !OwnerBorderSprite(g_world, view, UnpackHex(hex), b)) return;
      const plat::Rect from{b.sourceLeft, b.sourceTop, b.sourceRight, b.sourceBottom};
      DrawMapSprite(view, g_ui.bitmaps.ugbits, &from, b.x, b.y, b.width, b.height, 0xC000FF80u, nullptr, kMapCapTiles);
    });
    const gfxtest::Image want = (FlushAllDrawing(g_renderer), Read());
    int marked = 0, off = 0;
    for (size_t i = 0, at; (at = i / 4) < want.pixels.size(); ++i) {  // each channel of each pixel
      marked += i % 4 == 0 && want.pixels[at] != 0xFF204060u;
      const int shift = int(i % 4 * 8);
      off += std::abs(gfxtest::Channel(got.pixels[at], shift) - gfxtest::Channel(want.pixels[at], shift)) > 1;
    }
    EXPECT_TRUE(off == 0 && marked > int(kWidth * kHeight / 4)) << r[0] << ": " << off << " off, " << marked;
  }
  wraps = 0, g_world.mapWidth = g_world.mapHeight = 0;
}

}  // namespace

// The frame over a picture, or without one over its terrain, with the grid
// and borders (and the terrain) baked into tiles against the same frame
// drawing them itself, on a 512 x 384 view (a tile fits in its corner).
class MapBakeTest : public MapDrawTest {
 protected:
  MapBakeTest() { width_ = 512, height_ = 384; }
};

TEST_F(MapBakeTest, BakedTilesMatchTheDirectFrame) {
  // Marker 2: an outline two texels wide with a diagonal; border pieces: lopsided solid patches; the picture a
  // smooth gradient; the two terrains hexes with soft edges. At zoom 1 the same pixels; elsewhere the baked tiles
  // are filtered as a whole, so a line or hex edge falls differently between pixels: the mean of every 16 x 16
  // block within 16 levels a channel (the sample world's real sheets measure 5). The tiles follow an owner in
  // view, one out of view until the pan shows it, the grid colour, the pan across the east seam, a terrain
  // painted, the editor's background, and textures lent to tiles elsewhere and taken back.
  std::vector<uint32_t> sheet(1024 * 1024, 0);
  for (uint32_t y = 512; y < 704; ++y)
    for (uint32_t x = 0, cx = 0; x < 1024; cx = ++x % 64) {
      const uint32_t a = cx, b = y % 64;
      const bool outline = ((a / 2 == 4 || a / 2 == 27) && b >= 10 && b <= 53) ||
                           ((b / 2 == 5 || b / 2 == 26) && a >= 8 && a <= 55) || a / 2 == b / 2;
      const bool patch = cx > 4 + x / 64 && cx < 40 + y / 64 % 3 * 8 && b > 6 && b < 30 + x / 64;
      if (y >= 640 && x >= 640 && x < 704 ? outline : patch) sheet[y * 1024 + x] = 0xFFFFFFFFu;
    }
  Fill(ugbits_->deviceTexture, sheet);
  std::vector<uint32_t> terrain(64 * 32, 0);  // terrain t in cell (32 t, 0): a hex, opaque inside, half at its rim
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      const int dx = std::abs(x % 32 * 2 - 31), dy = std::abs(y * 2 - 31), d = std::max(dx, dy + dx / 2);
      const uint32_t alpha = d < 24 ? 0xFF : d < 28 ? 0x80 : 0;
      terrain[size_t(y * 64 + x)] = alpha << 24 | (x < 32 ? 0x30A040u + uint32_t(x) * 4 : 0xA08000u + uint32_t(y % 4) * 40);
    }
  tbits_ = std::make_unique<Texture>(plat::kFmtA8R8G8B8, 64, 32, 0, 0);
  Fill(tbits_->deviceTexture, terrain);
  g_ui.bitmaps.tbits = tbits_.get();
  g_world.terrains.assign(3, TerrainRecord{});
  for (int t = 1; t <= 2; ++t) {
    TerrainRecord& record = g_world.terrains[size_t(t)];
    record.imageLeft = 32 * (t - 1), record.imageRight = 32 * t, record.imageBottom = 32;
  }
  const GlobalGuard<UiOptions> options(g_uiOptions);
  const GlobalGuard<bool> enabled(g_mapGridBake.enabled);
  const GlobalGuard<int32_t> limit(g_mapGridBake.textureLimit);
  g_uiOptions.ovshowgrid = g_uiOptions.ovshowgridnolos = 1, g_uiOptions.maphexgrid = 0x80000000u;
  g_uiOptions.playercolor[1] = 0xC000FF80u, g_uiOptions.playercolor[2] = 0xC0FF4000u;
  g_world.cells.assign(60 * 40, HexCell{}), g_world.mapWidth = 60, g_world.mapHeight = 40;
  for (size_t i = 0; i < g_world.cells.size(); ++i)
    g_world.cells[i].word = WithCellOwner(WithCellTerrain(0, 1 + int(i * 5 / 7 % 2)), (i * 7 / 3) % 3 ? 1 : 2);
  uint8_t& wraps = reinterpret_cast<uint8_t*>(&g_world.mapHeader)[67];
  LoadPicture(1080, 880, [](int32_t x, int32_t y) { return 0xFF000080u | uint32_t(x / 5 % 256) << 16 | uint32_t(y / 4) << 8; });
  enum Change { kNone, kOwner, kOwnerAway, kGridColour, kTerrain, kEditor, kLent };
  struct Row {
    bool picture;
    float zoom;
    int32_t panX, panY;
    bool wraps;
    Change change;  // made after baked frames (away, lent: there, then here; compared there)
    int tolerance;
  } rows[] = {{true, 1.0f, 100, 80, false, kNone, 0},       {true, 1.5f, 40, 60, false, kNone, 16},
              {true, 0.9f, 61, 47, false, kNone, 16},       {true, 1.3f, 700, 30, true, kNone, 16},
              {true, 0.3f, 333, 222, false, kNone, 16},     {true, 1.0f, 100, 80, false, kOwner, 0},
              {true, 1.0f, 100, 80, false, kOwnerAway, 0},  {true, 1.0f, 100, 80, false, kGridColour, 0},
              {false, 1.0f, 100, 80, false, kNone, 0},      {false, 1.5f, 40, 60, false, kNone, 16},
              {false, 0.9f, 61, 47, false, kNone, 16},      {false, 1.3f, 700, 30, true, kNone, 16},
              {false, 1.0f, 100, 80, false, kOwnerAway, 0}, {false, 1.0f, 100, 80, false, kTerrain, 0},
              {false, 1.0f, 100, 80, false, kEditor, 0},    {false, 1.0f, 100, 80, false, kLent, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << (r.picture ? "picture" : "terrain") << " zoom " << r.zoom << " change "
                                    << r.change);
    g_world.mapHeader.flags = r.picture ? kMapFlagImagery : 0;
    g_ui.mode = kUiInGame;
    g_mapGridBake.textureLimit = r.change == kLent ? 9 : kMaxBakedTiles;  // 9 there, 6 here
    MapView view;
    view.viewRight = 512, view.viewBottom = 384;
    InitMapViewGeometry(view, 60, 40, (wraps = r.wraps), 1080, 880);
    ResetMapFrame();
    ReleaseMapGridBake();  // no textures from the rows before
    auto frame = [this, &view, &r](bool baked, int32_t panX, int32_t panY) {
      g_mapGridBake.enabled = baked;
      view.zoom = r.zoom, view.panX = panX, view.panY = panY;
      ComputeMapScrollLimits(view), ClampMapPan(view);
      ClearTo(0xFF204060u);
      DrawMapView(view, 0);
      return (FlushAllDrawing(g_renderer), Read());
    };
    const bool away = r.change == kOwnerAway || r.change == kLent;
    const int32_t x = away ? 560 : r.panX, y = away ? 480 : r.panY;
    const int baked = (frame(true, x, y), frame(true, r.panX, r.panY), g_mapGridBake.tilesBaked);
    if (r.change == kOwner) g_world.cells[10 * 60 + 12].word ^= WithCellOwner(0, 3);  // hex (12, 10), in view
    if (r.change == kOwnerAway) g_world.cells[30 * 60 + 50].word ^= WithCellOwner(0, 3);  // hex (50, 30)
    if (r.change == kGridColour) g_uiOptions.maphexgrid = 0xC0FFFF00u;
    if (r.change == kTerrain) g_world.cells[10 * 60 + 12].word ^= WithCellTerrain(0, 3);  // 1 and 2 swap
    if (r.change == kEditor) {
      // The editor's own ground, when the player chose one apart from the game's.
      g_ui.mode = kUiMapEditor;
      g_uiOptions.mapeditbackground = 0xFFFF64FFu;
    }
    const gfxtest::Image want = frame(false, x, y), got = frame(true, x, y);
    int worst = 0, drawn = 0;
    for (uint32_t by = 0; by + 16 <= want.height; by += 16)
      for (uint32_t bx = 0; bx + 16 <= want.width; bx += 16)
        for (int shift = 0; shift < 24; shift += 8) {
          int sum = 0;
          for (uint32_t y = by; y < by + 16; ++y)
            for (uint32_t x = bx; x < bx + 16; ++x) {
              const int d = gfxtest::Channel(got.At(x, y), shift) - gfxtest::Channel(want.At(x, y), shift);
              sum += d, worst = std::max(worst, r.tolerance ? 0 : std::abs(d));
            }
          worst = std::max(worst, std::abs(sum) / 256);
        }
    // The layer's marks on the picture; the terrain over the background.
    const uint32_t background = g_ui.mode == kUiInGame ? g_uiOptions.mapbackground : g_uiOptions.mapeditbackground;
    for (uint32_t at : want.pixels) drawn += r.picture ? (at & 0xFFu) != 0x80u : at != background;
    EXPECT_LE(worst, r.tolerance);
    EXPECT_GT(drawn, int(want.pixels.size() / 4));
    EXPECT_EQ(g_mapGridBake.tilesBaked > baked, r.change != kNone);
    g_uiOptions.maphexgrid = 0x80000000u;
    g_uiOptions.mapeditbackground = UiOptions{}.mapeditbackground;
  }
  ReleaseMapGridBake();
  wraps = 0, g_world.mapWidth = g_world.mapHeight = 0;
}
