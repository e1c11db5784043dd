#pragma once
// A control of a form. The control tree, its kinds and their drawing come
// with the form loader; this is the part the frame and the screens share.
#include <cstdint>

#include "app/list_node.h"

class Screen;

// Control flag bits.
inline constexpr uint32_t kCtlHidden = 0x00010000;
inline constexpr uint32_t kCtlRedrawAll = 0x01000000;

class Control : public ListNode {
 public:
  Control() = default;
  ~Control() override;

  // Draws the control itself (not its children).
  virtual void Draw() {}

  void AddChild(Control* child);
  Control* FirstChild() const;
  Control* NextSibling() const;

  char tag[12] = {};
  uint32_t flags = 0;
  uint32_t state = 0;
  int32_t id = 0;
  Screen* owner = nullptr;
  Control* parent = nullptr;
  ListNode children;  // ring head of the child controls
};
