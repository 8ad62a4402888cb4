// The spawn operations: each creates one kind of level object with its own type, sets its
// members and adds it to its layer of the actor list. Positions are map cells (column,
// row) unless the parameters are x and y, which are object units. The world reaches the
// few it needs itself through the table that InstallActors gives it (SetWorldSpawns).
#pragma once

#include <cstdint>

#include "world/actor_list.h"

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
// Extenders, fake bridges and belts take a column and row as x and y: they work on cells.
void SpawnExtender(int32_t x, int32_t y);
void SpawnFakeBridge(int32_t x, int32_t y, int width);
void SpawnConveyorBelt(int32_t x, int32_t y, int endX, int direction);
// The object-code table of the level loader: one object code of the map at its cell.
void SpawnObjectCode(uint16_t code, int column, int row);
