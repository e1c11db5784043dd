#include "screens/common/name_hex_popup.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/command_ids.h"
#include "screens/common/hex_cell_lookup.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

// A hex's name is at most this long, as the map panel shows it.
constexpr size_t kHexNameLimit = 47;

TextControl* NameField(Control* form) {
  Control* c = FormFindControlByTag(form, "HEXNAME");
  return c && (c->kind == kKindEdit || c->kind == kKindText) ? static_cast<TextControl*>(c) : nullptr;
}

}  // namespace

std::vector<uint8_t> HexNamePayload(const std::string& text) {
  if (text.empty()) return {};
  const size_t length = std::min(text.size(), kHexNameLimit);
  std::vector<uint8_t> payload(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
  payload.push_back(0);
  return payload;
}

namespace {

class NameHexPopup : public Screen {
 public:
  NameHexPopup() : Screen("POPUP_NAMEHEX", FormLookups{.tags = kTags, .ids = {}}) {}
  // The field shows the hex's name and takes the typing.
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    TextControl* field = NameField(currentForm);
    if (!field) return;
    const HexCell* cell = SelectedCell(g_world);
    const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
    const HexExtra* extra = stack ? stack->extra : nullptr;
    std::string name = extra && extra->text ? std::string(extra->text, strnlen(extra->text, kHexNameLimit)) : "";
    field->sourceText = name;
    field->Invalidate();
    // TextEditSetActive refuses a field that takes no focus, and leaves one
    // already being edited as it is.
    TextEditSetActive(field);
  }
  void OnCommand(Control* control, int32_t) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!control) return;
    if (ControlTagMatches(control->tag, "CANBUT")) {
      EndTextEdit();
      Close(0);
      return;
    }
    if (!ControlTagMatches(control->tag, "OKBUT") && !ControlTagMatches(control->tag, "HEXNAME")) return;
    TextControl* field = NameField(currentForm);
    const HexPosition& hex = g_world.gameState.currentHex;
    std::vector<uint8_t> payload = HexNamePayload(field ? field->sourceText : "");
    if (!payload.empty() && SelectedCell(g_world))
      PostArgs(kCmdNameHex, HexArgs{.hex = PackHex(hex.x, hex.y)}, std::move(payload));
    EndTextEdit();
    Close(0);
  }
  // An edit given up with Escape closes the pop-up.
  void OnHostNotify(int32_t code, int32_t) override {
    if (code == kHostNotifyEditCancelled) Close(0);
  }

 private:
  static constexpr const char* kTags[] = {"HEXNAME", "OKBUT", "CANBUT"};
};

}  // namespace

std::unique_ptr<Screen> MakeNameHexPopup() { return std::make_unique<NameHexPopup>(); }
