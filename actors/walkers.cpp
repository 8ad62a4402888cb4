#include "actors/walkers.h"

#include "actors/effects.h"
#include "actors/families.h"
#include "actors/spawn.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TCrawlBot, TActor, ZYNTRA_FIELD_RANGE(TCrawlBot, Orientation, 0, 1),
                    ZYNTRA_FIELD_RANGE(TCrawlBot, Direction, -1, 1))
ZYNTRA_DEFINE_CLASS(TTechBot, TActor, ZYNTRA_FIELD(TTechBot, Exploding),
                    ZYNTRA_FIELD_RANGE(TTechBot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TFlameBot, TActor, ZYNTRA_FIELD(TFlameBot, Frame),
                    ZYNTRA_FIELD_RANGE(TFlameBot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TBunnyBot, TActor, ZYNTRA_FIELD(TBunnyBot, Rotating),
                    ZYNTRA_FIELD_RANGE(TBunnyBot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TCannonBot, TActor, ZYNTRA_FIELD(TCannonBot, Health),
                    ZYNTRA_FIELD_RANGE(TCannonBot, Direction, 0, 1),
                    ZYNTRA_FIELD_RANGE(TCannonBot, State, 0, 7))
ZYNTRA_DEFINE_CLASS(TWheelBot, TActor, ZYNTRA_FIELD(TWheelBot, FlameOn),
                    ZYNTRA_FIELD_RANGE(TWheelBot, Direction, 0, 1), ZYNTRA_FIELD(TWheelBot, Health))

namespace {

// Standing on something under either half of a two-column body.
bool Grounded(const TActor& actor) {
  return actor.IsSolid(actor.PosX, actor.PosY + 1) || actor.IsSolid(actor.PosX + 1, actor.PosY + 1);
}

// Frames of `count` pictures, `width` sprites wide, each from consecutive sprites.
std::vector<TSpriteFrame> FrameTable(int32_t count, int32_t width, int32_t offX, int32_t offY,
                                     int32_t spritesPerFrame, int32_t (*firstSprite)(int32_t)) {
  std::vector<TSpriteFrame> frames;
  for (int32_t i = 0; i < count; ++i) {
    TSpriteFrame f;
    f.Width = width;
    f.OffX = offX;
    f.OffY = offY;
    for (int32_t k = 0; k < spritesPerFrame; ++k) f.SpriteIndices.push_back(firstSprite(i) + k);
    frames.push_back(f);
  }
  return frames;
}

}  // namespace

// --- Crawl bot ---------------------------------------------------------------------------

TCrawlBot::TCrawlBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TCrawlBot::Draw() {
  DrawAtActor(*this, (Orientation == 0 ? SpriteCrawlBotWallLeft : SpriteCrawlBotWallRight) + 3 -
                         ((PosY % 4) + 4) % 4);
}

void TCrawlBot::Update() {
  if (!Visible()) return;
  const int32_t wall = Orientation == 0 ? PosX - 1 : PosX + 2;
  const int32_t probe = Direction < 0 ? PosY - 16 : PosY + 1;
  // Turn where the path is blocked or the wall runs out.
  if (IsSolid(PosX, probe) || !IsSolid(wall, probe)) Direction = -Direction;
  PosY += Direction;
}

void TCrawlBot::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  if (auto shot = FirstBraxShotHitting(*this)) {
    Game().AddScore(100);
    SpawnSmokeCloud(World(), PosX, PosY - 8);
    SpawnDecoExplosion(World(), PosX, PosY);
    shot->Remove();
    PlayBraxSound(SoundRobotHit);
    Remove();
  }
}

// --- Tech bot ----------------------------------------------------------------------------

TTechBot::TTechBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TTechBot::Draw() { DrawAtActor(*this, SpriteTechBot + CurrentFrame); }

// It also wakes while standing on the row just above the view.
bool TTechBot::Visible() const {
  return PosY >= Game().CamY * 16 - 1 && PosY - Height < Game().CamY * 16 + 159 &&
         PosX + Width >= Game().CamX && PosX <= Game().CamX + 26;
}

void TTechBot::Update() {
  if (++Timer >= 3) Timer = 0;
  if (Exploding) {
    if (++CurrentFrame >= 10) {
      SpawnDecoExplosion(World(), PosX, PosY);
      Game().AddScore(100);
      Remove();
    }
    return;
  }
  if (!Visible()) return;
  CurrentFrame = Timer;
  if (!Grounded(*this)) {
    PosY += 16;
    return;
  }
  if (Timer != 0) return;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int32_t probe = Direction == 0 ? PosX - 1 : PosX + 2;
    if (!IsSolid(probe, PosY) && IsSolid(probe, PosY + 1)) {
      PosX += Direction == 0 ? -1 : 1;
      return;
    }
    Direction = Direction == 0 ? 1 : 0;
  }
}

void TTechBot::StartExploding() {
  Exploding = 1;
  CurrentFrame = 3;
}

void TTechBot::CheckCollisions() {
  if (Exploding) return;
  if (auto shot = FirstBraxShotHitting(*this)) {
    PosX += shot->Direction == 1 ? 1 : -1;
    StartExploding();
    PlayBraxSound(SoundRobotHit);
    shot->Remove();
    return;
  }
  if (TouchesPlayer(*this)) HurtPlayer(World());
}

// --- Flame bot ---------------------------------------------------------------------------

TFlameBot::TFlameBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TFlameBot::InitSpriteFrames() {
  Frames = FrameTable(6, 1, 0, -31, 2, [](int32_t i) { return SpriteFlameBot + 2 * i; });
}

void TFlameBot::Update() {
  Timer = (Timer + 1) % 6;
  const bool grounded = Grounded(*this);
  if (!grounded) PosY += 8;
  const int32_t facing = Direction ? 1 : 0;
  if (Timer % 2 == 0) {
    PosX += facing ? 1 : -1;
    CurrentFrame = Timer / 2 + 3 * facing;
    return;
  }
  if (!grounded) {
    Direction = 0;
    return;
  }
  const int32_t ahead = facing ? PosX + Width : PosX - 1;
  if (IsSolid(ahead, PosY - 8) || !IsSolid(ahead, PosY + 1)) Direction = facing ? 0 : 1;
  CurrentFrame = Timer / 2 + 3 * Direction;
}

void TFlameBot::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const PBraxShot& shot : BraxShotsHitting(*this)) shot->Remove();
}

// --- Bunny bot ---------------------------------------------------------------------------

TBunnyBot::TBunnyBot() {
  Width = 2;
  Height = 16;
  CurrentFrame = 6;
  InitSpriteFrames();
}

void TBunnyBot::InitSpriteFrames() {
  // Hopping left (0-2), hopping right (3-5), facing the viewer (6), facing away (7).
  Frames = FrameTable(8, 1, 0, -31, 2, [](int32_t i) {
    return i < 3 ? SpriteBunnyLeft + 2 * i : SpriteBunnyRight + 2 * (i - 3);
  });
}

void TBunnyBot::Update() {
  ++Timer;
  const int32_t facing = Direction ? 1 : 0;
  if (Rotating) {
    static const int32_t Spin[2][4] = {{0, 6, 3, 7}, {3, 6, 0, 7}};
    CurrentFrame = Spin[facing][(Timer % 4 + 4) % 4];  // a loaded Timer may be negative
    if (Timer >= 20) {
      ScoreFlasher(World(), Flasher5000, PosX, PosY);
      Explode();
    }
    return;
  }
  const bool wallLeft = IsSolid(PosX - 1, PosY - 8);
  const bool wallRight = IsSolid(PosX + 2, PosY - 8);
  const bool grounded = Grounded(*this);
  if (facing == 0 && grounded && wallLeft) {
    CurrentFrame = 7;
    Direction = 1;
  } else if (facing == 1 && grounded && wallRight) {
    CurrentFrame = 6;
    Direction = 0;
  } else if (Timer % 2 == 1 && Timer > 1) {
    CurrentFrame = (CurrentFrame + 1) % 3 + 3 * facing;
  } else if (CurrentFrame <= 5) {
    PosX += facing ? 1 : -1;
  }
  if (!grounded) PosY += 8;
}

void TBunnyBot::StartRotating() {
  Rotating = 1;
  Timer = 0;
  PlayBraxSound(SoundBunnySpins);
}

void TBunnyBot::Explode() {
  static const int32_t Clouds[6][2] = {{0, 0}, {0, -16}, {-1, 0}, {-1, -8}, {1, -8}, {1, -24}};
  for (const auto& c : Clouds) SpawnSmokeCloud(World(), PosX + c[0], PosY + c[1]);
  Remove();
  ++Game().BunniesShot;
}

void TBunnyBot::CheckCollisions() {
  // Spinning or turning round, it cannot be hit.
  if (Rotating || CurrentFrame > 5) return;
  if (auto shot = FirstBraxShotHitting(*this)) {
    PlayBraxSound(SoundRobotHit);
    Game().AddScore(200);
    Explode();
    shot->Remove();
    return;
  }
  if (TouchesPlayer(*this)) {
    HurtPlayer(World());
    StartRotating();
  }
}

// --- Cannon bot --------------------------------------------------------------------------

TCannonBot::TCannonBot() {
  Width = 4;
  Height = 16;
  InitSpriteFrames();
}

void TCannonBot::InitSpriteFrames() {
  Frames = FrameTable(4, 2, 0, -15, 2, [](int32_t i) { return SpriteCannonBot + 2 * i; });
}

bool TCannonBot::BlockedDown() const { return Grounded(*this); }

bool TCannonBot::CanGoLeft() const {
  return IsSolid(PosX - 1, PosY + 1) && !IsSolid(PosX - 1, PosY);
}

bool TCannonBot::CanGoRight() const {
  return IsSolid(PosX + 4, PosY + 1) && !IsSolid(PosX + 4, PosY);
}

void TCannonBot::Update() {
  Timer = (Timer + 1) % 8;
  if (Health == 1 && Timer % 4 == 0) SpawnSmokeCloud(World(), PosX + 2, PosY - 8);
  const int32_t facing = Direction ? 1 : 0;
  if (!BlockedDown()) {
    PosY += 4;
    CurrentFrame = 2 * facing;
    return;
  }
  // Left to the end of the ledge (into the last column), fire right, right to the other end
  // (stopping one column short), fire left.
  auto endsHere = [this](int32_t column) {
    return IsSolid(column, PosY) || !IsSolid(column, PosY + 1);
  };
  switch (State) {
    case 0: State = 1; break;
    case 1:
      --PosX;
      State = endsHere(PosX) ? 2 : 0;
      break;
    case 2:
      Direction = 1;
      State = 3;
      break;
    case 3:
      ++PosX;
      SpawnEnemyShot(World(), PosX + Width, PosY - 1, 1);
      State = 4;
      break;
    case 4: State = 5; break;
    case 5:
      ++PosX;
      State = endsHere(PosX + Width) ? 6 : 4;
      break;
    case 6:
      --PosX;
      State = 7;
      break;
    case 7:
      Direction = 0;
      SpawnEnemyShot(World(), PosX - 2, PosY - 1, 0);
      State = 0;
      break;
    default: State = 0; break;
  }
  CurrentFrame = Timer / 4 + 2 * (Direction ? 1 : 0);
}

void TCannonBot::CheckCollisions() {
  for (const PBraxShot& shot : BraxShotsHitting(*this)) {
    shot->Remove();
    if (Health > 0) --Health;
    if (Health == 0) {
      SpawnParticles(World(), PosX - 1, PosY);
      SpawnParticles(World(), PosX + 1, PosY);
      SpawnDecoExplosion(World(), PosX, PosY);
      Game().AddScore(2500);
      PlayBraxSound(SoundRobotHit);
      Remove();
      return;
    }
  }
  if (TouchesPlayer(*this)) HurtPlayer(World());
}

// --- Wheel bot ---------------------------------------------------------------------------

TWheelBot::TWheelBot() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TWheelBot::InitSpriteFrames() {
  // Rolling (0-3), rolling with the flame shield (4-7).
  Frames = FrameTable(8, 2, -1, -31, 4, [](int32_t i) { return SpriteWheelBot + 4 * i; });
}

bool TWheelBot::BlockedDown() const { return Grounded(*this); }

bool TWheelBot::GoLeft() {
  if (IsSolid(PosX - 1, PosY) || !IsSolid(PosX - 1, PosY + 1)) return false;
  --PosX;
  return true;
}

bool TWheelBot::GoRight() {
  if (IsSolid(PosX + 2, PosY) || !IsSolid(PosX + 2, PosY + 1)) return false;
  ++PosX;
  return true;
}

void TWheelBot::Update() {
  if (!BlockedDown()) PosY += 16;
  if (Game().Timer % 2 != 0) {
    if (Direction == 0) {
      if (!GoLeft()) {
        Direction = 1;
        GoRight();
      }
    } else if (!GoRight()) {
      Direction = 0;
      GoLeft();
    }
  }
  ++Timer;
  if (Timer < 28) {
    FlameOn = 0;
  } else if (Timer < 60) {
    FlameOn = 1;
  } else {
    Timer = 0;
    FlameOn = 0;
  }
  CurrentFrame = (CurrentFrame + 1) % 4 + 4 * (FlameOn ? 1 : 0);
  if (Health == 1 && CurrentFrame % 4 == 0) SpawnSmokeCloud(World(), PosX, PosY - 8);
}

void TWheelBot::CheckCollisions() {
  if (TouchesPlayer(*this)) HurtPlayer(World());
  for (const PBraxShot& shot : BraxShotsHitting(*this)) {
    shot->Remove();
    if (FlameOn) continue;  // the shield swallows the shot
    if (Health > 0) --Health;
    if (Health == 0) {
      SpawnDecoExplosion(World(), PosX, PosY);
      SpawnDecoExplosion(World(), PosX, PosY - 16);
      SpawnDecoExplosion(World(), PosX - 1, PosY - 16);
      SpawnParticles(World(), PosX - 1, PosY);
      SpawnParticles(World(), PosX + 1, PosY);
      Game().AddScore(5000);
      PlayBraxSound(SoundExplosion);
      Remove();
      return;
    }
  }
}

// --- Registration ------------------------------------------------------------------------

const std::vector<const TClassInfo*>& WalkerClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TCrawlBot::StaticClass(), &TTechBot::StaticClass(),   &TFlameBot::StaticClass(),
      &TBunnyBot::StaticClass(), &TCannonBot::StaticClass(), &TWheelBot::StaticClass(),
  };
  return classes;
}
