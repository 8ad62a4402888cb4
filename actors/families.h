// The actor families: each lists its classes for the registry; the mechanics install the
// elevator ride the hero needs.
#pragma once

#include <vector>

#include "world/object_model.h"

const std::vector<const TClassInfo*>& EffectClasses();       // shots, explosions, effects
const std::vector<const TClassInfo*>& PickupClasses();       // pickups and bonuses
const std::vector<const TClassInfo*>& HazardClasses();       // hazards and targets
const std::vector<const TClassInfo*>& InteractiveClasses();  // interactive background items
const std::vector<const TClassInfo*>& MechanicsClasses();    // level mechanics
const std::vector<const TClassInfo*>& WalkerClasses();       // walking robots
const std::vector<const TClassInfo*>& FlyerClasses();        // flying robots, villain, snake

// Registers the actor classes and the elevator ride, then gives the world its spawns and
// with them the level loader's object table: what a level needs before it loads (at
// start-up; repeating is harmless).
void InstallActors();
void InstallMechanicsHandlers();  // the elevator ride
