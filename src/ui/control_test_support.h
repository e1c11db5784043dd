#pragma once
// For the control tests: a screen that writes down every hook its controls
// call, in order, as short lines ("change B", "command B", "notify 2 0").
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/screen.h"

namespace controltest {

class RecordingScreen final : public Screen {
 public:
  RecordingScreen() : Screen("RECORDER") {}

  std::vector<std::string> events;
  bool recordMessages = false;  // OnControlMessage too

  int32_t OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t, intptr_t, intptr_t,
                           Control* c, int32_t) override {
    if (recordMessages) Add("message " + std::to_string(message), c);
    return 0;
  }
  void OnLeave() override { events.push_back("leave form"); }
  void OnCommand(Control* c, int32_t) override { Add("command", c); }
  void OnActivate(Control* c, int32_t) override { Add("activate", c); }
  void OnControlChange(Control* c, int32_t) override { Add("change", c); }
  void OnDrawControl(Control* c, int32_t) override { Add("draw", c); }
  void OnMouseEnter(Control* c, int32_t) override { Add("enter", c); }
  void OnMouseLeave(Control* c, int32_t) override { Add("leave", c); }
  void OnSetFocus(Control* c, int32_t) override { Add("focus", c); }
  void OnKillFocus(Control* c, int32_t) override { Add("unfocus", c); }
  void OnBeginEdit(Control* c, int32_t) override { Add("begin edit", c); }
  void OnEndEdit(Control* c, int32_t) override { Add("end edit", c); }
  void OnHostNotify(int32_t code, int32_t value) override {
    events.push_back("notify " + std::to_string(code) + " " + std::to_string(value));
  }

  // The events since the last call, and forgets them.
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(events);
    return out;
  }

 private:
  void Add(const std::string& what, const Control* c) {
    events.push_back(what + " " + std::string(c->tag, strnlen(c->tag, kTagSize)));
  }
};

// A control of the kind and rectangle, owned by the screen.
inline ControlInit Init(const char* tag, Screen* owner, int32_t left, int32_t top, int32_t width, int32_t height,
                        uint32_t flags = 0, uint32_t fill = 0xFF202020u) {
  ControlInit init;
  init.tag = tag;
  init.owner = owner;
  init.left = left;
  init.top = top;
  init.width = width;
  init.height = height;
  init.flags = flags;
  init.fillNormal = fill;
  init.fillSelected = fill;
  return init;
}

}  // namespace controltest
