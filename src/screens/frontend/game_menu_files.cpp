// The in-game menu's save and load dialogs, and the game routines the menu
// calls by default.
#include <cstring>

#include "app/app_object.h"
#include "platform/paths.h"
#include "screens/docked_panels.h"
#include "screens/frontend/front_end_flow.h"
#include "screens/frontend/game_menu.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "sim/save_file.h"
#include "world/save_header.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr const char* kSaveTags[] = {"LISTSAVE", "FILENAME", "OKSAVE", "CANBUT", "SAVEHIDE",
                                     "SAVETEXT", "SAVEYES",  "SAVENO", "ERRORLINE"};
constexpr const char* kLoadTags[] = {"LISTLOAD", "OKLOAD", "CANBUT"};
constexpr const char* kSaveExtension = ".SAV";
constexpr int kErrorTextNotSaved = 1;

ListBoxControl* BindList(Screen& screen, const char* tag) {
  ListBoxControl* list = MakeListBox(tag, 0, screen.form, kListIndicators, &screen);
  if (list && list->prototype) list->prototype->fontSlot = kSaveListFont;
  return list;
}

void FillWithSaves(ListBoxControl* list) {
  if (!list) return;
  ListClear(list, 1);
  (void)ListFiles(g_app.saveGamePath, list, kSaveExtension);
}

// The names of the saves in the save folder, in the order it lists them.
std::vector<std::string> SaveNames() {
  std::vector<std::string> names;
  const std::string ext = kSaveExtension;
  for (const std::string& file : plat::ListGameDirectory(g_app.saveGamePath, "*" + ext, true))
    if (file.size() >= ext.size()) names.push_back(file.substr(0, file.size() - ext.size()));
  return names;
}

// The text of the list's selected row, whole.
std::string SelectedText(const ListBoxControl* list) {
  if (!list || list->selectedId == 0) return {};
  const Control* row = ListNextSelected(list, nullptr);
  return row ? row->text : std::string();
}

// Reads the header alone, so that a huge file costs nothing here; one too
// large to load is no save.
bool SaveHeaderReadable(const std::string& name) {
  const std::string path = SaveGamePath(name);
  const auto fileSize = plat::GameFileSize(path);
  const auto head = plat::ReadFileRange(path, 0, sizeof(SaveHeader));
  if (!fileSize || *fileSize < kSaveHeaderBlock || *fileSize >= plat::kMaxReadFileBytes || !head ||
      head->size() < sizeof(SaveHeader))
    return false;
  SaveHeader header;
  std::memcpy(&header, head->data(), sizeof header);
  const uint64_t size = *fileSize;
  return header.size == kSaveHeaderSize && kSaveHeaderBlock <= header.gamePartOffset &&
         header.gamePartOffset < header.mapPartOffset && header.mapPartOffset < header.peoplePartOffset &&
         header.peoplePartOffset <= size;
}

}  // namespace

GameMenuActions g_gameMenuActions{
    [] {
      plat::CriticalSectionLock lock(g_simulationLock);
      SetGameSpeed(g_world.gameState, 0);
    },
    [] { StopGameSession(&g_ui); },
    [] {
      plat::CriticalSectionLock lock(g_simulationLock);
      ReleaseGameData(g_world);
    },
    [] { (void)SaveUIOptions(g_uiOptions, g_app.optionsFile); },
    [](const std::string& name) {
      plat::CriticalSectionLock lock(g_simulationLock);
      return !plat::Failed(LoadSaveGame(g_world, name, nullptr, false, false));
    },
    [] { StartGameSession(&g_ui, 1, 0, 0); },
    [](bool showVictory) { SwitchGameScreen(&g_ui, showVictory); },
    [](const std::string& name, std::string& refusal) {
      plat::CriticalSectionLock lock(g_simulationLock);
      return !plat::Failed(SaveGame(g_world, name, &refusal));
    },
    SaveHeaderReadable,
    [](const std::string& name) { return plat::GameFileExists(SaveGamePath(name)); },
};

SaveGameDialog::SaveGameDialog(GameMenu& menu) : Screen("GAME_SS3", {kSaveTags, {}}), menu_(menu) {}

void SaveGameDialog::BindControls() {
  hostLink = &menu_.optionPanel;
  list_ = BindList(*this, "LISTSAVE");
  name_ = Tag(form, "FILENAME");
}

std::string SaveGameDialog::Name() const {
  auto* field = dynamic_cast<TextControl*>(name_);
  return field ? field->sourceText : std::string();
}

void SaveGameDialog::SetName(const std::string& name) {
  if (auto* field = dynamic_cast<TextControl*>(name_)) field->SetText(name.c_str());
  // A name given is selected whole: typing replaces it.
  if (auto* field = dynamic_cast<EditControl*>(name_)) {
    field->wholeTextSelected = !name.empty();
    field->Invalidate();
  }
}

std::string SaveGameDialog::SelectedRowText() const { return SelectedText(list_); }

void SaveGameDialog::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const GameState& state = g_world.gameState;
  SetName(std::string(state.saveName, strnlen(state.saveName, sizeof state.saveName)));
  FillWithSaves(list_);
  NameChanged();
  ShowTag(form, "CANBUT", true);
  ShowTag(form, "SAVEHIDE", false);
  ShowTag(form, "ERRORLINE", false);
  asking = false;
}

void SaveGameDialog::CancelQuestion() {
  if (!asking) return;
  ShowTag(form, "SAVEHIDE", false);
  ShowTag(form, "CANBUT", true);
  asking = false;
}

void SaveGameDialog::NameChanged() {
  const std::string name = Name();
  if (list_ && list_->selectedId != 0 && SelectedRowText() != name) ListDeselectAll(list_);
  ShowTag(form, "OKSAVE", SaveNameUsable(name));
  CancelQuestion();
}

void SaveGameDialog::OnControlChange(Control* control, int32_t value) {
  if (control == list_ || Is(control, "LISTSAVE")) {
    if (value == 0) return;
    EndTextEdit();
    CancelQuestion();
    const std::string row = SelectedRowText();
    if (!row.empty()) SetName(row);
    ShowTag(form, "OKSAVE", SaveNameUsable(Name()));
    return;
  }
  if (control == name_ || Is(control, "FILENAME")) NameChanged();
}

void SaveGameDialog::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANBUT")) {
    EndTextEdit();
    menu_.LeavePage();
    return;
  }
  // Return in the name field (which ends its edit, as Tab does not) saves
  // as the Save button does.
  const bool returned = control && (control == name_ || Is(control, "FILENAME")) && g_controls.edit != control;
  if (Is(control, "OKSAVE") || returned) {
    EndTextEdit();
    const std::string name = Name();
    if (!SaveNameUsable(name)) return;
    ShowTag(form, "OKSAVE", false);
    ShowTag(form, "CANBUT", false);
    ShowTag(form, "DELFILE", false);
    // A name picked from the list means that file; a typed one that
    // exists asks first.
    const bool picked = list_ && list_->selectedId != 0 && SelectedRowText() == name;
    if (picked || !g_gameMenuActions.fileExists(name)) {
      Save(name);
      return;
    }
    asking = true;
    if (list_) ListDeselectAll(list_);
    ShowTag(form, "SAVEHIDE", true);
    SetControlFlag(Tag(form, "SAVETEXT"), kStateSelected, 1);
    return;
  }
  if (Is(control, "SAVEYES")) {
    ShowTag(form, "SAVEHIDE", false);
    asking = false;
    Save(Name());
    return;
  }
  if (Is(control, "SAVENO")) Show(kKeepScreenId, nullptr);
}

void SaveGameDialog::Save(const std::string& name) {
  plat::CriticalSectionLock lock(g_simulationLock);
  RecordSave(g_world.gameState, name);
  std::string refusal;
  if (!g_gameMenuActions.saveGame(name, refusal)) {
    // The dialog stays, saying so and why (a figure out of its range is
    // named), with its buttons back.
    Control* line = Tag(form, "ERRORLINE");
    std::string said = TextListText(kListErrortext, kErrorTextNotSaved);
    if (!refusal.empty()) said += " " + refusal + ".";
    ControlSetText(line, said.c_str());
    ShowTag(form, "ERRORLINE", true);
    ShowTag(form, "OKSAVE", true);
    ShowTag(form, "CANBUT", true);
    return;
  }
  if (menu_.OpenedOnButtons())
    menu_.ShowQuitNow();
  else
    menu_.CloseMenu();
}

LoadGameDialog::LoadGameDialog(GameMenu& menu) : Screen("GAME_SS4", {kLoadTags, {}}), menu_(menu) {}

void LoadGameDialog::BindControls() {
  hostLink = &menu_.optionPanel;
  list_ = BindList(*this, "LISTLOAD");
}

void LoadGameDialog::OnOpen() {
  saves_ = SaveNames();
  if (list_) {
    ListClear(list_, 1);
    int32_t id = 0;
    for (const std::string& name : saves_) {
      ++id;
      AddSaveListRow(list_, name, id);
    }
    ListLayoutRows(list_);
  }
  ShowTag(form, "OKLOAD", false);
}

void LoadGameDialog::OnControlChange(Control*, int32_t value) { ShowTag(form, "OKLOAD", value != 0); }

void LoadGameDialog::OnCommand(Control* control, int32_t) {
  if (Is(control, "CANBUT")) {
    menu_.LeavePage();
    return;
  }
  if (Is(control, "OKLOAD")) {
    // The row tells more than the name: the file is the row's save.
    const int32_t row = list_ && ListNextSelected(list_, nullptr) ? list_->selectedId : 0;
    Load(row >= 1 && static_cast<size_t>(row) <= saves_.size() ? saves_[static_cast<size_t>(row) - 1] : std::string());
  }
}

void LoadGameDialog::Load(const std::string& name) {
  menu_.CloseMenu();
  PopPopupsTo(g_ui, 0);
  // The running game is only given up for a save that can be read.
  if (name.empty() || !g_gameMenuActions.saveReadable(name)) return;
  const GameMenuActions& a = g_gameMenuActions;
  a.pause();
  a.stopSession();
  a.releaseGame();
  a.saveUiOptions();
  {
    // The game's threads are stopped by now; the lock is not held across
    // the stop, which waits for the turn thread.
    plat::CriticalSectionLock lock(g_simulationLock);
    GameParamsBlock& params = g_world.campaignMessage;
    std::memset(params.name, 0, sizeof params.name);
    std::strncpy(params.name, name.c_str(), sizeof params.name - 1);
    params.flags |= kGameParamsSavedGame;
  }
  if (a.loadSave(name))
    a.startLoadedSession();
  else
    a.leaveGame(false);
}
