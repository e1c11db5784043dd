#include "screens/diplomacy/mail/mail_popup.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "app/app_object.h"
#include "app/calendar.h"
#include "app/list_node.h"
#include "net/command_network.h"
#include "platform/fpenv.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/diplomacy/mail/mail_options.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/diplomacy/mail/offer_mail_view.h"
#include "screens/common/region_row.h"
#include "screens/common/news_items.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/mail_ui_link.h"
#include "sim/message_text.h"
#include "sim/player_messages.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "world/player_names.h"
#include "world/text/message_types.h"
#include "world/text/policy_fields.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"
#include "world/local_player.h"

uint32_t g_replySourceMessage = 0;

namespace {

constexpr const char* kReplyPrefix = "RE: ";
constexpr const char* kQuoteRule = "\n\n---------Previous Message---------\n";
constexpr uint32_t kActiveButton = 0x200041;
constexpr uint32_t kPickerBesideOthers = 0x80;
constexpr int32_t kFirstCategoryIcon = 51;
constexpr int32_t kCategories = 7;
constexpr int32_t kFirstNamedDepartment = 2;
constexpr int32_t kLastNamedDepartment = 7;
constexpr uint8_t kHiddenByPlayer = 1;
constexpr uint8_t kNeverFiltered = 2;

// The message the pop-up shows, as the mail service may read it from any
// thread.
std::atomic<uint32_t> s_popupSerial{0};

char* CopyText(const std::string& text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void SetText(PlayerMessage& m, int slot, const std::string& text) {
  std::free(m.texts[slot]);
  m.texts[slot] = text.empty() ? nullptr : CopyText(text);
}

// A picture strip shows the frame; a text control names it instead.
void SetFrame(Control* c, int32_t frame, const char* text) {
  if (auto* bitmap = dynamic_cast<BitmapControl*>(c)) {
    bitmap->frame = static_cast<uint8_t>(frame);
    ControlSetText(c, text);
  } else {
    SetControlText(c, text);
  }
}

// An edit field keeps its room for typing; only its edited text changes.
void SetFieldText(Control* c, const char* text) {
  if (auto* field = dynamic_cast<StringControl*>(c); field && c->kind == kKindEdit) field->SetText(text);
  else SetControlText(c, text);
}

void SetStyle(Control* c, uint32_t bits, bool on) {
  if (c) c->flags = on ? c->flags | bits : c->flags & ~bits;
}

MailView CopyReceived(World& world, uint32_t serial, bool markRead) {
  return ReadMail(world, world.gameState.localPlayer, serial, markRead);
}

// A ministry's department of the message's type, else 0.
int32_t MinistryOf(uint32_t typeId) {
  const MessageTypeRecord* type = MessageType(typeId);
  const int32_t dept = type ? type->department : 0;
  return dept >= kFirstNamedDepartment && dept <= kLastNamedDepartment ? dept : 0;
}

// The signature of a report from one of our ministries: the minister's
// name when the cabinet has one in the post, and the department.
std::string SignerName(World& world, uint32_t minister, bool known) {
  char name[kParamTextSize] = {};
  if (known) FormatMessageParameter(world, kParamKindPerson, minister, name);
  return name[0] ? name : "Minister";
}

std::string MinisterLine(World& world, int32_t dept, uint32_t minister, bool known) {
  const std::string signer = SignerName(world, minister, known);
  if (dept == 0) return signer;
  char text[256];
  plat::FormatText(text, sizeof text, "%s (%s %s)", signer.c_str(),
                   TextListText(kListCabinets, dept - kFirstNamedDepartment), "Dept");
  return text;
}

// The minister in the seat of the ministry that sends reports of this
// type, and whether the seat is filled.
struct Seat {
  uint32_t minister = 0;
  bool known = false;
};

Seat ReportSeat(const World& world, int32_t dept, int32_t local) {
  const CabinetPolicy& seat = world.players[local].simPolicy.cabinetPolicy[dept - kFirstNamedDepartment];
  // The seat's first byte says whether it is filled, the second who sits.
  const uint32_t signer = CabinetId(seat, 1);
  return {signer, CabinetId(seat, 0) != 0 && signer != 0};
}

bool MinistryReport(uint32_t typeId, int32_t sender, int32_t local) {
  return sender == 0 && MinistryOf(typeId) != 0 && IsPlayerSlot(local);
}

}  // namespace

int32_t MailSenderRegion(uint32_t typeId, int32_t sender, int32_t local) {
  return MinistryReport(typeId, sender, local) ? local : sender;
}

std::string MailSenderName(World& world, uint32_t typeId, int32_t sender, int32_t local) {
  if (MinistryReport(typeId, sender, local)) {
    const Seat seat = ReportSeat(world, MinistryOf(typeId), local);
    return SignerName(world, seat.minister, seat.known);
  }
  if (sender == 0) {
    char text[256];
    plat::FormatText(text, sizeof text, "%s News", RegionDisplayName(world, 0));
    return text;
  }
  return IsPlayerSlot(sender) ? RegionDisplayName(world, sender) : "";
}

std::string MailSenderLine(World& world, uint32_t typeId, int32_t sender, uint16_t minister, int32_t local) {
  char text[256];
  if (sender == local) {
    if (minister == 0) {
      const char* name = GetPlayerDisplayName(world, world.players[local]);
      return name ? name : "";
    }
    return MinisterLine(world, MinistryOf(typeId), minister, true);
  }
  if (sender == 0) {
    // A ministry's report comes with no sender: our own minister signs it,
    // not the world's news.
    if (MinistryReport(typeId, sender, local)) {
      const int32_t dept = MinistryOf(typeId);
      const Seat seat = ReportSeat(world, dept, local);
      return MinisterLine(world, dept, seat.minister, seat.known);
    }
    plat::FormatText(text, sizeof text, "%s News", RegionDisplayName(world, 0));
    return text;
  }
  if (!IsPlayerSlot(sender)) return "";
  const char* leader = GetPlayerDisplayName(world, world.players[sender]);
  plat::FormatText(text, sizeof text, "%s (%s)", RegionDisplayName(world, sender), leader ? leader : "");
  return text;
}

MailReplyDraft MakeMailReply(int32_t mode, int32_t local, int32_t sender, uint32_t to, uint32_t cc,
                             const std::string& subject, const std::string& body) {
  MailReplyDraft d;
  const uint32_t from = ContactBit(sender);
  if (mode == kReplyToSender) {
    d.to = from;
  } else if (mode == kReplyToAll) {
    d.to = (to | from) & ~ContactBit(local);
    d.cc = cc & ~ContactBit(local);
  }
  d.subject = subject.compare(0, 4, kReplyPrefix) == 0 ? subject : kReplyPrefix + subject;
  if (!body.empty()) {
    d.body = kQuoteRule;
    d.body += body.substr(0, kMailBodyLimit > d.body.size() ? kMailBodyLimit - d.body.size() : 0);
  }
  return d;
}

std::string MailDateText(int32_t dayNumber) {
  GameDate date;
  date.dayNumber = dayNumber;
  DayNumberToDate(date);
  char text[32];
  FormatDateShort(date, text);
  return text;
}

// --- MailPopup ---

MailPopup::~MailPopup() { Forget(); }

void MailPopup::BindControls() {
  level = Tag(form, "LEVEL");
  newsIcon = Id(form, kFirstCategoryIcon);
  cabDept = Tag(form, "CABDEPT");
  emoticon = Tag(form, "EMOTICON");
  contents = Tag(form, "CONTENTS");
  for (int32_t i = 0; i < kCategories; ++i)
    ControlSetText(Id(form, kFirstCategoryIcon + i), TextListText(kListEmailcategory, i + 1));
  InstallMailPopupHooks();
}

void MailPopup::Forget() {
  if (letter) DeleteZeroed(letter);
  letter = nullptr;
  serial = 0;
  id = 0;
  if (this == &g_screens.emailPopup) s_popupSerial.store(0, std::memory_order_relaxed);
}

void MailPopup::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Open(g_world);
}

void MailPopup::Open(World& world, PlayerMessage* given) {
  const int32_t local = world.gameState.localPlayer;
  if (id != 0) {
    if (letter && letter != given) DeleteZeroed(letter);
    letter = nullptr;
    serial = static_cast<uint32_t>(id);
  } else {
    if (letter && letter != given) DeleteZeroed(letter);
    letter = given ? given : InitPlayerMessage(local);
    serial = 0;
  }
  if (this == &g_screens.emailPopup) s_popupSerial.store(serial, std::memory_order_relaxed);
  g_replySourceMessage = 0;
  const MailView m = letter ? ViewOf(*letter) : CopyReceived(world, serial, true);
  if (!m.found) {
    Close();
    return;
  }
  const bool outgoing = letter != nullptr;
  const bool network = IsNetworkGame(g_commandNet);
  Control* f = currentForm;
  for (const char* tag : {"SENTFROM", "MAILTO", "MAILCC"}) SetControlText(Tag(f, tag), "");
  SetFieldText(Tag(f, "SUBJECT"), "");
  SetHidden(Tag(f, "SENDBUT"), !(outgoing && network));
  for (int32_t replyId : {kReplyToSender, kReplyToAll, kReplyToAll + 1})
    SetHidden(Id(f, replyId), outgoing || !network);
  SetHidden(Tag(f, "DELETE"), outgoing);
  for (const char* tag : {"TOBUT", "CCBUT"}) SetStyle(Tag(f, tag), kActiveButton, outgoing);
  for (const char* tag : {"MAILTO", "MAILCC"}) SetStyle(Tag(f, tag), kCtlCommand, outgoing);
  SetStyle(Tag(f, "SUBJECT"), kCtlCaptureOnly, outgoing);
  for (const char* tag : {"FLAGHIDE", "HIDEFILT", "HIDEFILT2", "HIDEFILT3", "CENTRE", "EMOTICON", "CABDEPT"})
    SetHidden(Tag(f, tag), true);
  SetHidden(newsIcon, true);
  FillMailAddresses(world);

  if (outgoing) {
    SetControlText(Tag(f, "HEADER"), "New Message");
    SetControlText(Tag(f, "DATE"), MailDateText(static_cast<int32_t>(world.gameState.currentDay)).c_str());
    char text[256];
    const char* leader = GetPlayerDisplayName(world, world.players[local]);
    plat::FormatText(text, sizeof text, "%s (%s)", RegionDisplayName(world, local), leader ? leader : "");
    SetControlText(Tag(f, "SENTFROM"), text);
  } else {
    SetControlText(Tag(f, "HEADER"), m.subject.c_str());
    SetControlText(Tag(f, "SENTFROM"), MailSenderLine(world, m.typeId, m.sender, m.minister, local).c_str());
    const bool person = IsPlayerSlot(m.sender) && world.players[m.sender].kind == kKindHuman;
    if (m.sender == local || (m.sender != 0 && !person)) {
      SetHidden(Id(f, kReplyToSender), true);
      SetHidden(Id(f, kReplyToAll), true);
    }
    const bool other = m.sender != local && m.sender != 0;
    SetHidden(Tag(f, "FLAGHIDE"), !other);
    SetControlText(Tag(f, "DATE"), MailDateText(m.day).c_str());
    // A ministry's report is our own region's.
    if (Control* flag = Tag(f, "FLAG")) FillRegionRow(flag, "Email From ", MailSenderRegion(m.typeId, m.sender, local));
    NewsItemView item;
    item.found = true;
    item.typeId = m.typeId;
    for (int i = 0; i < 4; ++i) item.args[i] = m.params[i];
    targetHex = NewsItemPosition(world, item);
    SetHidden(Tag(f, "CENTRE"), targetHex == 0);
    if (!m.read) g_screens.mailList.refreshRequest |= kScreenRefreshAsked;
  }
  SetFieldText(Tag(f, "SUBJECT"), m.subject.c_str());

  const MessageTypeRecord* type = MessageType(m.typeId);
  if (m.typeId == 0) {
    if (contents) g_screens.mailPopupPanel.Show(0, contents);
    g_screens.mailPopupPanel.Load(m.body, outgoing);
    if (!outgoing) {
      SetHidden(Tag(f, "HIDEFILT2"), false);
      SetHidden(Tag(f, "HIDEFILT3"), false);
    }
    SetControlFlag(Tag(f, "HIDEMTEXT"), kStateSelected, outgoing ? 0 : 1);
  } else {
    if (contents) g_screens.offerMailView.Show(serial, contents);
    const uint8_t mute = type ? type->muteFlags : 0;
    SetHidden(Tag(f, "HIDEFILT2"), (mute & kNeverFiltered) != 0);
    SetControlFlag(Tag(f, "HIDEMTEXT"), kStateSelected, 0);
    SetHidden(Tag(f, "HIDEFILT"), false);
    SetHidden(Tag(f, "HIDEFILT3"), false);
    if (type && (m.sender == local || m.sender == 0)) {
      if (type->department != 0) {
        const Control* button = Id(g_screens.cmdBar.form, type->department);
        SetHidden(cabDept, false);
        ControlSetText(cabDept, button ? button->text.c_str() : "");
      } else if (const int32_t frame = MailCategoryFrame(type->bytes[kPictureCategoriesByte]); frame >= 0) {
        SetHidden(newsIcon, false);
        SetFrame(newsIcon, frame, TextListText(kListEmailcategory, frame + 1));
      }
    }
    char number[16];
    plat::FormatText(number, sizeof number, "%d", static_cast<int>(m.priority));
    SetFrame(level, MailLevelFrame(m.priority), number);
    SetControlText(Tag(f, "LVLDESC"), TextListText(kListOrdimportance, MailOptionDescription(m.priority)));
  }

  if (outgoing) {
    Control* subject = Tag(f, "SUBJECT");
    Control* target = m.subject.empty() ? subject : g_screens.mailPopupPanel.box;
    if (target && g_controls.edit != target && !(target->flags & kCtlNoFocus)) TextEditSetActive(target);
  }
  const uint8_t mute = type ? type->muteFlags : 0;
  const bool hidden = m.typeId == 0 ? (g_contactMasks.ignoredSenders & ContactBit(m.sender)) != 0
                                    : (mute & kHiddenByPlayer) != 0;
  SetControlFlag(Tag(f, "HIDEM"), kStateSelected, hidden ? 1 : 0);
  SetControlFlag(Tag(f, "NODEL"), kStateSelected, (m.flags & kMessageKept) ? 1 : 0);
}

void MailPopup::Refresh() {
  Control* f = currentForm;
  SetHidden(Tag(f, "GRIDSEND"), !(letter && letter->recipientMasks[0] == 0));
  const std::vector<uint32_t>& rows = g_screens.mailList.shown;
  if (letter || rows.empty()) {
    SetHidden(Tag(f, "UP"), true);
    SetHidden(Tag(f, "DOWN"), true);
    return;
  }
  SetHidden(Tag(f, "UP"), rows.front() == serial);
  SetHidden(Tag(f, "DOWN"), rows.back() == serial);
}

int32_t MailPopup::Close(int32_t noReturn) {
  const int32_t result = currentForm ? ClosePopupForm(g_ui, currentForm, noReturn, 0) : 0;
  Forget();
  g_replySourceMessage = 0;
  return result;
}

void MailPopup::Compose(World& world, uint32_t toMask) {
  PlayerMessage* fresh = InitPlayerMessage(world.gameState.localPlayer);
  if (!fresh) return;
  fresh->recipientMasks[0] = toMask;
  id = 0;
  Open(world, fresh);
  Refresh();
}

void MailPopup::Reply(World& world, int32_t mode) {
  const uint32_t answered = serial;
  const MailView m = CopyReceived(world, answered, false);
  if (!m.found) return;
  const int32_t local = world.gameState.localPlayer;
  const MailReplyDraft d = MakeMailReply(mode, local, m.sender, m.masks[0], m.masks[1], m.subject, m.body);
  PlayerMessage* answer = InitPlayerMessage(local);
  if (!answer) return;
  answer->recipientMasks[0] = d.to;
  answer->recipientMasks[1] = d.cc;
  SetText(*answer, 0, d.subject);
  SetText(*answer, 1, d.body);
  id = 0;
  Open(world, answer);
  Refresh();
  g_replySourceMessage = answered;
}

void MailPopup::Send(World& world) {
  if (!letter) return;
  auto* subject = dynamic_cast<StringControl*>(Tag(currentForm, "SUBJECT"));
  if (subject) SetText(*letter, 0, subject->GetText());
  if (letter->typeId == 0 && g_screens.mailPopupPanel.box) {
    EndTextEdit();
    SetText(*letter, 1, g_screens.mailPopupPanel.Text());
  }
  DistributePlayerMessage(world, *letter);
  const uint32_t answered = g_replySourceMessage;
  Close();
  if (answered) DeleteMailLocked(world, g_screens.mailList, g_screens.mailWindow, answered);
}

void MailPopup::FillMailAddresses(World& world) {
  Control* f = currentForm;
  const int32_t local = world.gameState.localPlayer;
  uint32_t to = 0, cc = 0;
  int32_t sender = -1;
  if (letter) {
    to = letter->recipientMasks[0];
    cc = letter->recipientMasks[1];
  } else {
    const MailView m = CopyReceived(world, serial, false);
    to = m.masks[0];
    cc = m.masks[1];
    sender = m.found ? m.sender : -1;
  }
  if (sender == local) {
    SetControlText(Tag(f, "MAILTO"), "Leadership");
    SetControlText(Tag(f, "MAILCC"), "");
  } else {
    SetControlText(Tag(f, "MAILTO"), PlayerMaskNamesText(world, to).c_str());
    SetControlText(Tag(f, "MAILCC"), PlayerMaskNamesText(world, cc).c_str());
  }
  Refresh();
}

void MailPopup::SetHideMessages(World& world, bool on) {
  const MailView m = letter ? MailView{} : CopyReceived(world, serial, false);
  if (!m.found) return;
  if (m.typeId == 0) {
    SetContactBit(g_contactMasks.ignoredSenders, m.sender, on);
    return;
  }
  auto& records = g_ruleTables.messageTypes.records;
  if (m.typeId >= records.size()) return;
  std::atomic_ref<uint8_t> mute(records[m.typeId].muteFlags);
  if (on) mute.fetch_or(kHiddenByPlayer, std::memory_order_relaxed);
  else mute.fetch_and(static_cast<uint8_t>(~kHiddenByPlayer), std::memory_order_relaxed);
}

void MailPopup::SetKeep(World& world, bool on) {
  WorldLockGuard hold(world, kLockMail);
  if (PlayerMessage* m = FindPlayerMessage(world, world.gameState.localPlayer, serial))
    m->flags = on ? m->flags | kMessageKept : m->flags & ~kMessageKept;
}

void MailPopup::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  if (Is(control, "TOBUT") || Is(control, "MAILTO") || Is(control, "CCBUT") ||
      Is(control, "MAILCC")) {
    const int32_t mode = Is(control, "CCBUT") || Is(control, "MAILCC") ? 1 : 0;
    if (letter) g_screens.mailAddressPicker.Pick(world, *letter, mode);
  } else if (Is(control, "CLOSE")) {
    Close();
  } else if (Is(control, "DELETE")) {
    const uint32_t gone = letter ? 0 : serial;
    Close();
    if (gone) DeleteMailLocked(gone);
  } else if (Is(control, "UP") || Is(control, "DOWN")) {
    const bool up = Is(control, "UP");
    Close();
    ListBoxControl* list = g_screens.mailList.list;
    if (!list) return;
    if (up) ListSelectPrevious(list);
    else ListSelectNext(list);
    if (const uint32_t next = g_screens.mailList.Selected()) Popup(next, nullptr);
  } else if (Is(control, "CABDEPT")) {
    const MailView m = CopyReceived(world, serial, false);
    const MessageTypeRecord* type = m.found ? MessageType(m.typeId) : nullptr;
    Close();
    if (type && type->department != 0) ShowMainPanel(type->department, 0, g_screens);
  } else if (Is(control, "CENTRE")) {
    if (targetHex != 0) {
      GotoHexPacked(targetHex);
      CentreMapOnHex(g_mapView, targetHex);
    }
  } else if (Is(control, "SENDBUT")) {
    Send(world);
  } else if (Is(control, "REPLYBUT")) {
    Reply(world, control->id);
  } else if (Is(control, "SUBJECT")) {
    TextEditSetActive(control);
  } else if (Is(control, "HIDEM")) {
    SetHideMessages(world, control->Selected());
  } else if (Is(control, "NODEL")) {
    SetKeep(world, control->Selected());
  }
}

// --- MailPopupPanel ---

void MailPopupPanel::BindControls() { box = MakeTextBox("MESSAGE", 0, form); }

void MailPopupPanel::OnOpen() {}

void MailPopupPanel::Load(const std::string& body, bool editable) {
  if (!box) return;
  const std::string text = body.substr(0, kMailBodyLimit);
  TextBoxSetText(box, text.c_str(), static_cast<uint32_t>(kMailBodyLimit + 1), 1);
  SetStyle(box, kCtlCaptureOnly, editable);
  TextBoxSetCursor(box, 0);
}

std::string MailPopupPanel::Text() const { return box ? TextBoxText(box).substr(0, kMailBodyLimit) : ""; }

// --- MailAddressPicker ---

void MailAddressPicker::Pick(World& world, const PlayerMessage& message, int32_t mode) {
  addMode = mode;
  to = message.recipientMasks[0];
  cc = message.recipientMasks[1];
  bcc = message.recipientMasks[2];
  if (currentForm) {
    const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
    OpenPopup(g_ui, currentForm, kPickerBesideOthers, -1, -1, 0, whole);
  }
  Fill(world);
}

void MailAddressPicker::BindControls() {
  for (int i = 0; i < 3; ++i) {
    const char* tags[] = {"LIST1", "LIST2", "LIST3"};
    lists[i] = MakeListBox(tags[i], 0, form, kListIndicators, this);
  }
}

void MailAddressPicker::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Fill(g_world);
}

void MailAddressPicker::Fill(World& world) {
  const int32_t local = world.gameState.localPlayer;
  if (!IsPlayerSlot(local)) return;
  const uint32_t masks[3] = {~(to | cc | bcc), to, cc};
  for (int i = 0; i < 3; ++i) {
    ListBoxControl* list = lists[i];
    if (!list) continue;
    const int32_t selected = list->selectedId;
    const int32_t scroll = list->scrollOffset;
    ListClear(list, 1);
    PlayerListOptions options;
    options.includeKind3 = true;
    options.playerMask = masks[i];
    FillPlayerListRow(world, world.players[local], list, options);
    ListLayoutRows(list);
    ListSetSelection(0, list, selected, 0);
    list->scrollOffset = scroll;
  }
  SetHidden(Tag(currentForm, "OKBUT"), !(lists[1] && lists[1]->firstRow));
}

void MailAddressPicker::Add(intptr_t rowValue, int32_t where) {
  if (rowValue <= 0) return;
  const uint32_t bit = ContactBit(static_cast<int32_t>(rowValue % 100));
  uint32_t* masks[3] = {&to, &cc, &bcc};
  if (where >= 0 && where < 3) *masks[where] |= bit;
}

void MailAddressPicker::OnCommand(Control* control, int32_t rowId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  intptr_t picked = 0;
  if (lists[0])
    if (const Control* row = ListNextSelected(lists[0], nullptr)) picked = ListRowValue(row);
  const char* addTags[] = {"TOBUT", "CCBUT", "BCCBUT"};
  for (int i = 0; i < 3; ++i)
    if (Is(control, addTags[i])) {
      Add(picked, i);
      Fill(g_world);
      return;
    }
  if ((control == lists[1] || control == lists[2]) && rowId > 0) {
    uint32_t& mask = control == lists[1] ? to : cc;
    mask &= ~ContactBit(rowId % 100);
    Fill(g_world);
  } else if (Is(control, "CLOSE") || Is(control, "CANBUT")) {
    if (currentForm) ClosePopupForm(g_ui, currentForm, 1, 0);
  } else if (Is(control, "OKBUT")) {
    MailPopup& popup = g_screens.emailPopup;
    if (popup.letter) {
      popup.letter->recipientMasks[0] = to;
      popup.letter->recipientMasks[1] = cc;
      popup.letter->recipientMasks[2] = bcc;
    }
    if (currentForm) ClosePopupForm(g_ui, currentForm, 1, 0);
    popup.FillMailAddresses(g_world);
  }
}

void MailAddressPicker::OnActivate(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (control != lists[0]) return;
  if (const Control* row = ListNextSelected(lists[0], nullptr)) {
    Add(ListRowValue(row), addMode == 1 ? 1 : 0);
    Fill(g_world);
  }
}

void MailAddressPicker::OnControlChange(Control* control, int32_t) {
  if (control == lists[1] && lists[2]) ListDeselectAll(lists[2]);
  else if (control == lists[2] && lists[1]) ListDeselectAll(lists[1]);
}

// --- MailSenderPanel ---

void MailSenderPanel::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& world = g_world;
  const int32_t sender = static_cast<int32_t>(id);
  const int32_t local = world.gameState.localPlayer;
  const char* name = "";
  if (IsPlayerSlot(sender))
    name = sender == local ? GetPlayerDisplayName(world, world.players[local]) : RegionDisplayName(world, sender);
  SetControlText(Tag(currentForm, "SENTFROM"), name ? name : "");
}

void MailSenderPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "CLOSE")) Close();
}

void InstallMailPopupHooks() {
  g_mailUi.shownPopupSerial = [] { return s_popupSerial.load(std::memory_order_relaxed); };
}
