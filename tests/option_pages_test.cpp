// The option pages on their shipped forms, opened the way a player opens
// them: from the front end's options menu (page id 1) and from the in-game
// menu's buttons (page id 0). The options file and the settings file live
// in a temporary folder; what OK applies at once is recorded.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/settings.h"
#include "net/net_session.h"
#include "platform/paths.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

std::string g_steps;

struct Path {
  bool inGame;
  const char* button;  // on the options menu or the in-game menu's buttons
  const char* sub;     // a button of the page that opens a sub-page, or null
};

class OptionPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    std::memcpy(oldHaps_, g_app.hapsDirectory, sizeof oldHaps_);
    plat::SetDataRoot(PrivateGameRoot());
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    LoadScreenListForms(g_screens);
    // The files the pages write go to a folder of their own.
    std::filesystem::create_directories(dir_.path() + "/INI");
    plat::SetDataRoot(dir_.path());
    SetSettingsFilePath(dir_.path() + "/settings.ini");
    oldOptions_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);
    std::memcpy(oldOptionsFile_, g_app.optionsFile, sizeof oldOptionsFile_);
    std::memcpy(oldSavePath_, g_app.saveGamePath, sizeof oldSavePath_);
    std::strcpy(g_app.optionsFile, "Options");
    std::strcpy(g_app.saveGamePath, "Savegame\\");
    const int32_t app[] = {g_app.gamerezx, g_app.gamerezy, g_app.gamerezbpp, g_app.gamerezaa,
                           static_cast<int32_t>(g_app.settingsFlags)};
    std::memcpy(oldApp_, app, sizeof oldApp_);
    oldActions_ = g_optionPageActions;
    g_optionPageActions.saveRegistry = [] {
      g_steps += "registry ";
      return plat::Succeeded(SaveRegistrySettings(g_app, g_netSession.identity, kSettingsKeyPath));
    };
    g_optionPageActions.layoutOverlays = [] { g_steps += "overlays "; };
    g_optionPageActions.applySideScreens = [] { g_steps += "sides "; };
    g_optionPageActions.setSoundVolume = [](int32_t muted, int32_t level) {
      g_steps += "volume" + std::to_string(muted) + ":" + std::to_string(level) + " ";
    };
    oldBackground_ = g_ui.frontEndBackground;
    g_ui.frontEndBackground = &background_;
    g_steps.clear();
  }
  void TearDown() override {
    g_ui.frontEndBackground = oldBackground_;
    ControlAttachForm(&background_, nullptr);
    g_optionPageActions = oldActions_;
    g_uiOptions = oldOptions_;
    std::memcpy(g_app.optionsFile, oldOptionsFile_, sizeof oldOptionsFile_);
    std::memcpy(g_app.saveGamePath, oldSavePath_, sizeof oldSavePath_);
    g_app.gamerezx = oldApp_[0], g_app.gamerezy = oldApp_[1], g_app.gamerezbpp = oldApp_[2];
    g_app.gamerezaa = oldApp_[3], g_app.settingsFlags = static_cast<uint32_t>(oldApp_[4]);
    SetSettingsFilePath("");
    // Fresh forms from the game's folder, bound: a screen whose form went
    // away would still hold on to its controls, and a whole program started
    // later in the process loads the forms only once.
    for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) s->host = nullptr;
    plat::SetDataRoot(PrivateGameRoot());
    LoadScreenListForms(g_screens);
    std::memcpy(g_app.hapsDirectory, oldHaps_, sizeof oldHaps_);
    plat::SetDataRoot(oldRoot_);
  }

  static bool Same(const Path& a, const Path& b) {
    return std::strcmp(a.button, b.button) == 0 && (a.sub && b.sub ? std::strcmp(a.sub, b.sub) == 0 : a.sub == b.sub);
  }
  static Control* Panel(bool inGame) {
    return inGame ? g_screens.gameMenu.optionPanel : FormFindControlByTag(g_screens.optionsHost->form, "OPTIONPAR");
  }
  static Screen* Shown(Control* panel) { return panel && panel->firstChild ? panel->firstChild->owner : nullptr; }
  // Presses the control of the tag, or with none the control of the id.
  static void Press(Screen& s, const char* tag, int32_t id = 0) {
    Control* c = !s.form ? nullptr : tag ? FormFindControlByTag(s.form, tag) : FormFindControlById(s.form, id);
    ASSERT_NE(c, nullptr) << s.formName << " " << (tag ? tag : std::to_string(id));
    s.OnCommand(c, c->id);
  }
  static Screen* Open(const Path& p) {
    Screen& menu = p.inGame ? static_cast<Screen&>(g_screens.gameMenu.buttons) : *g_screens.optionsMenu;
    p.inGame ? g_screens.gameMenu.ShowPage(1) : (void)g_screens.optionsMenu->Show(0, nullptr);
    Press(menu, p.button);
    Screen* page = Shown(Panel(p.inGame));
    if (page && p.sub) {
      Press(*page, p.sub);
      page = Shown(Panel(p.inGame));
    }
    return page;
  }
  static std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempDir dir_;
  BoxControl background_;
  Control* oldBackground_ = nullptr;
  std::string oldRoot_;
  char oldHaps_[sizeof g_app.hapsDirectory] = {};
  char oldOptionsFile_[sizeof g_app.optionsFile] = {};
  char oldSavePath_[sizeof g_app.saveGamePath] = {};
  int32_t oldApp_[5] = {};
  UiOptions oldOptions_;
  OptionPageActions oldActions_;
};

TEST_F(OptionPagesTest, EachPageOpensFromItsMenuWithItsControlsAndCancelReturnsHome) {
  const struct {
    Path path;
    const char* form;
  } rows[] = {
      {{false, "GAMESS5", nullptr}, "GAME_SS5"},   {{false, "GAMESS5", "GAMEBUT"}, "GAME_SS5a"},
      {{false, "GAMESS5", "INTBUT"}, "GAME_SS5b"}, {{false, "GAMESS5", "CONTBUT"}, "GAME_SS5c"},
      {{false, "GAMESS5", "FORMBUT"}, "GAME_SS5d"}, {{false, "GAMESS6", nullptr}, "GAME_SS6"},
      {{false, "GAMESS6", "ADVBUT"}, "GAME_SS6a"}, {{false, "GAMESS7", nullptr}, "GAME_SS7"},
      {{false, "GAMESS7", "ADVSND"}, "GAME_SS7a"}, {{false, "RESETBUT", nullptr}, "GAME_SS9"},
      {{true, "PLAYERBUT", nullptr}, "GAME_SS5"},  {{true, "PLAYERBUT", "GAMEBUT"}, "GAME_SS5a"},
      {{true, "GRAPHICBUT", nullptr}, "GAME_SS6"}, {{true, "GRAPHICBUT", "ADVBUT"}, "GAME_SS6a"},
      {{true, "SOUNDBUT", nullptr}, "GAME_SS7"},   {{true, "RESTARTBUT", nullptr}, "GAME_SS8"},
      {{true, "RESETBUT", nullptr}, "GAME_SS9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.form);
    Control* panel = Panel(row.path.inGame);
    ASSERT_NE(panel, nullptr);
    Screen* page = Open(row.path);
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(page->formName, row.form);
    // Every control the page looks up is in the tree the panel shows.
    for (const char* tag : page->lookups.tags) EXPECT_NE(FormFindControlByTag(panel, tag), nullptr) << tag;
    for (const int32_t id : page->lookups.ids) EXPECT_NE(FormFindControlById(panel, id), nullptr) << id;
    Press(*page, "CANBUT");
    if (row.path.sub) {
      // Back on the parent, whose own Cancel still knows its home.
      ASSERT_NE(Shown(panel), nullptr);
      Press(*Shown(panel), "CANBUT");
    }
    if (row.path.inGame) {
      EXPECT_EQ(Shown(panel), &g_screens.gameMenu.buttons);
    } else {
      EXPECT_EQ(Shown(&background_), g_screens.optionsMenu.get());
    }
  }
}

// Controls -> options -> file (and settings file) -> options -> controls.
TEST_F(OptionPagesTest, WhatOkStoresReadsBackIntoTheSameControls) {
  enum Kind { kFlip, kText, kSlider };
  const struct {
    Path path;
    const char* ok;
    const char* tag;  // or null for the id
    int32_t id;
    Kind kind;
    const char* text;
    int32_t value;
  } rows[] = {
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "CHATNAME", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "STATTIPS", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "ULISTFILL", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "CHATLINES", 0, kText, "12", 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "CHATTIME", 0, kText, "3", 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "TIPTIME", 0, kText, "0.35", 0},
      {{false, "GAMESS5", nullptr}, "OKPLAYER", "STATUSLINES", 0, kText, "9", 0},
      {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER", "MULTISAVE", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER", "SAVETURNS", 0, kText, "5", 0},
      {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER", "SAVELOC", 0, kText, "Saves\\", 0},
      {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER", "OPTIONS", 0, kText, "Mine", 0},
      {{false, "GAMESS5", "INTBUT"}, "OKPLAYER", "HUDCOLOR", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "INTBUT"}, "OKPLAYER", "DBLCLKSPD", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "INTBUT"}, "OKPLAYER", "CLABELS", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "INTBUT"}, "OKPLAYER", "SCROLLSPD", 0, kText, "2.5", 0},
      {{false, "GAMESS5", "CONTBUT"}, "OKPLAYER", "SINGLELIST", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "CONTBUT"}, "OKPLAYER", "SPCTAB", 0, kFlip, nullptr, 0},
      {{false, "GAMESS5", "FORMBUT"}, "OKPLAYER", "DISFOR", 0, kFlip, nullptr, 0},
      {{false, "GAMESS6", nullptr}, "OKGRAPHIC", "16BIT", 0, kFlip, nullptr, 0},  // clears 32BIT
      {{false, "GAMESS6", nullptr}, "OKGRAPHIC", "HMOUSE", 0, kFlip, nullptr, 0},
      {{false, "GAMESS6", nullptr}, "OKGRAPHIC", "TRANSSLDR", 0, kSlider, nullptr, 200},
      {{false, "GAMESS6", "ADVBUT"}, "OKGRAPHIC", "HEXGRID", 0, kFlip, nullptr, 0},
      {{false, "GAMESS6", "ADVBUT"}, "OKGRAPHIC", "AALIAS", 0, kFlip, nullptr, 0},
      {{false, "GAMESS6", "ADVBUT"}, "OKGRAPHIC", nullptr, 11, kFlip, nullptr, 0},  // green highlight off,
      {{false, "GAMESS6", "ADVBUT"}, "OKGRAPHIC", nullptr, 12, kFlip, nullptr, 0},  // blue on
      {{false, "GAMESS6", "ADVBUT"}, "OKGRAPHIC", "LOSSLDR", 0, kSlider, nullptr, 150},
      {{false, "GAMESS7", nullptr}, "OKSOUND", "MUSICSLDR", 0, kSlider, nullptr, 1000},
      {{false, "GAMESS7", nullptr}, "OKSOUND", "SFXMUTE", 0, kFlip, nullptr, 0},
      {{false, "GAMESS7", "ADVSND"}, "OKSOUND", "NEWSSLDR", 0, kSlider, nullptr, 27},
      {{false, "GAMESS7", "ADVSND"}, "OKSOUND", "WINCHAT", 0, kFlip, nullptr, 0},
  };
  struct Snap {
    bool selected;
    std::string text;
    int32_t value;
  };
  const auto find = [](Screen& page, const auto& row) {
    return row.tag ? FormFindControlByTag(page.form, row.tag) : FormFindControlById(page.form, row.id);
  };
  const auto snap = [](Control* c) {
    auto* s = dynamic_cast<StringControl*>(c);
    return Snap{c->Selected(), s ? std::string(s->GetText()) : std::string(),
                SliderGetValueInt(dynamic_cast<SlideBarControl*>(c))};
  };
  std::vector<Snap> edited;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    Screen* page = Open(row.path);
    ASSERT_NE(page, nullptr);
    // Every row of the page is edited, then its OK pressed.
    size_t last = i;
    for (; last < std::size(rows) && Same(rows[last].path, row.path); ++last) {
      Control* c = find(*page, rows[last]);
      ASSERT_NE(c, nullptr) << rows[last].tag << rows[last].id;
      if (rows[last].kind == kFlip) SetControlFlag(c, kStateSelected, !c->Selected());
      if (rows[last].kind == kText) c->SetText(rows[last].text);
      if (rows[last].kind == kSlider) SliderSetValueInt(dynamic_cast<SlideBarControl*>(c), rows[last].value);
      edited.push_back(snap(c));
    }
    Press(*page, row.ok);
    i = last - 1;
  }
  // The sound page applies its level and mute at once; a level of 10000
  // opens at the slider's top step, 21 cubed.
  EXPECT_NE(g_steps.find("volume1:9261"), std::string::npos);

  ResetUiOptions(g_uiOptions);
  AppObject loaded;
  NetIdentity net;
  LoadRegistrySettings(loaded, net, kSettingsKeyPath);
  std::memcpy(g_app.optionsFile, loaded.optionsFile, sizeof g_app.optionsFile);
  std::memcpy(g_app.saveGamePath, loaded.saveGamePath, sizeof g_app.saveGamePath);
  g_app.gamerezbpp = loaded.gamerezbpp, g_app.gamerezaa = loaded.gamerezaa;
  g_app.settingsFlags = loaded.settingsFlags;
  EXPECT_STREQ(g_app.optionsFile, "Mine");
  ASSERT_EQ(LoadUIOptions(g_uiOptions, g_app.optionsFile), 0);
  EXPECT_EQ(g_uiOptions.chatshowtime, 3000);
  EXPECT_EQ(g_uiOptions.waittooltip, 350u);
  EXPECT_EQ(g_uiOptions.mapovlhgcolor, 0xFF0000FFu);
  for (size_t i = 0; i < std::size(rows); ++i) {
    Screen* page = Open(rows[i].path);
    ASSERT_NE(page, nullptr);
    const Snap now = snap(find(*page, rows[i]));
    SCOPED_TRACE(std::string(page->formName) + " " + (rows[i].tag ? rows[i].tag : std::to_string(rows[i].id)));
    EXPECT_EQ(now.selected, edited[i].selected);
    EXPECT_EQ(now.text, edited[i].text);
    EXPECT_EQ(now.value, edited[i].value);
  }
}

// Parent edited -> a sub-page edited and left by OK or Cancel -> the parent
// still shows its edit and its title; its OK stores both edits, its Cancel
// only what the sub-page's OK stored.
TEST_F(OptionPagesTest, AParentPageKeepsItsEditsAcrossItsSubPages) {
  const struct {
    bool inGame;
    const char *subEnd, *parentEnd;
    int32_t chatLines, cityNames;  // in the options file at the end
  } rows[] = {{false, "OKPLAYER", "OKPLAYER", 12, 1}, {true, "OKPLAYER", "CANBUT", 6, 1}, {false, "CANBUT", "OKPLAYER", 12, 0}};
  const auto text = [](Control* c) { return std::string(dynamic_cast<StringControl*>(c)->GetText()); };
  Control* title = FormFindControlByTag(g_screens.optionsHost->form, "PAGETITLE");
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.subEnd) + " then " + row.parentEnd);
    ResetUiOptions(g_uiOptions);
    Screen* parent = Open({row.inGame, row.inGame ? "PLAYERBUT" : "GAMESS5", nullptr});
    ASSERT_NE(parent, nullptr);
    FormFindControlByTag(parent->form, "CHATLINES")->SetText("12");
    Press(*parent, "INTBUT");
    Screen* sub = Shown(Panel(row.inGame));
    if (!row.inGame) {
      EXPECT_EQ(text(title), "Interface options");
    }
    Control* cityNames = FormFindControlByTag(sub->form, "CLABELS");
    SetControlFlag(cityNames, kStateSelected, !cityNames->Selected());
    Press(*sub, row.subEnd);
    ASSERT_EQ(Shown(Panel(row.inGame)), parent);
    EXPECT_EQ(text(FormFindControlByTag(parent->form, "CHATLINES")), "12");
    if (!row.inGame) {
      EXPECT_EQ(text(title), "Player options");
    }
    Press(*parent, row.parentEnd);
    UiOptions file;
    ASSERT_EQ(LoadUIOptions(file, g_app.optionsFile), 0);
    EXPECT_EQ(file.chatshowlines, row.chatLines);
    EXPECT_EQ(file.ovshowcitynames, row.cityNames);
  }
}

TEST_F(OptionPagesTest, ResetWritesTheDefaultsAndKeepsTheMachineSettings) {
  ASSERT_EQ(SaveUIOptions(g_uiOptions, "Defaults"), 0);
  const std::string defaults = FileText(dir_.path() + "/INI/Defaults.INI");
  for (const bool inGame : {false, true}) {
    SCOPED_TRACE(inGame);
    g_uiOptions.chatshowlines = 12;
    g_uiOptions.sidescreens = 1;
    g_uiOptions.opsoundvol = 27;
    g_uiOptions.mapovlcolor = 0xFF123456;
    g_app.gamerezx = 800;
    g_steps.clear();
    Screen* page = Open({inGame, "RESETBUT", nullptr});
    ASSERT_EQ(page, &g_screens.optionPages.reset);
    Press(*page, "OKPLAYER");
    EXPECT_EQ(FileText(dir_.path() + "/INI/Options.INI"), defaults);
    EXPECT_EQ(g_uiOptions.chatshowlines, 6);
    EXPECT_EQ(g_app.gamerezx, 800);
    EXPECT_EQ(g_steps, "overlays sides ");
    EXPECT_EQ(inGame ? Shown(Panel(true)) : Shown(&background_),
              inGame ? static_cast<Screen*>(&g_screens.gameMenu.buttons) : g_screens.optionsMenu.get());
  }
}

TEST_F(OptionPagesTest, StepButtonsClampAndResolutionStepsThroughTheModes) {
  const struct {
    Path path;
    const char* tag;
    const char* start;  // typed first; null leaves the opened value
    int32_t id;         // the step button
    const char* shows;
  } rows[] = {
      {{false, "GAMESS5", nullptr}, "TIPTIME", nullptr, 12, "0.20"},
      {{false, "GAMESS5", nullptr}, "TIPTIME", "0.03", 12, "0.00"},
      {{false, "GAMESS5", nullptr}, "TIPTIME", "2.48", 22, "2.50"},
      {{false, "GAMESS5", nullptr}, "CHATLINES", "19", 20, "19"},
      {{false, "GAMESS5", nullptr}, "STATLOC", "0", 15, "0"},
      {{false, "GAMESS5", "GAMEBUT"}, "SAVETURNS", "30", 27, "30"},
      {{false, "GAMESS5", "INTBUT"}, "SCROLLSPD", "0.4", 10, "0.4"},
      {{false, "GAMESS5", "INTBUT"}, "SCROLLSPD", nullptr, 20, "1.1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.tag) + " " + row.shows);
    Screen* page = Open(row.path);
    ASSERT_NE(page, nullptr);
    Control* field = FormFindControlByTag(page->form, row.tag);
    ASSERT_NE(field, nullptr);
    if (row.start) field->SetText(row.start);
    Press(*page, nullptr, row.id);
    EXPECT_STREQ(dynamic_cast<StringControl*>(field)->GetText(), row.shows);
  }
  // The save location is a ring of three; with no names loaded the index
  // is what moves.
  Screen* save = Open({false, "GAMESS5", "GAMEBUT"});
  Press(*save, nullptr, 16);
  EXPECT_EQ(FormFindControlByTag(save->form, "SAVEPROF")->userWord, 2u);

  const struct {
    int32_t width, height;
    const char* button;
    const char* shows;
    bool nextHidden, prevHidden;
  } modes[] = {
      {1024, 768, nullptr, "1024 x 768", false, true}, {1024, 768, "NEXTRES", "1280 x 1024", true, false},
      {1600, 1200, nullptr, "1600 x 1200", true, false}, {1600, 1200, "PREVRES", "1280 x 1024", true, false},
      {1024, 600, "NEXTRES", "1280 x 1024", true, false}, {1024, 600, "PREVRES", "1024 x 768", false, true},
      {800, 600, nullptr, "800 x 600", false, true}, {800, 600, "NEXTRES", "1280 x 1024", true, false},
  };
  for (const auto& mode : modes) {
    SCOPED_TRACE(mode.shows);
    g_app.gamerezx = mode.width, g_app.gamerezy = mode.height;
    Screen* page = Open({false, "GAMESS6", nullptr});
    ASSERT_NE(page, nullptr);
    if (mode.button) Press(*page, mode.button);
    EXPECT_STREQ(dynamic_cast<StringControl*>(FormFindControlByTag(page->form, "RES"))->GetText(), mode.shows);
    EXPECT_EQ(FormFindControlByTag(page->form, "NEXTRES")->Hidden(), mode.nextHidden);
    EXPECT_EQ(FormFindControlByTag(page->form, "PREVRES")->Hidden(), mode.prevHidden);
  }
}

// A write that fails (its target is a folder, which stops root too) keeps
// the page open saying so; OK once it can be written leaves as before.
TEST_F(OptionPagesTest, AFailedWriteKeepsThePageOpenSayingSo) {
  static char notSaved[] = "The file could not be saved.";
  const GlobalGuard guard(g_textLists.entries);
  g_textLists.entries[TextListInfoOf(kListErrortext).first + 1] = notSaved;
  const std::string options = dir_.path() + "/INI/Options.INI", settings = dir_.path() + "/settings.ini";
  const struct {
    Path path;
    const char* ok;
    std::string blocked;  // made a folder, or empty
  } rows[] = {{{false, "GAMESS5", nullptr}, "OKPLAYER", options}, {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER", settings},
              {{true, "GRAPHICBUT", nullptr}, "OKGRAPHIC", settings}, {{true, "SOUNDBUT", nullptr}, "OKSOUND", options},
              {{false, "RESETBUT", nullptr}, "OKPLAYER", options}, {{true, "SOUNDBUT", nullptr}, "OKSOUND", ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.ok) + " " + row.blocked);
    Screen* page = Open(row.path);
    ASSERT_NE(page, nullptr);
    // The save page writes the settings for a new location.
    if (Control* location = FormFindControlByTag(page->form, "SAVELOC")) location->SetText("Elsewhere\\");
    if (!row.blocked.empty()) std::filesystem::remove(row.blocked), std::filesystem::create_directory(row.blocked);
    Press(*page, row.ok);
    const Control* line = FormFindControlByTag(page->form, "ERRORLINE");
    const auto stays = [&] {
      return Shown(Panel(row.path.inGame)) == page && (row.path.inGame || Shown(&background_) == g_screens.optionsHost.get());
    };
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Hidden(), row.blocked.empty());
    if (!row.blocked.empty()) {
      EXPECT_EQ(line->text, notSaved);
      EXPECT_TRUE(stays());
      std::filesystem::remove(row.blocked);
      Press(*page, row.ok);
    }
    EXPECT_FALSE(stays());
  }
}

// OK on every page without touching a control, three times, writes the
// options back as they were but for the levels of 10000, which open at the
// top step and read back as 21 cubed.
TEST_F(OptionPagesTest, UntouchedPagesRewriteTheOptionsAsTheyWere) {
  using O = UiOptions;
  UiOptions expected = g_uiOptions;
  for (int32_t O::*level : {&O::opsoundvol, &O::opmusicvol, &O::opsounduivol, &O::opsoundstatusvol, &O::opsoundemailvol,
                            &O::opsoundnewsvol, &O::opsoundvoicevol, &O::opsoundshotvol, &O::opsoundmovevol})
    expected.*level = 9261;
  ASSERT_EQ(SaveUIOptions(expected, "Expected"), 0);
  const struct {
    Path path;
    const char* ok;
  } pages[] = {{{false, "GAMESS5", nullptr}, "OKPLAYER"},   {{false, "GAMESS5", "GAMEBUT"}, "OKPLAYER"},
               {{false, "GAMESS5", "INTBUT"}, "OKPLAYER"},  {{false, "GAMESS5", "CONTBUT"}, "OKPLAYER"},
               {{false, "GAMESS5", "FORMBUT"}, "OKPLAYER"}, {{false, "GAMESS6", nullptr}, "OKGRAPHIC"},
               {{true, "GRAPHICBUT", "ADVBUT"}, "OKGRAPHIC"}, {{true, "SOUNDBUT", nullptr}, "OKSOUND"},
               {{false, "GAMESS7", "ADVSND"}, "OKSOUND"}};
  for (int round = 1; round <= 3; ++round) {
    for (const auto& page : pages) Press(*Open(page.path), page.ok);
    EXPECT_EQ(FileText(dir_.path() + "/INI/Options.INI"), FileText(dir_.path() + "/INI/Expected.INI")) << round;
  }
  EXPECT_EQ(g_uiOptions.gammalevel, 1.0f);
}

TEST_F(OptionPagesTest, GammaTakesTheSliderWhereThePlayerMovedIt) {
  const struct {
    float stored;
    int32_t movedTo;  // a position, or -1
    float gamma, within;
  } rows[] = {{1.0f, kSliderRange, 2.0f, 0}, {1.0f, kSliderRange / 2, 1.0f, 0.0002f}, {1.5f, -1, 1.5f, 0}};
  for (const auto& row : rows) {
    g_uiOptions.gammalevel = row.stored;
    Screen* page = Open({false, "GAMESS6", nullptr});
    auto* bar = dynamic_cast<SlideBarControl*>(FormFindControlByTag(page->form, "GAMMASLDR"));
    ASSERT_NE(bar, nullptr);
    if (row.movedTo >= 0) bar->SetSelected(row.movedTo);
    Press(*page, "OKGRAPHIC");
    EXPECT_NEAR(g_uiOptions.gammalevel, row.gamma, row.within) << row.movedTo;
  }
}

}  // namespace
