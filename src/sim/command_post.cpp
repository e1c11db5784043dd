#include "sim/command_post.h"

CommandLog g_commandLog;

void PostSimpleCommand(uint32_t id, int32_t player, int32_t value) {
  plat::CriticalSectionLock hold(g_commandLog.lock);
  g_commandLog.entries.push_back({id, player, value});
}

void PostCommand_28_32_36p(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c) {
  plat::CriticalSectionLock hold(g_commandLog.lock);
  g_commandLog.entries.push_back(
      {id, player, static_cast<int32_t>(a), static_cast<int32_t>(b), static_cast<int32_t>(c)});
}
