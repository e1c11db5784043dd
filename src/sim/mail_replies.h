#pragma once
// The replies a player gives to e-mail: most post game commands for the
// local player, some send a message, some open a screen. Runs on the main
// thread; commands are posted, never run here.
#include <cstdint>
#include <string>

struct World;
struct PlayerMessage;

// What a reply needs of the message it answers, copied out under the mail
// lock (a reply posts commands, and the command-log lock comes before the
// mail lock).
struct MailReplySource {
  uint32_t serial = 0;
  uint32_t typeId = 0;
  int32_t sender = 0;
  uint32_t params[4] = {};
  bool hasAttachment = false;
  std::string attachment;
};

MailReplySource MailReplySourceOf(const PlayerMessage& message);

// Carries out reply `replyCode` (1..51) to the message. Returns 1 when the
// message is settled (the mail window then deletes it), 0 when it stays.
int HandleMailReply(World& world, const MailReplySource& message, int replyCode);
// The same for the local player's message with that serial; 0 when the
// message is gone.
int HandleMailReply(World& world, uint32_t messageSerial, int replyCode);
