#pragma once
// The chat pop-up (CHAT) and the sending of one chat line. The chat lists
// and their channels come with the game-flow screens.
#include <cstdint>

#include "ui/screen.h"

struct ScreenSet;

class ChatScreen : public Screen {
 public:
  ChatScreen() : Screen("CHAT") {}
};

// The channel of the lines the program itself announces.
inline constexpr int32_t kChatChannelSystem = 5;

// Sends a line from the local player to every player; 0x80004005 for an
// empty line.
int32_t SubmitChatLine(ScreenSet& screens, const char* text, int32_t channel);
