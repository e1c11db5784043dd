#pragma once
// The launch site (POPUP_LAUNCH1) and depot (POPUP_DEPOT1) pop-ups, each on
// one of the local player's facilities of its kind and stepping through the
// others; and the renaming in place that they share with the base pop-up.
// Window thread.
#include <cstdint>

#include "ui/screen.h"

class Control;

// The name field (BASENAME) takes the typing; RENBASEBUT hides meanwhile.
void StartBaseRename(Control* form);
// The end of an edit of BASENAME: an empty name puts the hex's label back
// and sends nothing; any other names the hex on the cell (cut to 47
// characters). RENBASEBUT shows again.
void RenameBaseOnEndEdit(Control* form, Control* control, uint32_t cellIndex);

class LaunchSitePopup : public Screen {
 public:
  LaunchSitePopup() : Screen("POPUP_LAUNCH1", FormLookups{.tags = kTags, .ids = kIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  uint32_t cellIndex = 0;
  int32_t shownClass = 0;
  int32_t satelliteType = 0;  // 0 to 2
  Control* hideBox = nullptr;
  Control* subParent3 = nullptr;
  Control* satParent2 = nullptr;  // the satellites panel

 private:
  static constexpr const char* kTags[] = {"BASENAME", "REGION",     "HIDEBOX",    "SUBPARENT3", "SATPARENT2",
                                          "LAUNCH",   "SATTYPE",    "LAUNCHCOST", "RENBASEBUT", "CLOSEBUT"};
  static constexpr int32_t kIds[] = {20, 21, 22};
};

class DepotPopup : public Screen {
 public:
  DepotPopup() : Screen("POPUP_DEPOT1", FormLookups{.tags = kTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnEndEdit(Control* control, int32_t id) override;

  uint32_t cellIndex = 0;
  int32_t shownClass = 0;
  Control* hideBox = nullptr;
  Control* parent2 = nullptr;
  Control* parBase2 = nullptr;
  Control* parBase3 = nullptr;

 private:
  static constexpr const char* kTags[] = {"BASENAME", "REGION",   "HIDEBOX",    "PARENT2", "PARBASE2",
                                          "PARBASE3", "RENBASEBUT", "CLOSEBUT"};
};
