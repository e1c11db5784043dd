#pragma once
// The commands that make, order and disband units and that make and close
// research projects. Units are found by id; a command naming no existing
// unit changes nothing and is still counted for its player. Every order
// command is one count on the unit per update (up in pass 0, down in pass
// 1; at zero the simulation orders replace the display orders); "cancel
// all" (336) is three updates.
#include <cstdint>

#include "sim/command_pass.h"

CommandHandler UnitCommandHandler(uint32_t id);
