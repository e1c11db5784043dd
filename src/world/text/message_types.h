#pragma once
// The message types of news, e-mail and status lines ("newsitems"): record
// i is message type i, for i up to the table's MAXNUM. Beside the table, each
// player keeps one posting state per type.
#include <cstdint>
#include <vector>

#include "world/text/owned_text.h"

struct MessageTypeRecord {
  uint8_t flags = 0;            // bit 0 e-mail, bit 1 news, bit 2 also a status line
  uint8_t department = 0;       // the ministry that signs an e-mail
  uint8_t enabled = 0;          // 0 disables the type
  uint8_t priority = 0;
  uint8_t screenSetting = 0;
  uint8_t frequencyKind = 0;
  uint8_t frequencyParam = 0;
  uint8_t muteFlags = 0;        // 2 from the table when set; bit 0 muted by the user
  OwnedText subject;
  OwnedText bodyTemplates[3];   // null when the table gives none
  OwnedText statusTemplate;     // null when the table gives none
  uint8_t replyCodes[6] = {};
  uint8_t replySet = 0;
  uint8_t attachmentKind = 0;
  OwnedText replyTexts[6];
  uint8_t paramKinds[4] = {};
  int16_t values[3] = {};
  int16_t sound = 0;            // the arrival sound, 0 none
  float reals[4] = {};
  uint8_t bytes[4] = {};
  uint32_t recipientMask = 0;
};

// One player's posting state of one message type.
struct PlayerMessageState {
  uint32_t lastDay = 0;     // day number of the last posting
  uint32_t suppressed = 0;  // postings refused since then
};
static_assert(sizeof(PlayerMessageState) == 8);

inline constexpr int kMessagePlayers = 32;
// The largest MAXNUM the table accepts.
inline constexpr int32_t kMaxMessageTypeId = 65535;

struct MessageTypeTable {
  std::vector<MessageTypeRecord> records;  // messageTypeCount entries; id = index
  std::vector<PlayerMessageState> playerMessageState[kMessagePlayers];

  int32_t messageTypeCount() const { return static_cast<int32_t>(records.size()); }
};

// "INI\" + name + ".CSV": "MAXNUM" and its number N, then numbered rows 1..N.
// Replaces the table with N + 1 records and every player's state with N + 1
// cleared entries. The generic failure, with the old table kept, when the
// file cannot be read, has no MAXNUM, or N is 0, negative or above
// kMaxMessageTypeId.
int32_t LoadNewsItems(MessageTypeTable& table, const char* name);
