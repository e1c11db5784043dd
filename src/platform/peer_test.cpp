// The peer session on both transports: hosting, joining, relaying, refusal,
// kicking and the end of a session, and a TCP connection that breaks the
// framing closing only itself.
#include "platform/peer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_socket.h"

namespace plat {
namespace {

// Every event as a line, in arrival order.
class Recorder : public PeerHandler {
 public:
  bool refuse = false;
  // Host: the player that gives its place when the session is full.
  std::atomic<PeerId> yield{kPeerNone};
  PeerId OnSessionFull() override { return yield.load(); }

  Status OnIndicateConnect(const char* name) override {
    Add("indicate " + std::string(name));
    return refuse ? kFail : kOk;
  }
  Status OnCreatePlayer(const PeerPlayer& p, void** context) override {
    *context = reinterpret_cast<void*>(static_cast<uintptr_t>(p.id));
    Add("create " + std::string(p.name) + ((p.flags & kPeerPlayerHost) ? " host" : "") +
        ((p.flags & kPeerPlayerLocal) ? " local" : ""));
    return kOk;
  }
  Status OnDestroyPlayer(PeerId id, void* context, uint32_t reason) override {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(context), id);
    Add("destroy " + std::to_string(id) + " " + std::to_string(reason));
    return kOk;
  }
  Status OnReceive(PeerId from, void* context, const uint8_t* data, size_t size) override {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(context), from);
    Add("from " + std::to_string(from) + " " + std::string(reinterpret_cast<const char*>(data), size));
    return kOk;
  }
  void OnConnectComplete(Status result) override { Add("connect " + std::to_string(result)); }
  void OnTerminateSession(uint32_t) override { Add("ended"); }

  // Waits until `line` has arrived `count` times (5 s at most).
  bool WaitFor(const std::string& line, int count = 1) {
    std::unique_lock<std::mutex> hold(lock_);
    return wake_.wait_for(hold, std::chrono::seconds(5), [&] { return Count(line) >= count; });
  }
  int CountOf(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    return Count(line);
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_;
  }

 private:
  void Add(std::string line) {
    std::lock_guard<std::mutex> hold(lock_);
    lines_.push_back(std::move(line));
    wake_.notify_all();
  }
  int Count(const std::string& line) const {
    int n = 0;
    for (const auto& l : lines_) n += l == line;
    return n;
  }
  std::mutex lock_;
  std::condition_variable wake_;
  std::vector<std::string> lines_;
};

enum class Transport { kInProcess, kTcp };

class PeerSession : public ::testing::TestWithParam<Transport> {
 protected:
  std::unique_ptr<Peer> Make(Recorder& r) {
    return GetParam() == Transport::kTcp ? MakeTcpPeer(r) : MakeInProcessPeer(network_, r);
  }
  std::unique_ptr<Peer> Join(Recorder& r, uint16_t port, const char* name, const char* password = "") {
    auto peer = Make(r);
    EXPECT_EQ(peer->Connect("127.0.0.1", port, name, password), kOk);
    return peer;
  }
  InProcessNetwork network_;
};

TEST_P(PeerSession, HostJoinRelayKickAndEnd) {
  Recorder h, a, b;
  auto host = Make(h);
  ASSERT_EQ(host->Host("Hera", "pw", "127.0.0.1", 0), kOk);
  // The local player is created inside Host.
  EXPECT_EQ(h.Lines(), std::vector<std::string>{"create Hera host local"});
  const uint16_t port = host->Port();
  ASSERT_NE(port, 0);

  auto ann = Join(a, port, "Ann", "pw");
  ASSERT_TRUE(a.WaitFor("connect 0"));
  EXPECT_EQ(a.Lines(), (std::vector<std::string>{"create Hera host", "create Ann local", "connect 0"}));
  auto bob = Join(b, port, "Bob", "pw");
  ASSERT_TRUE(b.WaitFor("connect 0"));
  ASSERT_TRUE(a.WaitFor("create Bob"));
  const PeerId hostId = host->LocalId(), annId = ann->LocalId(), bobId = bob->LocalId();
  EXPECT_EQ(b.Lines(),
            (std::vector<std::string>{"create Hera host", "create Ann", "create Bob local", "connect 0"}));

  // Rows: sender, target, flags, then who hears it.
  struct Row {
    Peer* from;
    PeerId to;
    uint32_t flags;
    bool hostHears, annHears, bobHears;
  } rows[] = {
      {ann.get(), kPeerAll, 0, true, true, true},
      {ann.get(), kPeerAll, kPeerSendNoLoopback, true, false, true},
      {ann.get(), bobId, 0, false, false, true},
      {ann.get(), annId, 0, false, true, false},
      {host.get(), kPeerAll, kPeerSendNoLoopback, false, true, true},
      {host.get(), hostId, 0, true, false, false},
      {bob.get(), hostId, 0, true, false, false},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    const std::string text = "m" + std::to_string(i);
    ASSERT_EQ(row.from->SendTo(row.to, text.data(), text.size(), row.flags), kOk) << i;
    // The sender is named by the host, whoever it is.
    const std::string heard = "from " + std::to_string(row.from->LocalId()) + " " + text;
    // A final message from the same sender to every peer marks the end.
    const std::string mark = "e" + std::to_string(i);
    row.from->SendTo(kPeerAll, mark.data(), mark.size(), 0);
    const std::string marked = "from " + std::to_string(row.from->LocalId()) + " " + mark;
    ASSERT_TRUE(h.WaitFor(marked) && a.WaitFor(marked) && b.WaitFor(marked)) << i;
    EXPECT_EQ(h.CountOf(heard), row.hostHears ? 1 : 0) << i;
    EXPECT_EQ(a.CountOf(heard), row.annHears ? 1 : 0) << i;
    EXPECT_EQ(b.CountOf(heard), row.bobHears ? 1 : 0) << i;
  }
  EXPECT_EQ(ann->SendTo(999, "x", 1, 0), kPeerNoSuchPlayer);

  // Kicked: the host and the others see it go, the kicked peer sees its session end.
  ASSERT_EQ(host->DestroyPlayer(bobId), kOk);
  const std::string bobGone = "destroy " + std::to_string(bobId) + " 4";
  ASSERT_TRUE(h.WaitFor(bobGone) && a.WaitFor(bobGone) && b.WaitFor("ended"));
  ASSERT_TRUE(b.WaitFor("destroy " + std::to_string(bobId) + " 4"));

  // The host ends the session: every peer hears it, then a destroy per player.
  ASSERT_EQ(host->TerminateSession(), kOk);
  ASSERT_TRUE(a.WaitFor("ended"));
  ASSERT_TRUE(a.WaitFor("destroy " + std::to_string(annId) + " 3"));
  EXPECT_EQ(h.CountOf("destroy " + std::to_string(hostId) + " 3"), 1);
  EXPECT_EQ(h.CountOf("ended"), 1);
  ann->Close();
  host->Close();
  bob->Close();
}

// A host that closes while a joiner still floods it with frames: the
// joiner hears the session end, not a broken connection, however much of
// what it sent the host never read.
TEST_P(PeerSession, AHostClosingUnderAFloodEndsTheSessionForTheJoiner) {
  Recorder h, a;
  auto host = Make(h);
  ASSERT_EQ(host->Host("Hera", "", "127.0.0.1", 0), kOk);
  auto ann = Join(a, host->Port(), "Ann");
  ASSERT_TRUE(a.WaitFor("connect 0"));
  const PeerId hostId = host->LocalId();
  const std::string frame(64 * 1024, 'x');
  for (int i = 0; i < 64; ++i) ann->SendTo(hostId, frame.data(), frame.size(), 0);
  host->Close();
  ASSERT_TRUE(a.WaitFor("ended"));
  ASSERT_TRUE(a.WaitFor("destroy " + std::to_string(hostId) + " 3")) << "the host left as the session ended";
  EXPECT_EQ(a.CountOf("destroy " + std::to_string(hostId) + " 2"), 0) << "no broken connection";
  ann->Close();
}

TEST_P(PeerSession, RefusedJoinersNeverBecomePlayers) {
  Recorder h, wrongPassword, refused, full, late;
  auto host = Make(h);
  ASSERT_EQ(host->Host("Hera", "pw", "127.0.0.1", 0), kOk);
  auto a = Join(wrongPassword, host->Port(), "A", "nope");
  ASSERT_TRUE(wrongPassword.WaitFor("connect " + std::to_string(kPeerRefused)));
  EXPECT_EQ(a->Refusal(), PeerRefusal::kPassword);
  h.refuse = true;
  auto b = Join(refused, host->Port(), "B", "pw");
  ASSERT_TRUE(refused.WaitFor("connect " + std::to_string(kPeerRefused)));
  EXPECT_EQ(b->Refusal(), PeerRefusal::kNotAdmitting);
  EXPECT_EQ(h.CountOf("indicate B"), 1);
  h.refuse = false;
  host->SetMaxPlayers(1);
  auto c = Join(full, host->Port(), "C", "pw");
  ASSERT_TRUE(full.WaitFor("connect " + std::to_string(kPeerRefused)));
  EXPECT_EQ(c->Refusal(), PeerRefusal::kFull);
  EXPECT_EQ(h.Lines().size(), 2u);  // its own create and B's request only
  EXPECT_EQ(c->SendTo(kPeerAll, "x", 1, 0), kPeerNotConnected);
  // A full session: a player the handler names gives its place to a
  // joiner, but never to one with a wrong password.
  Recorder first, wrongAgain, newcomer;
  host->SetMaxPlayers(2);
  auto e = Join(first, host->Port(), "E", "pw");
  ASSERT_TRUE(h.WaitFor("create E") && first.WaitFor("connect 0"));
  h.yield = e->LocalId();
  auto f = Join(wrongAgain, host->Port(), "F", "nope");
  ASSERT_TRUE(wrongAgain.WaitFor("connect " + std::to_string(kPeerRefused)));
  EXPECT_EQ(f->Refusal(), PeerRefusal::kPassword);
  EXPECT_EQ(h.CountOf("destroy " + std::to_string(e->LocalId()) + " " + std::to_string(kPeerLeftKicked)), 0);
  auto g = Join(newcomer, host->Port(), "G", "pw");
  ASSERT_TRUE(newcomer.WaitFor("connect 0"));
  EXPECT_TRUE(h.WaitFor("destroy " + std::to_string(e->LocalId()) + " " + std::to_string(kPeerLeftKicked)));
  EXPECT_TRUE(h.WaitFor("create G"));
  EXPECT_TRUE(first.WaitFor("ended"));
  auto nobody = Make(late);
  // Nobody listens there (TCP port 1 is closed on a test machine).
  ASSERT_EQ(nobody->Connect("127.0.0.1", GetParam() == Transport::kTcp ? 1 : 65000, "D", ""), kOk);
  EXPECT_TRUE(late.WaitFor("connect " + std::to_string(kPeerUnreachable)));
  EXPECT_EQ(nobody->Refusal(), PeerRefusal::kNone);
}

INSTANTIATE_TEST_SUITE_P(Transports, PeerSession, ::testing::Values(Transport::kInProcess, Transport::kTcp),
                         [](const auto& info) { return info.param == Transport::kTcp ? "Tcp" : "InProcess"; });

// ---- raw sockets against a TCP host

int RawConnect(uint16_t port) {
  const int fd = LoopbackConnect(port);
  EXPECT_GE(fd, 0);
  return fd;
}

void RawSend(int fd, const std::vector<uint8_t>& bytes) {
  ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

std::vector<uint8_t> Framed(std::vector<uint8_t> body) {
  std::vector<uint8_t> out;
  const auto n = static_cast<uint32_t>(body.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  for (uint8_t byte : body) out.push_back(byte);
  return out;
}

// True when the host closed the connection (whatever it sent first).
bool ClosedByHost(int fd) {
  uint8_t buffer[4096];
  for (;;) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    // A close with our bytes unread arrives as a reset.
    if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
    if (n < 0) return false;  // time-out
  }
}

std::vector<uint8_t> Hello(const char* name) {
  std::vector<uint8_t> f = {1, 'V', 'D', 'P', '1'};
  f.resize(5 + 16 + 32, 0);
  std::memcpy(&f[5], name, std::strlen(name));
  return f;
}

TEST(PeerTcp, RandomBytesCloseOnlyTheirConnection) {
  Recorder h, a;
  auto host = MakeTcpPeer(h);
  ASSERT_EQ(host->Host("Hera", "", "127.0.0.1", 0), kOk);
  auto ann = MakeTcpPeer(a);
  ASSERT_EQ(ann->Connect("127.0.0.1", host->Port(), "Ann", ""), kOk);
  ASSERT_TRUE(a.WaitFor("connect 0"));

  std::mt19937 random(44);
  for (int round = 0; round < 20; ++round) {
    const int fd = RawConnect(host->Port());
    std::vector<uint8_t> noise(1 + random() % 300);
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
    if (round % 2) noise[0] = 2, noise[1] = noise[2] = noise[3] = 0;  // a short frame that is no hello
    RawSend(fd, noise);
    EXPECT_TRUE(ClosedByHost(fd)) << round;
    ::close(fd);
  }
  // A joined raw player that breaks the framing leaves as disconnected,
  // and the sender it claims is never believed.
  const int fd = RawConnect(host->Port());
  RawSend(fd, Framed(Hello("Raw")));
  ASSERT_TRUE(a.WaitFor("create Raw"));
  std::vector<uint8_t> data = {6};
  for (uint32_t word : {host->LocalId(), 0u, 0u})
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(word >> (8 * i)));
  data.push_back('z');
  RawSend(fd, Framed(data));
  const PeerId rawId = host->LocalId() + 2;
  ASSERT_TRUE(a.WaitFor("from " + std::to_string(rawId) + " z"));
  // The host hears it on its own thread, maybe after Ann does.
  ASSERT_TRUE(h.WaitFor("from " + std::to_string(rawId) + " z"));
  EXPECT_EQ(h.CountOf("from " + std::to_string(rawId) + " z"), 1);
  RawSend(fd, {0xFF, 0xFF, 0xFF, 0x7F});  // a length above the cap
  EXPECT_TRUE(ClosedByHost(fd));
  ::close(fd);
  ASSERT_TRUE(h.WaitFor("destroy " + std::to_string(rawId) + " 2"));
  // Ann's connection stays.
  ASSERT_EQ(ann->SendTo(host->LocalId(), "still", 5, 0), kOk);
  EXPECT_TRUE(h.WaitFor("from " + std::to_string(ann->LocalId()) + " still"));
}

// Strangers that fill the room of connections waiting to say hello, each
// with a hello's length and nothing after, keep no joiner out: each newer
// connection pushes out the oldest waiting, which is told why.
TEST(PeerTcp, IdleConnectionsGiveWayToAJoiner) {
  Recorder h, a;
  auto host = MakeTcpPeer(h);
  PeerGuard guard;
  guard.maxPending = 3;
  host->SetGuard(guard);
  ASSERT_EQ(host->Host("Hera", "", "127.0.0.1", 0), kOk);
  std::vector<int> idle;
  for (int i = 0; i < 4; ++i) {
    idle.push_back(RawConnect(host->Port()));
    RawSend(idle.back(), {53, 0, 0, 0});
    // Counted by the host before the next arrives (5 s at most).
    const size_t waiting = std::min<size_t>(static_cast<size_t>(i) + 1, 3);
    for (int tries = 0; tries < 500 && host->Load().pending != waiting; ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(host->Load().pending, waiting);
  }
  // The first was pushed out by the fourth, with the reason.
  uint8_t refusal[13] = {};
  ASSERT_EQ(::recv(idle[0], refusal, sizeof refusal, MSG_WAITALL), 13);
  EXPECT_EQ(refusal[4], 3);  // a refusal frame
  EXPECT_EQ(refusal[9], static_cast<uint8_t>(PeerRefusal::kCrowded));
  auto ann = MakeTcpPeer(a);
  ASSERT_EQ(ann->Connect("127.0.0.1", host->Port(), "Ann", ""), kOk);
  EXPECT_TRUE(a.WaitFor("connect 0"));
  EXPECT_TRUE(h.WaitFor("create Ann"));
  for (int fd : idle) ::close(fd);
}

}  // namespace
}  // namespace plat
