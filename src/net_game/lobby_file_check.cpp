#include "net_game/lobby_file_check.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "app/app_object.h"
#include "app/log.h"
#include "net/game_messages.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/session_message.h"
#include "net/text_message.h"
#include "platform/paths.h"
#include "records/text_field.h"
#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_def.h"
#include "world/world.h"

LobbyFileCheck g_lobbyFileCheck;

namespace {

constexpr const char* kLobbyMismatchHead = "Sync Error: ";

// A data file the scenario names, or the default one when it names none.
std::string LobbyDataFilePath(const char* name, const char* extension) {
  return DataFileReadPath(name && *name ? name : "DEFAULT", extension);
}

uint32_t LobbyFileSum(const std::string& path) {
  const auto bytes = plat::ReadFileBytes(path);
  return bytes ? DataFileChecksum(bytes->data(), bytes->size()) : 0;
}

int32_t LobbyOwnRegion(NetSession& session) {
  const NetSlot* slots = SessionSlots(session);
  const int32_t own = session.localSlot;
  if (!slots || !session.slotAssigned || own <= 0 || own >= kMaxPlayers) return 0;
  plat::CriticalSectionLock hold(session.slotLock);
  return slots[own].region;
}

void SendLobbyRecord(NetSession& session, const std::array<uint8_t, 48>& record, uint8_t region, uint32_t setup) {
  SessionMessage* m = BuildNetMessage(kSmSyncInfo, record.data(), kSyncInfoSize, 0, region);
  if (!m) return;
  m->value = setup;
  (void)SendNetMessage(session, *m, 0);
  FreeNetMessage(m);
}

}  // namespace

SyncInfo LobbySyncInfo(const World& world) {
  // The readers keep the sums of what they last read, which in the front
  // end may be another game's: the files are summed as they lie.
  SyncInfo info = LocalSyncInfo(world, false);
  const ScenarioSettings& s = world.scenario;
  const std::string game = s.gamfile ? s.gamfile : "";
  info.gameSum = LobbyFileSum(GameReadPath(game));
  info.mapSum = LobbyFileSum(MapReadPath(game));
  info.peopleSum = LobbyFileSum(LobbyDataFilePath(s.pplfile, ".PPL"));
  info.unitSum = LobbyFileSum(LobbyDataFilePath(s.unifile, ".UNI"));
  info.terrainSum = LobbyFileSum(LobbyDataFilePath(s.terfile, ".TER"));
  info.techSum = LobbyFileSum(LobbyDataFilePath(s.ttrfile, ".TTR"));
  return info;
}

void SendLobbySyncInfo(NetSession& session, const World& world, uint8_t region, uint32_t setup) {
  SendLobbyRecord(session, EncodeSyncInfo(LobbySyncInfo(world)), region, setup);
}

std::vector<std::string> CheckLobbyJoiner(NetSession& session, const World& world, uint32_t slot,
                                          const SyncInfo& theirs) {
  return CheckLobbyJoiner(session, slot, theirs, LobbySyncInfo(world));
}

std::vector<std::string> CheckLobbyJoiner(NetSession& session, uint32_t slot, const SyncInfo& theirs,
                                          const SyncInfo& ours) {
  // In the lobby a line speaks for the sender's slot's region (or none).
  const std::vector<const char*> found = CompareSyncInfo(session, theirs, ours, LobbyOwnRegion(session));
  std::vector<std::string> lines(found.begin(), found.end());
  // The lines go first, so the joiner hears why before it is dropped; the
  // next person given the slot starts with no region.
  if (!lines.empty()) {
    (void)KickSlotPlayer(session, slot);
    (void)NetSetSlotFields(session, slot, 0, 0);
  }
  return lines;
}

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
  return text;
}

std::string MismatchedFilesText(const World& world, const std::vector<std::string>& lines) {
  const ScenarioSettings& s = world.scenario;
  const std::string game = s.gamfile ? s.gamfile : "";
  const std::pair<const char*, std::string> kinds[] = {
      {"SCN", std::string(ScenarioDirectory(nullptr, false)) + FieldText(world.gameState.scenarioName) +
                  ".GMC, its player settings (PlayerSet\\) or a rule table (INI\\*.CSV, AI\\AIparams.CSV)"},
      {"GAM", GameReadPath(game)},
      {"MAP", MapReadPath(game)},
      {"PPL", LobbyDataFilePath(s.pplfile, ".PPL")},
      {"UNI", LobbyDataFilePath(s.unifile, ".UNI")},
      {"TER", LobbyDataFilePath(s.terfile, ".TER")},
      {"TTR", LobbyDataFilePath(s.ttrfile, ".TTR")},
  };
  std::string files;
  for (const std::string& line : lines)
    for (const auto& [kind, file] : kinds)
      if (line.find(std::string("Mismatched ") + kind + " File") != std::string::npos)
        files += (files.empty() ? "" : ", ") + file;
  return files.empty() ? "" : "; the files: " + files;
}

std::string OtherFilesText(const std::vector<std::string>& lines) {
  return "plays with other files (" + JoinedLines(lines) + ")";
}

std::string RefusedJoinerText(const World& world, const std::vector<std::string>& lines) {
  return "the host refused this player: its files differ from the host's (" + JoinedLines(lines) + ")" +
         MismatchedFilesText(world, lines);
}

std::vector<std::string> FileMismatchLines(const std::vector<TextLine>& lines) {
  std::vector<std::string> out;
  for (const TextLine& line : lines)
    if (line.text.rfind(kLobbyMismatchHead, 0) == 0) out.push_back(line.text);
  return out;
}

void NoteLobbyGameRead(const World& world, bool loaded) {
  g_lobbyFileCheck.read = world.campaignMessage.name[0] != '\0';
  g_lobbyFileCheck.loaded = g_lobbyFileCheck.read && loaded;
  g_lobbyFileCheck.readSetup = world.campaignMessage.word44;
}

bool LobbyGameRead(const World& world) {
  const LobbyFileCheck& c = g_lobbyFileCheck;
  return c.read && c.readSetup == world.campaignMessage.word44 && world.campaignMessage.name[0];
}

bool LobbyGameLoaded(const World& world) { return LobbyGameRead(world) && g_lobbyFileCheck.loaded; }

void SendLobbyAccountWhenDue(NetSession& session, const World& world, plat::CriticalSection* worldLock) {
  LobbyFileCheck& c = g_lobbyFileCheck;
  std::optional<std::array<uint8_t, 48>> record;
  int32_t region = 0;
  {
    std::optional<plat::CriticalSectionLock> hold;
    if (worldLock) hold.emplace(*worldLock);
    if (session.isHost || !session.inSession || !LobbyGameRead(world)) return;
    region = LobbyOwnRegion(session);
    // The host takes an account only from a region's player.
    if (region <= 0 || region >= kMaxPlayers) return;
    if (c.sent && c.sentRegion == region && c.sentSetup == c.readSetup) return;
    record = EncodeSyncInfo(LobbySyncInfo(world));
  }
  SendLobbyRecord(session, *record, static_cast<uint8_t>(region), c.readSetup);
  c.sent = true;
  c.sentRegion = static_cast<uint8_t>(region);
  c.sentSetup = c.readSetup;
}

void CheckLobbyAccount(NetSession& session, const World& world, const SessionMessage& message,
                       plat::CriticalSection* worldLock) {
  if (!session.isHost) return;
  if (message.payloadLength != kSyncInfoSize || !message.payload) {
    LogWrite(g_platform, "NetStage: an account of files of %u bytes from player %u ignored\n",
             static_cast<unsigned>(message.payloadLength), static_cast<unsigned>(message.from));
    return;
  }
  const int slot = FindSlotOfPlayer(session, message.from);
  if (slot <= static_cast<int>(kNetHostSlot) || slot >= kMaxPlayers) return;
  SyncInfo ours;
  {
    std::optional<plat::CriticalSectionLock> hold;
    if (worldLock) hold.emplace(*worldLock);
    if (message.value != world.campaignMessage.word44 || !world.campaignMessage.name[0]) return;
    ours = LobbySyncInfo(world);
  }
  std::string name;
  uint32_t players[kMaxPlayers] = {};
  {
    plat::CriticalSectionLock hold(session.slotLock);
    name = FieldText(SessionSlots(session)[slot].name);
    for (int s = 0; s < kMaxPlayers; ++s) players[s] = SessionSlots(session)[s].playerId;
  }
  // The lines and the kick go out with the world's lock let go.
  const std::vector<std::string> lines =
      CheckLobbyJoiner(session, static_cast<uint32_t>(slot), DecodeSyncInfo(message.payload), ours);
  LobbyFileCheck& c = g_lobbyFileCheck;
  if (lines.empty()) {
    c.alikePlayer[slot] = message.from;
    c.alikeSetup[slot] = message.value;
    return;
  }
  c.alikePlayer[slot] = 0;
  std::optional<plat::CriticalSectionLock> hold;
  if (worldLock) hold.emplace(*worldLock);
  c.refusal = name + " " + OtherFilesText(lines) + ": dropped" + MismatchedFilesText(world, lines);
  std::copy(std::begin(players), std::end(players), std::begin(c.refusalPlayers));
  LogWrite(g_platform, "NetStage: %s\n", c.refusal.c_str());
}

void ForgetRefusalOnNewJoiner(const NetSlot* table) {
  LobbyFileCheck& c = g_lobbyFileCheck;
  for (int s = static_cast<int>(kNetHostSlot) + 1; s < kMaxPlayers && !c.refusal.empty(); ++s)
    if (table[s].state == kSlotHuman && table[s].playerId != c.refusalPlayers[s]) c.refusal.clear();
}

bool LobbyFilesAlike(NetSession& session, const World& world, int slot) {
  const NetSlot* slots = SessionSlots(session);
  if (!slots || slot <= 0 || slot >= kMaxPlayers) return false;
  uint32_t player = 0;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    player = slots[slot].playerId;
  }
  const LobbyFileCheck& c = g_lobbyFileCheck;
  return player != 0 && c.alikePlayer[slot] == player && c.alikeSetup[slot] == world.campaignMessage.word44;
}
