// The host list: merging by instance, its lines and changed flag, ageing
// from a clock that starts at 0, and a list that stands still while joining.
#include "net/host_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HostList, AnswersMergeAgeAndShow) {
  enum Op { kAnswer, kAge, kConnect };
  struct Step {
    Op op;
    uint32_t now;
    uint64_t instance;
    uint32_t players, maxPlayers, rtt;
    bool taken;                      // kAnswer: accepted
    bool changed;                    // the flag after this step (read and cleared)
    std::vector<std::string> shown;  // active lines after this step
  };
  const Step steps[] = {
      {kAnswer, 1000, 7, 2, 16, 3, true, true, {"Channel (2/16) (3ms)"}},
      {kAnswer, 1200, 7, 2, 16, 3, true, false, {"Channel (2/16) (3ms)"}},
      {kAnswer, 1000, 7, 3, 16, 3, true, true, {"Channel (3/16) (3ms)"}},
      {kAnswer, 1000, 9, 2, 0, 3, true, true, {"Channel (2) (3ms)", "Channel (3/16) (3ms)"}},
      {kAge, 5500, 0, 0, 0, 0, true, false, {"Channel (2) (3ms)", "Channel (3/16) (3ms)"}},
      {kAnswer, 5000, 9, 2, 0, 3, true, false, {"Channel (2) (3ms)", "Channel (3/16) (3ms)"}},
      {kAge, 5501, 0, 0, 0, 0, true, true, {"Channel (2) (3ms)"}},
      {kAnswer, 6000, 11, 1, 8, 40, true, true, {"Channel (2) (3ms)", "Channel (1/8) (40ms)"}},
      {kConnect, 0, 0, 0, 0, 0, true, false, {"Channel (2) (3ms)", "Channel (1/8) (40ms)"}},
      {kAnswer, 6100, 12, 1, 8, 40, false, false, {"Channel (2) (3ms)", "Channel (1/8) (40ms)"}},
  };
  HostList list;
  ASSERT_EQ(list.ageOut, 4500u);
  int row = 0;
  for (const Step& s : steps) {
    ++row;
    bool taken = true;
    if (s.op == kAnswer) {
      plat::PeerHostAnswer a;
      a.instance = s.instance;
      a.sessionName = "Channel";
      a.players = s.players;
      a.maxPlayers = s.maxPlayers;
      a.roundTripMs = s.rtt;
      a.address = "127.0.0.1";
      a.hostPort = 2300;
      taken = HostListAddResponse(list, a, s.now);
    } else if (s.op == kAge) {
      HostListAgeOut(list, s.now);
    } else {
      list.connecting = true;
    }
    EXPECT_EQ(taken, s.taken) << "row " << row;
    EXPECT_EQ(list.changed, s.changed) << "row " << row;
    std::vector<std::string> shown;
    for (const HostListEntry& e : HostListToControl(list)) shown.push_back(e.text);
    EXPECT_EQ(shown, s.shown) << "row " << row;
    EXPECT_FALSE(list.changed) << "row " << row;
  }
  // The aged-out entry was reused rather than a third made.
  EXPECT_EQ(list.entries.size(), 2u);
  HostListClear(list);
  EXPECT_TRUE(HostListToControl(list).empty());
}

}  // namespace
