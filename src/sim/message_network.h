#pragma once
// What player messages need of the network: sending a session message to
// the peer of one player. The network layer installs the call when a
// network game starts and removes it when the game ends; without it nothing
// is sent. The role of this process comes from the command pipeline's link
// (net/command_network.h).
#include <cstddef>
#include <cstdint>

// Sends a session message of `kind` with its payload, guaranteed, to the
// peer that plays `player`, or to the host when no peer holds that player's
// slot. The network layer fills in the frame (sender, tick). The result is
// a status; callers do not retry.
using SessionSendHook = int32_t (*)(uint32_t kind, int32_t player, const uint8_t* payload, size_t length);

struct MessageNetLink {
  SessionSendHook sendToPlayer = nullptr;
};

extern MessageNetLink g_messageNet;
