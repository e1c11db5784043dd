#include "sound_synth.h"

#include <cstdio>

#include "platform/paths.h"

namespace sound_synth {
namespace {

enum class Wave { kSine, kSquare, kTriangle, kSaw };

// One sound: a tone that slides from startHz to endHz mixed with filtered
// noise, under an envelope that rises over attackMs and falls to silence by
// the end (linearly, or faster with a higher decayPower).
struct Voice {
  Wave wave = Wave::kSine;
  int32_t startHz = 440, endHz = 440;
  int32_t ms = 100, attackMs = 2;
  int32_t toneLevel = 256;   // of 256
  int32_t noiseLevel = 0;    // of 256
  int32_t noiseCutoff = 256; // of 256: 256 leaves the noise white, low values make a rumble
  int32_t decayPower = 1;    // 1 to 3
  int32_t vibratoHz = 0, vibratoDepthHz = 0;
  int32_t tremoloHz = 0;     // chops the sound into bursts
  uint32_t seed = 1;
};

constexpr int32_t kFull = 32767;
constexpr int32_t kMasterLevel = 24000;

// The phase step of a frequency given in 1/256 Hz.
uint32_t PhaseStep(int64_t hz256) {
  if (hz256 < 0) hz256 = 0;
  return static_cast<uint32_t>((hz256 << 24) / kSampleRate);
}

// A sine from a 32-bit phase, by Bhaskara's rational approximation over each
// half cycle (within 0.2% of the real curve).
int32_t SineOf(uint32_t phase) {
  const int64_t p = (phase >> 16) & 0x7FFF;  // position in the half cycle, 0 to 32767
  const int64_t u = p * (32768 - p);
  const int64_t v = kFull * 16 * u / (5 * (int64_t{1} << 30) - 4 * u);
  return static_cast<int32_t>((phase & 0x80000000u) ? -v : v);
}

int32_t WaveOf(Wave wave, uint32_t phase) {
  const int32_t t = static_cast<int32_t>(phase >> 16);  // 0 to 65535
  switch (wave) {
    case Wave::kSine: return SineOf(phase);
    case Wave::kSquare: return (phase & 0x80000000u) ? -kFull : kFull;
    case Wave::kTriangle: return t < 32768 ? t * 2 - 32768 : (65535 - t) * 2 - 32768;
    case Wave::kSaw: return t - 32768;
  }
  return 0;
}

std::vector<int16_t> Render(const Voice& v) {
  const int64_t total = int64_t{kSampleRate} * v.ms / 1000;
  int64_t attack = int64_t{kSampleRate} * v.attackMs / 1000;
  if (attack < 1) attack = 1;
  if (attack >= total) attack = total - 1;
  const int64_t fall = total - attack;

  std::vector<int16_t> out(static_cast<size_t>(total));
  uint32_t phase = 0, vibratoPhase = 0, tremoloPhase = 0;
  uint32_t noise = v.seed * 2654435761u + 0x9E3779B9u;
  if (noise == 0) noise = 1;
  int32_t filtered = 0;
  for (int64_t i = 0; i < total; ++i) {
    int64_t hz256 = int64_t{v.startHz} * 256 + (int64_t{v.endHz} - v.startHz) * 256 * i / total;
    if (v.vibratoHz > 0) {
      hz256 += int64_t{v.vibratoDepthHz} * 256 * SineOf(vibratoPhase) / kFull;
      vibratoPhase += PhaseStep(int64_t{v.vibratoHz} * 256);
    }
    phase += PhaseStep(hz256);
    const int32_t tone = WaveOf(v.wave, phase);

    noise ^= noise << 13;
    noise ^= noise >> 17;
    noise ^= noise << 5;
    const int32_t white = static_cast<int32_t>(noise >> 16) - 32768;
    filtered += ((white - filtered) * v.noiseCutoff) >> 8;

    int64_t s = (int64_t{tone} * v.toneLevel + int64_t{filtered} * v.noiseLevel) >> 8;

    int64_t envelope;
    if (i < attack) {
      envelope = kFull * i / attack;
    } else {
      const int64_t left = total - i;
      int64_t num = left, den = fall;
      for (int k = 1; k < v.decayPower; ++k) {
        num *= left;
        den *= fall;
      }
      envelope = kFull * num / den;
    }
    s = s * envelope >> 15;
    if (v.tremoloHz > 0) {
      s = s * ((tremoloPhase & 0x80000000u) ? 6000 : kFull) >> 15;
      tremoloPhase += PhaseStep(int64_t{v.tremoloHz} * 256);
    }
    s = s * kMasterLevel >> 15;
    if (s > 32767) s = 32767;
    if (s < -32768) s = -32768;
    out[static_cast<size_t>(i)] = static_cast<int16_t>(s);
  }
  return out;
}

void Append(std::vector<int16_t>& to, const std::vector<int16_t>& more) {
  to.reserve(to.size() + more.size());
  for (int16_t s : more) to.push_back(s);
}

void PutLe16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v & 0xFF));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
  PutLe16(b, static_cast<uint16_t>(v & 0xFFFF));
  PutLe16(b, static_cast<uint16_t>(v >> 16));
}

void PutId(std::vector<uint8_t>& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

}  // namespace

std::vector<int16_t> SynthUi(int n) {
  if (n < 1 || n > kUiSounds) return {};
  const int32_t base = 400 + 60 * n;
  Voice v;
  v.seed = 1000u + static_cast<uint32_t>(n);
  switch (n % 5) {
    case 0:  // click
      v.wave = Wave::kSaw;
      v.startHz = v.endHz = base;
      v.ms = 25 + n;
      v.attackMs = 1;
      v.noiseLevel = 64;
      v.decayPower = 3;
      return Render(v);
    case 1:  // beep
      v.startHz = v.endHz = base;
      v.ms = 90;
      v.attackMs = 5;
      return Render(v);
    case 2:  // rising chirp
      v.wave = Wave::kTriangle;
      v.startHz = base;
      v.endHz = base * 3 / 2;
      v.ms = 120;
      v.attackMs = 8;
      return Render(v);
    case 3:  // falling chirp
      v.wave = Wave::kSquare;
      v.startHz = base * 3 / 2;
      v.endHz = base;
      v.toneLevel = 110;
      v.ms = 80;
      v.attackMs = 3;
      v.decayPower = 2;
      return Render(v);
    default: {  // two notes, a major third apart
      v.startHz = v.endHz = base;
      v.ms = 70;
      v.attackMs = 4;
      std::vector<int16_t> out = Render(v);
      v.startHz = v.endHz = base * 5 / 4;
      v.ms = 110;
      Append(out, Render(v));
      return out;
    }
  }
}

std::vector<int16_t> SynthMilitary(int n) {
  if (n < 1 || n > kMilitarySounds) return {};
  const int32_t variant = (n - 1) / 8;  // 0 to 15
  Voice v;
  v.seed = static_cast<uint32_t>(n);
  switch ((n - 1) % 8) {
    case 0:  // rifle shot
      v.toneLevel = 0;
      v.noiseLevel = 256;
      v.noiseCutoff = 200 - 4 * variant;
      v.ms = 90 + 5 * variant;
      v.attackMs = 1;
      v.decayPower = 3;
      break;
    case 1:  // machine-gun burst
      v.toneLevel = 0;
      v.noiseLevel = 240;
      v.noiseCutoff = 180 - 3 * variant;
      v.tremoloHz = 12 + variant;
      v.ms = 400 + 10 * variant;
      v.attackMs = 1;
      break;
    case 2:  // gun
      v.startHz = 60 + 3 * variant;
      v.endHz = 30;
      v.toneLevel = 128;
      v.noiseLevel = 256;
      v.noiseCutoff = 40 + 2 * variant;
      v.ms = 500 + 20 * variant;
      v.attackMs = 2;
      v.decayPower = 2;
      break;
    case 3:  // explosion
      v.startHz = 45 + 2 * variant;
      v.endHz = 25;
      v.toneLevel = 110;
      v.noiseLevel = 256;
      v.noiseCutoff = 20 + variant;
      v.ms = 800 + 25 * variant;
      v.attackMs = 5;
      v.decayPower = 2;
      break;
    case 4:  // missile launch
      v.wave = Wave::kSaw;
      v.startHz = 150 + 10 * variant;
      v.endHz = 900 + 20 * variant;
      v.toneLevel = 80;
      v.noiseLevel = 160;
      v.noiseCutoff = 90;
      v.ms = 900 + 20 * variant;
      v.attackMs = 120;
      break;
    case 5:  // aircraft
      v.wave = Wave::kTriangle;
      v.startHz = v.endHz = 220 + 10 * variant;
      v.vibratoHz = 5;
      v.vibratoDepthHz = 30;
      v.toneLevel = 90;
      v.noiseLevel = 200;
      v.noiseCutoff = 60 + 3 * variant;
      v.ms = 1000;
      v.attackMs = 200;
      break;
    case 6:  // engine
      v.wave = Wave::kSquare;
      v.startHz = v.endHz = 55 + 4 * variant;
      v.toneLevel = 100;
      v.noiseLevel = 120;
      v.noiseCutoff = 30;
      v.tremoloHz = 18 + variant;
      v.ms = 600 + 10 * variant;
      v.attackMs = 40;
      break;
    default:  // sonar ping
      v.startHz = v.endHz = 900 + 40 * variant;
      v.toneLevel = 230;
      v.noiseLevel = 8;
      v.ms = 700 + 10 * variant;
      v.attackMs = 2;
      v.decayPower = 3;
      break;
  }
  return Render(v);
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + dataBytes);
  PutId(b, "RIFF");
  PutLe32(b, 4 + (8 + 16) + (8 + dataBytes));
  PutId(b, "WAVE");
  PutId(b, "fmt ");
  PutLe32(b, 16);
  PutLe16(b, 1);         // PCM
  PutLe16(b, 1);         // mono
  PutLe32(b, rate);
  PutLe32(b, rate * 2);  // bytes per second
  PutLe16(b, 2);         // bytes per sample frame
  PutLe16(b, 16);        // bits per sample
  PutId(b, "data");
  PutLe32(b, dataBytes);
  for (int16_t s : samples) PutLe16(b, static_cast<uint16_t>(s));
  return b;
}

bool WriteAllSounds(const std::string& dataRoot) {
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(dataRoot);
  bool ok = plat::MakeGameDirectories("SOUNDS\\UI") && plat::MakeGameDirectories("SOUNDS\\Military");
  if (!ok) std::fprintf(stderr, "sound_synth: cannot make the SOUNDS folders under %s\n", dataRoot.c_str());
  for (int kind = 0; ok && kind < 2; ++kind) {
    const int count = kind == 0 ? kUiSounds : kMilitarySounds;
    for (int n = 1; ok && n <= count; ++n) {
      char path[64];
      std::snprintf(path, sizeof path, kind == 0 ? "SOUNDS\\UI\\%03d.WAV" : "SOUNDS\\Military\\%03d.WAV", n);
      const std::vector<uint8_t> wav = EncodeWav(kind == 0 ? SynthUi(n) : SynthMilitary(n), kSampleRate);
      if (plat::WriteFileReplacing(path, wav.data(), wav.size()) < 0) {
        std::fprintf(stderr, "sound_synth: cannot write %s under %s\n", path, dataRoot.c_str());
        ok = false;
      }
    }
  }
  plat::SetDataRoot(oldRoot);
  return ok;
}

}  // namespace sound_synth
