#include "screens/main/bars/editor_bar.h"

#include <cstring>
#include <string>

#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/editor_bar_readouts.h"
#include "world/world.h"

void EditorBar::InspectHexText(void*) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const EditorBarReadouts r = ComputeEditorBarReadouts(g_world);
  const std::string* texts[6] = {&r.population, &r.size, &r.gdp, &r.country, &r.date, &r.treasury};
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = fields_[i];
    Control* control = FormFindControlByTag(currentForm ? currentForm : form, kEditorBarFieldTags[i]);
    field.control = control;
    field.text = control ? *texts[i] : std::string();
    if (IsStringKind(control) && control->text != field.text) SetControlText(control, field.text.c_str());
  }
}

const std::string* EditorBar::FieldText(const Control* field) const {
  if (!field) return nullptr;
  for (const Field& f : fields_)
    if (f.control == field) return &f.text;
  return nullptr;
}

void EditorBar::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* name = FormFindControlByTag(currentForm ? currentForm : form, "MAPNAME");
  if (!IsStringKind(name)) return;
  // The name field of the game state need not end in a terminator.
  const char* field = g_world.gameState.scenarioName;
  name->SetText(std::string(field, strnlen(field, sizeof g_world.gameState.scenarioName)).c_str());
}

void EditorBar::BindControls() { hostLink = &g_ui.topBar; }
