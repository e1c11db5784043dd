#pragma once
// The mail pop-up (POPUP_EMAIL1): reads a received message or writes a new
// one. A received message is held by serial and copied under the mail lock
// each time it is shown, so one that expires or is deleted meanwhile closes
// the pop-up; a message being written is the pop-up's own until it is sent
// or the pop-up closes. Player letters show their body in MailPopupPanel
// (POPUP_EMAIL1b), typed messages in OfferMailView (POPUP_EMAIL1a1); the
// addressees are chosen in MailAddressPicker (POPUP_EMAIL2). Window thread
// only, except the hook the mail service calls.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The received message that the letter being written answers (a serial, 0
// for none): deleted once the answer is sent, forgotten when the pop-up
// closes or the message is deleted.
extern uint32_t g_replySourceMessage;

// Reply modes: the ids of the reply buttons.
inline constexpr int32_t kReplyToSender = 60;
inline constexpr int32_t kReplyToAll = 61;
// The longest body a letter holds.
inline constexpr size_t kMailBodyLimit = 2047;

// What an answer starts with.
struct MailReplyDraft {
  uint32_t to = 0;
  uint32_t cc = 0;
  std::string subject;
  std::string body;
};
// The answer in mode `mode` to a message from `sender` to `to` and `cc`:
// 60 the sender, 61 the sender and every addressee (never the local
// player), any other mode nobody; "RE: " before the subject unless it has
// one; the answered body quoted under a rule, cut to the body limit.
// Who a received message is from, as its pop-up shows it: our own
// minister for our government's notices and our ministries' reports (which
// come with no sender), the world's news, or another region and its leader.
std::string MailSenderLine(World& world, uint32_t typeId, int32_t sender, uint16_t minister, int32_t local);
// The same sender in short, as a row of the mail list names it: the
// minister's own name for a ministry's report, the world's news, or the
// other region's name.
std::string MailSenderName(World& world, uint32_t typeId, int32_t sender, int32_t local);
// The region whose colours a message carries: ours for a ministry's report.
int32_t MailSenderRegion(uint32_t typeId, int32_t sender, int32_t local);

MailReplyDraft MakeMailReply(int32_t mode, int32_t local, int32_t sender, uint32_t to, uint32_t cc,
                             const std::string& subject, const std::string& body);
// "Mar 3, 2010".
std::string MailDateText(int32_t dayNumber);

inline constexpr const char* kMailPopupTags[] = {"HEADER", "SENTFROM", "MAILTO", "MAILCC",  "DATE",
                                                 "SUBJECT", "SENDBUT", "GRIDSEND", "DELETE", "CLOSE",
                                                 "UP",     "DOWN",     "CENTRE",  "HIDEM",   "NODEL",
                                                 "CONTENTS"};
inline constexpr int32_t kMailPopupIds[] = {51, 60, 61, 62};
class MailPopup : public Screen {
 public:
  MailPopup() : Screen("POPUP_EMAIL1", FormLookups{.tags = kMailPopupTags, .ids = kMailPopupIds}) {}
  ~MailPopup() override;
  void BindControls() override;
  // Shows the message whose serial is the id, or a new letter for id 0.
  void OnOpen() override;
  void Refresh() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t id) override;

  // The body of OnOpen on a world; a given letter (taken) is shown instead
  // of a new one when the id is 0.
  void Open(World& world, PlayerMessage* letter = nullptr);
  // Shows a new letter to the players of the mask (the pop-up open).
  void Compose(World& world, uint32_t toMask);
  // Starts an answer to the received message shown.
  void Reply(World& world, int32_t mode);
  // Sends the letter being written to its addressees.
  void Send(World& world);
  // Frees the letter being written and forgets what the pop-up showed.
  void Forget();
  // MAILTO and MAILCC from the message's addressees.
  void FillMailAddresses(World& world);
  // Hides further messages of the shown message's type, or of its sender
  // for a letter (senders outside 0-31 cannot be hidden).
  void SetHideMessages(World& world, bool on);
  void SetKeep(World& world, bool on);
  // The serial of the received message shown, 0 for none.
  uint32_t Shown() const { return serial; }

  uint32_t targetHex = 0;
  uint32_t serial = 0;
  PlayerMessage* letter = nullptr;  // the letter being written (owned)
  Control* level = nullptr;
  Control* newsIcon = nullptr;
  Control* cabDept = nullptr;
  Control* emoticon = nullptr;
  Control* contents = nullptr;
};

// The body of a player letter, editable while it is being written.
inline constexpr const char* kMailPanelTags[] = {"MESSAGE"};
class MailPopupPanel : public Screen {
 public:
  MailPopupPanel() : Screen("POPUP_EMAIL1b", FormLookups{.tags = kMailPanelTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  // Loads the body; editable only for a letter being written.
  void Load(const std::string& body, bool editable);
  std::string Text() const;

  TextBoxControl* box = nullptr;
};

inline constexpr const char* kMailPickerTags[] = {"LIST1", "LIST2", "LIST3", "TOBUT", "CCBUT",
                                                  "BCCBUT", "OKBUT", "CANBUT", "CLOSE"};
class MailAddressPicker : public Screen {
 public:
  MailAddressPicker() : Screen("POPUP_EMAIL2", FormLookups{.tags = kMailPickerTags, .ids = {}}) {}
  // Opens beside the mail pop-up on the letter's addressees.
  void Pick(World& world, const PlayerMessage& message, int32_t mode);
  void BindControls() override;
  void Refresh() override;
  void Fill(World& world);
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  // Adds the player of the row value (value % 100) to To (0), Cc (1) or Bcc (2).
  void Add(intptr_t rowValue, int32_t where);

  uint32_t to = 0, cc = 0, bcc = 0;
  int32_t addMode = 0;
  ListBoxControl* lists[3] = {};
};

// A small panel naming a message's sender; nothing opens it yet: whoever
// does gives the sender as its id.
inline constexpr const char* kMailSenderTags[] = {"SENTFROM", "CLOSE"};
class MailSenderPanel : public Screen {
 public:
  MailSenderPanel() : Screen("POPUP_EMAIL3", FormLookups{.tags = kMailSenderTags, .ids = {}}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
};

// Sets the mail service's hook for the message the pop-up shows.
void InstallMailPopupHooks();
