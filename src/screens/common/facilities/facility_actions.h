#pragma once
// The facility actions for any form that holds their controls (the main
// screen's facility actions panel, the base and facility pop-ups of the
// economy and military departments): cancel, pause and resume construction,
// scrap, destroy, activate, deactivate, raise capacity, upgrade, set a rally
// point, rename the hex and go to it. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// The controls an update shows or hides, in the order it hides them.
inline constexpr const char* kFacilityActionTags[] = {
    "CANCON",  "PAUSE",     "RESUME",   "SCRAP",   "DESTROY", "ACTIVATE", "DEACTIVATE", "INSRESBASE", "UPCAP",
    "UPGBUT",  "RALLYBUT",  "RALLYPARENT", "NAMEBUT", "GOTOBUT", "GRIDDES", "GRIDNOUPG",  "GRIDNOTEM"};
// The note look: a translucent fill that brightens, outlined in green,
// under the pointer.
inline constexpr uint32_t kNoteFillAlpha = 0x8C;
inline constexpr uint32_t kNoteFocusOutline = 0xFF007D00;

// Shows the form's action controls that fit the facility on the cell (an
// index into the world's cells; kNoCellIndex or a foreign hex hides them
// all). Takes the simulation lock.
void UpdateFacilityActionButtons(Control* form, uint32_t cellIndex);
// Carries out the clicked action for the facility on the cell: posts its
// command, or shows the confirm box, upgrade screen or capacity screen in
// the host control when the caller has one. Refreshes the form's screen and
// the panel docked at the second level afterwards.
void OnFacilityActionCommand(Control* form, Control* control, int32_t id, uint32_t cellIndex, Control* host,
                             Screen* confirmBox, Screen* upgradeScreen, Screen* capacityScreen);
