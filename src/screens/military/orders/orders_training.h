#pragma once
// The training panel (ORDERS1_ss4): the ten programmes the selected units
// may go through, the chosen one's benefit, length, cost and the number of
// units, and "OK" that orders them all into it. The two fills serve the
// unit command grid for one unit as well. Window thread; the fills hold the
// simulation lock.
#include <cstdint>

#include "ui/screen.h"

class Control;
class TextBoxControl;
struct ListHolder;
struct UnitRecord;

inline constexpr int32_t kTrainingProgrammes = 10;

// A unit's training state: 4 for flag bit 4, else 1-3 for bits 1-3, else 0.
int32_t TrainingState(const UnitRecord& unit);

// The programme rows for one unit, or (unit null) for the units of the
// list: their names, the covers of rows 1-4 while a unit trains and of the
// rows no unit's category may take.
void FillBenefitBox(Control* form, const UnitRecord* unit, const ListHolder& units);
// The chosen programme's details (0: none, details and buttons hidden).
void FillTrainingDetails(Control* form, const UnitRecord* unit, const ListHolder& units, int32_t programme);

class OrderBenefitBox : public Screen {
 public:
  OrderBenefitBox() : Screen("ORDERS1_ss4") {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  int32_t programme = 0;
  TextBoxControl* benefitBox = nullptr;
};
