// Shots, explosions and the short visual effects that other actors leave behind.
//
// The player's shots only test the map; the actors that react to fire find the shots
// themselves (BraxShotsHitting below) and consume them through the shot's Remove, which
// keeps the live-shot count of the game state.
#pragma once

#include <memory>
#include <vector>

#include "world/actor_list.h"

// The player's shot: two half-tiles per tick; breaks cracked blocks.
class TBraxShot : public TActor {
 public:
  TBraxShot();
  uint8_t Direction = 0;  // 0 left, 1 right

  void Remove() override;
  void Draw() override;
  void Update() override;
  void CheckCollisions() override {}
  virtual void Explode();
  ZYNTRA_CLASS(TBraxShot)
};

// The robots' shot: one half-tile per tick from its second tick on.
class TEnemyShot : public TActor {
 public:
  TEnemyShot();
  uint8_t Direction = 0;  // 0 left, 1 right

  void Remove() override;
  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  virtual void Explode();
  virtual bool IsBlocked() const;
  ZYNTRA_CLASS(TEnemyShot)
};

// The flame of mines and dynamite. Direction is the spread: its sign the side the flame
// travels to, its size how many further blasts follow along the floor.
class TExplosion : public TActor {
 public:
  TExplosion();
  int32_t Direction = 0;

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TExplosion)
};

// The effects count CurrentFrame up at every update and leave at their end value.
class TSmokeCloud : public TVisibleObject {
 public:
  void Draw() override;
  void Update() override;
  ZYNTRA_CLASS(TSmokeCloud)
};

class TDust : public TVisibleObject {
 public:
  void Draw() override;
  void Update() override;
  ZYNTRA_CLASS(TDust)
};

class TDecoExplosion : public TVisibleObject {
 public:
  void Draw() override;
  void Update() override;
  ZYNTRA_CLASS(TDecoExplosion)
};

class TWhiteBall : public TVisibleObject {
 public:
  void Draw() override;
  void Update() override;
  ZYNTRA_CLASS(TWhiteBall)
};

// One of the four pieces of a burst; CurrentFrame is its colour.
class TParticle : public TVisibleObject {
 public:
  uint8_t ParticleIndex = 0;  // which path, 0..3

  void Draw() override;
  void Update() override;
  ZYNTRA_CLASS(TParticle)
};

// A piece of metal that jumps up and falls.
class TMetalShard : public TVisibleObject {
 public:
  TMetalShard();
  void InitSpriteFrames() override;
  void Update() override;
  ZYNTRA_CLASS(TMetalShard)
};

using PBraxShot = std::shared_ptr<TBraxShot>;

// The listed player shots whose box overlaps the target's, in list order.
std::vector<PBraxShot> BraxShotsHitting(const TActor& target);
// The first of them, or null.
PBraxShot FirstBraxShotHitting(const TActor& target);
