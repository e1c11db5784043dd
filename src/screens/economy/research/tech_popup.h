#pragma once
// The sheet of one technology or unit design (POPUP_TECH): its picture,
// level, price, research time, prerequisites, effects and opinion ratings,
// its status for the local player with the queue buttons, and a tree of its
// prerequisites or of what depends on it. The progress of one research
// project (POPUP_TECH_ss1) docks here and in the research pop-up. Window
// thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

struct TechRecord;

inline constexpr const char* kTechPopupTags[] = {
    "DESCRIPTION", "PAR1",   "CLASSPAR", "LIST1",   "GRIDTECH", "TECHPIC",  "UNITPIC", "UNITPICT",
    "TECHNAME",    "TECHLEV", "COST",    "DAYS",    "TECH1",    "TECH2",    "VIEWUNIT", "TECHCAT",
    "PRETECH",     "NEXTECH", "UNITECH", "STATUS",  "PENDREQ",  "CLOSE",    "BEGIN"};
inline constexpr int32_t kTechPopupIds[] = {10, 11, 12, 13, 14, 15, 16};
inline constexpr const char* kTechProgressTags[] = {"PROGBAR", "HIDECOMP", "STATUSSS1", "TURNS"};

inline constexpr uint32_t kUnknownItemColour = 0xFFC8C8C8;
// Project ids carry their player in the top byte, so none is below this.
inline constexpr intptr_t kFirstProjectId = 0x01000000;

// What the pop-up's parameter names: a technology (kind 1) or a design
// (kind 2) and the project it came from (0 for none); kind 0 for nothing.
struct TechItem {
  int32_t kind = 0;
  int32_t index = 0;
  uint32_t project = 0;
};
// A negative -c names design c, 0 up to the technology count a technology,
// a project id the project's item; anything else (a project gone) nothing.
// Under the simulation lock.
TechItem DecodeTechParameter(const World& world, intptr_t parameter);

// The "publicopinion" text of a rating (-10000 to 10000): 0 to 4.
int32_t OpinionIndex(int32_t rating);
// "<effect name> <signed value> %", empty for effect type 0.
std::string TechEffectLine(int32_t type, int32_t value);
// The sheet's description: the technology's text, its two opinions, its
// effects and what it is a prerequisite of.
std::string TechDescription(const TechRecord& tech);
// Research points of a design, shown as days: (group size x build time +
// 1) x the domain's factor.
float DesignResearchPoints(const UnitClassRecord& cls);

// One row of the tree list: the item's index, its name and whether the
// player lacks it.
struct TechTreeRow {
  int32_t index = 0;
  std::string name;
  bool unknown = false;
};
// The tree walks. Each lists an item once and visits it once, so shared
// prerequisites and loops in a bad table end.
std::vector<TechTreeRow> PrerequisiteRows(const World& world, int32_t player, int32_t index, int32_t kind);
std::vector<TechTreeRow> DependentTechRows(const World& world, int32_t player, int32_t tech);
std::vector<TechTreeRow> DependentDesignRows(const World& world, int32_t player, int32_t tech);

std::unique_ptr<Screen> MakeTechProgressPanel();

class TechPopup : public Screen {
 public:
  TechPopup() : Screen("POPUP_TECH", FormLookups{.tags = kTechPopupTags, .ids = kTechPopupIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnActivate(Control* control, int32_t row) override;

  TechItem item;
  // Names the technology's category or the design's role in "CLASSPAR".
  Screen* classRow = nullptr;
  ListBoxControl* tree = nullptr;
  TextBoxControl* description = nullptr;
};
