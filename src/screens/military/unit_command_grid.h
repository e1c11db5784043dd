#pragma once
// The unit command grid that the unit tabs and the unit pop-ups carry: the
// buttons that cancel a unit's orders or send it home. The grid's buttons
// and the commands behind them come with the military screens; until then
// the grid is left as its form has it and a press on it posts nothing.
// Window thread.
#include <cstdint>

class Control;

// Fills the grid on the form for the unit of that id (0: none).
void UpdateUnitCommandGrid(Control* form, uint32_t unitId);

// A press on a control of the form; true when the grid took it.
bool OnUnitCommandGrid(Control* form, Control* control);
