// The spawn operations: every object is made with its own type and its members set
// directly, so a misspelt class or field does not compile. The order of creation, of the
// members set and of the insertion into the list is the order the game has always used.
#include "actors/spawn.h"

#include "actors/effects.h"
#include "actors/flyers.h"
#include "actors/hazards.h"
#include "actors/interactive.h"
#include "actors/mechanics.h"
#include "actors/pickups.h"
#include "actors/walkers.h"
#include "data/object_codes.h"
#include "data/sound.h"
#include "shell/log.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

namespace {

using PGame = std::shared_ptr<TGameObject>;

// Creates a T at (x, y) in object units and adds it to the layer.
template <class T>
std::shared_ptr<T> Place(TWorld& world, int32_t x, int32_t y, int layer) {
  auto object = std::make_shared<T>();
  object->PosX = x;
  object->PosY = y;
  world.Actors->AddToLayer(object, layer);
  return object;
}

template <class T>
std::shared_ptr<T> PlaceAtCell(TWorld& world, int column, int row, int layer) {
  return Place<T>(world, CellX(column), CellY(row), layer);
}

void Tally(TWorld& world, int32_t TGameState::*counter) { ++((*world.State).*counter); }

// The object a goodie ID stands for; null for an unknown ID.
PGame MakeGoodie(int goodieId) {
  switch (goodieId) {
    case GoodieFootball: return std::make_shared<TFootball>();
    case GoodieTurkey: return std::make_shared<TTurkey>();
    case GoodieSoda: return std::make_shared<TSoda>();
    case GoodieDisk: return std::make_shared<TDisk>();
    case GoodieJoystick: return std::make_shared<TJoystick>();
    case GoodieFlag: return std::make_shared<TFlag>();
    case GoodieRadio: return std::make_shared<TRadio>();
    case GoodieBalloon: return std::make_shared<TBalloon>();
    case GoodieBoots: return std::make_shared<TBoots>();
    case GoodieHooks: return std::make_shared<THooks>();
    case GoodieGlove: return std::make_shared<TGlove>();
    case GoodieAccessCard: return std::make_shared<TAccessCard>();
    case GoodiePistol: return std::make_shared<TPistol>();
    case GoodieAtom: return std::make_shared<TAtom>();
    case GoodieDynamite: return std::make_shared<TDynamite>();
    case GoodieLetterB:
    case GoodieLetterB + 1:
    case GoodieLetterB + 2:
    case GoodieLetterB + 3: {
      auto letter = std::make_shared<TLetter>();
      letter->LetterNum = uint8_t(goodieId - GoodieLetterB);
      return letter;
    }
    default: return nullptr;
  }
}

}  // namespace

void ScoreFlasher(TWorld& world, int kind, int32_t x, int32_t y) {
  static const int Points[] = {100, 200, 500, 1000, 2000, 5000, 10000};
  static const int RandomKinds[4] = {Flasher100, Flasher500, Flasher2000, Flasher5000};
  if (kind == FlasherRandom) kind = RandomKinds[uint32_t(world.State->Timer) % 4];
  std::shared_ptr<TBonusFlasher> flasher;
  if (kind >= Flasher100 && kind <= Flasher10000) {
    world.State->AddScore(Points[kind - Flasher100]);
    flasher = std::make_shared<TBonusFlasher>();
    flasher->BaseSprite = SpriteScorePopup + 2 * (kind - Flasher100);
    flasher->TimeToLive = 39;
  } else if (kind >= FlasherLevelBonus && kind < FlasherLevelBonus + LevelBonusCount) {
    world.State->AddScore(10000);
    flasher = std::make_shared<TLargeBonusFlasher>();
    flasher->BaseSprite = SpriteBonusPopup + 4 * (kind - FlasherLevelBonus);
    flasher->TimeToLive = y + 16;
  }
  if (!flasher) return;
  flasher->PosX = x;
  flasher->PosY = y;
  world.Actors->AddToLayer(flasher, LayerEffects);
}

void SpawnBackgroundSprite(TWorld& world, int sprite, int column, int row) {
  Place<TBackgroundSprite>(world, CellX(column), 16 * row, LayerBackground)->SpriteIndex =
      uint16_t(sprite);
}

void SpawnKey(TWorld& world, int keyNumber, int column, int row) {
  PlaceAtCell<TKey>(world, column, row, LayerObjects)->KeyNum = uint8_t(keyNumber);
}

void SpawnSpikes(TWorld& world, int flag, int column, int row) {
  PlaceAtCell<TSpikes>(world, column, row, LayerObjects)->SpriteIndex =
      flag ? SpriteCeilingSpikes : SpriteFloorSpikes;
}

void SpawnNail(TWorld& world, int column, int row) {
  PlaceAtCell<TNail>(world, column, row, LayerObjects);
}

void SpawnCamera(TWorld& world, int column, int row) {
  PlaceAtCell<TCamera>(world, column, row, LayerObjects);
  Tally(world, &TGameState::CamsTotal);
}

void SpawnACMESign(TWorld& world, int column, int row) {
  PlaceAtCell<TACMESign>(world, column, row, LayerObjects);
  Tally(world, &TGameState::SignsTotal);
}

void SpawnCrawlBot(TWorld& world, int orientation, int column, int row) {
  PlaceAtCell<TCrawlBot>(world, column, row, LayerObjects)->Orientation = uint8_t(orientation);
}

void SpawnBox(TWorld& world, int sprite, int contentId, int column, int row) {
  auto box = PlaceAtCell<TBox>(world, column, row, LayerObjects);
  box->BoxSprite = uint16_t(sprite);
  box->ContentID = uint16_t(contentId);
}

void SpawnBalloonBox(TWorld& world, int column, int row) {
  PlaceAtCell<TBalloonBox>(world, column, row, LayerObjects);
}

void SpawnExitDoor(TWorld& world, int column, int row) {
  Place<TExitDoor>(world, CellX(column) + 1, CellY(row), LayerBackground);
}

void SpawnElevator(TWorld& world, int column, int row) {
  PlaceAtCell<TElevator>(world, column, row, LayerBackground)->InitialY = row;
}

void SpawnGoodie(TWorld& world, int goodieId, int column, int row,
                 const TActorListEntry* container) {
  if (goodieId == 0) return;
  PGame object = MakeGoodie(goodieId);
  if (!object) {
    LogLine("WARNING :: SpawnGoodie :: unknown ID 0x" + HexDigits(goodieId, 4));
    return;
  }
  object->PosX = CellX(column);
  object->PosY = CellY(row);
  if (container)
    world.Actors->InsertAfter(object, *container);
  else
    world.Actors->AddToLayer(object, LayerObjects);
}

void SpawnReactor(TWorld& world, int column, int row) {
  PlaceAtCell<TReactor>(world, column, row, LayerFront);
}

void SpawnRocket(TWorld& world, int column, int row) {
  PlaceAtCell<TRocket>(world, column, row, LayerObjects);
  Tally(world, &TGameState::MissilesTotal);
}

void SpawnTechBot(TWorld& world, int column, int row) {
  PlaceAtCell<TTechBot>(world, column, row, LayerObjects);
}
void SpawnHoverBot(TWorld& world, int column, int row) {
  Place<THoverBot>(world, CellX(column), 16 * row - 1, LayerFlyers);
}
void SpawnFlameBot(TWorld& world, int column, int row) {
  PlaceAtCell<TFlameBot>(world, column, row, LayerObjects);
}

void SpawnBunnyBot(TWorld& world, int column, int row) {
  PlaceAtCell<TBunnyBot>(world, column, row, LayerObjects);
  Tally(world, &TGameState::BunniesTotal);
}

void SpawnCannonBot(TWorld& world, int column, int row) {
  PlaceAtCell<TCannonBot>(world, column, row, LayerObjects);
}
void SpawnWheelBot(TWorld& world, int column, int row) {
  Place<TWheelBot>(world, CellX(column) + 1, CellY(row), LayerObjects);
}
void SpawnJumpBot(TWorld& world, int column, int row) {
  Place<TJumpBot>(world, CellX(column) + 1, CellY(row), LayerFlyers);
}
void SpawnHelicopter(TWorld& world, int column, int row) {
  Place<THelicopter>(world, CellX(column) + 2, 16 * row + 7, LayerFlyers);
}

void SpawnDrMalvex(TWorld& world, int flag, int column, int row) {
  auto villain = PlaceAtCell<TDrMalvex>(world, column, row, LayerFlyers);
  villain->IsExploding = uint8_t(flag);
  if (flag) villain->Health = 10;
}

// A level has one snake: a new one replaces the old, nine segments that start one tick
// apart from the head.
void SpawnSnake(TWorld& world, int column, int row) {
  for (TListLink* link : std::vector<TListLink*>(world.Actors->Indexed(TSnakeBot::StaticClass())))
    link->Object->Remove();
  world.State->SnakesTotal = 0;
  for (int i = 0; i < 9; ++i) {
    Place<TSnakeBot>(world, 2 * (column + i), CellY(row), LayerFlyers)->StartDelay = uint8_t(8 - i);
    Tally(world, &TGameState::SnakesTotal);
  }
}

void SpawnMine(TWorld& world, int column, int row) {
  PlaceAtCell<TMine>(world, column, row, LayerObjects);
}
void SpawnJumpingMine(TWorld& world, int column, int row) {
  PlaceAtCell<TJumpingMine>(world, column, row, LayerObjects);
}

void SpawnExplosion(TWorld& world, int32_t x, int32_t y, int direction) {
  Place<TExplosion>(world, x, y, LayerObjects)->Direction = direction;
}

void SpawnFlameThrower(TWorld& world, int orientation, int column, int row) {
  PlaceAtCell<TFlameThrower>(world, column, row, LayerObjects)->Orientation = uint8_t(orientation);
}

void SpawnKeyHole(TWorld& world, int keyNumber, int column, int row) {
  PlaceAtCell<TKeyHole>(world, column, row, LayerWallItems)->KeyNum = uint8_t(keyNumber);
}

void SpawnKeyDoor(TWorld& world, int keyNumber, int column, int row) {
  PlaceAtCell<TKeyDoor>(world, column, row, LayerObjects)->KeyNum = uint8_t(keyNumber);
}

void SpawnGloveSlot(TWorld& world, int column, int row) {
  PlaceAtCell<TGloveSlot>(world, column, row, LayerWallItems);
}
void SpawnCardSlot(TWorld& world, int column, int row) {
  PlaceAtCell<TCardSlot>(world, column, row, LayerWallItems);
}

// The field and its two invisible ends, which push the hero back out.
void SpawnForceField(TWorld& world, int column, int row) {
  PlaceAtCell<TForceField>(world, column, row, LayerObjects);
  Place<TForceFieldLeft>(world, CellX(column) - 1, CellY(row), LayerObjects);
  Place<TForceFieldRight>(world, CellX(column) + 1, CellY(row), LayerObjects);
}

void SpawnNote(TWorld& world, int column, int row) {
  PlaceAtCell<TNote>(world, column, row, LayerWallItems);
}

// The screen and a trigger on either side that switches it on when the hero walks by.
void SpawnMalvexScreen(TWorld& world, int column, int row) {
  auto screen = PlaceAtCell<TMalvexScreen>(world, column, row, LayerWallItems);
  for (int32_t dx : {-6, 8})
    Place<TMonitorTrigger>(world, screen->PosX + dx, screen->PosY, LayerWallItems)->Monitor =
        screen;
}

void SpawnEnergyBeam(TWorld& world, int column, int row) {
  PlaceAtCell<TEnergyBeam>(world, column, row, LayerObjects);
}

// The fan and its wind on the side it blows to; the wind follows the fan in the list.
void SpawnFan(TWorld& world, int direction, int column, int row) {
  auto fan = PlaceAtCell<TFan>(world, column, row, LayerObjects);
  auto wind = std::make_shared<TWind>();
  wind->Direction = uint8_t(direction);
  wind->PosY = fan->PosY;
  wind->PosX = direction ? fan->PosX + fan->Width : fan->PosX - wind->Width;
  fan->Wind = wind;
  world.Actors->AddToLayer(wind, LayerObjects);
}

void SpawnTeleporter(TWorld& world, int index, int column, int row) {
  auto teleporter = Place<TTeleporter>(world, 2 * (column + 1), CellY(row), LayerFront);
  teleporter->TeleIndex = uint8_t(index);
  world.Teleporters[index ? 1 : 0] = teleporter;
}

void SpawnSmokeCloud(TWorld& world, int32_t x, int32_t y) {
  Place<TSmokeCloud>(world, x, y, LayerEffects);
}
void SpawnDust(TWorld& world, int32_t x, int32_t y) { Place<TDust>(world, x, y, LayerEffects); }
void SpawnDecoExplosion(TWorld& world, int32_t x, int32_t y) {
  Place<TDecoExplosion>(world, x, y, LayerFront);
}
void SpawnWhiteBall(TWorld& world, int32_t x, int32_t y) {
  Place<TWhiteBall>(world, x, y, LayerFront);
}
void SpawnMetalShard(TWorld& world, int32_t x, int32_t y) {
  Place<TMetalShard>(world, x, y, LayerEffects);
}

// Four particles on their four paths; their colours rotate from one burst to the next.
void SpawnParticles(TWorld& world, int32_t x, int32_t y) {
  static const int32_t Dx[4] = {0, 0, 1, 1};
  static const int32_t Dy[4] = {1, -9, -7, 1};
  static const int32_t Colours[4][4] = {{1, 3, 0, 2}, {2, 1, 3, 0}, {1, 2, 3, 0}, {2, 0, 1, 3}};
  for (int i = 0; i < 4; ++i) {
    auto particle = std::make_shared<TParticle>();
    particle->PosX = x + Dx[i];
    particle->PosY = y + Dy[i];
    particle->ParticleIndex = uint8_t(i);
    particle->CurrentFrame = Colours[world.ParticleColourCounter & 3][i];
    world.Actors->AddToLayer(particle, LayerEffects);
  }
  world.ParticleColourCounter = uint8_t((world.ParticleColourCounter + 1) & 3);
}

// The hero has as many shots in the air at once as his fire power.
void SpawnBraxShot(TWorld& world, int32_t x, int32_t y, int direction) {
  if (world.State->PlayerShotsActive >= world.State->FirePower) return;
  auto shot = std::make_shared<TBraxShot>();
  shot->PosX = x;
  shot->PosY = y;
  shot->Direction = uint8_t(direction);
  world.Actors->AddToLayer(shot, LayerHero);
  ++world.State->PlayerShotsActive;
  PlayBraxSound(SoundHeroShot);
}

// The robots share three shots; a shot fired out of view is silent.
void SpawnEnemyShot(TWorld& world, int32_t x, int32_t y, int direction) {
  if (world.State->EnemyShotsActive >= 3) return;
  auto shot = std::make_shared<TEnemyShot>();
  shot->PosX = x;
  shot->PosY = y;
  shot->Direction = uint8_t(direction);
  world.Actors->AddToLayer(shot, LayerObjects);
  ++world.State->EnemyShotsActive;
  if (shot->Visible()) PlayBraxSound(SoundEnemyShot);
}

void SpawnExtender(TWorld& world, int32_t x, int32_t y) {
  Place<TExtender>(world, x, y, LayerMechanics);
}

void SpawnFakeBridge(TWorld& world, int32_t x, int32_t y, int width) {
  Place<TFakeBridge>(world, x, y, LayerMechanics)->Width = uint8_t(width);
}

void SpawnConveyorBelt(TWorld& world, int32_t x, int32_t y, int endX, int direction) {
  auto belt = Place<TConveyorBelt>(world, x, y, LayerMechanics);
  belt->EndX = endX;
  belt->Direction = uint8_t(direction);
}

void SpawnObjectCode(TWorld& world, uint16_t code, int c, int r) {
  switch (code) {
    case ObjectBoxEmpty: return SpawnBox(world, SpriteSupplyCrate, 0, c, r);
    case ObjectElevator: return SpawnElevator(world, c, r);
    case ObjectBoxBoots: return SpawnBox(world, SpriteSupplyCrate, GoodieBoots, c, r);
    case ObjectRocket: return SpawnRocket(world, c, r);
    case ObjectBoxHooks: return SpawnBox(world, SpriteSupplyCrate, GoodieHooks, c, r);
    case ObjectFlameThrowerRight: return SpawnFlameThrower(world, 0, c, r);
    case ObjectFlameThrowerLeft: return SpawnFlameThrower(world, 1, c - 2, r);
    case ObjectHoverBot: return SpawnHoverBot(world, c, r);
    case ObjectJumpBot: return SpawnJumpBot(world, c, r);
    case ObjectCannonBot: return SpawnCannonBot(world, c, r);
    case ObjectWheelBot: return SpawnWheelBot(world, c, r);
    case ObjectBoxPistol: return SpawnBox(world, SpriteSupplyCrate, GoodiePistol, c, r);
    case ObjectTechBot: return SpawnTechBot(world, c, r);
    case ObjectExitDoor: return SpawnExitDoor(world, c, r);
    case ObjectBoxDynamite: return SpawnBox(world, SpriteSupplyCrate, GoodieDynamite, c, r);
    case ObjectSnake: return SpawnSnake(world, c, r);
    case ObjectBoxSoda: return SpawnBox(world, SpriteFoodCrate, GoodieSoda, c, r);
    case ObjectCrawlBotWallLeft: return SpawnCrawlBot(world, 0, c, r);
    case ObjectCrawlBotWallRight: return SpawnCrawlBot(world, 1, c, r);
    case ObjectBoxTurkey: return SpawnBox(world, SpriteFoodCrate, GoodieTurkey, c, r);
    case ObjectEnergyBeam: return SpawnEnergyBeam(world, c, r);
    case ObjectFanBlowingLeft: return SpawnFan(world, 0, c, r);
    case ObjectFanBlowingRight: return SpawnFan(world, 1, c, r);
    case ObjectBoxFootball: return SpawnBox(world, SpriteBonusCrate, GoodieFootball, c, r);
    case ObjectBoxJoystick: return SpawnBox(world, SpriteBonusCrate, GoodieJoystick, c, r);
    case ObjectBoxDisk: return SpawnBox(world, SpriteBonusCrate, GoodieDisk, c, r);
    case ObjectBoxGlove: return SpawnBox(world, SpriteSupplyCrate, GoodieGlove, c, r);
    case ObjectForceField: return SpawnForceField(world, c, r);
    case ObjectHelicopter: return SpawnHelicopter(world, c, r);
    case ObjectBalloonBox: return SpawnBalloonBox(world, c, r);
    case ObjectCamera: return SpawnCamera(world, c, r);
    case ObjectLamp: return SpawnBackgroundSprite(world, SpriteLamp, c, r);
    case ObjectArrowRight: return SpawnBackgroundSprite(world, SpriteArrowRight, c, r);
    case ObjectArrowLeft: return SpawnBackgroundSprite(world, SpriteArrowLeft, c, r);
    case ObjectAlienPlant: return SpawnBackgroundSprite(world, SpriteAlienPlant, c, r);
    case ObjectBoxAtom: return SpawnBox(world, SpriteSupplyCrate, GoodieAtom, c, r);
    case ObjectSign: return SpawnACMESign(world, c, r);
    case ObjectReactor: return SpawnReactor(world, c, r);
    case ObjectNail: return SpawnNail(world, c, r);
    case ObjectBoxFlag: return SpawnBox(world, SpriteBonusCrate, GoodieFlag, c, r);
    case ObjectBoxRadio: return SpawnBox(world, SpriteBonusCrate, GoodieRadio, c, r);
    case ObjectTeleporter0: return SpawnTeleporter(world, 0, c, r);
    case ObjectTeleporter1: return SpawnTeleporter(world, 1, c, r);
    case ObjectJumpingMine: return SpawnJumpingMine(world, c, r);
    case ObjectHero: return CreatePlayer(world, c, r);
    case ObjectBoxAccessCard: return SpawnBox(world, SpriteSupplyCrate, GoodieAccessCard, c, r);
    case ObjectCardSlot: return SpawnCardSlot(world, c, r);
    case ObjectGloveSlot: return SpawnGloveSlot(world, c, r);
    case ObjectExtender: return SpawnExtender(world, c, r);  // an extender works on map cells
    case ObjectBoxLetterB:
    case ObjectBoxLetterB + 1:
    case ObjectBoxLetterB + 2:
    case ObjectBoxLetterB + 3:
      return SpawnBox(world, SpriteSupplyCrate, GoodieLetterB + (code - ObjectBoxLetterB), c, r);
    case ObjectBunnyBot: return SpawnBunnyBot(world, c, r);
    case ObjectFlameBot: return SpawnFlameBot(world, c, r);
    case ObjectPoster: return SpawnBackgroundSprite(world, SpritePoster, c, r);
    case ObjectChain: return SpawnBackgroundSprite(world, SpriteChain, c, r);
    case ObjectBarrel: return SpawnBackgroundSprite(world, SpriteBarrel, c, r);
    case ObjectNote: return SpawnNote(world, c, r);
    case ObjectMonitor: return SpawnMalvexScreen(world, c, r);
    case ObjectVillainFalls: return SpawnDrMalvex(world, 1, c, r);
    case ObjectVillainEscapes: return SpawnDrMalvex(world, 0, c, r);
    case ObjectKey0:
    case ObjectKey0 + 1:
    case ObjectKey0 + 2:
    case ObjectKey0 + 3: return SpawnKey(world, code - ObjectKey0, c, r);
    case ObjectKeyHole0:
    case ObjectKeyHole0 + 1:
    case ObjectKeyHole0 + 2:
    case ObjectKeyHole0 + 3: return SpawnKeyHole(world, code - ObjectKeyHole0, c, r);
    case ObjectKeyDoor0:
    case ObjectKeyDoor0 + 1:
    case ObjectKeyDoor0 + 2:
    case ObjectKeyDoor0 + 3: return SpawnKeyDoor(world, code - ObjectKeyDoor0, c, r);
    case GoodieFootball:
    case GoodieTurkey:
    case GoodieSoda:
    case GoodieDisk:
    case GoodieJoystick:
    case GoodieFlag:
    case GoodieRadio: return SpawnGoodie(world, code, c, r);
    case ObjectMine: return SpawnMine(world, c, r);
    case ObjectFloorSpikes: return SpawnSpikes(world, 0, c, r);
    case ObjectCeilingSpikes: return SpawnSpikes(world, 1, c, r);
    default: return;
  }
}
