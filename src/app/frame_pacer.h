#pragma once
// Keeps the interface frames near 60 a second where the display's vertical
// sync does not hold presents back (virtual displays, software drivers), so
// an idle screen does not spin a core. With sync honoured the frames are
// already that far apart and it never waits.
#include <cstdint>

class FramePacer {
 public:
  static constexpr uint64_t kPeriodUs = 16667;

  // Given the time at the start of a frame, how many milliseconds to sleep
  // before drawing it. A frame that comes late, or a clock that jumped,
  // starts the count again instead of hurrying to catch up.
  uint32_t WaitBeforeFrame(uint64_t nowMs);

 private:
  bool started_ = false;
  uint64_t nextUs_ = 0;  // the earliest start of the next frame
};

extern FramePacer g_framePacer;
