#pragma once
// The threads and events of a running game: the turn thread with its stop
// and go events, and the computer players' stop and run events. They live on
// the simulation side so a game can run without the interface.
#include "platform/threads.h"

struct GameThreads {
  plat::Thread* turnThread = nullptr;
  plat::Event* turnStop = nullptr;
  plat::Event* turnGo = nullptr;
  plat::Event* aiStop = nullptr;
  plat::Event* aiRun = nullptr;
};

extern GameThreads g_gameThreads;

// A speed above zero lets the turn thread and the computer players run again.
void SignalRunEvents();
