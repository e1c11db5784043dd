#include "ui/player_list_rows.h"

#include <string>

#include "ui/list_control.h"
#include "world/player_names.h"
#include "records/player_record.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr intptr_t kPlayerZeroRow = 100;

bool Listed(const PlayerRecord& r, const PlayerListOptions& o) {
  return r.kind == kKindHuman || (r.kind == kKindComputer && o.includeKind3) || (r.kind == kKindWorld && o.includeKind1);
}

}  // namespace

int RelationWord(uint32_t relation) {
  switch (relation) {
    case kRelationSelf: return 0;
    case kRelationFriendly: return 1;
    case kRelationHostile: return 3;
    default: return 2;
  }
}

void FillPlayerListRow(const World& world, const PlayerRecord& viewer, ListBoxControl* list,
                       const PlayerListOptions& options) {
  const int32_t highest = world.gameState.highestPlayer < kMaxPlayers ? world.gameState.highestPlayer : kMaxPlayers - 1;
  for (int p = 0; p <= highest; ++p) {
    const PlayerRecord& r = world.players[p];
    if (!Listed(r, options)) continue;
    const uint32_t relation = RelationClassOf(viewer, options.copy, p);
    if (!(relation & options.relationMask) || !(options.playerMask & (1u << p))) continue;
    const intptr_t value = p == 0 ? kPlayerZeroRow : p;
    if (options.pictureRows) {
      ListAddIconItem(list, options.rowScreen, 0, 0, static_cast<int32_t>(value), 0, 0, 0);
    } else if (options.showRelation) {
      std::string text = LookupLocalizedName(world, r);
      text += " (";
      text += TextListText(kListDiprel, RelationWord(relation));
      text += ")";
      ListAddTextItem(list, text.c_str(), static_cast<int32_t>(value), value, 0, 0, 0);
    } else {
      ListAddTextItem(list, LookupLocalizedName(world, r), static_cast<int32_t>(value), value, 0, 0, 0);
    }
  }
  ListLayoutRows(list);
}
