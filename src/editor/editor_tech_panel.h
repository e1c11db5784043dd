#pragma once
// The technology panel of editor mode 9: the local region's technologies of
// one category, known and not, with the buttons that grant one with all it
// needs, take one with all that needs it, reset the region to a default
// drawn from its tech level and copy its knowledge to every other region.
// It writes the world's tables directly; window thread only.
#include <cstdint>

#include "ui/screen.h"

class ListBoxControl;
struct World;

inline constexpr const char* kEditorTechTags[] = {"LIST1",     "LIST2",     "ADD",    "REMOVE", "FILTERL",
                                                  "RESETRES",  "COPYTECHS", "REGION", "TECHLEV"};
// The category buttons.
inline constexpr int32_t kTechCategoryFirst = 11;
inline constexpr int32_t kTechCategoryLast = 16;
inline constexpr int32_t kEditorTechIds[] = {11, 12, 13, 14, 15, 16};

// The variants of a reset, by the RESETRES control's id.
enum TechResetVariant : int32_t { kResetRevokeDesigns = 0, kResetKeepDesigns = 1 };

// A reset of the player's technologies: each one in use at or below the
// level less 15 without the never-by-reset flag is granted, every other one
// cleared (revoking designs for variant 0); every flag byte ends 0. Variant
// 1 then grants what the available designs need.
void ResetRegionTechs(World& world, int player, int32_t variant);
// Every other region from 1 to the highest player takes the player's known
// bytes with clear flags; then the player's designs pull in their needs.
void CopyRegionTechs(World& world, int player);

class EditorTechPanel : public Screen {
 public:
  EditorTechPanel() : Screen("MAPEDITORB_SS7", FormLookups{.tags = kEditorTechTags, .ids = kEditorTechIds}) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t row) override;

  // The category the buttons choose: 1 + the first pressed of 11 to 15, 6
  // when none is.
  int32_t Category() const;

  ListBoxControl* unknown = nullptr;  // LIST1
  ListBoxControl* known = nullptr;    // LIST2
  Screen* techPopup = nullptr;        // POPUP_TECH, set by the screen set
};
