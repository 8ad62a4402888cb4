// What the player collects: score popups, boxes, food and bonus goodies, inventory items,
// keys, bonus letters and the dynamite a box may hold.
#pragma once

#include "world/actor_list.h"
#include "world/sprite_numbers.h"

// The rising score popup.
class TBonusFlasher : public TVisibleObject {
 public:
  int32_t TimeToLive = 0;  // ticks left
  int32_t BaseSprite = 0;  // first of its two sprites

  void Update() override;
  void Draw() override;
  ZYNTRA_CLASS(TBonusFlasher)
};

// The two-sprite popup of the level-end bonuses.
class TLargeBonusFlasher : public TBonusFlasher {
 public:
  void Draw() override;
  ZYNTRA_CLASS(TLargeBonusFlasher)
};

// A crate that bursts when shot and leaves the goodie of its ContentID.
class TBox : public TActor {
 public:
  TBox();
  uint16_t BoxSprite = 0;
  uint16_t ContentID = 0;  // goodie ID for SpawnGoodie

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  virtual void Explode();
  ZYNTRA_CLASS(TBox)
};

// The crate with the balloon: sinks 8 pixels per tick, on screen or not.
class TBalloonBox : public TBox {
 public:
  TBalloonBox();
  void FallingItemCode() override;
  ZYNTRA_CLASS(TBalloonBox)
};

// Base of the goodies and items that are picked up by touching them: they fall, and on
// touching the player call Collect and leave. The classes below fill in the rest.
class TPickup : public TActor {
 public:
  TPickup();
  void Update() override;
  void CheckCollisions() override;
  // The effect of being picked up (sound, effect, hint, popup); the caller removes.
  virtual void Collect() {}
  // Reaction to the player's shots while still listed (none by default).
  virtual void CheckShots() {}
  ZYNTRA_CLASS(TPickup)
};

class TSoda : public TPickup {
 public:
  uint8_t IsLeaking = 0;
  uint8_t IsRising = 0;

  void Draw() override;
  void Update() override;
  void Collect() override;
  void CheckShots() override;
  virtual void StartLeaking();
  ZYNTRA_CLASS(TSoda)
};

class TTurkey : public TPickup {
 public:
  void Draw() override;
  void Collect() override;
  void CheckShots() override;
  ZYNTRA_CLASS(TTurkey)
};

class TFootball : public TPickup {
 public:
  void Draw() override;
  void Collect() override;
  ZYNTRA_CLASS(TFootball)
};

class TJoystick : public TPickup {
 public:
  void Draw() override;
  void Collect() override;
  ZYNTRA_CLASS(TJoystick)
};

class TDisk : public TPickup {
 public:
  void Draw() override;
  void Collect() override;
  ZYNTRA_CLASS(TDisk)
};

class TFlag : public TPickup {
 public:
  void Draw() override;
  void Update() override;
  void Collect() override;
  ZYNTRA_CLASS(TFlag)
};

class TRadio : public TPickup {
 public:
  void Draw() override;
  void Update() override;
  void Collect() override;
  ZYNTRA_CLASS(TRadio)
};

class TAtom : public TPickup {
 public:
  void Draw() override;
  void Update() override;
  void Collect() override;
  ZYNTRA_CLASS(TAtom)
};

// Rises one pixel per tick until a ceiling or a shot bursts it.
class TBalloon : public TPickup {
 public:
  TBalloon();
  uint8_t IsExploding = 0;

  void Draw() override;
  void Update() override;
  void CheckCollisions() override;
  void Collect() override;
  void CheckShots() override;
  ZYNTRA_CLASS(TBalloon)
};

class TLetter : public TPickup {
 public:
  uint8_t LetterNum = 0;  // 0..3: B, R, A, X

  void Draw() override;
  void Collect() override;
  ZYNTRA_CLASS(TLetter)
};

// Inventory items: SoundItem and 1000 points, then their effect.
class TInventoryItem : public TPickup {
 public:
  void Draw() override;
  void Collect() override;
  virtual int Sprite() const = 0;
  virtual void Give() = 0;
  ZYNTRA_CLASS(TInventoryItem)
};

class TPistol : public TInventoryItem {
 public:
  int Sprite() const override { return SpritePistol; }
  void Give() override;
  ZYNTRA_CLASS(TPistol)
};

class TBoots : public TInventoryItem {
 public:
  int Sprite() const override { return SpriteBoots; }
  void Give() override;
  ZYNTRA_CLASS(TBoots)
};

class THooks : public TInventoryItem {
 public:
  int Sprite() const override { return SpriteHooks; }
  void Give() override;
  ZYNTRA_CLASS(THooks)
};

class TGlove : public TInventoryItem {
 public:
  int Sprite() const override { return SpriteGlove; }
  void Give() override;
  ZYNTRA_CLASS(TGlove)
};

class TAccessCard : public TInventoryItem {
 public:
  int Sprite() const override { return SpriteAccessCard; }
  void Give() override;
  ZYNTRA_CLASS(TAccessCard)
};

// A key: does not fall.
class TKey : public TActor {
 public:
  TKey();
  uint8_t KeyNum = 0;  // 0..3

  void Draw() override;
  void CheckCollisions() override;
  ZYNTRA_CLASS(TKey)
};

// Blinks, hides, then blasts in the centre and along the floor to both sides.
class TDynamite : public TActor {
 public:
  TDynamite();
  void Draw() override;
  void Update() override;
  void CheckCollisions() override {}
  ZYNTRA_CLASS(TDynamite)
};
