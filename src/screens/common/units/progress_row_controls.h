#pragma once
// The controls of a MILITARY_PROGRESS row, the template the unit rows of the
// military lists and the production item rows of the research lists are both
// drawn with, and where a row's name starts past its class badge.
#include <cstdint>

class Control;
class SlideBarControl;

// How far the last class badge the row shows (tag) reaches past the right
// edge the row's indents count from: names and marks start that much
// further right, so a badge wider than an icon never lies under the name.
// 0 when the badge is hidden, missing or no wider.
int32_t BadgeOverhang(Control* form, const char* lastBadge, int32_t narrowRight);

struct ProgressRowControls {
  Control* nameText = nullptr;  // id 2
  SlideBarControl* progressBar = nullptr;
  SlideBarControl* strengthBar = nullptr;
  Control* icons[4] = {};  // cargo, missiles, research, landed

  void Bind(Control* form);
};
