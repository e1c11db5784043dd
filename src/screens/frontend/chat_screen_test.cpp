// Chat in a game: the overlay hangs over the map only while a line is
// recent, Enter on the entry ends the typing before it closes, and a line
// goes to its group's players with the group's name in front.
#include "screens/common/owned_test_form.h"
#include "screens/frontend/chat_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/net_ui_link.h"
#include "net/text_message.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kLocal = 2;

struct Sent {
  int32_t sender;
  uint32_t recipients;
  std::string text;
};
std::vector<Sent> g_sent;
void Watch(const TextMessage& m) { g_sent.push_back({m.sender, m.recipients, m.text}); }

// The "chatrel" names, as the shipped text list has them.
class ChatNames {
 public:
  ChatNames() {
    const TextListInfo& info = TextListInfoOf(kListChatrel);
    const char* names[] = {"All", "Allies", "Neutrals", "Enemies", "Team", "Host"};
    for (int i = 0; i < 6 && i < info.count; ++i) {
      char*& entry = g_textLists.entries[info.first + i];
      saved_[i] = entry;
      entry = strdup(names[i]);
    }
  }
  ~ChatNames() {
    const TextListInfo& info = TextListInfoOf(kListChatrel);
    for (int i = 0; i < 6 && i < info.count; ++i) {
      std::free(g_textLists.entries[info.first + i]);
      g_textLists.entries[info.first + i] = saved_[i];
    }
  }

 private:
  char* saved_[6] = {};
};

class ChatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    for (int p = 0; p < kMaxPlayers; ++p) g_world.players[p].kind = 0;
    for (int p : {1, 2, 3, 4, 5}) g_world.players[p].kind = 2;
    g_sent.clear();
    SetTextMessageTransport(Watch);
    ClearTextMessageQueue(g_textLines);
  }
  void TearDown() override {
    SetTextMessageTransport(nullptr);
    ClearTextMessageQueue(g_textLines);
    EndTextEdit();
  }

  ChatNames names_;
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<int32_t> group_{g_chatGroup};
  GlobalGuard<uint32_t> partners_{g_chatPartners};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  // The window installs its refill when it binds.
  GlobalGuard<void (*)(ScreenManager*)> refill_{g_netUi.refillGameChat};
};

// Allies 1 and 3, enemy 4: neutrals are everyone else.
TEST_F(ChatTest, ALineGoesToItsGroupWithTheGroupsName) {
  g_world.players[kLocal].displayPolicy.friendlyMask = (1u << 1) | (1u << 3);
  g_world.players[kLocal].displayPolicy.hostileMask = 1u << 4;
  g_chatPartners = (1u << 3) | (1u << 5);
  const struct {
    int32_t group;
    uint32_t mask;
    const char* text;
  } rows[] = {
      {kChatAll, kTextToAll, "(All) hi"},
      {kChatAllies, 0x0Au, "(Allies) hi"},
      {kChatNeutrals, ~0x1Au, "(Neutrals) hi"},
      {kChatEnemies, 0x10u, "(Enemies) hi"},
      {kChatPartners, 0x28u, "(Team) hi"},
      {kChatSelf, 1u << kLocal, "(Host) hi"},
      {9, 1u << kLocal, "(Host) hi"},   // beyond the groups: the local player alone
      {-1, 1u << kLocal, "(Host) hi"},
  };
  for (const auto& r : rows) {
    g_sent.clear();
    EXPECT_EQ(SubmitChatLine(g_screens, "hi", r.group), 0) << r.group;
    ASSERT_EQ(g_sent.size(), 1u) << r.group;
    EXPECT_EQ(g_sent[0].sender, kLocal);
    EXPECT_EQ(g_sent[0].recipients, r.mask) << r.group;
    EXPECT_EQ(g_sent[0].text, r.text) << r.group;
  }
  g_sent.clear();
  EXPECT_NE(SubmitChatLine(g_screens, "", kChatAll), 0);
  EXPECT_NE(SubmitChatLine(g_screens, nullptr, kChatAll), 0);
  EXPECT_TRUE(g_sent.empty());
}

// The entry and the window, each with its line: a test screen counts the
// closings instead of closing a pop-up.
template <typename Base>
struct Probe : Base {
  int32_t Close(int32_t) override {
    ++closes;
    return 0;
  }
  int closes = 0;
};

struct ChatForm : OwnedTestForm {
  explicit ChatForm(Screen& owner) : OwnedTestForm(owner, new Control(controltest::Init("CHAT", &owner, 0, 0, 600, 100))) {
    field = static_cast<EditControl*>(
        ControlAddChild(root, new EditControl(controltest::Init("MESSAGE", &owner, 12, 30, 500, 26), {}, 100, 0)));
    for (int32_t id = 1; id <= 5; ++id) {
      Control* radio = ControlAddChild(root, new Control(controltest::Init(nullptr, &owner, 0, 0, 20, 20, kCtlRadio)));
      radio->id = id;
    }
  }
  EditControl* field;
};

// Enter on an empty entry just opened ends the typing and keeps it open; a
// second Enter on the empty field closes it, sending nothing; a text goes
// to the chosen group. The window stays open.
TEST_F(ChatTest, EnterOnAnEmptyEntryEndsTheTypingFirst) {
  Probe<ChatEntry> entry;
  Probe<ChatWindow> window;
  ChatForm entryForm(entry), windowForm(window);
  entry.BindControls(), window.BindControls();
  const struct {
    bool window;
    std::vector<const char*> typed;  // one Enter after each
    std::vector<std::string> sent;
    int closes;
  } rows[] = {
      {false, {""}, {}, 0},
      {false, {"", ""}, {}, 1},
      {false, {"hi"}, {"(Team) hi"}, 1},
      {true, {""}, {}, 0},
      {true, {"", "", "yo"}, {"(Team) yo"}, 0},
  };
  g_chatGroup = kChatPartners;
  for (const auto& r : rows) {
    ChatEntry& s = r.window ? static_cast<ChatEntry&>(window) : static_cast<ChatEntry&>(entry);
    ChatForm& f = r.window ? windowForm : entryForm;
    int& closes = r.window ? window.closes : entry.closes;
    closes = 0;
    g_sent.clear();
    s.OnOpen();
    EXPECT_EQ(g_controls.edit, f.field);
    EXPECT_TRUE(FormFindControlById(f.root, kChatPartners + 1)->Selected());
    for (const char* text : r.typed) {
      f.field->sourceText = text;
      s.OnCommand(f.field, f.field->id);
    }
    std::vector<std::string> sent;
    for (const Sent& m : g_sent) sent.push_back(m.text);
    EXPECT_EQ(sent, r.sent) << r.window << " " << r.typed.size();
    EXPECT_EQ(closes, r.closes) << r.window << " " << r.typed.size();
    EXPECT_EQ(f.field->sourceText, "");
    EXPECT_EQ(g_controls.edit, nullptr);
  }
}

// A line is up for "chatshowtime" from its stamp: the overlay hangs over
// the map pane while one is, and not at all otherwise (nor for a stamp
// ahead of the clock).
TEST_F(ChatTest, TheOverlayHangsOverTheMapOnlyWhileALineIsRecent) {
  g_uiOptions.chatshowtime = 10000;
  ChatMapOverlay overlay;
  auto* form = new Control(controltest::Init("CHATMAP", &overlay, 0, 0, 480, 96));
  ControlAddChild(form, new Control(controltest::Init("CHATLIST", &overlay, 0, 0, 480, 96)));
  overlay.currentForm = overlay.form = form;
  overlay.BindControls();
  ASSERT_NE(overlay.list, nullptr);
  auto* pane = new Control(controltest::Init("MAP", nullptr, 0, 0, 800, 600));
  GlobalGuard<Control*> mapArea(g_ui.mapArea, pane);
  GlobalGuard<std::atomic<uint32_t>> now(g_ui.nowTick, 50000u);
  const struct {
    int64_t age;  // of the line at the poll, in ms
    bool shown;
  } rows[] = {{0, true}, {9999, true}, {10000, false}, {-5, false}, {20000, false}};
  for (const auto& r : rows) {
    ClearTextMessageQueue(g_textLines);
    auto* line = new TextMessage;
    TextMessageCtor(*line, 1, kTextToAll, "hello");
    line->stamp = static_cast<uint32_t>(50000 - r.age);
    {
      plat::CriticalSectionLock hold(g_textLines.lock);
      g_textLines.head.Append(line);
      ++g_textLines.count;
    }
    overlay.Show(kKeepScreenId, nullptr);
    EXPECT_EQ(form->parent == pane, r.shown) << r.age;
    EXPECT_EQ(overlay.list->rowCount, r.shown ? 1u : 0u) << r.age;
  }
  if (form->parent) form->Unlink();
  overlay.currentForm = overlay.form = nullptr;
  delete form;
  delete pane;
}

}  // namespace
