#include "screens/diplomacy/relations/war_declaration.h"

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
#include "world/player_names.h"
#include "world/world.h"

namespace {

void ShowCalendar(Control* host) {
  if (host) g_screens.diplomacySchedule[kWarCalendar].Show(0, host);
}

class WarDeclarationPanel : public Screen {
 public:
  WarDeclarationPanel() : Screen("DIPLOMACY1_SS2b", FormLookups{.tags = kWarDeclarationTags, .ids = {}}) {}
  void OnOpen() override {
    ShowCalendar(calendarHost);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    if (!currentForm) return;
    ShowRegionHeading(*this, HeadingRegion(id));
    ShowCalendar(calendarHost);
  }
  void BindControls() override {
    DockInSecondBotbar2(*this);
    calendarHost = Tag(*this, "CALPARENT");
  }
  void OnCommand(Control* control, int32_t) override {
    const bool declare = Is(control, "WARACCPBUT");
    if (!declare && !Is(control, "WARCANBUT")) return;
    if (declare) PostArgs(kCmdDeclareWar, RegionArgs{.region = static_cast<uint32_t>(HeadingRegion(id))});
    PutAnsweredQuestionAway(*this);
    g_screens.regionRelations->Show(kKeepScreenId, nullptr);
  }

  Control* calendarHost = nullptr;  // CALPARENT, null without one
};

}  // namespace

std::unique_ptr<Screen> MakeWarDeclarationPanel() { return std::make_unique<WarDeclarationPanel>(); }
