#pragma once
// The launch keypad: the four-digit code that authorises the local region
// to launch weapons of mass destruction. Shown with the missile to launch
// (or 0) as its id; the right code shows LAUNCH, which sets the region's
// authorisation for good and launches that missile when it has a target.
#include <array>
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kLaunchKeypadTags[] = {"BACKSPACE", "ABORT", "LAUNCH", "INCORRECT"};
inline constexpr int32_t kLaunchKeypadIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 21, 22, 23, 24};

class LaunchKeypad : public Screen {
 public:
  LaunchKeypad() : Screen("POPUP_KEYPAD", FormLookups{.tags = kLaunchKeypadTags, .ids = kLaunchKeypadIds}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  // The code, for tests only: screens never show it.
  static std::array<int32_t, 4> CodeForTests();

  int32_t entered = 0;  // digits entered, 0..4
  int32_t correct = 0;  // the four entered digits match the code
  std::array<int32_t, 4> digits{};
};

// Opens the keypad for the missile (0 none) while the local region's
// launches are not yet authorised; false when they are, or there is no
// local region, and nothing opened.
bool OpenLaunchKeypad(uint32_t missile);
