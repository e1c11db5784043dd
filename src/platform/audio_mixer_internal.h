#pragma once
// Shared between the sound-effect device and the music stream: the mixer's
// output, opened by its first user and closed by its last, and the event
// hook.
#include <cstdint>

#include "platform/audio_device.h"

namespace plat::audio_internal {

// The output format every sound is converted to.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// True when the output is open (opening it on first use).
bool AcquireMixer();
// Closes the output when the last user lets go.
void ReleaseMixer();

void Emit(AudioEventKind kind, int32_t value = 0, uint64_t id = 0);

}  // namespace plat::audio_internal
