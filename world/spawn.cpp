// The spawn operations. Objects are created through the class registry by name, so an
// object kind spawns as soon as its class is registered, and fields are set by name.
#include <cstring>

#include "data/level_map.h"
#include "data/sound.h"
#include "shell/log.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
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
  AddToLayer(Player, 2);
}

void ScoreFlasher(int kind, int32_t x, int32_t y) {
  static const int Points[7] = {100, 200, 500, 1000, 2000, 5000, 10000};
  static const int RandomKinds[4] = {1, 3, 5, 6};
  if (kind == 16) kind = RandomKinds[(CurrentGameState ? uint32_t(Game().Timer) : 0u) % 4];
  PGame flasher;
  if (kind >= 1 && kind <= 7) {
    if (CurrentGameState) Game().AddScore(Points[kind - 1]);
    flasher = CreateObject("TBonusFlasher");
    if (flasher) {
      SetObjectField(*flasher, "BaseSprite", 678 + 2 * (kind - 1));
      SetObjectField(*flasher, "TimeToLive", 39);
    }
  } else if (kind >= 101 && kind <= 107) {
    if (CurrentGameState) Game().AddScore(10000);
    flasher = CreateObject("TLargeBonusFlasher");
    if (flasher) {
      SetObjectField(*flasher, "BaseSprite", 692 + 4 * (kind - 101));
      SetObjectField(*flasher, "TimeToLive", y + 16);
    }
  }
  if (!flasher) return;
  flasher->PosX = x;
  flasher->PosY = y;
  AddToLayer(flasher, 3);
}

void SpawnBackgroundSprite(int sprite, int column, int row) {
  if (PGame o = Place("TBackgroundSprite", CellX(column), 16 * row, 0))
    SetObjectField(*o, "SpriteIndex", sprite);
}

void SpawnKey(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKey", column, row, 4)) SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnSpikes(int flag, int column, int row) {
  if (PGame o = PlaceAtCell("TSpikes", column, row, 4))
    SetObjectField(*o, "SpriteIndex", flag ? 677 : 676);
}

void SpawnNail(int column, int row) { PlaceAtCell("TNail", column, row, 4); }

void SpawnCamera(int column, int row) {
  if (PlaceAtCell("TCamera", column, row, 4)) Tally(&TGameState::CamsTotal);
}

void SpawnACMESign(int column, int row) {
  if (PlaceAtCell("TACMESign", column, row, 4)) Tally(&TGameState::SignsTotal);
}

void SpawnCrawlBot(int orientation, int column, int row) {
  if (PGame o = PlaceAtCell("TCrawlBot", column, row, 4))
    SetObjectField(*o, "Orientation", orientation);
}

void SpawnBox(int sprite, int contentId, int column, int row) {
  if (PGame o = PlaceAtCell("TBox", column, row, 4)) {
    SetObjectField(*o, "BoxSprite", sprite);
    SetObjectField(*o, "ContentID", contentId);
  }
}

void SpawnBalloonBox(int column, int row) { PlaceAtCell("TBalloonBox", column, row, 4); }

void SpawnExitDoor(int column, int row) { Place("TExitDoor", CellX(column) + 1, CellY(row), 0); }

void SpawnElevator(int column, int row) {
  if (PGame o = PlaceAtCell("TElevator", column, row, 0)) SetObjectField(*o, "InitialY", row);
}

void SpawnGoodie(int goodieId, int column, int row, const TActorListEntry* container) {
  struct TGoodie {
    int Id;
    const char* ClassName;
    int Letter;
  };
  static const TGoodie Goodies[] = {
      {0x3050, "TFootball", -1}, {0x3051, "TTurkey", -1},   {0x3052, "TSoda", -1},
      {0x3053, "TDisk", -1},     {0x3054, "TJoystick", -1}, {0x3055, "TFlag", -1},
      {0x3056, "TRadio", -1},    {0xF000, "TBalloon", -1},  {0xF001, "TBoots", -1},
      {0xF002, "THooks", -1},    {0xF003, "TGlove", -1},    {0xF004, "TAccessCard", -1},
      {0xF005, "TPistol", -1},   {0xF00A, "TAtom", -1},     {0xF00D, "TDynamite", -1},
      {0xF101, "TLetter", 0},    {0xF102, "TLetter", 1},    {0xF103, "TLetter", 2},
      {0xF104, "TLetter", 3}};
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
    AddToLayer(object, 4);
}

void SpawnReactor(int column, int row) { PlaceAtCell("TReactor", column, row, 6); }

void SpawnRocket(int column, int row) {
  if (PlaceAtCell("TRocket", column, row, 4)) Tally(&TGameState::MissilesTotal);
}

void SpawnTechBot(int column, int row) { PlaceAtCell("TTechBot", column, row, 4); }
void SpawnHoverBot(int column, int row) { Place("THoverBot", CellX(column), 16 * row - 1, 5); }
void SpawnFlameBot(int column, int row) { PlaceAtCell("TFlameBot", column, row, 4); }

void SpawnBunnyBot(int column, int row) {
  if (PlaceAtCell("TBunnyBot", column, row, 4)) Tally(&TGameState::BunniesTotal);
}

void SpawnCannonBot(int column, int row) { PlaceAtCell("TCannonBot", column, row, 4); }
void SpawnWheelBot(int column, int row) { Place("TWheelBot", CellX(column) + 1, CellY(row), 4); }
void SpawnJumpBot(int column, int row) { Place("TJumpBot", CellX(column) + 1, CellY(row), 5); }
void SpawnHelicopter(int column, int row) {
  Place("THelicopter", CellX(column) + 2, 16 * row + 7, 5);
}

void SpawnDrMalvex(int flag, int column, int row) {
  if (PGame o = PlaceAtCell("TDrMalvex", column, row, 5)) {
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
    PGame o = Place("TSnakeBot", 2 * (column + i), CellY(row), 5);
    if (!o) return;
    SetObjectField(*o, "StartDelay", 8 - i);
    Tally(&TGameState::SnakesTotal);
  }
}

void SpawnMine(int column, int row) { PlaceAtCell("TMine", column, row, 4); }
void SpawnJumpingMine(int column, int row) { PlaceAtCell("TJumpingMine", column, row, 4); }

void SpawnExplosion(int32_t x, int32_t y, int direction) {
  if (PGame o = Place("TExplosion", x, y, 4)) SetObjectField(*o, "Direction", direction);
}

void SpawnFlameThrower(int orientation, int column, int row) {
  if (PGame o = PlaceAtCell("TFlameThrower", column, row, 4))
    SetObjectField(*o, "Orientation", orientation);
}

void SpawnKeyHole(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKeyHole", column, row, 1)) SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnKeyDoor(int keyNumber, int column, int row) {
  if (PGame o = PlaceAtCell("TKeyDoor", column, row, 4)) SetObjectField(*o, "KeyNum", keyNumber);
}

void SpawnGloveSlot(int column, int row) { PlaceAtCell("TGloveSlot", column, row, 1); }
void SpawnCardSlot(int column, int row) { PlaceAtCell("TCardSlot", column, row, 1); }

void SpawnForceField(int column, int row) {
  if (!PlaceAtCell("TForceField", column, row, 4)) return;
  Place("TForceFieldLeft", CellX(column) - 1, CellY(row), 4);
  Place("TForceFieldRight", CellX(column) + 1, CellY(row), 4);
}

void SpawnNote(int column, int row) { PlaceAtCell("TNote", column, row, 1); }

void SpawnMalvexScreen(int column, int row) {
  PGame screen = PlaceAtCell("TMalvexScreen", column, row, 1);
  if (!screen) return;
  for (int32_t dx : {-6, 8}) {
    PGame trigger = Place("TMonitorTrigger", screen->PosX + dx, screen->PosY, 1);
    if (!trigger) return;
    if (const TFieldInfo* f = trigger->Class().FindField("Monitor"); f && f->SetReference)
      f->SetReference(*trigger, screen);
  }
}

void SpawnEnergyBeam(int column, int row) { PlaceAtCell("TEnergyBeam", column, row, 4); }

void SpawnFan(int direction, int column, int row) {
  PGame fan = PlaceAtCell("TFan", column, row, 4);
  if (!fan) return;
  PGame wind = CreateObject("TWind");
  if (!wind) return;
  SetObjectField(*wind, "Direction", direction);
  wind->PosY = fan->PosY;
  wind->PosX = direction ? fan->PosX + ActorWidth(fan) : fan->PosX - ActorWidth(wind);
  if (const TFieldInfo* f = fan->Class().FindField("Wind"); f && f->SetReference)
    f->SetReference(*fan, wind);
  AddToLayer(wind, 4);
}

void SpawnTeleporter(int index, int column, int row) {
  PGame o = Place("TTeleporter", 2 * (column + 1), CellY(row), 6);
  if (!o) return;
  SetObjectField(*o, "TeleIndex", index);
  Teleporters[index ? 1 : 0] = std::dynamic_pointer_cast<TInteractiveBackgroundItem>(o);
}

void SpawnSmokeCloud(int32_t x, int32_t y) { Place("TSmokeCloud", x, y, 3); }
void SpawnDust(int32_t x, int32_t y) { Place("TDust", x, y, 3); }
void SpawnDecoExplosion(int32_t x, int32_t y) { Place("TDecoExplosion", x, y, 6); }
void SpawnWhiteBall(int32_t x, int32_t y) { Place("TWhiteBall", x, y, 6); }
void SpawnMetalShard(int32_t x, int32_t y) { Place("TMetalShard", x, y, 3); }

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
    AddToLayer(o, 3);
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
  AddToLayer(o, 2);
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
  AddToLayer(o, 4);
  ++Game().EnemyShotsActive;
  auto actor = std::dynamic_pointer_cast<TActor>(o);
  if (actor && actor->Visible()) PlayBraxSound(SoundEnemyShot);
}

void SpawnExtender(int32_t x, int32_t y) { Place("TExtender", x, y, 7); }

void SpawnFakeBridge(int32_t x, int32_t y, int width) {
  if (PGame o = Place("TFakeBridge", x, y, 7)) SetObjectField(*o, "Width", width);
}

void SpawnConveyorBelt(int32_t x, int32_t y, int endX, int direction) {
  if (PGame o = Place("TConveyorBelt", x, y, 7)) {
    SetObjectField(*o, "EndX", endX);
    SetObjectField(*o, "Direction", direction);
  }
}

void SpawnObjectCode(uint16_t code, int c, int r) {
  switch (code) {
    case 0x3000: return SpawnBox(528, 0, c, r);
    case 0x3001: return SpawnElevator(c, r);
    case 0x3006: return SpawnBox(528, 0xF001, c, r);
    case 0x3007: return SpawnRocket(c, r);
    case 0x3008: return SpawnBox(528, 0xF002, c, r);
    case 0x3009: return SpawnFlameThrower(0, c, r);
    case 0x300A: return SpawnFlameThrower(1, c - 2, r);
    case 0x300B: return SpawnHoverBot(c, r);
    case 0x300C: return SpawnJumpBot(c, r);
    case 0x300D: return SpawnCannonBot(c, r);
    case 0x300E: return SpawnWheelBot(c, r);
    case 0x300F: return SpawnBox(528, 0xF005, c, r);
    case 0x3010: return SpawnTechBot(c, r);
    case 0x3011: return SpawnExitDoor(c, r);
    case 0x3012: return SpawnBox(528, 0xF00D, c, r);
    case 0x3013: return SpawnSnake(c, r);
    case 0x3015: return SpawnBox(629, 0x3052, c, r);
    case 0x3016: return SpawnCrawlBot(0, c, r);
    case 0x3017: return SpawnCrawlBot(1, c, r);
    case 0x3018: return SpawnBox(629, 0x3051, c, r);
    case 0x301A: return SpawnEnergyBeam(c, r);
    case 0x301B: return SpawnFan(0, c, r);
    case 0x301C: return SpawnFan(1, c, r);
    case 0x301D: return SpawnBox(628, 0x3050, c, r);
    case 0x301E: return SpawnBox(628, 0x3054, c, r);
    case 0x301F: return SpawnBox(628, 0x3053, c, r);
    case 0x3020: return SpawnBox(528, 0xF003, c, r);
    case 0x3021: return SpawnForceField(c, r);
    case 0x3022: return SpawnHelicopter(c, r);
    case 0x3023: return SpawnBalloonBox(c, r);
    case 0x3024: return SpawnCamera(c, r);
    case 0x3025: return SpawnBackgroundSprite(443, c, r);
    case 0x3026: return SpawnBackgroundSprite(444, c, r);
    case 0x3027: return SpawnBackgroundSprite(445, c, r);
    case 0x3028: return SpawnBackgroundSprite(446, c, r);
    case 0x3029: return SpawnBox(528, 0xF00A, c, r);
    case 0x302A: return SpawnACMESign(c, r);
    case 0x302B: return SpawnReactor(c, r);
    case 0x302C: return SpawnNail(c, r);
    case 0x302D: return SpawnBox(628, 0x3055, c, r);
    case 0x302E: return SpawnBox(628, 0x3056, c, r);
    case 0x302F: return SpawnTeleporter(0, c, r);
    case 0x3030: return SpawnTeleporter(1, c, r);
    case 0x3031: return SpawnJumpingMine(c, r);
    case 0x3032: return CreatePlayer(c, r);
    case 0x3033: return SpawnBox(528, 0xF004, c, r);
    case 0x3034: return SpawnCardSlot(c, r);
    case 0x3035: return SpawnGloveSlot(c, r);
    case 0x3036: return SpawnExtender(c, r);  // an extender works on map cells
    case 0x3037: return SpawnBox(528, 0xF101, c, r);
    case 0x3038: return SpawnBox(528, 0xF102, c, r);
    case 0x3039: return SpawnBox(528, 0xF103, c, r);
    case 0x303A: return SpawnBox(528, 0xF104, c, r);
    case 0x303B: return SpawnBunnyBot(c, r);
    case 0x303C: return SpawnFlameBot(c, r);
    case 0x303D: return SpawnBackgroundSprite(492, c, r);
    case 0x303E: return SpawnBackgroundSprite(493, c, r);
    case 0x303F: return SpawnBackgroundSprite(494, c, r);
    case 0x3040: return SpawnNote(c, r);
    case 0x3041: return SpawnMalvexScreen(c, r);
    case 0x3042: return SpawnDrMalvex(1, c, r);
    case 0x3043: return SpawnDrMalvex(0, c, r);
    case 0x3044:
    case 0x3045:
    case 0x3046:
    case 0x3047: return SpawnKey(code - 0x3044, c, r);
    case 0x3048:
    case 0x3049:
    case 0x304A:
    case 0x304B: return SpawnKeyHole(code - 0x3048, c, r);
    case 0x304C:
    case 0x304D:
    case 0x304E:
    case 0x304F: return SpawnKeyDoor(code - 0x304C, c, r);
    case 0x3050:
    case 0x3051:
    case 0x3052:
    case 0x3053:
    case 0x3054:
    case 0x3055:
    case 0x3056: return SpawnGoodie(code, c, r);
    case 0x3057: return SpawnMine(c, r);
    case 0x3058: return SpawnSpikes(0, c, r);
    case 0x3059: return SpawnSpikes(1, c, r);
    default: return;
  }
}
