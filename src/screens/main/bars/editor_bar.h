#pragma once
// The map editor's bar. Its readouts show the selected hex and the hex under
// inspection in six text fields of its form, found by tag.
#include <array>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The tags of the bar's six readout fields, in the order of the readouts.
inline constexpr const char* kEditorBarFieldTags[6] = {"POPULATION", "SIZE", "GDP", "COUNTRY", "DATE", "TREASURY"};
inline constexpr const char* kEditorBarTags[7] = {"POPULATION", "SIZE", "GDP", "COUNTRY", "DATE", "TREASURY", "MAPNAME"};

class EditorBar : public Screen {
 public:
  EditorBar() : Screen("EDITORBAR", FormLookups{.tags = kEditorBarTags, .ids = {}}) {}

  // MAPNAME shows the scenario's name.
  void Refresh() override;
  // The bar hangs in the top bar, in the title bar's place.
  void BindControls() override;

  // Puts the readouts of the world's selected and inspected hexes into the
  // fields tagged POPULATION, SIZE, GDP, COUNTRY, DATE and TREASURY of the
  // bar's form (the form itself when it carries the tag); a field that is a
  // string control shows its readout. A tag the bar's layout lacks is
  // skipped. The argument plays no part. Run on every frame while the
  // interface is in the map editor.
  void InspectHexText(void* unused);

  // The text InspectHexText last put into a field of the bar; null for a
  // control that is none of the six.
  const std::string* FieldText(const Control* field) const;

 private:
  struct Field {
    const Control* control = nullptr;
    std::string text;
  };
  std::array<Field, 6> fields_;
};

