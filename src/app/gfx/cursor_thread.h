#pragma once
// The cursor thread: while the device cursor is shown (wake event set) it
// sends the pointer's position to the device every 10 ms when it has moved,
// and it ends when the stop event is set.
#include <cstdint>
#include <functional>

#include "platform/window.h"

struct Renderer;

inline constexpr uint32_t kCursorThreadExitCode = 23;
inline constexpr uint32_t kCursorPollMs = 10;

// The thread's body; returns kCursorThreadExitCode once stopped. The
// position is the main window's pointer position.
uint32_t CursorThreadMain(Renderer& renderer);
// The same with the position read from elsewhere (tests).
uint32_t CursorThreadMain(Renderer& renderer, const std::function<plat::Point()>& readPosition);
