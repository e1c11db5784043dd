#pragma once
// Relations between regions: the treaty operation every treaty change goes
// through. The masks, cascades and effects of treaties come with the
// relations code; until then a treaty asked for here changes nothing.
struct PlayerRecord;

// Makes (on) or ends treaty `type` between the record's region and `partner`
// on one copy of its settings (0 display, 1 simulation); with `cascade` the
// treaty types of that kind follow, with `withEffects` feelings and ratings
// move.
void SetTreaty(PlayerRecord& record, int copy, int type, bool on, int partner, bool cascade, bool withEffects);
