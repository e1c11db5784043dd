#pragma once
// The migration pages of the domestic policy department: immigration and
// emigration control with the fee per immigrant (DOMPOLICY1_ss2), the
// conditions placed on immigrants with the refugee policy
// (DOMPOLICY1_ss20b) and the emigration switch of each population group
// (DOMPOLICY1_ss2b). Each switch is one bit of the migration flags, set by
// a command of its own.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kMigrationTags[] = {"IMCONONBUT", "EMCONONBUT", "IMGRID", "EMGRID", "IMMIGRATNUM",
                                                 "EMIGRATNUM", "IMMTAX", "IMMFEE", "IMMFEESLDR"};
inline constexpr int32_t kMigrationIds[] = {2, 3};
inline constexpr const char* kImmigrationRuleTags[] = {"BACK",    "LOCK",      "NONEBUT",   "LIMITBUT",
                                                       "ALLOWBUT", "WEALTHBUT", "SKILLBUT",  "EDUCBUT",
                                                       "ETHNICBUT", "MEDBUT",   "INTEGRATBUT"};
inline constexpr const char* kGroupPolicyTags[] = {"BACK",      "LOCK",       "EMCONONBUT", "EMPARENT",
                                                   "SCIENTBUT", "LABOURBUT",  "DISSIDNTBUT", "SKILLEDBUT",
                                                   "WEALTHYBUT", "STUDENTBUT", "POLOPPBUT",  "MAJCRIMBUT"};

// migrationFlags.
inline constexpr uint32_t kMigrationImmigrationControl = 0x1;
inline constexpr uint32_t kMigrationEmigrationControl = 0x2;
inline constexpr int kMigrationRefugeeShift = 2;  // two bits: 0 none, 1 limited, 2 allowed
inline constexpr float kTopImmigrationFee = 50000.0f;

// Posts the six immigrant conditions from the buttons' states (0 for a
// button the form lacks).
void ApplyImmigrationRuleButtons(const Screen& panel);
// Posts the eight group switches from the buttons' states the same way.
void ApplyEmigrationGroupButtons(const Screen& panel);

class MigrationPanel : public Screen {
 public:
  MigrationPanel() : Screen("DOMPOLICY1_ss2", FormLookups{.tags = kMigrationTags, .ids = kMigrationIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
};

class ImmigrationRulesPanel : public Screen {
 public:
  ImmigrationRulesPanel() : Screen("DOMPOLICY1_ss20b", FormLookups{.tags = kImmigrationRuleTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
};

class PopulationGroupPolicyPanel : public Screen {
 public:
  PopulationGroupPolicyPanel() : Screen("DOMPOLICY1_ss2b", FormLookups{.tags = kGroupPolicyTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
};
