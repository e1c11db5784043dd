#include "ai/ai_worker_state.h"

#include "records/le_bytes.h"
#include "sim/simulation_lock.h"
#include "world/world.h"

AiWorkerState g_aiWorkers[32];

namespace {

// Per player: player byte, standing count, incoming count, four list
// lengths; then the standing events (event, assigned), the incoming events
// (newest first) and the four lists of unit ids.
constexpr size_t kPlayerHead = 1 + 4 * 6;
constexpr size_t kEventSize = 20;  // tick, position, third, value, kind, wanted, assigned

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  const size_t at = out.size();
  out.resize(at + 4);
  le::Store32(out.data() + at, v);
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  const size_t at = out.size();
  out.resize(at + 2);
  le::Store16(out.data() + at, v);
}

void PutEvent(std::vector<uint8_t>& out, const AiEvent& e, uint16_t assigned) {
  Put32(out, e.tick);
  Put32(out, e.position);
  Put32(out, e.third);
  Put16(out, e.value);
  Put16(out, e.kind);
  Put16(out, e.subKind);
  Put16(out, assigned);
}

AiEvent GetEvent(const uint8_t* at, uint16_t& assigned) {
  AiEvent e;
  e.tick = le::Load32(at);
  e.position = le::Load32(at + 4);
  e.third = le::Load32(at + 8);
  e.value = le::Load16(at + 12);
  e.kind = le::Load16(at + 14);
  e.subKind = le::Load16(at + 16);
  assigned = le::Load16(at + 18);
  return e;
}

}  // namespace

static_assert(kEventSize == 3 * 4 + 4 * 2, "the save's event entry: three words and four halves");

void ClearAiWorkers() {
  for (AiWorkerState& s : g_aiWorkers) s = AiWorkerState{};
}

std::vector<uint8_t> BuildAiWorkerBlock(World&) {
  plat::CriticalSectionLock simulation(g_simulationLock);
  std::vector<uint8_t> out(4, 0);
  uint32_t players = 0;
  for (int p = 0; p < 32; ++p) {
    AiWorkerState& s = g_aiWorkers[p];
    // The untaken events are read by taking them and putting them back in
    // their order; only the turn thread pushes, and it waits for this lock.
    std::vector<AiEvent> incoming = g_aiEvents.TakeAll(p);
    for (auto it = incoming.rbegin(); it != incoming.rend(); ++it) g_aiEvents.Push(p, new AiEvent(*it));
    bool lists = false;
    for (const auto& l : s.fieldUnits) lists = lists || !l.empty();
    if (s.standing.empty() && incoming.empty() && !lists) continue;
    out.push_back(static_cast<uint8_t>(p));
    Put32(out, static_cast<uint32_t>(s.standing.size()));
    Put32(out, static_cast<uint32_t>(incoming.size()));
    for (const auto& l : s.fieldUnits) Put32(out, static_cast<uint32_t>(l.size()));
    for (const StandingEvent& e : s.standing) PutEvent(out, e.event, e.assigned);
    for (const AiEvent& e : incoming) PutEvent(out, e, 0);
    for (const auto& l : s.fieldUnits)
      for (uint32_t id : l) Put32(out, id);
    ++players;
  }
  if (players == 0) return {};
  le::Store32(out.data(), players);
  return out;
}

bool ReadAiWorkerBlock(World&, std::span<const uint8_t> payload, bool apply, std::string& why) {
  if (payload.empty()) {
    // A save from before the block: every worker starts afresh.
    if (apply) ClearAiWorkers();
    return true;
  }
  why = "the computer players' block is cut short or malformed";
  if (payload.size() < 4) return false;
  const uint32_t players = le::Load32(payload.data());
  if (players > 32) return false;
  AiWorkerState staged[32];
  std::vector<AiEvent> incoming[32];
  bool seen[32] = {};
  size_t at = 4;
  for (uint32_t i = 0; i < players; ++i) {
    if (payload.size() - at < kPlayerHead) return false;
    const uint8_t p = payload[at];
    if (p >= 32 || seen[p]) return false;
    seen[p] = true;
    uint32_t counts[6];
    for (int k = 0; k < 6; ++k) counts[k] = le::Load32(payload.data() + at + 1 + 4 * static_cast<size_t>(k));
    at += kPlayerHead;
    const uint64_t events = uint64_t{counts[0]} + counts[1];
    const uint64_t ids = uint64_t{counts[2]} + counts[3] + counts[4] + counts[5];
    if (events * kEventSize + ids * 4 > payload.size() - at) return false;
    for (uint32_t k = 0; k < counts[0]; ++k, at += kEventSize) {
      StandingEvent s;
      s.event = GetEvent(payload.data() + at, s.assigned);
      staged[p].standing.push_back(s);
    }
    for (uint32_t k = 0; k < counts[1]; ++k, at += kEventSize) {
      uint16_t unused = 0;
      incoming[p].push_back(GetEvent(payload.data() + at, unused));
    }
    for (int c = 0; c < 4; ++c)
      for (uint32_t k = 0; k < counts[2 + c]; ++k, at += 4) staged[p].fieldUnits[c].push_back(le::Load32(payload.data() + at));
    staged[p].restored = true;
  }
  if (at != payload.size()) return false;
  why.clear();
  if (!apply) return true;
  for (int p = 0; p < 32; ++p) {
    g_aiWorkers[p] = std::move(staged[p]);
    (void)g_aiEvents.TakeAll(p);
    for (auto it = incoming[p].rbegin(); it != incoming[p].rend(); ++it) g_aiEvents.Push(p, new AiEvent(*it));
  }
  return true;
}
