// Seeded random peer messages into a host and a joiner: the twelve message
// identifiers and others, every truncation of a valid message, sizes up to
// twice the expected, random counts and indices. Nothing crashes, every
// message that is dropped is logged and changes nothing, and a join, ready
// and start still work afterwards.
#include <gtest/gtest.h>

#include <random>

#include "net_game/session_message_handler.h"
#include "net/net_test_support.h"
#include "records/le_bytes.h"

namespace {

// 200,000 messages take a second or two in an optimised build and about five
// seconds under the address and undefined-behaviour sanitizers.
constexpr int kFuzzMessages = 200000;

const uint32_t kIds[] = {kLobbySlotGiven,  kLobbySlotTable,   kLobbyReady,     kLobbyNotReady,
                         kLobbyStart,      kLobbyText,        0x20001,         kSessionMessageId,
                         kScenarioHeadId,  kSetupRequestId,   kProgressReportId, kGameParamsId};

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  uint32_t Next() { return static_cast<uint32_t>(random_()); }
  uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
  // Mostly small numbers around the valid range, sometimes any word.
  uint32_t Index() { return Below(8) == 0 ? Next() : Below(40); }

  // A message of the identifier whose fields are drawn at random, most of
  // them valid.
  std::vector<uint8_t> Valid(uint32_t id) {
    std::vector<uint8_t> m;
    switch (id) {
      case kLobbySlotGiven:
      case kLobbyReady:
      case kLobbyNotReady:
        m = Head(id, 12);
        le::Store32(&m[8], Index());
        break;
      case kLobbySlotTable:
        m = Head(id, kLobbySlotTableSize);
        for (size_t s = 0; s < 32; ++s) {
          uint8_t* slot = &m[12 + 32 * s];
          slot[0] = static_cast<uint8_t>(Below(6));
          slot[1] = static_cast<uint8_t>(Below(2));
          slot[3] = static_cast<uint8_t>(Index());
          le::Store32(slot + 4, Below(4) ? Below(10) : 0xFFFFFFFFu);
          Text(slot + 16, 16);
        }
        break;
      case kLobbyStart:
        m = Head(id, 8);
        break;
      case kLobbyText:
        m = Head(id, 128);
        le::Store32(&m[8], Index());
        le::Store32(&m[12], Next());
        Text(&m[16], 112);
        break;
      case 0x20001:
      case kSessionMessageId: {
        const uint32_t length = Below(4) ? Below(120) : 0;
        m = Head(id, 64);
        le::Store32(&m[8], id == 0x20001 ? Below(400) : 100 + Below(10));
        le::Store32(&m[12], Next());
        m[16] = static_cast<uint8_t>(Index());
        le::Store32(&m[52], Below(3) ? Below(100) : Next());
        le::Store32(&m[56], Below(8) ? length : Next());
        for (uint32_t i = 0; i < length; ++i) m.push_back(static_cast<uint8_t>(Next()));
        break;
      }
      case kScenarioHeadId:
        m = Head(id, 140);
        for (size_t i = 8; i < m.size(); ++i) m[i] = static_cast<uint8_t>(Next());
        break;
      case kSetupRequestId:
        m = Head(id, 8);
        break;
      case kProgressReportId:
        m = Head(id, 16);
        le::Store32(&m[8], Index());
        le::Store32(&m[12], Next());
        break;
      case kGameParamsId: {
        m = Head(id, 48);
        static const char* const kNames[] = {"Channel", "MAPS/x", "..", "a:b", "x\\y", ""};
        const char* name = kNames[Below(6)];
        std::memcpy(&m[8], name, std::strlen(name));
        if (Below(6) == 0) Text(&m[8], 32);
        le::Store32(&m[40], Next());
        break;
      }
      default: {
        m.resize(Below(129));
        for (uint8_t& b : m) b = static_cast<uint8_t>(Next());
        if (m.size() >= 4) le::Store32(m.data(), id);
        break;
      }
    }
    return m;
  }

  // Cut short, lengthened up to twice, a byte flipped, or kept.
  std::vector<uint8_t> Mutate(std::vector<uint8_t> m) {
    switch (Below(8)) {
      case 0:
      case 1:
        m.resize(Below(static_cast<uint32_t>(m.size()) + 1));
        break;
      case 2: {
        const size_t grown = m.size() + Below(static_cast<uint32_t>(m.size()) + 1);
        while (m.size() < grown) m.push_back(static_cast<uint8_t>(Next()));
        break;
      }
      case 3:
        if (!m.empty()) m[Below(static_cast<uint32_t>(m.size()))] ^= static_cast<uint8_t>(1u << Below(8));
        break;
      default:
        break;
    }
    return m;
  }

 private:
  static std::vector<uint8_t> Head(uint32_t id, size_t size) {
    std::vector<uint8_t> m(size, 0);
    le::Store32(m.data(), id);
    le::Store32(m.data() + 4, static_cast<uint32_t>(size));
    return m;
  }
  // A text field, usually with its end inside.
  void Text(uint8_t* field, size_t size) {
    const size_t length = Below(static_cast<uint32_t>(size) + (Below(4) ? 0 : 4));
    for (size_t i = 0; i < size; ++i) field[i] = i < length ? static_cast<uint8_t>('A' + Below(26)) : 0;
  }
  std::mt19937 random_;
};

// Hands the message to one side and checks: dropped means logged and no change.
void Feed(MessageBench& bench, const std::vector<uint8_t>& m, int to, const char* what) {
  TestPeer& receiver = to == 0 ? bench.host : bench.joiner;
  const std::vector<uint8_t> before = bench.Snapshot(receiver);
  const uint64_t dropped = NetDroppedMessages();
  // The sender: the joiner, the host, or somebody without a context.
  NetPlayer* from = to == 0 ? &bench.fromJoiner : &bench.fromHost;
  if (to == 2) from = nullptr;
  if (to == 0)
    bench.ToHost(m, from);
  else
    bench.ToJoiner(m, from);
  if (NetDroppedMessages() != dropped) {
    ASSERT_EQ(bench.Snapshot(receiver), before) << what << " of " << m.size() << " bytes";
  }
}

void Drain(TestPeer& peer) {
  DrainNetQueue(peer.queue, [&](const SessionMessage& m) { HandleSessionMessage(peer.session, *peer.world, m, nullptr); });
}

TEST(NetFuzz, RandomMessagesAreCheckedAndTheLobbyStillWorks) {
  plat::InProcessNetwork network;
  auto bench = std::make_unique<MessageBench>();
  for (TestPeer* p : {&bench->host, &bench->joiner}) {
    p->session.postCommand = [p](GameCommand&&) { ++p->commandCount; };
    p->session.sink = nullptr;
  }
  Generator random(44);

  // Every truncation of a valid message of each identifier: all but those
  // of a command or session message that keep its 64-byte head are dropped.
  for (uint32_t id : kIds) {
    const std::vector<uint8_t> whole = random.Valid(id);
    for (size_t length = 0; length < whole.size(); ++length) {
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      for (int to = 0; to < 2; ++to) {
        const uint64_t dropped = NetDroppedMessages();
        Feed(*bench, cut, to, "a truncation");
        const bool keepsHead = (id == 0x20001 || id == kSessionMessageId) && length >= 64;
        if (!keepsHead) {
          EXPECT_EQ(NetDroppedMessages() - dropped, 1u) << std::hex << id << " cut to " << length;
        }
      }
    }
  }

  for (int i = 0; i < kFuzzMessages; ++i) {
    const uint32_t pick = random.Below(14);
    const uint32_t id = pick < 12 ? kIds[pick] : (pick == 12 ? 0x20000 + random.Below(16) : random.Next());
    Feed(*bench, random.Mutate(random.Valid(id)), static_cast<int>(random.Below(3)), "a random message");
    if (::testing::Test::HasFatalFailure()) return;
    if (i % 1024 == 0) {
      Drain(bench->host);
      Drain(bench->joiner);
    }
  }
  Drain(bench->host);
  Drain(bench->joiner);

  // The same records, now joined for real: the lobby still works.
  TestPeer& host = bench->host;
  TestPeer& ann = bench->joiner;
  for (TestPeer* p : {&host, &ann}) {
    p->session.inSession = 0;
    p->session.isHost = 0;
    p->session.makePeer = [&network](plat::PeerHandler& handler) { return plat::MakeInProcessPeer(network, handler); };
  }
  host.Host();
  ann.Join(host);
  ASSERT_TRUE(Eventually([&] { return ann.session.slotAssigned.load() == 1 && host.Table() == ann.Table(); }));
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 5, 0), 0);
  ASSERT_EQ(NetSetSlot(ann.session, true), 0);
  ASSERT_TRUE(Eventually([&] { return host.Slot(2).ready == 1 && ann.Slot(2).ready == 1; }));
  ASSERT_EQ(NetHostStartGame(host.session), 0);
  SessionMessage* start = BuildNetMessage(kSmStartGame, nullptr, 0, 0, 1);
  ASSERT_EQ(SendNetMessage(host.session, *start, 0), 0);
  FreeNetMessage(start);
  ASSERT_TRUE(Eventually([&] {
    plat::CriticalSectionLock hold(ann.queue.lock);
    return ann.queue.head.next() != nullptr;
  }));
  EXPECT_EQ(ann.DrainKinds(), std::vector<uint32_t>{kSmStartGame});
}

}  // namespace
