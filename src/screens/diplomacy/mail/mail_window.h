#pragma once
// The mailbox beside the map (EMAIL1): the local player's e-mail as a list
// (EMAIL1a, one EMAIL1aFILL row per message), a preview of the selected
// message and the buttons that open, answer, delete it and centre the map on
// it. Messages are held by serial: rows carry the serial as their id, and
// every use finds the message under the mail lock and copies what it shows,
// so a message that expires or is deleted meanwhile reads as none.
// Window thread only, except the two hooks the mail service calls.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr uint32_t kMailReadColour = 0xFFC8C8C8;
inline constexpr uint32_t kMailUnreadColour = 0xFFFFFFFF;
inline constexpr uint32_t kMailUrgentColour = 0xFFFA3200;
inline constexpr uint8_t kMailUrgentPriority = 50;
inline constexpr int32_t kMailDockedHeight = 194;
// The list tells each row its width with this host notice.
inline constexpr int32_t kMailRowWidthNotice = 99;

// A row's subject colour: urgent mail stays red even once read.
uint32_t MailSubjectColour(bool read, uint8_t priority);
// The level gauge's frame, 0 to 4.
int32_t MailLevelFrame(int32_t priority);
// The news-category picture: the lowest set bit of the mask (0 to 6), -1
// for none.
int32_t MailCategoryFrame(uint8_t mask);
// "Mar 3 Supplies": the short month, the day of the month and the subject.
std::string MailRowText(int32_t dayNumber, const char* subject);
// The owner's e-mail serials in row order: newest first as the list keeps
// them, or oldest first with newsAtBottom. Takes the mail lock.
std::vector<uint32_t> MailRowSerials(World& world, int32_t owner, bool newsAtBottom);

// What the mailbox shows of one message, copied under the mail lock.
struct MailView {
  bool found = false;
  bool read = false;
  uint8_t priority = 0;
  int32_t sender = 0;
  uint32_t typeId = 0;
  uint32_t flags = 0;
  int32_t day = 0;
  uint16_t minister = 0;
  uint32_t masks[3] = {};  // to, copy, blind copy
  uint32_t params[4] = {};
  std::string subject, body;
};
// What the mailbox and the pop-up show of the message. Call under the mail lock.
MailView ViewOf(const PlayerMessage& message);
// The owner's message with the serial; with markRead it is marked read.
MailView ReadMail(World& world, int32_t owner, uint32_t serial, bool markRead);

class MailList;
class MailWindow;
// Deletes the local player's message with the serial (the list's selection
// moving on first) and rebuilds what shows the mailbox.
void DeleteMailLocked(World& world, MailList& page, MailWindow& window, uint32_t serial);
// The same on the game's world and mailbox.
void DeleteMailLocked(uint32_t serial);

inline constexpr const char* kMailRowTags[] = {"SUBJECT"};
class MailListRow : public Screen {
 public:
  MailListRow() : Screen("EMAIL1aFILL", FormLookups{.tags = kMailRowTags, .ids = {}}) {}
  void BindControls() override;
  // Fills the row from the message its id names.
  void OnOpen() override;
  void Fill(World& world, uint32_t serial);
  void OnHostNotify(int32_t code, int32_t value) override;

  Control* subject = nullptr;
  Control* flagHide = nullptr;
  Control* flag = nullptr;
  Control* newsType = nullptr;
  Control* level = nullptr;
};

inline constexpr const char* kMailListTags[] = {"MAILLIST"};
class MailList : public Screen {
 public:
  MailList() : Screen("EMAIL1a", FormLookups{.tags = kMailListTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Rebuilds the rows, keeping the selection while its message lasts; with
  // none the newest message is selected.
  void Rebuild(World& world, MailWindow& window);
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  // The serial of the selected row, 0 for none.
  uint32_t Selected() const;
  // Moves the selection to the row after the selected one (the last row
  // keeps it).
  void SelectNextRow();

  ListBoxControl* list = nullptr;
  std::vector<uint32_t> shown;  // the rows' serials as last built
};

inline constexpr const char* kMailWindowTags[] = {"CLOSEBUT", "NEWMAIL", "LABELBUT", "OPENBUT", "REPLYBUT", "DELETE",
                                                  "CENTER",   "GRIDMAIL", "MAILPARENT", "PAR1", "PAR2", "MESSAGE"};
class MailWindow : public Screen {
 public:
  MailWindow() : Screen("EMAIL1", FormLookups{.tags = kMailWindowTags, .ids = {}}) {}
  // Docked at the map's lower right, or in SIDEBAR3 with side screens; the
  // docked window closes again unless the mail bar opened it.
  int32_t AttachForm(Control* host) override;
  void OnOpen() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // Rebuilds the list page while it shows.
  void Refresh() override;
  // Marks new mail on the mail bar while the window is closed, and rebuilds
  // the list when mail arrived, expired or went.
  void Poll(intptr_t argument) override;

  // The selection changed to the serial (0 for none): marks it read and
  // sets the buttons and the preview.
  void SelectMail(World& world, uint32_t serial);
  // The action buttons and the preview for the selection's body (null for
  // none).
  void UpdateMailButtons(const char* body);
  void SetMailPreviewPane(bool show);
  // Fits the list and the preview pane to the form's height: the list
  // page takes what the preview, when shown, leaves.
  void LayOutPanes();
  void DockMailWindow();
  void AttachMailWindowToSidebar();

  int32_t designedWidth = 0;
  int32_t designedPreviewHeight = 0;
  int32_t previewShown = 0;
  uint32_t targetHex = 0;
  int32_t replyAllowed = 0;
  Control* mailParent = nullptr;
  TextBoxControl* preview = nullptr;
  Control* par1 = nullptr;
  Control* par2 = nullptr;
  MailList* page = nullptr;  // the list page that last rebuilt for it
};

// Sets the mail service's hooks: new mail and the list's selection.
void InstallMailWindowHooks();
