#pragma once
// A computer region's deployment of the day: each facility that comes up
// (one day in seven) and has fewer defenders than it needs raises a defence
// event, and the standing events are walked once: stale ones dropped, the
// rest answered with idle field units within the day's budget of minor
// answers.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "units/ai_event_queue.h"

struct World;
struct PlayerRecord;
struct UnitRecord;

// A defence event's kind.
inline constexpr uint16_t kDefenceEventKind = 0;
// Events below this value are minor: only a few are answered a day.
inline constexpr int32_t kMinorEventBar = 5000;

// The region's home hex: its capital, which the daily accounts keep on its
// best settlement; 0 when it has none.
uint32_t RegionHomeHex(const World& world, int player);

// What a facility asks for: defenders and the urgency of the call.
struct DefenceNeed {
  int32_t count = 0;
  int32_t urgency = 0;
};
// The need of the region's facility `u` at hex distance `d` from home,
// by its class and the hex's lead unit; count 0 when it needs nothing.
DefenceNeed FacilityDefenceNeed(const World& world, const UnitRecord& u, int32_t d);
// The defenders the region counts on the hex: none on a hex its side does
// not see under limited visibility; else its own and its friends' active
// land units there, another owner's counted under hidden units only when
// its side sees it.
int32_t DefendersPresent(const World& world, const PlayerRecord& region, uint32_t position);

// The defence events the region's facilities raise today, in unit-ring
// order: value = urgency - 1000 x defenders present, wanted = needed -
// present, stamped with the current tick.
std::vector<AiEvent> PlanFacilityDefence(const World& world, const PlayerRecord& region);

// Puts the event into a list kept by value, highest first: in front of the
// first entry whose value is not greater (so before equal ones).
template <typename Entry, typename ValueOf>
void InsertByValue(std::vector<Entry>& list, Entry entry, ValueOf valueOf) {
  const int32_t v = valueOf(entry);
  auto at = std::find_if(list.begin(), list.end(), [&](const Entry& e) { return valueOf(e) <= v; });
  list.insert(at, std::move(entry));
}

// What the walk needs to know of one standing entry.
struct StandingView {
  uint32_t tick;
  int32_t value;
  uint16_t wanted;
  uint16_t assigned;
  uint32_t namedUnit;
};

// Walks the standing list once from the top: an event is dropped when it
// has its units, when it has outlived its value in ticks (tick + value
// below now) or when its named unit no longer qualifies; a minor event is
// kept unanswered once the budget (land field units / 15) is spent; an
// event above the initiative bar is answered. `view` reads an entry,
// `namedOk` checks a named unit, `answer` answers an entry.
template <typename Entry, typename View, typename NamedOk, typename Answer>
void DeployStandingEvents(std::vector<Entry>& list, int32_t landUnits, uint32_t now, int32_t bar, View view,
                          NamedOk namedOk, Answer answer) {
  int32_t budget = landUnits / 15;
  for (size_t i = 0; i < list.size();) {
    const StandingView e = view(list[i]);
    const bool stale = e.assigned >= e.wanted || static_cast<int64_t>(e.tick) + e.value < static_cast<int64_t>(now) ||
                       (e.namedUnit != 0 && !namedOk(e.namedUnit));
    if (stale) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    const bool minor = e.value < kMinorEventBar;
    if (!(minor && budget < 1) && e.value > bar) answer(list[i]);
    if (minor) --budget;
    ++i;
  }
}
