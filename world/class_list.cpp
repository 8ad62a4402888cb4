// The world's own object classes, first in the registry; the actor families register theirs
// at start-up (InstallActors).
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/object_model.h"
#include "world/player.h"

std::vector<const TClassInfo*> CoreClasses() {
  return {
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
}
