#pragma once
// Game messages between peers in a session: commands (0x20001), session
// messages (0x20002), the game set-up (the settings head 0x20003 and the
// parameter block 0x20006), the request for it (0x20004) and a player's
// progress report (0x20005). Every image is read and written field by
// field, little-endian.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/session_message.h"
#include "platform/threads.h"
#include "records/game_params_block.h"
#include "records/scenario_head.h"

struct NetSession;
struct NetPlayer;

inline constexpr uint32_t kGameMessageFirst = 0x20000;
inline constexpr uint32_t kGameMessageLast = 0x2FFFF;
inline constexpr uint32_t kSetupRequestId = 0x20004;
inline constexpr size_t kSetupRequestSize = 8;
inline constexpr uint32_t kProgressReportId = 0x20005;
inline constexpr size_t kProgressReportSize = 16;

// The wire images.
std::vector<uint8_t> EncodeSessionMessage(const SessionMessage& message);
std::vector<uint8_t> EncodeScenarioHead(const ScenarioHead& head);
void DecodeScenarioHead(const uint8_t* bytes, ScenarioHead& head);  // 140 bytes
std::vector<uint8_t> EncodeGameParams(const GameParamsBlock& block);
void DecodeGameParams(const uint8_t* bytes, GameParamsBlock& block);  // 48 bytes
std::vector<uint8_t> EncodeProgressReport(uint32_t player, uint32_t value);

// Why a game file name from a peer cannot be used, or null: it must end
// inside its field and name no folder ("/", "\", ":" or "..").
const char* GameFileNameDefect(const char* name, size_t field);

// Sends the head (its size field gives the length of the fixed part) and
// the payload after it, guaranteed, to the player (0: all), back to this
// peer too only with loopback. E_FAIL when not in session, or for a length
// without a payload.
int32_t NetSendGameMessage(NetSession& session, uint32_t target, bool loopback, const uint8_t* head,
                           const void* payload, uint32_t length);
// Sends a session message with its payload without loopback, in a session
// only (to the host alone when its to-host flag is set).
int32_t SendNetMessage(NetSession& session, const SessionMessage& message, uint32_t target);
// The receive path of 0x20001..0x20006 on the network thread.
int32_t ReceiveSessionPacket(NetSession& session, uint32_t from, NetPlayer* sender, const uint8_t* data,
                             size_t size);
// On the main thread, for the kinds the receive path hands over: the host's
// set-up records are copied in (the world lock held, when given) and code 5
// is posted; a set-up request is answered from the records as they stand.
// False for any other kind.
bool ApplyReceivedSetup(NetSession& session, const SessionMessage& message, plat::CriticalSection* worldLock);
// This peer's game has started: the commands the peers sent meanwhile are
// posted in the order they came, and later ones go straight to the log.
void ReleaseHeldCommands(NetSession& session);
// Host: sends the game set-up to all and queues session message 104 here,
// so this peer loads the file too. Flag b marks a saved game.
int32_t SendGameSetup(NetSession& session, const char* name, uint32_t a, uint32_t b, GameParamsBlock& block);
