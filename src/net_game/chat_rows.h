#pragma once
// The rows of the chat lists: a queued line with its sender's name, colour
// and fading, as the lobby's and the game's chat lists show it.
#include <cstdint>
#include <functional>
#include <string>

#include "net/text_message.h"

struct World;

// One row of a chat list.
struct ChatRow {
  std::string text;     // "NAME: TEXT"
  uint32_t colour = 0;  // the sender's colour, 0 for the list's own
  int32_t alpha = -1;   // 0..255 while fading out, else -1
};

// How a chat list is filled: rows built here, or rows a template screen
// builds from the line itself.
struct ChatListFill {
  bool colourBySender = false;
  bool fade = false;
  bool networked = false;
  std::function<void(const ChatRow& row, const TextLine& line)> addRow;
  std::function<void(const TextLine& line)> addTemplateRow;  // set: used instead of addRow
};

// Fills a chat list with the queued lines (with fading, those of the last
// chat display time only); clears the changed flag; returns the rows made.
int32_t FormatChatLine(TextLineQueue& queue, const World& world, const ChatListFill& fill, uint32_t now);
// The name a chat row shows for a sender: "(Observer)" for 0, the player's
// display name with shown names in a network game, else the region's name.
std::string ChatSenderName(const World& world, int32_t sender, bool networked);
// The lobby's chat row text: name, ": " when there is a name, then the text.
std::string LobbyChatRowText(const World& world, const TextLine& line, bool networked);
