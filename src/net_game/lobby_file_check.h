#pragma once
// The lobby's check of a joiner's files: before a game starts, a joiner
// that has read the game the host offers sends an account of the files it
// read, and the host holds it against its own; a joiner whose files differ
// is dropped before either side plays a day, each side naming the files.
// The game's lobby and the headless runner's both use this one check.
#include <cstdint>
#include <string>
#include <vector>

#include "net_game/sync_check.h"
#include "platform/threads.h"
#include "records/player_record.h"

struct NetSession;
struct NetSlot;
struct SessionMessage;
struct TextLine;
struct World;

// The account of the files the offered scenario names (its game, map and
// data files, read now as they lie on disk), its definition and rule tables
// and the version: what two peers that will play the game alike agree on.
SyncInfo LobbySyncInfo(const World& world);

// Joiner: sends that account from its region for the host's set-up number
// `setup` (the word the host stamps on each game it offers).
void SendLobbySyncInfo(NetSession& session, const World& world, uint8_t region, uint32_t setup);

// Host: holds a joiner's account against this side's; each difference is
// announced to every player with the line the sync check gives it, and a
// joiner whose files differ is dropped. Returns those lines (none: alike).
std::vector<std::string> CheckLobbyJoiner(NetSession& session, const World& world, uint32_t slot,
                                          const SyncInfo& theirs);
// The same against this side's account taken before (the caller may hold
// the world's lock for that, never for this: it sends).
std::vector<std::string> CheckLobbyJoiner(NetSession& session, uint32_t slot, const SyncInfo& theirs,
                                          const SyncInfo& ours);

// The files the lines speak of, as this side read them ("; the files:
// A, B"), or nothing when they name none.
std::string MismatchedFilesText(const World& world, const std::vector<std::string>& lines);
// The lines one after another, as a refusal quotes them.
std::string JoinedLines(const std::vector<std::string>& lines);
// What the host says of a joiner it dropped, and what the joiner hears.
std::string OtherFilesText(const std::vector<std::string>& lines);
std::string RefusedJoinerText(const World& world, const std::vector<std::string>& lines);
// The lines among those received that name a difference of files.
std::vector<std::string> FileMismatchLines(const std::vector<TextLine>& lines);

// The lobby's side of the check in the game, on the main thread.
struct LobbyFileCheck {
  // Joiner: the set-up whose game was read last, whether it was read
  // whole, and the region and set-up of the account sent last.
  bool read = false;
  bool loaded = false;
  uint32_t readSetup = 0;
  bool sent = false;
  uint8_t sentRegion = 0;
  uint32_t sentSetup = 0;
  // Host: per slot, the player whose files were found alike, and for which set-up.
  uint32_t alikePlayer[kMaxPlayers] = {};
  uint32_t alikeSetup[kMaxPlayers] = {};
  // The last joiner the host dropped, as it names it, and who held each
  // slot then.
  std::string refusal;
  uint32_t refusalPlayers[kMaxPlayers] = {};
};
extern LobbyFileCheck g_lobbyFileCheck;

// The front end read the game of the host's set-up (`loaded`: whole).
void NoteLobbyGameRead(const World& world, bool loaded);
// Joiner: whether the game the host offers now was read, and read whole.
bool LobbyGameRead(const World& world);
bool LobbyGameLoaded(const World& world);
// Joiner: sends the account once it has a region and has read the game of
// the host's latest set-up, and again when either changes. The world is
// read under `worldLock` (when given) and the account sent after.
void SendLobbyAccountWhenDue(NetSession& session, const World& world, plat::CriticalSection* worldLock);
// Host: a joiner's account (session message 101 in the front end). One
// for a game offered before this one is not this game's and is left. The
// world is read under `worldLock`; the refusal is sent outside it.
void CheckLobbyAccount(NetSession& session, const World& world, const SessionMessage& message,
                       plat::CriticalSection* worldLock);
// Host: a joiner come since the last refusal (the one refused joining
// again among them) makes it old news. The table is read under its lock.
void ForgetRefusalOnNewJoiner(const NetSlot* table);
// Host: whether the person in the slot sent an account of the game now
// offered that matched.
bool LobbyFilesAlike(NetSession& session, const World& world, int slot);
