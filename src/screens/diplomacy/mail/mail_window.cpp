#include "screens/diplomacy/mail/mail_window.h"

#include <algorithm>
#include <atomic>

#include "app/calendar.h"
#include "net/command_network.h"
#include "platform/fpenv.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/common/player_message_walk.h"
#include "screens/diplomacy/mail/mail_options.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/common/region_row.h"
#include "screens/docked_panels.h"
#include "screens/common/news_items.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "sim/mail_ui_link.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/deferred_actions.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "world/list_items.h"
#include "world/text/message_types.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr uint32_t kGridColour = 0xFF007D00;
constexpr uint8_t kFrameAlpha = 140;
constexpr int32_t kPaneMargin = 2;
constexpr int32_t kListMargin = 6;
constexpr int32_t kHighestLevelFrame = 4;
constexpr int32_t kCategories = 7;

// Set by the mail service's thread, taken up by the window's poll.
std::atomic<bool> s_mailArrived{false};
// The list's selection as the mail service may read it from any thread.
std::atomic<uint32_t> s_selectedSerial{0};

// A picture strip shows the frame; a text control names it instead.
void SetFrame(Control* c, int32_t frame, const char* text) {
  if (auto* bitmap = dynamic_cast<BitmapControl*>(c)) bitmap->frame = static_cast<uint8_t>(frame);
  else SetControlText(c, text);
}

void SetAlpha(Control* c, uint8_t alpha) {
  if (!c) return;
  for (uint32_t& fill : c->fills) fill = WithAlpha(fill, alpha);
}

MailList& ListPage() { return g_screens.mailList; }

// A form shorter than its design (the side column's slot) squeezes the
// frames down to nothing, never below it.
void SetBottom(Control* c, int32_t bottom) {
  if (c) c->rect.bottom = bottom > c->rect.top ? bottom : c->rect.top;
}

// The options page takes the list's place under MAILPARENT, leaving the
// list's form pointing at a host that no longer holds it.
bool PageShows(const MailList& page) {
  const Control* f = page.currentForm;
  return f && !f->Hidden() && f->parent && f->parent->firstChild == f;
}

// What the rows show: each message in its place, read or not, in rows of
// the list's size. The timer's refresh finds it unchanged on most ticks.
uint32_t MailRowsLook(World& world, int32_t local, const std::vector<uint32_t>& serials, int32_t width,
                      int32_t height) {
  uint32_t hash = 2166136261u;
  auto mix = [&hash](uint32_t word) {
    for (int i = 0; i < 4; ++i, word >>= 8) hash = (hash ^ (word & 0xFFu)) * 16777619u;
  };
  mix(static_cast<uint32_t>(width)), mix(static_cast<uint32_t>(height)), mix(static_cast<uint32_t>(serials.size()));
  for (const uint32_t serial : serials) {
    mix(serial);
    mix(ReadMail(world, local, serial, false).read ? 1u : 0u);
  }
  return hash;
}

}  // namespace

uint32_t MailSubjectColour(bool read, uint8_t priority) {
  if (priority >= kMailUrgentPriority) return kMailUrgentColour;
  return read ? kMailReadColour : kMailUnreadColour;
}

int32_t MailLevelFrame(int32_t priority) {
  const int32_t frame = (priority + 5) / 11;
  return frame < kHighestLevelFrame ? frame : kHighestLevelFrame;
}

int32_t MailCategoryFrame(uint8_t mask) {
  for (int32_t b = 0; b < kCategories; ++b)
    if (mask & (1u << b)) return b;
  return -1;
}

std::string MailRowText(int32_t dayNumber, const char* subject) {
  GameDate date;
  date.dayNumber = dayNumber;
  DayNumberToDate(date);
  char text[320];
  plat::FormatText(text, sizeof text, "%s %d %s", MonthName(12 + date.month), static_cast<int>(date.day),
                   subject ? subject : "");
  return text;
}

std::vector<uint32_t> MailRowSerials(World& world, int32_t owner, bool newsAtBottom) {
  std::vector<uint32_t> serials;
  ForEachPlayerMessage(world, owner, kMessageEmail, [&](const PlayerMessage& message) {
    if (newsAtBottom) serials.insert(serials.begin(), message.serial);
    else serials.push_back(message.serial);
  });
  return serials;
}

MailView ReadMail(World& world, int32_t owner, uint32_t serial, bool markRead) {
  WorldLockGuard hold(world, kLockMail);
  PlayerMessage* message = FindPlayerMessage(world, owner, serial);
  if (!message) return {};
  MailView view = ViewOf(*message);
  if (markRead) message->flags |= kNewsItemRead;
  return view;
}

MailView ViewOf(const PlayerMessage& m) {
  MailView view;
  view.found = true;
  view.read = (m.flags & kNewsItemRead) != 0;
  view.priority = m.priority;
  view.sender = m.sender;
  view.typeId = m.typeId;
  view.flags = m.flags;
  view.day = static_cast<int32_t>(m.day);
  view.minister = m.fromWord;
  for (int i = 0; i < 3; ++i) view.masks[i] = m.recipientMasks[i];
  for (int i = 0; i < 4; ++i) view.params[i] = m.params[i];
  view.subject = m.texts[0] ? m.texts[0] : "";
  view.body = m.texts[1] ? m.texts[1] : "";
  return view;
}

void DeleteMailLocked(World& world, MailList& page, MailWindow& window, uint32_t serial) {
  if (serial != 0 && page.Selected() == serial) page.SelectNextRow();
  if (serial != 0 && g_screens.emailPopup.Shown() == serial) g_screens.emailPopup.Close();
  if (serial != 0 && g_screens.offerMailView.serial == serial) g_screens.offerMailView.serial = 0;
  if (g_replySourceMessage == serial) g_replySourceMessage = 0;
  DeletePlayerMessage(world, world.gameState.localPlayer, serial);
  Control* root = &page == &ListPage() ? g_ui.rootForm : nullptr;
  if (root && !root->Hidden()) {
    if (Screen* owner = root->owner) {
      owner->Refresh();
      owner->refreshRequest &= ~kScreenRefreshAsked;
    }
    RedrawControlTree(g_ui, root, 1, 0);
  }
  // The list holds no message that is gone, shown or not.
  page.Rebuild(world, window);
}

void DeleteMailLocked(uint32_t serial) {
  plat::CriticalSectionLock lock(g_simulationLock);
  DeleteMailLocked(g_world, ListPage(), g_screens.mailWindow, serial);
}

// --- MailListRow ---

void MailListRow::BindControls() {
  subject = Tag(form, "SUBJECT");
  flagHide = Tag(form, "FLAGHIDE");
  flag = Tag(form, "FLAG");
  newsType = Tag(form, "NEWSTYPE");
  level = Tag(form, "LEVEL");
}

void MailListRow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Fill(g_world, static_cast<uint32_t>(id));
}

void MailListRow::Fill(World& world, uint32_t serial) {
  const int32_t local = world.gameState.localPlayer;
  const MailView mail = ReadMail(world, local, serial, false);
  if (auto* text = dynamic_cast<StringControl*>(subject))
    text->textColour = MailSubjectColour(mail.read, mail.priority);
  SetControlText(subject, mail.found ? MailRowText(mail.day, mail.subject.c_str()).c_str() : "");
  if (!mail.found || mail.sender == local) {
    for (Control* c : {flag, flagHide, newsType, level}) SetHidden(c, true);
    if (!mail.found) return;
    if (level) {
      // Where another's mail names its sender, a notice of our own shows
      // how much it matters, in the words the open message uses: a bare
      // "Level 1" there read as a sender's name.
      const char* importance = TextListText(g_textLists, kListOrdimportance, MailOptionDescription(mail.priority));
      SetHidden(level, false);
      SetFrame(level, MailLevelFrame(mail.priority), importance ? importance : "");
    } else if (const MessageTypeRecord* type = MessageType(mail.typeId)) {
      const int32_t frame = MailCategoryFrame(type->bytes[kPictureCategoriesByte]);
      SetHidden(newsType, frame < 0);
      if (frame >= 0) SetFrame(newsType, frame, TextListText(g_textLists, kListEmailcategory, frame + 1));
    }
    return;
  }
  SetHidden(flag, false);
  SetHidden(flagHide, false);
  SetHidden(newsType, true);
  SetHidden(level, true);
  // Named and coloured as the open message names its sender: a ministry's
  // report (it has no sender) by its minister, in our own colours.
  FillRegionRow(flag, "", MailSenderRegion(mail.typeId, mail.sender, local));
  if (mail.sender == 0) SetControlText(flag, MailSenderName(world, mail.typeId, mail.sender, local).c_str());
}

void MailListRow::OnHostNotify(int32_t code, int32_t value) {
  if (code != kMailRowWidthNotice) return;
  if (form) form->rect.right = form->rect.left + value;
  if (subject) subject->rect.right = value;
}

// --- MailList ---

// No arrows over and under the rows: in the docked mailbox they would take
// a whole row of the few it has; the scroller tells that more lie below.
void MailList::BindControls() { list = MakeListBox("MAILLIST", 0, form, 0, this); }

void MailList::OnOpen() {
  // Opened again (the mailbox, or its list page after the options): the
  // next refresh builds the rows and reports the selection afresh.
  if (list) list->userWord = 0;
  if (Selected() == 0 && g_screens.mailWindow.previewShown) g_screens.mailWindow.SetMailPreviewPane(false);
  EndTextEdit();
}

uint32_t MailList::Selected() const { return list ? static_cast<uint32_t>(list->selectedId) : 0; }

void MailList::SelectNextRow() {
  if (!list) return;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
    if (row->id != list->selectedId) continue;
    if (Control* next = ListNextRow(list, row)) ListSelectItem(0, list, next, 0);
    return;
  }
}

void MailList::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Rebuild(g_world, g_screens.mailWindow);
}

void MailList::Rebuild(World& world, MailWindow& window) {
  window.page = this;
  if (!list) return;
  const int32_t saved = list->selectedId;
  const int32_t scroll = list->scrollOffset;
  MailListRow& row = g_screens.mailListRow;
  const int32_t width = Width(list);
  const int32_t height = Height(row.form);
  const bool atBottom = g_uiOptions.bnewsatbottom != 0;
  const std::vector<uint32_t> serials = MailRowSerials(world, world.gameState.localPlayer, atBottom);
  // The same rows as last time: left as they are, drawn, selected and
  // scrolled, so a still mailbox costs no frame.
  const uint32_t look = MailRowsLook(world, world.gameState.localPlayer, serials, width, height);
  if (list->userWord == look && list->rowCount == serials.size() && shown == serials) return;
  list->userWord = look;
  ListClear(list, 1);
  shown = serials;
  for (const uint32_t serial : serials) ListAddIconItem(list, &row, width, height, static_cast<int32_t>(serial), 0, 0, 0);
  ListLayoutRows(list);
  if (saved != 0) {
    bool kept = false;
    for (const uint32_t serial : serials) kept = kept || static_cast<int32_t>(serial) == saved;
    if (kept) {
      ListSetSelection(0, list, saved, 0);
      list->scrollOffset = scroll;
    } else {
      ListSetSelection(0, list, 0, 0);
      window.SelectMail(world, 0);
    }
    return;
  }
  if (serials.empty()) {
    window.SelectMail(world, 0);
    return;
  }
  ListSetSelection(0, list, static_cast<int32_t>(atBottom ? serials.back() : serials.front()), 0);
}

void MailList::OnControlChange(Control* control, int32_t newId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (control != list) return;
  g_screens.mailWindow.SelectMail(g_world, static_cast<uint32_t>(newId));
}

void MailList::OnActivate(Control* control, int32_t newId) {
  if (control == list && newId != 0) g_screens.emailPopup.Popup(newId, nullptr);
}

// --- MailWindow ---

int32_t MailWindow::AttachForm(Control* newHost) {
  (void)newHost;
  currentForm = form;
  if (!form) return 0;
  if (g_uiOptions.sidescreens) AttachMailWindowToSidebar();
  else DockMailWindow();
  if (!g_ui.sidePopupOpen) ClosePopup(g_ui, *this);
  return 0;
}

void MailWindow::DockMailWindow() {
  Control* area = g_ui.mapArea;
  if (designedWidth == 0) designedWidth = Width(form);
  form->rect = plat::Rect{0, 0, designedWidth, kMailDockedHeight};
  if (!area) return;
  if (form->parent != area) {
    if (form->parent) form->Unlink();
    ControlAddChild(area, form);
  }
  host = area;
  RectMoveTo(&form->rect, Width(area) - designedWidth, Height(area) - kMailDockedHeight);
  // Floating over the map, which is drawn anew every frame under it.
  form->flags |= kCtlAlwaysRedraw;
  LayOutPanes();
}

void MailWindow::AttachMailWindowToSidebar() {
  Control* bar = g_screens.sideBar3.currentForm;
  if (!bar) return;
  form->rect = plat::Rect{0, 0, Width(bar), Height(bar)};
  if (form->parent) form->Unlink();
  ControlAttachForm(bar, form);
  host = bar;
  form->flags &= ~kCtlAlwaysRedraw;
  SetHidden(form, false);
  LayOutPanes();
}

void MailWindow::BindControls() {
  designedWidth = Width(form);
  mailParent = Tag(form, "MAILPARENT");
  par1 = Tag(form, "PAR1");
  par2 = Tag(form, "PAR2");
  designedPreviewHeight = par2 ? Height(par2) : 0;
  preview = MakeTextBox("MESSAGE", 0, form);
  if (Control* grid = Tag(form, "GRIDMAIL")) {
    grid->fills[0] = kGridColour;
    grid->fills[1] = grid->fills[0];
    SetAlpha(grid, kFrameAlpha);
  }
  SetAlpha(Tag(form, "LINBOX"), kFrameAlpha);
  SetAlpha(Tag(form, "LMESSAGE"), kFrameAlpha);
  InstallMailWindowHooks();
}

void MailWindow::OnOpen() {
  // A game's log-on clears the polled screens; every layout opens this one.
  if (!pollRegistration) QueueDeferredUiAction(this, 0);
  if (preview) TextBoxSetText(preview, "", 1, 1);
  if (ListPage().list) ListPage().list->userWord = 0;
  SetControlFlag(Tag(currentForm, "LABELBUT"), kStateSelected, 0);
  SetHidden(Tag(currentForm, "CENTER"), true);
  SetHidden(Tag(currentForm, "GRIDMAIL"), IsNetworkGame(g_commandNet));
  ListPage().Show(0, mailParent);
  LayOutPanes();
}

void MailWindow::Refresh() {
  if (PageShows(ListPage())) ListPage().Refresh();
}

void MailWindow::Poll(intptr_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const bool arrived = s_mailArrived.exchange(false);
  const bool open = g_ui.sidePopupOpen || g_uiOptions.sidescreens;
  if (arrived && !open) {
    if (Control* flag = g_screens.mailBar.mailFlag) flag->flags |= kCtlAnimate;
  }
  MailList& list = ListPage();
  if (open && PageShows(list) &&
      MailRowSerials(g_world, LocalPlayerIndex(g_world), g_uiOptions.bnewsatbottom != 0) != list.shown)
    list.Refresh();
}

void MailWindow::SelectMail(World& world, uint32_t serial) {
  if (this == &g_screens.mailWindow) s_selectedSerial.store(serial, std::memory_order_relaxed);
  const int32_t local = world.gameState.localPlayer;
  const MailView mail = serial ? ReadMail(world, local, serial, true) : MailView{};
  if (!mail.found) {
    targetHex = 0;
    replyAllowed = 0;
    UpdateMailButtons(nullptr);
    return;
  }
  NewsItemView item;
  item.found = true;
  item.typeId = mail.typeId;
  for (int i = 0; i < 4; ++i) item.args[i] = mail.params[i];
  targetHex = NewsItemPosition(world, item);
  const int32_t s = mail.sender;
  replyAllowed = s != local && s >= 0 && s < kMaxPlayers && world.players[s].kind == kKindHuman;
  UpdateMailButtons(mail.body.empty() ? nullptr : mail.body.c_str());
  if (!mail.read && this == &g_screens.mailWindow && PageShows(ListPage())) {
    ListPage().refreshRequest |= kScreenRefreshAsked;
    RedrawControlTree(g_ui, ListPage().currentForm, 1, 1);
  }
}

void MailWindow::UpdateMailButtons(const char* body) {
  Control* f = currentForm;
  if (!body) {
    if (previewShown) SetMailPreviewPane(false);
    for (const char* tag : {"CENTER", "REPLYBUT", "DELETE", "OPENBUT"}) SetHidden(Tag(f, tag), true);
  } else {
    if (!previewShown && g_uiOptions.bshowprevpane) SetMailPreviewPane(true);
    SetHidden(Tag(f, "CENTER"), targetHex == 0);
    SetHidden(Tag(f, "REPLYBUT"), replyAllowed == 0);
    SetHidden(Tag(f, "DELETE"), false);
    SetHidden(Tag(f, "OPENBUT"), false);
  }
  const std::string text = body ? body : "";
  if (preview) TextBoxSetText(preview, text.c_str(), static_cast<uint32_t>(text.size() + 1), 0);
}

void MailWindow::SetMailPreviewPane(bool show) {
  if (!currentForm || !par1 || !mailParent) return;
  previewShown = show && par2 ? 1 : 0;
  SetHidden(par2, previewShown == 0);
  LayOutPanes();
}

void MailWindow::LayOutPanes() {
  Control* f = currentForm;
  if (!f || !par1 || !mailParent) return;
  SetBottom(par1, Height(f) - kPaneMargin);
  if (previewShown && par2) {
    // A slot taller than the design gives the preview its third of the
    // panes, the list the rest.
    const int32_t height = std::max(designedPreviewHeight, Height(par1) / 3);
    par2->rect.bottom = par1->rect.bottom;
    par2->rect.top = par2->rect.bottom - height;
    SetBottom(Tag(par2, "LMESSAGE"), height);
    if (preview) {
      SetBottom(preview, height - kPaneMargin);
      ListLayoutRows(preview);
    }
    SetBottom(mailParent, par2->rect.top);
  } else {
    SetBottom(mailParent, Height(f) - kListMargin);
  }
  SetBottom(Tag(f, "LINBOX"), mailParent->rect.bottom);
  MailList& shown = page ? *page : ListPage();
  const int32_t height = Height(mailParent);
  if (shown.currentForm) shown.currentForm->rect.bottom = shown.currentForm->rect.top + height;
  if (shown.list) {
    shown.list->rect.bottom = shown.list->rect.top + height;
    ListLayoutRows(shown.list);
  }
  f->Invalidate();
}

void MailWindow::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  MailList& list = ListPage();
  const uint32_t selected = list.Selected();
  if (Is(control, "LABELBUT")) {
    if (control->Selected()) {
      if (previewShown) SetMailPreviewPane(false);
      for (const char* tag : {"OPENBUT", "DELETE", "CENTER"}) SetHidden(Tag(currentForm, tag), true);
      g_screens.mailOptions.Show(0, mailParent);
    } else {
      list.Show(0, mailParent);
    }
  } else if (Is(control, "OPENBUT")) {
    if (selected) g_screens.emailPopup.Popup(selected, nullptr);
  } else if (Is(control, "REPLYBUT")) {
    if (selected) {
      g_screens.emailPopup.Popup(selected, nullptr);
      g_screens.emailPopup.Reply(g_world, kReplyToSender);
    }
  } else if (Is(control, "DELETE")) {
    if (selected) DeleteMailLocked(selected);
  } else if (Is(control, "CENTER")) {
    if (targetHex != 0) {
      GotoHexPacked(targetHex);
      CentreMapOnHex(g_mapView, targetHex);
    }
  } else if (Is(control, "NEWMAIL")) {
    // Alone in the game there is no one to write to: the grid covers the
    // button, and a letter that could never be sent is not begun.
    if (IsNetworkGame(g_commandNet)) g_screens.emailPopup.Popup(0, nullptr);
  } else if (Is(control, "CLOSEBUT")) {
    ClosePopup(g_ui, *this);
  }
}

void InstallMailWindowHooks() {
  g_mailUi.emailArrived = [] { s_mailArrived.store(true); };
  g_mailUi.shownEmailSerial = [] { return s_selectedSerial.load(std::memory_order_relaxed); };
}
