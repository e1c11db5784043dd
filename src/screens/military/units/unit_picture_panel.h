#pragma once
// The class sheet page (MILITARY1_ss4a1): one unit class's header, picture
// and specification box, shown inside another screen's form with the class
// index as its id. Its variant with the control of id 1100 shows four
// specification items chosen by the class's type in place of the full
// figures; it redraws itself when the bars-or-numbers switch changes.
// Window thread; reads of the world hold the simulation lock.
#include <array>
#include <cstdint>

#include "ui/screen.h"

struct UnitClassRecord;

// The items of the specification box by the class's type byte; false for
// a type that shows no box.
bool UnitSpecItems(int32_t typeByte, std::array<int32_t, 4>& items);

// The choices the information pages keep: the entry now asked for (below
// 0: none) and the id chosen in each.
struct InfoChoiceTable {
  int32_t current = -1;
  std::array<int32_t, 32> chosen{};
};
extern InfoChoiceTable g_infoChoices;

class UnitPicturePanel : public Screen {
 public:
  explicit UnitPicturePanel(const char* formName = "MILITARY1_ss4a1") : Screen(formName) {}
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  // The badge rows of the header; the owner of the instance names them.
  Screen* classRow = nullptr;
  Screen* secondRow = nullptr;
  int32_t specViewShown = 0;
};
