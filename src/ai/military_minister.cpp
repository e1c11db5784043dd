#include "ai/military_minister.h"

#include "ai/minister_common.h"
#include "sim/player_services.h"

float MinisterFundsFigure(const PlayerRecord& region) { return region.treasury; }

float MilitaryCostFigure(const PlayerRecord& region) {
  return region.yearlyCostFacilities + region.yearlyCostHexLead + region.yearlyCostC + region.yearlyCostD;
}

void MilitaryMinisterStep(World& world, PlayerRecord& region) {
  if (!PostServed(region, kPostMilitary)) return;
  const MinisterFigures who = MinisterOf(world, region, kPostMilitary, false);
  const float s = who.skill;
  const float r = who.rating;
  CabinetPolicy& post = region.simPolicy.cabinetPolicy[kPostMilitary];
  const uint32_t orders = CabinetPriorities(post);
  const uint32_t locks = CabinetLocks(post);
  const PlayerPolicyBlock& sim = region.simPolicy;
  const float defcon = static_cast<float>(sim.defcon);
  const float funds = MinisterFundsFigure(region);

  if ((orders & kMilBuildUpWhenRich) && !(orders & kMilAlert)) RaisePostRequests(post, kMilStandDown);
  bool raised = false;
  if (3.0f * MilitaryCostFigure(region) < funds) {
    const float t1 = defcon * 20000.0f + r * 50000.0f + s * 200000.0f + 80000.0f;
    if (t1 < funds && !(orders & kMilAlert)) {
      RaisePostRequests(post, kMilStandDown);
      raised = true;
    }
  }
  if (!raised) {
    const float t2 = (s + 1.0f) * 45000.0f - r * 10000.0f + defcon * 7000.0f;
    if (t2 > funds) RaisePostRequests(post, kMilAlert);
  }
  const uint32_t m = PostRequests(post) | orders;

  // The government's weight on the soldiers the region keeps, against the
  // soldiers its target asks for.
  const float weighted = GovtypeSpendingFactor(region.govtype) * region.soldiers;
  const float wanted = sim.soldiertarget * region.population;
  const bool budgetFree = !(locks & kMilLockBudget);

  // New values are worked out from the simulation copy first, so both
  // copies get the same ones.
  if ((m & kMilCutSpending) && budgetFree) {
    const float target = defcon / 10.0f + r / 10.0f + s + 0.5f;
    const bool cut1 = sim.milspendsalary > target, cut2 = sim.milspendmaint > target, cut3 = sim.milspendintel > target;
    const float salary = sim.milspendsalary * 0.996f;
    const float maint = sim.milspendmaint * 0.996f * (2.0f * weighted < wanted ? 0.996f : 1.0f);
    const float intel = sim.milspendintel * 0.996f;
    SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
      if (cut1) b.milspendsalary = salary;
      if (cut2) b.milspendmaint = maint;
      if (cut3) b.milspendintel = intel;
    });
  }
  if ((m & kMilRaiseSpending) && budgetFree) {
    const float target = defcon / 4.0f + r / 4.0f + s * 4.0f + 1.0f;
    const bool raise1 = sim.milspendsalary < target, raise2 = sim.milspendmaint < target;
    const float maint = sim.milspendmaint * 1.004f;
    const float salary = sim.milspendsalary * 1.004f * (weighted < wanted ? 1.004f : 1.0f);
    SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
      if (raise2) b.milspendmaint = maint;
      if (raise1) b.milspendsalary = salary;
    });
  }
  if (m & kMilAlert) {
    if (budgetFree && 2.0f * (s + 1.0f) > sim.milspendsalary) {
      const float v = sim.milspendsalary * 1.004f;
      SetBothCopies(world, region, [&](PlayerPolicyBlock& b) { b.milspendsalary = v; });
    }
    if (!(locks & kMilLockConscription)) {
      const uint8_t age = sim.soldierminage > 16 ? uint8_t{16} : sim.soldierminage;
      const float target = sim.soldiertarget < 0.2f ? 0.2f : sim.soldiertarget;
      SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
        b.militaryFlags |= kMilitaryConscript | kMilitaryCoed;
        b.soldierminage = age;
        b.soldiertarget = target;
      });
    }
  }
  if ((m & kMilStandDown) && !(locks & kMilLockConscription)) {
    const uint8_t age = sim.soldierminage < 16 ? uint8_t{16} : sim.soldierminage;
    SetBothCopies(world, region, [&](PlayerPolicyBlock& b) {
      b.militaryFlags &= ~kMilitaryConscript;
      b.soldierminage = age;
    });
  }
  SetPostRequests(post, 0);
}
