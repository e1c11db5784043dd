#pragma once
// Posting game commands. Every change a player or a computer region makes
// goes through here.
#include <cstdint>
#include <vector>

#include "platform/threads.h"

struct PostedCommand {
  uint32_t id = 0;
  int32_t player = 0;
  int32_t value = 0;
};

struct CommandLog {
  plat::CriticalSection lock;
  std::vector<PostedCommand> entries;
};

extern CommandLog g_commandLog;

// Posts a command with one value (in the command's word at 28) for a player.
void PostSimpleCommand(uint32_t id, int32_t player, int32_t value);
