#pragma once
// The unit detail pop-up's order panels: engagement settings, the split,
// stand-down and deployment confirmations, the foreign unit's priority
// panel, and the home base panel of a unit under construction with its
// queue buttons. Each holds its unit by id and looks it up on use. Window
// thread; walks and the unit's own flag word hold the simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
class TextBoxControl;
struct UnitClassRecord;
struct UnitRecord;
struct PlayerRecord;

// The queue buttons a unit under construction is offered: REQUEBUT, HOLD,
// UNHOLD, CANCEL and REMBUT by whether it is queued, held and still being
// built. Buttons the form lacks are skipped. Under the simulation lock.
void UpdateQueueButtons(Control* form, const UnitRecord& unit);

// What standing a unit down costs and returns: its upkeep a day, the goods
// it gives back and its troops. A class without elements has no share per
// element: those terms are 0.
struct RecoveryFigures {
  float dayCost = 0.0f;
  float recovered = 0.0f;
  float troops = 0.0f;
};
RecoveryFigures UnitRecoveryFigures(const UnitRecord& unit, const UnitClassRecord& cls, const PlayerRecord& owner);

// POPUP_MILITARY1A1: the training programme for the unit.
std::unique_ptr<Screen> MakeUnitBenefitPanel();

// POPUP_MILITARY1B: another player's unit; its buttons do nothing.
std::unique_ptr<Screen> MakeUnitPriorityPanel();

// POPUP_MILITARY1c: the base on the hex of a unit under construction.
std::unique_ptr<Screen> MakeUnitHomeBasePanel();

// POPUP_MILITARY1A4: three order fields on sliders and ten option boxes.
std::unique_ptr<Screen> MakeUnitEngagementPanel();

// A confirmation with a text of the "uitext" list: split (POPUP_MILITARY1A3),
// stand down (POPUP_MILITARY1A7) or deploy (POPUP_MILITARY1A12).
class UnitConfirmPanel : public Screen {
 public:
  UnitConfirmPanel(const char* formName, int32_t textEntry, uint32_t colour);
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  uint32_t unit = 0;

 protected:
  // The confirmed action, under the simulation lock.
  virtual void Confirm(UnitRecord& unit) = 0;
  TextBoxControl* text_ = nullptr;
  int32_t textEntry_ = 0;
  uint32_t colour_ = 0;
};

std::unique_ptr<Screen> MakeUnitTextPanel3();

std::unique_ptr<Screen> MakeUnitRecoverPanel();

// Shows the unit the pop-up's information panel shows.
std::unique_ptr<Screen> MakeUnitTroopsPanel();
