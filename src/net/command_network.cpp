#include "net/command_network.h"

// Empty until a network game starts: a game of one process sends nothing.
CommandNetLink g_commandNet;
