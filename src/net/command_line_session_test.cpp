// A session started from the command line over TCP at 127.0.0.1: a host
// opens the lobby at once; a client finds the host, joins and opens the
// lobby as joiner; and a client that finds nobody gives up after a minute.
#include "net/command_line_session.h"

#include <gtest/gtest.h>

#include "net/net_test_support.h"
#include "net/net_ui_link.h"
#include "platform/clock.h"

namespace {

std::vector<int32_t> g_lobbies;
int g_ends = 0;

TEST(CommandLineSession, HostOpensTheLobbyClientFindsAndJoinsOrGivesUpAfterAMinute) {
  g_lobbies.clear();
  g_ends = 0;
  g_netUi.openLobby = [](ScreenManager*, int32_t mode) { g_lobbies.push_back(mode); };
  g_netUi.endProgram = [](ScreenManager*) { ++g_ends; };
  TestPeer host("", nullptr), client("Cleo", nullptr), lonely("Lone", nullptr);
  ASSERT_EQ(NetPrepareSession(host.session), plat::kFail);  // no peer yet
  for (TestPeer* p : {&host, &client, &lonely}) ASSERT_EQ(SetupNetSession(p->session, 0), 0);

  EXPECT_EQ(StartCommandLineSession(host.session, nullptr, 1, 0, "127.0.0.1"), CommandLineStage::kInLobby);
  EXPECT_STREQ(host.session.identity.playerName, "PLAYER");
  EXPECT_EQ(host.session.isHost.load(), 1);

  std::snprintf(client.session.identity.hostAddress, sizeof client.session.identity.hostAddress, "127.0.0.1");
  client.session.identity.port = host.session.identity.port;
  EXPECT_EQ(StartCommandLineSession(client.session, nullptr, 2, plat::TickCount(), "127.0.0.1"),
            CommandLineStage::kSearching);
  ASSERT_TRUE(Eventually([&] {
    return PollCommandLineSession(client.session, nullptr, plat::TickCount()) == CommandLineStage::kInLobby;
  }));
  EXPECT_TRUE(Eventually([&] { return client.session.slotAssigned.load() == 1; }));
  EXPECT_EQ(g_lobbies, (std::vector<int32_t>{kLobbyModeHost, kLobbyModeJoin}));

  // Nobody answers on this port: the search runs to the minute, then ends the program.
  std::snprintf(lonely.session.identity.hostAddress, sizeof lonely.session.identity.hostAddress, "127.0.0.1");
  lonely.session.identity.port = 9;
  const struct {
    uint32_t at;
    CommandLineStage stage;
    int ends;
  } rows[] = {{0, CommandLineStage::kSearching, 0}, {kCommandLineSearchMs - 1, CommandLineStage::kSearching, 0},
              {kCommandLineSearchMs, CommandLineStage::kFailed, 1}, {kCommandLineSearchMs + 500, CommandLineStage::kFailed, 1}};
  const uint32_t start = 1000;
  EXPECT_EQ(StartCommandLineSession(lonely.session, nullptr, 2, start, "127.0.0.1"), CommandLineStage::kSearching);
  for (const auto& row : rows) {
    EXPECT_EQ(PollCommandLineSession(lonely.session, nullptr, start + row.at), row.stage) << row.at;
    EXPECT_EQ(g_ends, row.ends) << row.at;
  }
  g_netUi = NetUiLink{};
}

}  // namespace
