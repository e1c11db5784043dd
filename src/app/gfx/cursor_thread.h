#pragma once
// The cursor thread: runs while the device cursor is shown (wake event set)
// and ends when the stop event is set.
#include <cstdint>

struct Renderer;

inline constexpr uint32_t kCursorThreadExitCode = 23;

// The thread's body; returns kCursorThreadExitCode once stopped.
uint32_t CursorThreadMain(Renderer& renderer);
