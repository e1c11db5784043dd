#pragma once
// The cabinet department's priorities panel (CABINET1_SS1). The department
// screens open it for their own department with Show(department, nullptr);
// its lists and commands come with the cabinet screen.
#include "ui/screen.h"

class CabinetPrioritiesPanel : public Screen {
 public:
  CabinetPrioritiesPanel() : Screen("CABINET1_SS1") {}
  // Docks in the bottom bar, beside the department that opened it.
  void BindControls() override;
};
