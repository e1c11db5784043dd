#include "ui/control.h"

Control::~Control() {
  // Children belong to their form, which frees them; only leave the rings.
  while (children.next()) children.next()->Unlink();
  Unlink();
}

void Control::AddChild(Control* child) {
  child->parent = this;
  children.Append(child);
}

Control* Control::FirstChild() const {
  ListNode* n = children.next();
  return n ? static_cast<Control*>(n) : nullptr;
}

Control* Control::NextSibling() const {
  if (!parent) return nullptr;
  ListNode* n = next();
  if (!n || n == &parent->children) return nullptr;
  return static_cast<Control*>(n);
}
