#pragma once
// The base of every screen: the logic behind one panel or pop-up, owning its
// forms and receiving its controls' notifications through its hooks.
#include <cstdint>
#include <span>
#include <vector>

class Control;
class PollRegistration;

// The objects a pop-up steps through (its next and previous buttons): the
// list handed to Popup, copied into the screen's own.
struct ScreenParameterList {
  std::vector<intptr_t> entries;
  intptr_t current = 0;             // the entry shown now
  Control* listControl = nullptr;   // a list showing the entries, when there is one
};

// What a screen's code looks up in its form, by tag and by id. The manifest
// test loads each screen's form and finds every one of them there.
struct FormLookups {
  std::span<const char* const> tags;
  std::span<const int32_t> ids;
};

// While set, screens attach their alternate forms (where they have one) and
// find their hosts through their alternate host links. The main game screen
// sets it while it builds its alternate panels.
extern bool g_alternateLayout;

class Screen {
 public:
  explicit Screen(const char* formName, FormLookups lookups = {});
  virtual ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Stores the id (unless kKeepScreenId), attaches the form, opens and
  // refreshes it.
  virtual int32_t Show(intptr_t id, Control* host);
  // The current form becomes the alternate form while the alternate layout
  // is on and there is one, else the form. A given host becomes the host;
  // with none the host is found again through the (alternate) host link
  // where one is set, else kept. The host then shows the current form.
  virtual int32_t AttachForm(Control* host);
  virtual void OnOpen() {}
  virtual void Refresh() {}
  // Stores the id (unless kKeepScreenId); with a list, its entries become
  // the parameter list's, with none the parameter list is emptied (and
  // kept); the current form opens as a pop-up over the whole screen, then
  // is opened and refreshed. The pop-up's refusal, or 0.
  virtual int32_t Popup(intptr_t id, const ScreenParameterList* list);
  // Closes the current form's pop-up; with noReturn the screen it replaced
  // is not opened again.
  virtual int32_t Close(int32_t noReturn = 0);
  virtual int32_t OnControlMessage(uint32_t state1, uint32_t state2, int32_t id, int32_t message, intptr_t p1,
                                   intptr_t p2, intptr_t p3, Control* control, int32_t zero) {
    (void)state1, (void)state2, (void)id, (void)message, (void)p1, (void)p2, (void)p3, (void)control, (void)zero;
    return 0;
  }
  virtual void BindControls() {}
  virtual void OnLeave() {}
  virtual void OnCommand(Control*, int32_t) {}
  virtual void OnActivate(Control*, int32_t) {}
  virtual void OnControlChange(Control*, int32_t) {}
  virtual void OnDrawControl(Control*, int32_t) {}
  virtual void OnMouseEnter(Control*, int32_t) {}
  virtual void OnMouseLeave(Control*, int32_t) {}
  virtual void OnSetFocus(Control*, int32_t) {}
  virtual void OnKillFocus(Control*, int32_t) {}
  virtual void OnBeginEdit(Control*, int32_t) {}
  virtual void OnEndEdit(Control*, int32_t) {}
  virtual void OnHostNotify(int32_t, int32_t) {}
  virtual void Poll(intptr_t) { Refresh(); }

  static Screen* AllScreens() { return head_; }

  Control* currentForm = nullptr;
  Control* form = nullptr;
  Control* alternateForm = nullptr;
  Control** hostLink = nullptr;
  Control** alternateHostLink = nullptr;
  Control* host = nullptr;
  const char* formName = nullptr;
  const char* alternateFormName = nullptr;
  Screen* nextScreen = nullptr;
  PollRegistration* pollRegistration = nullptr;  // null when not registered for polling
  intptr_t id = 0;  // may carry a text's address (tooltips)
  uint32_t hostMark = 0;
  int32_t words[7] = {};
  Screen* returnTo = nullptr;
  ScreenParameterList* parameterList = nullptr;  // owned; made by the first Popup with a list
  uint32_t refreshRequest = 0;  // kScreenRefresh bits: the refresh walk refreshes the screen
  FormLookups lookups;

 private:
  void KeepPlaceOnBackground();
  static Screen* head_;
};

// The id value that tells Show and Popup to keep the current id; compared
// by equality.
inline constexpr intptr_t kKeepScreenId = 0x7FFFFFFF;

// Bits of Screen::refreshRequest. A screen sets either to be refreshed by the
// next refresh walk; a deferring walk sets kScreenRefreshDeferred and a
// refreshing one clears it.
inline constexpr uint32_t kScreenRefreshAsked = 0x1;
inline constexpr uint32_t kScreenRefreshDeferred = 0x2;

// Refreshes the screen that owns the control its current form sits in.
void NotifyParentScreenStates(Screen* screen);
