#pragma once
// The next scenario of a campaign, started from the result screen: the
// finished game is released, the scenario named by the follow-up entry is
// loaded and its session starts with the region picked for the player.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

struct CampaignCarryOver;
struct ScenarioMapLink;

// What the region takes along into the next scenario, taken from the
// finished game: the government form chosen, the region and the day, the
// whole unit ring (the world keeps none), the snapshot table (made when the
// game had none) with the region's record in the slot of this step of the
// campaign, its design and technology rows, its projects and its ten unit
// groups as unit ids. The step is the first empty slot, the last slot once
// every earlier one is used.
void FillCampaignCarryOver(World& world, CampaignCarryOver& carryOver, int32_t governmentForm);

// Whether the region takes part in the scenario's grouping `group` (1 to
// 31): it leads others or stands alone there, rather than being led.
bool InCampaignGroup(int32_t region, int32_t group);

// The entry names the scenario, the region group (value1, 0 any) and the
// region (value2, 0 choose one); the government form chosen on the result
// screen goes with it. When the definition, text or game file cannot be
// read, or no human-led region qualifies, the start menu comes back and the
// reason goes to the log.
void StartScenarioGame(const ScenarioMapLink& entry, int32_t governmentForm);
// The region a follow-up plays: the entry's own, else the last human-led
// region of the group (any group for 0) found on a walk of clock-many
// steps through the regions; 0 when none qualifies.
int32_t PickCampaignRegion(int32_t entryRegion, int32_t group, uint32_t clockMs, int32_t regions,
                           bool (*inGroup)(int32_t region, int32_t group), bool (*humanLed)(int32_t region));
