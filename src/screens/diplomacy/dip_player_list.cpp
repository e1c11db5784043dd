#include "screens/diplomacy/dip_player_list.h"

#include <cstdio>

#include "records/player_record.h"
#include "records/player_relations.h"
#include "screens/common/region_row.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/player_names.h"
#include "world/world.h"

namespace {

constexpr int32_t kRowWidthNotice = 99;
// Player 0's row id: an id of 0 reads as no row.
constexpr intptr_t kPlayerZeroRowId = 100;
// Narrower rows leave the leader out.
constexpr int32_t kLeaderMinWidth = 172;
// The slider's width and the gaps each side of it.
constexpr int32_t kMarkerRoom = 28;
// The marker's and the slider's tops beside the two lines, and how far
// down they go to sit on the second line.
constexpr int32_t kRelationTop = 7, kSliderTop = 9, kSecondLineDrop = 6;
constexpr uint32_t kRelationColours[4] = {0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFF0000u};
constexpr int32_t kNeutral = 2;

int32_t RowPlayer(intptr_t id) {
  const intptr_t p = id % kPlayerZeroRowId;
  return p >= 0 && p < kMaxPlayers ? static_cast<int32_t>(p) : 0;
}

void SetRight(Control* c, int32_t right) {
  if (c) c->rect.right = right;
}

}  // namespace

uint32_t RelationColour(int32_t relationClass) {
  return relationClass >= 0 && relationClass < 4 ? kRelationColours[relationClass] : kRelationColours[kNeutral];
}

void DipPlayerList::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Refresh();
  const int32_t player = RowPlayer(id);
  const World& w = g_world;
  const PlayerRecord& region = w.players[player];
  const int32_t local = LocalPlayerIndex(w);
  if (local < 0) return;
  SetControlText(FormFindControlByTag(currentForm, "REGION"), RegionDisplayName(w, player));
  if (name) {
    char leader[64];
    std::snprintf(leader, sizeof leader, "(%s)", GetPlayerDisplayName(w, region));
    SetControlText(name, leader);
  }
  FillRegionRow(FormFindControlByTag(currentForm, "FLAG"), nullptr, player);
  const int32_t cls = RelationClass(w.players[local], player);
  SetHidden(relation, cls == kNeutral);
  SetHidden(belligerence, cls != kNeutral);
  if (cls == kNeutral) {
    if (belligerence) {
      SliderSetMaxFloat(belligerence, 1.0f);
      SliderSetValueFloatNotify(belligerence, w.players[local].belligerence[player]);
    }
  } else if (relation) {
    relation->fills[0] = RelationColour(cls);
  }
}

void DipPlayerList::Refresh() {
  name = FormFindControlByTag(currentForm, "NAME");
  relation = FormFindControlByTag(currentForm, "RELATION");
  belligerence = dynamic_cast<SlideBarControl*>(FormFindControlByTag(currentForm, "BELLISLDR"));
}

void DipPlayerList::OnHostNotify(int32_t code, int32_t width) {
  if (code != kRowWidthNotice) return;
  SetRight(currentForm, width);
  // The names end before the marker or slider at the row's right end; a
  // row too narrow for the leader's line puts them on that line instead,
  // under the end of the region's name.
  const bool wide = width >= kLeaderMinWidth;
  SetRight(FormFindControlByTag(currentForm, "REGION"), wide ? width - kMarkerRoom : width - 2);
  SetHidden(name, !wide);
  if (wide) SetRight(name, width - kMarkerRoom);
  const int32_t down = wide ? 0 : kSecondLineDrop;
  if (relation) relation->rect = {width - 6 - 12, kRelationTop + down, width - 6, kRelationTop + down + 12};
  if (belligerence) belligerence->rect = {width - 26, kSliderTop + down, width - 2, kSliderTop + down + 8};
}
