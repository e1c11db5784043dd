#pragma once
// The inventory's docked panels in the second bottom bar: the platforms
// for one stored weapon (MILITARY1_ss4b), a platform's cargo with the load
// buttons for the stored units chosen in the inventory (MILITARY1_ss4c),
// and the confirmation of deploying every stored unit (MILITARY1_ss4d).
// Units are kept by id. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class ListBoxControl;

class MissileSiloPanel : public Screen {
 public:
  MissileSiloPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  uint32_t missile = 0;
  ListBoxControl* platforms = nullptr;  // LIST5
  int32_t siloMode = 0;
  Control* container = nullptr;  // MPARENT2: the offer panels show here
  uint32_t platform = 0;         // the platform picked last
};

std::unique_ptr<Screen> MakeMissileLoadPanel();

std::unique_ptr<Screen> MakeDeployAllConfirm();
