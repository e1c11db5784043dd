// The domestic policy panels' commands and figures for a local region.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/audio/sound_system.h"
#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/owned_test_form.h"
#include "screens/common/posted_command_rows.h"
#include "screens/economy/policy/domestic_policy_screen.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/player_services.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;

enum class Kind { kText, kButton, kSlider };
struct Part {
  const char* tag;
  int32_t id = 0;
  Kind kind = Kind::kText;
};

// A form of texts, buttons and sliders for one panel.
class Form : public OwnedTestForm {
 public:
  Form(Screen& owner, std::initializer_list<Part> parts)
      : OwnedTestForm(owner, new Control(controltest::Init("ROOT", &owner, 0, 0, 220, 194))) {
    for (const Part& p : parts) {
      const ControlInit init = controltest::Init(p.tag, &owner, 0, 0, 40, 12);
      Control* c = p.kind == Kind::kText     ? new StringControl(init, {})
                   : p.kind == Kind::kSlider ? static_cast<Control*>(new SlideBarControl(init, {}))
                                             : new Control(init);
      c->id = p.id;
      ControlAddChild(root, c);
    }
  }
  SlideBarControl* Slider(const char* tag, int32_t id = 0) const {
    return static_cast<SlideBarControl*>(tag ? (*this)[tag] : (*this)[id]);
  }
};

using paneltest::Log;
using paneltest::Posted;
uint32_t Bits(float v) { return std::bit_cast<uint32_t>(v); }

std::vector<int32_t> g_sounds;

class PolicyPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    Region() = PlayerRecord{};
    Region().number = kLocal;
    g_uiOptions.sidescreens = 0;
    g_sounds.clear();
    g_commandLog.Clear();
  }
  void TearDown() override { g_commandLog.Clear(); }
  static PlayerRecord& Region() { return g_world.players[kLocal]; }

  GlobalGuard<PlayerRecord> region_{g_world.players[kLocal]};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<float> period_{g_screens.productScreen.graphTimeScale};
  GlobalGuard<uint32_t> muted_{g_sound.muted, 0u};
  GlobalGuard<PopupSoundSeam> sounds_{g_popupSounds, PopupSoundSeam{[](int32_t n) { g_sounds.push_back(n); }, nullptr}};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<intptr_t> service_{g_screens.policyScreen.serviceHeader.id};
};

TEST_F(PolicyPanelsTest, TheMasterSliderScalesEveryLevelOrSetsThemOutright) {
  struct Row {
    const char* name;
    float services[7];
    float cost;      // each service's yearly cost at level 1
    float insurance; // the three funds' level
    float overall;   // B
    float value;
    float posted[10];  // seven services, then the three funds
  };
  const Row rows[] = {
      {"scaled, capped", {0.5f, 1.5f, 1, 1, 1, 1, 1}, 100.0f, 1.0f, 1.0f, 2.0f, {1, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
      {"all at 0", {0, 0, 0, 0, 0, 0, 0}, 100.0f, 0.0f, 0.0f, 0.8f,
       {0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f}},
      {"nothing recommended", {1, 1, 1, 1, 1, 1, 1}, 0.0f, 1.0f, 0.0f, 0.8f,
       {0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f, 0.8f}},
  };
  InvestmentPanel panel;
  Form form(panel, {{"INVESTSLDR", 0, Kind::kSlider}, {"INVEST"}, {"BPC"}, {"RECCOST"}});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    PlayerPolicyBlock& b = Region().displayPolicy;
    for (int i = 0; i < 7; ++i) {
      b.socialspend[i] = r.services[i];
      Region().socialCosts[i] = r.cost;
    }
    b.uispend = b.welfspend = b.pensspend = r.insurance;
    panel.Refresh();
    EXPECT_FLOAT_EQ(panel.overall, r.overall);
    g_commandLog.Clear();
    PostOverallSocialLevel(b, panel.overall, r.value);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 10u);
    for (int i = 0; i < 10; ++i) {
      const GameCommand& c = log[i];
      const uint32_t level = i < 7 ? c.arg32 : c.arg28;
      EXPECT_EQ(c.id, i < 7 ? kCmdSocialSpend : kCmdUiSpend + static_cast<uint32_t>(i - 7)) << i;
      EXPECT_EQ(c.arg24, 0u);
      if (i < 7) {
        EXPECT_EQ(c.arg28, static_cast<uint32_t>(i));
      }
      EXPECT_TRUE(std::isfinite(std::bit_cast<float>(level))) << i;
      EXPECT_EQ(level, Bits(r.posted[i])) << i << ": " << std::bit_cast<float>(level);
    }
  }
}

TEST_F(PolicyPanelsTest, ClicksPostTheirCommands) {
  DomesticPolicyScreen& d = g_screens.policyScreen;
  struct Row {
    const char* name;
    std::function<void()> click;
    std::vector<Posted> posted;
    std::vector<int32_t> sounds;
  };
  const Row rows[] = {
      {"service slider, matching already off",
       [&] {
         Form form(d.serviceHeader, {{nullptr, 13, Kind::kSlider}, {nullptr, 14}});
         d.serviceHeader.id = 2;
         SliderSetMaxFloat(form.Slider(nullptr, 13), 2.0f);
         SliderSetPosition(form.Slider(nullptr, 13), 7500);  // 1.5
         d.serviceHeader.OnControlChange(form.Slider(nullptr, 13), 13);
       },
       {{kCmdSocialSpend, 2, Bits(1.5f), 0}, {kCmdBMatchSocials, 0, 0, 0}},
       {}},
      {"LOCK of service 3",
       [&] {
         Form form(d.serviceHeader, {{"LOCK", 0, Kind::kButton}});
         d.serviceHeader.id = 3;
         form["LOCK"]->state |= kStateSelected;
         d.serviceHeader.OnCommand(form["LOCK"], 0);
       },
       {{kCmdCabSetMask, 5, 8, 1}},
       {9}},
      {"LOCK while muted",
       [&] {
         Form form(d.serviceHeader, {{"LOCK", 0, Kind::kButton}});
         d.serviceHeader.id = 3;
         g_sound.muted = 1;
         d.serviceHeader.OnCommand(form["LOCK"], 0);
       },
       {{kCmdCabSetMask, 5, 8, 0}},
       {}},
      {"WEALTHYBUT, no MAJCRIMBUT",
       [&] {
         Form form(d.groupPolicy, {{"WEALTHYBUT", 0, Kind::kButton}, {"SCIENTBUT", 0, Kind::kButton}});
         form["WEALTHYBUT"]->state |= kStateSelected;
         d.groupPolicy.OnCommand(form["WEALTHYBUT"], 0);
       },
       {{kCmdEmDissidents, 0, 0, 0}, {kCmdEmScientists, 0, 0, 0}, {kCmdEmStudents, 0, 0, 0},
        {kCmdEmLabourers, 0, 0, 0}, {kCmdEmSkilled, 0, 0, 0}, {kCmdEmWealthy, 1, 0, 0},
        {kCmdEmExileOpp, 0, 0, 0}, {kCmdEmExileCrime, 0, 0, 0}},
       {}},
      {"LIMITBUT",
       [&] {
         Form form(d.immigrationRules, {{"LIMITBUT", 0, Kind::kButton}, {"MEDBUT", 0, Kind::kButton}});
         form["MEDBUT"]->state |= kStateSelected;
         d.immigrationRules.OnCommand(form["LIMITBUT"], 0);
       },
       {{kCmdImWealth, 0, 0, 0}, {kCmdImSkills, 0, 0, 0}, {kCmdImEduc, 0, 0, 0}, {kCmdImEthnic, 0, 0, 0},
        {kCmdImMedic, 1, 0, 0}, {kCmdImRefugeeInt, 0, 0, 0}, {kCmdImRefugee, 1, 0, 0}},
       {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    g_commandLog.Clear();
    g_sounds.clear();
    g_sound.muted = 0;
    r.click();
    EXPECT_EQ(Log(), r.posted);
    EXPECT_EQ(g_sounds, r.sounds);
  }
}

TEST_F(PolicyPanelsTest, TheFeeSliderAtThreeQuartersPostsItsPowerCurvesFee) {
  MigrationPanel& panel = g_screens.policyScreen.migration;
  Form form(panel, {{"IMMFEESLDR", 0, Kind::kSlider}});
  panel.Refresh();
  SliderSetPosition(form.Slider("IMMFEESLDR"), 7500);
  panel.OnControlChange(form["IMMFEESLDR"], 0);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdImmigrationTax);
  EXPECT_NEAR(std::bit_cast<float>(log[0].arg28), 28125.0f, 0.05f);
}

TEST_F(PolicyPanelsTest, PerDayAmountsAreDividedButTheFeesStayYearly) {
  Region().socialCosts[0] = 365000.0f;
  Region().displayPolicy.socialspend[0] = 1.0f;
  Region().displayPolicy.immigrationtax = 365000.0f;
  SetBlockReal(Region().displayPolicy, kBudgetTaxRevenueWord + 13, 730000.0f);
  DomesticPolicyScreen& d = g_screens.policyScreen;
  Form summary(d, {{"SOCIALCOST"}, {"ANNDAYTEXT1", 0, Kind::kButton}});
  Form migration(d.migration, {{"IMMFEE"}, {"IMMTAX"}});
  for (const bool perDay : {true, false}) {
    SetProductPeriod(perDay);
    d.Refresh();
    d.migration.Refresh();
    EXPECT_EQ(summary["SOCIALCOST"]->text, perDay ? "$ 1,000" : "$ 365,000");
    EXPECT_EQ(summary["ANNDAYTEXT1"]->Selected(), perDay);
    EXPECT_EQ(migration["IMMFEE"]->text, "$ 365,000");
    EXPECT_EQ(migration["IMMTAX"]->text, "$ 730,000");
  }
}

}  // namespace
