#include "net_game/chat_rows.h"

#include <algorithm>

#include "records/player_record.h"
#include "world/player_names.h"
#include "world/text/ui_options.h"
#include "world/world.h"

std::string ChatSenderName(const World& world, int32_t sender, bool networked) {
  if (sender <= 0 || sender >= kMaxPlayers) return "(Observer)";
  const PlayerRecord& record = world.players[sender];
  if (g_uiOptions.bchatpname && networked) return GetPlayerDisplayName(world, record);
  return LookupLocalizedName(world, record);
}

std::string LobbyChatRowText(const World& world, const TextLine& line, bool networked) {
  std::string name = line.sender == 0 ? std::string() : ChatSenderName(world, line.sender, networked);
  return name.empty() ? line.text : name + ": " + line.text;
}

int32_t FormatChatLine(TextLineQueue& queue, const World& world, const ChatListFill& fill, uint32_t now) {
  int32_t shown = 0;
  const uint32_t showTime = static_cast<uint32_t>(std::max(g_uiOptions.chatshowtime, 0));
  for (const TextLine& line : QueuedTextLines(queue)) {
    // Unsigned: a stamp ahead of the clock wraps to a large age.
    const uint32_t age = now - line.stamp;
    if (fill.fade && age >= showTime) continue;
    ++shown;
    if (fill.addTemplateRow) {
      fill.addTemplateRow(line);
      continue;
    }
    ChatRow row;
    row.text = ChatSenderName(world, line.sender, fill.networked) + ": " + line.text;
    if (fill.colourBySender && line.sender > 0 && line.sender < 32)
      row.colour = g_uiOptions.playercolor[line.sender];
    const int64_t left = static_cast<int64_t>(showTime) - static_cast<int64_t>(age);
    if (fill.fade && left < 1020) row.alpha = static_cast<int32_t>(left / 4);
    if (fill.addRow) fill.addRow(row, line);
  }
  plat::CriticalSectionLock hold(queue.lock);
  queue.changed = false;
  return shown;
}
