// The minimap's picture: the shrinking of the map's picture, and the
// texture read back after it was made from a picture or from the terrain.
#include "screens/main/bars/minimap_picture.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/surfaces.h"
#include "app/gfx/texture.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u;

TEST(MinimapPictureTest, EachPixelAveragesWhatItCovers) {
  struct Row { PixelBlock source; int32_t width, height; std::vector<uint32_t> want; };
  const Row rows[] = {
      // Four pixels into one: (0 + 0x40 + 0x80 + 0xC0) / 4 = 0x60 a channel; halves keep their colours.
      {{2, 2, {0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFC0C0C0u}}, 1, 1, {0xFF606060u}},
      {{4, 1, {kRed, kRed, kBlue, kBlue}}, 2, 1, {kRed, kBlue}},
      // Growing repeats the nearest pixel; a short source gives nothing.
      {{1, 1, {0x80102030u}}, 2, 1, {0x80102030u, 0x80102030u}}, {{2, 2, {kRed}}, 1, 1, {}},
  };
  for (const Row& r : rows) EXPECT_EQ(ScalePicture(r.source, r.width, r.height).pixels, r.want);
}

class MinimapPictureDeviceTest : public gfxtest::GlRendererTest {
 protected:
  void TearDown() override {
    delete g_ui.bitmaps.minimap;
    g_ui.bitmaps.minimap = nullptr;
    g_ui.bitmaps.tbits = nullptr;
    ReleaseMapImagery(g_mapImagery);
    g_world.cells.clear();
    g_world.terrains.clear(), g_world.mapHeader.flags = 0, g_ui.mode = savedMode_;
    DropMinimapPicture();
    GlRendererTest::TearDown();
  }
  int32_t savedMode_ = g_ui.mode;
  // The picture's pixels, read back from its texture.
  static std::vector<uint32_t> ReadBack(Texture* t) {
    std::vector<uint32_t> pixels(20 * 10);
    plat::Surface* level = nullptr;
    EXPECT_EQ(t->deviceTexture->GetSurfaceLevel(0, &level), plat::kOk);
    EXPECT_EQ(std::unique_ptr<plat::Surface>(level)->ReadPixels({0, 0, 20, 10}, pixels.data()), plat::kOk);
    return pixels;
  }
};

TEST_F(MinimapPictureDeviceTest, MadeFromThePictureOrTheTerrainAndAgainAfterAReset) {
  MapView view;
  view.columns = 10, view.rows = 5;
  view.minimapWidth = 20, view.minimapHeight = 10;
  // A 100 x 50 picture, red on its left half, blue on its right.
  std::vector<uint32_t> art(100 * 50);
  for (size_t i = 0; i < art.size(); ++i) art[i] = i % 100 < 50 ? kRed : kBlue;
  g_mapImagery.picture = CreateImageSurface(g_renderer, 100, 50, plat::kFmtA8R8G8B8);
  ASSERT_EQ(g_mapImagery.picture->WritePixels(plat::Rect{0, 0, 100, 50}, art.data()), plat::kOk);
  g_mapImagery.width = 100, g_mapImagery.height = 50, g_world.mapHeader.flags = kMapFlagImagery;
  Texture* t = MinimapPicture(view);
  ASSERT_NE(t, nullptr);
  std::vector<uint32_t> got = ReadBack(t);
  EXPECT_EQ(std::tuple(got[0], got[9 * 20 + 9], got[10], got[9 * 20 + 19]), std::tuple(kRed, kRed, kBlue, kBlue));
  EXPECT_EQ(MinimapPicture(view), t);  // kept while the map stays
  // Without a picture: terrain 1 (green in the sheet) on the first five
  // columns, terrain 2 (no square in the sheet: the game's background) after.
  g_ui.mode = kUiInGame;
  ReleaseMapImagery(g_mapImagery);
  Texture sheet(plat::kFmtA8R8G8B8, 32, 32, 0, 0);
  std::unique_ptr<plat::Surface> green(CreateImageSurface(g_renderer, 32, 32, plat::kFmtA8R8G8B8));
  const std::vector<uint32_t> texels(32 * 32, kGreen);
  ASSERT_EQ(green->WritePixels({0, 0, 32, 32}, texels.data()), plat::kOk);
  ASSERT_EQ(CopySurfaceToTexture(nullptr, g_renderer, &sheet, green.get(), nullptr), plat::kOk);
  g_ui.bitmaps.tbits = &sheet;
  g_world.terrains.assign(3, TerrainRecord{});
  g_world.terrains[1].imageRight = g_world.terrains[1].imageBottom = 32;
  g_world.cells.assign(50, HexCell{});
  for (size_t i = 0; i < 50; ++i) g_world.cells[i].word = WithCellTerrain(0, i % 10 < 5 ? 1 : 2);
  DropMinimapPicture();
  t = MinimapPicture(view);
  ASSERT_NE(t, nullptr);
  got = ReadBack(t);
  EXPECT_EQ(std::tuple(got[5 * 20 + 2], got[5 * 20 + 17]), std::tuple(kGreen, g_uiOptions.mapbackground));
}

}  // namespace
