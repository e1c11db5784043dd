#pragma once
// The GRIDTECH note the research pages lay over their lists.
#include "screens/common/screen_types_fwd.h"

// The note shows see-through, in green, drawn by its own flag.
void StyleResearchNote(Screen& screen);
