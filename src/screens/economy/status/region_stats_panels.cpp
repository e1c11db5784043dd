#include "screens/economy/status/region_stats_panels.h"

#include "records/player_record.h"
#include "screens/common/frame/full_side_panel.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "world/text/ui_options.h"
#include "world/world.h"

void RefreshRegionSidePanel(const Screen& screen) {
  if (!g_uiOptions.sidescreens) return;
  FillRegionStats(screen, true);
}

void RegionStatsPanel::BindControls() { DockInBotbar2(*this); }
void RegionStatsPanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }
void RegionStatsPanel::Refresh() { FillRegionStats(*this, false); }

int32_t RegionSummarySidePanel::AttachForm(Control*) { return AttachFullSidePanel(*this); }
void RegionSummarySidePanel::Refresh() { RefreshRegionSidePanel(*this); }

namespace {

class PolicyRegionSidePanel : public Screen {
 public:
  PolicyRegionSidePanel() : Screen("DOMPOLICY2", FormLookups{.tags = kRegionSideTags, .ids = {}}) {}
  int32_t AttachForm(Control*) override { return AttachFullSidePanel(*this); }
  // The region's totals are recomputed first.
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) RecalcPlayerTotals(g_world, g_world.players[local], 0);
  }
  void Refresh() override { RefreshRegionSidePanel(*this); }
};

}  // namespace

std::unique_ptr<Screen> MakePolicyRegionSidePanel() { return std::make_unique<PolicyRegionSidePanel>(); }
