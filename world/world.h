// What the world does with a TWorld (world_state.h): the game tick, the camera, level
// loading, the state hash, the hero's creation and the spawns that the world calls itself.
#pragma once

#include <cstdint>
#include <string>

#include "world/actor_list.h"

struct TWorld;

// One frame of play with the six buttons of the tick.
void GameTick(TWorld& world, bool up, bool down, bool left, bool right, bool fire, bool jump);
// Draws a still frame of the level without changing anything; nothing before a game.
void RedrawGame(TWorld& world);
void ScrollCameraX(TWorld& world);
void ScrollCameraY(TWorld& world);
// The mirror time guard: milliseconds that DrawMirrors took in this tick. Switches the
// mirrors off after two slow ticks in a row.
void MirrorTimeGuard(uint32_t milliseconds);
void ResetMirrorTimeGuard();

// The level sequence: starts map MapOn (game state, backdrops, music, map). True when loaded.
bool LoadLevel(TWorld& world);
// Reads a level file (GameDir + name) into the world: its grid, its hero and its objects.
// True when loaded; on failure the world is left as it was.
bool LoadMap(TWorld& world, const std::string& name);
// Advances after a finished level (bonus flashers, automatic save).
void AdvanceToNextMap(TWorld& world);
// Map and backdrop lists of the episode (from the string tables).
int LastMapNumber();

// --- Spawning ----------------------------------------------------------------------------
// Objects and fields by class and field name, through the registry: the tests use all
// three, the quick load reads a teleporter's index with GetObjectField; the game itself
// creates every object with its type.
// Creates an object of a registered class by name; null when the class is not known.
std::shared_ptr<TGameObject> CreateObject(const std::string& className);
// Sets an integer field of an object by name (any integer type); false when missing.
bool SetObjectField(TObject& object, const std::string& field, int64_t value);
bool GetObjectField(TObject& object, const std::string& field, int64_t& value);

// Replaces the hero by a new one at the cell.
void CreatePlayer(TWorld& world, int column, int row);

// The kinds of ScoreFlasher: the points it gives and shows.
constexpr int Flasher100 = 1;
constexpr int Flasher200 = 2;
constexpr int Flasher500 = 3;
constexpr int Flasher1000 = 4;
constexpr int Flasher2000 = 5;
constexpr int Flasher5000 = 6;
constexpr int Flasher10000 = 7;
constexpr int FlasherRandom = 16;       // 100, 500, 2000 or 5000 by the game timer
constexpr int FlasherLevelBonus = 101;  // + bonus bit: 10000 points, the large popup
constexpr int LevelBonusCount = 7;

// The spawns that the world calls itself (the hero's dust, particles and shots, the level
// bonus popups, the level loader's objects). The objects are the actors', so the actors
// fill this table at start-up (InstallActors); an empty entry spawns nothing. Positions as
// in actors/spawn.h.
struct TWorldSpawns {
  void (*Dust)(TWorld& world, int32_t x, int32_t y) = nullptr;
  void (*Particles)(TWorld& world, int32_t x, int32_t y) = nullptr;
  void (*BraxShot)(TWorld& world, int32_t x, int32_t y, int direction) = nullptr;
  void (*ScoreFlasher)(TWorld& world, int kind, int32_t x, int32_t y) = nullptr;
  void (*ObjectCode)(TWorld& world, uint16_t code, int column, int row) = nullptr;
  void (*ConveyorBelt)(TWorld& world, int32_t column, int32_t row, int endColumn,
                       int direction) = nullptr;
  void (*FakeBridge)(TWorld& world, int32_t column, int32_t row, int width) = nullptr;
};
// Sets the table (the level loader spawns through it too).
void SetWorldSpawns(const TWorldSpawns& spawns);
const TWorldSpawns& WorldSpawns();

// A hash over the game state and every reflected field of every listed object, in list
// order: equal inputs from an equal start give equal hashes after every tick.
uint64_t WorldStateHash(const TWorld& world);
