#include "sim/player_message_link.h"

PlayerMessageLink g_playerMessageLink;

void PostPlayerMessageTo(World& world, PlayerRecord& recipient, int32_t subject, int32_t typeId, uint32_t p1) {
  if (g_playerMessageLink.post) g_playerMessageLink.post(world, recipient, subject, typeId, p1);
}
