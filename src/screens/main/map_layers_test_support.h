#pragma once
// For the map layer tests: the quads the sprite batch handed the device,
// read back from the draw hook as screen rectangles, colours and texture
// rectangles in pixels of the texture drawn.
#include <cstring>
#include <memory>
#include <vector>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/map_geometry.h"
#include "screens/main/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace maptest {

struct Quad {
  float x, y, w, h;       // screen pixels
  uint32_t colour;
  float u0, v0, u1, v1;   // texture pixels; u0 > u1 when mirrored
  plat::DeviceTexture* texture;
  SpriteVertex corner[4];  // top-left, top-right, bottom-right, bottom-left (as queued)
};

class QuadRecorder {
 public:
  QuadRecorder() {
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) {
      for (size_t at = 0; at + 6 * sizeof(SpriteVertex) <= r.vertices.size(); at += 6 * sizeof(SpriteVertex)) {
        SpriteVertex v[6];
        std::memcpy(v, r.vertices.data() + at, sizeof v);
        Quad q{};
        q.corner[0] = v[1], q.corner[1] = v[3], q.corner[2] = v[2], q.corner[3] = v[0];
        q.x = v[1].x + 0.5f, q.y = v[1].y + 0.5f;
        q.w = v[2].x - v[1].x, q.h = v[2].y - v[1].y;
        q.colour = v[1].diffuse;
        q.texture = r.textures[0];
        float tw = 1.0f, th = 1.0f;
        if (q.texture) {
          plat::SurfaceDesc d;
          q.texture->GetLevelDesc(0, &d);
          tw = static_cast<float>(d.width), th = static_cast<float>(d.height);
        }
        q.u0 = v[1].u0 * tw, q.v0 = v[1].v0 * th, q.u1 = v[2].u0 * tw, q.v1 = v[2].v0 * th;
        quads.push_back(q);
      }
    });
  }
  ~QuadRecorder() { g_renderer.device->SetDrawHook(nullptr); }
  // Draws what is queued so that the hook sees it.
  const std::vector<Quad>& Flush() {
    FlushSpriteBatches(g_renderer);
    return quads;
  }
  std::vector<Quad> quads;
};

// A blank texture of a size, to give the source rectangles a scale.
inline Texture* BlankTexture(uint32_t w, uint32_t h) { return new Texture(0, w, h, 0, 1); }

// A 20 x 10 map in the world, seen whole at zoom 1 through a 128 x 96 view
// from the local player 1, with blank sheets for the layers and units made
// on its hexes. Everything it changes is put back afterwards.
class MapLayersTest : public gfxtest::GlRendererTest {
 protected:
  static constexpr int kColumns = 20, kRows = 10;
  void SetUp() override {
    GlRendererTest::SetUp();
    savedOptions_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);
    savedLocal_ = g_world.gameState.localPlayer;
    g_world.gameState.localPlayer = 1;
    g_world.players[1].number = 1;
    g_world.mapWidth = kColumns, g_world.mapHeight = kRows;
    g_world.cells.assign(kColumns * kRows, HexCell{});
    g_world.unitClasses.assign(8, UnitClassRecord{});
    for (UnitClassRecord& c : g_world.unitClasses) c.strengthPerSize = 10;
    InitMapViewGeometry(view_, kColumns, kRows, false, 0, 0);
    view_.viewRight = 128, view_.viewBottom = 96, view_.panX = view_.panY = 0;
    view_.firstColumn = view_.firstRow = 0, view_.endColumn = kColumns, view_.endRow = kRows;
    UiBitmaps& b = g_ui.bitmaps;
    b.ubits = BlankTexture(256, 32), b.ugbits = BlankTexture(1024, 1024), b.line = BlankTexture(64, 8);
    b.unitPictures[0] = BlankTexture(512, 512), b.unitPictures[3] = BlankTexture(512, 512);
    b.unitPictures2[4] = BlankTexture(512, 512);
  }
  void TearDown() override {
    g_world.cells.clear(), g_world.unitClasses.clear(), g_world.spottingMap.clear();
    g_world.mapWidth = g_world.mapHeight = 0;
    g_world.scenario.head.gameFlags = 0;
    for (PlayerRecord& p : g_world.players) p.displayPolicy.friendlyMask = p.displayPolicy.hostileMask = 0;
    g_world.players[1].number = 0;
    g_world.gameState.localPlayer = savedLocal_;
    UiBitmaps& b = g_ui.bitmaps;
    for (Texture** t : {&b.ubits, &b.ugbits, &b.line, &b.unitPictures[0], &b.unitPictures[3], &b.unitPictures2[4]}) {
      delete *t;
      *t = nullptr;
    }
    g_uiOptions = savedOptions_;
    GlRendererTest::TearDown();
  }
  // A unit of the class on the hex, last in its category's stack chain.
  UnitRecord& AddUnit(int x, int y, int category, int owner, int16_t classIndex) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.x = static_cast<int16_t>(x), u.y = static_cast<int16_t>(y), u.owner = static_cast<uint8_t>(owner);
    u.classIndex = classIndex, u.kind = static_cast<uint8_t>(category), u.strength = 1.0f;
    HexCell& cell = g_world.cells[static_cast<size_t>(y * kColumns + x)];
    if (!cell.stack) cell.stack = stacks_.emplace_back(std::make_unique<HexUnitStack>()).get();
    UnitRecord** link = &cell.stack->chainB[category];
    while (*link) link = &(*link)->nextInChainB;
    *link = &u;
    return u;
  }
  // A facility of the class leading the hex's stack.
  UnitRecord& AddFacility(int x, int y, int owner, int16_t classIndex) {
    UnitRecord& f = AddUnit(x, y, 0, owner, classIndex);
    HexUnitStack& stack = *g_world.cells[static_cast<size_t>(y * kColumns + x)].stack;
    stack.chainB[0] = f.nextInChainB;
    stack.lead = &f;
    return f;
  }
  static void SetSymbols(int16_t classIndex, int16_t first, int16_t second, bool layout) {
    auto* bytes = reinterpret_cast<uint8_t*>(&g_world.unitClasses[static_cast<size_t>(classIndex)]);
    std::memcpy(bytes + 192, &first, 2), std::memcpy(bytes + 194, &second, 2);
    bytes[76] = layout ? 1 : 0;
  }
  MapView view_;
  UiOptions savedOptions_;
  int32_t savedLocal_ = 0;
  std::vector<std::unique_ptr<UnitRecord>> units_;
  std::vector<std::unique_ptr<HexUnitStack>> stacks_;
};

}  // namespace maptest
