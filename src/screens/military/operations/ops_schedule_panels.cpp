#include "screens/military/operations/ops_schedule_panels.h"

#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/side_panel.h"
#include "screens/military/department/department_text.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

constexpr int32_t kNotifyRightEdge = 99;
constexpr int32_t kClockText = 22;

// The side panel's indicators: control id and rule bit.
struct RuleIndicator {
  int32_t id;
  uint32_t bit;
};
constexpr RuleIndicator kIndicators[] = {{12, 0x2}, {14, 0x10}, {16, 0x4}};

}  // namespace

void FillOperationsSide(Control* form, uint32_t roeFlags) {
  if (!form) return;
  for (const char* tag : kOperationsSideTags) SetInt(Tag(form, tag), 0);
  for (const RuleIndicator& r : kIndicators)
    SetControlFlag(FormFindControlById(form, r.id), kStateSelected, (roeFlags & r.bit) ? 1 : 0);
}

void OpsScheduleListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("SCHLIST", 0, currentForm, kListIndicators, this);
}

void OpsScheduleListPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void OpsScheduleListPanel::Refresh() {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) FillRegionHeader(currentForm, g_world.players[local], id);
  }
  if (list) {
    const int32_t kept = list->selectedId;
    const int32_t scroll = list->scrollOffset;
    ListClear(list, 1);
    list->scrollOffset = scroll;
    ListLayoutRows(list);
    ListSetSelection(0, list, kept, 0);
  }
  const bool empty = !list || list->rowCount == 0;
  for (const char* tag : {"DELALL", "DELSCH"}) SetHidden(Tag(currentForm, tag), empty);
}

void OpsScheduleListPanel::OnControlChange(Control* control, int32_t id) {
  if (!control || control != list) return;
  for (const char* tag : {"DATEHDR", "SCHDATE", "DELONE"}) SetHidden(Tag(currentForm, tag), id == 0);
  SetHidden(Tag(currentForm, "CENTRE"), true);
}

namespace {

class OpsScheduleClockFill : public Screen {
 public:
  OpsScheduleClockFill() : Screen("OPS1_SS4cFILL", FormLookups{.tags = kOpsScheduleFillTags, .ids = kOpsScheduleFillIds}) {}
  void OnOpen() override {
    SetControlText(FormFindControlById(currentForm, kClockText), "");
    SetHidden(Tag(currentForm, "MILOPS"), false);
    SetHidden(Tag(currentForm, "INTELOPS"), true);
    SetHidden(Tag(currentForm, "SCHCLOCK"), true);
  }
  // The row stretches with its host: code 99 gives the new right edge.
  void OnHostNotify(int32_t code, int32_t value) override {
    if (code != kNotifyRightEdge || !currentForm) return;
    currentForm->rect.right = value;
    if (Control* clock = FormFindControlById(currentForm, kClockText)) clock->rect.right = value;
  }
};

class OperationsSidePanel : public SidePanel {
 public:
  OperationsSidePanel()
      : SidePanel("OPS2", FormLookups{.tags = kOperationsSideTags, .ids = kOperationsSideIds}, kPanelTop) {}
  void BindControls() override { MarkScreenFlag1(*this); }
  void Fill() override {
    uint32_t rules = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const int32_t local = g_world.gameState.localPlayer;
      if (local >= 0 && local < kMaxPlayers) rules = g_world.players[local].displayPolicy.roeFlags;
    }
    FillOperationsSide(currentForm, rules);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeOpsScheduleClockFill() { return std::make_unique<OpsScheduleClockFill>(); }
std::unique_ptr<Screen> MakeOperationsSidePanel() { return std::make_unique<OperationsSidePanel>(); }
