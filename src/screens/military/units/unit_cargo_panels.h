#pragma once
// The unit detail pop-up's cargo panels: the stock a transport may take on
// (POPUP_MILITARY1A6A), the own carriers that could take the unit aboard
// (POPUP_MILITARY1A13), the own bases the unit may move to
// (POPUP_MILITARY1A8) and the notice of a carried unit (POPUP_MILITARY1A2).
// Each holds its unit by id; lists hold ids. Window thread; walks hold the
// simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
class ListBoxControl;
class TextBoxControl;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// How much cargo a transport class looks for: a lone craft that is not a
// land unit carries a tenth of its rated capacity.
int32_t CargoCapacitySought(const UnitClassRecord& cls);
// What the carrier can still take on, the goods it holds for others
// counted (the boarding rules leave them out).
float CarrierRoomLeft(const World& world, const UnitRecord& carrier);

class UnitCargoPanel : public Screen {
 public:
  UnitCargoPanel();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  // A row picked (or let go) in either list: the buttons and payload marks
  // that row calls for.
  void OnControlChange(Control* control, int32_t id) override;
  uint32_t unit = 0;
  ListBoxControl* list = nullptr;
};

class UnitCargoLoadPanel : public Screen {
 public:
  UnitCargoLoadPanel();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  uint32_t unit = 0;
  ListBoxControl* list = nullptr;
};

class UnitTransferPanel : public Screen {
 public:
  UnitTransferPanel();
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  uint32_t unit = 0;
  ListBoxControl* list = nullptr;
};

std::unique_ptr<Screen> MakeUnitTextPanel2();
