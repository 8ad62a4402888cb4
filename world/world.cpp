#include "world/world.h"

#include <algorithm>
#include <cstring>

#include "data/graphics.h"
#include "data/level_map.h"
#include "data/music.h"
#include "platform/platform.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/player.h"
#include "world/savegame.h"
#include "world/world_state.h"

namespace {
uint32_t PreviousMirrorTime = 0;
}

void ScrollCameraX(TWorld& world) {
  if (!world.Player) return;
  TGameState& g = *world.State;
  for (int i = 0; i < 2; ++i) {
    if (world.Player->PosX - g.CamX < 10 && g.CamX > 0) --g.CamX;
    if (world.Player->PosX - g.CamX > 14 && g.CamX < MaxCamX) ++g.CamX;
  }
}

void ScrollCameraY(TWorld& world) {
  TGameState& g = *world.State;
  if (!g.Victory) {
    if (g.CamDestY < g.CamY && g.CamY > 0) --g.CamY;
    if (g.CamY < g.CamDestY && g.CamY < MaxCamY) ++g.CamY;
  } else if (g.CamY > 0) {
    --g.CamY;
  }
}

void MirrorTimeGuard(uint32_t ms) {
  if (ms > 88 && PreviousMirrorTime > 88) {
    LogLine("");
    LogLine("WARNING: DrawMirrors :: drawing the mirrors took " + std::to_string(ms) +
            " ms -- mirrors are now turned OFF to increase performance");
    LogLine("");
    PlaySettings().NoMirrors = true;
  }
  PreviousMirrorTime = ms;
}

void ResetMirrorTimeGuard() { PreviousMirrorTime = 0; }

void GameTick(TWorld& world, bool up, bool down, bool left, bool right, bool fire, bool jump) {
  if (world.Player) world.Player->ActOnInput(up, down, left, right, fire, jump);
  ScrollCameraX(world);
  // Wraps instead of overflowing: the counter grows for as long as a level is played.
  world.State->Timer = int32_t(uint32_t(world.State->Timer) + 1u);
  DrawLevel(world);
  TickActorList(*world.Actors);
  DrawCollisionBoxes(*world.Actors);
  DrawStatusBorder(world);
  DrawHud(world);
  if (!PlaySettings().NoMirrors) {
    // The real clock: mirrors are a drawing cost, not game logic.
    uint32_t start = Platform().Millisecs();
    DrawMirrors(world);
    uint32_t ms = Platform().Millisecs() - start;
    if (Options().DebugMode) DrawText(std::to_string(ms) + " ms", 0, 192);
    MirrorTimeGuard(ms);
  }
  ScrollCameraY(world);
}

void RedrawGame(TWorld& world) {
  // A menu over the game screen can be shown before any game: then there is nothing to draw.
  if (!world.GameStarted) return;
  DrawLevel(world);
  DrawActorList(*world.Actors);
  DrawCollisionBoxes(*world.Actors);
  DrawStatusBorder(world);
  DrawHud(world);
  if (!PlaySettings().NoMirrors) DrawMirrors(world);
}

int LastMapNumber() { return std::max(0, int(LevelList.size()) - 1); }

namespace {

void PlaceCamera(TWorld& world) {
  if (!world.Player) return;
  TGameState& g = *world.State;
  g.CamX = world.Player->PosX - 14;
  g.CamY = world.Player->PosY / 16 - 4;
  g.CamDestY = g.CamY - 1;
  if (world.Player->BlockedDown()) --g.CamDestY;
}

}  // namespace

namespace {

TWorldSpawns Spawns;

// What the level loader does with the objects of a map, in the given world: the hero first,
// then every object code through the actors' spawns. Belts and fake bridges keep their
// column and row (they work on map cells).
TLevelHooks LevelHooks(TWorld& world) {
  TLevelHooks hooks;
  TWorld* w = &world;
  hooks.ResetActors = [w] {
    ResetActorList(*w);
    w->Teleporters[0] = w->Teleporters[1] = nullptr;
    CreatePlayer(*w, 1, 1);
  };
  if (Spawns.ObjectCode)
    hooks.Spawn = [w](uint16_t code, int c, int r) { Spawns.ObjectCode(*w, code, c, r); };
  if (Spawns.ConveyorBelt)
    hooks.SpawnConveyorBelt = [w](int c, int r, int end, int direction) {
      Spawns.ConveyorBelt(*w, c, r, end, direction);
    };
  if (Spawns.FakeBridge)
    hooks.SpawnFakeBridge = [w](int c, int r, int width) { Spawns.FakeBridge(*w, c, r, width); };
  hooks.PlaceCamera = [w] { PlaceCamera(*w); };
  return hooks;
}

}  // namespace

const TWorldSpawns& WorldSpawns() { return Spawns; }

void SetWorldSpawns(const TWorldSpawns& spawns) { Spawns = spawns; }

bool LoadMap(TWorld& world, const std::string& name) {
  return LoadMap(world.Grid, name, LevelHooks(world));
}

bool LoadLevel(TWorld& world) {
  if (!world.GameStarted) NewGameState(world, PlaySettings().HintsDefault);
  TGameState& g = *world.State;
  g.ReInit();
  size_t n = g.MapOn, e = n & ~size_t(1);
  LoadBackdrops(e < BackdropList.size() ? BackdropList[e] : "",
                e + 1 < BackdropList.size() ? BackdropList[e + 1] : "");
  StartLevelMusic(int(n));
  if (n >= LevelList.size()) {
    LogLine("WARNING :: LoadMap :: cannot read \"\" as level file!");
    return false;
  }
  return LoadMap(world, LevelList[n]);
}

void AdvanceToNextMap(TWorld& world) {
  TGameState& g = *world.State;
  int m = g.MapOn;
  uint8_t bits = (m % 2 == 0) ? g.GetBonusBits() : 0;
  g.MapOn = uint16_t(std::min(LastMapNumber(), m + 1));
  LoadLevel(world);
  if (m % 2 != 0) return;
  int32_t y = 16 * world.State->CamY + 160;
  for (int i = 0; i < LevelBonusCount; ++i)
    if (bits & (1 << i)) {
      if (Spawns.ScoreFlasher)
        Spawns.ScoreFlasher(world, FlasherLevelBonus + i, world.State->CamX + 15, y);
      y += 32;
    }
  SaveGame(world, 0);
}

// --- State hash (FNV-1a over the game state and every listed object's fields) -----------

namespace {

struct THasher {
  uint64_t H = 1469598103934665603ull;
  void Bytes(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < n; ++i) {
      H ^= p[i];
      H *= 1099511628211ull;
    }
  }
  template <class T>
  void Value(T v) {
    Bytes(&v, sizeof v);
  }
  void Text(const std::string& s) {
    Value(uint32_t(s.size()));
    Bytes(s.data(), s.size());
  }
};

void HashObject(THasher& h, TObject& object) {
  h.Text(object.ClassName());
  for (const TFieldInfo* f : object.Class().AllFields()) {
    if (f->Name == "SerialNumber") continue;  // numbering is only meaningful while saving
    switch (f->Type) {
      case TFieldType::Byte: h.Value(*static_cast<uint8_t*>(f->Address(object))); break;
      case TFieldType::Short: h.Value(*static_cast<uint16_t*>(f->Address(object))); break;
      case TFieldType::Int: h.Value(*static_cast<int32_t*>(f->Address(object))); break;
      case TFieldType::Long: h.Value(*static_cast<int64_t*>(f->Address(object))); break;
      case TFieldType::Float: h.Value(*static_cast<float*>(f->Address(object))); break;
      case TFieldType::Double: h.Value(*static_cast<double*>(f->Address(object))); break;
      case TFieldType::String: h.Text(*static_cast<std::string*>(f->Address(object))); break;
      case TFieldType::ByteArray: {
        auto v = ArrayElements<uint8_t>(*f, object);
        h.Value(uint32_t(v.size()));
        h.Bytes(v.data(), v.size());
        break;
      }
      case TFieldType::ShortArray: {
        auto v = ArrayElements<uint16_t>(*f, object);
        h.Value(uint32_t(v.size()));
        for (uint16_t x : v) h.Value(x);
        break;
      }
      case TFieldType::IntArray: {
        auto v = ArrayElements<int32_t>(*f, object);
        h.Value(uint32_t(v.size()));
        for (int32_t x : v) h.Value(x);
        break;
      }
      case TFieldType::Reference: {
        PActorListEntry target = f->GetReference(object);
        h.Value(uint8_t(target != nullptr));
        if (auto g = std::dynamic_pointer_cast<TGameObject>(target)) {
          h.Value(g->PosX);
          h.Value(g->PosY);
        }
        break;
      }
      case TFieldType::Other: break;
    }
  }
}

}  // namespace

uint64_t WorldStateHash(const TWorld& world) {
  THasher h;
  HashObject(h, *world.State);
  h.Bytes(world.Grid.Tiles, sizeof world.Grid.Tiles);
  h.Bytes(world.Grid.Mirrors, sizeof world.Grid.Mirrors);
  for (const PActorListEntry& e : world.Actors->Entries()) HashObject(h, *e);
  h.Value(world.ParticleColourCounter);
  return h.H;
}
