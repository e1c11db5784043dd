#include "sim/command_observer.h"

std::atomic<CommandRanHook> g_commandRanHook{nullptr};
