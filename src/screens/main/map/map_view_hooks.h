#pragma once
// Hands the world and the unit simulation their ways into the map view:
// resetting it when the map changes and reading the hexes in view.

// Installs the map view's hooks; called once at start-up.
void InstallMapViewHooks();
