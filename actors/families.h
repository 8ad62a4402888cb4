// The actor families: each lists its classes for the registry and installs what the hero
// and the world need from it (use handlers, the elevator ride).
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

// Registers the actor classes, the use handlers and the elevator ride, then the world's
// level hooks: what a level needs before it loads (at start-up; repeating is harmless).
void InstallActors();
void InstallActorHandlers();
void InstallInteractiveHandlers();  // what Up does to each interactive item class
void InstallMechanicsHandlers();    // the elevator ride
