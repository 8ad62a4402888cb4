// The world: globals of the running level, the game tick, the camera, level loading and
// the spawn operations that create each kind of object.
#pragma once

#include <cstdint>
#include <string>

#include "world/actor_list.h"

// The teleporters of the level by their index 0 and 1.
extern std::shared_ptr<TInteractiveBackgroundItem> Teleporters[2];
extern uint8_t ParticleColourCounter;

// One frame of play with the six buttons of the tick.
void GameTick(bool up, bool down, bool left, bool right, bool fire, bool jump);
// Draws a still frame of the level without changing anything.
void RedrawGame();
void ScrollCameraX();
void ScrollCameraY();
// The mirror time guard: milliseconds that DrawMirrors took in this tick. Switches the
// mirrors off after two slow ticks in a row.
void MirrorTimeGuard(uint32_t milliseconds);
void ResetMirrorTimeGuard();

// The level sequence: starts map MapOn (game state, backdrops, music, map). True when loaded.
bool LoadLevel();
// Installs the object-code table into the level loader (InstallActors does, with the
// actor classes it needs).
void InstallLevelHooks();
// Advances after a finished level (bonus flashers, automatic save).
void AdvanceToNextMap();
// Map and backdrop lists of the episode (from the string tables).
int LastMapNumber();

// --- Spawn operations: cells unless marked as object units ---------------------------
// Creates an object of a registered class by name; null when the class is not known.
std::shared_ptr<TGameObject> CreateObject(const std::string& className);
// Sets an integer field of an object by name (any integer type); false when missing.
bool SetObjectField(TObject& object, const std::string& field, int64_t value);
bool GetObjectField(TObject& object, const std::string& field, int64_t& value);

void CreatePlayer(int column, int row);
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
void ScoreFlasher(int kind, int32_t x, int32_t y);
void SpawnBackgroundSprite(int sprite, int column, int row);
void SpawnKey(int keyNumber, int column, int row);
void SpawnSpikes(int flag, int column, int row);
void SpawnNail(int column, int row);
void SpawnCamera(int column, int row);
void SpawnACMESign(int column, int row);
void SpawnCrawlBot(int orientation, int column, int row);
void SpawnBox(int sprite, int contentId, int column, int row);
void SpawnBalloonBox(int column, int row);
void SpawnExitDoor(int column, int row);
void SpawnElevator(int column, int row);
void SpawnGoodie(int goodieId, int column, int row, const TActorListEntry* container = nullptr);
void SpawnReactor(int column, int row);
void SpawnRocket(int column, int row);
void SpawnTechBot(int column, int row);
void SpawnHoverBot(int column, int row);
void SpawnFlameBot(int column, int row);
void SpawnBunnyBot(int column, int row);
void SpawnCannonBot(int column, int row);
void SpawnWheelBot(int column, int row);
void SpawnJumpBot(int column, int row);
void SpawnHelicopter(int column, int row);
void SpawnDrMalvex(int flag, int column, int row);
void SpawnSnake(int column, int row);
void SpawnMine(int column, int row);
void SpawnJumpingMine(int column, int row);
void SpawnExplosion(int32_t x, int32_t y, int direction);
void SpawnFlameThrower(int orientation, int column, int row);
void SpawnKeyHole(int keyNumber, int column, int row);
void SpawnKeyDoor(int keyNumber, int column, int row);
void SpawnGloveSlot(int column, int row);
void SpawnCardSlot(int column, int row);
void SpawnForceField(int column, int row);
void SpawnNote(int column, int row);
void SpawnMalvexScreen(int column, int row);
void SpawnEnergyBeam(int column, int row);
void SpawnFan(int direction, int column, int row);
void SpawnTeleporter(int index, int column, int row);
void SpawnSmokeCloud(int32_t x, int32_t y);
void SpawnDust(int32_t x, int32_t y);
void SpawnDecoExplosion(int32_t x, int32_t y);
void SpawnParticles(int32_t x, int32_t y);
void SpawnWhiteBall(int32_t x, int32_t y);
void SpawnMetalShard(int32_t x, int32_t y);
void SpawnBraxShot(int32_t x, int32_t y, int direction);
void SpawnEnemyShot(int32_t x, int32_t y, int direction);
void SpawnExtender(int32_t x, int32_t y);
void SpawnFakeBridge(int32_t x, int32_t y, int width);
void SpawnConveyorBelt(int32_t x, int32_t y, int endX, int direction);
// The object-code table of the level loader.
void SpawnObjectCode(uint16_t code, int column, int row);

// A hash over the game state and every reflected field of every listed object, in list
// order: equal inputs from an equal start give equal hashes after every tick.
uint64_t WorldStateHash();
