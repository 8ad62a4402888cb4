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

int32_t CellX(int column) { return 2 * column; }
int32_t CellY(int row) { return 16 * row + 15; }

// Creates a T at (x, y) in object units and adds it to the layer.
template <class T>
std::shared_ptr<T> Place(int32_t x, int32_t y, int layer) {
  auto object = std::make_shared<T>();
  object->PosX = x;
  object->PosY = y;
  AddToLayer(object, layer);
  return object;
}

template <class T>
std::shared_ptr<T> PlaceAtCell(int column, int row, int layer) {
  return Place<T>(CellX(column), CellY(row), layer);
}

void Tally(int32_t TGameState::*counter) { ++(Game().*counter); }

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

void ScoreFlasher(int kind, int32_t x, int32_t y) {
  static const int Points[] = {100, 200, 500, 1000, 2000, 5000, 10000};
  static const int RandomKinds[4] = {Flasher100, Flasher500, Flasher2000, Flasher5000};
  if (kind == FlasherRandom) kind = RandomKinds[uint32_t(Game().Timer) % 4];
  std::shared_ptr<TBonusFlasher> flasher;
  if (kind >= Flasher100 && kind <= Flasher10000) {
    Game().AddScore(Points[kind - Flasher100]);
    flasher = std::make_shared<TBonusFlasher>();
    flasher->BaseSprite = SpriteScorePopup + 2 * (kind - Flasher100);
    flasher->TimeToLive = 39;
  } else if (kind >= FlasherLevelBonus && kind < FlasherLevelBonus + LevelBonusCount) {
    Game().AddScore(10000);
    flasher = std::make_shared<TLargeBonusFlasher>();
    flasher->BaseSprite = SpriteBonusPopup + 4 * (kind - FlasherLevelBonus);
    flasher->TimeToLive = y + 16;
  }
  if (!flasher) return;
  flasher->PosX = x;
  flasher->PosY = y;
  AddToLayer(flasher, LayerEffects);
}

void SpawnBackgroundSprite(int sprite, int column, int row) {
  Place<TBackgroundSprite>(CellX(column), 16 * row, LayerBackground)->SpriteIndex =
      uint16_t(sprite);
}

void SpawnKey(int keyNumber, int column, int row) {
  PlaceAtCell<TKey>(column, row, LayerObjects)->KeyNum = uint8_t(keyNumber);
}

void SpawnSpikes(int flag, int column, int row) {
  PlaceAtCell<TSpikes>(column, row, LayerObjects)->SpriteIndex =
      flag ? SpriteCeilingSpikes : SpriteFloorSpikes;
}

void SpawnNail(int column, int row) { PlaceAtCell<TNail>(column, row, LayerObjects); }

void SpawnCamera(int column, int row) {
  PlaceAtCell<TCamera>(column, row, LayerObjects);
  Tally(&TGameState::CamsTotal);
}

void SpawnACMESign(int column, int row) {
  PlaceAtCell<TACMESign>(column, row, LayerObjects);
  Tally(&TGameState::SignsTotal);
}

void SpawnCrawlBot(int orientation, int column, int row) {
  PlaceAtCell<TCrawlBot>(column, row, LayerObjects)->Orientation = uint8_t(orientation);
}

void SpawnBox(int sprite, int contentId, int column, int row) {
  auto box = PlaceAtCell<TBox>(column, row, LayerObjects);
  box->BoxSprite = uint16_t(sprite);
  box->ContentID = uint16_t(contentId);
}

void SpawnBalloonBox(int column, int row) { PlaceAtCell<TBalloonBox>(column, row, LayerObjects); }

void SpawnExitDoor(int column, int row) {
  Place<TExitDoor>(CellX(column) + 1, CellY(row), LayerBackground);
}

void SpawnElevator(int column, int row) {
  PlaceAtCell<TElevator>(column, row, LayerBackground)->InitialY = row;
}

void SpawnGoodie(int goodieId, int column, int row, const TActorListEntry* container) {
  if (goodieId == 0) return;
  PGame object = MakeGoodie(goodieId);
  if (!object) {
    LogLine("WARNING :: SpawnGoodie :: unknown ID 0x" + HexDigits(goodieId, 4));
    return;
  }
  object->PosX = CellX(column);
  object->PosY = CellY(row);
  if (container)
    ActorList().InsertAfter(object, *container);
  else
    AddToLayer(object, LayerObjects);
}

void SpawnReactor(int column, int row) { PlaceAtCell<TReactor>(column, row, LayerFront); }

void SpawnRocket(int column, int row) {
  PlaceAtCell<TRocket>(column, row, LayerObjects);
  Tally(&TGameState::MissilesTotal);
}

void SpawnTechBot(int column, int row) { PlaceAtCell<TTechBot>(column, row, LayerObjects); }
void SpawnHoverBot(int column, int row) {
  Place<THoverBot>(CellX(column), 16 * row - 1, LayerFlyers);
}
void SpawnFlameBot(int column, int row) { PlaceAtCell<TFlameBot>(column, row, LayerObjects); }

void SpawnBunnyBot(int column, int row) {
  PlaceAtCell<TBunnyBot>(column, row, LayerObjects);
  Tally(&TGameState::BunniesTotal);
}

void SpawnCannonBot(int column, int row) { PlaceAtCell<TCannonBot>(column, row, LayerObjects); }
void SpawnWheelBot(int column, int row) {
  Place<TWheelBot>(CellX(column) + 1, CellY(row), LayerObjects);
}
void SpawnJumpBot(int column, int row) {
  Place<TJumpBot>(CellX(column) + 1, CellY(row), LayerFlyers);
}
void SpawnHelicopter(int column, int row) {
  Place<THelicopter>(CellX(column) + 2, 16 * row + 7, LayerFlyers);
}

void SpawnDrMalvex(int flag, int column, int row) {
  auto villain = PlaceAtCell<TDrMalvex>(column, row, LayerFlyers);
  villain->IsExploding = uint8_t(flag);
  if (flag) villain->Health = 10;
}

// A level has one snake: a new one replaces the old, nine segments that start one tick
// apart from the head.
void SpawnSnake(int column, int row) {
  for (TListLink* link : std::vector<TListLink*>(ActorList().Indexed(TSnakeBot::StaticClass())))
    link->Object->Remove();
  Game().SnakesTotal = 0;
  for (int i = 0; i < 9; ++i) {
    Place<TSnakeBot>(2 * (column + i), CellY(row), LayerFlyers)->StartDelay = uint8_t(8 - i);
    Tally(&TGameState::SnakesTotal);
  }
}

void SpawnMine(int column, int row) { PlaceAtCell<TMine>(column, row, LayerObjects); }
void SpawnJumpingMine(int column, int row) { PlaceAtCell<TJumpingMine>(column, row, LayerObjects); }

void SpawnExplosion(int32_t x, int32_t y, int direction) {
  Place<TExplosion>(x, y, LayerObjects)->Direction = direction;
}

void SpawnFlameThrower(int orientation, int column, int row) {
  PlaceAtCell<TFlameThrower>(column, row, LayerObjects)->Orientation = uint8_t(orientation);
}

void SpawnKeyHole(int keyNumber, int column, int row) {
  PlaceAtCell<TKeyHole>(column, row, LayerWallItems)->KeyNum = uint8_t(keyNumber);
}

void SpawnKeyDoor(int keyNumber, int column, int row) {
  PlaceAtCell<TKeyDoor>(column, row, LayerObjects)->KeyNum = uint8_t(keyNumber);
}

void SpawnGloveSlot(int column, int row) { PlaceAtCell<TGloveSlot>(column, row, LayerWallItems); }
void SpawnCardSlot(int column, int row) { PlaceAtCell<TCardSlot>(column, row, LayerWallItems); }

// The field and its two invisible ends, which push the hero back out.
void SpawnForceField(int column, int row) {
  PlaceAtCell<TForceField>(column, row, LayerObjects);
  Place<TForceFieldLeft>(CellX(column) - 1, CellY(row), LayerObjects);
  Place<TForceFieldRight>(CellX(column) + 1, CellY(row), LayerObjects);
}

void SpawnNote(int column, int row) { PlaceAtCell<TNote>(column, row, LayerWallItems); }

// The screen and a trigger on either side that switches it on when the hero walks by.
void SpawnMalvexScreen(int column, int row) {
  auto screen = PlaceAtCell<TMalvexScreen>(column, row, LayerWallItems);
  for (int32_t dx : {-6, 8})
    Place<TMonitorTrigger>(screen->PosX + dx, screen->PosY, LayerWallItems)->Monitor = screen;
}

void SpawnEnergyBeam(int column, int row) { PlaceAtCell<TEnergyBeam>(column, row, LayerObjects); }

// The fan and its wind on the side it blows to; the wind follows the fan in the list.
void SpawnFan(int direction, int column, int row) {
  auto fan = PlaceAtCell<TFan>(column, row, LayerObjects);
  auto wind = std::make_shared<TWind>();
  wind->Direction = uint8_t(direction);
  wind->PosY = fan->PosY;
  wind->PosX = direction ? fan->PosX + fan->Width : fan->PosX - wind->Width;
  fan->Wind = wind;
  AddToLayer(wind, LayerObjects);
}

void SpawnTeleporter(int index, int column, int row) {
  auto teleporter = Place<TTeleporter>(2 * (column + 1), CellY(row), LayerFront);
  teleporter->TeleIndex = uint8_t(index);
  World().Teleporters[index ? 1 : 0] = teleporter;
}

void SpawnSmokeCloud(int32_t x, int32_t y) { Place<TSmokeCloud>(x, y, LayerEffects); }
void SpawnDust(int32_t x, int32_t y) { Place<TDust>(x, y, LayerEffects); }
void SpawnDecoExplosion(int32_t x, int32_t y) { Place<TDecoExplosion>(x, y, LayerFront); }
void SpawnWhiteBall(int32_t x, int32_t y) { Place<TWhiteBall>(x, y, LayerFront); }
void SpawnMetalShard(int32_t x, int32_t y) { Place<TMetalShard>(x, y, LayerEffects); }

// Four particles on their four paths; their colours rotate from one burst to the next.
void SpawnParticles(int32_t x, int32_t y) {
  static const int32_t Dx[4] = {0, 0, 1, 1};
  static const int32_t Dy[4] = {1, -9, -7, 1};
  static const int32_t Colours[4][4] = {{1, 3, 0, 2}, {2, 1, 3, 0}, {1, 2, 3, 0}, {2, 0, 1, 3}};
  for (int i = 0; i < 4; ++i) {
    auto particle = std::make_shared<TParticle>();
    particle->PosX = x + Dx[i];
    particle->PosY = y + Dy[i];
    particle->ParticleIndex = uint8_t(i);
    particle->CurrentFrame = Colours[World().ParticleColourCounter & 3][i];
    AddToLayer(particle, LayerEffects);
  }
  World().ParticleColourCounter = uint8_t((World().ParticleColourCounter + 1) & 3);
}

// The hero has as many shots in the air at once as his fire power.
void SpawnBraxShot(int32_t x, int32_t y, int direction) {
  if (Game().PlayerShotsActive >= Game().FirePower) return;
  auto shot = std::make_shared<TBraxShot>();
  shot->PosX = x;
  shot->PosY = y;
  shot->Direction = uint8_t(direction);
  AddToLayer(shot, LayerHero);
  ++Game().PlayerShotsActive;
  PlayBraxSound(SoundHeroShot);
}

// The robots share three shots; a shot fired out of view is silent.
void SpawnEnemyShot(int32_t x, int32_t y, int direction) {
  if (Game().EnemyShotsActive >= 3) return;
  auto shot = std::make_shared<TEnemyShot>();
  shot->PosX = x;
  shot->PosY = y;
  shot->Direction = uint8_t(direction);
  AddToLayer(shot, LayerObjects);
  ++Game().EnemyShotsActive;
  if (shot->Visible()) PlayBraxSound(SoundEnemyShot);
}

void SpawnExtender(int32_t x, int32_t y) { Place<TExtender>(x, y, LayerMechanics); }

void SpawnFakeBridge(int32_t x, int32_t y, int width) {
  Place<TFakeBridge>(x, y, LayerMechanics)->Width = uint8_t(width);
}

void SpawnConveyorBelt(int32_t x, int32_t y, int endX, int direction) {
  auto belt = Place<TConveyorBelt>(x, y, LayerMechanics);
  belt->EndX = endX;
  belt->Direction = uint8_t(direction);
}

void SpawnObjectCode(uint16_t code, int c, int r) {
  switch (code) {
    case ObjectBoxEmpty: return SpawnBox(SpriteSupplyCrate, 0, c, r);
    case ObjectElevator: return SpawnElevator(c, r);
    case ObjectBoxBoots: return SpawnBox(SpriteSupplyCrate, GoodieBoots, c, r);
    case ObjectRocket: return SpawnRocket(c, r);
    case ObjectBoxHooks: return SpawnBox(SpriteSupplyCrate, GoodieHooks, c, r);
    case ObjectFlameThrowerRight: return SpawnFlameThrower(0, c, r);
    case ObjectFlameThrowerLeft: return SpawnFlameThrower(1, c - 2, r);
    case ObjectHoverBot: return SpawnHoverBot(c, r);
    case ObjectJumpBot: return SpawnJumpBot(c, r);
    case ObjectCannonBot: return SpawnCannonBot(c, r);
    case ObjectWheelBot: return SpawnWheelBot(c, r);
    case ObjectBoxPistol: return SpawnBox(SpriteSupplyCrate, GoodiePistol, c, r);
    case ObjectTechBot: return SpawnTechBot(c, r);
    case ObjectExitDoor: return SpawnExitDoor(c, r);
    case ObjectBoxDynamite: return SpawnBox(SpriteSupplyCrate, GoodieDynamite, c, r);
    case ObjectSnake: return SpawnSnake(c, r);
    case ObjectBoxSoda: return SpawnBox(SpriteFoodCrate, GoodieSoda, c, r);
    case ObjectCrawlBotWallLeft: return SpawnCrawlBot(0, c, r);
    case ObjectCrawlBotWallRight: return SpawnCrawlBot(1, c, r);
    case ObjectBoxTurkey: return SpawnBox(SpriteFoodCrate, GoodieTurkey, c, r);
    case ObjectEnergyBeam: return SpawnEnergyBeam(c, r);
    case ObjectFanBlowingLeft: return SpawnFan(0, c, r);
    case ObjectFanBlowingRight: return SpawnFan(1, c, r);
    case ObjectBoxFootball: return SpawnBox(SpriteBonusCrate, GoodieFootball, c, r);
    case ObjectBoxJoystick: return SpawnBox(SpriteBonusCrate, GoodieJoystick, c, r);
    case ObjectBoxDisk: return SpawnBox(SpriteBonusCrate, GoodieDisk, c, r);
    case ObjectBoxGlove: return SpawnBox(SpriteSupplyCrate, GoodieGlove, c, r);
    case ObjectForceField: return SpawnForceField(c, r);
    case ObjectHelicopter: return SpawnHelicopter(c, r);
    case ObjectBalloonBox: return SpawnBalloonBox(c, r);
    case ObjectCamera: return SpawnCamera(c, r);
    case ObjectLamp: return SpawnBackgroundSprite(SpriteLamp, c, r);
    case ObjectArrowRight: return SpawnBackgroundSprite(SpriteArrowRight, c, r);
    case ObjectArrowLeft: return SpawnBackgroundSprite(SpriteArrowLeft, c, r);
    case ObjectAlienPlant: return SpawnBackgroundSprite(SpriteAlienPlant, c, r);
    case ObjectBoxAtom: return SpawnBox(SpriteSupplyCrate, GoodieAtom, c, r);
    case ObjectSign: return SpawnACMESign(c, r);
    case ObjectReactor: return SpawnReactor(c, r);
    case ObjectNail: return SpawnNail(c, r);
    case ObjectBoxFlag: return SpawnBox(SpriteBonusCrate, GoodieFlag, c, r);
    case ObjectBoxRadio: return SpawnBox(SpriteBonusCrate, GoodieRadio, c, r);
    case ObjectTeleporter0: return SpawnTeleporter(0, c, r);
    case ObjectTeleporter1: return SpawnTeleporter(1, c, r);
    case ObjectJumpingMine: return SpawnJumpingMine(c, r);
    case ObjectHero: return CreatePlayer(c, r);
    case ObjectBoxAccessCard: return SpawnBox(SpriteSupplyCrate, GoodieAccessCard, c, r);
    case ObjectCardSlot: return SpawnCardSlot(c, r);
    case ObjectGloveSlot: return SpawnGloveSlot(c, r);
    case ObjectExtender: return SpawnExtender(c, r);  // an extender works on map cells
    case ObjectBoxLetterB:
    case ObjectBoxLetterB + 1:
    case ObjectBoxLetterB + 2:
    case ObjectBoxLetterB + 3:
      return SpawnBox(SpriteSupplyCrate, GoodieLetterB + (code - ObjectBoxLetterB), c, r);
    case ObjectBunnyBot: return SpawnBunnyBot(c, r);
    case ObjectFlameBot: return SpawnFlameBot(c, r);
    case ObjectPoster: return SpawnBackgroundSprite(SpritePoster, c, r);
    case ObjectChain: return SpawnBackgroundSprite(SpriteChain, c, r);
    case ObjectBarrel: return SpawnBackgroundSprite(SpriteBarrel, c, r);
    case ObjectNote: return SpawnNote(c, r);
    case ObjectMonitor: return SpawnMalvexScreen(c, r);
    case ObjectVillainFalls: return SpawnDrMalvex(1, c, r);
    case ObjectVillainEscapes: return SpawnDrMalvex(0, c, r);
    case ObjectKey0:
    case ObjectKey0 + 1:
    case ObjectKey0 + 2:
    case ObjectKey0 + 3: return SpawnKey(code - ObjectKey0, c, r);
    case ObjectKeyHole0:
    case ObjectKeyHole0 + 1:
    case ObjectKeyHole0 + 2:
    case ObjectKeyHole0 + 3: return SpawnKeyHole(code - ObjectKeyHole0, c, r);
    case ObjectKeyDoor0:
    case ObjectKeyDoor0 + 1:
    case ObjectKeyDoor0 + 2:
    case ObjectKeyDoor0 + 3: return SpawnKeyDoor(code - ObjectKeyDoor0, c, r);
    case GoodieFootball:
    case GoodieTurkey:
    case GoodieSoda:
    case GoodieDisk:
    case GoodieJoystick:
    case GoodieFlag:
    case GoodieRadio: return SpawnGoodie(code, c, r);
    case ObjectMine: return SpawnMine(c, r);
    case ObjectFloorSpikes: return SpawnSpikes(0, c, r);
    case ObjectCeilingSpikes: return SpawnSpikes(1, c, r);
    default: return;
  }
}
