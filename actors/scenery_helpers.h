// Small helpers of the hazard and interactive item code: drawing at the actor, player
// contact, the player shots an actor is hit by, and animation phases of the tick counter.
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

int32_t SceneryCamX() { return CurrentGameState ? Game().CamX : 0; }
int32_t SceneryCamY() { return CurrentGameState ? Game().CamY : 0; }

// One 16 x 16 sprite with its bottom row on PosY, moved by (dx, dy) pixels.
[[maybe_unused]] void DrawAtActor(const TGameObject& actor, int sprite, int dx = 0, int dy = 0) {
  DrawSprite(float(8 * (actor.PosX - SceneryCamX()) + 16 + dx),
             float(actor.PosY - 16 * SceneryCamY() + 1 + dy), sprite);
}

[[maybe_unused]] bool TouchesPlayer(const TActor& actor) {
  return Player && actor.CollidesWith(*Player);
}

// The game tick counter modulo n (never negative), for animations that run in step.
[[maybe_unused]] int32_t TickPhase(int32_t n) {
  int32_t t = CurrentGameState ? Game().Timer : 0;
  return ((t % n) + n) % n;
}

// The listed player shots that collide with the actor, in list order; only the first when
// firstOnly is set.
[[maybe_unused]] std::vector<std::shared_ptr<TActor>> PlayerShotsHitting(const TActor& actor,
                                                                         bool firstOnly) {
  std::vector<std::shared_ptr<TActor>> shots;
  ForEachListed<TBraxShot>([&](const PBraxShot& shot) {
    if (!shot->IsListed() || !actor.CollidesWith(*shot)) return false;
    shots.push_back(shot);
    return firstOnly;
  });
  return shots;
}

}  // namespace
