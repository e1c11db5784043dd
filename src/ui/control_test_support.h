#pragma once
// For the control tests: a screen that writes down every hook its controls
// call, in order, as short lines ("change B", "command B", "notify 2 0").
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/string_control.h"

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

// A panel's form for a test to fill: a root of the given name holding a
// string control for each tag (a plain box for each of `boxes`, where a
// list is made) and a plain cell for each id, the owner's form while it
// lives.
class PanelForm {
 public:
  PanelForm(Screen& owner, const char* name, std::initializer_list<const char*> tags,
            const std::vector<int32_t>& ids = {}, std::initializer_list<const char*> boxes = {},
            uint32_t bufferSize = 63)
      : root(new Control(Init(name, &owner, 0, 0, 220, 194))), owner_(&owner) {
    for (const char* tag : tags) {
      const ControlInit init = Init(tag, &owner, 0, 0, 40, 12);
      bool box = false;
      for (const char* b : boxes) box = box || std::strcmp(b, tag) == 0;
      ControlAddChild(root, box ? new Control(init) : new StringControl(init, StringInit{.bufferSize = bufferSize}));
    }
    for (int32_t id : ids) ControlAddChild(root, new Control(Init(nullptr, &owner, 0, 0, 20, 12)))->id = id;
    owner.currentForm = owner.form = root;
  }
  ~PanelForm() {
    owner_->currentForm = owner_->form = nullptr;
    delete root;
  }
  PanelForm(const PanelForm&) = delete;
  PanelForm& operator=(const PanelForm&) = delete;

  Control* operator[](const char* tag) const { return FormFindControlByTag(root, tag); }
  Control* operator[](int32_t id) const { return FormFindControlById(root, id); }
  // The list box a panel made over the tagged placeholder, or null.
  ListBoxControl* List(const char* tag) const { return TagAs<ListBoxControl>(root, tag); }
  bool Shown(const char* tag) const { return (*this)[tag] && !(*this)[tag]->Hidden(); }
  std::string Text(const char* tag) const {
    const Control* c = (*this)[tag];
    return c ? c->text : "";
  }

  Control* root;

 private:
  Screen* owner_;
};

}  // namespace controltest
