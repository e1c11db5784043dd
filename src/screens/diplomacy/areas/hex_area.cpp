#include "screens/diplomacy/areas/hex_area.h"

#include <atomic>

#include "records/hex_cell.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/mail_ui_link.h"
#include "sim/simulation_lock.h"
#include "units/hex_owner.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

void RecountAll() { RecountHexAreas(g_screens); }

void ShowAreaTag(int32_t tag) {
  g_uiOptions.areaTagMask |= static_cast<uint8_t>(AreaTagBit(tag) >> 16);
  g_uiOptions.areaTagOverlay = 1;
}

void HideTags() { g_uiOptions.areaTagOverlay = 0; }

}  // namespace

void RecountHexAreas(ScreenSet& screens) {
  HexAreaTable& table = screens.hexAreas;
  table = HexAreaTable{};
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const int32_t width = w.mapWidth;
  if (width <= 0) return;
  const size_t count = w.cells.size();
  for (size_t i = 0; i < count; ++i) {
    const HexCell& cell = w.cells[i];
    const uint32_t tags = CellTagByte(std::atomic_ref<const uint32_t>(cell.word).load(std::memory_order_relaxed));
    if (tags == 0) continue;
    const float weight = HexPeopleWeight(w, cell);
    for (int32_t t = 0; t < kAreaTagCount; ++t) {
      if (!((tags >> t) & 1u)) continue;
      AreaTagRecord& r = table.tags[t];
      if (r.hexCount == 0) {
        r.firstColumn = static_cast<uint16_t>(i % static_cast<size_t>(width));
        r.firstRow = static_cast<uint16_t>(i / static_cast<size_t>(width));
      }
      ++r.hexCount;
      r.population += weight;
    }
  }
}

void ClearHexTagBit(ScreenSet&, int32_t tag) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (HexCell& cell : g_world.cells) SetCellTagBit(cell, tag, false);
}

void InstallAreaTagHooks() {
  g_mailUi.recountAreaTags = RecountAll;
  g_mailUi.showAreaTag = ShowAreaTag;
  g_mainLayoutLinks.clearAreaTagOverlay = HideTags;
}
