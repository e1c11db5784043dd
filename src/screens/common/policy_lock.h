#pragma once
// The LOCK buttons of the policy pages (domestic, research, military
// operations): a lock keeps the cabinet's hands off the setting its mask
// names, in the lock word of one cabinet department.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

class Control;

// The cabinet department whose lock word the domestic pages write.
inline constexpr int32_t kDomesticLockGroup = 5;

// The LOCK of a policy panel: shows pressed while any bit of the mask is
// set in the department's lock word; a click plays sound 9 and posts the
// button's new state for the mask, in the domestic group unless another
// department's group is given.
bool PolicyLocked(const PlayerRecord& region, uint32_t mask);
void ShowPolicyLock(const Screen& panel, uint32_t mask);
void ClickPolicyLock(const Control* lock, uint32_t mask, int32_t group = kDomesticLockGroup);
