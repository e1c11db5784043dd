#pragma once
// The launch keypad: the four-digit code that authorises the local region
// to launch weapons of mass destruction. Shown with the missiles to launch
// (the first as its id) and the hex they go for; the right code shows
// LAUNCH, which sets the region's authorisation for good and launches them.
#include <array>
#include <cstdint>
#include <vector>

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
  // What LAUNCH sends: the missiles and their target hex (0: the target
  // each one shows).
  std::vector<uint32_t> missiles;
  uint32_t target = 0;
};

// Opens the keypad for the missiles (none: the code alone) aimed at the
// packed hex (0: each at its own target) while the local region's launches
// are not yet authorised; false when they are, or there is no local region,
// and nothing opened.
bool OpenLaunchKeypad(std::vector<uint32_t> missiles, uint32_t target);
