#pragma once
// The unit list pop-up (POPUP_ULIST1): the local player's own units of one
// list category (land, air, sea, submarine) in one of three modes (active,
// in reserve, under construction), sorted by class type and class. A row
// picked shows its orders panel (POPUP_ULIST1c) and the unit's group
// buttons; the rows are POPUP_ULIST1a (units) and POPUP_ULIST1b (units
// being built), whose automatic options POPUP_ULIST1d switches. Units
// travel as ids. Window thread; walks of the world hold the simulation lock.
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/screen.h"

class OrdersUnitSummary;

class Control;
class ListBoxControl;
struct UnitRecord;
struct World;

// The units the list shows in its order: own (with a local player), not
// removed, neither facilities nor stock classes, of the category and mode.
// Call under the simulation lock.
std::vector<uint32_t> UnitListUnits(const World& world, int32_t category, int32_t mode);

class UnitListRow : public Screen {
 public:
  explicit UnitListRow(const char* formName = "POPUP_ULIST1a") : Screen(formName) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;

 protected:
  Control* classHost_ = nullptr;
  Control* nameText_ = nullptr;
};

std::unique_ptr<Screen> MakeUnitListBuildRow();

// Its id is the unit being built.
std::unique_ptr<Screen> MakeUnitListProductionPanel();

class UnitListOrdersPanel : public Screen {
 public:
  UnitListOrdersPanel() : Screen("POPUP_ULIST1c") {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  uint32_t unit = 0;  // the unit last shown
  int32_t page = 0;   // which map unit panel (0-3)

 private:
  // Shows the map unit panel of the page in the pop-up's DETAILS2.
  void ShowPage(int32_t shown);
  static OrdersUnitSummary& Summary();
  Control* summaryHost_ = nullptr;
};

class UnitListPopup : public Screen {
 public:
  UnitListPopup();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // Closes the pop-up and shows again what the third dock level holds.
  int32_t Close(int32_t noReturn = 0) override;

  int32_t category = 0;
  int32_t mode = 0;  // 0 active, 1 reserve, 2 under construction
  Control* details1 = nullptr;
  Control* details2 = nullptr;
  ListBoxControl* list = nullptr;  // LIST1
};
