#include "screens/diplomacy/relations/surrender_confirm.h"

#include "net/command_network.h"
#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/diplomacy/dip_docking.h"
#include "screens/diplomacy/relations/region_heading.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/region_names.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "world/player_names.h"
#include "world/world.h"

namespace {

class SurrenderConfirmPanel : public Screen {
 public:
  SurrenderConfirmPanel() : Screen("DIPLOMACY1_SS2a1", FormLookups{.tags = kSurrenderConfirmTags, .ids = {}}) {}
  void OnOpen() override {
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    if (!currentForm) return;
    ShowRegionHeading(*this, HeadingRegion(id));
  }
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnCommand(Control* control, int32_t) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    ScreenSet& s = g_screens;
    const int32_t region = HeadingRegion(id);
    if (Is(control, "SUROK")) {
      // On a single machine the game pauses; the surrender itself is a
      // command on every machine, its simulation pass the turn thread's.
      if (!IsNetworkGame(g_commandNet)) SetGameSpeed(g_world.gameState, 0);
      PostArgs(kCmdSurrender, SurrenderArgs{.winner = static_cast<uint32_t>(region)});
      PutAnsweredQuestionAway(*this);
      s.regionRelations->Show(kKeepScreenId, nullptr);
    } else if (Is(control, "SURCAN")) {
      PutAnsweredQuestionAway(*this);
      s.alliancesPanel.Show(kKeepScreenId, nullptr);
    }
  }
};

}  // namespace

std::unique_ptr<Screen> MakeSurrenderConfirmPanel() { return std::make_unique<SurrenderConfirmPanel>(); }
