#include "sim/log_on.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "app/app_object.h"
#include "app/calendar.h"
#include "app/log.h"
#include "app/program_version.h"
#include "platform/fpenv.h"
#include "platform/status.h"
#include "sim/campaign_carry_over.h"
#include "net/command_network.h"
#include "net/text_message.h"
#include "sim/daily/elimination.h"
#include "sim/daily/unit_handover.h"
#include "sim/game_start.h"
#include "sim/game_threads.h"
#include "sim/message_ids.h"
#include "sim/region_names.h"
#include "world/player_names.h"
#include "sim/safe_file_name.h"
#include "sim/scenario_players.h"
#include "sim/sim_ui_link.h"
#include "units/unit_census.h"
#include "units/unit_table_order.h"
#include "world/unit_tables.h"
#include "world/object_hex.h"
#include "sim/player_services.h"
#include "world/text/player_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/text/ui_options.h"
#include "records/text_field.h"
#include "world/world.h"

namespace {

constexpr int32_t kDayLengthWord = 1439;
constexpr int kChatChannelLog = 5;
constexpr size_t kLogNameMax = 259;
constexpr int kMonthsPerGameLength = 6;
constexpr int kElectionYears = 4;

// The float test's inputs, as their bit patterns so that no conversion of a
// decimal text can change them.
constexpr uint32_t kFloatTestA = 0x3FA258BEu;
constexpr uint32_t kFloatTestB = 0x422258BEu;
constexpr uint32_t kFloatTestC = 0x43DD870Du;

int32_t HighestPlayer(const World& world) {
  const int32_t highest = world.gameState.highestPlayer;
  return highest < kMaxPlayers ? highest : kMaxPlayers - 1;
}

int32_t LocalIndex(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  return local >= 0 && local < kMaxPlayers ? local : 0;
}

bool HasReportText(int code) {
  return code >= 0 && code < kScenarioNumberedTexts && g_scenarioText.emailTexts[code];
}

// A run of months may be longer than one step of the calendar can take.
void AddMonths(GameDate& date, int32_t months) {
  while (months > 0) {
    const int32_t step = months > 120 ? 120 : months;
    DateAddMonths(date, static_cast<int8_t>(step));
    months -= step;
  }
}

uint32_t DayAfterMonths(uint32_t day, int32_t months) {
  GameDate date;
  date.dayNumber = static_cast<int32_t>(day);
  DayNumberToDate(date);
  AddMonths(date, months);
  return static_cast<uint32_t>(date.dayNumber);
}

uint32_t SameDateYearsLater(uint32_t day, int32_t years) {
  GameDate date;
  date.dayNumber = static_cast<int32_t>(day);
  DayNumberToDate(date);
  date.year = static_cast<int16_t>(date.year + years);
  DateToDayNumber(date);
  return static_cast<uint32_t>(date.dayNumber);
}

void SetLocalRecord(World& world) { world.localPlayerRecord = &world.players[LocalIndex(world)]; }

void PrepareNewGame(ScreenManager* ui, World& world) {
  GameState& state = world.gameState;
  ScenarioSettings& scenario = world.scenario;
  const int32_t local = LocalIndex(world);

  PublishCurrentCell(nullptr);
  state.currentHex = HexPosition{};
  state.viewHex = HexPosition{};

  const float scale = std::sqrt(static_cast<float>(world.mapHeader.hexScale) / 10.0f);
  state.mapScaleA = scale;
  state.mapScaleB = scale;
  state.mapScaleQuarter = scale / 4.0f;
  state.visibilitySteps = static_cast<int32_t>(world.cells.size() / 120 + 1);

  if (scenario.head.player0Setting == 1) world.players[0].kind = kKindEmpty;

  state.daysPerTurn = 1;
  const std::string scenarioName = FieldText(state.scenarioName);
  (void)LoadScenarioPlayers(world, nullptr, scenarioName.c_str());

  g_profileChoices.leaderChoice = world.players[local].govtype;
  if (scenario.playsetfile && scenario.playsetfile[0])
    (void)LoadPlayerSettings(world, scenario.playsetfile, local, nullptr);
  PostCabinetDefaults(world, world.players[local]);

  if (!IsNetworkGame(g_commandNet) && state.pendingTurnMessage == 0 &&
      (HasReportText(world.players[local].startEmail) || HasReportText(0)))
    state.pendingTurnMessage = kMsgScenarioReport;

  state.currentTick += 1;
  state.dayLength = kDayLengthWord;
  SetObjectHex(world, world.mapWidth / 2, world.mapHeight / 2, state.currentHex);
  SetLobbyProgress(ui, 5000);

  const int32_t highest = HighestPlayer(world);
  for (int32_t p = 1; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (region.kind == kKindOut) {
      TransferPlayerUnits(world, region, 0);
      region.kind = kKindEmpty;
    }
    region.rulingParty = RulingPartyOf(region.politic);
  }

  if (scenario.head.gameFlags & kGameFlagCarryOver) {
    GameStartSetup(world, g_campaignCarryOver);
    UnitCensus(world);
  } else {
    SettleNewGameDays(world);
  }

  state.startDay = state.currentDay;
  for (int32_t p = 1; p <= highest; ++p)
    if (world.players[p].electionDay == 0)
      world.players[p].electionDay = SameDateYearsLater(state.currentDay, kElectionYears);

  if (scenario.head.svictorycond == 0) scenario.head.gameFlags &= ~kGameFlagNoCapitalMove;
  if (scenario.head.svictorycond == 1) scenario.head.gameFlags |= kGameFlagNoCapitalMove;
  SettleStartView(world);
}

void PrepareLoadedGame(World& world, int32_t joining) {
  GameState& state = world.gameState;
  if (state.currentHex.x == 0 && state.currentHex.y == 0) {
    SetObjectHex(world, world.mapWidth / 2, world.mapHeight / 2, state.currentHex);
  } else if (world.mapWidth > 0 && state.currentHex.y >= 0 && state.currentHex.y < world.mapHeight) {
    const int32_t x = WrapX(state.currentHex.x, world.mapWidth);
    PublishCurrentCell(&world.cells[static_cast<size_t>(state.currentHex.y * world.mapWidth + x)]);
  }
  const PlayerRecord& local = world.players[LocalIndex(world)];
  if (joining && local.startEmail != 0 && HasReportText(local.startEmail))
    state.pendingTurnMessage = kMsgScenarioReport;
  world.scenario.head.gameFlags &= ~kGameFlagCheated;
}

void StartGameLog(const World& world) {
  if (!g_uiOptions.outlogdef) {
    // A game without its log must not go on writing into the last game's.
    SetLogTarget(g_platform, "", false, false);
    return;
  }
  const std::string name = GameLogFileName(world);
  SetLogTarget(g_platform, name.c_str(), true, true);
}

void WriteLogOnLines(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  LogWrite(g_platform, "Log On.  VD Version %d.%d.%d \n", kProgramVersionMajor, kProgramVersionMinor,
           kProgramVersionBuild);
  LogWrite(g_platform, "Current Player %d (%s)\n", local, RegionDisplayName(world, LocalIndex(world)));
  float first = 0.0f;
  float second = 0.0f;
  FloatTestValues(g_platform.logEnabled != 0, first, second);
  LogWrite(g_platform, "_controlfp %X : Float Tests %f, %f\n", plat::ReadFloatControl(), first, second);
}

}  // namespace

void SettleNewGameDays(World& world) {
  GameState& state = world.gameState;
  ScenarioSettings& scenario = world.scenario;
  if (scenario.startDay != 0) state.currentDay = scenario.startDay;
  state.endDay = scenario.victoryDay;
  if (state.endDay == 0 && scenario.head.svictorycond > 2 && scenario.head.gamelength == 0)
    scenario.head.gamelength = 2;
  if (scenario.head.gamelength != 0)
    state.endDay = DayAfterMonths(state.currentDay, kMonthsPerGameLength * scenario.head.gamelength);
}

void SettleStartView(World& world) {
  GameState& state = world.gameState;
  int32_t x = world.scenario.victoryHexX;
  int32_t y = world.scenario.victoryHexY;
  // The map wraps east to west: a row off the map starts at the top, a
  // column is brought onto the map.
  if (y < 0 || y >= world.mapHeight) y = 0;
  x = world.mapWidth > 0 ? WrapX(x, world.mapWidth) : 0;
  state.startViewX = static_cast<int16_t>(x);
  state.startViewY = static_cast<int16_t>(y);
}

std::string GameLogFileName(const World& world) {
  const std::string player = SafeFileNamePart(GetPlayerDisplayName(world, world.players[LocalIndex(world)]));
  const std::string region = SafeFileNamePart(RegionDisplayName(world, LocalIndex(world)));
  std::string name = std::string(g_app.saveGamePath) + "LOG-" + player + "-" + region + ".log";
  if (name.size() > kLogNameMax) name.resize(kLogNameMax);
  return name;
}

void FloatTestValues(bool logOn, float& first, float& second) {
  // Every step is stored in single precision, so the results show the
  // thread's rounding mode as the other peers' logs do.
  volatile float a = logOn ? std::bit_cast<float>(kFloatTestA) : 0.0f;
  volatile float b = logOn ? std::bit_cast<float>(kFloatTestB) : 0.0f;
  volatile float c = logOn ? std::bit_cast<float>(kFloatTestC) : 0.0f;
  volatile float t = a * a;
  t = t * 111.1f;
  t = t * t;
  t = t * t;
  volatile float r = 2.0f * t;
  r = std::sqrt(static_cast<float>(r));
  r = std::sqrt(static_cast<float>(r));
  r = std::sqrt(static_cast<float>(r));
  first = 2.0f * r;
  volatile float u = b * b;
  u = u * u;
  u = u * u;
  u = 2.0f * u;
  u = u * u;
  u = u * u;
  u = u * u;
  u = u * c;
  u = std::sqrt(static_cast<float>(u));
  u = u * u;
  u = std::sqrt(static_cast<float>(u));
  u = std::sqrt(static_cast<float>(u));
  second = std::sqrt(static_cast<float>(u));
}

uint32_t ComputerPlayerThreadMask(const World& world) {
  const GameState& state = world.gameState;
  const int32_t local = LocalIndex(world);
  const int32_t highest = HighestPlayer(world);
  uint32_t mask = 0;
  const bool networked = IsNetworkGame(g_commandNet);
  const bool host = g_commandNet.role == kNetGameHost;
  if (!networked || host) {
    for (int32_t p = 0; p <= highest; ++p) {
      if (p == state.localPlayer || world.players[p].kind == kKindEmpty) continue;
      if (networked) {
        const uint32_t slot = world.players[p].networkSlot;
        if (slot != 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman)
          continue;
      }
      mask |= 1u << p;
    }
  }
  return mask | (1u << local);
}

int32_t LogOn(ScreenManager* ui, int32_t loadedFromSave, int32_t joining) {
  World& world = g_world;
  GameState& state = world.gameState;
  g_simUiRoot = ui;
  // A game that was never stopped lets go of its threads first, so that no
  // thread of it runs on into this one.
  if (GameThreadsRunning()) StopGameThreads();

  {
    // A network game's threads read the chat history limit under the
    // text-line lock as lines arrive.
    plat::CriticalSectionLock hold(g_textLines.lock);
    (void)LoadUIOptions(g_uiOptions, g_app.optionsFile);
  }
  if (g_simUi.resetInterfaceForGame) g_simUi.resetInterfaceForGame(ui);
  SetLobbyProgress(ui, 4000);
  // A saved game's records hold the census its own log-on made; counting
  // again here would make the game continued from the save differ from the
  // game that went on.
  if (!loadedFromSave) UnitCensus(world);

  if (state.visibilitySteps == 0) state.visibilitySteps = static_cast<int32_t>(world.cells.size() / 120 + 1);
  if (state.visibilityLfsr == 0) state.visibilityLfsr = 1;
  state.commandLead = world.scenario.head.commandLead;
  state.speedLockMode = world.scenario.head.speedLockMode;
  state.setupWord = world.scenario.head.setupWord;
  state.timedTurnLength = world.scenario.head.turnlength;
  if (state.speedLockMode == 1 && state.timedTurnCountdown <= 0) state.timedTurnCountdown = state.timedTurnLength;
  state.autosaveCountdown = g_uiOptions.autosaveturns;
  SetLocalRecord(world);

  if (!loadedFromSave)
    PrepareNewGame(ui, world);
  else
    PrepareLoadedGame(world, joining);
  RebuildUnitTables(world);
  if (loadedFromSave)
    RestoreSavedTableOrder(world);
  else
    world.savedUnitTables.clear();

  if (g_simUi.clearGameQueues) g_simUi.clearGameQueues(ui);
  int32_t result = g_simUi.loadGameImages ? g_simUi.loadGameImages(ui) : plat::kOk;
  SetLobbyProgress(ui, 6000);
  if (g_simUi.startGameTimer) g_simUi.startGameTimer(ui);

  if (!StartTurnThread()) result = plat::kFail;
  StartComputerPlayerThreads(ComputerPlayerThreadMask(world));

  StartGameLog(world);
  WriteLogOnLines(world);
  CloseLogFile(g_platform);
  if (g_simUi.submitChatLine) g_simUi.submitChatLine(g_platform.logEnabled ? "Log On" : "Log Off", kChatChannelLog);
  return result;
}
