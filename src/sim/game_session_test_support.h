#pragma once
// For tests of a running game: the game world set up as a small map with a
// few regions, the interface link recording what the simulation tells the
// main window, a clock that tests drive, and a helper that runs a number of
// days on the real turn thread as fast as it can and stops there.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ai/computer_player_install.h"
#include "sim/command_log.h"
#include "sim/computer_player_link.h"
#include "net/command_network.h"
#include "sim/daily/elimination.h"
#include "sim/game_threads.h"
#include "sim/player_message_link.h"
#include "sim/sim_ui_link.h"
#include "support/temp_dir.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/ai_event_queue.h"
#include "world/unit_ring.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "world/game_speed.h"
#include "world/map_data.h"
#include "world/recurring_item.h"
#include "sim/save_file.h"
#include "world/text/scenario_text.h"
#include "world/text/ui_options.h"
#include "world/world.h"

// What the simulation told the main window, in order.
class TurnEventRecorder {
 public:
  static TurnEventRecorder& Get() {
    static TurnEventRecorder recorder;
    return recorder;
  }
  void Reset(int pauseAfterTurns = 0) {
    std::lock_guard hold(lock_);
    codes_.clear();
    turns_ = 0;
    pauseAfterTurns_ = pauseAfterTurns;
  }
  // Called on the turn thread. After the given number of turn ends the game
  // pauses there, before the thread looks at the speed.
  void Record(uint32_t code) {
    std::lock_guard hold(lock_);
    codes_.push_back(code);
    if (code == 1 && ++turns_ == pauseAfterTurns_)
      std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(0, std::memory_order_relaxed);
    changed_.notify_all();
  }
  std::vector<uint32_t> Codes() {
    std::lock_guard hold(lock_);
    return codes_;
  }
  bool WaitForTurns(int turns, std::chrono::milliseconds limit) {
    std::unique_lock hold(lock_);
    return changed_.wait_for(hold, limit, [&] { return turns_ >= turns; });
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<uint32_t> codes_;
  int turns_ = 0;
  int pauseAfterTurns_ = 0;
};

// A clock that only moves when the code under test sleeps (or the test says
// so); it records every sleep.
class ScriptedClock : public plat::ClockSource {
 public:
  uint64_t MonotonicMs() override {
    std::lock_guard hold(lock_);
    return now_;
  }
  void SleepMs(uint32_t ms) override {
    {
      std::lock_guard hold(lock_);
      now_ += ms;
      sleeps_.push_back(ms);
    }
    // Let other threads run, as a real sleep would.
    std::this_thread::yield();
  }
  plat::LocalTime Now() override { return plat::LocalTime{}; }
  std::vector<uint32_t> Sleeps() {
    std::lock_guard hold(lock_);
    return sleeps_;
  }
  void Advance(uint64_t ms) {
    std::lock_guard hold(lock_);
    now_ += ms;
  }

 private:
  std::mutex lock_;
  uint64_t now_ = 1000;
  std::vector<uint32_t> sleeps_;
};

// The game world as a small running game: a width x height map, player 1
// local and human (or computer-led with allComputer), players 2 to
// `highest` computer-led, every region numbered and named, nothing logged,
// no autosave, no interface but the recorder.
class GameSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedUi_ = g_simUi;
    savedComputerPlayers_ = g_computerPlayers;
    InstallComputerPlayers();
    savedNet_ = g_commandNet;
    savedMessages_ = g_playerMessageLink;
    savedOptions_ = g_uiOptions;
    savedWriter_ = g_saveFileWriter;
    std::memcpy(savedSavePath_, g_app.saveGamePath, sizeof savedSavePath_);
    savedAck_ = g_app.sysACKSlices;
    savedSkip_ = g_app.sysSleepSkipDef;
    savedTurnproc_ = g_app.sysSleepTurnprocDef;
    savedPeriod_ = g_app.sysTimePeriod;

    g_simUi = SimUiLink{};
    g_simUi.postTurnEvent = [](uint32_t code) { TurnEventRecorder::Get().Record(code); };
    g_commandNet = CommandNetLink{};
    g_playerMessageLink = PlayerMessageLink{};
    TurnEventRecorder::Get().Reset();
    g_app.sysACKSlices = 0;
    g_app.sysSleepSkipDef = 1 << 30;
    g_app.sysSleepTurnprocDef = 0;
    g_app.sysTimePeriod = 0;
    g_uiOptions.outlogdef = 0;
    g_uiOptions.autosaveturns = 0;
    // Log-on reads the options again (their defaults log and autosave):
    // the data root is a folder of the test's own, where the logs land;
    // saves are only recorded.
    savedRoot_ = plat::DataRoot();
    plat::SetDataRoot(saveFolder_.path());
    g_app.saveGamePath[0] = '\0';
    SavedNames().clear();
    g_saveFileWriter = [](std::string_view path, const void*, size_t) -> plat::Status {
      SavedNames().emplace_back(path);
      return plat::kOk;
    };
    SetLogTarget(g_platform, "", false, false);
    madeLocks_ = !WorldLocksExist(g_world);
    if (madeLocks_) WorldInitLocks(g_world);
    // A whole-program test that closed its window mid-game stopped only the
    // threads (as the program does on its way out): the commands its log-on
    // posted, and its computer players' news, would run in this game.
    g_commandLog.Clear();
    ClearGameRunState(g_world);
    g_aiEvents.Clear();
    ClearComputerPlayerWorkers();
  }

  void TearDown() override {
    StopGameThreads();
    g_commandLog.Clear();
    plat::SetClockSource(nullptr);
    ClearScenarioSettings(g_world.scenario);
    FreeGameData(g_world);
    FreeMapData(g_world);
    std::vector<uint8_t>().swap(g_world.spottingMap);
    g_world.stats = WorldStatTables{};
    if (madeLocks_) WorldDeleteLocks(g_world);
    g_simUi = savedUi_;
    g_computerPlayers = savedComputerPlayers_;
    g_commandNet = savedNet_;
    g_playerMessageLink = savedMessages_;
    g_uiOptions = savedOptions_;
    g_saveFileWriter = savedWriter_;
    std::memcpy(g_app.saveGamePath, savedSavePath_, sizeof savedSavePath_);
    g_app.sysACKSlices = savedAck_;
    g_app.sysSleepSkipDef = savedSkip_;
    g_app.sysSleepTurnprocDef = savedTurnproc_;
    g_app.sysTimePeriod = savedPeriod_;
    SetLogTarget(g_platform, "", false, false);
    CloseLogFile(g_platform);
    plat::SetDataRoot(savedRoot_);
  }

  // The paths the game saved to (the writer only records them).
  static std::vector<std::string>& SavedNames() {
    static std::vector<std::string> names;
    return names;
  }

  // A fresh game on the game world.
  void BuildWorld(int width, int height, int highest, bool allComputer = false) {
    World& w = g_world;
    FreeGameData(w);
    // Log-on hands the scenario's settings (its music, its start) to the
    // regions: a scenario an earlier test loaded is not this game's, which
    // starts from the settings as the program starts with them.
    ReleaseScenarioSettings(w.scenario);
    // So are a loaded map (its cells' stacks freed first) and its header,
    // which the new game state reads, and the scenario's report texts,
    // which queue a first turn's message.
    FreeMapData(w);
    w.mapHeader = MapHeaderWithSizes();
    FreeScenarioText(g_scenarioText);
    std::vector<TechRecord>().swap(w.techs);
    std::vector<uint8_t>().swap(w.people);
    std::vector<uint8_t>().swap(w.terrainExtra);
    ASSERT_EQ(ResizeMap(w, width, height), 0);
    NewGameData(w);
    GameState& s = w.gameState;
    s.highestPlayer = highest;
    s.localPlayer = 1;
    s.minutesLeft = 1440;
    s.daysPerTurn = 1;
    s.currentDay = 2451544;  // 1 January 2000
    for (int p = 0; p < kMaxPlayers; ++p) {
      PlayerRecord& r = w.players[p];
      r.number = static_cast<uint8_t>(p);
      std::snprintf(r.name, sizeof r.name, "Region%u", unsigned{r.number});
    }
    w.players[1].kind = allComputer ? kKindComputer : kKindHuman;
    for (int p = 2; p <= highest; ++p) w.players[p].kind = kKindComputer;
    w.localPlayerRecord = &w.players[1];
  }

  // Every region 1..highest holds the columns x with x % highest == p - 1
  // (unless the test has handed out the land itself), 100 people a hex, and
  // a capital city on its first hex of row 1, so that the day's elimination
  // check keeps it in the game.
  static constexpr int kCapitalClass = 4003;
  void GiveRegionsLand(int highest, bool assignOwners = true) {
    World& w = g_world;
    if (highest < 1 || w.mapWidth < highest || w.mapHeight < 2) return;
    w.terrains.assign(256, TerrainRecord{});
    w.terrains[0].bytes[98] = 1;  // the population level: 1 x 1 + 99 people
    w.unitClasses.assign(kCapitalClass + 1, UnitClassRecord{});
    UnitClassRecord& capital = w.unitClasses[kCapitalClass];
    std::snprintf(capital.name, sizeof capital.name, "Capital");
    capital.flags = 0x40 | (1u << 20);  // a facility; a settlement and capital
    capital.strengthPerSize = 1;
    capital.reach = 1.0f;
    if (assignOwners) {
      for (size_t c = 0; c < w.cells.size(); ++c) {
        const int x = static_cast<int>(c % static_cast<size_t>(w.mapWidth));
        w.cells[c].word = WithCellOwner(w.cells[c].word, x % highest + 1);
      }
    }
    for (int p = 1; p <= highest; ++p) {
      int x = 0;
      while (x < w.mapWidth && CellOwner(w.cells[static_cast<size_t>(w.mapWidth + x)].word) != p) ++x;
      ASSERT_LT(x, w.mapWidth) << "region " << p << " holds no hex in row 1";
      PlaceFacility(p, 1, kCapitalClass, x, 1);
      const CapitalPosition at{static_cast<int16_t>(x), 1};
      SetCapitalHex(w.players[p].simPolicy, at);
      SetCapitalHex(w.players[p].displayPolicy, at);
    }
  }

  // A finished facility of the class in the unit ring and as the lead of
  // hex (x, y); its id is the owner in the top byte over `serial`.
  static void PlaceFacility(int owner, uint32_t serial, int classIndex, int x, int y) {
    World& w = g_world;
    auto* unit = new UnitRecord{};
    unit->owner = static_cast<uint8_t>(owner);
    unit->controller = unit->owner;
    unit->id = static_cast<uint32_t>(owner) << 24 | serial;
    unit->classIndex = static_cast<int16_t>(classIndex);
    unit->unitFlags = kUnitFacility;
    unit->x = static_cast<int16_t>(x);
    unit->y = static_cast<int16_t>(y);
    unit->strength = 1.0f;
    unit->targetStrength = 1.0f;
    unit->efficiency = 1.0f;
    InsertUnitInRing(w, *unit);
    MakeHexStack(w.cells[static_cast<size_t>(y * w.mapWidth + x)])->lead = unit;
  }

  // Runs `days` one-day turns on the running turn thread at the fastest
  // speed; the game pauses after the last of them, and the thread is left
  // waiting for its go event.
  void RunDaysOnTurnThread(int days) {
    TurnEventRecorder::Get().Reset(days);
    std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 30, std::memory_order_relaxed);
    ASSERT_NE(g_gameThreads.turnGo, nullptr);
    g_gameThreads.turnGo->Set();
    ASSERT_TRUE(TurnEventRecorder::Get().WaitForTurns(days, std::chrono::seconds(120)));
  }

 private:
  SimUiLink savedUi_;
  ComputerPlayerLink savedComputerPlayers_;
  CommandNetLink savedNet_;
  PlayerMessageLink savedMessages_;
  UiOptions savedOptions_;
  SaveFileWriter savedWriter_ = nullptr;
  char savedSavePath_[sizeof g_app.saveGamePath] = {};
  int32_t savedAck_ = 0, savedSkip_ = 0, savedTurnproc_ = 0, savedPeriod_ = 0;
  bool madeLocks_ = false;
  std::string savedRoot_;
  TempDir saveFolder_;
};
