// The spawn operations: each creates one kind of level object with its own type, sets its
// members and adds it to its layer of the actor list. Positions are map cells (column,
// row) unless the parameters are x and y, which are object units. The world reaches the
// few it needs itself through the table that InstallActors gives it (SetWorldSpawns).
#pragma once

#include <cstdint>

#include "world/actor_list.h"

void ScoreFlasher(TWorld& world, int kind, int32_t x, int32_t y);
void SpawnBackgroundSprite(TWorld& world, int sprite, int column, int row);
void SpawnKey(TWorld& world, int keyNumber, int column, int row);
void SpawnSpikes(TWorld& world, int flag, int column, int row);
void SpawnNail(TWorld& world, int column, int row);
void SpawnCamera(TWorld& world, int column, int row);
void SpawnACMESign(TWorld& world, int column, int row);
void SpawnCrawlBot(TWorld& world, int orientation, int column, int row);
void SpawnBox(TWorld& world, int sprite, int contentId, int column, int row);
void SpawnBalloonBox(TWorld& world, int column, int row);
void SpawnExitDoor(TWorld& world, int column, int row);
void SpawnElevator(TWorld& world, int column, int row);
void SpawnGoodie(TWorld& world, int goodieId, int column, int row,
                 const TActorListEntry* container = nullptr);
void SpawnReactor(TWorld& world, int column, int row);
void SpawnRocket(TWorld& world, int column, int row);
void SpawnTechBot(TWorld& world, int column, int row);
void SpawnHoverBot(TWorld& world, int column, int row);
void SpawnFlameBot(TWorld& world, int column, int row);
void SpawnBunnyBot(TWorld& world, int column, int row);
void SpawnCannonBot(TWorld& world, int column, int row);
void SpawnWheelBot(TWorld& world, int column, int row);
void SpawnJumpBot(TWorld& world, int column, int row);
void SpawnHelicopter(TWorld& world, int column, int row);
void SpawnDrMalvex(TWorld& world, int flag, int column, int row);
void SpawnSnake(TWorld& world, int column, int row);
void SpawnMine(TWorld& world, int column, int row);
void SpawnJumpingMine(TWorld& world, int column, int row);
void SpawnExplosion(TWorld& world, int32_t x, int32_t y, int direction);
void SpawnFlameThrower(TWorld& world, int orientation, int column, int row);
void SpawnKeyHole(TWorld& world, int keyNumber, int column, int row);
void SpawnKeyDoor(TWorld& world, int keyNumber, int column, int row);
void SpawnGloveSlot(TWorld& world, int column, int row);
void SpawnCardSlot(TWorld& world, int column, int row);
void SpawnForceField(TWorld& world, int column, int row);
void SpawnNote(TWorld& world, int column, int row);
void SpawnMalvexScreen(TWorld& world, int column, int row);
void SpawnEnergyBeam(TWorld& world, int column, int row);
void SpawnFan(TWorld& world, int direction, int column, int row);
void SpawnTeleporter(TWorld& world, int index, int column, int row);
void SpawnSmokeCloud(TWorld& world, int32_t x, int32_t y);
void SpawnDust(TWorld& world, int32_t x, int32_t y);
void SpawnDecoExplosion(TWorld& world, int32_t x, int32_t y);
void SpawnParticles(TWorld& world, int32_t x, int32_t y);
void SpawnWhiteBall(TWorld& world, int32_t x, int32_t y);
void SpawnMetalShard(TWorld& world, int32_t x, int32_t y);
void SpawnBraxShot(TWorld& world, int32_t x, int32_t y, int direction);
void SpawnEnemyShot(TWorld& world, int32_t x, int32_t y, int direction);
// Extenders, fake bridges and belts take a column and row as x and y: they work on cells.
void SpawnExtender(TWorld& world, int32_t x, int32_t y);
void SpawnFakeBridge(TWorld& world, int32_t x, int32_t y, int width);
void SpawnConveyorBelt(TWorld& world, int32_t x, int32_t y, int endX, int direction);
// The object-code table of the level loader: one object code of the map at its cell.
void SpawnObjectCode(TWorld& world, uint16_t code, int column, int row);
