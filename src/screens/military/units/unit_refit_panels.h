#pragma once
// The unit detail pop-up's refit group: whether the unit's class may be
// upgraded along its chain of successors, refitted or given other shells
// (POPUP_MILITARY1A6), and the three small panels it opens in its own area:
// the upgrade preview (POPUP_MILITARY1A5), the role (POPUP_MILITARY1A6B) and
// the shells (POPUP_MILITARY1A6C). They inform only: nothing is posted.
// Window thread; the fills hold the simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
struct World;

// Whether the player (-1: none) could build the class as the refit panels
// judge it; without a player the region, availability and age tests are
// left out.
bool RefitClassBuildable(const World& world, int32_t classIndex, int32_t player);
// The class the upgrade preview shows for a unit of the class: the farthest
// class of its chain of successors that the player has, else the farthest
// it has or could build; 0 for none.
int32_t RefitUpgradeClass(const World& world, int32_t classIndex, int32_t player);

class UnitRefitPanel : public Screen {
 public:
  UnitRefitPanel();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  uint32_t unit = 0;
  int32_t upgradeClass = 0;
  Control* panelHost = nullptr;  // PAR1
};

// Its id is a class index.
std::unique_ptr<Screen> MakeUnitUpgradePanel();

std::unique_ptr<Screen> MakeUnitRefitChoicePanel();

std::unique_ptr<Screen> MakeUnitChemicalPanel();
