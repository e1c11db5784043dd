#include "net_game/lag_watch.h"

#include "app/log.h"
#include "app/app_object.h"
#include "net_game/sync_check.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/text_message.h"
#include "records/text_field.h"
#include "world/world.h"

void WatchLaggingPeer(NetSession& session, const World& world, uint64_t nowMs) {
  if (!session.isHost || !session.peer) return;
  NetSession::LagWatch& watch = session.lagWatch;
  NetSlot slot{};
  int s = -1;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    s = LaggingSlot(world);
    if (s >= 0) slot = world.slotTable[s];
  }
  if (s < 0) {
    watch = NetSession::LagWatch{};
    return;
  }
  // Any report from the peer starts the wait again.
  if (s != watch.slot || slot.playerId != watch.playerId || slot.progress != watch.progress) {
    watch = NetSession::LagWatch{};
    watch.slot = s;
    watch.playerId = slot.playerId;
    watch.progress = slot.progress;
    watch.since = nowMs;
    return;
  }
  const uint64_t waited = nowMs - watch.since;
  const std::string name = FieldText(slot.name);
  if (!watch.shown && waited >= session.lagNoticeMs) {
    watch.shown = true;
    QueueTextMessage2(session, "Waiting for Player %d (%s).", s, name.c_str());
  }
  if (!watch.dropped && waited >= session.lagLimitMs) {
    watch.dropped = true;
    LogWrite(g_platform, "NetStage: player %08x (%s) sent nothing for %u s while the game waited on it\n",
             slot.playerId, name.c_str(), static_cast<unsigned>(waited / 1000));
    (void)session.peer->DestroyPlayer(slot.playerId, plat::kPeerLeftConnectionLost);
  }
}
