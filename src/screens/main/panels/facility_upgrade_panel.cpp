#include "screens/main/panels/facility_upgrade_panel.h"

#include <cstring>
#include <string>

#include "app/duration_text.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/common/figure_text.h"
#include "screens/common/hex_cell_lookup.h"
#include "screens/common/product_period.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/local_player.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kFullLevel = 250.0f;

}  // namespace

void FacilityUpgradePanel::BindControls() { DockInSecondBotbar2(*this); }

void FacilityUpgradePanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void FacilityUpgradePanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  auto tagged = [f](const char* tag) { return FormFindControlByTag(f, tag); };
  const auto classIndex = static_cast<int32_t>(id);
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return;
  const uint32_t flags = cls->flags;
  DrawUnitClassIcon(classIndex, nullptr, cls, tagged("INDICON"), true, -1);
  ControlSetText(tagged("UPGRADE"), std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str());
  Control* time = tagged("TIME");
  SetControlFlag(time, kStateSelected, 0);
  SetHidden(tagged("HIDEBOX1"), !(flags & kClassProduction));
  SetHidden(tagged("HIDEBOX2"), (flags & kClassRoad) != 0);
  SetHidden(tagged("SYNTH"), !(flags & kClassFullAvailability));

  const HexCell* cell = CellAtPosition(world, world.gameState.viewHex);
  const BuildPreview p = PreviewBuild(world, classIndex, cell);
  SetPercentText(tagged("FACTSTR"), p.eff * 100.0f);
  SetAmountText(tagged("COST"), p.cost, 1, 0);
  SetAmountText(tagged("FOUNDATION"), p.foundation, 1, 0);
  if (!cell) {
    ControlSetText(time, FormatDuration(p.days).c_str());
    ControlSetText(tagged("SUPPLY"), "N/A");
    SetHidden(tagged("HEXCAP"), true);
    SetHidden(tagged("INVBUILD"), false);
    SetHidden(tagged("HIDEBOX2"), true);
  } else {
    if (p.supplied) {
      ControlSetText(time, FormatDuration(p.days).c_str());
    } else {
      ControlSetText(time, "No Supply");
      SetControlFlag(time, kStateSelected, 1);
    }
    SetPercentText(tagged("SUPPLY"), p.level / kFullLevel * 100.0f);
    Control* capacity = tagged("HEXCAP");
    SetHidden(capacity, false);
    SetAmountText(capacity, p.output / ProductPeriodDivisor(), 0, 2);
    SetHidden(tagged("INVBUILD"), !p.refused);
    SetHidden(tagged("HIDEBOX2"), p.refused || (flags & kClassRoad));
  }

  const PlayerRecord* localRecord = LocalPlayer(world);
  if (!localRecord) return;
  const PlayerRecord& local = *localRecord;
  SetAmountText(FormFindControlById(f, 1), local.treasury, 1, 0);
  SetHidden(tagged("SHORTBOX2"), !(local.turnUnpaidBuildCost > 0.0f));
  SetAmountText(tagged("SHORTAGE2"), local.turnUnpaidBuildCost, 1, 0);
  Control* period = tagged("ANNDAYBUT");
  SetControlFlag(period, kStateSelected, g_uiOptions.dayannual);
  SetHidden(period, !(flags & kClassProduction));
  SetControlFlag(tagged("MAXOUT"), kStateSelected, g_uiOptions.dayannual);
  SetControlFlag(tagged("CONFIRMBUT"), kStateSelected, g_mapPlacement.placementConfirm);
  SetControlFlag(tagged("REPEATBUT"), kStateSelected, g_mapPlacement.placementRepeat);
}

void FacilityUpgradePanel::OnCommand(Control* control, int32_t) {
  const int32_t pressed = control && control->Selected() ? 1 : 0;
  if (!control) {
    return;
  } else if (ControlTagMatches(control->tag, "ANNDAYBUT")) {
    SetProductPeriod(pressed != 0);
    Refresh();
  } else if (ControlTagMatches(control->tag, "CONFIRMBUT")) {
    g_mapPlacement.placementConfirm = pressed;
  } else if (ControlTagMatches(control->tag, "REPEATBUT")) {
    g_mapPlacement.placementRepeat = pressed;
  }
}
