#pragma once
// The mission settings of standing orders, docked at the third level: the
// mission panel (importance, loss tolerance), inside it the attack panel
// (target kind, tactic, an objective box per target kind) or the defend box
// (patrol mode and type). Every control goes through the orders screen's
// edit state.
#include <memory>
#include <cstdint>
#include <span>

#include "ui/screen.h"

inline constexpr const char* kMissionTags[] = {"IMPORTANCE", "LOSSTOL", "ATTACK",   "DEFEND",
                                               "CHANGE",     "ONLYFUTURE", "DEFAULT", "SUBPARENT2"};
inline constexpr int32_t kMissionIds[] = {116, 117};
inline constexpr const char* kTargetTacticTags[] = {"TARGET", "TACTIC", "OBJECTIVE", "SUBPARENT3"};
inline constexpr int32_t kTargetTacticIds[] = {101, 102, 103, 110, 111, 112, 113};
inline constexpr int32_t kObjectiveAIds[] = {120, 121};
inline constexpr int32_t kObjectiveBIds[] = {122, 123, 124};
inline constexpr int32_t kObjectiveCIds[] = {125, 126};
inline constexpr const char* kOrderChoiceTags[] = {"ORDER1", "ORDER2", "HIDEBOX"};
inline constexpr int32_t kOrderChoiceIds[] = {130, 131, 132, 133, 140, 141};

class TargetTacticPanel;

class MissionPanel : public Screen {
 public:
  MissionPanel() : Screen("ORDERS1_ss3a", FormLookups{.tags = kMissionTags, .ids = kMissionIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  Control* subParent = nullptr;
};

class TargetTacticPanel : public Screen {
 public:
  TargetTacticPanel() : Screen("ORDERS1_ss3a1", FormLookups{.tags = kTargetTacticTags, .ids = kTargetTacticIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  int32_t objective = 0;  // the "ordobjective" entry the shown box chose
  Control* subParent = nullptr;
};

// The objective boxes of target kinds 0, 1 and 2 (ORDERS1_ss3a1a, b, c).
class ObjectiveChoiceBox : public Screen {
 public:
  ObjectiveChoiceBox(const char* formName, int kind, std::span<const int32_t> ids)
      : Screen(formName, FormLookups{.tags = {}, .ids = ids}), kind_(kind) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnControlChange(Control* control, int32_t id) override;

 private:
  int kind_;
};
class ObjectiveChoiceBoxA : public ObjectiveChoiceBox {
 public:
  ObjectiveChoiceBoxA() : ObjectiveChoiceBox("ORDERS1_ss3a1a", 0, kObjectiveAIds) {}
};
class ObjectiveChoiceBoxB : public ObjectiveChoiceBox {
 public:
  ObjectiveChoiceBoxB() : ObjectiveChoiceBox("ORDERS1_ss3a1b", 1, kObjectiveBIds) {}
};
class ObjectiveChoiceBoxC : public ObjectiveChoiceBox {
 public:
  ObjectiveChoiceBoxC() : ObjectiveChoiceBox("ORDERS1_ss3a1c", 2, kObjectiveCIds) {}
};

// The objective a box shows for the edited header: kind 0 bit 3; kind 1
// 4 with bit 5, else 2 with bit 4, else 3; kind 2 5 plus bit 6.
int32_t ObjectiveOfHeader(int kind, uint32_t header);

std::unique_ptr<Screen> MakeOrderChoiceBox();
