#pragma once
// What a hex's lead facility costs its owner to run for a day. The daily hex
// pass charges it, and the facility and research pages show it, so a running
// cost shown is the running cost paid.
struct World;
struct UnitClassRecord;

// Only settlements and production facilities with a build time cost anything
// to run: a working one (strength + 1) x its price per build day / 448,000 of
// the owner's GDP a head; one idle in reserve (2 x strength + 1) / 1,792,000
// of it, unless it is idle for nothing (under repair, or mothballed).
float FacilityRunningCharge(const World& world, const UnitClassRecord& cls, float strength, float gdpPerCapita,
                            bool idle, bool idleForNothing);
