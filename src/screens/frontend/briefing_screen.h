#pragma once
// The briefing shown while a new game is being set up: the loading
// progress, the scenario's briefing, the leader choice and, once the game is
// ready, the button that starts it.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

class BriefingScreen : public Screen {
 public:
  BriefingScreen();
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  // The game start's progress, 0 to 10,000.
  void SetProgress(int32_t value);

  int32_t progress = 0;

 private:
  TextBoxControl* brief_ = nullptr;
};
