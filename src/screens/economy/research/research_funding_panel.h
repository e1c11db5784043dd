#pragma once
// The research page of the military department (MILITARY1_ss03): the
// region's research figures and spending, its running projects with their
// queue buttons, the research LOCK and the way to the other research pages.
// Rows carry project ids only. Window thread.
#include <cstddef>
#include <cstdint>

#include "screens/common/list_page.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kResearchFundingTags[] = {
    "CURRENT", "MAX",       "EFF",    "SPENDAMNT", "LIST1",    "LOCK", "GRIDTECH", "TECHTREE",
    "RDOPTBUT", "RDTREEBUT", "TARGETRDBUT", "RETURNBUT", "QUEUE", "RDMISSILE", "HOLD", "UNPAUSE", "CANCEL"};

// The lock bit of the research funding in the military lock group.
inline constexpr uint32_t kLockResearchFunding = 0x200000;

// The region's research projects: how many its centres can run (the sites
// the day's census committed) and how many run, counted as the day counts
// them from the projects the lists show, so a project begun counts at once.
// The caller holds the simulation lock.
uint16_t ResearchMax(const PlayerRecord& region);
uint16_t ResearchCurrent(World& world, int32_t player);

// The yearly research spending the region's level buys: the level counts up
// to the square root of the region's research maximum.
float ResearchSpendingAmount(const PlayerRecord& region);

// The refresh of the screen docked at the level (1 to 3), when one is.
void RefreshDockedScreen(int32_t level);

// The research page when it is docked and the research pop-up when it is
// open show the projects and figures as they are now: after a project was
// begun, held or ended, and after a day, whose census counts them.
void RefreshShownResearchViews();

class ResearchFundingPanel : public Screen {
 public:
  ResearchFundingPanel() : Screen("MILITARY1_ss03", FormLookups{.tags = kResearchFundingTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;  // LIST1
};
