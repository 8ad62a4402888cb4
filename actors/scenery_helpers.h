// Small helpers of the hazard and interactive item code: the player shots an actor is hit by
// and animation phases of the tick counter.
// Internal to actors/hazards.cpp and actors/interactive.cpp (each gets its own copy).
#pragma once

#include <memory>
#include <vector>

#include "actors/effects.h"
#include "data/graphics.h"
#include "world/actor_list.h"
#include "world/game_state.h"
#include "world/player.h"

namespace {

// The game tick counter modulo n (never negative), for animations that run in step.
[[maybe_unused]] int32_t TickPhase(const TGameState& game, int32_t n) {
  int32_t t = game.Timer;
  return ((t % n) + n) % n;
}

// The listed player shots that collide with the actor, in list order; only the first when
// firstOnly is set.
[[maybe_unused]] std::vector<std::shared_ptr<TActor>> PlayerShotsHitting(const TActor& actor,
                                                                         bool firstOnly) {
  std::vector<std::shared_ptr<TActor>> shots;
  ForEachListed<TBraxShot>(actor.Actors(), [&](const PBraxShot& shot) {
    if (!shot->IsListed() || !actor.CollidesWith(*shot)) return false;
    shots.push_back(shot);
    return firstOnly;
  });
  return shots;
}

}  // namespace
