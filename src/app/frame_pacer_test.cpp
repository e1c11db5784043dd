#include "app/frame_pacer.h"

#include <gtest/gtest.h>

namespace {

// Frames 1/60 s apart (16,667 us): the wait brings each frame up to its due
// time, rounded up to whole milliseconds; the due times run on from one
// another, so the rate holds even when single waits round.
TEST(FramePacerTest, WaitsOutTheRestOfEachSixtiethOfASecond) {
  struct Row {
    uint64_t nowMs;
    uint32_t waitMs;
    const char* why;
  } const rows[] = {
      {1000, 0, "the first frame starts the count; next due 1016.667"},
      {1000, 17, "at once again: wait to 1016.667; next due 1033.334"},
      {1017, 17, "16.334 ms early; next due 1050.001"},
      {1040, 11, "10.001 ms early; next due 1066.668"},
      {1070, 0, "late by less than a frame: no wait, the cadence kept; next due 1083.335"},
      {1200, 0, "a frame or more late: start again; next due 1216.667"},
      {500, 0, "the clock went back: start again; next due 516.667"},
      {501, 16, "15.667 ms early"},
  };
  FramePacer pacer;
  for (const Row& r : rows) EXPECT_EQ(pacer.WaitBeforeFrame(r.nowMs), r.waitMs) << r.why;
}

}  // namespace
