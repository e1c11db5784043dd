// The provider a session runs on is found by the settings' name, exactly.
#include "net/service_providers.h"

#include <gtest/gtest.h>

#include <string>

#include "net/command_line_session.h"
#include "net/net_test_support.h"
#include "platform/peer.h"

namespace {

TEST(ServiceProviders, TheSettingsNameThePeerLayersOneProviderOrNone) {
  // The set-up runs on the default; with none chosen (as after a close) the
  // settings' name is looked up, exactly. An empty name becomes the default.
  struct Row { const char* name; bool found; } rows[] = {
      {"", true}, {kTcpIpProviderName, true}, {"directplay8 tcp/ip service provider", false}, {"Modem", false}};
  for (const Row& row : rows) {
    plat::InProcessNetwork network;
    TestPeer peer("Pat", &network);
    std::snprintf(peer.session.identity.preferredProvider, sizeof peer.session.identity.preferredProvider, "%s", row.name);
    ASSERT_EQ(SetupNetSession(peer.session, 1), 0);
    EXPECT_EQ(NetPrepareSession(peer.session), 0) << row.name;
    peer.session.chosenProvider.clear();
    EXPECT_EQ(NetPrepareSession(peer.session) == 0, row.found) << row.name;
    EXPECT_EQ(peer.session.chosenProvider, row.found ? kTcpIpProviderName : "") << row.name;
  }
}

}  // namespace
