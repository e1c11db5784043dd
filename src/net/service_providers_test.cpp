// The provider a session runs on is found by the settings' name, exactly.
#include "net/service_providers.h"

#include <gtest/gtest.h>

#include <string>

#include "net/command_line_session.h"
#include "net/net_test_support.h"
#include "platform/peer.h"

namespace {

TEST(ServiceProviders, TheSettingsNameThePeerLayersOneProviderOrNone) {
  // Each row sets the settings' provider name before the set-up; then, with
  // no provider chosen (as after a close), the session looks it up again.
  struct Row {
    const char* name;
    const char* after;  // the settings' name after the set-up
    bool found;
  } rows[] = {
      {"", kTcpIpProviderName, true},
      {kTcpIpProviderName, kTcpIpProviderName, true},
      {"directplay8 tcp/ip service provider", "directplay8 tcp/ip service provider", false},
      {"DirectPlay8 Modem Service Provider", "DirectPlay8 Modem Service Provider", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    plat::InProcessNetwork network;
    TestPeer peer("Pat", &network);
    std::snprintf(peer.session.identity.preferredProvider, sizeof peer.session.identity.preferredProvider, "%s",
                  row.name);
    ASSERT_EQ(SetupNetSession(peer.session, 1), 0);
    EXPECT_STREQ(peer.session.identity.preferredProvider, row.after);
    EXPECT_EQ(peer.session.chosenProvider, kTcpIpProviderName);  // the default runs until it is looked up
    EXPECT_EQ(NetPrepareSession(peer.session), 0);
    peer.session.chosenProvider.clear();
    EXPECT_EQ(NetPrepareSession(peer.session) == 0, row.found);
    EXPECT_EQ(NetFindServiceProvider(peer.session, nullptr) != nullptr, row.found);
    EXPECT_EQ(peer.session.providers.size(), 1u);
    EXPECT_EQ(peer.session.chosenProvider, row.found ? kTcpIpProviderName : "");
  }
}

}  // namespace
