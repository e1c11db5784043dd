#pragma once
// A cabinet department at a glance (CABINET1): its name, its minister, how
// many priorities it pursues and where its minister's job approval and
// concern stand. Shown beside a department's page when the post has a
// seated minister; the id is the department.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kCabinetScreenTags[] = {"DEPT",     "NAME",      "PHEADER", "PRIORITY",
                                                     "APPROVAL", "APPROVALA", "CONCERN", "CONCERNA"};

class CabinetScreen : public Screen {
 public:
  explicit CabinetScreen(const char* tag = "CABINET1")
      : Screen(tag, FormLookups{.tags = kCabinetScreenTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;

  Control* approval = nullptr;
  Control* approvalMarker = nullptr;
  Control* concern = nullptr;
  Control* concernMarker = nullptr;
};

// The marker's left edge inside its frame for a value of 0 to 1: never
// past the frame's right end.
int32_t CabinetMarkerOffset(int32_t frameWidth, int32_t markerWidth, float value);
// Shows department d's cabinet in the host (nothing without one).
void ShowDepartmentCabinet(int32_t department, Control* host);
// Refreshes department d's cabinet when it shows.
void RefreshDepartmentCabinet(int32_t department);
// The candidates' pager for the department, on the page it was left on, and
// a candidate's sheet (view-only: no accept, reject or browse).
void OpenCabinetPager(int32_t department);
void OpenCandidateSheet(int32_t department, int32_t candidate, bool viewOnly);
