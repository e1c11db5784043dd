#pragma once
// The social spending panels of the domestic policy department: the seven
// services and the insurance funds with one master slider (DOMPOLICY1_ss01),
// one service's level (DOMPOLICY1_ss1) and the three insurance funds at one
// common level (DOMPOLICY1_ss1a). Every change is a command, shown at once.
#include <cstdint>

#include "ui/screen.h"

struct PlayerPolicyBlock;

inline constexpr const char* kInvestmentTags[] = {"ANNDAYTEXT1", "ANNDAYTEXT2", "INVESTSLDR", "INVEST",
                                                  "BPC",         "RECCOST",     "LOCK",       "REC"};
inline constexpr int32_t kInvestmentIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 18, 19, 20, 21, 22, 23, 24, 25};
inline constexpr const char* kServiceHeaderTags[] = {"SPENDHEADR", "POLICYPIC", "ANNDAYTEXT", "LOCK"};
inline constexpr int32_t kServiceHeaderIds[] = {11, 12, 13, 14, 15};
inline constexpr const char* kFundTags[] = {"ANNDAYTEXT", "EICUR",      "WELCUR",      "PENCUR",     "EIREC",
                                            "WELREC",     "PENREC",     "CURINVAMNT",  "RCMDINVAMNT", "INVESTAMNT",
                                            "INVESTSLDR", "LOCK",       "IAACCPBUT"};

// The highest level a slider sets: twice the recommended spending.
inline constexpr float kTopSpendingLevel = 2.0f;

// The master slider's posts for the value: with an overall level of 0 every
// level becomes the value; else every level is scaled by value / overall,
// capped at the top level, services first, then the three funds.
void PostOverallSocialLevel(const PlayerPolicyBlock& block, float overall, float value);
// The overall level: current social cost over the recommended one; 0 when
// nothing is recommended.
float OverallSocialLevel(float current, float recommended);

// Fills the service's cost, recommended cost, slider and achieved level.
void RefreshSocialServiceDetail(Control* form, int32_t service);
// Posts the service slider's level and turns matching the socials off.
void ApplySocialServiceSlider(Control* form, int32_t service);

class InvestmentPanel : public Screen {
 public:
  InvestmentPanel() : Screen("DOMPOLICY1_ss01", FormLookups{.tags = kInvestmentTags, .ids = kInvestmentIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  float overall = 0.0f;  // B of the last refresh
};

// One service's level; the screen id is the service (0 to 6).
class SocialSpendingHeader : public Screen {
 public:
  SocialSpendingHeader() : Screen("DOMPOLICY1_ss1", FormLookups{.tags = kServiceHeaderTags, .ids = kServiceHeaderIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  Control* picture = nullptr;  // POLICYPIC
};

class FundInvestmentPanel : public Screen {
 public:
  FundInvestmentPanel() : Screen("DOMPOLICY1_ss1a", FormLookups{.tags = kFundTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
};

// After a change of social spending: the side panel, the department's
// summary and the spending panels show the new levels.
void RefreshSocialPanels();
