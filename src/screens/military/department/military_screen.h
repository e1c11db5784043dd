#pragma once
// The military department's first page (MILITARY1): a read-only summary of
// the local region's forces, with the unit summary and missile stock
// pop-ups; and the row of department buttons inside it (MILITARY1B) that
// opens the department's other pages. Neither posts a command.
#include <cstdint>

#include "ui/screen.h"

class Control;
struct MilitaryFigures;

inline constexpr const char* kMilitaryScreenTags[] = {
    "BUTPARENT", "TECHLEV", "TECHRANK", "DEFCON", "CURDESC", "BUILD",  "EFFPLUS", "DEFCONSLDR", "BUILDSTATUS",
    "EFF",       "MOR",     "ALVL",     "KILLS",  "LOSSES",  "ACTFORCE", "RESFORCE", "SUMMARY",  "MISPOPUP"};

class MilitaryScreen : public Screen {
 public:
  MilitaryScreen() : Screen("MILITARY1", FormLookups{.tags = kMilitaryScreenTags, .ids = {}}) {}
  // Docks the page as department 3; the result becomes the id.
  int32_t AttachForm(Control* host) override;
  void BindControls() override;
  // Shows the department buttons in BUTPARENT and fills both side panels.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* buttonParent = nullptr;  // BUTPARENT
};

inline constexpr const char* kMilitaryLinkTags[] = {"BASEPIC", "BASEBUT", "CABINET"};
inline constexpr int32_t kMilitaryLinkIds[] = {2, 3, 4, 5, 6};
// The cabinet post whose priorities CABINET shows.
inline constexpr int32_t kMilitaryCabinetPost = 1;

class MilitaryCabinetLink : public Screen {
 public:
  MilitaryCabinetLink() : Screen("MILITARY1B", FormLookups{.tags = kMilitaryLinkTags, .ids = kMilitaryLinkIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* basePicture = nullptr;  // BASEPIC
};

// The alert value the page shows: the stored value held to 0-4, since a
// settings file may store 5.
int32_t ShownAlertValue(int32_t defcon);
// Fills the summary's controls from the figures; absent controls are
// skipped.
void FillMilitarySummary(Control* form, const MilitaryFigures& figures);
