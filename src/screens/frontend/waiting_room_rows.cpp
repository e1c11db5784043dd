#include "screens/frontend/waiting_room_rows.h"

#include "net/net_session.h"
#include "net/net_slots.h"
#include "records/player_kinds.h"
#include "screens/common/region_flag.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "records/net_slot.h"
#include "world/player_names.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr const char* kLoadRowTags[] = {"RNAME", "PNAME", "DATA"};
constexpr const char* kPlayersRowTags[] = {"DEAD", "RNAME", "PNAME", "KICKGRID"};
constexpr const char* kKickTags[] = {"OKBUT", "CANBUT"};
constexpr uint32_t kTurnByTurn = 1;

bool ValidPlayer(int32_t p) { return p > 0 && p < kMaxPlayers; }

const NetSlot& SlotOf(const World& world, int32_t player) {
  static const NetSlot kNone{};
  const uint32_t s = world.players[player].networkSlot;
  return s < kMaxPlayers ? world.slotTable[s] : kNone;
}

// Both views name the region and its player the same way.
void FillNames(const Screen& row, int32_t p) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  ControlSetText(Tag(row, "RNAME"), WaitingRoomRegionName(w, p).c_str());
  ControlSetText(Tag(row, "PNAME"), GetPlayerDisplayName(w, w.players[p]));
  SetRowFlag(Tag(row, "FLAG"), p);
  if (row.currentForm) row.currentForm->state |= kStateDirty;
}

}  // namespace

std::string WaitingRoomRegionName(const World& world, int32_t player) {
  if (!ValidPlayer(player)) return {};
  const char* name = LookupLocalizedName(world, world.players[player]);
  return name ? name : "";
}

std::string WaitingRoomStatus(const NetSlot& slot, int32_t kind) {
  if (slot.state == kSlotHuman) return slot.progress == 0 ? "Waiting" : "Ready";
  return TextListText(kListPlayerstatus, kind);
}

WaitingRoomLoadRow::WaitingRoomLoadRow() : Screen("MULTI_WAIT1A", {kLoadRowTags, {}}) {}

void WaitingRoomLoadRow::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!ValidPlayer(player)) return;
  FillNames(*this, player);
  const World& w = g_world;
  ControlSetText(Tag(*this, "DATA"), WaitingRoomStatus(SlotOf(w, player), w.players[player].kind).c_str());
  ShowTag(currentForm, "DROP", false);
}

WaitingRoomPlayers::WaitingRoomPlayers() : Screen("MULTI_WAIT1B", {kPlayersRowTags, {}}) {}

void WaitingRoomPlayers::BindControls() {
  // The grid sits see-through over the row, framed in green.
  StyleOverlay(form ? FormFindControlByTag(form, "KICKGRID") : nullptr);
}

void WaitingRoomPlayers::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!ValidPlayer(player)) return;
  FillNames(*this, player);
  const World& w = g_world;
  const int32_t kind = w.players[player].kind;
  ShowTag(currentForm, "DEAD", kind == kKindEmpty || kind == kKindOut);
  const bool turns = w.gameState.speedLockMode == kTurnByTurn;
  ShowTag(currentForm, "BANKEDTIME", turns);
  ShowTag(currentForm, "READY", turns);
  // Only the host can drop a player, so only the host is offered it, and
  // never for its own region.
  ShowTag(currentForm, "KICKGRID", g_netSession.isHost.load() != 0 && player != w.gameState.localPlayer);
}

void WaitingRoomPlayers::OnCommand(Control* control, int32_t) {
  if (!Is(control, "KICK")) return;
  WaitingRoom& room = g_screens.waitingRoom;
  if (room.currentForm) ClosePopupForm(g_ui, room.currentForm, 0, 0);
  room.kick.Popup(player, nullptr);
}

KickPopup::KickPopup() : Screen("POPUP_KICK", {kKickTags, {}}) {}

void KickPopup::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  player = static_cast<int32_t>(id);
  ControlSetText(Tag(*this, "RNAME"), WaitingRoomRegionName(g_world, player).c_str());
}

void KickPopup::OnCommand(Control* control, int32_t) {
  uint32_t slot = 0;
  if (Is(control, "OKBUT") && ValidPlayer(player) && g_netSession.isHost.load() != 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    slot = g_world.players[player].networkSlot;
  }
  // The kick goes to the network with the world's lock let go.
  if (slot > 0 && slot < kMaxPlayers) (void)KickSlotPlayer(g_netSession, slot);
  if (Is(control, "OKBUT") || Is(control, "CANBUT")) Close(0);
}
