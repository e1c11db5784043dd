#include "net/session_message.h"

#include <cstdlib>
#include <cstring>

#include "app/list_node.h"

SessionMessage* BuildNetMessage(uint32_t kind, const void* payload, uint32_t payloadLength, uint32_t tick,
                                uint8_t sender) {
  auto* m = static_cast<SessionMessage*>(AllocZeroed(sizeof(SessionMessage)));
  if (!m) return nullptr;
  m->id = kSessionMessageId;
  m->size = kSessionMessageWireSize;
  m->kind = kind;
  m->tick = tick;
  m->sender = sender;
  if (payload && payloadLength) {
    m->payload = static_cast<uint8_t*>(std::malloc(payloadLength));
    if (!m->payload) {
      FreeZeroed(m);
      return nullptr;
    }
    std::memcpy(m->payload, payload, payloadLength);
    m->payloadLength = payloadLength;
  }
  return m;
}

void FreeNetMessage(SessionMessage* message) {
  if (!message) return;
  std::free(message->payload);
  FreeZeroed(message);
}
