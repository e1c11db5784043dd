#pragma once
// The map screen (MAP1): the selected hex's name, owner and loyalty over a
// close-up of the map around it, with the buttons that open the hex's side
// panels in the dock (build list, facility, units, terrain), and the choice
// of the panel that opens by itself. The plain map screen shows the same
// header for a hex picked in a list, with its caller's buttons. Window
// thread.
#include <memory>
#include <cstdint>

#include "screens/common/frame/main_layout.h"
#include "screens/common/screen_types_fwd.h"
#include "screens/main/panels/facility_actions_panel.h"
#include "screens/main/panels/facility_sub_panels.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/main/panels/map_filter_panel.h"
#include "screens/main/panels/map_side_panels.h"
#include "screens/main/panels/production_panels.h"
#include "screens/main/panels/unit_panel.h"
#include "ui/screen.h"

// The tab buttons' ids; the pressed one decides the automatic side panel.
inline constexpr int32_t kMapTabBuild = 1;
inline constexpr int32_t kMapTabUnits = 2;
inline constexpr int32_t kMapTabFacility = 3;
inline constexpr int32_t kMapTabTerrain = 4;

// Colours of the hex's name: a named hex, and the position of one without.
inline constexpr uint32_t kHexNameColour = 0xFFFFFF64;
inline constexpr uint32_t kHexPositionColour = 0xFFC8C8C8;
// At most this many characters of a hex's name show.
inline constexpr size_t kHexNameMax = 47;

inline constexpr const char* kMapScreenTags[] = {"FLAG",      "LFLAG",   "HEXNAME",   "HEXPIC",
                                                 "PARENT1",   "HIDEBOX", "UPGRADEBUT", "UGINFOBUT",
                                                 "UNITBUT",   "TERRAINBUT", "NAMEBUT"};
inline constexpr const char* kPlainMapScreenTags[] = {"FLAG", "LFLAG", "HEXNAME", "HEXPIC", "HIDEBOX", "BUTPARENT"};
inline constexpr int32_t kMapScreenIds[] = {kMapTabBuild, kMapTabUnits, kMapTabFacility, kMapTabTerrain};

// What the two map screens share: the header and the close-up.
class MapHeaderScreen : public Screen {
 public:
  using Screen::Screen;
  void BindControls() override;
  // Draws the close-up of the map into HEXPIC.
  void OnDrawControl(Control* control, int32_t id) override;

  int32_t selectedTab = 0;
  Control* ownerRow = nullptr;
  Control* loyaltyRow = nullptr;
  Control* nameText = nullptr;
  Control* mapPicture = nullptr;
  Control* parentBox = nullptr;

 protected:
  // Records the highest pressed tab button, when one is pressed; the tab
  // `ignored` does not count.
  void RecordSelectedTab(int32_t ignored = 0);
  // The name, owner and loyalty of the selected hex; false (and the three
  // hidden) without one.
  bool FillHeader();
  Control* Find(const char* tag) const;
};

class MapScreen : public MapHeaderScreen {
 public:
  MapScreen();
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  // Opens the panel the pressed tab asks for, or the one the hex's contents
  // suggest; the same panel again is refreshed, not reopened.
  void ChooseAutoSidePanel(int32_t reset);
  // The facility's own panel when it is the local player's base, research
  // centre, silo or launch site, else the settlement panel.
  void ShowFacilitySidePanel();
  // The facility panel the selected hex calls for (null without a cell).
  Screen* FacilityPanelForSelectedHex();
  // A facility panel docked for another hex gives way to the one this hex
  // calls for.
  void FollowSelectedHex();

  // The side panels in the order they are built, each followed by its own
  // sub-panels; a sub-panel whose code has not come yet only holds its form.
  BuildListPanel buildList;
  FacilityUpgradePanel facilityUpgrade;
  SettlementPanel settlement;  // with its nine pages
  UnitPanel units;
  HexInfoPanel hexInfo;  // MAP1_ss5, with its comparison panel MAP1_ss5a
  BasePanel base;
  FacilityActionsPanel facilityActions;  // MAP1_ss6a
  FacilityConfirmBox facilityConfirm;  // MAP1_ss6b
  RallyPointPanel rallyPointPanel;  // MAP1_ss6c
  ReserveForcePanel reserveForce;  // MAP1_ss6e
  AutoProductionPanel autoProduction;  // MAP1_ss6d
  BaseProductionPanel baseProduction;  // MAP1_ss6f
  ResearchCentrePanel researchCentre;
  // The silo's side panel and its sub-panels live with the rest of the
  // silo; the screen set holds them beside this screen.
  LaunchSitePanel launchSite;
  SatelliteLaunchPanel satelliteLaunch;  // MAP1_ss9a
  SatelliteBuildPanel satelliteBuild;  // MAP1_ss9a1
  MapFilterPanel filter;
  Screen* currentSidePanel = nullptr;
  // The tab the automatic choice pressed last (0 once the player pressed
  // one): it shows the open panel but is not the player's choice, or one
  // empty hex would keep the terrain panel for every hex after it.
  int32_t autoTab = 0;

  // A stopped game's panel, tabs and pressed tab button go with it: the
  // form lives on into the next game, whose first hex would otherwise
  // open the panel of the tab pressed last.
  void ForgetGame();
};

// The map screen for a hex picked in a facility list; shown with the screen
// of its buttons, which it hangs in BUTPARENT.
std::unique_ptr<Screen> MakePlainMapScreen();

// The selected hex's visible facility class (0 for none): the lead unit
// when the hex is the local player's or the lead is not concealed. Call
// under the simulation lock.
int32_t SelectedHexFacilityClass();
// The selected hex's units the local player's side may see. Call under the
// simulation lock.
int32_t SelectedHexVisibleUnits();

