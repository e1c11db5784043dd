#include "screens/diplomacy/relations/alliances_panel.h"

#include <iterator>

#include "records/player_record.h"
#include "records/player_relations.h"
#include "screens/diplomacy/relations/region_relations.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "sim/policy_block_fields.h"
#include "sim/region_names.h"
#include "world/relation_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

// The kind-62 agreement is not offered from here.
constexpr int32_t kHiddenPosition = 3;
constexpr int32_t kPositions = static_cast<int32_t>(std::size(kAllianceKinds));

void FillRelationList(ListBoxControl* list, const PlayerRecord& region, uint32_t relation, bool local) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!list) return;
  const ListPlace place = ClearKeepingPlace(list);
  if (list->parent) list->parent->flags &= ~1u;
  PlayerListOptions options;
  options.relationMask = relation;
  // Another region's choices as the simulation knows them; ours at once.
  options.copy = local ? 0 : 1;
  options.pictureRows = true;
  options.includeKind3 = true;
  options.rowScreen = &g_screens.dipPlayerList;
  FillPlayerListRow(g_world, region, list, options);
  RestoreSelectedId(list, place);
}

}  // namespace

void AlliancesPanel::OnOpen() {
  ScreenSlotSelectMapMode(g_screens);
}

void AlliancesPanel::BindControls() {
  DockInSecondBotbar2(*this);
  allies = MakeListBox("ALLIES", 0, currentForm, kListIndicators, this);
  enemies = MakeListBox("ENEMIES", 0, currentForm, kListIndicators, this);
  StyleOverlay(Tag(*this, "GRIDSUR"));
}

void AlliancesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!currentForm) return;
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0) return;
  if (id < 1 || id >= kMaxPlayers) id = local;
  const auto region = static_cast<int32_t>(id);
  const uint32_t bit = 1u << region;
  SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, region));
  const PlayerRecord& shown = g_world.players[region];
  FillRelationList(allies, shown, kRelationFriendly, region == local);
  FillRelationList(enemies, shown, kRelationHostile, region == local);
  const PlayerPolicyBlock& mine = g_world.players[local].displayPolicy;
  for (int32_t k = 0; k < kPositions; ++k) {
    const bool inForce = (TreatyMask(mine, kAllianceKinds[k]) & bit) != 0;
    const bool offered = k != kHiddenPosition;
    SetHidden(Id(*this, kProposeFirstId + k), inForce || !offered);
    SetHidden(Id(*this, kCancelFirstId + k), !inForce || !offered);
  }
  SetHidden(Tag(*this, "GRIDSUR"), SurrenderTarget(mine) == 0);
}

void AlliancesPanel::OnCommand(Control* control, int32_t controlId) {
  const auto region = static_cast<int32_t>(id);
  if (controlId >= kProposeFirstId && controlId < kProposeFirstId + kPositions) {
    OpenAgreementOffer(region, kAllianceKinds[controlId - kProposeFirstId], 1);
  } else if (controlId >= kCancelFirstId && controlId < kCancelFirstId + kPositions) {
    OpenAgreementOffer(region, kAllianceKinds[controlId - kCancelFirstId], kCancelAgreementValue);
  } else if (Is(control, "SURRENDER")) {
    g_screens.surrenderConfirm->Show(region, nullptr);
  }
}
