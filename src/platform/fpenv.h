#pragma once
// The floating-point environment of game arithmetic: single precision with
// round toward zero, on every thread that computes game values. Text output
// and parsing of floats run in a round-to-nearest scope instead, because the C
// library honours the rounding mode and players expect 45.6 printed without
// decimals to read "46".
#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace plat {

// Sets round toward zero on the calling thread.
void SetGameFloatMode();
// A word that identifies the thread's current floating-point control state.
uint32_t ReadFloatControl();
// True when the thread is in the game's mode.
bool InGameFloatMode();
// When the thread's control word differs from the kept one, sets the game's
// mode again. Returns true when it had to.
bool RestoreFloatControl(uint32_t kept);

// Round-to-nearest for the scope's lifetime; the previous mode comes back after.
class NearestRoundingScope {
 public:
  NearestRoundingScope();
  ~NearestRoundingScope();
  NearestRoundingScope(const NearestRoundingScope&) = delete;
  NearestRoundingScope& operator=(const NearestRoundingScope&) = delete;

 private:
  int saved_;
};

// snprintf under round-to-nearest. Returns what snprintf returns.
int FormatText(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
int FormatTextV(char* buffer, size_t size, const char* format, va_list args);
// strtof / strtod under round-to-nearest; end may be null.
float ParseFloat(const char* text, char** end);
double ParseDouble(const char* text, char** end);

}  // namespace plat
