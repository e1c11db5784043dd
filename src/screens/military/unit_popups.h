#pragma once
// The unit pop-ups the hotkeys and the map open: the unit list
// (POPUP_ULIST1), one unit's detail (POPUP_MILITARY1, opened with a unit id
// and the ids to page through), the missiles (POPUP_MISSILE1), and the base,
// depot, silo and launch-site pop-ups. Units travel as ids: the turn thread may
// free a unit while its pop-up is open. Their pages come with the military
// screens.
#include "screens/military/unit_cargo_panels.h"
#include "screens/military/unit_detail_panels.h"
#include "screens/military/unit_detail_popup.h"
#include "screens/military/unit_list_popup.h"
#include "screens/military/unit_refit_panels.h"
#include "ui/screen.h"

class MissilePopup : public Screen {
 public:
  MissilePopup() : Screen("POPUP_MISSILE1") {}
};

class SiloPopup : public Screen {
 public:
  SiloPopup() : Screen("POPUP_SILO1") {}
};

class LaunchSitePopup : public Screen {
 public:
  LaunchSitePopup() : Screen("POPUP_LAUNCH1") {}
};

class BasePopup : public Screen {
 public:
  BasePopup() : Screen("POPUP_BASE1") {}
  void OnOpen() override;  // shows the build list (POPUP_BASE1f) in SUBPARENT4
};

// The depots (store facilities) stepped through like the bases.
class DepotPopup : public Screen {
 public:
  DepotPopup() : Screen("POPUP_DEPOT1") {}
};
