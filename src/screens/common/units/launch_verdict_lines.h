#pragma once
// What the panels that aim a missile say of its launch: its reach and the
// target's distance, and what it would strike or why it may not go. One
// wording for the silo's target box and the orders' strike panel.
#include <string>

struct LaunchVerdict;
struct World;

// "Reach 18 hexes, target 11", or "Reach 18 hexes" without a target hex.
std::string LaunchReachLine(const LaunchVerdict& v);

// "Strikes Ore Mine" (or "Strikes the hex" for a class not found) when the
// launch may go, else the reason: "Out of reach". The caller holds the
// simulation lock.
std::string LaunchStrikesLine(const World& world, const LaunchVerdict& v);
