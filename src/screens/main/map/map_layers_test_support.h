#pragma once
// For the map layer tests: the quads the device drew, read back from the
// draw hook (screen rectangle, colour, texture rectangle in its pixels),
// over a 20 x 10 map seen whole at zoom 1 through a 128 x 96 view by the
// local player 1, with blank sheets for the layers. Everything the fixture
// changes is put back afterwards.
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace maptest {

struct Quad {
  float x, y, w, h;  // screen pixels (a mirrored quad has u0 > u1)
  uint32_t colour;
  float u0, v0, u1, v1;
  plat::DeviceTexture* texture;
};

class QuadRecorder {
 public:
  QuadRecorder() {
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) {
      plat::SurfaceDesc d{};
      if (r.textures[0]) r.textures[0]->GetLevelDesc(0, &d);
      const float tw = d.width ? float(d.width) : 1.0f, th = d.height ? float(d.height) : 1.0f;
      SpriteVertex v[6];  // bottom-left, top-left, bottom-right, top-right, ...
      for (size_t at = 0; at + sizeof v <= r.vertices.size(); at += sizeof v) {
        std::memcpy(v, r.vertices.data() + at, sizeof v);
        quads.push_back({v[1].x + 0.5f, v[1].y + 0.5f, v[2].x - v[1].x, v[2].y - v[1].y, v[1].diffuse,
                         v[1].u0 * tw, v[1].v0 * th, v[2].u0 * tw, v[2].v0 * th, r.textures[0]});
      }
    });
  }
  ~QuadRecorder() { g_renderer.device->SetDrawHook(nullptr); }
  const std::vector<Quad>& Flush() { return FlushSpriteBatches(g_renderer), quads; }
  std::vector<Quad> quads;
};

class MapLayersTest : public gfxtest::GlRendererTest {
 protected:
  static constexpr int kColumns = 20, kRows = 10;
  void SetUp() override {
    GlRendererTest::SetUp();
    savedOptions_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);
    g_world.gameState.localPlayer = 1;
    g_world.players[1].number = 1;
    g_world.mapWidth = kColumns, g_world.mapHeight = kRows;
    g_world.cells.assign(kColumns * kRows, HexCell{});
    g_world.unitClasses.assign(8, UnitClassRecord{});
    for (UnitClassRecord& c : g_world.unitClasses) c.strengthPerSize = 10;
    InitMapViewGeometry(view_, kColumns, kRows, false, 0, 0);
    view_.viewRight = 128, view_.viewBottom = 96, view_.panX = view_.panY = 0;
    view_.firstColumn = view_.firstRow = 0, view_.endColumn = kColumns, view_.endRow = kRows;
    for (auto [slot, w, h] : Sheets()) *slot = new Texture(0, w, h, 0, 1);
  }
  void TearDown() override {
    g_world.cells.clear(), g_world.unitClasses.clear(), g_world.spottingMap.clear();
    g_world.mapWidth = g_world.mapHeight = 0;
    g_world.scenario.head.gameFlags = 0;
    g_world.players[1] = PlayerRecord{};
    g_world.gameState.localPlayer = 0;
    for (auto [slot, w, h] : Sheets()) delete *slot, *slot = nullptr;
    g_uiOptions = savedOptions_;
    GlRendererTest::TearDown();
  }
  static std::vector<std::tuple<Texture**, uint32_t, uint32_t>> Sheets() {
    UiBitmaps& b = g_ui.bitmaps;
    return {{&b.ubits, 256, 32}, {&b.ugbits, 1024, 1024}, {&b.ebits, 512, 512},
            {&b.line, 64, 8},    {&b.unitPictures[0], 512, 512}, {&b.unitPictures[3], 512, 512}};
  }
  // A unit of the class on the hex, last in its category's stack chain.
  UnitRecord& AddUnit(int x, int y, int category, int owner, int16_t classIndex) {
    UnitRecord& u = *units_.emplace_back(std::make_unique<UnitRecord>());
    u.x = int16_t(x), u.y = int16_t(y), u.owner = uint8_t(owner), u.classIndex = classIndex;
    u.kind = uint8_t(category), u.strength = 1.0f;
    HexCell& cell = g_world.cells[size_t(y * kColumns + x)];
    if (!cell.stack) cell.stack = stacks_.emplace_back(std::make_unique<HexUnitStack>()).get();
    UnitRecord** link = &cell.stack->chainB[category];
    while (*link) link = &(*link)->nextInChainB;
    return *(*link = &u);
  }
  // A facility of the class leading the hex's stack.
  UnitRecord& AddFacility(int x, int y, int owner, int16_t classIndex) {
    UnitRecord& f = AddUnit(x, y, 0, owner, classIndex);
    HexUnitStack& stack = *g_world.cells[size_t(y * kColumns + x)].stack;
    stack.chainB[0] = f.nextInChainB;
    return *(stack.lead = &f);
  }
  static void SetSymbols(int16_t classIndex, int16_t first, int16_t second, bool layout) {
    UnitClassRecord& cls = g_world.unitClasses[size_t(classIndex)];
    cls.symbol = first;
    cls.secondSymbol = second;
    cls.secondFlags = layout ? 1 : 0;
  }
  MapView view_;
  UiOptions savedOptions_;
  std::vector<std::unique_ptr<UnitRecord>> units_;
  std::vector<std::unique_ptr<HexUnitStack>> stacks_;
};

}  // namespace maptest
