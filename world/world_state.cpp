#include "world/world_state.h"

#include <optional>

namespace {

std::optional<TWorld>& Instance() {
  static std::optional<TWorld> world{std::in_place};
  return world;
}

}  // namespace

TWorld& World() { return *Instance(); }

void TWorld::SetActors(std::unique_ptr<TActorList> list) {
  Actors = std::move(list);
  Actors->Owner = this;
  for (const PActorListEntry& e : Actors->Entries()) e->Home = this;
}

void ResetWorld() {
  World().Actors->Clear();
  Instance().emplace();
}

TWorld& TActorListEntry::World() const { return Home ? *Home : ::World(); }
TGameState& TActorListEntry::Game() const { return *World().State; }
TActorList& TActorListEntry::Actors() const { return *World().Actors; }
bool TActorListEntry::IsSolid(int32_t x, int32_t y) const { return World().Grid.IsSolid(x, y); }
bool TActorListEntry::IsHookable(int32_t x, int32_t y) const {
  return World().Grid.IsHookable(x, y);
}

TGameState& Game() { return *World().State; }
