// The declaration of war, as a player makes it: the relations page of a
// region opens it with the WAR button, and its accept button declares war on
// that region, never on another; cancel declares nothing.
#include "screens/diplomacy/relations/war_declaration.h"

#include <memory>

#include "records/command_ids.h"
#include "screens/diplomacy/relations/region_relations.h"
#include "screens/diplomacy/relations/region_relations_test_support.h"
#include "screens/screen_set.h"
#include "ui/control_test_support.h"

namespace {

class WarDeclarationTest : public RegionPanelTest {
 protected:
  GlobalGuard<intptr_t> warId_{g_screens.warDeclaration->id};
  GlobalGuard<intptr_t> relationsId_{g_screens.regionRelations->id};
  std::unique_ptr<Screen> relations_ = MakeRegionRelationsPanel();
  controltest::PanelForm relationsForm_{*relations_, "DIPLOMACY1_SS2", {"STATUS", "WAR", "OFFERP"}};
  controltest::PanelForm warForm_{*g_screens.warDeclaration,
                                  "DIPLOMACY1_SS2B",
                                  {"REGNAME", "LEADER", "CALPARENT", "WARACCPBUT", "WARCANBUT"}};
};

TEST_F(WarDeclarationTest, TheAcceptButtonDeclaresWarOnTheRegionWhosePageOpenedIt) {
  struct Row {
    int32_t region;
    const char* answer;
    std::vector<PostedCommand> posted;  // id, player, words 24 to 36
  };
  const Row rows[] = {{4, "WARACCPBUT", {{kCmdDeclareWar, 1, 0, 4, 0, 0}}},
                      {2, "WARACCPBUT", {{kCmdDeclareWar, 1, 0, 2, 0, 0}}},
                      {5, "WARCANBUT", {}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.region);
    relations_->id = r.region;
    relations_->OnCommand(relationsForm_["WAR"], 0);
    ASSERT_EQ(g_screens.warDeclaration->id, r.region) << "the WAR button opens the declaration of the region shown";
    g_commandLog.Clear();
    g_screens.warDeclaration->OnCommand(warForm_[r.answer], 0);
    EXPECT_EQ(Posted(), r.posted);
  }
}

}  // namespace
