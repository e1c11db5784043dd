#pragma once
// The military department's store page (MILITARY1_ss1a2): the local
// player's stored (undeployed) units, everywhere (id 0) or on the selected
// hex (any other id), and for the current one its status, its place and
// the shared production list's buttons to deploy, sell or scrap it. Docks
// at the third level. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>

#include "ui/screen.h"
#include "world/list_holder.h"

class ListBoxControl;

inline constexpr const char* kStoredUnitsTags[] = {"STOREDLIST", "PARSS1A2A", "HEADER", "STATUS",  "BASENAME",
                                                   "ALL",        "DEPLOY",    "SELL",   "INSRES",  "INSRESALL",
                                                   "BASEHIDE",   "CENTRE",    "BUTHIDE", "HIDEBOX2", "BACK",
                                                   "UNITORDER"};

class StoredUnitsPanel : public Screen {
 public:
  StoredUnitsPanel() : Screen("MILITARY1_ss1a2", FormLookups{.tags = kStoredUnitsTags, .ids = {}}) {}
  ~StoredUnitsPanel() override;
  void BindControls() override;
  // Starts at the top of the list, with no unit current.
  void OnOpen() override;
  // Collects the stored units anew and shows the current one.
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // A double click on a unit opens the unit pop-up, stepping through the
  // units listed.
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
  Control* confirmParent = nullptr;  // PARSS1A2A
  ListHolder units{};                // the units listed, by reference
  ScreenParameterList popupUnits;    // their ids, for the unit pop-up
};

// Shows the list's current unit: its picture, status and place, and the
// buttons that act on it; with no unit every button is hidden.
void FillUndeployedUnitRow(StoredUnitsPanel& panel);
