// Host discovery on 127.0.0.1 with system-chosen ports: answers found and
// checked, malformed datagrams refused on both sides, and a search that ends
// by its time or by Cancel.
#include "platform/peer_discovery.h"

#include <gtest/gtest.h>

#include <asio.hpp>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace plat {
namespace {

class Collector : public DiscoveryHandler {
 public:
  void OnHostAnswer(const PeerHostAnswer& answer) override {
    std::lock_guard<std::mutex> hold(lock_);
    answers.push_back(answer);
    wake_.notify_all();
  }
  void OnBadAnswer(const std::string&, const char* why) override {
    std::lock_guard<std::mutex> hold(lock_);
    bad.push_back(why);
    wake_.notify_all();
  }
  void OnSearchDone(Status result) override {
    std::lock_guard<std::mutex> hold(lock_);
    done.push_back(result);
    wake_.notify_all();
  }
  template <class Pred>
  bool WaitUntil(Pred pred) {
    std::unique_lock<std::mutex> hold(lock_);
    return wake_.wait_for(hold, std::chrono::seconds(5), pred);
  }
  std::vector<PeerHostAnswer> answers;
  std::vector<std::string> bad;
  std::vector<Status> done;

 private:
  std::mutex lock_;
  std::condition_variable wake_;
};

DiscoveryAnswerWire GoodAnswer(uint32_t nonce) {
  DiscoveryAnswerWire a{};
  a.magic = kDiscoveryAnswerMagic;
  a.nonce = nonce;
  a.instanceLow = 7;
  a.hostPort = 2300;
  a.players = 2;
  a.maxPlayers = 16;
  std::strcpy(a.sessionName, "Channel");
  return a;
}

TEST(PeerDiscovery, AnswersAreCheckedBeforeUse) {
  struct Row {
    const char* name;
    void (*mutate)(DiscoveryAnswerWire&);
    size_t size;
    const char* why;  // null: accepted
  };
  const Row rows[] = {
      {"sound", [](DiscoveryAnswerWire&) {}, 96, nullptr},
      {"no limit", [](DiscoveryAnswerWire& a) { a.maxPlayers = 0; }, 96, nullptr},
      {"short", [](DiscoveryAnswerWire&) {}, 95, "wrong size"},
      {"long", [](DiscoveryAnswerWire&) {}, 97, "wrong size"},
      {"magic", [](DiscoveryAnswerWire& a) { a.magic = kDiscoveryQueryMagic; }, 96, "not an answer"},
      {"nonce", [](DiscoveryAnswerWire& a) { a.nonce ^= 1; }, 96, "answers another search"},
      {"name unterminated", [](DiscoveryAnswerWire& a) { std::memset(a.sessionName, 'x', kDiscoveryNameSize); }, 96,
       "session name unterminated"},
      {"name empty", [](DiscoveryAnswerWire& a) { a.sessionName[0] = 0; }, 96, "session name empty"},
      {"port", [](DiscoveryAnswerWire& a) { a.hostPort = 0; }, 96, "no session port"},
      {"limit", [](DiscoveryAnswerWire& a) { a.maxPlayers = 65; }, 96, "player limit out of range"},
      {"no players", [](DiscoveryAnswerWire& a) { a.players = 0; }, 96, "player count out of range"},
      {"over limit", [](DiscoveryAnswerWire& a) { a.players = 17; }, 96, "player count out of range"},
      {"over cap", [](DiscoveryAnswerWire& a) { a.maxPlayers = 0, a.players = 65; }, 96, "player count out of range"},
  };
  for (const Row& row : rows) {
    DiscoveryAnswerWire wire = GoodAnswer(42);
    row.mutate(wire);
    uint8_t bytes[128] = {};
    EncodeDiscoveryAnswer(wire, bytes);
    DiscoveryAnswerWire out{};
    const char* why = DecodeDiscoveryAnswer(bytes, row.size, 42, out);
    if (row.why == nullptr) {
      EXPECT_EQ(why, nullptr) << row.name << ": " << why;
      EXPECT_EQ(std::memcmp(&out, &wire, sizeof wire), 0) << row.name;
    } else {
      ASSERT_NE(why, nullptr) << row.name;
      EXPECT_STREQ(why, row.why) << row.name;
    }
  }
}

TEST(PeerDiscovery, FindsAResponderAndSeesItsCountsChange) {
  struct Row {
    const char* session;
    uint32_t players, maxPlayers;
  };
  const Row rows[] = {{"Channel", 1, 16}, {"Channel", 3, 16}, {"Isles", 2, 0}};
  PeerDiscoveryResponder responder;
  ASSERT_EQ(responder.Start("127.0.0.1", 0, "Channel", 0x1122334455667788ull, 4321), kOk);
  ASSERT_NE(responder.Port(), 0);
  for (const Row& row : rows) {
    if (std::string(row.session) != "Channel") {
      responder.Stop();
      ASSERT_EQ(responder.Start("127.0.0.1", 0, row.session, 0x1122334455667788ull, 4321), kOk);
    }
    responder.SetPlayers(row.players, row.maxPlayers);
    Collector found;
    PeerDiscovery search;
    ASSERT_EQ(search.Start("127.0.0.1", responder.Port(), 50, 0, found), kOk);
    ASSERT_TRUE(found.WaitUntil([&] { return found.answers.size() >= 2; })) << row.session;
    search.Cancel();
    const PeerHostAnswer& a = found.answers.front();
    EXPECT_EQ(a.sessionName, row.session);
    EXPECT_EQ(a.instance, 0x1122334455667788ull);
    EXPECT_EQ(a.players, row.players);
    EXPECT_EQ(a.maxPlayers, row.maxPlayers);
    EXPECT_EQ(a.hostPort, 4321);
    EXPECT_EQ(a.address, "127.0.0.1");
    EXPECT_LT(a.roundTripMs, 5000u);
    EXPECT_TRUE(found.bad.empty());
    EXPECT_EQ(found.done, std::vector<Status>{kPeerCancelled});
  }
}

TEST(PeerDiscovery, MalformedDatagramsChangeNothing) {
  // A fake host that answers every query with the row's bytes.
  struct Row {
    const char* name;
    std::vector<uint8_t> (*reply)(const DiscoveryQueryWire&);
    const char* why;
  };
  const Row rows[] = {
      {"random bytes", [](const DiscoveryQueryWire&) { return std::vector<uint8_t>{1, 2, 3, 4, 5}; }, "wrong size"},
      {"stale nonce",
       [](const DiscoveryQueryWire& q) {
         std::vector<uint8_t> b(96);
         EncodeDiscoveryAnswer(GoodAnswer(q.nonce + 1), b.data());
         return b;
       },
       "answers another search"},
      {"future time",
       [](const DiscoveryQueryWire& q) {
         DiscoveryAnswerWire a = GoodAnswer(q.nonce);
         a.sentMs = q.sentMs + 3600000;
         std::vector<uint8_t> b(96);
         EncodeDiscoveryAnswer(a, b.data());
         return b;
       },
       "round trip from the future"},
  };
  for (const Row& row : rows) {
    asio::io_context io;
    asio::ip::udp::socket fake(io, asio::ip::udp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    Collector found;
    PeerDiscovery search;
    ASSERT_EQ(search.Start("127.0.0.1", fake.local_endpoint().port(), 1000, 0, found), kOk);
    uint8_t in[64];
    asio::ip::udp::endpoint from;
    const size_t got = fake.receive_from(asio::buffer(in), from);
    DiscoveryQueryWire query{};
    ASSERT_EQ(DecodeDiscoveryQuery(in, got, query), nullptr) << row.name;
    const std::vector<uint8_t> reply = row.reply(query);
    fake.send_to(asio::buffer(reply), from);
    ASSERT_TRUE(found.WaitUntil([&] { return !found.bad.empty(); })) << row.name;
    search.Cancel();
    EXPECT_EQ(found.bad.front(), row.why) << row.name;
    EXPECT_TRUE(found.answers.empty()) << row.name;
  }

  // The responder refuses malformed queries and keeps answering sound ones.
  PeerDiscoveryResponder responder;
  ASSERT_EQ(responder.Start("127.0.0.1", 0, "Channel", 1, 4321), kOk);
  asio::io_context io;
  asio::ip::udp::socket probe(io, asio::ip::udp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
  const asio::ip::udp::endpoint target(asio::ip::make_address("127.0.0.1"), responder.Port());
  const std::vector<uint8_t> junk[] = {{1}, std::vector<uint8_t>(12, 0xFF), std::vector<uint8_t>(400, 0)};
  for (const auto& bytes : junk) probe.send_to(asio::buffer(bytes), target);
  Collector found;
  PeerDiscovery search;
  ASSERT_EQ(search.Start("127.0.0.1", responder.Port(), 50, 0, found), kOk);
  ASSERT_TRUE(found.WaitUntil([&] { return !found.answers.empty(); }));
  search.Cancel();
  EXPECT_EQ(responder.BadQueries(), 3u);
}

TEST(PeerDiscovery, SearchEndsByItsTimeOrByCancel) {
  struct Row {
    uint32_t timeoutMs;
    bool cancel;
    Status result;
  };
  const Row rows[] = {{150, false, kOk}, {0, true, kPeerCancelled}, {60000, true, kPeerCancelled}};
  asio::io_context io;
  asio::ip::udp::socket silent(io, asio::ip::udp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
  for (const Row& row : rows) {
    Collector found;
    PeerDiscovery search;
    ASSERT_EQ(search.Start("127.0.0.1", silent.local_endpoint().port(), 20, row.timeoutMs, found), kOk);
    EXPECT_EQ(search.Start("127.0.0.1", silent.local_endpoint().port(), 20, 0, found), kFail);
    if (row.cancel) search.Cancel();
    ASSERT_TRUE(found.WaitUntil([&] { return !found.done.empty(); })) << row.timeoutMs;
    search.Cancel();
    EXPECT_EQ(found.done, std::vector<Status>{row.result}) << row.timeoutMs;
    EXPECT_FALSE(search.Running());
  }
  Collector unused;
  PeerDiscovery search;
  EXPECT_EQ(search.Start("not an address", 1, 20, 0, unused), kInvalidArg);
  EXPECT_EQ(search.Start("127.0.0.1", 0, 20, 0, unused), kInvalidArg);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(PeerDiscovery, LocalAddressesAreDottedQuadsWithinTheLimit) {
  struct Row {
    size_t limit;
    bool loopbackListed;  // with room for every address, 127.0.0.1 is among them
  };
  const Row rows[] = {{0, false}, {1, false}, {6, false}, {256, true}};
  for (const Row& row : rows) {
    const std::vector<std::string> found = LocalIpv4Addresses(row.limit);
    EXPECT_LE(found.size(), row.limit) << row.limit;
    bool loopback = false;
    for (const std::string& text : found) {
      asio::error_code error;
      const asio::ip::address ip = asio::ip::make_address(text, error);
      EXPECT_FALSE(error) << text;
      EXPECT_TRUE(ip.is_v4()) << text;
      loopback |= text == "127.0.0.1";
    }
    if (row.loopbackListed) {
      EXPECT_TRUE(loopback) << row.limit;
    }
  }
}

}  // namespace
}  // namespace plat
