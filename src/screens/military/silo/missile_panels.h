#pragma once
// The panels the missile pop-up shows in its panel host: for a design the
// player may build, its price, time and quantity with where it may be built
// (the player's launch facilities for a silo-based design, the build sites
// otherwise); for a stock, the panel of its state; and the status of one
// launch facility. Window thread; reads of the world
// hold the simulation lock.
#include <memory>
#include <cstdint>
#include <string>

#include "screens/common/units/build_lists.h"
#include "screens/military/silo/missile_site_list.h"
#include "ui/screen.h"

class ListBoxControl;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// What building a missile design costs at the strength: its money and its
// goods at the region's goods price. The days are those of its work.
float MissileBuildPrice(const UnitClassRecord& cls, float strength, float goodsPrice);
int32_t MissileBuildDays(const UnitClassRecord& cls, float strength);

// The site list's selection shown in the form's STATPARENT: the launch
// facility's status (silo mode) or the build site's class row.
void ShowSiteSelection(Control* form, Control* list, intptr_t item, bool siloMode, Screen* statusPanel,
                       Screen* classRow);

// POPUP_MISSILE_SS3d: one launch facility (its unit id).
class MissileBaseStatusPanel : public Screen {
 public:
  explicit MissileBaseStatusPanel(const char* formName = "POPUP_MISSILE_SS3d");
  void Refresh() override;
  void BindControls() override;

  Control* picture = nullptr;  // BASEPIC
};

// POPUP_MISSILE_SS3: a missile design (its class index) to be built.
std::unique_ptr<Screen> MakeMissileBuildPanel();

// ---- the panels of a stock of missiles (its unit id) ----

// The deployment panel's platform-kind buttons (200 + kind) after the
// design's platform mask: kinds it cannot use are covered and lose their
// check, which moves to the lowest usable kind (0 with none usable); the
// kind is the first checked of 201..204, else 0.
struct DeployKinds {
  bool covered[5] = {};
  bool checked[5] = {};
  int32_t kind = 0;
};
DeployKinds ChooseDeployKinds(uint8_t platformMask, const bool (&checked)[5]);

// Where a stock's deploy order sends it, as TARGPLAT shows it, and the hex
// CENTRE2 goes to (0 none): on the facility list the ordered platform
// ("First Available" without one); on the platform list the ordered hex's
// map label (empty without one). Hold the simulation lock.
struct DeployTargetShown {
  std::string text;
  uint32_t hex = 0;
};
DeployTargetShown DeployTargetOf(const World& world, const UnitRecord& stock, bool platformList);

// The name of a launch facility carrying a stock: its hex's map label, else
// its position as "X:%03d Y:%03d". Hold the simulation lock.
std::string LaunchFacilityName(const World& world, const UnitRecord& facility);

// POPUP_MISSILE_SS3a: a stock being built, which may be cancelled.
class MissileCancelPanel : public Screen {
 public:
  MissileCancelPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* sites = nullptr;  // LIST5
  Control* statusHost = nullptr;    // STATPARENT
  bool siloMode = false;
};

// POPUP_MISSILE_SS3b: a built stock off the map, to be sent to a platform.
class MissileDeployPanel : public Screen {
 public:
  MissileDeployPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A platform's row opens its pop-up: the silo's, or the carrier's details.
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* sites = nullptr;  // the list over id 0x2000
  Control* infoHost = nullptr;      // MPARENT2
  Control* statusHost = nullptr;    // STATPARENT
  int32_t targetKind = 0;
  bool platformList = false;        // the list shows carriers, not launch facilities
  uint32_t deployTarget = 0;        // the hex CENTRE2 goes to, 0 none
};

// POPUP_MISSILE_SS3c: a stock on a carrier or on the map.
std::unique_ptr<Screen> MakeMissilePlatformPanel();

// POPUP_MISSILE_SS3e: a stock off the map that cannot deploy now.
std::unique_ptr<Screen> MakeMissileStatusPanel();
