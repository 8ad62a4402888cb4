#include "actors/effects.h"

#include "actors/families.h"
#include "actors/spawn.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "data/tile_words.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TBraxShot, TActor, ZYNTRA_FIELD_RANGE(TBraxShot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TEnemyShot, TActor, ZYNTRA_FIELD_RANGE(TEnemyShot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TExplosion, TActor, ZYNTRA_FIELD(TExplosion, Direction))
ZYNTRA_DEFINE_CLASS(TSmokeCloud, TVisibleObject)
ZYNTRA_DEFINE_CLASS(TDust, TVisibleObject)
ZYNTRA_DEFINE_CLASS(TDecoExplosion, TVisibleObject)
ZYNTRA_DEFINE_CLASS(TWhiteBall, TVisibleObject)
ZYNTRA_DEFINE_CLASS(TParticle, TVisibleObject, ZYNTRA_FIELD_RANGE(TParticle, ParticleIndex, 0, 3))
ZYNTRA_DEFINE_CLASS(TMetalShard, TVisibleObject)

const std::vector<const TClassInfo*>& EffectClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TBraxShot::StaticClass(),   &TEnemyShot::StaticClass(), &TExplosion::StaticClass(),
      &TSmokeCloud::StaticClass(), &TDust::StaticClass(),      &TDecoExplosion::StaticClass(),
      &TWhiteBall::StaticClass(),  &TParticle::StaticClass(),  &TMetalShard::StaticClass(),
  };
  return classes;
}

namespace {

// Division rounding down, so that points left of or above the map stay outside it.
int32_t FloorDiv(int32_t a, int32_t b) { return a >= 0 ? a / b : -((b - 1 - a) / b); }

}  // namespace

// Every target looks for shots each tick: the list is walked in place, not copied.
std::vector<PBraxShot> BraxShotsHitting(const TActor& target) {
  std::vector<PBraxShot> out;
  ForEachListed<TBraxShot>(target.Actors(), [&](const PBraxShot& shot) {
    if (target.CollidesWith(*shot)) out.push_back(shot);
    return false;
  });
  return out;
}

PBraxShot FirstBraxShotHitting(const TActor& target) {
  PBraxShot found;
  ForEachListed<TBraxShot>(target.Actors(), [&](const PBraxShot& shot) {
    if (target.CollidesWith(*shot)) found = shot;
    return found != nullptr;
  });
  return found;
}

// --- The player's shot ---------------------------------------------------------------

TBraxShot::TBraxShot() {
  Width = 2;
  Height = 16;
}

void TBraxShot::Update() {
  ++Timer;
  CurrentFrame = CurrentFrame == 0 ? 1 : 0;
  const int32_t step = Direction == 1 ? 1 : -1;
  PosX += step;

  // A cracked block in either of the two rows ahead breaks; the upper row first.
  const int32_t column = FloorDiv(PosX + Direction, 2);
  const int32_t firstRow = FloorDiv(PosY - 8, 16);
  for (int32_t row = firstRow; row <= firstRow + 1; ++row) {
    if (!InMap(column, row)) continue;
    if (World().Grid.Tiles[row][column] != CrackedBlockTile) continue;
    World().Grid.Tiles[row][column] = RubbleTile;
    Explode();
    SpawnSmokeCloud(World(), PosX, 16 * row + 15);
    PlayBraxSound(SoundBlockBreaks);
    Game().AddScore(10);
    return;
  }

  if (IsSolid(PosX + Direction, PosY - 8)) {
    Explode();
    return;
  }
  PosX += step;
  if (!Visible()) Remove();
}

void TBraxShot::Draw() {
  DrawAtActor(*this, Timer == 1 ? SpriteHeroMuzzle + Direction : SpriteHeroShot + CurrentFrame);
}

void TBraxShot::Explode() {
  SpawnDecoExplosion(World(), PosX, PosY + 4);
  Remove();
}

void TBraxShot::Remove() {
  if (Game().PlayerShotsActive > 0) --Game().PlayerShotsActive;
  TActor::Remove();
}

// --- The robots' shot ----------------------------------------------------------------

TEnemyShot::TEnemyShot() {
  Width = 2;
  Height = 16;
}

bool TEnemyShot::IsBlocked() const {
  const int32_t x = PosX + 1 - Direction;
  return IsSolid(x, PosY - 15) || IsSolid(x, PosY - 7);
}

void TEnemyShot::Update() {
  ++Timer;
  if (IsBlocked()) {
    Explode();
    return;
  }
  if (Timer > 1) {
    if (Direction == 0) {
      --PosX;
      CurrentFrame = CurrentFrame == 0 ? 1 : 0;
    } else {
      ++PosX;
      CurrentFrame = CurrentFrame == 2 ? 3 : 2;
    }
  }
  if (!Visible()) Remove();
}

void TEnemyShot::Draw() {
  DrawAtActor(*this, Timer == 1 ? SpriteEnemyMuzzle + Direction : SpriteEnemyShot + CurrentFrame);
}

void TEnemyShot::CheckCollisions() {
  if (!TouchesPlayer(*this)) return;
  if (HurtPlayer(World()) && World().Player) World().Player->Push(Direction);
  Remove();
}

void TEnemyShot::Explode() { Remove(); }

void TEnemyShot::Remove() {
  if (Game().EnemyShotsActive > 0) --Game().EnemyShotsActive;
  TActor::Remove();
}

// --- The floor explosion -------------------------------------------------------------

TExplosion::TExplosion() {
  Width = 2;
  Height = 16;
}

void TExplosion::Update() {
  if (Timer == 6) {
    Remove();
    return;
  }
  CurrentFrame = Timer;
  if (Timer == 2 && Direction != 0) {
    const int32_t side = Direction > 0 ? 1 : -1;
    const int32_t x2 = PosX + 2 * side;
    if (IsSolid(x2, PosY + 1) && !IsSolid(x2, PosY))
      SpawnExplosion(World(), x2, PosY, Direction - side);
  }
  ++Timer;
}

void TExplosion::Draw() { DrawAtActor(*this, SpriteFloorBlast + CurrentFrame); }

void TExplosion::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
}

// --- Visual effects ------------------------------------------------------------------

void TSmokeCloud::Update() {
  if (++CurrentFrame >= 5) Remove();
}
void TSmokeCloud::Draw() { DrawAtActor(*this, SpriteSmokeCloud + CurrentFrame); }

void TDust::Update() {
  if (++CurrentFrame >= 5) Remove();
}
void TDust::Draw() { DrawAtActor(*this, SpriteDust + CurrentFrame); }

void TDecoExplosion::Update() {
  if (++CurrentFrame >= 6) Remove();
}
void TDecoExplosion::Draw() { DrawAtActor(*this, SpriteFireball + CurrentFrame); }

void TWhiteBall::Update() {
  if (++CurrentFrame >= 4) Remove();
}

void TWhiteBall::Draw() {
  if (CurrentFrame == 1) {
    DrawAtActor(*this, SpriteWhiteFlash);
  } else if (CurrentFrame == 3) {
    DrawAtActor(*this, SpriteFlashRing, -8, -8);
    DrawAtActor(*this, SpriteFlashRing + 1, 8, -8);
    DrawAtActor(*this, SpriteFlashRing + 2, -8, 8);
    DrawAtActor(*this, SpriteFlashRing + 3, 8, 8);
  }
}

namespace {
// The four paths of a burst: steps per update, indexed by path and Timer.
const int32_t ParticleDx[4][10] = {
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {0, 0, 0, -1, 0, 0, 0, 0, -1, 0},
    {1, 0, 1, 0, 1, 0, 0, 0, 1, 0},
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
};
const int32_t ParticleDy[4][10] = {
    {1, 2, 3, 4, 6, 6, 9, 9, 10, 13},
    {-8, -5, -4, -4, -1, 0, 2, 2, 2, 4},
    {-6, -4, -3, -1, 1, 3, 4, 6, 2, 4},
    {0, 1, 1, 2, 1, 3, 3, 4, 4, 5},
};
}  // namespace

void TParticle::Update() {
  if (Timer > 8) Remove();  // the last step is still taken
  if (Timer >= 0 && Timer < 10 && ParticleIndex < 4) {
    PosX += ParticleDx[ParticleIndex][Timer];
    PosY += ParticleDy[ParticleIndex][Timer];
  }
  ++Timer;
}

void TParticle::Draw() { DrawAtActor(*this, SpriteParticle + CurrentFrame); }

TMetalShard::TMetalShard() { InitSpriteFrames(); }

void TMetalShard::InitSpriteFrames() {
  Frames.clear();
  for (int32_t i = 0; i < 5; ++i) {
    TSpriteFrame f;
    f.Width = 2;
    f.OffX = -1;
    f.OffY = -15;
    f.SpriteIndices = {SpriteMetalShard + 2 * i, SpriteMetalShard + 2 * i + 1};
    Frames.push_back(f);
  }
}

void TMetalShard::Update() {
  // Pixels per update by Timer; the last step only moves a shard that leaves next update.
  static const int32_t Step[15] = {0, -4, -2, -1, 0, 1, 2, 2, 4, 4, 8, 8, 16, 16, 16};
  ++Timer;
  if (Timer >= 15 || Timer < 1) {
    Remove();
    return;
  }
  CurrentFrame = (Timer - 1) / 3;
  PosY += Step[Timer];
}
