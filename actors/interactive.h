// The scenery the hero works with: the exit door, key holes and key doors, glove and card
// slots, force fields, notes, teleporters, the villain's monitor, energy beams and plain
// background sprites. What the hero's Up does to an item is its Use.
#pragma once

#include <cstdint>
#include <memory>

#include "world/actor_list.h"

class TExitDoor : public TInteractiveBackgroundItem {
 public:
  TExitDoor();
  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  void Activate() override { Open(); }
  virtual void Open();
  ZYNTRA_CLASS(TExitDoor)
};

class TKeyHole : public TInteractiveBackgroundItem {
 public:
  uint8_t KeyNum = 0;
  uint8_t Unlocked = 0;

  TKeyHole();
  void Draw() override;
  void CheckCollisions() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  ZYNTRA_CLASS(TKeyHole)
};

class TKeyDoor : public TVisibleObject {
 public:
  uint8_t KeyNum = 0;
  uint8_t State = 0;  // 0 closed, 1..7 opening

  TKeyDoor();
  void Draw() override;
  void Update() override;
  virtual void Open();
  ZYNTRA_CLASS(TKeyDoor)
};

class TGloveSlot : public TInteractiveBackgroundItem {
 public:
  uint8_t Unlocked = 0;
  uint8_t Direction = 0;  // side of the next shot fired while Active

  TGloveSlot();
  void Draw() override;
  void CheckCollisions() override;
  void Update() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  ZYNTRA_CLASS(TGloveSlot)
};

class TCardSlot : public TInteractiveBackgroundItem {
 public:
  uint8_t Unlocked = 0;

  TCardSlot();
  void Draw() override;
  void CheckCollisions() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  ZYNTRA_CLASS(TCardSlot)
};

class TForceField : public TActor {
 public:
  TForceField();
  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TForceField)
};

// The invisible ends push a player who walks into the field back out.
class TForceFieldLeft : public TForceField {
 public:
  void Draw() override {}
  void Update() override {}
  void CheckCollisions() override;
  ZYNTRA_CLASS(TForceFieldLeft)
};

class TForceFieldRight : public TForceField {
 public:
  void Draw() override {}
  void Update() override {}
  void CheckCollisions() override;
  ZYNTRA_CLASS(TForceFieldRight)
};

class TNote : public TInteractiveBackgroundItem {
 public:
  TNote();
  void Draw() override;
  void CheckCollisions() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  ZYNTRA_CLASS(TNote)
};

class TMalvexScreen : public TInteractiveBackgroundItem {
 public:
  uint8_t WasActive = 0;

  TMalvexScreen();
  void InitSpriteFrames() override;
  void Update() override;
  void CheckCollisions() override {}
  bool Use(TBraxTovar& player, bool upOnly) override;
  void Activate() override;
  ZYNTRA_CLASS(TMalvexScreen)
};

class TMonitorTrigger : public TActor {
 public:
  std::shared_ptr<TMalvexScreen> Monitor;

  TMonitorTrigger();
  void Draw() override {}
  void CheckCollisions() override;
  ZYNTRA_CLASS(TMonitorTrigger)
};

class TEnergyBeam : public TActor {
 public:
  uint8_t IsColliding = 0;

  TEnergyBeam();
  void Draw() override;
  void CheckCollisions() override;
  void Update() override;
  ZYNTRA_CLASS(TEnergyBeam)
};

class TTeleporter : public TInteractiveBackgroundItem {
 public:
  uint8_t TeleIndex = 0;
  uint8_t BlinkFrame = 0;
  uint8_t DrawBolt = 0;

  TTeleporter();
  void InitSpriteFrames() override;
  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  bool Use(TBraxTovar& player, bool upOnly) override;
  void Activate() override;
  ZYNTRA_CLASS(TTeleporter)
};

class TBackgroundSprite : public TVisibleObject {
 public:
  uint16_t SpriteIndex = 0;

  void Draw() override;
  ZYNTRA_CLASS(TBackgroundSprite)
};
