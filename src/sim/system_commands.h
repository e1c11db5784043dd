#pragma once
// The two system commands of the network layer, run in the simulation pass
// only: 0x8001 hands a peer's sync-check entries (the payload) to the check;
// 0x8002 sets the issuing player's kind to the word at 28 (one of the kinds
// a region can have; any other value changes nothing).
#include <cstdint>

#include "sim/command_pass.h"

CommandHandler SystemCommandHandler(uint32_t id);
