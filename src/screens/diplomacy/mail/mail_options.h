#pragma once
// The mailbox's options page (EMAIL1b): the delivery levels of e-mail,
// status lines and news, the age at which e-mail goes, the preview pane,
// delete-on-reply and the mail filter, and the bringing back of every kind
// of message the player hid. The values are the interface options'; the
// page changes them at once and the option screens save them.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// A level's gauge frame (0 to 4) and its description (0 to 3).
int32_t MailOptionGaugeFrame(int32_t level);
int32_t MailOptionDescription(int32_t level);
// The age of e-mail deletion typed into DELDAYS: an empty or negative text
// (which would delete all e-mail at the next turn) keeps the old value.
int32_t ParseMailDeleteDays(const char* text, int32_t old);
// Shows every message type but player mail (type 0) again; the senders the
// player hid stay hidden.
void UnhideMessageTypes();

inline constexpr const char* kMailOptionsTags[] = {"SLIDER1", "VALUE1", "DESC1", "SLIDER2", "VALUE2",  "DESC2",
                                                   "SLIDER3", "VALUE3", "DESC3", "DELDAYS", "DELREPLY", "SHOWPANE",
                                                   "RESET"};
class MailOptions : public Screen {
 public:
  MailOptions() : Screen("EMAIL1b", FormLookups{.tags = kMailOptionsTags, .ids = {}}) {}
  void BindControls() override;
  // Shows the current values.
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  Control* gauges[3] = {};
};
