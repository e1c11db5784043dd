#pragma once
// The settings commands: each writes exactly one field (or bit, or entry)
// of the issuing region's settings, in the copy of the pass it runs in. An
// argument word carries the field's own 32-bit value: a float's bits, or a
// value whose low byte (or half) a narrow field takes.
#include <cstdint>

#include "sim/command_pass.h"

// The handler of a settings id, or null for any other id.
CommandHandler PolicyCommandHandler(uint32_t id);
