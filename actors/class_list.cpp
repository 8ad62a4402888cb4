// Every actor class, registered by name (quick load, the tests), and what the hero and the
// world need from the actors: the elevator ride and the spawns the world calls itself.
#include "actors/families.h"
#include "actors/spawn.h"
#include "world/world.h"

void InstallActors() {
  for (const auto* family :
       {&EffectClasses(), &PickupClasses(), &HazardClasses(), &InteractiveClasses(),
        &MechanicsClasses(), &WalkerClasses(), &FlyerClasses()})
    for (const TClassInfo* cls : *family) RegisterClass(*cls);
  InstallMechanicsHandlers();
  TWorldSpawns spawns;
  spawns.Dust = SpawnDust;
  spawns.Particles = SpawnParticles;
  spawns.BraxShot = SpawnBraxShot;
  spawns.ScoreFlasher = ScoreFlasher;
  spawns.ObjectCode = SpawnObjectCode;
  spawns.ConveyorBelt = SpawnConveyorBelt;
  spawns.FakeBridge = SpawnFakeBridge;
  SetWorldSpawns(spawns);
}
