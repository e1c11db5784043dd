#pragma once
// The base of every screen: the logic behind one panel or pop-up, owning its
// forms and receiving its controls' notifications through its hooks.
#include <cstdint>

class Control;

class Screen {
 public:
  explicit Screen(const char* formName);
  virtual ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  virtual int32_t Show(int32_t id, Control* host);
  virtual int32_t AttachForm(Control* host);
  virtual void OnOpen() {}
  virtual void Refresh() {}
  virtual int32_t Popup(int32_t id, void* list);
  virtual void Close() {}
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
  void* pollRegistration = nullptr;
  int32_t id = 0;
  uint32_t hostMark = 0;
  int32_t words[7] = {};
  Screen* returnTo = nullptr;
  void* parameterList = nullptr;

 private:
  static Screen* head_;
};

// The id value that tells Show and Popup to keep the current id.
inline constexpr int32_t kKeepScreenId = 0x7FFFFFFF;
