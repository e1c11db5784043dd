#pragma once
// The hex-naming pop-up (POPUP_NAMEHEX): the selected hex's name, ready to
// be typed over at once; OK (or Enter) names the hex through the game's
// command, Cancel (or Escape on an empty field) leaves it as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/screen.h"

class NameHexPopup : public Screen {
 public:
  NameHexPopup() : Screen("POPUP_NAMEHEX", FormLookups{.tags = kTags, .ids = {}}) {}
  // The field shows the hex's name and takes the typing.
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  // An edit given up with Escape closes the pop-up.
  void OnHostNotify(int32_t code, int32_t value) override;

 private:
  static constexpr const char* kTags[] = {"HEXNAME", "OKBUT", "CANBUT"};
};

// The name command's payload: the text, cut to 47 characters, and its
// terminating zero; empty (no command) for an empty text.
std::vector<uint8_t> HexNamePayload(const std::string& text);
