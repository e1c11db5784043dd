#pragma once
// The research and development pop-up (POPUP_RD): the region's research
// centres with what they cost a year, the research figures and rank, its
// own research budget page, the projects under way and a dock for the
// research pages. BUILDRD starts placing a new centre. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kResearchScreenTags[] = {
    "CENTRELIST", "LIST1",   "PARPTSS1", "PARM3",   "PARSS1",  "GRIDTECH",    "ANNDAYTEXT1", "SPENDAMNT2",
    "CURRENT",    "MAX",     "TECHLEV",  "TECHRANK", "EFF2",   "ANNCOST",     "CENTRES",     "TECHSLDR",
    "LOCK",       "RDTREEBUT", "TARGETRDBUT", "RDMISSILE", "QUEUE", "BUILDRD", "CLOSE"};

// The class a new research centre is built as.
inline constexpr int32_t kResearchCentreClass = 4037;

// What a centre costs its hex's owner a year: a year of the running cost the
// day charges for it as it stands.
float CentreYearlyCost(const World& world, const UnitRecord& centre, const UnitClassRecord& cls,
                       const PlayerRecord& owner);
// The same for the installation leading the cell's stack; 0 when there is
// none (removed, or without a class). Under the simulation lock.
float CentreYearlyCostAt(const World& world, uint32_t cellIndex);
// 1 plus the number of regions taking part whose technology level is above
// the player's.
int32_t TechRank(const World& world, int32_t player);

class ResearchScreen : public Screen {
 public:
  ResearchScreen() : Screen("POPUP_RD", FormLookups{.tags = kResearchScreenTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t value) override;
  void OnActivate(Control* control, int32_t row) override;
  void OnControlChange(Control* control, int32_t row) override;

  ListBoxControl* centres = nullptr;   // CENTRELIST: rows carry the centre's unit id
  ListBoxControl* projects = nullptr;  // LIST1: rows carry project ids

 private:
  // The page of the first checked page button, shown at PARM3; none when
  // no button is checked.
  void ShowCheckedPage();
  Screen* DockedPage() const;
  // The cell of the selected centre; kNoCellIndex for none.
  uint32_t SelectedCentreCell() const;
  uint32_t SelectedProject() const;
};
