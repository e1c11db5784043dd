#pragma once
// For the panels' tests: a form a test builds for one screen. It is the
// screen's form while it lives and is taken back, out of any host, when the
// test ends; a test's own form type adds its controls in its constructor.
#include <cstdint>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen.h"

class OwnedTestForm {
 public:
  OwnedTestForm(Screen& owner, Control* formRoot) : root(formRoot), owner_(&owner) {
    owner.currentForm = owner.form = root;
  }
  ~OwnedTestForm() {
    if (root->parent) root->Unlink();
    owner_->currentForm = owner_->form = nullptr;
    delete root;
  }
  OwnedTestForm(const OwnedTestForm&) = delete;
  OwnedTestForm& operator=(const OwnedTestForm&) = delete;

  Control* operator[](const char* tag) const { return FormFindControlByTag(root, tag); }
  Control* operator[](int32_t id) const { return FormFindControlById(root, id); }

  Control* root;

 private:
  Screen* owner_;
};
