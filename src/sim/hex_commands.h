#pragma once
// The commands that name a hex (288 to 304, 298 excepted): the hex is the
// command's word at 24, column in the low half and row in the high half.
// The column wraps onto the map; a row off the map makes the command do
// nothing in both passes (it is still counted).
#include <cstdint>

#include "sim/command_pass.h"

CommandHandler HexCommandHandler(uint32_t id);
