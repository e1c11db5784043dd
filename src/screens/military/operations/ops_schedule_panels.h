#pragma once
// The scheduled operations against one foreign region (OPS1_SS4c), three
// deep, with its row form (OPS1_SS4cFILL); and the operations department's
// side panel (OPS2): the intelligence counters and three rule indicators.
// No operations are scheduled anywhere in the game: the list stays empty,
// the counters read 0 and nothing here posts.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
class ListBoxControl;

inline constexpr const char* kOpsScheduleTags[] = {"REGION",  "FLAG",  "STATUS", "SCHLIST", "DELALL", "DELSCH",
                                                   "DATEHDR", "SCHDATE", "DELONE", "CENTRE"};
inline constexpr const char* kOpsScheduleFillTags[] = {"MILOPS", "INTELOPS", "SCHCLOCK"};
inline constexpr int32_t kOpsScheduleFillIds[] = {22};
inline constexpr const char* kOperationsSideTags[] = {"INTRES", "TACTIVE", "TPENDING"};
inline constexpr int32_t kOperationsSideIds[] = {12, 14, 16};

// The side panel's figures from the rule word: the indicators of tactical
// nuclear use, scorched earth and tactical chemical use.
void FillOperationsSide(Control* form, uint32_t roeFlags);

class OpsScheduleListPanel : public Screen {
 public:
  OpsScheduleListPanel() : Screen("OPS1_SS4c", FormLookups{.tags = kOpsScheduleTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
};

std::unique_ptr<Screen> MakeOpsScheduleClockFill();

std::unique_ptr<Screen> MakeOperationsSidePanel();
