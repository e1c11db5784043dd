#include "screens/frontend/chat_screen.h"

#include <algorithm>
#include <string>

#include "net/net_ui_link.h"
#include "net/text_message.h"
#include "net_game/chat_rows.h"
#include "platform/status.h"
#include "screens/common/region_row.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

int32_t g_chatGroup = kChatAll;
uint32_t g_chatPartners = 0;

namespace {

// The chat overlay sits this far in from the map's top left corner.
constexpr int32_t kChatOverlayInset = 16;
constexpr int32_t kHistoryFont = 2;
constexpr int32_t kOverlayRowFont = 1;
constexpr uint32_t kOverlayRowText = 0xFFFFFF64;

uint32_t Bit(int32_t player) { return player >= 0 && player < 32 ? 1u << static_cast<uint32_t>(player) : 0; }

TextControl* MessageField(Control* c) {
  return c && (c->kind == kKindEdit || c->kind == kKindText) ? static_cast<TextControl*>(c) : nullptr;
}

void SetMessageText(Control* c, const char* text) {
  if (TextControl* field = MessageField(c)) {
    field->sourceText = text;
    field->Invalidate();
  }
}

bool IsChecked(const Control* c) { return c && (c->state & kStateSelected) != 0; }

void SetPartner(int32_t player, bool on) {
  if (on)
    g_chatPartners |= Bit(player);
  else
    g_chatPartners &= ~Bit(player);
}

const PlayerRecord* Player(int32_t p) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return p > 0 && p < kMaxPlayers ? &g_world.players[p] : nullptr;
}

void RefillGameChat(ScreenManager*) {
  ChatWindow& window = g_screens.chatWindow;
  Control* f = window.currentForm;
  // Only a window on screen is refilled; a closed one fills at its opening.
  if (f && f->parent && !f->Hidden()) window.RefillHistory();
}

}  // namespace

void ChatEntry::BindControls() {
  Control* f = currentForm ? currentForm : form;
  message = FormFindControlByTag(f, "MESSAGE");
  for (const int32_t radioId : kChatGroupIds) {
    const char* label = TextListEntry(g_textLists, kListChatrel, radioId - 1);
    if (label && *label) SetControlText(FormFindControlById(f, radioId), label);
  }
}

void ChatEntry::OnOpen() {
  SetMessageText(message, "");
  editing = true;
  TextEditSetActive(message);
  Control* radio = FormFindControlById(currentForm, std::clamp(g_chatGroup, 0, kChatSelf - 1) + 1);
  if (radio) {
    ControlClearSelection(radio, 0);
    SetControlFlag(radio, kStateSelected, 1);
  }
}

void ChatEntry::OnCommand(Control* control, int32_t code) {
  if (!control) return;
  if (control->id == code && code >= 1 && code <= kChatSelf) {
    g_chatGroup = code - 1;
    return;
  }
  if (ControlTagMatches(control->tag, "MESSAGE")) {
    TextControl* field = MessageField(message);
    const std::string text = field ? field->sourceText : std::string();
    if (editing && text.empty()) {
      editing = false;
      EndTextEdit();
      return;
    }
    if (!text.empty()) SubmitChatLine(g_screens, text.c_str(), g_chatGroup);
    SetMessageText(message, "");
    EndTextEdit();
    if (!IsWindow()) Close(0);
    return;
  }
  if (!IsWindow() && ControlTagMatches(control->tag, "HISTORY")) {
    Close(0);
    g_screens.chatWindow.Popup(kKeepScreenId, nullptr);
    return;
  }
  if (IsWindow() && ControlTagMatches(control->tag, "CLOSE")) Close(0);
}

void ChatEntry::OnHostNotify(int32_t code, int32_t) {
  if (code == kHostNotifyEditCancelled) Close(0);
}

void ChatWindow::BindControls() {
  ChatEntry::BindControls();
  Control* f = currentForm ? currentForm : form;
  history = f ? MakeListBox("HISTORY", 0, f, kListIndicators, this) : nullptr;
  if (history && history->prototype) {
    history->prototype->fontSlot = kHistoryFont;
    history->prototype->alignment = 0;
  }
  g_netUi.refillGameChat = RefillGameChat;
}

void ChatWindow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ChatEntry::OnOpen();
  for (int32_t p = 1; p < kChatPartnerRows; ++p) {
    Control* host = FormFindControlById(currentForm, kChatPartnerHostBase + p);
    const int32_t kind = g_world.players[p].kind;
    const bool absent = kind == kKindEmpty || kind == kKindOut;
    SetHidden(host, absent);
    if (!absent && host) g_screens.chatPartnerRows[p].Show(p, host);
  }
  RefillHistory();
}

void ChatWindow::RefillHistory() {
  if (!history) return;
  ListClear(history, 0);
  FillChatList(history, false, kHistoryFont, g_ui.nowTick.load());
}

void ChatPartnerRow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t p = static_cast<int32_t>(id);
  FillRegionRow(FormFindControlByTag(currentForm, "FLAG"), "", p);
  Control* box = FormFindControlByTag(currentForm, "CHAT");
  if (!box) return;
  SetControlFlag(box, kStateSelected, (g_chatPartners & Bit(p)) != 0);
  const PlayerRecord* player = Player(p);
  SetHidden(box, !player || player->kind != kKindHuman || p == g_world.gameState.localPlayer);
}

void ChatPartnerRow::OnCommand(Control* control, int32_t) {
  if (control && ControlTagMatches(control->tag, "CHAT")) SetPartner(static_cast<int32_t>(id), IsChecked(control));
}

void ChatMapOverlay::BindControls() {
  LayoutChatOverlay(*this);
  Control* f = currentForm ? currentForm : form;
  if (!f) return;
  f->rect.left += kChatOverlayInset, f->rect.right += kChatOverlayInset;
  f->rect.top += kChatOverlayInset, f->rect.bottom += kChatOverlayInset;
  f->flags |= kCtlClickThrough;
  list = MakeListBox("CHATLIST", 0, f, 0, this);
  StyleOverlayList(list, kOverlayRowText, kOverlayRowFont, 0);
}

void ChatMapOverlay::Refresh() {
  if (!list) return;
  ListClear(list, 0);
  FillChatList(list, true, g_uiOptions.fontchat, g_ui.nowTick.load());
}

void LayoutChatOverlay() { LayoutChatOverlay(g_screens.chatMap); }

void LayoutChatOverlay(ChatMapOverlay& overlay) {
  Control* f = overlay.currentForm ? overlay.currentForm : overlay.form;
  if (!f) return;
  const int32_t height = OverlayHeight(g_uiOptions.chatshowlines, OverlayLineHeight(kOverlayRowFont), Height(f));
  f->rect.bottom = f->rect.top + height;
  Control* list = FormFindControlByTag(f, "CHATLIST");
  if (list && list != f) list->rect.bottom = list->rect.top + height;
  if (list && list->kind == kKindListBox) ListClear(static_cast<ListBoxControl*>(list), 0);
}

int32_t FillChatList(ListBoxControl* list, bool recentOnly, int32_t fontSlot, uint32_t now) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!list) return 0;
  ChatListFill fill;
  fill.fade = recentOnly;
  fill.networked = g_ui.networked != 0;
  int32_t rowId = 0;
  fill.addTemplateRow = [&](const TextLine& line) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::string text = LobbyChatRowText(g_world, line, fill.networked);
    Control* row = ListAddTextItem(list, text.c_str(), ++rowId, 0, 0, 0, 0);
    if (!row) return;
    auto* s = static_cast<StringControl*>(row);
    s->fontSlot = static_cast<uint32_t>(fontSlot > 0 ? fontSlot : 3);
    const bool byPlayer = g_uiOptions.chatplayercol && line.sender > 0 && line.sender < kMaxPlayers;
    s->textColour = s->selectedTextColour = byPlayer ? g_uiOptions.playercolor[line.sender] : g_uiOptions.fontchatcol;
  };
  const int32_t rows = FormatChatLine(g_textLines, g_world, fill, now);
  ListLayoutRows(list);
  return rows;
}

uint32_t ChatGroupMask(int32_t group) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  const PlayerRecord* me = Player(local);
  const uint32_t allies = me ? me->displayPolicy.friendlyMask : 0;
  const uint32_t enemies = me ? me->displayPolicy.hostileMask : 0;
  switch (group) {
    case kChatAll:
      return kTextToAll;
    case kChatAllies:
      return allies;
    case kChatNeutrals:
      return ~(allies | enemies);
    case kChatEnemies:
      return enemies;
    case kChatPartners:
      return g_chatPartners;
    default:
      return Bit(local);
  }
}

int32_t SubmitChatLine(ScreenSet&, const char* text, int32_t group) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!text || !*text) return plat::kFail;
  if (group < kChatAll || group > kChatSelf) group = kChatSelf;
  const char* label = TextListEntry(g_textLists, kListChatrel, group);
  const std::string line = "(" + std::string(label ? label : "") + ") " + text;
  TextMessage message;
  TextMessageCtor(message, g_world.gameState.localPlayer, ChatGroupMask(group), line.c_str());
  const int32_t result = SendTextMessage(message, 0);
  TextMessageDtor(message);
  return result;
}
