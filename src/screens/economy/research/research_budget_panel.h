#pragma once
// The research budget page (MILITARY1_ss3): how much the region spends on
// research and how the effort is divided among its three shares (the
// technology level, the queued projects, efficiency), which always add up
// to one. Changes go out as commands only. Window thread.
#include <cstdint>

#include "ui/screen.h"

struct PlayerPolicyBlock;

inline constexpr const char* kResearchBudgetTags[] = {"ANNDAYBUT", "ANNDAYTEXT", "SPENDREC", "SPENDSLDR",
                                                      "SPENDAMNT", "MAXNOTE",    "RESET",    "LOCK"};
inline constexpr int32_t kResearchBudgetIds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};

inline constexpr int kResearchShares = 3;
// The lock bit of the research budget in the military lock group.
inline constexpr uint32_t kLockResearchBudget = 0x100000;
// The highest spending level.
inline constexpr float kTopResearchLevel = 8.0f;

// The shares after share `moved` is set to value: the excess falls on the
// unlocked others (halved between two), none goes below zero, and the moved
// share takes up what is left, so they sum to one.
void RebalanceResearchShares(float shares[kResearchShares], int32_t moved, float value,
                             const bool locked[kResearchShares]);

// Shares that stray from a sum of one (a saved game, a computer player's
// setting) are lowered, never raised, in the order 2, 0, 1: three posts,
// each from the block as the one before left it. Rounding noise of the
// float sum is not a stray.
void RepairResearchShares(const PlayerPolicyBlock& block);

class ResearchBudgetPanel : public Screen {
 public:
  // docked: the department's page (in the second bottom bar); the research
  // pop-up hosts its own instance with its own form.
  explicit ResearchBudgetPanel(bool docked = true, const char* formName = "MILITARY1_ss3")
      : Screen(formName, FormLookups{.tags = kResearchBudgetTags, .ids = kResearchBudgetIds}), docked_(docked) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

 private:
  bool docked_;
};
