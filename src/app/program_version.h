#pragma once
// The program's version, reported in the game log and compared between peers.
inline constexpr int kProgramVersionMajor = 0;
inline constexpr int kProgramVersionMinor = 1;
inline constexpr int kProgramVersionBuild = 0;
