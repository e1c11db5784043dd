#pragma once
// The two technology lists with category buttons, the department's picker
// (MILITARY1_ss7) and the docked detail list (MILITARY1_ss3b), whose
// buttons follow each other.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// Names the form's category buttons (with hover texts on the picker) and
// fills the list with the checked category's technologies, only those that
// may be begun on the detail list.
void ShowTechCategory(Control* form, ListBoxControl* list, bool detail);
// A category button pressed on one list is checked on the other's form too
// and the list redrawn; false for any other control.
bool PressTechCategory(Screen& list, Control* otherForm, int32_t controlId);
