#include "sim/command_post.h"

CommandLog g_commandLog;

void PostSimpleCommand(uint32_t id, int32_t player, int32_t value) {
  plat::CriticalSectionLock hold(g_commandLog.lock);
  g_commandLog.entries.push_back({id, player, value});
}
