#pragma once
// The selected unit's tab panels at the third level of the dock: the summary
// with its detail part (4A), the status with its strength part (4B) and the
// class sheet with its ability icons (4D). Each holds its unit by id and
// looks it up under the simulation lock whenever it refreshes.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/units/strength_rows.h"
#include "ui/screen.h"

inline constexpr const char* kUnitSummaryTags[] = {"GRIDPAR", "SUBPARENT2"};
inline constexpr const char* kUnitDetailTags[] = {"CLASS",  "UEXP",   "UCREW",   "ANNCOST",  "EXPSLDR", "LOCATION", "STANCE",
                                                  "ALERT",  "MORALE", "CWEIGHT", "SUBPAR01", "LIST1",   "CLASSPAR"};
inline constexpr const char* kUnitStatusTags[] = {"PAR4B1"};
inline constexpr int32_t kUnitStrengthIds[] = {154, 155, 156, 157, 254, 255, 256, 257,
                                               355, 356, 954, 955, 956, 957, 900};
inline constexpr const char* kUnitExtraTags[] = {"PAR4D1"};
inline constexpr int32_t kUnitExtraFillIds[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                                15, 16, 17, 18, 19, 20, 30, 31, 32, 33, 34, 35, 36, 37};

// The detail part (MAP1_SS4A1, and POPUP_MILITARY1A9 in the unit pop-up):
// the unit's class, experience, crew, annual cost, place, stance, initiative
// levels, weight and status lines, its class row in CLASSPAR and, for a
// carrier that is not itself aboard something, its cargo in SUBPAR01.
class UnitDetailPanel : public Screen {
 public:
  explicit UnitDetailPanel(const char* formName = "MAP1_SS4A1")
      : Screen(formName, FormLookups{.tags = kUnitDetailTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;

  ListBoxControl* statusList = nullptr;
  // The screens shown inside the part, given by the screen set: the class
  // row (its id the military-class number) and the cargo panel (its id the
  // unit). Either may be missing.
  Screen* classRow = nullptr;
  Screen* cargoPart = nullptr;

 private:
  Control* classParent_ = nullptr;
  Control* cargoParent_ = nullptr;
};

// Tab 4A (MAP1_SS4A): the unit's command grid in GRIDPAR and the detail
// part in SUBPARENT2, where the panels the grid opens show in its place.
class UnitSummaryPanel : public Screen {
 public:
  explicit UnitSummaryPanel(UnitDetailPanel& detail)
      : Screen("MAP1_SS4A", FormLookups{.tags = kUnitSummaryTags, .ids = {}}), detail_(detail) {}
  void BindControls() override;
  void OnOpen() override;
  // Shows the detail part again only when the unit changed; fills the
  // command grid every time.
  void Refresh() override;
  // Every press on the grid: its sub-panels open in SUBPARENT2.
  void OnCommand(Control* control, int32_t id) override;

  // The command grid shown in GRIDPAR, given by the screen set.
  Screen* grid = nullptr;

 private:
  // The grid's own form: the ids of its buttons recur in the panels the
  // details hold, so they are looked up there only.
  Control* GridForm() const { return grid ? grid->currentForm : nullptr; }
  UnitDetailPanel& detail_;
  Control* gridParent_ = nullptr;
  Control* subParent_ = nullptr;
  intptr_t shownUnit_ = -1;
};

// The strength part (MAP1_SS4B1, and POPUP_MILITARY3A in the unit pop-up):
// condition, load, supplies and rating, as bars or as numbers after the
// player's choice.
class UnitStrengthPanel : public Screen {
 public:
  explicit UnitStrengthPanel(const char* formName = "MAP1_SS4B1")
      : Screen(formName, FormLookups{.tags = {}, .ids = kUnitStrengthIds}) {}
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};

// Tab 4B (MAP1_SS4B): shows the strength part in PAR4B1 for units the
// player may look into.
class UnitStatusPanel : public Screen {
 public:
  explicit UnitStatusPanel(UnitStrengthPanel& strength)
      : Screen("MAP1_SS4B", FormLookups{.tags = kUnitStatusTags, .ids = {}}), strength_(strength) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

 private:
  UnitStrengthPanel& strength_;
  Control* part_ = nullptr;
};

// Whether the screen's form hangs in the third dock level, where the tabs
// open; embedded in another screen it leaves the dock alone.
bool DockedAtThirdLevel(const Screen& screen);

// The ability icons of a class (MAP1_SS4D1, and POPUP_MILITARY3C and 3C2 in
// the unit pop-ups); its id is the class index.
class UnitExtraFill : public Screen {
 public:
  explicit UnitExtraFill(const char* formName = "MAP1_SS4D1")
      : Screen(formName, FormLookups{.tags = {}, .ids = kUnitExtraFillIds}) {}
  void Refresh() override;
};

// Tab 4D (MAP1_SS4D): shows the icons of the unit's class in PAR4D1.
class UnitExtraPanel : public Screen {
 public:
  explicit UnitExtraPanel(UnitExtraFill& fill)
      : Screen("MAP1_SS4D", FormLookups{.tags = kUnitExtraTags, .ids = {}}), fill_(fill) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;

 private:
  UnitExtraFill& fill_;
  Control* part_ = nullptr;
};
