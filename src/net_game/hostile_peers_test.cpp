// A live host on 127.0.0.1 against connections that mean it harm: each
// case below is refused or dropped with one log line, the host holds no
// connection or buffer for it afterwards, and its joined player plays on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/log.h"
#include "app/program_version.h"
#include "net_game/net_events.h"
#include "net/net_test_support.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "support/loopback_socket.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kHelloMs = 300;  // the test's hello limit: short, never slept on whole

void Write(int fd, const std::vector<uint8_t>& bytes) { (void)!::write(fd, bytes.data(), bytes.size()); }

std::vector<uint8_t> Length(uint32_t n) { return {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)}; }

// The NetStage lines of the log since the last call.
class LogTail {
 public:
  explicit LogTail(std::string path) : path_(std::move(path)) {}
  std::vector<std::string> Take() {
    std::vector<std::string> lines;
    std::ifstream in(path_);
    int n = 0;
    for (std::string line; std::getline(in, line); ++n)
      if (n >= seen_ && line.find("NetStage: ") != std::string::npos) lines.push_back(line.substr(line.find("NetStage: ")));
    seen_ = n;
    return lines;
  }

 private:
  std::string path_;
  int seen_ = 0;
};

size_t Matching(const std::vector<std::string>& lines, const std::string& part) {
  size_t n = 0;
  for (const auto& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

// A command for region 5 (the joiner's), as its wire image.
std::vector<uint8_t> CommandFor(uint8_t region) {
  std::vector<uint8_t> m(64, 0);
  le::Store32(m.data(), kGameCommandHeader);
  le::Store32(m.data() + 4, 64);
  m[16] = region;  // the player it speaks for, checked against the sender's region
  return m;
}

TEST(HostilePeers, EachIsRefusedOnceAndTheHostPlaysOn) {
  TempDir dir;
  plat::SetDataRoot(dir.path());
  std::filesystem::create_directories(dir.path() + "/Savegame");
  SetLogTarget(g_platform, "Savegame\\net.log", true, true);
  LogTail log(dir.path() + "/Savegame/net.log");

  TestPeer host("Hera", nullptr);
  host.world->scenario.head.programVersion = host.session.programVersion;
  host.session.guard.maxPending = 4;
  host.session.guard.helloTimeoutMs = kHelloMs;
  host.Host();
  const auto port = static_cast<uint16_t>(host.session.identity.port);
  host.session.playerLimit = 3;  // the host, one friend, and one at a time of those below

  // A friend who joins first and must still be there at the end.
  TestPeer friendly("Ann", nullptr);
  friendly.Join(host);
  ASSERT_TRUE(Eventually([&] { return friendly.session.slotAssigned.load() != 0; }));
  (void)log.Take();

  auto pendingNow = [&] { return host.session.peer->Load().pending; };
  auto drained = [&] {
    return Eventually([&] {
      const plat::PeerLoad load = host.session.peer->Load();
      return load.pending == 0 && load.bufferedBytes == 0;
    });
  };

  struct Row {
    const char* name;
    std::function<void()> act;  // what the attacker does
    const char* logged;         // the part of the line each connection leaves
    size_t lines;
  };
  std::vector<int> sockets;
  auto open = [&](int n) {
    for (int i = 0; i < n; ++i) sockets.push_back(LoopbackConnect(port));
  };
  const Row rows[] = {
      // Ten half-sent hellos: four wait (no buffer past a hello's 53
      // bytes), each newer one pushes out the oldest waiting, and the last
      // four go when their time is up.
      {"half-sent frames",
       [&] {
         for (int i = 0; i < 10; ++i) {
           const int fd = LoopbackConnect(port);
           sockets.push_back(fd);
           std::vector<uint8_t> head = Length(53);
           head.push_back(1);
           Write(fd, head);
           // Let the host count this one before the next arrives.
           ASSERT_TRUE(Eventually([&] { return pendingNow() == std::min<size_t>(i + 1, 4); }) || i >= 4);
         }
         EXPECT_LE(host.session.peer->Load().bufferedBytes, 4u * 53);
       },
       "", 10},
      // A frame announced far beyond a hello: refused before it is buffered.
      {"a huge frame before the hello",
       [&] {
         open(1);
         auto bytes = Length(262208);
         bytes.push_back(1);
         Write(sockets.back(), bytes);
       },
       "more than the 53 allowed", 1},
      {"a silent connection", [&] { open(1); }, "no hello within 300 ms", 1},
      {"random bytes",
       [&] {
         open(1);
         std::mt19937 random(56);
         std::vector<uint8_t> noise(5000);
         for (auto& b : noise) b = static_cast<uint8_t>(random());
         Write(sockets.back(), noise);
       },
       "closed", 1},
      {"an HTTP line",
       [&] {
         open(1);
         const std::string get = "GET / HTTP/1.0\r\n\r\n";
         Write(sockets.back(), std::vector<uint8_t>(get.begin(), get.end()));
       },
       "allowed", 1},
      {"a hello of the wrong size",
       [&] {
         open(1);
         auto bytes = Length(5);
         for (int i = 0; i < 5; ++i) bytes.push_back(1);
         Write(sockets.back(), bytes);
       },
       "is not a hello", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.act();
    std::vector<std::string> lines;
    EXPECT_TRUE(Eventually([&] {
      for (auto& l : log.Take()) lines.push_back(l);
      return Matching(lines, "connection from 127.0.0.1:") >= row.lines;
    }));
    ASSERT_TRUE(drained());
    for (auto& l : log.Take()) lines.push_back(l);
    EXPECT_EQ(Matching(lines, "connection from 127.0.0.1:"), row.lines);
    EXPECT_EQ(Matching(lines, row.logged), row.lines);
    for (int fd : sockets) ::close(fd);
    sockets.clear();
  }

  // A joined player sending bad messages: each is dropped before the host
  // relays it, and after five forgiven the sixth drops the player.
  {
    SCOPED_TRACE("a valid hello then bad messages");
    TestPeer rogue("Rex", nullptr);
    rogue.Join(host);
    ASSERT_TRUE(Eventually([&] { return rogue.session.slotAssigned.load() != 0; }));
    (void)log.Take();
    const int friendlyBefore = friendly.commandCount;
    for (int i = 0; i < 20; ++i) {
      const auto bad = CommandFor(7);  // a region it does not hold
      (void)rogue.session.peer->SendTo(plat::kPeerAll, bad.data(), bad.size(), 0);
    }
    std::vector<std::string> lines;
    ASSERT_TRUE(Eventually([&] {
      for (auto& l : log.Take()) lines.push_back(l);
      return Matching(lines, "removing player") == 1;
    }));
    EXPECT_EQ(Matching(lines, "dropped message 0x20001"), 6u);
    EXPECT_EQ(Matching(lines, "dropped: 6 of its messages failed the checks"), 1u);
    EXPECT_TRUE(Eventually([&] { return !rogue.session.inSession; }));
    EXPECT_EQ(friendly.commandCount.load(), friendlyBefore);  // nothing was relayed
  }

  // A joiner of another version leaves before any game, and both sides
  // read the line.
  {
    SCOPED_TRACE("a wrong version");
    TestPeer other("Otto", nullptr);
    other.session.programVersion = 0x000900;
    other.Join(host);
    ASSERT_TRUE(Eventually([&] { return other.session.slotAssigned.load() != 0; }));
    const std::vector<uint8_t> request = {4, 0, 2, 0, 8, 0, 0, 0};
    (void)NetSendGameMessage(other.session, host.session.hostPlayer, false, request.data(), nullptr, 0);
    ASSERT_TRUE(Eventually([&] {
      host.Serve();
      other.Serve();
      return other.session.hostProgramVersion.load() != 0;
    }));
    EXPECT_TRUE(ReportVersionMismatch(other.session));
    const std::string line = "(Otto) Different Versions!\n  Host 0.1.0, Ours 0.9.0.";
    EXPECT_TRUE(Eventually([&] { return Matching(host.Lines(), line) == 1; }));
    EXPECT_EQ(Matching(other.Lines(), line), 1u);
  }

  // A third joiner when the session is full: refused, and the host says so.
  {
    SCOPED_TRACE("a third joiner when full");
    (void)log.Take();
    ASSERT_TRUE(Eventually([&] { return host.session.playerCount.load() == 2; }));  // Otto has gone
    host.session.playerLimit = 2;
    TestPeer third("Tia", nullptr);
    third.Join(host);
    ASSERT_TRUE(Eventually([&] { return third.session.connectEvent.IsSet() || third.session.connectResult != 0; }));
    EXPECT_EQ(third.session.connectResult.load(), plat::kPeerRefused);
    EXPECT_EQ(third.session.peer->Refusal(), plat::PeerRefusal::kFull);
    // The joiner may read its refusal before the host's thread has logged it.
    std::vector<std::string> lines;
    EXPECT_TRUE(Eventually([&] {
      for (auto& l : log.Take()) lines.push_back(l);
      return Matching(lines, "refused: the session is full") >= 1;
    }));
    EXPECT_EQ(Matching(lines, "refused: the session is full"), 1u);
  }

  // The friend is still in, and the host still relays its messages.
  EXPECT_TRUE(friendly.session.inSession);
  const std::vector<uint8_t> ready = WordMessage(kLobbyReady, static_cast<uint32_t>(friendly.session.localSlot.load()));
  (void)friendly.session.peer->SendTo(host.session.hostPlayer, ready.data(), ready.size(), 0);
  EXPECT_TRUE(Eventually([&] { return host.Slot(friendly.session.localSlot).ready == 1; }));
  SetLogTarget(g_platform, "", false, false);
}

}  // namespace
