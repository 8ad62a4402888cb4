// Hazards that stay in place and the destructible targets that feed the level-end tallies:
// spikes, nails, flame throwers, mines, security cameras, falling signs, rockets, the reactor.
#pragma once

#include <cstdint>

#include "world/actor_list.h"

class TSpikes : public TActor {
 public:
  uint16_t SpriteIndex = 0;  // 676 floor, 677 ceiling

  TSpikes();
  void CheckCollisions() override;
  void Draw() override;
  ZYNTRA_CLASS(TSpikes)
};

class TNail : public TActor {
 public:
  uint8_t IsRisen = 0;  // shown risen only on ticks of contact

  TNail();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  ZYNTRA_CLASS(TNail)
};

class TCamera : public TActor {
 public:
  uint8_t Orientation = 0;  // 0 looks left, 1 down, 2 right

  TCamera();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  ZYNTRA_CLASS(TCamera)
};

class TACMESign : public TActor {
 public:
  uint8_t State = 0;
  enum : uint8_t { Hanging, Shaking, Falling };

  TACMESign();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  virtual void Explode();
  ZYNTRA_CLASS(TACMESign)
};

class TReactor : public TActor {
 public:
  uint8_t IsWhite = 0;  // flashes white in the tick it was hit
  uint8_t Health = 10;

  TReactor();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  virtual void Explode();
  ZYNTRA_CLASS(TReactor)

 private:
  void Meltdown();
};

class TRocket : public TActor {
 public:
  uint8_t State = 0;
  enum : uint8_t { Standing, Launched };

  TRocket();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  virtual bool BlockedUp() const;
  virtual void DestroyGround();
  virtual void Explode();
  virtual void Start();
  ZYNTRA_CLASS(TRocket)
};

class TMine : public TActor {
 public:
  TMine();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  virtual void Explode();
  ZYNTRA_CLASS(TMine)
};

class TJumpingMine : public TActor {
 public:
  TJumpingMine();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  ZYNTRA_CLASS(TJumpingMine)
};

class TFlameThrower : public TActor {
 public:
  uint8_t Orientation = 0;  // 0 flame to the right, 1 flame to the left

  TFlameThrower();
  void Update() override;
  void CheckCollisions() override;
  void Draw() override;
  ZYNTRA_CLASS(TFlameThrower)
};
