#include "records/player_record.h"

#include <cstring>

namespace {

void NullPolicyPointers(PlayerPolicyBlock& block) {
  block.pointerSlot12 = 0;
  for (uint32_t& slot : block.pointerSlots4900) slot = 0;
}

}  // namespace

void PlayerRecordInit(PlayerRecord& record) {
  record.pointerSlot48 = 0;
  NullPolicyPointers(record.displayPolicy);
  NullPolicyPointers(record.simPolicy);
  record.turnBestHex[0] = 0;
  record.turnBestHex[1] = 0;
}

void CopyPlayerRecord(PlayerRecord& destination, const PlayerRecord& source) {
  if (&destination == &source) return;
  std::memcpy(&destination, &source, sizeof(PlayerRecord));
}

void TickPolicyRestore(PlayerRecord& record) {
  if (record.pendingCommands > 0) --record.pendingCommands;
  if (record.pendingCommands == 0) record.displayPolicy = record.simPolicy;
}
