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
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "net_game/net_game_link.h"
#include "net/net_test_support.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "support/temp_dir.h"

namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The joiner's side: waits for the host's port, joins, says it is ready once
// it has a region, then answers each progress report of the host's with its
// own of the same tick, until told to stop. Returns the highest tick it
// reported.
uint32_t PlayAlong(TestPeer& peer, const std::string& hostOut, const std::atomic<bool>& stop) {
  unsigned port = 0;
  if (!Eventually([&] { return std::sscanf(FileText(hostOut).c_str(), "host port %u", &port) == 1; })) return 0;
  if (SetupNetSession(peer.session, 0) != 0) return 0;
  if (NetJoinHost(peer.session, "127.0.0.1", static_cast<uint16_t>(port)) != 0) return 0;
  int own = 0;
  if (!Eventually([&] {
        own = peer.session.localSlot;
        return own > 0 && own < kMaxPlayers && peer.Slot(own).region != 0;
      }))
    return 0;
  const uint8_t region = peer.Slot(own).region;
  (void)NetSetSlot(peer.session, true);
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
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return highest;
}

TEST(HeadlessRunnerThreads, TwoPeersInOneProcessPlayAFewDaysInStep) {
  plat::SetDataRoot(VD_GAME_DIR);
  TempDir dir;
  const std::string outPath = dir.path() + "/host.out", errPath = dir.path() + "/host.err";
  plat::InProcessNetwork network;
  headless::Options options;
  options.days = 3;
  options.game = "Channel";
  options.hostPort = 0;
  options.makePeer = [&network](plat::PeerHandler& handler) { return plat::MakeInProcessPeer(network, handler); };
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> lastReport{0};
  TestPeer joiner("Jo", &network);
  std::thread other([&] { lastReport = PlayAlong(joiner, outPath, stop); });
  std::FILE* out = std::fopen(outPath.c_str(), "w");
  std::FILE* err = std::fopen(errPath.c_str(), "w");
  ASSERT_TRUE(out && err);
  const int code = headless::Run(options, out, err);
  std::fclose(out);
  std::fclose(err);
  stop = true;
  other.join();
  const std::string printed = FileText(outPath);
  EXPECT_EQ(code, 0) << FileText(errPath);
  size_t days = 0;
  for (size_t at = printed.find("\nday "); at != std::string::npos; at = printed.find("\nday ", at + 1)) ++days;
  EXPECT_EQ(days, 3u) << printed;
  // The host's clock went past the joiner's first report: the joiner's
  // reports are what let it through the days (a day is 1,440 ticks).
  EXPECT_GT(lastReport.load(), 1440u) << FileText(errPath);
}

}  // namespace
