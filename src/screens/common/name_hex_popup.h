#pragma once
// The hex-naming pop-up (POPUP_NAMEHEX): the selected hex's name, ready to
// be typed over at once; OK (or Enter) names the hex through the game's
// command, Cancel (or Escape on an empty field) leaves it as it was.
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/screen.h"

std::unique_ptr<Screen> MakeNameHexPopup();

// The name command's payload: the text, cut to 47 characters, and its
// terminating zero; empty (no command) for an empty text.
std::vector<uint8_t> HexNamePayload(const std::string& text);
