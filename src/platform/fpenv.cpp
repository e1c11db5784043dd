#include "platform/fpenv.h"

#include <cfenv>
#include <cstdio>
#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#define VD_FP_X86 1
#else
#define VD_FP_X86 0
#endif

namespace plat {
namespace {

#if VD_FP_X86
// float arithmetic runs on SSE, but long double and some library code still
// use the x87 unit, and fegetround reads only the x87 word: the control word
// covers both units so that a change to either is seen.
constexpr uint32_t kMxcsrStatusBits = 0x3Fu;  // sticky exception flags, not control
constexpr uint32_t kMxcsrRoundingMask = 0x6000u;
constexpr uint32_t kMxcsrTowardZero = 0x6000u;
constexpr uint32_t kX87RoundingMask = 0x0C00u;
constexpr uint32_t kX87TowardZero = 0x0C00u;

uint32_t ReadX87ControlWord() {
  uint16_t cw = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw));
  return cw;
}

uint32_t ReadMxcsrControl() { return _mm_getcsr() & ~kMxcsrStatusBits; }
#endif

}  // namespace

void SetGameFloatMode() { std::fesetround(FE_TOWARDZERO); }

uint32_t ReadFloatControl() {
#if VD_FP_X86
  return (ReadX87ControlWord() << 16) | (ReadMxcsrControl() & 0xFFFFu);
#else
  return static_cast<uint32_t>(std::fegetround());
#endif
}

bool InGameFloatMode() {
#if VD_FP_X86
  return (ReadX87ControlWord() & kX87RoundingMask) == kX87TowardZero &&
         (ReadMxcsrControl() & kMxcsrRoundingMask) == kMxcsrTowardZero;
#else
  return std::fegetround() == FE_TOWARDZERO;
#endif
}

bool RestoreFloatControl(uint32_t kept) {
  if (ReadFloatControl() == kept) return false;
  SetGameFloatMode();
  return true;
}

NearestRoundingScope::NearestRoundingScope() : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }

NearestRoundingScope::~NearestRoundingScope() { std::fesetround(saved_); }

int FormatText(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = FormatTextV(buffer, size, format, args);
  va_end(args);
  return written;
}

int FormatTextV(char* buffer, size_t size, const char* format, va_list args) {
  NearestRoundingScope nearest;
  return std::vsnprintf(buffer, size, format, args);
}

float ParseFloat(const char* text, char** end) {
  NearestRoundingScope nearest;
  return std::strtof(text, end);
}

double ParseDouble(const char* text, char** end) {
  NearestRoundingScope nearest;
  return std::strtod(text, end);
}

}  // namespace plat
