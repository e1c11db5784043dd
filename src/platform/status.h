#pragma once
// Signed status codes: zero or positive is success, negative is failure.
#include <cstdint>

namespace plat {

using Status = int32_t;

inline constexpr Status kOk = 0;
inline constexpr Status kFail = static_cast<Status>(0x80004005u);        // generic failure
inline constexpr Status kInvalidArg = static_cast<Status>(0x80070057u);  // invalid argument

inline constexpr bool Failed(Status s) { return s < 0; }
inline constexpr bool Succeeded(Status s) { return s >= 0; }

}  // namespace plat
