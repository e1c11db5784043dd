#pragma once
// The opening the list pages of the research and military departments
// share (research projects, facilities, stored units).
#include "screens/common/screen_types_fwd.h"

// The list back at its top with nothing selected, the docked panels two
// deep; a null list only sets the depth.
void OpenListPage(ListBoxControl* list);
