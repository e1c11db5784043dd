#pragma once
// A control: one element of a form, linked into the control tree as a ring
// of siblings under a parent that points at its first child. Its fifteen
// virtual slots (the five ring operations of ListNode first) are what every
// control class overrides; the tree's finds, hit test and drawing walk live
// in ui/control_tree.h, the capture, focus and text-edit globals in
// ui/control_focus.h. Window thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/list_node.h"
#include "platform/window.h"
#include "ui/control_bits.h"

class Screen;
struct FormControlRecord;
class FormStringPool;

inline constexpr size_t kTagSize = 12;

// The three looks a control's colours and outline widths are kept for.
enum ControlLook : int { kLookNormal = 0, kLookSelected = 1, kLookFocused = 2 };

// What code gives a control when it makes one. The selected and focused
// fills both take fillSelected, every look takes the one outline.
struct ControlInit {
  int16_t kind = kKindNull;
  const char* tag = nullptr;
  uint32_t flags = 0;
  uint32_t state = 0;
  uint8_t frameStyle = 0;  // 0 filled, 1 outline only
  uint32_t fillNormal = 0;
  uint32_t fillSelected = 0;
  uint8_t outlineWidth = 0;
  uint32_t outlineColour = 0;
  int32_t id = 0;
  const char* text = nullptr;
  Screen* owner = nullptr;
  int32_t left = 0, top = 0, width = 0, height = 0;
};

class Control : public ListNode {
 public:
  Control() = default;
  explicit Control(const ControlInit& init);
  // Deletes every child, lets go of the capture, focus and text edit when
  // they are this control, and leaves its parent and ring.
  ~Control() override;
  Control& operator=(const Control&) = delete;

  // Controls live in zero-filled memory and die through their destructors.
  static void* operator new(size_t bytes);
  static void operator delete(void* block);

  // Slots 0 to 4: the ring operations. Append links the other control just
  // before this one (at the tail when this is the first child), Prepend
  // just after it; either unlinks it first, gives it this control's parent,
  // marks it dirty and invalidates the parent.
  ListNode* Append(ListNode* other) override;
  ListNode* Prepend(ListNode* other) override;
  // The other control takes this one's place (and its left/top, keeping its
  // own size); this one leaves the tree.
  ListNode* ReplaceWith(ListNode* other) override;
  // Leaves the ring and the parent (whose first child moves on when it was
  // this one); returns the next sibling or null.
  ListNode* Unlink() override;
  // Deletes every control of this one's ring, this one included.
  void DeleteChain() override;

  // Slot 6. Clears the dirty bit; an owner-drawn control asks its screen.
  virtual int32_t Draw(const plat::Rect* clip);
  // Slot 7. Stores the state (redrawing at once with drawNow) and with
  // notify tells the owner of a selection change and of a command.
  virtual uint32_t SetState(uint32_t newState, int32_t drawNow, const plat::Rect* clip, int32_t message,
                            intptr_t p1, intptr_t p2, intptr_t p3, int32_t notify);
  // Slot 8. A mouse message hit this control; 0.
  virtual int32_t HandleMouse(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3);
  // Slot 9. Enter, leave, keys and the rest; 0 when consumed, 1 when not.
  virtual int32_t HandleInput(int32_t message, intptr_t p1, intptr_t p2, intptr_t p3);
  // Slot 10.
  virtual void ToggleSelected();
  // Slot 11. Marks it dirty; a control that does not cover its rectangle
  // (outline only, translucent, hidden) dirties its parent as well.
  virtual void Invalidate();
  // Slot 12. The same class with the same fields, its own texts, no links,
  // no children, no parent, index 0xFFFF.
  virtual Control* Clone() const;
  // Slot 13. Selects or deselects it with notification, when that changes.
  virtual void SetSelected(int32_t on);
  // Slot 14. Base: invalidates and tells the owner of the change.
  virtual void SetText(const char* text);

  // Not a slot: the drawing walk's pass over the control before it is drawn
  // (bitmaps count their animation delay here).
  virtual void TickAnimation() {}
  // Whether the next TickAnimation shows another picture: the frame loop
  // draws a frame for it, and ticks the others through frames it skips.
  virtual bool AnimationDue() const { return false; }
  // Not a slot: the form writer's pass, which puts the control's text and
  // its class's own fields into its record, texts into the pool.
  virtual void SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const;
  // Not a slot: text editing on it has just ended (its editing bit is
  // already clear).
  virtual void EditEnded() {}

  // Typed forms of the ring operations.
  Control* AppendSibling(Control* other) { return static_cast<Control*>(Append(other)); }
  Control* InsertAfter(Control* other) { return static_cast<Control*>(Prepend(other)); }
  // The next and previous control of the ring; null for a lone control.
  Control* NextInRing() const { return static_cast<Control*>(next()); }
  Control* PrevInRing() const { return static_cast<Control*>(prev()); }

  bool Hidden() const { return (state & kStateHidden) != 0; }
  bool Selected() const { return (state & kStateSelected) != 0; }

  int16_t kind = kKindNull;
  uint16_t index = 0;      // record index while a form is saved; 0xFFFF on clones
  char tag[kTagSize] = {};  // not necessarily terminated
  uint32_t flags = 0;
  uint32_t state = kStateDirty;
  uint8_t frameStyle = 0;
  uint8_t outlineWidths[3] = {};  // by ControlLook
  uint32_t fills[3] = {};         // A8R8G8B8 by ControlLook; the normal alpha decides translucency
  uint32_t outlines[3] = {};
  int32_t id = 0;
  Screen* hostedScreen = nullptr;  // with kCtlHost
  std::string text;                // the control's own text
  bool hasText = false;            // with an empty text: the text is "" rather than none
  Screen* owner = nullptr;
  uint32_t userWord = 0;  // free for the code that made the control (never saved)
  Control* firstChild = nullptr;
  Control* parent = nullptr;
  plat::Rect rect;  // relative to the parent's left/top
  // How far its screen has moved this form from where it was laid out (a
  // form shown on a background larger than the one it was laid out for).
  int32_t placeShiftX = 0, placeShiftY = 0;

 protected:
  // For Clone: every field but the links, the children and the parent.
  Control(const Control& other);
};

// A control's size from its rectangle; 0 for no control.
inline int32_t Width(const Control* c) { return c ? c->rect.right - c->rect.left : 0; }
inline int32_t Height(const Control* c) { return c ? c->rect.bottom - c->rect.top : 0; }

// Sets a tag, cut to 12 characters and zero-filled after.
void SetControlTag(Control* control, const char* tag);
// Compares a stored tag with a query on at most 12 characters, stopping at
// a terminator.
bool ControlTagMatches(const char* stored, const char* query);
// The rectangle in screen pixels: its own plus every ancestor's left/top.
plat::Rect ControlAbsoluteRect(const Control* control);
// Moves a rectangle to a new left/top keeping its size.
void RectMoveTo(plat::Rect* rect, int32_t left, int32_t top);

// Sets or clears state bits through SetState, without notification; the
// resulting state, 0 for a null control.
uint32_t SetControlFlag(Control* control, uint32_t bits, int32_t on);
// Flips the state bits in mask through SetState with the message and notify.
uint32_t ControlSetStyleArgs(Control* control, uint32_t mask, int32_t notify, int32_t message, intptr_t p1,
                             intptr_t p2, intptr_t p3);
// Replaces the control's own text with a copy (none for an empty or null
// text).
void ControlSetText(Control* control, const char* text);
// Deselects, with notification when asked, the control and every sibling
// that is a radio member.
void ControlClearSelection(Control* control, int32_t notify);
// Clears the focused look on the control and every control of its ring.
void ControlClearFocusMarks(Control* control);
