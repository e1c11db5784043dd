#include "screens/economy/cabinet/cabinet_screen.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "records/player_record.h"
#include "screens/economy/cabinet/cabinet_candidate.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/panel_vocabulary.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

void PlaceMarker(Control* frame, Control* marker, float value) {
  if (!frame || !marker) return;
  const int32_t width = Width(marker);
  marker->rect.left = frame->rect.left + CabinetMarkerOffset(Width(frame), width, value);
  marker->rect.right = marker->rect.left + width;
  marker->state |= kStateDirty;
}

CabinetScreen* CabinetOf(int32_t department) {
  if (department < 0 || department >= kCabinetPosts) return nullptr;
  return &g_screens.cabinetPages[static_cast<size_t>(department)];
}

}  // namespace

int32_t CabinetMarkerOffset(int32_t frameWidth, int32_t markerWidth, float value) {
  const float scaled = static_cast<float>(frameWidth) * value;
  const int32_t offset = std::isfinite(scaled) ? static_cast<int32_t>(std::clamp(scaled, -1e9f, 1e9f)) : 0;
  return std::min(offset, frameWidth - markerWidth);
}

void CabinetScreen::BindControls() {
  approval = Tag(*this, "APPROVAL");
  approvalMarker = Tag(*this, "APPROVALA");
  concern = Tag(*this, "CONCERN");
  concernMarker = Tag(*this, "CONCERNA");
}

void CabinetScreen::Refresh() {
  const int32_t d = static_cast<int32_t>(id);
  float approvalValue = 0.0f, concernValue = 0.0f;
  CabinetCandidate minister;
  uint32_t priorities = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* r = LocalPlayer(g_world);
    if (r && d >= 0 && d < kCabinetPosts) {
      approvalValue = r->cabinetApproval[d];
      concernValue = r->cabinetConcern[d];
    }
    minister = ReadCandidate(g_world, SeatedMinister(d));
    priorities = DepartmentPriorities(d);
  }
  ControlSetText(Tag(*this, "DEPT"), TextListEntry(g_textLists, kListCabinets, d));
  ControlSetText(Tag(*this, "NAME"), minister.name);
  const int32_t n = std::popcount(priorities);
  SetControlFlag(Tag(*this, "PHEADER"), kStateSelected, n != 1);
  if (auto* count = dynamic_cast<StringControl*>(Tag(*this, "PRIORITY"))) count->SetTextFormat("%d", n);
  PlaceMarker(concern, concernMarker, concernValue);
  PlaceMarker(approval, approvalMarker, approvalValue);
}

void ShowDepartmentCabinet(int32_t department, Control* host) {
  CabinetScreen* cabinet = CabinetOf(department);
  if (!cabinet || !host) return;
  cabinet->Show(department, host);
}

void RefreshDepartmentCabinet(int32_t department) {
  CabinetScreen* cabinet = CabinetOf(department);
  if (cabinet && cabinet->currentForm && cabinet->id == department) cabinet->Refresh();
}
