#pragma once
// The rows of the region lists that the economy, diplomacy, statistics and
// operations screens show: one row per region the viewer may pick.
#include <cstdint>

#include "records/player_relations.h"

class ListBoxControl;
class Screen;
struct PlayerRecord;
struct World;

struct PlayerListOptions {
  bool showRelation = false;   // text rows read "name (relation)"
  uint32_t relationMask = 15;  // the relation classes listed
  bool includeKind1 = false;   // regions without a daily economy
  int copy = 0;                // the viewer's settings copy: 0 display, 1 simulation
  uint32_t playerMask = 0xFFFFFFFFu;  // bit p lists player p
  bool pictureRows = false;    // flag pictures instead of text
  bool includeKind3 = false;   // computer-led regions
  Screen* rowScreen = nullptr;  // picture rows: the screen that draws each row
};

// The "diprel" word of a relation class: 0 self, 1 friendly, 3 hostile, 2
// any other; the pages' STATUS buttons show pressed for 3.
int RelationWord(uint32_t relation);

// Appends a row for every region 0 to the highest player that the options
// let through: regions led by a person always, computer-led and
// economy-less ones when asked for, whose relation class is in the mask and
// whose bit is in the player mask. A row's value is the player number, 100
// for player 0 (a value of 0 would read as no row); it is the row's id as
// well. Picture rows host the options' row screen, which reads the region
// from the id (id % 100).
void FillPlayerListRow(const World& world, const PlayerRecord& viewer, ListBoxControl* list,
                       const PlayerListOptions& options);
