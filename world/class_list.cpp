// Every object class that can be found by name (quick load, spawning by name).
// Each actor family adds its classes here.
#include "actors/families.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/player.h"

namespace {
std::vector<const TClassInfo*> CollectClasses() {
  std::vector<const TClassInfo*> classes = {
      &TObject::StaticClass(),
      &TActorListEntry::StaticClass(),
      &TListSeparator::StaticClass(),
      &TGameObject::StaticClass(),
      &TVisibleObject::StaticClass(),
      &TActor::StaticClass(),
      &TInteractiveBackgroundItem::StaticClass(),
      &TGameState::StaticClass(),
      &TBraxTovar::StaticClass(),
  };
  for (const auto* family :
       {&EffectClasses(), &PickupClasses(), &HazardClasses(), &InteractiveClasses(),
        &MechanicsClasses(), &WalkerClasses(), &FlyerClasses()})
    classes.insert(classes.end(), family->begin(), family->end());
  return classes;
}
}  // namespace

const std::vector<const TClassInfo*>& AllClasses() {
  static const std::vector<const TClassInfo*> classes = CollectClasses();
  return classes;
}
