// Every actor class, registered by name (quick load, spawning by name), and what the hero and
// the level loader need from the actors.
#include "actors/families.h"
#include "world/world.h"

void InstallActors() {
  for (const auto* family :
       {&EffectClasses(), &PickupClasses(), &HazardClasses(), &InteractiveClasses(),
        &MechanicsClasses(), &WalkerClasses(), &FlyerClasses()})
    for (const TClassInfo* cls : *family) RegisterClass(*cls);
  InstallActorHandlers();
  InstallLevelHooks();
}
