#include "screens/common/policy_lock.h"

#include "records/command_ids.h"
#include "records/player_record.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen.h"
#include "world/local_player.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

constexpr int32_t kLockSound = 9;

}  // namespace

bool PolicyLocked(const PlayerRecord& r, uint32_t mask) {
  return (CabinetLocks(r.displayPolicy.cabinetPolicy[kDomesticLockGroup]) & mask) != 0;
}

void ShowPolicyLock(const Screen& panel, uint32_t mask) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  Press(Tag(panel, "LOCK"), r && PolicyLocked(*r, mask));
}

void ClickPolicyLock(const Control* lock, uint32_t mask, int32_t group) {
  PlayPopupSound(kLockSound);
  PostArgs(kCmdCabSetMask, CabinetLockArgs{.post = static_cast<uint32_t>(group), .bits = static_cast<uint32_t>(mask),
                                           .set = lock && lock->Selected() ? 1u : 0u});
}
