#pragma once
// Platform-internal glue between the message queue and the windows that feed
// it. Nothing outside src/platform/ includes this.
#include <string>
#include <vector>

#include "platform/messages.h"

namespace plat::detail {

// A queued message and, for a key-down read from the keyboard, the text that
// key typed (Windows-1252), handed out as WM_CHAR when it is translated.
struct QueuedMessage {
  Message msg;
  std::string text;
};

// Queue side.
// Appends input read in one pass over the window system's events, in order.
void AppendInputMessages(std::vector<QueuedMessage>&& batch);
// Drops the window's queued messages and kills its timers (it is going away).
void ForgetWindowInQueue(Window* window);

// Window side.
// Reads the window system's pending events into the queue; does nothing off
// the thread that owns the windows or when there is no window.
void PumpWindowEvents();
// True when the calling thread reads window-system events, so that a wait for
// messages must wake often enough to read them.
bool PumpsWindowEventsHere();
// Forgets held buttons, click history and unread window-system events.
void ResetWindowInput();
// Forgets the click history only, so the next press is no double click.
void ForgetClicks();

// Pointer side: gives the window system the pointer image and visibility
// chosen so far (they may be chosen before video is up).
void ApplyPointerState();

}  // namespace plat::detail
