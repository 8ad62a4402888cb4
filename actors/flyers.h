// The enemies that leave the floor: the hover bot, the jump bot, the helicopter, the
// villain in his hover pod (two variants) and the snake, nine segments on one closed path.
#pragma once

#include <cstdint>

#include "world/actor_list.h"

// Hovers above the floor on a rotor, turns toward the hero, steps at him and fires when
// facing him squarely. Acts only while on screen; crashes when shot or touched.
class THoverBot : public TActor {
 public:
  THoverBot();

  uint8_t SpinIndex = 0;  // rotor phase 0..3
  uint8_t IsCrashing = 0;
  int32_t CrashVelY = 0;
  uint8_t IsShooting = 0;

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  virtual void Crash();
  virtual bool BlockedDown() const;
  ZYNTRA_CLASS(THoverBot)
};

// Stands, fires once, then jumps toward the hero; three hits destroy it.
class TJumpBot : public TActor {
 public:
  TJumpBot();

  uint8_t Health = 3;
  uint8_t JumpDir = 0;  // direction of the running jump: 0 left, 1 right
  int32_t JumpTimer = 0;
  uint8_t Direction = 0;  // facing: 0 left, 1 right
  uint8_t SmokeTimer = 0;

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  virtual bool BlockedUp() const;
  virtual bool BlockedDown() const;
  virtual void StartFalling();
  virtual void FacePlayer();
  virtual void Explode();
  ZYNTRA_CLASS(TJumpBot)
};

// Cruises above the hero, dives when right above him, climbs back; four hits bring it
// down and it explodes when it hits the ground.
class THelicopter : public TActor {
 public:
  THelicopter();

  uint8_t Health = 4;
  int32_t Direction = 0;  // -1 left, 0 hovering, +1 right
  int32_t InitialY = 0;   // cruising height
  uint8_t IsLowering = 0;
  uint8_t CanMove = 0;

  void InitSpriteFrames() override;
  bool Visible() const override;
  void Update() override;
  void CheckCollisions() override;
  virtual bool BlockedDown() const;
  virtual void Explode();
  ZYNTRA_CLASS(THelicopter)
};

// The villain: fires twice and floats twice in a 92-tick cycle. IsExploding chooses the
// variant: 0 rises away when beaten (Victory 1), 1 sinks until the cell above it is solid
// and then ends the level (Victory 2).
class TDrMalvex : public TActor {
 public:
  TDrMalvex();

  uint8_t IsExploding = 0;
  int32_t FloatDir = 0;
  uint8_t Health = 9;

  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  virtual bool BlockedLeft() const;
  virtual bool BlockedRight() const;
  ZYNTRA_CLASS(TDrMalvex)
};

// One of the nine segments of the snake. Each segment first slides right StartDelay times
// so that all of them enter the closed path at the same spot, one tick apart.
class TSnakeBot : public TActor {
 public:
  TSnakeBot();

  uint8_t StartDelay = 0;

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TSnakeBot)
};
