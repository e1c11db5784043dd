#pragma once
// The editor's two set-up dialogs: the map's size, scale and pictures
// (a new blank map, or the current one resized), and the scenario's name,
// files, start date, climate and level, with the commands that clear the
// map of facilities, units or settlements. Window thread only.
#include <cstdint>

#include "ui/screen.h"

class MapSetupDialog : public Screen {
 public:
  MapSetupDialog();
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
};

class ScenarioSetupDialog : public Screen {
 public:
  ScenarioSetupDialog();
  void Refresh() override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnCommand(Control* control, int32_t id) override;
};

// The level slider's position for a level in metres: the smallest k from 0
// with level <= 2^k (10 at most).
int32_t LevelSliderStep(int32_t level);
