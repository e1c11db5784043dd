#include "platform/peer.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/fpenv.h"
#include "platform/peer_transport_internal.h"

namespace plat {
namespace {

// Frames between a joiner and the host. Every field is checked by its
// receiver; a frame that does not fit its kind breaks the connection.
enum FrameKind : uint8_t {
  kFrameHello = 1,  // joiner: magic, name, password
  kFrameWelcome,    // host: your id, host id, count, the players
  kFrameRefuse,     // host: status, and the reason (PeerRefusal)
  kFrameJoined,     // host: a player came
  kFrameLeft,       // host: a player went, with the reason
  kFrameData,       // from, to, flags, the message
  kFrameLeave,      // joiner: it closes its session
  kFrameEnded,      // host: the session ended for you, with the reason
};

constexpr uint32_t kHelloMagic = 0x31504456;  // "VDP1"
constexpr size_t kPasswordSize = 32;
constexpr size_t kHelloSize = 1 + 4 + kPeerNameSize + kPasswordSize;
constexpr size_t kEntrySize = 4 + 4 + kPeerNameSize;
constexpr size_t kDataHead = 1 + 4 + 4 + 4;
constexpr uint32_t kMaxWelcomePlayers = 64;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// A fixed text field: at most size - 1 characters, zero-padded.
void PutText(std::vector<uint8_t>& out, const char* text, size_t size) {
  const size_t length = text ? strnlen(text, size - 1) : 0;
  out.insert(out.end(), text, text + length);
  out.insert(out.end(), size - length, 0);
}

void GetText(char* out, const uint8_t* p, size_t size) {
  const size_t length = strnlen(reinterpret_cast<const char*>(p), size - 1);
  std::memcpy(out, p, length);
  out[length] = '\0';
}

void CopyName(char (&out)[kPeerNameSize], const char* name) {
  const size_t length = name ? strnlen(name, kPeerNameSize - 1) : 0;
  std::memset(out, 0, sizeof out);
  if (length) std::memcpy(out, name, length);
}

std::vector<uint8_t> Frame(FrameKind kind) { return std::vector<uint8_t>(1, kind); }

std::vector<uint8_t> DataFrame(PeerId from, PeerId to, uint32_t flags, const void* data, size_t size) {
  std::vector<uint8_t> f = Frame(kFrameData);
  f.reserve(kDataHead + size);
  Put32(f, from);
  Put32(f, to);
  Put32(f, flags);
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (size) f.insert(f.end(), bytes, bytes + size);
  return f;
}

std::vector<uint8_t> WordFrame(FrameKind kind, uint32_t a) {
  std::vector<uint8_t> f = Frame(kind);
  Put32(f, a);
  return f;
}

std::vector<uint8_t> RefuseFrame(PeerRefusal why) {
  std::vector<uint8_t> f = WordFrame(kFrameRefuse, static_cast<uint32_t>(kPeerRefused));
  Put32(f, static_cast<uint32_t>(why));
  return f;
}

// The host part of "host:port", so that connections are counted per address.
std::string HostOf(const std::string& address) {
  const size_t colon = address.rfind(':');
  return colon == std::string::npos ? address : address.substr(0, colon);
}

void PutPlayer(std::vector<uint8_t>& f, const PeerPlayer& p) {
  Put32(f, p.id);
  Put32(f, p.flags & kPeerPlayerHost);
  PutText(f, p.name, kPeerNameSize);
}

}  // namespace

const char* PeerRefusalText(PeerRefusal refusal) {
  switch (refusal) {
    case PeerRefusal::kFull:
      return "the session is full";
    case PeerRefusal::kPassword:
      return "a wrong password";
    case PeerRefusal::kNotAdmitting:
      return "the host admits no player now";
    case PeerRefusal::kCrowded:
      return "crowded out by newer connections before its hello was read";
    case PeerRefusal::kLate:
      return "its hello came too late";
    case PeerRefusal::kNone:
      break;
  }
  return "no reason given";
}

struct Peer::Core : LinkSink {
  using Clock = std::chrono::steady_clock;
  enum class Role { kNone, kHost, kJoining, kJoined, kEnded };
  struct Player {
    PeerPlayer info;
    void* context = nullptr;
    std::shared_ptr<PeerLink> link;  // host: the joiner's connection
    uint32_t badMessages = 0;        // host: the joiner's messages that failed the checks
  };
  // Host: a connection that has not said hello yet.
  struct Pending {
    std::shared_ptr<PeerLink> link;
    Clock::time_point opened;
    std::string address;
  };

  Core(PeerHandler& h, std::unique_ptr<PeerTransport> t) : handler(h), transport(std::move(t)) {}
  ~Core() override { Close(); }

  PeerHandler& handler;
  // Declared before the links so that they go first.
  std::unique_ptr<PeerTransport> transport;

  // The network thread and its work.
  std::mutex queueLock;
  std::condition_variable queueWake;
  std::deque<std::function<void()>> tasks;
  bool stopping = false;
  std::thread worker;
  std::thread::id workerId;

  // The session (state lock).
  mutable std::mutex state;
  Role role = Role::kNone;
  PeerId localId = 0;
  PeerId hostId = 0;
  PeerId nextId = 1;
  uint16_t port = 0;
  uint32_t maxPlayers = 0;
  char localName[kPeerNameSize] = {};
  char password[kPasswordSize] = {};
  std::map<PeerId, Player> players;
  std::map<PeerLink*, Pending> pending;  // host: connected, not yet introduced
  std::map<PeerLink*, PeerId> linkPlayers;
  std::shared_ptr<PeerLink> hostLink;  // joiner
  bool closed = false;                 // the transport is shut: no second session on this peer
  PeerRefusal refusal = PeerRefusal::kNone;  // joiner: why the last connect was refused
  PeerGuard guard;

  // Connection notices (network thread only).
  Clock::time_point noticeWindow{};
  uint32_t noticesShown = 0;
  uint32_t noticesHeld = 0;
  Clock::time_point lastSweep{};

  // ---- the network thread
  void StartWorker() {
    if (worker.joinable()) return;
    {
      std::lock_guard<std::mutex> hold(queueLock);
      stopping = false;
    }
    worker = std::thread([this] {
      // The network thread posts received commands, whose display pass
      // computes game values: it runs in the game's rounding mode.
      SetGameFloatMode();
      for (;;) {
        std::function<void()> task;
        {
          std::unique_lock<std::mutex> hold(queueLock);
          queueWake.wait_for(hold, kSweepEvery, [this] { return stopping || !tasks.empty(); });
          if (stopping && tasks.empty()) return;
          if (!tasks.empty()) {
            task = std::move(tasks.front());
            tasks.pop_front();
          }
        }
        if (task) task();
        SweepWhenDue();
      }
    });
    workerId = worker.get_id();
  }

  void StopWorker() {
    {
      std::lock_guard<std::mutex> hold(queueLock);
      stopping = true;
    }
    queueWake.notify_all();
    if (worker.joinable()) worker.join();
    std::lock_guard<std::mutex> hold(queueLock);
    tasks.clear();
  }

  void Post(std::function<void()> task, bool front = false) {
    {
      std::lock_guard<std::mutex> hold(queueLock);
      if (stopping) return;
      if (front)
        tasks.push_front(std::move(task));
      else
        tasks.push_back(std::move(task));
    }
    queueWake.notify_one();
  }

  bool OnWorker() const { return std::this_thread::get_id() == workerId; }

  // Runs the task on the network thread and waits for it, unless called from
  // that thread, where it can only be queued.
  void PostAndWait(std::function<void()> task) {
    if (OnWorker() || !worker.joinable()) {
      Post(std::move(task));
      return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    Post([task = std::move(task), done] {
      task();
      done->set_value();
    });
    finished.wait();
  }

  // ---- connection notices and the hello deadline (network thread)
  static constexpr std::chrono::milliseconds kSweepEvery{50};

  // One line to the handler, unless the window's share is spent: those held
  // back are counted in one line when the next window opens.
  void Notice(const std::string& text) {
    PeerGuard g;
    {
      std::lock_guard<std::mutex> hold(state);
      g = guard;
    }
    const Clock::time_point now = Clock::now();
    FlushNotices(now, g);
    if (noticesShown < g.noticeBurst) {
      ++noticesShown;
      handler.OnConnectionNotice(text.c_str());
    } else {
      ++noticesHeld;
    }
  }

  void FlushNotices(Clock::time_point now, const PeerGuard& g) {
    if (now - noticeWindow < std::chrono::milliseconds(g.noticeWindowMs)) return;
    noticeWindow = now;
    noticesShown = 0;
    if (noticesHeld == 0) return;
    const std::string text = std::to_string(noticesHeld) + " more connection notices not shown";
    noticesHeld = 0;
    ++noticesShown;
    handler.OnConnectionNotice(text.c_str());
  }

  void SweepWhenDue() {
    const Clock::time_point now = Clock::now();
    if (now - lastSweep < kSweepEvery) return;
    lastSweep = now;
    std::vector<Pending> late;
    PeerGuard g;
    {
      std::lock_guard<std::mutex> hold(state);
      g = guard;
      const auto limit = std::chrono::milliseconds(g.helloTimeoutMs);
      for (auto it = pending.begin(); it != pending.end();) {
        if (now - it->second.opened < limit) {
          ++it;
          continue;
        }
        late.push_back(std::move(it->second));
        it = pending.erase(it);
      }
    }
    for (Pending& p : late) {
      p.link->Send(RefuseFrame(PeerRefusal::kLate));
      p.link->Close();
      Notice("connection from " + p.address + " closed: no hello within " + std::to_string(g.helloTimeoutMs) + " ms");
    }
    if (noticesHeld) FlushNotices(now, g);
  }

  // ---- LinkSink (transport threads)
  // The waiting connection to give up for a newer one: the oldest of the
  // address that holds the most, so that one address filling the room
  // pushes out its own first (state lock held; pending not empty).
  std::map<PeerLink*, Pending>::iterator Crowded() {
    std::map<std::string, size_t> perAddress;
    for (auto& [raw, p] : pending) ++perAddress[HostOf(p.address)];
    auto oldest = pending.end();
    size_t most = 0;
    for (auto it = pending.begin(); it != pending.end(); ++it) {
      const size_t count = perAddress[HostOf(it->second.address)];
      if (count > most || (count == most && it->second.opened < oldest->second.opened)) {
        most = count;
        oldest = it;
      }
    }
    return oldest;
  }

  void OnLinkOpened(std::shared_ptr<PeerLink> link) override {
    // Before its first read: nothing larger than a hello until it is one.
    link->SetFrameLimit(static_cast<uint32_t>(kHelloSize));
    Post([this, link] {
      std::string refused;
      uint32_t limit = 0;
      Pending pushedOut;
      const Clock::time_point now = Clock::now();
      {
        std::lock_guard<std::mutex> hold(state);
        limit = guard.maxPending;
        if (role != Role::kHost) {
          refused = "no session";
        } else if (limit == 0) {
          refused = "no connections admitted";
        } else {
          // A full room keeps nobody out: a stranger that connects and
          // says nothing must not hold the place of a player about to
          // say hello.
          if (pending.size() >= limit) {
            auto it = Crowded();
            pushedOut = std::move(it->second);
            pending.erase(it);
          }
          pending[link.get()] = Pending{link, now, link->Address()};
        }
      }
      if (pushedOut.link) {
        pushedOut.link->Send(RefuseFrame(PeerRefusal::kCrowded));
        pushedOut.link->Close();
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - pushedOut.opened).count();
        Notice("connection from " + pushedOut.address + " closed: no hello after " + std::to_string(waited) +
               " ms, and a newer connection needed its place (" + std::to_string(limit) + " may wait)");
      }
      if (refused.empty()) return;
      link->Close();
      if (refused != "no session") Notice("connection from " + link->Address() + " refused: " + refused);
    });
  }

  void OnLinkFrame(PeerLink* link, std::vector<uint8_t> frame) override {
    Post([this, link, frame = std::move(frame)] { HandleFrame(link, frame); });
  }

  void OnLinkClosed(PeerLink* link, std::string why) override {
    Post([this, link, why = std::move(why)] { HandleLinkClosed(link, why); });
  }

  // ---- handler calls (network thread, no lock held)
  void CreatePlayer(PeerId id) {
    PeerPlayer info;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = players.find(id);
      if (it == players.end()) return;
      info = it->second.info;
    }
    void* context = nullptr;
    (void)handler.OnCreatePlayer(info, &context);
    std::lock_guard<std::mutex> hold(state);
    auto it = players.find(id);
    if (it != players.end()) it->second.context = context;
  }

  // Takes the player out and tells the handler (and, on the host, the others).
  void RemovePlayer(PeerId id, uint32_t reason) {
    void* context = nullptr;
    std::shared_ptr<PeerLink> link;
    std::vector<std::shared_ptr<PeerLink>> others;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = players.find(id);
      if (it == players.end()) return;
      context = it->second.context;
      link = it->second.link;
      players.erase(it);
      if (link) linkPlayers.erase(link.get());
      if (role == Role::kHost)
        for (auto& [otherId, other] : players)
          if (other.link) others.push_back(other.link);
    }
    if (link) link->Close();
    for (auto& other : others) {
      std::vector<uint8_t> f = WordFrame(kFrameLeft, id);
      Put32(f, reason);
      other->Send(std::move(f));
    }
    (void)handler.OnDestroyPlayer(id, context, reason);
  }

  // Every remaining player leaves, the local one last.
  void RemoveEveryone(uint32_t reason) {
    std::vector<PeerId> ids;
    PeerId self;
    {
      std::lock_guard<std::mutex> hold(state);
      for (auto& [id, p] : players)
        if (id != localId) ids.push_back(id);
      self = localId;
    }
    for (PeerId id : ids) RemovePlayer(id, reason);
    RemovePlayer(self, reason);
  }

  void Deliver(PeerId from, const uint8_t* data, size_t size) {
    void* context = nullptr;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = players.find(from);
      if (it != players.end()) context = it->second.context;
    }
    (void)handler.OnReceive(from, context, data, size);
  }

  // ---- frames
  void HandleFrame(PeerLink* link, const std::vector<uint8_t>& frame) {
    Role r;
    bool isPending = false;
    PeerId joiner = 0;
    bool fromHost = false;
    {
      std::lock_guard<std::mutex> hold(state);
      r = role;
      isPending = pending.count(link) != 0;
      auto it = linkPlayers.find(link);
      if (it != linkPlayers.end()) joiner = it->second;
      fromHost = hostLink && hostLink.get() == link;
    }
    if (r == Role::kHost && isPending) return HandleHello(link, frame);
    if (r == Role::kHost && joiner) return HandleJoinerFrame(joiner, frame);
    if ((r == Role::kJoining || r == Role::kJoined) && fromHost) return HandleHostFrame(r, frame);
  }

  void HandleLinkClosed(PeerLink* link, const std::string& why) {
    Role r;
    PeerId joiner = 0;
    bool fromHost = false;
    std::string waiting;
    {
      std::lock_guard<std::mutex> hold(state);
      r = role;
      auto p = pending.find(link);
      if (p != pending.end()) {
        waiting = p->second.address;
        pending.erase(p);
      }
      auto it = linkPlayers.find(link);
      if (it != linkPlayers.end()) joiner = it->second;
      fromHost = hostLink && hostLink.get() == link;
    }
    if (!waiting.empty()) return Notice("connection from " + waiting + " closed before its hello: " + why);
    if (r == Role::kHost && joiner) {
      if (why != "closed the connection") Notice("player " + std::to_string(joiner) + " lost: " + why);
      return RemovePlayer(joiner, kPeerLeftConnectionLost);
    }
    if (!fromHost) return;
    if (r == Role::kJoining) return FailConnect(kPeerUnreachable);
    if (r == Role::kJoined) EndSession(kPeerLeftConnectionLost);
  }

  void Refuse(PeerLink* link, PeerRefusal why) {
    Pending held;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = pending.find(link);
      if (it == pending.end()) return;
      held = std::move(it->second);
      pending.erase(it);
    }
    held.link->Send(RefuseFrame(why));
    held.link->Close();
    Notice("connection from " + held.address + " refused: " + PeerRefusalText(why));
  }

  void HandleHello(PeerLink* link, const std::vector<uint8_t>& f) {
    if (f.size() != kHelloSize || f[0] != kFrameHello || Get32(&f[1]) != kHelloMagic) {
      // Not one of ours: closed without a word to it.
      Pending held;
      {
        std::lock_guard<std::mutex> hold(state);
        auto it = pending.find(link);
        if (it == pending.end()) return;
        held = std::move(it->second);
        pending.erase(it);
      }
      held.link->Close();
      Notice("connection from " + held.address + " closed: its first frame (" + std::to_string(f.size()) +
             " bytes) is not a hello");
      return;
    }
    char name[kPeerNameSize];
    char given[kPasswordSize];
    GetText(name, &f[5], kPeerNameSize);
    GetText(given, &f[5 + kPeerNameSize], kPasswordSize);
    const auto full = [this] {
      std::lock_guard<std::mutex> hold(state);
      return maxPlayers != 0 && players.size() >= maxPlayers;
    };
    bool passwordOk;
    PeerId self;
    {
      std::lock_guard<std::mutex> hold(state);
      passwordOk = std::strcmp(given, password) == 0;
      self = localId;
    }
    // The password first: a joiner that may not come in takes no one's place.
    if (!passwordOk) return Refuse(link, PeerRefusal::kPassword);
    if (full()) {
      const PeerId yielding = handler.OnSessionFull();
      if (yielding != kPeerNone && yielding != self)
        DropJoiner(yielding, kPeerLeftKicked, "its place went to a new joiner");
      if (full()) return Refuse(link, PeerRefusal::kFull);
    }
    if (const Status admitted = handler.OnIndicateConnect(name); Failed(admitted))
      return Refuse(link, admitted == kPeerSessionFull ? PeerRefusal::kFull : PeerRefusal::kNotAdmitting);

    std::shared_ptr<PeerLink> held;
    std::vector<std::shared_ptr<PeerLink>> others;
    std::vector<uint8_t> welcome = Frame(kFrameWelcome);
    std::vector<uint8_t> joined = Frame(kFrameJoined);
    PeerId id;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = pending.find(link);
      if (it == pending.end()) return;
      held = it->second.link;
      pending.erase(it);
      id = nextId++;
      Player& p = players[id];
      p.info.id = id;
      CopyName(p.info.name, name);
      p.link = held;
      linkPlayers[link] = id;
      Put32(welcome, id);
      Put32(welcome, hostId);
      Put32(welcome, static_cast<uint32_t>(players.size()));
      for (auto& [otherId, other] : players) {
        PutPlayer(welcome, other.info);
        if (other.link && otherId != id) others.push_back(other.link);
      }
      PutPlayer(joined, p.info);
    }
    // Introduced: it may now send frames of any size the session allows.
    held->SetFrameLimit(kPeerMaxFrame);
    held->Send(std::move(welcome));
    for (auto& other : others) other->Send(joined);
    CreatePlayer(id);
  }

  // Host: drops a joiner, telling it so, with a line saying why.
  void DropJoiner(PeerId id, uint32_t reason, const std::string& why) {
    std::shared_ptr<PeerLink> link;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = players.find(id);
      if (it == players.end() || role != Role::kHost) return;
      link = it->second.link;
    }
    if (link) link->Send(WordFrame(kFrameEnded, reason));
    if (!why.empty()) Notice("player " + std::to_string(id) + " dropped: " + why);
    RemovePlayer(id, reason);
  }

  void HandleJoinerFrame(PeerId from, const std::vector<uint8_t>& f) {
    if (f.size() == 1 && f[0] == kFrameLeave) return RemovePlayer(from, kPeerLeftNormal);
    if (f.size() < kDataHead || f[0] != kFrameData) {
      Notice("player " + std::to_string(from) + " dropped: a frame of " + std::to_string(f.size()) +
             " bytes that breaks the framing");
      return RemovePlayer(from, kPeerLeftConnectionLost);
    }
    // The joiner's own claim of who sent it is never believed.
    const PeerId to = Get32(&f[5]);
    const uint32_t flags = Get32(&f[9]);
    const uint8_t* data = f.data() + kDataHead;
    const size_t size = f.size() - kDataHead;
    void* context = nullptr;
    {
      std::lock_guard<std::mutex> hold(state);
      auto it = players.find(from);
      if (it == players.end()) return;
      context = it->second.context;
    }
    // Checked before it goes anywhere: a bad message reaches nobody.
    if (const char* why = handler.CheckJoinerMessage(from, context, data, size)) {
      uint32_t bad = 0, forgiven = 0;
      {
        std::lock_guard<std::mutex> hold(state);
        auto it = players.find(from);
        if (it == players.end()) return;
        bad = ++it->second.badMessages;
        forgiven = guard.maxBadMessages;
      }
      if (bad > forgiven)
        DropJoiner(from, kPeerLeftKicked,
                   std::to_string(bad) + " of its messages failed the checks, the last: " + std::string(why));
      return;
    }
    std::vector<std::shared_ptr<PeerLink>> targets;
    bool local = false;
    {
      std::lock_guard<std::mutex> hold(state);
      if (to == kPeerAll) {
        local = true;
        for (auto& [id, p] : players)
          if (p.link && (id != from || !(flags & kPeerSendNoLoopback))) targets.push_back(p.link);
      } else if (to == localId) {
        local = true;
      } else {
        auto it = players.find(to);
        if (it != players.end() && it->second.link) targets.push_back(it->second.link);
      }
    }
    if (!targets.empty()) {
      std::vector<uint8_t> out = DataFrame(from, to, flags, data, size);
      for (auto& t : targets) t->Send(out);
    }
    if (local) Deliver(from, data, size);
  }

  void HandleHostFrame(Role r, const std::vector<uint8_t>& f) {
    const uint8_t kind = f.empty() ? 0 : f[0];
    if (r == Role::kJoining) {
      if (kind == kFrameRefuse && (f.size() == 5 || f.size() == 9)) {
        const uint32_t why = f.size() == 9 ? Get32(&f[5]) : 0;
        return FailConnect(kPeerRefused, why < kPeerRefusalCount ? static_cast<PeerRefusal>(why) : PeerRefusal::kNone);
      }
      if (kind == kFrameWelcome && f.size() >= 13) {
        const uint32_t count = Get32(&f[9]);
        if (count <= kMaxWelcomePlayers && f.size() == 13 + count * kEntrySize) return Welcome(f, count);
      }
      return FailConnect(kPeerUnreachable);
    }
    switch (kind) {
      case kFrameData:
        if (f.size() < kDataHead) break;
        return Deliver(Get32(&f[1]), f.data() + kDataHead, f.size() - kDataHead);
      case kFrameJoined: {
        if (f.size() != 1 + kEntrySize) break;
        const PeerId id = Get32(&f[1]);
        {
          std::lock_guard<std::mutex> hold(state);
          if (id == kPeerAll || id == kPeerNone || players.count(id)) return;
          Player& p = players[id];
          p.info.id = id;
          GetText(p.info.name, &f[9], kPeerNameSize);
        }
        return CreatePlayer(id);
      }
      case kFrameLeft: {
        if (f.size() != 9) break;
        const PeerId id = Get32(&f[1]);
        {
          std::lock_guard<std::mutex> hold(state);
          if (id == localId || id == hostId) return;
        }
        return RemovePlayer(id, Get32(&f[5]));
      }
      case kFrameEnded:
        if (f.size() != 5) break;
      {
        // Dropped (kicked, or given up as lost) or the session's end.
        const uint32_t why = Get32(&f[1]);
        return EndSession(why == kPeerLeftKicked || why == kPeerLeftConnectionLost ? why : kPeerLeftSessionEnded);
      }
      default:
        break;
    }
    // A host that breaks the framing is a lost host.
    EndSession(kPeerLeftConnectionLost);
  }

  void Welcome(const std::vector<uint8_t>& f, uint32_t count) {
    const PeerId you = Get32(&f[1]);
    const PeerId host = Get32(&f[5]);
    std::vector<PeerId> order;
    {
      std::lock_guard<std::mutex> hold(state);
      std::map<PeerId, Player> list;
      for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = &f[13 + i * kEntrySize];
        Player p;
        p.info.id = Get32(e);
        GetText(p.info.name, e + 8, kPeerNameSize);
        if (p.info.id == kPeerAll || p.info.id == kPeerNone) continue;
        if (p.info.id == host) p.info.flags |= kPeerPlayerHost;
        if (p.info.id == you) {
          p.info.flags |= kPeerPlayerLocal;
          CopyName(p.info.name, localName);
        }
        list[p.info.id] = p;
      }
      if (you == host || !list.count(you) || !list.count(host)) {
        order.clear();
      } else {
        players = std::move(list);
        localId = you;
        hostId = host;
        role = Role::kJoined;
        order.push_back(host);
        for (auto& [id, p] : players)
          if (id != host && id != you) order.push_back(id);
        order.push_back(you);
      }
    }
    if (order.empty()) return FailConnect(kPeerUnreachable);
    for (PeerId id : order) CreatePlayer(id);
    handler.OnConnectComplete(kOk);
  }

  void FailConnect(Status result, PeerRefusal why = PeerRefusal::kNone) {
    std::shared_ptr<PeerLink> link;
    {
      std::lock_guard<std::mutex> hold(state);
      if (role != Role::kJoining) return;
      role = Role::kNone;
      refusal = why;
      link = std::move(hostLink);
    }
    if (link) link->Close();
    handler.OnConnectComplete(result);
  }

  // Joiner: the host is gone or sent us away.
  void EndSession(uint32_t reason) {
    std::shared_ptr<PeerLink> link;
    {
      std::lock_guard<std::mutex> hold(state);
      if (role != Role::kJoined) return;
      role = Role::kEnded;
      link = std::move(hostLink);
    }
    if (link) link->Close();
    handler.OnTerminateSession(reason);
    RemoveEveryone(reason);
  }

  // Host: the session ends for everyone.
  void EndHostedSession(bool tellHandler) {
    std::vector<std::shared_ptr<PeerLink>> links;
    {
      std::lock_guard<std::mutex> hold(state);
      if (role != Role::kHost) return;
      role = Role::kEnded;
      for (auto& [id, p] : players)
        if (p.link) links.push_back(p.link);
      for (auto& [raw, p] : pending) p.link->Close();
      pending.clear();
    }
    for (auto& link : links) {
      link->Send(WordFrame(kFrameEnded, kPeerLeftSessionEnded));
      link->Close();
    }
    if (tellHandler) handler.OnTerminateSession(kPeerLeftSessionEnded);
    RemoveEveryone(kPeerLeftSessionEnded);
  }

  void Close() {
    if (worker.joinable() && OnWorker()) return;  // never from a handler
    if (worker.joinable()) {
      PostAndWait([this] {
        Role r;
        {
          std::lock_guard<std::mutex> hold(state);
          r = role;
        }
        if (r == Role::kHost) {
          EndHostedSession(false);
        } else if (r == Role::kJoined) {
          std::shared_ptr<PeerLink> link;
          {
            std::lock_guard<std::mutex> hold(state);
            role = Role::kEnded;
            link = std::move(hostLink);
          }
          if (link) {
            link->Send(Frame(kFrameLeave));
            link->Close();
          }
          RemoveEveryone(kPeerLeftNormal);
        } else if (r == Role::kJoining) {
          std::shared_ptr<PeerLink> link;
          {
            std::lock_guard<std::mutex> hold(state);
            link = std::move(hostLink);
          }
          if (link) link->Close();
        }
      });
    }
    if (transport) transport->Shutdown();
    StopWorker();
    std::lock_guard<std::mutex> hold(state);
    role = Role::kNone;
    closed = true;
    players.clear();
    pending.clear();
    linkPlayers.clear();
    hostLink.reset();
  }
};

Peer::Peer(PeerHandler& handler, std::unique_ptr<PeerTransport> transport)
    : core_(std::make_unique<Core>(handler, std::move(transport))) {}

Peer::~Peer() { core_->Close(); }

Status Peer::Host(const char* playerName, const char* password, const char* bindAddress, uint16_t port) {
  Core& c = *core_;
  {
    std::lock_guard<std::mutex> hold(c.state);
    if (c.role != Core::Role::kNone || c.worker.joinable() || c.closed) return kFail;
    CopyName(c.localName, playerName);
    std::memset(c.password, 0, sizeof c.password);
    if (password) std::strncpy(c.password, password, sizeof c.password - 1);
  }
  uint16_t bound = 0;
  const Status listened = c.transport->Listen(c, bindAddress ? bindAddress : "0.0.0.0", port, &bound);
  if (Failed(listened)) return listened;
  {
    std::lock_guard<std::mutex> hold(c.state);
    c.role = Core::Role::kHost;
    c.port = bound;
    c.localId = c.hostId = c.nextId++;
    Core::Player& self = c.players[c.localId];
    self.info.id = c.localId;
    self.info.flags = kPeerPlayerLocal | kPeerPlayerHost;
    CopyName(self.info.name, c.localName);
  }
  // The local player is created before any joiner can be heard.
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> created = done->get_future();
  c.Post([&c, done] {
    c.CreatePlayer(c.localId);
    done->set_value();
  }, true);
  c.StartWorker();
  created.wait();
  return kOk;
}

Status Peer::Connect(const char* address, uint16_t port, const char* playerName, const char* password) {
  Core& c = *core_;
  {
    std::lock_guard<std::mutex> hold(c.state);
    if (c.role != Core::Role::kNone || c.worker.joinable() || c.closed) return kFail;
    c.role = Core::Role::kJoining;
    c.refusal = PeerRefusal::kNone;
    CopyName(c.localName, playerName);
    std::memset(c.password, 0, sizeof c.password);
    if (password) std::strncpy(c.password, password, sizeof c.password - 1);
  }
  c.StartWorker();
  c.transport->Connect(c, address ? address : "", port, [&c](std::shared_ptr<PeerLink> link) {
    c.Post([&c, link] {
      if (!link) return c.FailConnect(kPeerUnreachable);
      std::vector<uint8_t> hello = Frame(kFrameHello);
      {
        std::lock_guard<std::mutex> hold(c.state);
        if (c.role != Core::Role::kJoining) {
          link->Close();
          return;
        }
        c.hostLink = link;
        Put32(hello, kHelloMagic);
        PutText(hello, c.localName, kPeerNameSize);
        PutText(hello, c.password, kPasswordSize);
      }
      link->Send(std::move(hello));
    });
  });
  return kOk;
}

Status Peer::SendTo(PeerId target, const void* data, size_t size, uint32_t flags) {
  Core& c = *core_;
  if (size > kPeerMaxMessage || (size && !data)) return kInvalidArg;
  std::vector<std::shared_ptr<PeerLink>> links;
  bool local = false;
  PeerId self;
  {
    std::lock_guard<std::mutex> hold(c.state);
    self = c.localId;
    if (c.role == Core::Role::kHost) {
      if (target == kPeerAll) {
        local = !(flags & kPeerSendNoLoopback);
        for (auto& [id, p] : c.players)
          if (p.link) links.push_back(p.link);
      } else if (target == self) {
        local = true;
      } else {
        auto it = c.players.find(target);
        if (it == c.players.end() || !it->second.link) return kPeerNoSuchPlayer;
        links.push_back(it->second.link);
      }
    } else if (c.role == Core::Role::kJoined) {
      if (target == self) {
        local = true;
      } else {
        if (target != kPeerAll && !c.players.count(target)) return kPeerNoSuchPlayer;
        if (c.hostLink) links.push_back(c.hostLink);
      }
    } else {
      return kPeerNotConnected;
    }
  }
  if (!links.empty()) {
    std::vector<uint8_t> frame = DataFrame(self, target, flags, data, size);
    for (auto& link : links) link->Send(frame);
  }
  if (local) {
    std::vector<uint8_t> copy(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    c.Post([&c, self, copy = std::move(copy)] { c.Deliver(self, copy.data(), copy.size()); });
  }
  return kOk;
}

Status Peer::DestroyPlayer(PeerId id, uint32_t reason) {
  Core& c = *core_;
  {
    std::lock_guard<std::mutex> hold(c.state);
    if (c.role != Core::Role::kHost) return kFail;
    auto it = c.players.find(id);
    if (it == c.players.end() || id == c.localId) return kPeerNoSuchPlayer;
  }
  // Queued even from a handler: the player's destroy must not arrive inside
  // its own create.
  c.Post([&c, id, reason] { c.DropJoiner(id, reason, ""); });
  return kOk;
}

Status Peer::TerminateSession() {
  Core& c = *core_;
  {
    std::lock_guard<std::mutex> hold(c.state);
    if (c.role != Core::Role::kHost) return kFail;
  }
  c.PostAndWait([&c] { c.EndHostedSession(true); });
  return kOk;
}

void Peer::Close() { core_->Close(); }

void Peer::SetMaxPlayers(uint32_t limit) {
  std::lock_guard<std::mutex> hold(core_->state);
  core_->maxPlayers = limit;
}

uint32_t Peer::MaxPlayers() const {
  std::lock_guard<std::mutex> hold(core_->state);
  return core_->maxPlayers;
}

void Peer::SetGuard(const PeerGuard& guard) {
  std::lock_guard<std::mutex> hold(core_->state);
  core_->guard = guard;
}

PeerLoad Peer::Load() const {
  std::lock_guard<std::mutex> hold(core_->state);
  PeerLoad load;
  load.pending = core_->pending.size();
  for (auto& [raw, p] : core_->pending) load.bufferedBytes += p.link->Buffered();
  for (auto& [id, p] : core_->players)
    if (p.link) load.bufferedBytes += p.link->Buffered();
  return load;
}

uint16_t Peer::Port() const {
  std::lock_guard<std::mutex> hold(core_->state);
  return core_->port;
}

PeerId Peer::LocalId() const {
  std::lock_guard<std::mutex> hold(core_->state);
  return core_->localId;
}

PeerRefusal Peer::Refusal() const {
  std::lock_guard<std::mutex> hold(core_->state);
  return core_->refusal;
}

Status Peer::GetPlayer(PeerId id, PeerPlayer& out) const {
  std::lock_guard<std::mutex> hold(core_->state);
  auto it = core_->players.find(id);
  if (it == core_->players.end()) return kPeerNoSuchPlayer;
  out = it->second.info;
  return kOk;
}

std::unique_ptr<Peer> MakeTcpPeer(PeerHandler& handler) {
  return std::unique_ptr<Peer>(new Peer(handler, MakeTcpTransport()));
}

std::unique_ptr<Peer> MakeInProcessPeer(InProcessNetwork& network, PeerHandler& handler) {
  return std::unique_ptr<Peer>(new Peer(handler, MakeInProcessTransport(network)));
}

}  // namespace plat
