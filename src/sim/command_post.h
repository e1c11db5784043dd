#pragma once
// Posting game commands. Every change a player or a computer region makes
// goes through here.
#include <cstdint>
#include <vector>

#include "platform/threads.h"

struct PostedCommand {
  uint32_t id = 0;
  int32_t player = 0;
  int32_t value = 0;  // the word at 28
  int32_t arg32 = 0;
  int32_t arg36 = 0;
};

struct CommandLog {
  plat::CriticalSection lock;
  std::vector<PostedCommand> entries;
};

extern CommandLog g_commandLog;

// Posts a command with one value (in the command's word at 28) for a player.
void PostSimpleCommand(uint32_t id, int32_t player, int32_t value);
// Posts a command for a given player with its words at 28, 32 and 36.
void PostCommand_28_32_36p(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c);
