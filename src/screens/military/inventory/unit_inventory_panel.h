#pragma once
// The military department's page of stored weapons (MILITARY1_ss4): the
// local player's stock units held in reserve, with the player's stock
// capacity, and the buttons that open the panels which deploy, load, sell
// or scrap them and the build list. Docked in the first bottom bar. Rows
// keep unit ids. Window thread; walks of the world hold the simulation lock.
#include <cstdint>

#include "ui/screen.h"

class ListBoxControl;

// The class sheet the page shows its selected unit's class in.
inline constexpr size_t kInventoryClassSheet = 1;

class UnitInventoryPanel : public Screen {
 public:
  UnitInventoryPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* storedList = nullptr;  // STOREDLIST
  Control* container = nullptr;          // STATPARENT
  uint32_t lastHanded = 0;               // the unit the platform panel was last opened on
};
