#pragma once
// The research centre panel (MAP1_ss7) for the selected hex: the
// facility's head, the region's research efficiency and its research items,
// with buttons to the research pop-up and the military department's
// research pages, and a tech's own pop-up from the list. Posts nothing.
// Window thread; the figures are read under the simulation lock.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kResearchCentreTags[] = {"BASENAME",    "NOTE",  "CONDITION", "EFF",      "LIST1",
                                                      "TECHPOPUP",   "TARGETRDBUT", "QUEUE", "RDMISSILE"};
inline constexpr int32_t kResearchCentreIds[] = {10};

// One row of the research list: the item's name and what a row press opens
// (a technology's index, 0 for none).
struct ResearchRow {
  std::string text;
  intptr_t value = 0;
};
// The player's research items the centre lists: those of any kind that
// are pursued (display copy) and still count. Call under the simulation lock.
std::vector<ResearchRow> ResearchCentreRows(World& world, int32_t player);

class ResearchCentrePanel : public Screen {
 public:
  ResearchCentrePanel();
  // Docks at the second level and puts a list in LIST1's place.
  void BindControls() override;
  // Opens the dock two deep.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
};
