#include "ui/panel_helpers.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/text_tokenizer.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "ui/scroller.h"
#include "ui/text_box.h"
#include "world/object_hex.h"
#include "world/world.h"

namespace {

constexpr uint32_t kPlaceholderColour = 0xFF5A5A5Au;
constexpr uint8_t kFrameOutlineOnly = 1;
constexpr uint32_t kStyleDropped = 0x420;
constexpr uint32_t kStyleGained = 0x10;
constexpr uint32_t kDeleteWhenReplaced = 0x80000;
constexpr uint32_t kTextBoxCapacity = 8192;
constexpr uint32_t kTextBoxGains = 0x8200000;
constexpr uint32_t kScrollerDropped = 0x200051 | 0x200000;
constexpr uint32_t kScrollerGained = 0x8000;
constexpr uint32_t kScrollerFocusFill = 0x21000000u;
constexpr uint32_t kScrollerSelectedOutline = 0xFF00C800u;
constexpr uint32_t kScrollerFocusedOutline = 0xFF00FF00u;
constexpr int32_t kScrollerSetting = -156;

Control* FindPlaceholder(const char* tag, int32_t id, Control* root) {
  if (!root) return nullptr;
  if (tag) return FormFindControlByTag(root, tag);
  return root->id == id ? root : FindControlById(root, id, kAnyDepth, 0);
}

// The new control takes the placeholder's place; its frame is an outline
// of no width, so the form shows through round the rows.
void Replace(Control* placeholder, Control* made) {
  for (int look = 0; look < 3; ++look) {
    made->outlines[look] = kPlaceholderColour;
    made->fills[look] = kPlaceholderColour;
    made->outlineWidths[look] = 0;
  }
  made->frameStyle = kFrameOutlineOnly;
  made->flags = (made->flags & ~kStyleDropped) | kStyleGained;
  placeholder->InsertAfter(made);
  made->owner = placeholder->owner;
  std::memcpy(made->tag, placeholder->tag, sizeof made->tag);
  if (placeholder->flags & kDeleteWhenReplaced) delete placeholder;
}

void ShowPart(Control* form, const char* tag, bool show) {
  Control* part = FormFindControlByTag(form, tag);
  if (!part) part = form;
  if (show) part->state &= ~kStateHidden;
  else part->state |= kStateHidden;
  part->Invalidate();
}

// What the side box holds: a full panel alone, or a top panel and a bottom
// panel sharing it. Kept by pointer and trusted only while still in the box.
struct SideStack {
  Control* top = nullptr;
  Control* bottom = nullptr;
} g_sideStack;

bool InRing(Control* box, const Control* c) {
  Control* first = box->firstChild;
  if (!c || !first) return false;
  Control* at = first;
  do {
    if (at == c) return true;
    at = at->NextInRing();
  } while (at && at != first);
  return false;
}

// A top panel keeps the bottom one and the other way round; a full panel,
// or one placed again, puts out the rest. The top panel hangs at the box's
// top, the bottom one at its foot, drawn after the top one.
void StackSidePanel(Control* box, Control* form, int32_t placement) {
  Control* keep = nullptr;
  if (placement == kPanelTop && g_sideStack.bottom != form && InRing(box, g_sideStack.bottom)) keep = g_sideStack.bottom;
  if (placement == kPanelBottom && g_sideStack.top != form && InRing(box, g_sideStack.top)) keep = g_sideStack.top;
  while (Control* c = box->firstChild) {
    c->Unlink();
    if (box->firstChild == c) box->firstChild = nullptr;
  }
  if (form->parent) form->Unlink();
  const int32_t foot = std::max(0, Height(box) - Height(form));
  RectMoveTo(&form->rect, form->rect.left, placement == kPanelBottom ? foot : 0);
  if (placement == kPanelBottom && keep) {
    ControlAttachForm(box, keep);
    ControlAddChild(box, form);
  } else {
    ControlAttachForm(box, form);
    if (keep) ControlAddChild(box, keep);
  }
  g_sideStack.top = placement == kPanelTop ? form : placement == kPanelBottom ? keep : nullptr;
  g_sideStack.bottom = placement == kPanelBottom ? form : placement == kPanelTop ? keep : nullptr;
  box->Invalidate();
}

}  // namespace

ListBoxControl* MakeListBox(const char* tag, int32_t id, Control* formRoot, uint32_t flag, Screen* owner) {
  Control* placeholder = FindPlaceholder(tag, id, formRoot);
  if (!placeholder) return nullptr;
  const plat::Rect& r = placeholder->rect;
  auto* list = ListBoxConstruct(r.left, r.top, r.right - r.left, r.bottom - r.top, flag, placeholder->id, owner);
  list->index = placeholder->id < 0 ? 0 : static_cast<uint16_t>(placeholder->id);
  if (flag) list->scroller->arrowFill[0] = list->scroller->arrowFill[1] = 0;
  Replace(placeholder, list);
  ListClear(list, 1);
  return list;
}

TextBoxControl* MakeTextBox(const char* tag, int32_t id, Control* formRoot) {
  Control* placeholder = FindPlaceholder(tag, id, formRoot);
  if (!placeholder) return nullptr;
  const plat::Rect& r = placeholder->rect;
  auto* box = new TextBoxControl(r.left, r.top, r.right - r.left, r.bottom - r.top, 0, placeholder->id,
                                 placeholder->owner);
  box->index = placeholder->id < 0 ? 0 : static_cast<uint16_t>(placeholder->id);
  TextBoxSetText(box, nullptr, kTextBoxCapacity, 1);
  Replace(placeholder, box);
  ScrollerControl* s = box->scroller;
  s->frameStyle = 0;
  s->outlineWidths[0] = s->outlineWidths[1] = 0;
  s->fills[0] = s->fills[1] = 0;
  s->fills[2] = kScrollerFocusFill;
  s->outlines[1] = kScrollerSelectedOutline;
  s->outlines[2] = kScrollerFocusedOutline;
  s->flags = (s->flags & ~kScrollerDropped) | kScrollerGained;
  s->settings[0] = 0;
  s->settings[1] = kScrollerSetting;
  s->settings[2] = static_cast<int32_t>(kScrollerFocusedOutline);
  box->flags |= kTextBoxGains;
  ListClear(box, 0);
  return box;
}

void PlaceSidePanel(int32_t, Screen* screen, int32_t placement) {
  if (!screen || !screen->form) return;
  Control* form = screen->form;
  if (g_ui.sideBarLock && !ControlTagMatches(form->tag, "FILTER1")) return;
  Control* box = g_ui.rightBoxes[1];
  if (box) StackSidePanel(box, form, placement);
  ShowPart(form, "FULL", placement == kPanelFull);
  ShowPart(form, "TOP", placement == kPanelTop);
  ShowPart(form, "BOTTOM", placement == kPanelBottom);
  // Where the form has no part of a name it stands in for it: the part
  // asked for must stay shown.
  const char* shown = placement == kPanelTop ? "TOP" : placement == kPanelBottom ? "BOTTOM" : "FULL";
  ShowPart(form, shown, true);
  form->state |= kStateDirty;
}

int32_t ListFiles(const char* folder, ListBoxControl* list, const char* extension) {
  if (!list) return 0;
  const std::string ext = extension ? extension : "";
  const auto names = plat::ListGameDirectory(folder ? folder : "", "*" + ext, true);
  int32_t count = 0;
  for (const std::string& name : names) {
    if (name.size() < ext.size()) continue;
    const std::string shown = name.substr(0, name.size() - ext.size());
    ++count;
    ListAddString(list, shown.c_str(), count, count, 0, 0, 0);
  }
  ListLayoutRows(list);
  return count;
}

int32_t LoadCsvList(const char* name, ListBoxControl* list) {
  if (!name || !list) return plat::kFail;
  TextTokenizer tokens;
  if (plat::Failed(LoadTextFile("", tokens, name, ".CSV"))) return plat::kFail;
  int32_t count = 0;
  while (tokens.cursor && *tokens.cursor && !tokens.endOfText) {
    char* first = ReadFieldString(tokens, nullptr);
    if (first && *first) {
      ++count;
      ListAddString(list, first, count, count, 0, 0, 0);
    }
    FreeAndClear(first);
    SkipLine(tokens);
  }
  ListLayoutRows(list);
  return count;
}

void GotoHexPacked(uint32_t packed) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const auto x = static_cast<int16_t>(packed & 0xFFFF);
  const auto y = static_cast<int32_t>(packed >> 16);
  SetObjectHex(g_world, x, y, g_world.gameState.currentHex);
}

void DateInit(GameDate* date, int16_t year, uint8_t month, uint8_t day) {
  if (!date) return;
  date->year = year;
  date->month = month;
  date->day = day;
  DateToDayNumber(*date);
}

GameDate* DateFromDayNumber(int32_t dayNumber, GameDate* date) {
  if (!date) return nullptr;
  date->dayNumber = dayNumber;
  DayNumberToDate(*date);
  return date;
}

void PostUnitReleaseCommands(const UnitRecord& unit) {
  PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit.id, .bits = kStateHeldSlot, .set = 0});
  PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit.id, .bits = kStatePausedBuild, .set = 1});
  PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit.id, .bits = kStateModeC, .set = 1});
  PostArgs(kCmdDisbandUnit, UnitArgs{.unit = unit.id});
}

void StyleOverlay(Control* c) {
  if (!c) return;
  c->fills[0] = (c->fills[0] & 0x00FFFFFFu) | 0x8C000000u;
  c->fills[2] = c->fills[0];
  c->outlines[2] = 0xFF007D00u;
  c->frameStyle = 1;
  c->flags |= kCtlShowFocus;
}
