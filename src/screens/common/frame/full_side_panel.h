#pragma once
// The attach body of the panels that take the whole side-panel box of the
// right column.
#include <cstdint>

#include "ui/screen.h"

// The screen's form becomes its current one and hangs in the box with its
// FULL part shown; 0.
int32_t AttachFullSidePanel(Screen& screen);
