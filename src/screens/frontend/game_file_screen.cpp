#include "screens/frontend/game_file_screen.h"

#include "editor/editor_file_menu.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/paths.h"
#include "platform/status.h"
#include "records/text_field.h"
#include "screens/frontend/front_end_flow.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "world/text/scenario_def.h"
#include "world/world.h"

namespace {

constexpr const char* kFileDialogTags[] = {"TITLE", "FILELIST", "FILENAME", "OKBUT", "CANBUT", "ERROR"};

}  // namespace

bool UsableFileName(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos) return false;
  for (const char c : name)
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

GameFileScreen::GameFileScreen() : Screen("GAME_FILE", {kFileDialogTags, {}}) {}

void GameFileScreen::BindControls() {
  list_ = MakeListBox("FILELIST", 0, currentForm, 0, this);
  if (!list_) return;
  list_->flags |= kListSingleSelect;
  // The rows read as the game menu's load list reads them: a save's row
  // adds its scenario and date to the name.
  if (list_->prototype) list_->prototype->fontSlot = kSaveListFont;
}

void GameFileScreen::OnOpen() {
  if (!currentForm) return;
  ControlSetText(FormFindControlByTag(currentForm, "TITLE"), title.c_str());
  ControlSetText(FormFindControlByTag(currentForm, "ERROR"), "");
  ControlSetText(FormFindControlByTag(currentForm, "FILENAME"), "");
  files.clear();
  if (!list_) return;
  ListClear(list_, 1);
  for (const std::string& name : plat::ListGameDirectory(folder, "*" + extension, true))
    if (name.size() > extension.size()) files.push_back(name.substr(0, name.size() - extension.size()));
  int32_t id = 0;
  for (const std::string& name : files) {
    ++id;
    // A save to start is told by its scenario and date as well.
    if (options[0] == kFileActionStartSaved)
      AddSaveListRow(list_, name, id);
    else
      ListAddString(list_, name.c_str(), id, id, 0, 0, 0);
  }
  ListLayoutRows(list_);
}

void GameFileScreen::Refresh() {
  if (currentForm) currentForm->state |= kStateDirty;
}

namespace {

// The scenario of the file picked, not the one open: its name goes into the
// game state for the file sequence, and back again when it cannot be read.
bool LoadPickedScenario(const std::string& name) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const std::string open = FieldText(w.gameState.scenarioName);
  SetFieldText(w.gameState.scenarioName, name);
  if (plat::Succeeded(LoadScenarioFiles(&g_ui))) {
    // The editor's panels and derived figures show the scenario loaded.
    if (g_editorScreens.derivedData) RecalcDerivedMapData(*g_editorScreens.derivedData);
    RefreshEditorInfoPanels();
    return true;
  }
  SetFieldText(w.gameState.scenarioName, open);
  return false;
}

}  // namespace

bool GameFileScreen::Confirm(const std::string& name) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const bool usable = UsableFileName(name);
  bool done = usable;
  if (usable) {
    if (fileName) *fileName = name;
    switch (options[0]) {
      case kFileActionStartSaved: done = StartSavedGame(g_ui, name); break;
      case kFileActionLoadScenario: done = LoadPickedScenario(name); break;
      case kFileActionSaveScenario:
        // The map takes the scenario's new name, as far as its field holds
        // it, once the name can be saved under; its title too, which the
        // minimap shows.
        if (UsableScenarioName(name)) {
          SetFieldText(g_world.mapHeader.gameTitle, name);
          SetFieldText(g_world.mapHeader.mapTitle, name);
        }
        done = SaveScenarioFiles(name.c_str()) == 0;
        // The editor's panels and the minimap name the scenario saved.
        if (done) RefreshEditorInfoPanels();
        break;
      default: break;
    }
  }
  if (!done) ShowFailure(usable ? FailureText() : "Choose a file from the list.");
  return done;
}

const char* GameFileScreen::FailureText() const {
  return options[0] == kFileActionSaveScenario ? kScenarioNotSaved : "That file cannot be used.";
}

void GameFileScreen::ShowFailure(const char* text) {
  if (currentForm) ControlSetText(FormFindControlByTag(currentForm, "ERROR"), text);
}

void GameFileScreen::OnCommand(Control* control, int32_t id) {
  if (control == list_) {
    if (id >= 1 && static_cast<size_t>(id) <= files.size())
      ControlSetText(FormFindControlByTag(currentForm, "FILENAME"), files[static_cast<size_t>(id) - 1].c_str());
  } else if (Is(control, "OKBUT")) {
    // The name in the field, typed or taken from the row picked: a save
    // may name a file that is not there yet.
    const Control* field = FormFindControlByTag(currentForm, "FILENAME");
    std::string name = field ? field->text : std::string();
    const int32_t chosen = list_ ? list_->selectedId : 0;
    if (name.empty() && chosen >= 1 && static_cast<size_t>(chosen) <= files.size())
      name = files[static_cast<size_t>(chosen) - 1];
    // Starting a game replaces the front end's screens: the dialog goes first.
    if (UsableFileName(name)) Close(1);
    if (Confirm(name) || !UsableFileName(name)) return;
    Popup(kKeepScreenId, nullptr);
    ShowFailure(FailureText());
  } else if (Is(control, "CANBUT")) {
    Close(0);
  }
  Refresh();
}
