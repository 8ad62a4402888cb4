#include "actors/pickups.h"

#include "actors/effects.h"
#include "actors/families.h"
#include "actors/spawn.h"
#include "data/graphics.h"
#include "data/level_map.h"
#include "data/object_codes.h"
#include "data/sound.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TBonusFlasher, TVisibleObject,
                    ZYNTRA_FIELD_RANGE(TBonusFlasher, TimeToLive, 0, MaxPosY),
                    ZYNTRA_FIELD_RANGE(TBonusFlasher, BaseSprite, 0, SpriteFrameCount - 1))
ZYNTRA_DEFINE_CLASS(TLargeBonusFlasher, TBonusFlasher)
ZYNTRA_DEFINE_CLASS(TBox, TActor, ZYNTRA_FIELD_RANGE(TBox, BoxSprite, 0, SpriteFrameCount - 1),
                    ZYNTRA_FIELD(TBox, ContentID))
ZYNTRA_DEFINE_CLASS(TBalloonBox, TBox)
ZYNTRA_DEFINE_CLASS(TPickup, TActor)
ZYNTRA_DEFINE_CLASS(TSoda, TPickup, ZYNTRA_FIELD(TSoda, IsLeaking), ZYNTRA_FIELD(TSoda, IsRising))
ZYNTRA_DEFINE_CLASS(TTurkey, TPickup)
ZYNTRA_DEFINE_CLASS(TFootball, TPickup)
ZYNTRA_DEFINE_CLASS(TJoystick, TPickup)
ZYNTRA_DEFINE_CLASS(TDisk, TPickup)
ZYNTRA_DEFINE_CLASS(TFlag, TPickup)
ZYNTRA_DEFINE_CLASS(TRadio, TPickup)
ZYNTRA_DEFINE_CLASS(TAtom, TPickup)
ZYNTRA_DEFINE_CLASS(TBalloon, TPickup, ZYNTRA_FIELD(TBalloon, IsExploding))
ZYNTRA_DEFINE_CLASS(TLetter, TPickup, ZYNTRA_FIELD_RANGE(TLetter, LetterNum, 0, 3))
ZYNTRA_DEFINE_CLASS(TInventoryItem, TPickup)
ZYNTRA_DEFINE_CLASS(TPistol, TInventoryItem)
ZYNTRA_DEFINE_CLASS(TBoots, TInventoryItem)
ZYNTRA_DEFINE_CLASS(THooks, TInventoryItem)
ZYNTRA_DEFINE_CLASS(TGlove, TInventoryItem)
ZYNTRA_DEFINE_CLASS(TAccessCard, TInventoryItem)
ZYNTRA_DEFINE_CLASS(TKey, TActor, ZYNTRA_FIELD_RANGE(TKey, KeyNum, 0, 3))
ZYNTRA_DEFINE_CLASS(TDynamite, TActor)

const std::vector<const TClassInfo*>& PickupClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TBonusFlasher::StaticClass(), &TLargeBonusFlasher::StaticClass(),
      &TBox::StaticClass(),          &TBalloonBox::StaticClass(),
      &TSoda::StaticClass(),         &TTurkey::StaticClass(),
      &TFootball::StaticClass(),     &TJoystick::StaticClass(),
      &TDisk::StaticClass(),         &TFlag::StaticClass(),
      &TRadio::StaticClass(),        &TAtom::StaticClass(),
      &TBalloon::StaticClass(),      &TLetter::StaticClass(),
      &TPistol::StaticClass(),       &TBoots::StaticClass(),
      &THooks::StaticClass(),        &TGlove::StaticClass(),
      &TAccessCard::StaticClass(),   &TKey::StaticClass(),
      &TDynamite::StaticClass(),
  };
  return classes;
}

namespace {

void Popup(int code, const TGameObject& at) { ScoreFlasher(at.World(), code, at.PosX, at.PosY); }

}  // namespace

// --- Score popups --------------------------------------------------------------------

void TBonusFlasher::Update() {
  if (TimeToLive <= 0) {
    Remove();
    return;
  }
  --PosY;
  --TimeToLive;
  CurrentFrame = CurrentFrame == 0 ? 1 : 0;
}

void TBonusFlasher::Draw() { DrawAtActor(*this, BaseSprite + CurrentFrame); }

void TLargeBonusFlasher::Draw() {
  DrawAtActor(*this, BaseSprite + CurrentFrame);
  DrawAtActor(*this, BaseSprite + CurrentFrame + 2, 16, 0);
}

// --- Boxes ---------------------------------------------------------------------------

TBox::TBox() {
  Width = 2;
  Height = 16;
}

void TBox::Draw() { DrawAtActor(*this, BoxSprite); }

void TBox::Update() { FallingItemCode(); }

void TBox::CheckCollisions() {
  if (PBraxShot shot = FirstBraxShotHitting(*this)) {
    shot->Remove();
    Explode();
  }
}

void TBox::Explode() {
  SpawnParticles(World(), PosX, PosY);
  // The goodie follows the box in the list: drawn over it and visited in this pass.
  SpawnGoodie(World(), ContentID, PosX / 2, PosY / 16, this);
  PlayBraxSound(SoundExplosion);
  if (!IsSolid(PosX, PosY + 1)) ScoreFlasher(World(), Flasher500, PosX, PosY);
  Remove();
}

TBalloonBox::TBalloonBox() {
  BoxSprite = SpriteBonusCrate;
  ContentID = GoodieBalloon;
}

void TBalloonBox::FallingItemCode() {
  if (!IsSolid(PosX, PosY + 1)) PosY += 8;
}

// --- Goodies -------------------------------------------------------------------------

TPickup::TPickup() {
  Width = 2;
  Height = 16;
}

void TPickup::Update() { FallingItemCode(); }

void TPickup::CheckCollisions() {
  if (TouchesPlayer(*this)) {
    Collect();
    Remove();
  }
  // A goodie that was just caught takes no shots.
  if (ListLink) CheckShots();
}

// Soda: drinkable, or shot to leak and rise until it bursts under a ceiling.
void TSoda::Draw() { DrawAtActor(*this, SpriteSoda + CurrentFrame); }

void TSoda::Update() {
  if (++Timer >= 4) {
    Timer = 0;
    CurrentFrame = (CurrentFrame + 1) % 4;
  }
  if (!IsLeaking) {
    FallingItemCode();
    return;
  }
  if (IsRising) PosY -= 8;
  IsRising = 1;
  CurrentFrame = CurrentFrame % 4 + 4;
  if (IsSolid(PosX, PosY - Height)) {
    Remove();
    SpawnDecoExplosion(World(), PosX, PosY);
  }
}

void TSoda::Collect() {
  if (IsLeaking) {
    PlayBraxSound(SoundBonusItem);
    Popup(Flasher1000, *this);
    return;
  }
  PlayBraxSound(SoundFood);
  Game().AddHealth(1);
  ShowHint(World(), HintSoda, false);
  Popup(Flasher200, *this);
}

void TSoda::CheckShots() {
  if (IsLeaking) return;
  for (const PBraxShot& shot : BraxShotsHitting(*this)) {
    shot->Remove();
    StartLeaking();
  }
}

void TSoda::StartLeaking() {
  IsLeaking = 1;
  PlayBraxSound(SoundSodaLeaks);
}

// Turkey: a shot cooks it, which doubles what it gives.
void TTurkey::Draw() { DrawAtActor(*this, SpriteTurkey + CurrentFrame); }

void TTurkey::Collect() {
  const bool cooked = CurrentFrame != 0;
  PlayBraxSound(SoundFood);
  Game().AddHealth(cooked ? 2 : 1);
  ShowHint(World(), HintTurkey, false);
  Popup(cooked ? Flasher200 : Flasher100, *this);
}

void TTurkey::CheckShots() {
  if (CurrentFrame != 0) return;
  for (const PBraxShot& shot : BraxShotsHitting(*this)) {
    shot->Remove();
    CurrentFrame = 1;
  }
}

void TFootball::Draw() { DrawAtActor(*this, SpriteFootball); }
void TFootball::Collect() {
  PlayBraxSound(SoundBonusItem);
  Popup(Flasher100, *this);
}

void TJoystick::Draw() { DrawAtActor(*this, SpriteJoystick); }
void TJoystick::Collect() {
  PlayBraxSound(SoundBonusItem);
  Popup(Flasher2000, *this);
}

void TDisk::Draw() { DrawAtActor(*this, SpriteDisk); }
void TDisk::Collect() {
  PlayBraxSound(SoundBonusItem);
  Popup(Flasher5000, *this);
}

void TFlag::Draw() { DrawAtActor(*this, SpriteFlag + CurrentFrame); }
void TFlag::Update() {
  FallingItemCode();
  CurrentFrame = (CurrentFrame + 1) % 3;
}
void TFlag::Collect() {
  PlayBraxSound(SoundBonusItem);
  Popup(FlasherRandom, *this);
}

void TRadio::Draw() { DrawAtActor(*this, SpriteRadio + CurrentFrame); }
void TRadio::Update() {
  FallingItemCode();
  CurrentFrame = (CurrentFrame + 1) % 3;
}
void TRadio::Collect() {
  PlayBraxSound(SoundBonusItem);
  Popup(FlasherRandom, *this);
}

void TAtom::Draw() { DrawAtActor(*this, SpriteAtom + CurrentFrame); }
void TAtom::Update() {
  FallingItemCode();
  CurrentFrame = (CurrentFrame + 1) % 9;
}
void TAtom::Collect() {
  PlayBraxSound(SoundAtom);
  Game().AddHealth(8);
  ShowHint(World(), HintAtom, false);
  Popup(Flasher1000, *this);
}

// Balloon: rises until a ceiling or a shot bursts it; the burst shows for one draw.
TBalloon::TBalloon() { Height = 32; }

void TBalloon::Draw() {
  if (IsExploding) {
    DrawAtActor(*this, SpriteBalloonBurst, 0, -16);
    return;
  }
  DrawAtActor(*this, SpriteBalloon, 0, -16);
  DrawAtActor(*this, SpriteBalloonString + CurrentFrame);
}

void TBalloon::Update() {
  if (IsExploding) {
    SpawnSmokeCloud(World(), PosX, PosY - 16);
    Remove();
    return;
  }
  if (++Timer >= 4) {
    Timer = 0;
    CurrentFrame = (CurrentFrame + 1) % 3;
  }
  if (IsSolid(PosX, PosY - Height))
    IsExploding = 1;
  else
    --PosY;
}

void TBalloon::CheckCollisions() {
  if (IsExploding) return;
  TPickup::CheckCollisions();
}

void TBalloon::Collect() {
  PlayBraxSound(SoundBalloon);
  Popup(Flasher10000, *this);
}

void TBalloon::CheckShots() {
  if (IsExploding) return;
  if (PBraxShot shot = FirstBraxShotHitting(*this)) {
    shot->Remove();
    IsExploding = 1;
  }
}

// Letter: four in the order B, R, A, X give the letter bonus.
void TLetter::Draw() { DrawAtActor(*this, SpriteLetter + LetterNum); }

void TLetter::Collect() {
  const bool bonus = Game().AddLetter(LetterNum);
  if (bonus) {
    Popup(Flasher10000, *this);
    PlayBraxSound(SoundLetterBonus);
  } else {
    Popup(Flasher500, *this);
    PlayBraxSound(SoundBonusItem);
  }
}

// --- Inventory -----------------------------------------------------------------------

void TInventoryItem::Draw() { DrawAtActor(*this, Sprite()); }

void TInventoryItem::Collect() {
  PlayBraxSound(SoundItem);
  Popup(Flasher1000, *this);
  Give();
}

void TPistol::Give() { Game().AddPistol(); }
void TBoots::Give() { Game().GotBoots = 1; }
void THooks::Give() { Game().GotHooks = 1; }
void TGlove::Give() { Game().GotGlove = 1; }
void TAccessCard::Give() { Game().GotAccessCard = 1; }

// --- Keys ----------------------------------------------------------------------------

TKey::TKey() {
  Width = 2;
  Height = 16;
}

void TKey::Draw() { DrawAtActor(*this, SpriteKey + KeyNum); }

void TKey::CheckCollisions() {
  if (!TouchesPlayer(*this)) return;
  Remove();
  PlayBraxSound(SoundKey);
  Popup(Flasher1000, *this);
  if (KeyNum < 4 && KeyNum < Game().GotKey.size()) Game().GotKey[KeyNum] = 1;
}

// --- Dynamite ------------------------------------------------------------------------

TDynamite::TDynamite() {
  Width = 2;
  Height = 16;
}

void TDynamite::Draw() {
  if (CurrentFrame < 2) DrawAtActor(*this, SpriteDynamite + CurrentFrame);
}

void TDynamite::Update() {
  CurrentFrame = Timer <= 9 ? (Timer & 1) : 2;
  if (Timer == 12) {
    PlayBraxSound(SoundBlast);
    SpawnExplosion(World(), PosX, PosY, 0);
  }
  if (Timer == 15) {
    // The flame runs along the floor on each side that has floor and room two columns away.
    for (int32_t side : {2, -2}) {
      const int32_t x = PosX + side;
      if (IsSolid(x, PosY + 1) && !IsSolid(x, PosY))
        SpawnExplosion(World(), x, PosY, side > 0 ? 3 : -3);
    }
    Remove();
  }
  ++Timer;
}
