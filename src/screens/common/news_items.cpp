#include "screens/common/news_items.h"

#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "units/class_fields.h"
#include "world/id_lookups.h"
#include "world/text/message_types.h"
#include "world/world.h"

NewsItemView ReadNewsItem(World& world, int32_t owner, uint32_t serial) {
  NewsItemView view;
  WorldLockGuard hold(world, kLockMail);
  PlayerMessage* message = FindPlayerMessage(world, owner, serial);
  if (!message) return view;
  view.found = true;
  view.typeId = message->typeId;
  view.day = static_cast<int32_t>(message->day);
  view.importance = message->priority;
  for (int i = 0; i < 4; ++i) view.args[i] = message->params[i];
  view.headline = message->texts[0] ? message->texts[0] : "";
  view.text = message->texts[1] ? message->texts[1] : "";
  message->flags |= kNewsItemRead;
  return view;
}

uint32_t NewsItemPosition(World& world, const NewsItemView& item) {
  const MessageTypeRecord* type = MessageType(item.typeId);
  if (!type) return 0;
  for (int i = 0; i < 4; ++i)
    if (type->paramKinds[i] == kArgHex) return item.args[i];
  for (int i = 0; i < 4; ++i) {
    if (type->paramKinds[i] != kArgUnit) continue;
    if (item.args[i] == 0) return 0;
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = FindUnitById(world, item.args[i]);
    return unit ? unitbytes::UnitPosition(*unit) : 0;
  }
  return 0;
}
