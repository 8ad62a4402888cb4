// The spawn operations. Objects are created through the class registry by name, so an
// object kind spawns as soon as its class is registered, and fields are set by name.
#include <cstring>

#include "data/level_map.h"
#include "data/object_codes.h"
#include "data/sound.h"
#include "shell/log.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"

std::shared_ptr<TInteractiveBackgroundItem> Teleporters[2];
uint8_t ParticleColourCounter = 0;

namespace {

using PGame = std::shared_ptr<TGameObject>;

int32_t CellX(int column) { return 2 * column; }
int32_t CellY(int row) { return 16 * row + 15; }

// Creates className at (x, y) in object units and adds it to the layer.
PGame Place(const std::string& className, int32_t x, int32_t y, int layer) {
  PGame object = CreateObject(className);
  if (!object) return nullptr;
  object->PosX = x;
  object->PosY = y;
  AddToLayer(object, layer);
  return object;
}

PGame PlaceAtCell(const std::string& className, int column, int row, int layer) {
  return Place(className, CellX(column), CellY(row), layer);
}

void Tally(int32_t TGameState::*counter) {
  if (CurrentGameState) ++(Game().*counter);
}

int32_t ActorWidth(const PGame& object) {
  auto actor = std::dynamic_pointer_cast<TActor>(object);
  return actor ? actor->Width : 0;
}

}  // namespace

std::shared_ptr<TGameObject> CreateObject(const std::string& className) {
  const TClassInfo* cls = FindClass(className);
  if (!cls) return nullptr;
  return std::dynamic_pointer_cast<TGameObject>(cls->Create());
}

bool SetObjectField(TObject& object, const std::string& name, int64_t value) {
  const TFieldInfo* field = object.Class().FindField(name);
  if (!field || !field->Address) return false;
  void* p = field->Address(object);
  switch (field->Type) {
    case TFieldType::Byte: *static_cast<uint8_t*>(p) = uint8_t(value); return true;
    case TFieldType::Short: *static_cast<uint16_t*>(p) = uint16_t(value); return true;
    case TFieldType::Int: *static_cast<int32_t*>(p) = int32_t(value); return true;
    case TFieldType::Long: *static_cast<int64_t*>(p) = value; return true;
    default: return false;
  }
}

bool GetObjectField(TObject& object, const std::string& name, int64_t& value) {
  const TFieldInfo* field = object.Class().FindField(name);
  if (!field || !field->Address) return false;
  void* p = field->Address(object);
  switch (field->Type) {
    case TFieldType::Byte: value = *static_cast<uint8_t*>(p); return true;
    case TFieldType::Short: value = *static_cast<uint16_t*>(p); return true;
    case TFieldType::Int: value = *static_cast<int32_t*>(p); return true;
    case TFieldType::Long: value = *static_cast<int64_t*>(p); return true;
    default: return false;
  }
}

void CreatePlayer(int column, int row) {
  if (Player) Player->Remove();
  Player = std::make_shared<TBraxTovar>();
  Player->PosX = CellX(column);
  Player->PosY = CellY(row);
  AddToLayer(Player, LayerHero);
}

void ScoreFlasher(int kind, int32_t x, int32_t y) {
  static const int Points[] = {100, 200, 500, 1000, 2000, 5000, 10000};
  static const int RandomKinds[4] = {Flasher100, Flasher500, Flasher2000, Flasher5000};
  if (kind == FlasherRandom)
    kind = RandomKinds[(CurrentGameState ? uint32_t(Game().Timer) : 0u) % 4];
  PGame flasher;
  if (kind >= Flasher100 && kind <= Flasher10000) {
    if (CurrentGameState) Game().AddScore(Points[kind - Flasher100]);
    flasher = CreateObject("TBonusFlasher");
    if (flasher) {
      SetObjectField(*flasher, "BaseSprite", SpriteScorePopup + 2 * (kind - Flasher100));
      SetObjectField(*flasher, "TimeToLive", 39);
    }
  } else if (kind >= FlasherLevelBonus && kind < FlasherLevelBonus + LevelBonusCount) {
    if (CurrentGameState) Game().AddScore(10000);
    flasher = CreateObject("TLargeBonusFlasher");
    if (flasher) {
      SetObjectField(*flasher, "BaseSprite", SpriteBonusPopup + 4 * (kind - FlasherLevelBonus));
      SetObjectField(*flasher, "TimeToLive", y + 16);
    }
  }
  if (!flasher) return;
  flasher->PosX = x;
  flasher->PosY = y;
  AddToLayer(flasher, LayerEffects);
}

void SpawnBackgroundSprite(int sprite, int column, int row) {
  if (PGame o = Place("TBackgroundSprite", CellX(column), 16 * row, LayerBackground))
    SetObjectField(*o, "SpriteIndex", sprite);
}

void SpawnKey(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKey", column, row, LayerObjects))
    SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnSpikes(int flag, int column, int row) {
  if (PGame o = PlaceAtCell("TSpikes", column, row, LayerObjects))
    SetObjectField(*o, "SpriteIndex", flag ? SpriteCeilingSpikes : SpriteFloorSpikes);
}

void SpawnNail(int column, int row) { PlaceAtCell("TNail", column, row, LayerObjects); }

void SpawnCamera(int column, int row) {
  if (PlaceAtCell("TCamera", column, row, LayerObjects)) Tally(&TGameState::CamsTotal);
}

void SpawnACMESign(int column, int row) {
  if (PlaceAtCell("TACMESign", column, row, LayerObjects)) Tally(&TGameState::SignsTotal);
}

void SpawnCrawlBot(int orientation, int column, int row) {
  if (PGame o = PlaceAtCell("TCrawlBot", column, row, LayerObjects))
    SetObjectField(*o, "Orientation", orientation);
}

void SpawnBox(int sprite, int contentId, int column, int row) {
  if (PGame o = PlaceAtCell("TBox", column, row, LayerObjects)) {
    SetObjectField(*o, "BoxSprite", sprite);
    SetObjectField(*o, "ContentID", contentId);
  }
}

void SpawnBalloonBox(int column, int row) { PlaceAtCell("TBalloonBox", column, row, LayerObjects); }

void SpawnExitDoor(int column, int row) {
  Place("TExitDoor", CellX(column) + 1, CellY(row), LayerBackground);
}

void SpawnElevator(int column, int row) {
  if (PGame o = PlaceAtCell("TElevator", column, row, LayerBackground))
    SetObjectField(*o, "InitialY", row);
}

void SpawnGoodie(int goodieId, int column, int row, const TActorListEntry* container) {
  struct TGoodie {
    int Id;
    const char* ClassName;
    int Letter;
  };
  static const TGoodie Goodies[] = {
      {GoodieFootball, "TFootball", -1}, {GoodieTurkey, "TTurkey", -1},
      {GoodieSoda, "TSoda", -1},         {GoodieDisk, "TDisk", -1},
      {GoodieJoystick, "TJoystick", -1}, {GoodieFlag, "TFlag", -1},
      {GoodieRadio, "TRadio", -1},       {GoodieBalloon, "TBalloon", -1},
      {GoodieBoots, "TBoots", -1},       {GoodieHooks, "THooks", -1},
      {GoodieGlove, "TGlove", -1},       {GoodieAccessCard, "TAccessCard", -1},
      {GoodiePistol, "TPistol", -1},     {GoodieAtom, "TAtom", -1},
      {GoodieDynamite, "TDynamite", -1}, {GoodieLetterB, "TLetter", 0},
      {GoodieLetterB + 1, "TLetter", 1}, {GoodieLetterB + 2, "TLetter", 2},
      {GoodieLetterB + 3, "TLetter", 3}};
  if (goodieId == 0) return;
  const TGoodie* goodie = nullptr;
  for (const TGoodie& g : Goodies)
    if (g.Id == goodieId) goodie = &g;
  if (!goodie) {
    LogLine("WARNING :: SpawnGoodie :: unknown ID 0x" + HexDigits(goodieId, 4));
    return;
  }
  PGame object = CreateObject(goodie->ClassName);
  if (!object) return;
  object->PosX = CellX(column);
  object->PosY = CellY(row);
  if (goodie->Letter >= 0) SetObjectField(*object, "LetterNum", goodie->Letter);
  if (container)
    ActorList().InsertAfter(object, *container);
  else
    AddToLayer(object, LayerObjects);
}

void SpawnReactor(int column, int row) { PlaceAtCell("TReactor", column, row, LayerFront); }

void SpawnRocket(int column, int row) {
  if (PlaceAtCell("TRocket", column, row, LayerObjects)) Tally(&TGameState::MissilesTotal);
}

void SpawnTechBot(int column, int row) { PlaceAtCell("TTechBot", column, row, LayerObjects); }
void SpawnHoverBot(int column, int row) {
  Place("THoverBot", CellX(column), 16 * row - 1, LayerFlyers);
}
void SpawnFlameBot(int column, int row) { PlaceAtCell("TFlameBot", column, row, LayerObjects); }

void SpawnBunnyBot(int column, int row) {
  if (PlaceAtCell("TBunnyBot", column, row, LayerObjects)) Tally(&TGameState::BunniesTotal);
}

void SpawnCannonBot(int column, int row) { PlaceAtCell("TCannonBot", column, row, LayerObjects); }
void SpawnWheelBot(int column, int row) {
  Place("TWheelBot", CellX(column) + 1, CellY(row), LayerObjects);
}
void SpawnJumpBot(int column, int row) {
  Place("TJumpBot", CellX(column) + 1, CellY(row), LayerFlyers);
}
void SpawnHelicopter(int column, int row) {
  Place("THelicopter", CellX(column) + 2, 16 * row + 7, LayerFlyers);
}

void SpawnDrMalvex(int flag, int column, int row) {
  if (PGame o = PlaceAtCell("TDrMalvex", column, row, LayerFlyers)) {
    SetObjectField(*o, "IsExploding", flag);
    if (flag) SetObjectField(*o, "Health", 10);
  }
}

void SpawnSnake(int column, int row) {
  if (const TClassInfo* snake = FindClass("TSnakeBot"))
    for (TListLink* link : std::vector<TListLink*>(ActorList().Indexed(*snake)))
      link->Object->Remove();
  if (CurrentGameState) Game().SnakesTotal = 0;
  for (int i = 0; i < 9; ++i) {
    PGame o = Place("TSnakeBot", 2 * (column + i), CellY(row), LayerFlyers);
    if (!o) return;
    SetObjectField(*o, "StartDelay", 8 - i);
    Tally(&TGameState::SnakesTotal);
  }
}

void SpawnMine(int column, int row) { PlaceAtCell("TMine", column, row, LayerObjects); }
void SpawnJumpingMine(int column, int row) {
  PlaceAtCell("TJumpingMine", column, row, LayerObjects);
}

void SpawnExplosion(int32_t x, int32_t y, int direction) {
  if (PGame o = Place("TExplosion", x, y, LayerObjects)) SetObjectField(*o, "Direction", direction);
}

void SpawnFlameThrower(int orientation, int column, int row) {
  if (PGame o = PlaceAtCell("TFlameThrower", column, row, LayerObjects))
    SetObjectField(*o, "Orientation", orientation);
}

void SpawnKeyHole(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKeyHole", column, row, LayerWallItems))
    SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnKeyDoor(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKeyDoor", column, row, LayerObjects))
    SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnGloveSlot(int column, int row) { PlaceAtCell("TGloveSlot", column, row, LayerWallItems); }
void SpawnCardSlot(int column, int row) { PlaceAtCell("TCardSlot", column, row, LayerWallItems); }

void SpawnForceField(int column, int row) {
  if (!PlaceAtCell("TForceField", column, row, LayerObjects)) return;
  Place("TForceFieldLeft", CellX(column) - 1, CellY(row), LayerObjects);
  Place("TForceFieldRight", CellX(column) + 1, CellY(row), LayerObjects);
}

void SpawnNote(int column, int row) { PlaceAtCell("TNote", column, row, LayerWallItems); }

void SpawnMalvexScreen(int column, int row) {
  PGame screen = PlaceAtCell("TMalvexScreen", column, row, LayerWallItems);
  if (!screen) return;
  for (int32_t dx : {-6, 8}) {
    PGame trigger = Place("TMonitorTrigger", screen->PosX + dx, screen->PosY, LayerWallItems);
    if (!trigger) return;
    if (const TFieldInfo* f = trigger->Class().FindField("Monitor"); f && f->SetReference)
      f->SetReference(*trigger, screen);
  }
}

void SpawnEnergyBeam(int column, int row) { PlaceAtCell("TEnergyBeam", column, row, LayerObjects); }

void SpawnFan(int direction, int column, int row) {
  PGame fan = PlaceAtCell("TFan", column, row, LayerObjects);
  if (!fan) return;
  PGame wind = CreateObject("TWind");
  if (!wind) return;
  SetObjectField(*wind, "Direction", direction);
  wind->PosY = fan->PosY;
  wind->PosX = direction ? fan->PosX + ActorWidth(fan) : fan->PosX - ActorWidth(wind);
  if (const TFieldInfo* f = fan->Class().FindField("Wind"); f && f->SetReference)
    f->SetReference(*fan, wind);
  AddToLayer(wind, LayerObjects);
}

void SpawnTeleporter(int index, int column, int row) {
  PGame o = Place("TTeleporter", 2 * (column + 1), CellY(row), LayerFront);
  if (!o) return;
  SetObjectField(*o, "TeleIndex", index);
  Teleporters[index ? 1 : 0] = std::dynamic_pointer_cast<TInteractiveBackgroundItem>(o);
}

void SpawnSmokeCloud(int32_t x, int32_t y) { Place("TSmokeCloud", x, y, LayerEffects); }
void SpawnDust(int32_t x, int32_t y) { Place("TDust", x, y, LayerEffects); }
void SpawnDecoExplosion(int32_t x, int32_t y) { Place("TDecoExplosion", x, y, LayerFront); }
void SpawnWhiteBall(int32_t x, int32_t y) { Place("TWhiteBall", x, y, LayerFront); }
void SpawnMetalShard(int32_t x, int32_t y) { Place("TMetalShard", x, y, LayerEffects); }

void SpawnParticles(int32_t x, int32_t y) {
  static const int32_t Dx[4] = {0, 0, 1, 1};
  static const int32_t Dy[4] = {1, -9, -7, 1};
  static const int32_t Colours[4][4] = {{1, 3, 0, 2}, {2, 1, 3, 0}, {1, 2, 3, 0}, {2, 0, 1, 3}};
  for (int i = 0; i < 4; ++i) {
    PGame o = CreateObject("TParticle");
    if (!o) break;
    o->PosX = x + Dx[i];
    o->PosY = y + Dy[i];
    SetObjectField(*o, "ParticleIndex", i);
    if (auto v = std::dynamic_pointer_cast<TVisibleObject>(o))
      v->CurrentFrame = Colours[ParticleColourCounter & 3][i];
    AddToLayer(o, LayerEffects);
  }
  ParticleColourCounter = uint8_t((ParticleColourCounter + 1) & 3);
}

void SpawnBraxShot(int32_t x, int32_t y, int direction) {
  if (!CurrentGameState || Game().PlayerShotsActive >= Game().FirePower) return;
  PGame o = CreateObject("TBraxShot");
  if (!o) return;
  o->PosX = x;
  o->PosY = y;
  SetObjectField(*o, "Direction", direction);
  AddToLayer(o, LayerHero);
  ++Game().PlayerShotsActive;
  PlayBraxSound(SoundHeroShot);
}

void SpawnEnemyShot(int32_t x, int32_t y, int direction) {
  if (!CurrentGameState || Game().EnemyShotsActive >= 3) return;
  PGame o = CreateObject("TEnemyShot");
  if (!o) return;
  o->PosX = x;
  o->PosY = y;
  SetObjectField(*o, "Direction", direction);
  AddToLayer(o, LayerObjects);
  ++Game().EnemyShotsActive;
  auto actor = std::dynamic_pointer_cast<TActor>(o);
  if (actor && actor->Visible()) PlayBraxSound(SoundEnemyShot);
}

void SpawnExtender(int32_t x, int32_t y) { Place("TExtender", x, y, LayerMechanics); }

void SpawnFakeBridge(int32_t x, int32_t y, int width) {
  if (PGame o = Place("TFakeBridge", x, y, LayerMechanics)) SetObjectField(*o, "Width", width);
}

void SpawnConveyorBelt(int32_t x, int32_t y, int endX, int direction) {
  if (PGame o = Place("TConveyorBelt", x, y, LayerMechanics)) {
    SetObjectField(*o, "EndX", endX);
    SetObjectField(*o, "Direction", direction);
  }
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
