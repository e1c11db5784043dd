#pragma once
// The unit build pop-up (POPUP_MILITARY2): one design shown to the local
// player with what may be done with it now: built at one of the player's
// bases when it is available, its research followed or begun when it is
// not. Opened with a class index and, usually, the class indices to step
// through. Its three panels are screen-set members beside it (the second
// research panel serves the missile pop-up); its sheet, statistics and extra
// panels are the unit detail pop-up's, borrowed. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>

#include "screens/common/units/build_lists.h"
#include "ui/screen.h"

class ListBoxControl;
struct ProjectEntry;
struct UnitClassRecord;
struct World;

// The design-row bit of a design that may be built.
inline constexpr uint8_t kDesignAvailable = 0x01;

// Which panel the pop-up's panel host shows for a class.
enum class DesignPanel { kNone, kBuildSite, kResearch };

// A design not yet available that the player may research: named, not a
// facility, not out of use while in game, within the player's technology
// levels and regions, not already available or under research, and not
// barred from research. Without a player (below 0) only the class's own
// tests apply.
bool DesignResearchable(const World& world, int32_t player, int32_t classIndex);
// The panel for the class: the build site for an available design, research
// for one under research or researchable, else none.
DesignPanel ChooseDesignPanel(const World& world, int32_t player, int32_t classIndex);

// The player's design project for the class, or null. Hold the projects lock.
const ProjectEntry* FindDesignProject(const World& world, int32_t player, int32_t classIndex);
// Whether the player's design row of the class has a research project open
// (false without a player).
bool DesignUnderResearch(const World& world, int32_t player, int32_t classIndex);
// The id of the player's design project for the class, 0 without one, for
// the research progress panel. Takes the projects lock; call under the
// simulation lock.
uint32_t DesignProjectId(World& world, int32_t player, int32_t classIndex);


// POPUP_MILITARY2a: the player's production bases that may build the class.
class UnitBuildSitePanel : public Screen {
 public:
  UnitBuildSitePanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  BuildListState state;
  ListBoxControl* sites = nullptr;  // LIST5, rows are base unit ids
  Control* picture = nullptr;       // BASEPIC
};

// POPUP_MILITARY2b: the favourite and filtered toggles of the design. Its
// id is the class index.
class UnitBuildFilterPanel : public Screen {
 public:
  UnitBuildFilterPanel();
  void OnOpen() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};

// POPUP_MILITARY2d: a design's research: its cost and time, prerequisites,
// project and BEGIN. Its id is the class index. Also the missile pop-up's.
class UnitResearchPanel : public Screen {
 public:
  explicit UnitResearchPanel(const char* formName = "POPUP_MILITARY2d");
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* projects = nullptr;  // LIST1, rows are class indices
  uint32_t projectId = 0;              // the design's project, 0 none

 private:
  void RefreshOwners();
};

class UnitBuildPopup : public Screen {
 public:
  UnitBuildPopup();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t classIndex = 0;
  Control* sheetHost = nullptr;    // SUBPARENT2
  Control* statsHost = nullptr;    // SUBPARENT3
  Control* panelHost = nullptr;    // SUBPARENT4
  Control* filterHost = nullptr;   // SUBPARENT4B
  Control* projectHost = nullptr;  // SUBPARENT5
  Control* extraHost = nullptr;    // PAR3C
  Screen* shownPanel = nullptr;    // the panel in the panel host, none after every open
};
