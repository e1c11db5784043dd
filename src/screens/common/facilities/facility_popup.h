#pragma once
// What the facility pop-ups (base, silo, launch site, depot) share: each
// opens on one of the local player's facilities, given by its unit id, and
// keeps the cell it stands on and the class the player sees there; each
// shows the facility's status or construction box in HIDEBOX and renames
// the facility in place (BASENAME, with RENBASEBUT). Window thread.
#include <cstdint>

#include "ui/screen.h"

class Control;
struct World;

// The cell a facility unit stands on (its column wrapped onto the map);
// false when it is off the map. Call under the simulation lock.
bool FacilityCell(const World& world, uint32_t unitId, uint32_t& cellIndex);

// The name field (BASENAME) takes the typing; RENBASEBUT hides meanwhile.
void StartBaseRename(Control* form);
// The end of an edit of BASENAME: an empty name puts the hex's label back
// and sends nothing; any other names the hex on the cell (cut to 47
// characters). RENBASEBUT shows again.
void RenameBaseOnEndEdit(Control* form, Control* control, uint32_t cellIndex);

class FacilityPopup : public Screen {
 public:
  using Screen::Screen;
  // An edit of the facility's name ends: the hex is renamed.
  void OnEndEdit(Control* control, int32_t id) override;

  uint32_t cellIndex = 0;
  int32_t shownClass = 0;  // 0 while the facility is hidden from the player
  Control* hideBox = nullptr;

 protected:
  // The cell of the facility the pop-up opened on (its id) and the class
  // shown there; false, with no class, when the unit is gone or off the
  // map. Call under the simulation lock.
  bool FindFacility(const World& world);
  // The same from the pop-up's opening, which also makes the facility the
  // current one of those it steps through. Takes the simulation lock.
  bool OpenStepping();
  // The status box in HIDEBOX: the construction panel while the facility is
  // being built, else its status panel.
  void ShowStatusBox(bool building);
};
