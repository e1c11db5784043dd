#include "ai/minister_dispatch.h"

#include "ai/finance_minister.h"
#include "ai/military_minister.h"
#include "ai/minister_common.h"
#include "ai/product_minister.h"
#include "ai/social_minister.h"

const MinisterSteps& GameMinisterSteps() {
  static const MinisterSteps steps{&DepartmentMinisterStepB, &MilitaryMinisterStep, &DepartmentMinisterStepD,
                                   &DepartmentMinisterStepC};
  return steps;
}

void RunMinisterMinute(World& world, int32_t counter, int32_t band, const MinisterSteps& steps) {
  if (counter < 0 || counter >= kMaxPlayers) return;
  for (int32_t p = counter; p < kMaxPlayers; p += 20) {
    PlayerRecord& region = world.players[p];
    if (region.kind == kKindEmpty || region.kind == kKindWorld || region.kind == kKindOut) continue;
    MinisterStepFn step = nullptr;
    switch (band) {
      case 4: step = steps.finance; break;
      case 5: step = steps.military; break;
      case 7: step = steps.social; break;
      case 8: step = steps.products; break;
      default: break;
    }
    if (step) step(world, region);
    if (p == world.gameState.localPlayer) RequestAiRedraw();
  }
}
