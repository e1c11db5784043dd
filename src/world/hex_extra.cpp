#include "world/hex_extra.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "records/hex_unit_stack.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "world/world.h"

void DecodeHexExtra(const uint8_t* image, HexExtraImage& extra) {
  std::memcpy(&extra, image, sizeof(HexExtraImage));
  le::LoadField(image, offsetof(HexExtraImage, text), extra.text);
  le::LoadField(image, offsetof(HexExtraImage, x), extra.x);
  le::LoadField(image, offsetof(HexExtraImage, y), extra.y);
}

void EncodeHexExtra(const HexExtraImage& extra, uint8_t* image) {
  std::memcpy(image, &extra, sizeof(HexExtraImage));
  le::StoreField(image, offsetof(HexExtraImage, text), extra.text);
  le::StoreField(image, offsetof(HexExtraImage, x), extra.x);
  le::StoreField(image, offsetof(HexExtraImage, y), extra.y);
}

HexUnitStack* MakeHexStack(HexCell& cell) {
  HexUnitStack* stack = LoadHexStack(cell);
  if (stack) return stack;
  stack = new HexUnitStack{};
  std::atomic_ref<HexUnitStack*>(cell.stack).store(stack, std::memory_order_release);
  return stack;
}

namespace {

HexExtra* LoadExtra(const HexUnitStack* stack) {
  if (!stack) return nullptr;
  return std::atomic_ref<HexExtra* const>(stack->extra).load(std::memory_order_acquire);
}

}  // namespace

HexExtra* GetHexExtra(World& world, HexCell& cell) {
  if (HexExtra* extra = LoadExtra(LoadHexStack(cell))) return extra;
  WorldLockGuard guard(world, kLockHexExtras);
  // Another thread may have made it while this one waited for the lock.
  HexUnitStack* stack;
  {
    WorldLockGuard stackGuard(world, kLockHexExtras);
    stack = MakeHexStack(cell);
  }
  if (HexExtra* extra = LoadExtra(stack)) return extra;
  auto* extra = new HexExtra{};
  const auto index = static_cast<int64_t>(&cell - world.cells.data());
  const int32_t width = world.mapHeader.width > 0 ? world.mapHeader.width : 1;
  extra->x = static_cast<int16_t>(index % width);
  extra->y = static_cast<int16_t>(index / width);
  std::atomic_ref<HexExtra*>(stack->extra).store(extra, std::memory_order_release);
  return extra;
}

void FreeHexExtra(HexExtra* extra) {
  if (!extra) return;
  std::free(extra->text);
  delete extra;
}

void FreeHexStack(HexCell& cell) {
  if (!cell.stack) return;
  FreeHexExtra(cell.stack->extra);
  delete cell.stack;
  cell.stack = nullptr;
}
