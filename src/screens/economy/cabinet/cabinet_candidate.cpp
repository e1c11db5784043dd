#include "screens/economy/cabinet/cabinet_candidate.h"

#include <cstring>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "screens/common/units/unit_lists.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "world/data_tables.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

constexpr int32_t kLeftLeaning = -40;
constexpr int32_t kRightLeaning = 40;

const CabinetPolicy* Seat(int32_t department) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  if (department < 0 || department >= kCabinetPosts || local < 0 || local >= kMaxPlayers) return nullptr;
  return &g_world.players[local].displayPolicy.cabinetPolicy[department];
}

}  // namespace

CabinetCandidate ReadCandidate(const World& world, int32_t c) {
  CabinetCandidate out;
  if (c < kFirstCandidate || c > kLastCandidate) return out;
  const size_t at = static_cast<size_t>(c) * kPeopleEntrySize;
  if (at + kPeopleEntrySize > world.people.size()) return out;
  const uint8_t* e = world.people.data() + at;
  namespace a = candidate_at;
  out.status = e[a::kStatus];
  out.leaning = static_cast<int8_t>(e[a::kLeaning]);
  out.age = e[a::kAge];
  out.popularity = e[a::kPopularity];
  out.charisma = e[a::kCharisma];
  out.competence = e[a::kCompetence];
  out.initiative = e[a::kInitiative];
  out.integrity = e[a::kIntegrity];
  out.militaryIq = e[a::kMilitaryIq];
  out.generalIq = e[a::kGeneralIq];
  out.diplomaticIq = e[a::kDiplomaticIq];
  out.economicIq = e[a::kEconomicIq];
  out.productionIq = e[a::kProductionIq];
  out.domesticIq = e[a::kDomesticIq];
  out.leadership = e[a::kLeadership];
  out.tactics = e[a::kTactics];
  out.experience = le::LoadI16(e + a::kExperience);
  out.militaryRating = le::LoadI16(e + a::kMilitaryRating);
  std::memcpy(out.name, e + a::kName, a::kNameSize);
  out.name[a::kNameSize] = '\0';
  return out;
}

int32_t PoliticIndex(int32_t leaning) {
  if (leaning < kLeftLeaning) return 0;
  return leaning > kRightLeaning ? 2 : 1;
}

int32_t CandidateAge(const World& world, const CabinetCandidate& c) {
  const int64_t days = static_cast<int64_t>(world.gameState.currentDay) - world.gameState.startDay;
  return c.age + static_cast<int32_t>(days / 365);
}

void ShowCandidatePortrait(int32_t c, Control* picture, Control* caption) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (c < kFirstCandidate || c > kLastCandidate) {
    // An empty seat shows no picture, not the form's own sheet cut where
    // the last portrait stood.
    if (picture && picture->kind == kKindBitmap) {
      auto* b = static_cast<BitmapControl*>(picture);
      b->pictureSlot = nullptr;
      for (BitmapImage& image : b->images) image.set = -1;
      picture->state |= kStateDirty;
    }
    if (caption) ControlSetText(caption, "");
    return;
  }
  IconCellRect(c, picture, nullptr);
  if (caption) ControlSetText(caption, ReadCandidate(g_world, c).name);
}

uint8_t SeatState(int32_t department) {
  const CabinetPolicy* s = Seat(department);
  return s ? CabinetId(*s, 0) : 0;
}

uint8_t SeatedMinister(int32_t department) {
  const CabinetPolicy* s = Seat(department);
  return s ? CabinetId(*s, 1) : 0;
}

uint32_t DepartmentPriorities(int32_t department) {
  const CabinetPolicy* s = Seat(department);
  return s ? CabinetPriorities(*s) : 0;
}
