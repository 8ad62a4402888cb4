// The world of the game in play: its level grid, its game state, its actor list and hero, the two
// teleporters and the colour counter of the particles. The program holds one (World()); the
// play state lives nowhere else.
#pragma once

#include <cstdint>
#include <memory>

#include "data/level_map.h"
#include "world/actor_list.h"
#include "world/game_state.h"

class TBraxTovar;

struct TWorld {
  TLevelGrid Grid;
  // Never null: a blank state until a game starts; a new, loaded or quick-loaded game
  // replaces it.
  PGameState State = std::make_shared<TGameState>();
  bool GameStarted = false;  // a game was started: there is a level to draw and to save
  std::unique_ptr<TActorList> Actors = std::make_unique<TActorList>();
  std::shared_ptr<TBraxTovar> Player;
  std::shared_ptr<TInteractiveBackgroundItem> Teleporters[2];
  uint8_t ParticleColourCounter = 0;
};

TWorld& World();
// Back to the empty world of the program's start: no game state, no hero, an empty list.
void ResetWorld();

// The tile tests on the level in play.
inline bool IsSolid(int32_t x, int32_t y) { return World().Grid.IsSolid(x, y); }
inline bool IsHookable(int32_t x, int32_t y) { return World().Grid.IsHookable(x, y); }
