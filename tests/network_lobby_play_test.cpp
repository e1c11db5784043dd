// The game's own lobby against the headless runner over TCP at 127.0.0.1,
// played through its screens: a joiner whose rule table differs by one cell
// is refused before the start, host and joiner naming the file, while one
// with the host's data is let in; and the game joining a host with other
// data is sent back to the connect screen with the files named.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/app_object.h"
#include "net/net_session.h"
#include "net/net_test_support.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "platform/paths.h"
#include "screens/screen_set.h"
#include "shell/shell.h"
#include "sim/simulation_lock.h"
#include "support/private_game_root.h"
#include "support/control_layout.h"
#include "support/fast_clock.h"
#include "support/own_options_file.h"
#include "support/temp_dir.h"
#include "support/whole_program.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/world.h"

namespace {

// A port nobody listens on now.
uint16_t FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  const bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                  getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0;
  close(s);
  return ok ? ntohs(a.sin_port) : 0;
}

// The headless runner started in its data folder, its output in files.
struct Runner {
  Runner(const std::string& folder, const std::vector<std::string>& args, const std::string& logs)
      : out(logs + ".out"), err(logs + ".err") {
    // The runner reads the data of the folder it stands in.
    const std::string program = folder + "/veldrane-headless";
    pid = fork();
    if (pid == 0) {
      if (chdir(folder.c_str()) != 0 || !freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr))
        _exit(126);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }
  ~Runner() {
    if (pid <= 0 || ended) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  // Its status once it has ended, or -1 while it runs.
  int Status() {
    int status = 0;
    if (!ended && waitpid(pid, &status, WNOHANG) == pid) {
      ended = true;
      code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    return ended ? code : -1;
  }
  pid_t pid = -1;
  bool ended = false;
  int code = -1;
  std::string out, err;
};

// The program runs its frames until the condition holds (a minute at most).
bool PumpUntil(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    PumpWholeProgram();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string StatusOf(Screen& screen) { return ShownText(screen.currentForm, "STATUS"); }

// The screen's form is the one its host shows.
bool OnTheScreen(const Screen& screen) { return screen.host && screen.host->firstChild == screen.currentForm; }

bool Shown(Screen& screen, const char* tag) {
  const Control* c = FormFindControlByTag(screen.currentForm, tag);
  return c && !(c->state & kStateHidden);
}

int ListRows(Screen& screen, const char* tag) {
  const auto* list = dynamic_cast<const ListBoxControl*>(FormFindControlByTag(screen.currentForm, tag));
  int rows = 0;
  for (const Control* r = list ? ListNextRow(list, nullptr) : nullptr; r; r = ListNextRow(list, r)) ++rows;
  return rows;
}

std::string SlotsText() {
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  std::string text;
  for (int s = 0; s < kMaxPlayers; ++s) {
    const NetSlot& slot = g_world.slotTable[s];
    if (slot.state == kSlotHuman)
      text += " slot " + std::to_string(s) + " region " + std::to_string(slot.region) + " ready " +
              std::to_string(slot.ready);
  }
  return text;
}

// The rows of the lobby's list of players as they read (cut, if cut), one
// a line.
std::string RowsText(Screen& screen) {
  const auto* list = dynamic_cast<const ListBoxControl*>(FormFindControlByTag(screen.currentForm, "SLOTS"));
  std::string text;
  for (const Control* r = list ? ListNextRow(list, nullptr) : nullptr; r; r = ListNextRow(list, r))
    if (const auto* row = dynamic_cast<const StringControl*>(r)) text += row->ShownText().text + "\n";
  return text;
}

bool AJoinerHasARegionAndIsReady() {
  plat::CriticalSectionLock hold(g_netSession.slotLock);
  for (int s = kNetHostSlot + 1; s < kMaxPlayers; ++s) {
    const NetSlot& slot = g_world.slotTable[s];
    if (slot.state == kSlotHuman && slot.region != 0 && slot.ready) return true;
  }
  return false;
}

// A copy of the game's data with one cell of a rule table changed, and the
// runner beside it.
std::string DataWithOtherCell(const TempDir& dir) {
  const std::filesystem::path game = std::filesystem::path(VD_GAME_EXE).parent_path();
  const std::string copy = dir.path() + "/cell";
  std::filesystem::create_directories(copy);
  for (const char* folder : {"AI", "INI", "Localize", "MAPS", "PlayerSet", "Scenario"})
    std::filesystem::copy(game / folder, copy + "/" + folder, std::filesystem::copy_options::recursive);
  std::error_code linked;
  std::filesystem::create_hard_link(game / "veldrane-headless", copy + "/veldrane-headless", linked);
  if (linked) std::filesystem::copy_file(game / "veldrane-headless", copy + "/veldrane-headless");
  const std::string table = copy + "/INI/CVars2.CSV";
  std::string text = FileText(table);
  const std::string cell = "Consumer goods per unit,0.1,";
  const size_t at = text.find(cell);
  if (at == std::string::npos) return "";
  text.replace(at, cell.size(), "Consumer goods per unit,0.11,");
  std::ofstream(table, std::ios::binary) << text;
  return copy;
}

class NetworkLobbyPlay : public testing::Test {
 protected:
  void SetUp() override {
    plat::SetClockSource(&clock_);
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(PrivateGameRoot());
    PrepareWholeProgram();
    options_ = std::make_unique<OwnOptionsFile>("NetworkLobbyPlay");
    ASSERT_EQ(InitApplication(g_app), 0);
    RunStartupFrameSkippingSplash(clock_);
    ASSERT_EQ(g_ui.mode, kUiFrontEnd);
  }
  void TearDown() override {
    // The program closes as a player closes it, its session with it.
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    ShutdownApplication(g_app);
    FreeGameData(g_world);
    g_netSession.identity.port = 0;
    options_.reset();
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }
  // Multiplayer from the start menu, on the port (as the settings give it).
  void OpenConnect(uint16_t port) {
    g_netSession.identity.port = port;
    ClickControl(FormFindControlByTag(g_screens.startMenu.currentForm, "MULTI"));
    ASSERT_TRUE(OnTheScreen(*g_screens.connect));
  }

  FastClock clock_;
  std::string oldRoot_;
  std::unique_ptr<OwnOptionsFile> options_;
};

// Hosting: the game is chosen, a joiner comes, is given a region and says
// it is ready, and the game offered again reaches it; its account of its
// files decides whether the host may start.
TEST_F(NetworkLobbyPlay, AJoinerWithOneOtherTableCellIsRefusedOnBothSidesAndOneAlikeGetsIn) {
  TempDir dir;
  const std::string other = DataWithOtherCell(dir);
  ASSERT_FALSE(other.empty()) << "the rule table has no such cell";
  const uint16_t port = FreePort();
  ASSERT_NE(port, 0);
  ASSERT_NO_FATAL_FAILURE(OpenConnect(port));
  ClickControl(FormFindControlByTag(g_screens.connect->currentForm, "HOST"));
  GameLobby& lobby = g_screens.gameLobby;
  ASSERT_TRUE(OnTheScreen(lobby));
  EXPECT_EQ(StatusOf(lobby), "Choose a game from the list.");
  int channel = -1;
  for (size_t i = 0; i < lobby.scenarios.size(); ++i)
    if (lobby.scenarios[i].file == "Channel") channel = static_cast<int>(i);
  ASSERT_GE(channel, 0);
  ClickControl(FormFindControlByTag(lobby.currentForm, "GAMES"), channel);
  // Alone with a region, the host may start: Start is offered and the
  // status says the start waits for nobody. Its clicks then take the region
  // round to none again.
  const std::string alone = "PLAYER (host): no region\n";
  ASSERT_TRUE(PumpUntil([&] { return RowsText(lobby) == alone; })) << RowsText(lobby);
  ClickControl(FormFindControlByTag(lobby.currentForm, "SLOTS"), 0);
  ASSERT_TRUE(PumpUntil([&] { return RowsText(lobby) != alone; }));
  EXPECT_EQ(StatusOf(lobby), "Waiting for players to join; Start begins without them.") << RowsText(lobby);
  EXPECT_TRUE(Shown(lobby, "START"));
  for (int click = 0; click < kMaxPlayers && RowsText(lobby) != alone; ++click) {
    const std::string before = RowsText(lobby);
    ClickControl(FormFindControlByTag(lobby.currentForm, "SLOTS"), 0);
    ASSERT_TRUE(PumpUntil([&] { return RowsText(lobby) != before; })) << before;
  }

  const std::string game = plat::DataRoot();  // this program's copy: the runner may write there
  const std::string address = "127.0.0.1:" + std::to_string(port);
  struct Row {
    const char* name;
    std::string folder;
    bool alike;
  } rows[] = {{"cell", other, false}, {"alike", game, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Runner joiner(row.folder, {"--join", address, "--days", "1"}, dir.path() + "/" + row.name);
    ASSERT_TRUE(PumpUntil([&] { return ListRows(lobby, "SLOTS") == 2 || joiner.Status() >= 0; }))
        << FileText(joiner.err);
    // One come after a refusal: the status says what the start waits for.
    if (row.alike) {
      EXPECT_EQ(StatusOf(lobby), "Give each player a region: click your own row.");
    }
    ClickControl(FormFindControlByTag(lobby.currentForm, "SLOTS"), 1);
    ASSERT_TRUE(PumpUntil([&] { return AJoinerHasARegionAndIsReady() || joiner.Status() >= 0; }))
        << FileText(joiner.err) << SlotsText();
    ClickControl(FormFindControlByTag(lobby.currentForm, "GAMES"), channel);
    if (!row.alike) {
      ASSERT_TRUE(PumpUntil([&] { return joiner.Status() >= 0; })) << FileText(joiner.err);
      EXPECT_NE(joiner.code, 0);
      const std::string said = FileText(joiner.err);
      EXPECT_NE(said.find("the host refused this player: its files differ from the host's (Sync Error: Mismatched SCN "
                          "File.); the files: Scenario\\Channel.GMC, its player settings (PlayerSet\\) or a rule table "
                          "(INI\\*.CSV"),
                std::string::npos)
          << said;
      ASSERT_TRUE(PumpUntil([&] { return ListRows(lobby, "SLOTS") == 1; }));
      const std::string status = StatusOf(lobby);
      EXPECT_NE(status.find("plays with other files (Sync Error: Mismatched SCN File.): dropped; the files: "
                            "Scenario\\Channel.GMC"),
                std::string::npos)
          << status;
      EXPECT_FALSE(Shown(lobby, "START"));
      EXPECT_TRUE(g_netSession.inSession.load()) << "the host's lobby goes on";
    } else {
      // The status says what the start waits for, the rows who is who.
      const auto says = [&](const std::string& status, const std::string& rows) {
        return PumpUntil([&] { return (StatusOf(lobby) == status && RowsText(lobby) == rows) || joiner.Status() >= 0; });
      };
      EXPECT_TRUE(says("Give each player a region: click your own row.",
                       "PLAYER 1 (host): no region\nPLAYER 2: Westholm, ready\n"))
          << StatusOf(lobby) << "\n" << RowsText(lobby) << FileText(joiner.err);
      EXPECT_FALSE(Shown(lobby, "START"));
      // The host takes a region too, not the joiner's; then the game may start.
      ClickControl(FormFindControlByTag(lobby.currentForm, "SLOTS"), 0);
      EXPECT_TRUE(says("Every player is ready: press Start.", "PLAYER 1 (host): Eastmark\nPLAYER 2: Westholm, ready\n"))
          << StatusOf(lobby) << "\n" << RowsText(lobby) << FileText(joiner.err);
      EXPECT_TRUE(Shown(lobby, "START"));
      EXPECT_EQ(joiner.Status(), -1) << FileText(joiner.err);
      EXPECT_EQ(FileText(joiner.err).find("refused"), std::string::npos) << FileText(joiner.err);
      // The game offered again: the account of the last offer is not this one's.
      ClickControl(FormFindControlByTag(lobby.currentForm, "GAMES"), channel);
      EXPECT_FALSE(Shown(lobby, "START"));
      EXPECT_EQ(StatusOf(lobby), "Checking that PLAYER 2 has the host's files.");
    }
  }
  // Leaving ends the session; the joiner let in hears it ended before a start.
  ClickControl(FormFindControlByTag(lobby.currentForm, "BACK"));
}

// Joining a host that chose its game before: once in, the game asks for the
// set-up, reads the game and says it is chosen.
TEST_F(NetworkLobbyPlay, AJoinerAfterTheGameWasChosenReadsIt) {
  TestPeer host("Hera", nullptr);
  std::snprintf(host.world->campaignMessage.name, sizeof host.world->campaignMessage.name, "Channel");
  ASSERT_NO_FATAL_FAILURE(host.Host());
  ASSERT_NO_FATAL_FAILURE(OpenConnect(static_cast<uint16_t>(host.session.identity.port)));
  ClickControl(FormFindControlByTag(g_screens.connect->currentForm, "JOIN"));
  GameLobby& lobby = g_screens.gameLobby;
  ASSERT_TRUE(OnTheScreen(lobby));
  const std::string chosen = "Game chosen: The Narrow Channel. ";
  const auto says = [&](const std::string& status) {
    return PumpUntil([&] {
      host.Serve();  // the host's main thread answers
      return StatusOf(lobby) == status;
    });
  };
  ASSERT_TRUE(says(chosen + "Waiting for the host to give you a region.")) << StatusOf(lobby);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_STREQ(g_world.campaignMessage.name, "Channel");
    EXPECT_NE(g_world.scenario.gamfile, nullptr) << "the chosen game was read";
  }
  // Given a region by the host, the player is told to say it is ready.
  ASSERT_EQ(NetSetSlotFields(host.session, g_netSession.localSlot, 1, 0), 0);
  EXPECT_TRUE(says(chosen + "You play Westholm: press Ready.")) << StatusOf(lobby);
  EXPECT_EQ(RowsText(lobby), "Hera (host): no region\nPLAYER (you): Westholm\n");
  ClickControl(FormFindControlByTag(lobby.currentForm, "READY"));
  EXPECT_TRUE(says(chosen + "You play Westholm and are ready: the host starts the game.")) << StatusOf(lobby);
}

// Joining a host whose data differ: the game reads the offered game when
// given a region, its files are refused and it stands at the connect
// screen again, the files named there and on the host.
TEST_F(NetworkLobbyPlay, JoiningAHostWithOtherDataReturnsToTheConnectScreenWithTheFilesNamed) {
  TempDir dir;
  const std::string other = DataWithOtherCell(dir);
  ASSERT_FALSE(other.empty()) << "the rule table has no such cell";
  Runner host(other, {"--host", "0", "--days", "1", "Channel"}, dir.path() + "/host");
  unsigned port = 0;
  ASSERT_TRUE(PumpUntil([&] {
    return std::sscanf(FileText(host.out).c_str(), "host port %u", &port) == 1 || host.Status() >= 0;
  }));
  ASSERT_NE(port, 0u) << FileText(host.err);
  ASSERT_NO_FATAL_FAILURE(OpenConnect(static_cast<uint16_t>(port)));
  ClickControl(FormFindControlByTag(g_screens.connect->currentForm, "JOIN"));
  GameLobby& lobby = g_screens.gameLobby;
  ASSERT_TRUE(OnTheScreen(lobby));
  ASSERT_TRUE(PumpUntil([] { return g_netSession.slotAssigned.load() != 0; }));
  // Ready for a region, and ready again once given it.
  ClickControl(FormFindControlByTag(lobby.currentForm, "READY"));
  ASSERT_TRUE(PumpUntil([&] {
    const int32_t own = g_netSession.localSlot;
    plat::CriticalSectionLock hold(g_netSession.slotLock);
    return !g_netSession.inSession || (own > 0 && own < kMaxPlayers && g_world.slotTable[own].region != 0);
  }));
  ClickControl(FormFindControlByTag(lobby.currentForm, "READY"));
  Screen& connect = *g_screens.connect;
  ASSERT_TRUE(PumpUntil([&] { return OnTheScreen(connect); })) << FileText(host.err);
  const std::string status = StatusOf(connect);
  EXPECT_NE(status.find("The host refused this player: its files differ from the host's (Sync Error: Mismatched SCN "
                        "File.); the files: Scenario\\Channel.GMC"),
            std::string::npos)
      << status;
  EXPECT_NE(status.find("(INI\\*.CSV"), std::string::npos) << status;
  EXPECT_NE(FileText(host.err).find("plays with other files (Sync Error: Mismatched SCN File.): dropped; the files: "
                                  "Scenario\\Channel.GMC"),
            std::string::npos)
      << FileText(host.err);
}

}  // namespace
