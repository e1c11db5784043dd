#include "app/frame_pacer.h"

FramePacer g_framePacer;

uint32_t FramePacer::WaitBeforeFrame(uint64_t nowMs) {
  const uint64_t nowUs = nowMs * 1000;
  if (!started_ || nowUs >= nextUs_ + kPeriodUs || nextUs_ > nowUs + kPeriodUs) {
    started_ = true;
    nextUs_ = nowUs + kPeriodUs;
    return 0;
  }
  const uint64_t due = nextUs_;
  nextUs_ += kPeriodUs;
  if (nowUs >= due) return 0;
  return static_cast<uint32_t>((due - nowUs + 999) / 1000);
}
