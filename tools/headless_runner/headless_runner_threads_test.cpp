// A network game of two peers in one process, on the in-process network:
// the runner hosts the sample world on its real turn thread while a second
// peer joins, declares itself ready and reports its progress as the host's
// reports arrive, so the host's clock waits on a peer across threads for a
// few days. Built to run under the thread sanitizer.
#include "headless_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "net/held_sends.h"
#include "net_game/lobby_file_check.h"
#include "net_game/net_game_link.h"
#include "net_game/sync_check.h"
#include "net/net_test_support.h"
#include "platform/paths.h"
#include "net/text_message.h"
#include "records/le_bytes.h"
#include "world/scenario_load.h"
#include "support/temp_dir.h"
#include "support/private_game_root.h"

namespace {

// The joiner's side: waits for the host's port, joins, says it is ready once
// it has a slot and again once given a region, sends the account of its
// files the host asks for before the start, then answers each progress report of the host's with its
// own of the same tick, until told to stop. Returns the highest tick it
// reported.
// With `syncErrorAfter` set, once the host's clock passes that tick the
// joiner announces a sync error, as its sync check does when its entries
// differ from the host's.
uint32_t PlayAlong(TestPeer& peer, const std::string& hostOut, const std::atomic<bool>& stop,
                   uint32_t syncErrorAfter = 0) {
  unsigned port = 0;
  if (!Eventually([&] { return std::sscanf(FileText(hostOut).c_str(), "host port %u", &port) == 1; })) return 0;
  if (SetupNetSession(peer.session, 0) != 0) return 0;
  if (NetJoinHost(peer.session, "127.0.0.1", static_cast<uint16_t>(port)) != 0) return 0;
  int own = 0;
  if (!Eventually([&] {
        own = peer.session.localSlot;
        return peer.session.slotAssigned && own > 0 && own < kMaxPlayers;
      }))
    return 0;
  (void)NetSetSlot(peer.session, true);
  if (!Eventually([&] { return peer.Slot(own).region != 0; })) return 0;
  const uint8_t region = peer.Slot(own).region;
  (void)NetSetSlot(peer.session, true);
  // The host names the game once the region is given: its parameter block,
  // then its settings head, each handed to this thread to copy in. The
  // files are read once both have come, as the runner's joiner waits for them.
  if (!Eventually([&] {
        peer.Serve();
        return peer.Codes(kNetCodeSetup) >= 2;
      }))
    return 0;
  // The same files as the host's: both read the one data root.
  if (LoadScenarioFileSequence(*peer.world, "Channel", nullptr) < 0) return 0;
  SendLobbySyncInfo(peer.session, *peer.world, region, peer.world->campaignMessage.word44);
  uint32_t reported = 0, highest = 0;
  while (!stop.load()) {
    const uint32_t tick = peer.Slot(static_cast<int>(kNetHostSlot)).progress;
    if (tick != reported) {
      uint8_t report[kProgressReportSize] = {};
      le::Store32(report, kProgressReportId);
      le::Store32(report + 4, kProgressReportSize);
      le::Store32(report + 8, region);
      le::Store32(report + 12, tick);
      (void)NetSendToPeers(peer.session, report, sizeof report);
      reported = tick;
      highest = std::max(highest, tick);
    }
    if (syncErrorAfter && tick > syncErrorAfter) {
      TextMessage line;
      TextMessageCtor(line, region, kTextToAll, "Sync Error - Game Paused.");
      const std::vector<uint8_t> wire = EncodeTextMessage(line);
      TextMessageDtor(line);
      (void)peer.session.peer->SendTo(peer.session.hostPlayer, wire.data(), wire.size(), 0);
      syncErrorAfter = 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return highest;
}

struct HostRun {
  int code = 0;
  std::string out, err;
  uint32_t lastReport = 0;
};

// The runner hosts `days` of the sample while PlayAlong joins it.
HostRun HostWithJoiner(int days, uint32_t syncErrorAfter = 0) {
  plat::SetDataRoot(PrivateGameRoot());
  TempDir dir;
  const std::string outPath = dir.path() + "/host.out", errPath = dir.path() + "/host.err";
  plat::InProcessNetwork network;
  headless::Options options;
  options.days = days;
  options.game = "Channel";
  options.hostPort = 0;
  options.makePeer = [&network](plat::PeerHandler& handler) { return plat::MakeInProcessPeer(network, handler); };
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> lastReport{0};
  TestPeer joiner("Jo", &network);
  std::thread other([&] { lastReport = PlayAlong(joiner, outPath, stop, syncErrorAfter); });
  std::FILE* out = std::fopen(outPath.c_str(), "w");
  std::FILE* err = std::fopen(errPath.c_str(), "w");
  HostRun run;
  if (out && err) run.code = headless::Run(options, out, err);
  if (out) std::fclose(out);
  if (err) std::fclose(err);
  stop = true;
  other.join();
  run.out = FileText(outPath);
  run.err = FileText(errPath);
  run.lastReport = lastReport.load();
  return run;
}

size_t DayLines(const std::string& printed) {
  size_t days = 0;
  for (size_t at = printed.find("\nday "); at != std::string::npos; at = printed.find("\nday ", at + 1)) ++days;
  return days;
}

// A sync error announced on the second day stops the run after that day,
// with the day named and an exit status that is not success.
TEST(HeadlessRunnerThreads, ASyncErrorStopsTheRunWithItsDayNamed) {
  const HostRun run = HostWithJoiner(4, 1440);
  EXPECT_EQ(run.code, headless::kExitSyncError) << run.err;
  EXPECT_LT(DayLines(run.out), 4u) << run.out;
  const size_t last = run.out.rfind("\nday ");
  ASSERT_NE(last, std::string::npos) << run.out;
  const std::string day = run.out.substr(last + 5, run.out.find(' ', last + 5) - last - 5);
  EXPECT_NE(run.err.find("sync error: the peers' games differ from day " + day + " on; the game stopped after day " +
                         day + "\n"),
            std::string::npos)
      << run.err;
}

TEST(HeadlessRunnerThreads, TwoPeersInOneProcessPlayAFewDaysInStep) {
  const uint64_t under = NetSendsUnderLock(), held = NetSendsHeldBack();
  const HostRun run = HostWithJoiner(3);
  // The computer players post their commands holding the simulation lock:
  // each went to the peer as the lock was let go, none while it was held.
  EXPECT_GT(NetSendsHeldBack(), held);
  EXPECT_EQ(NetSendsUnderLock(), under);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(DayLines(run.out), 3u) << run.out;
  // The host's clock went past the joiner's first report: the joiner's
  // reports are what let it through the days (a day is 1,440 ticks).
  EXPECT_GT(run.lastReport, 1440u) << run.err;
}

}  // namespace
