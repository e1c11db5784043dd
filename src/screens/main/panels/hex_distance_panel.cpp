#include "screens/main/panels/hex_distance_panel.h"

#include "platform/fpenv.h"
#include "screens/common/hex_distance.h"
#include "screens/common/product_tabs.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/common/frame/side_bars.h"
#include "platform/threads.h"
#include "sim/simulation_lock.h"
#include "screens/main/popups/hex_info_popup.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {



// The detail of one side: a unit's when one is shown in the hex and the
// hex's label keeps it in view, else the hex's. True when the hex detail was
// shown.
bool ShowSide(int32_t cell, bool otherHexOfUnit, HexInfoMainPanel& hexDetail, HexIndustryPanel& unitDetail,
              Control* host) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  const HexCell* c = static_cast<size_t>(cell) < world.cells.size() ? &world.cells[static_cast<size_t>(cell)] : nullptr;
  const bool unit = c && ShownUnit(world, *c) && !HexKeepsUnitOutOfDetail(*c) && otherHexOfUnit;
  if (unit) {
    unitDetail.Show(cell, host);
    return false;
  }
  hexDetail.Show(cell, host);
  return true;
}

}  // namespace

uint32_t PackedHexOf(const HexPosition& hex) {
  return static_cast<uint16_t>(hex.x) | static_cast<uint32_t>(static_cast<uint16_t>(hex.y)) << 16;
}

int32_t RoleCell(const HexPosition& hex) {
  return hex.x != 0 || hex.y != 0 ? static_cast<int32_t>(hex.cellIndex) : -1;
}

void ShowHexDistance(const World& world, Control* form, HexDistanceShown& shown, const HexPosition& from,
                     const HexPosition& to) {
  const int32_t a = RoleCell(from), b = RoleCell(to);
  if (a == shown.from && b == shown.to) return;
  shown = {a, b};
  Control* label = FormFindControlByTag(form, "DISTTEXT");
  Control* distance = FormFindControlByTag(form, "DISTANCE");
  const bool both = a >= 0 && b >= 0;
  SetHidden(label, !both);
  SetHidden(distance, !both);
  if (both && distance) ControlSetText(distance, HexDistanceText(world, PackedHexOf(from), PackedHexOf(to)).c_str());
}

void HexDistancePanel::BindControls() {
  DockInSecondBotbar2(*this);
  LabelProductTabs(currentForm);
  selectedHost = FormFindControlByTag(currentForm, "SPAR3");
  targetHost = FormFindControlByTag(currentForm, "CPAR3");
  selectedHex.mode = 1;
}

void HexDistancePanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void HexDistancePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  const GameState& state = world.gameState;
  const int32_t a = RoleCell(state.currentHex);
  const int32_t b = RoleCell(state.viewHex);
  bool hexShown = false;
  if (a > 0) hexShown |= ShowSide(a, true, selectedHex, selectedUnit, selectedHost);
  if (b > 0) hexShown |= ShowSide(b, b != a, targetHex, targetUnit, targetHost);
  SetHidden(FormFindControlByTag(currentForm, "NAMEHIDE"), !hexShown);
  FillHexDistanceParams(kCursorColumn, currentForm, b >= 0, b);
  ShowHexDistance(world, currentForm, distanceShown, state.currentHex, state.viewHex);
}
