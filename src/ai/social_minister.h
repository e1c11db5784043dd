#pragma once
// The social minister: each day in its band it watches stability and the
// groups' satisfaction, raises the social spending items that fall behind
// and keeps the military research budget near its mark.
struct World;
struct PlayerRecord;

// Runs the step for a region whose social post is served; else nothing.
void DepartmentMinisterStepD(World& world, PlayerRecord& region);
