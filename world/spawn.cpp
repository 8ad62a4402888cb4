// What the world keeps of spawning: the hero, and objects and fields by name (reading a
// quick save, the tests). The spawn operations that create the level objects live with the
// objects (actors/spawn.cpp).
#include "world/player.h"
#include "world/world.h"
#include "world/world_state.h"

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

void CreatePlayer(TWorld& world, int column, int row) {
  if (world.Player) world.Player->Remove();
  world.Player = std::make_shared<TBraxTovar>();
  world.Player->PosX = CellX(column);
  world.Player->PosY = CellY(row);
  world.Actors->AddToLayer(world.Player, LayerHero);
}
