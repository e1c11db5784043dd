#include "world/command_log_access.h"

CommandLogAccess g_commandLogAccess;
