#include "screens/main/map/facility_icons.h"

#include "app/gfx/texture.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_routes.h"
#include "screens/main/map/map_units.h"
#include "sim/daily/elimination.h"
#include "sim/simulation_lock.h"
#include "units/hex_state.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint32_t kLayerTint = 0x4FFFFFFFu;
constexpr uint32_t kDimmedBits = 0x7070u;
constexpr int32_t kPieceCell = 64;

plat::Rect StraightCell(int32_t kind, int32_t index) {
  const plat::Rect base = RoutePieceCell(kind, kNoRouteDirection, kNoRouteDirection);
  return {index * kPieceCell, base.top, index * kPieceCell + kPieceCell, base.bottom};
}

uint32_t Faded(uint32_t colour, float fade) {
  const auto alpha = static_cast<uint32_t>(static_cast<float>(colour >> 24) * fade);
  return (colour & 0x00FFFFFFu) | (alpha << 24);
}

}  // namespace

int ConnectionPieces(const World& world, const HexCell& cell, uint32_t tint, ConnectionPiece out[4]) {
  const HexUnitStack* stack = LoadHexStack(cell);
  HexExtra* e = stack ? stack->extra : nullptr;
  if (!e) return 0;
  const bool own = CellOwner(cell.word) == LocalPlayerIndex(world);
  int n = 0;
  const uint8_t byteXor = static_cast<uint8_t>(HexSlotClass(*e, 0) ^ HexSlotClass(*e, 1));
  for (int j = 0; j < 2; ++j) {
    const uint8_t flags = own ? HexSlotDisplayFlags(*e, j) : HexSlotSimFlags(*e, j);
    if (!(flags & kSlotInUse)) continue;
    const uint8_t directions = HexSlotClass(*e, j);
    const int32_t a = (flags & kSlotReach0) ? directions & 7 : kNoRouteDirection;
    const int32_t b = (flags & kSlotReach1) ? (directions >> 3) & 7 : kNoRouteDirection;
    if (a == kNoRouteDirection && b == kNoRouteDirection) continue;
    const int32_t kind = (directions & kSlotClassB) ? 1 : 0;
    uint32_t colour = tint;
    if (!(flags & (kSlotBuilding | kSlotRemoving)) && HexSlotProgress(*e, j) != 0.0f) colour = 0xFFFFFFFFu;
    if (flags & kSlotRemoving) colour &= ~kDimmedBits;
    if (byteXor & 0xC0) {
      out[n++] = {RoutePieceCell(kind, a, b), colour};
    } else {
      out[n++] = {StraightCell(kind, a), colour};
      if (b != a) out[n++] = {StraightCell(kind, b), colour};
    }
  }
  return n;
}

bool LookOfFacility(const World& world, const HexCell& cell, uint32_t hex, bool preview, int32_t previewClass,
                    uint32_t tint, float fade, FacilityLook& out) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* f = stack ? stack->lead : nullptr;
  if (!preview) {
    const bool foreign = CellOwner(cell.word) != LocalPlayerIndex(world);
    if (!f || !IsUnitLive(*f) || (foreign && (f->unitFlags & kUnitProvisional))) return false;
  }
  out.classNumber = preview ? previewClass : f->classIndex;
  if (out.classNumber <= 0 || static_cast<size_t>(out.classNumber) >= world.unitClasses.size()) return false;
  const UnitClassRecord& cls = world.unitClasses[static_cast<size_t>(out.classNumber)];
  if (cls.flags & kClassSpecialWeaponA)
    out.large = preview ? (world.mapHeader.word600 & 1u) != 0 : (f->unitFlags & kUnitMapOption) != 0;

  uint32_t c = tint;
  if (!preview) {
    if (!(f->ordersShown[kPostureBits] & kPostureInReserve)) c = 0xFFFFFFFFu;
    if (f->ordersShown[kStateFlags] & kStatePausedBuild) c &= ~kDimmedBits;
  }
  const bool keepsAlpha = (cls.flags & kClassSettlement) ||
                          ((cls.flags & kClassRoad) && !(cls.flags & kClassSettlementPopulation));
  if (fade < 1.0f && !keepsAlpha) c = Faded(c, fade);
  out.colour = c;

  int32_t facing = preview ? 0 : f->heading;
  if (!preview && (cls.flags & kClassSettlementPopulation)) {
    const CapitalPosition capital = CapitalHex(world.players[f->owner & 31].simPolicy);
    if (!(capital == CapitalPosition{}) && PackHex(capital.x, capital.y) == hex) facing = 12;
  }
  const bool layout = ClassSymbolLayout(cls);
  const int32_t firstNumber = ClassSymbol(cls), secondNumber = ClassSecondSymbol(cls);
  const bool firstFromSecond = firstNumber == 0 && secondNumber != 0;
  const SymbolFrame main = FacilitySymbolFrame(facing, layout);
  out.first = SymbolTexture(firstFromSecond ? secondNumber : firstNumber, firstFromSecond);
  out.firstSource = main.source, out.firstMirrored = main.mirrored;
  if (secondNumber != 0 && !firstFromSecond) {
    const SymbolFrame top = FacilitySymbolFrame(preview ? 0 : f->angle2, layout);
    out.second = SymbolTexture(secondNumber, true);
    out.secondSource = top.source, out.secondMirrored = top.mirrored;
  }
  if (!preview && (UnitMarked(*f) || (f->orders[kOrderFlags] & (1u << 15)))) {
    out.disc = true;
    const int32_t left = UnitMarked(*f) ? 32 : 0;
    out.discCell = {left, 0, left + 32, 32};
    out.discColour = g_uiOptions.playercolor[f->owner & 31];
  }
  return true;
}

void DrawHexFacilityIcon(const MapView& view, uint32_t hex, int32_t, int32_t preview, uint32_t tint, int32_t previewClass,
                         int32_t, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (hex == 0) return;
  const HexCell* cell = MapCell(g_world, hex);
  if (!cell) return;
  const Hex at = UnpackHex(hex);
  const int32_t shift = WrappedCopyOffset(view, at.x);
  if (!preview) {
    ConnectionPiece pieces[4];
    const int n = ConnectionPieces(g_world, *cell, tint, pieces);
    const float x = static_cast<float>(at.x * kHexColumnWidth - 3 + shift);
    const float y = static_cast<float>(at.y * kHexHeight - ((at.x & 1) ? 4 : 15));
    for (int i = 0; i < n; ++i)
      DrawMapSprite(view, g_ui.bitmaps.ugbits, &pieces[i].cell, x, y, 30.0f, 30.0f, pieces[i].colour, nullptr, 0.3f);
  }
  FacilityLook look;
  if (!LookOfFacility(g_world, *cell, hex, preview != 0, previewClass, tint, view.facilityFade, look)) return;
  const float x = static_cast<float>(at.x * kHexColumnWidth + (look.large ? -25 : -12) + shift);
  const float y = static_cast<float>(at.y * kHexHeight + (look.large ? -12 : -4) - ((at.x & 1) ? 0 : 11));
  const float w = look.large ? 74.0f : 48.0f, h = look.large ? 46.0f : 30.0f;
  if (look.disc)
    DrawMapSprite(view, g_ui.bitmaps.ubits, &look.discCell, x, y, w, h, look.discColour, nullptr,
                  g_uiOptions.bunitnozoom ? 1.0f : 0.5f);
  DrawMapSprite(view, look.first, &look.firstSource, x, y, look.firstMirrored ? -w : w, h, look.colour, nullptr, 0.5f);
  if (look.second)
    DrawMapSprite(view, look.second, &look.secondSource, x, y, look.secondMirrored ? -w : w, h, look.colour, nullptr,
                  0.5f);
}

namespace {

void DrawFacilityIconsPass(const MapView& view, int32_t pass) {
  if (!g_uiOptions.showFacilityIcons) return;
  ForEachVisibleHex(view, [&](uint32_t hex) {
    DrawHexFacilityIcon(view, hex, pass, 0, kLayerTint, 0, kNoRouteDirection, kNoRouteDirection);
  });
}

}  // namespace

void DrawFacilityIconsPass1(const MapView& view) { DrawFacilityIconsPass(view, 1); }
void DrawFacilityIconsPass2(const MapView& view) { DrawFacilityIconsPass(view, 2); }
