// The world of the game in play: its level grid, its game state, its actor list and hero,
// the two teleporters and the colour counter of the particles. The program holds one
// (World()); the play state lives nowhere else.
#pragma once

#include <cstdint>
#include <memory>

#include "data/level_map.h"
#include "world/actor_list.h"
#include "world/game_state.h"

class TBraxTovar;

struct TWorld {
  TWorld() { Actors->Owner = this; }
  TWorld(const TWorld&) = delete;  // the list and its objects point back to their world
  TWorld& operator=(const TWorld&) = delete;

  TLevelGrid Grid;
  // Never null: a blank state until a game starts; a new, loaded or quick-loaded game
  // replaces it.
  PGameState State = std::make_shared<TGameState>();
  bool GameStarted = false;  // a game was started: there is a level to draw and to save
  std::unique_ptr<TActorList> Actors = std::make_unique<TActorList>();
  std::shared_ptr<TBraxTovar> Player;
  std::shared_ptr<TInteractiveBackgroundItem> Teleporters[2];
  uint8_t ParticleColourCounter = 0;

  // Puts a list in place of the current one (which is dropped as it is); its objects
  // belong to this world from now on.
  void SetActors(std::unique_ptr<TActorList> list);
};

TWorld& World();
// Back to the empty world of the program's start: a blank game state, no hero, an empty
// list; at the same address, so that references to World() stay valid.
void ResetWorld();
