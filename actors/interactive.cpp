#include "actors/interactive.h"

#include "actors/families.h"
#include "actors/mechanics.h"
#include "actors/scenery_helpers.h"
#include "actors/spawn.h"
#include "data/level_map.h"
#include "data/sound.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TExitDoor, TInteractiveBackgroundItem)
ZYNTRA_DEFINE_CLASS(TKeyHole, TInteractiveBackgroundItem,
                    ZYNTRA_FIELD_RANGE(TKeyHole, KeyNum, 0, 3), ZYNTRA_FIELD(TKeyHole, Unlocked))
ZYNTRA_DEFINE_CLASS(TKeyDoor, TVisibleObject, ZYNTRA_FIELD_RANGE(TKeyDoor, KeyNum, 0, 3),
                    ZYNTRA_FIELD_RANGE(TKeyDoor, State, 0, 7))
ZYNTRA_DEFINE_CLASS(TGloveSlot, TInteractiveBackgroundItem, ZYNTRA_FIELD(TGloveSlot, Unlocked),
                    ZYNTRA_FIELD_RANGE(TGloveSlot, Direction, 0, 1))
ZYNTRA_DEFINE_CLASS(TCardSlot, TInteractiveBackgroundItem, ZYNTRA_FIELD(TCardSlot, Unlocked))
ZYNTRA_DEFINE_CLASS(TForceField, TActor)
ZYNTRA_DEFINE_CLASS(TForceFieldLeft, TForceField)
ZYNTRA_DEFINE_CLASS(TForceFieldRight, TForceField)
ZYNTRA_DEFINE_CLASS(TNote, TInteractiveBackgroundItem)
ZYNTRA_DEFINE_CLASS(TMalvexScreen, TInteractiveBackgroundItem,
                    ZYNTRA_FIELD(TMalvexScreen, WasActive))
ZYNTRA_DEFINE_CLASS(TMonitorTrigger, TActor, ZYNTRA_FIELD(TMonitorTrigger, Monitor))
ZYNTRA_DEFINE_CLASS(TEnergyBeam, TActor, ZYNTRA_FIELD(TEnergyBeam, IsColliding))
ZYNTRA_DEFINE_CLASS(TTeleporter, TInteractiveBackgroundItem,
                    ZYNTRA_FIELD_RANGE(TTeleporter, TeleIndex, 0, 1),
                    ZYNTRA_FIELD(TTeleporter, BlinkFrame), ZYNTRA_FIELD(TTeleporter, DrawBolt))
ZYNTRA_DEFINE_CLASS(TBackgroundSprite, TVisibleObject,
                    ZYNTRA_FIELD_RANGE(TBackgroundSprite, SpriteIndex, 0, SpriteFrameCount - 1))

const std::vector<const TClassInfo*>& InteractiveClasses() {
  static const std::vector<const TClassInfo*> classes = {
      &TExitDoor::StaticClass(),       &TKeyHole::StaticClass(),
      &TKeyDoor::StaticClass(),        &TGloveSlot::StaticClass(),
      &TCardSlot::StaticClass(),       &TForceField::StaticClass(),
      &TForceFieldLeft::StaticClass(), &TForceFieldRight::StaticClass(),
      &TNote::StaticClass(),           &TMalvexScreen::StaticClass(),
      &TMonitorTrigger::StaticClass(), &TEnergyBeam::StaticClass(),
      &TTeleporter::StaticClass(),     &TBackgroundSprite::StaticClass(),
  };
  return classes;
}

// --- Exit door -------------------------------------------------------------------------

TExitDoor::TExitDoor() {
  Width = 2;
  Height = 32;
  InitSpriteFrames();
}

void TExitDoor::InitSpriteFrames() {
  Frames.clear();
  for (int32_t i = 0; i < 4; ++i) {
    const int32_t s = SpriteExitDoor + 4 * i;
    Frames.push_back(TSpriteFrame{2, -1, -31, {s, s + 1, s + 2, s + 3}});
  }
}

// Opens and closes again in 7 ticks; leaving the level is the player's delayed action.
void TExitDoor::Update() {
  static const int32_t Sequence[7] = {0, 1, 2, 3, 2, 1, 0};
  if (!Active) return;
  if (Timer >= 0 && Timer < 7) CurrentFrame = Sequence[Timer];
  ++Timer;
  if (Timer >= 7 || Timer < 0) {
    Active = 0;
    CurrentFrame = 0;
  }
}

void TExitDoor::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintExitDoor, false);
}

void TExitDoor::Open() {
  Active = 1;
  Timer = 0;
  PlayBraxSound(Game().MapOn % 2 ? SoundHallwayDoor : SoundExitDoor);
}

// --- Key holes and key doors ----------------------------------------------------------

TKeyHole::TKeyHole() { InitSpriteFrames(); }

void TKeyHole::Draw() {
  DrawAtActor(*this,
              Unlocked || TickPhase(Game(), 8) >= 4 ? SpriteKeyHole + KeyNum : SpriteKeyHoleDark);
}

void TKeyHole::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintKeyHole, false);
}

TKeyDoor::TKeyDoor() { InitSpriteFrames(); }

void TKeyDoor::Draw() { DrawAtActor(*this, SpriteKeyDoor + State); }

void TKeyDoor::Update() {
  if (State == 0) return;
  ++State;
  if (State >= 8) Remove();
}

// The door's cell becomes passable at once: it takes the picture of the cell to its left.
void TKeyDoor::Open() {
  State = 1;
  const int32_t column = PosX / 2;
  const int32_t row = PosY / 16;
  if (column >= 1 && column < MapColumns && row >= 0 && row < MapRows)
    World().Grid.Tiles[row][column] = World().Grid.Tiles[row][column - 1];
}

// --- Glove and card slots --------------------------------------------------------------

TGloveSlot::TGloveSlot() { InitSpriteFrames(); }

void TGloveSlot::Draw() {
  DrawAtActor(*this,
              Unlocked || TickPhase(Game(), 8) >= 4 ? SpriteGloveSlotLit : SpriteGloveSlotDark);
  DrawAtActor(*this, SpriteGloveSlotLeft, -16);
  DrawAtActor(*this, SpriteGloveSlotRight, 16);
}

// Used without the glove, the slot fires to both sides in turn while it is on screen.
void TGloveSlot::Update() {
  if (!Active) return;
  if (!Visible()) {
    Active = 0;
    return;
  }
  SpawnEnemyShot(World(), PosX, PosY, Direction);
  Direction = Direction ? 0 : 1;
}

void TGloveSlot::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintGloveSlot, false);
}

TCardSlot::TCardSlot() { InitSpriteFrames(); }

void TCardSlot::Draw() {
  DrawAtActor(*this, Unlocked ? SpriteCardSlotOpen : SpriteCardSlot + TickPhase(Game(), 8));
}

void TCardSlot::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintCardSlot, false);
}

// --- Force fields ----------------------------------------------------------------------

TForceField::TForceField() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TForceField::Draw() { DrawAtActor(*this, SpriteForceField + TickPhase(Game(), 4)); }

void TForceField::Update() {
  if (Visible() && TickPhase(Game(), 4) == 0) PlayBraxSound(SoundForceFieldHum);
}

// The field swallows every player shot; it neither hurts nor blocks the player.
void TForceField::CheckCollisions() {
  for (const auto& shot : PlayerShotsHitting(*this, false)) shot->Remove();
}

void TForceFieldLeft::CheckCollisions() {
  if (TouchesPlayer(*this) && World().Player->LastDeltaX > 0) --World().Player->PosX;
}

void TForceFieldRight::CheckCollisions() {
  if (TouchesPlayer(*this) && World().Player->LastDeltaX < 0) ++World().Player->PosX;
}

// --- Note ------------------------------------------------------------------------------

TNote::TNote() { InitSpriteFrames(); }

void TNote::Draw() { DrawAtActor(*this, SpriteNote); }

void TNote::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintNote, false);
}

// --- The villain's monitor --------------------------------------------------------------

TMalvexScreen::TMalvexScreen() {
  Width = 4;
  Height = 16;
  InitSpriteFrames();
}

// A new screen starts active.
void TMalvexScreen::InitSpriteFrames() {
  Frames.clear();
  for (int32_t i = 0; i < 6; ++i) {
    const int32_t s = SpriteMonitorScreen + 2 * i;
    Frames.push_back(
        TSpriteFrame{2, 0, -31, {s, s + 1, SpriteMonitorStand, SpriteMonitorStand + 1}});
  }
  Active = 1;
}

// While active the villain looks toward the player; off screen it falls back to static.
void TMalvexScreen::Update() {
  if (!Visible()) Active = 0;
  if (Active) {
    WasActive = 1;
    const int32_t x = World().Player ? World().Player->PosX : PosX;
    CurrentFrame = x < PosX - 1 ? 3 : x < PosX + 4 ? 4 : 5;
  } else {
    CurrentFrame = TickPhase(Game(), 3);
  }
}

void TMalvexScreen::Activate() {
  Active = 1;
  WasActive = 1;
  for (const auto& trigger : ListedObjects<TMonitorTrigger>(Actors())) trigger->Remove();
  PlayBraxSound(SoundMonitorOn);
  Update();
  ShowNote(World());
}

TMonitorTrigger::TMonitorTrigger() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TMonitorTrigger::CheckCollisions() {
  if (Monitor && TouchesPlayer(*this)) Monitor->Activate();
}

// --- Energy beam -----------------------------------------------------------------------

TEnergyBeam::TEnergyBeam() {
  Width = 2;
  Height = 16;
  InitSpriteFrames();
}

void TEnergyBeam::Update() {
  IsColliding = 0;
  if (Visible() && TickPhase(Game(), 4) == 0) PlayBraxSound(SoundForceFieldHum);
}

void TEnergyBeam::CheckCollisions() {
  if (!TouchesPlayer(*this)) return;
  IsColliding = 1;
  HurtPlayer(World());
}

void TEnergyBeam::Draw() {
  DrawAtActor(*this, SpriteEnergyBeam + TickPhase(Game(), 4) + (IsColliding ? 4 : 0));
}

// --- Teleporter ------------------------------------------------------------------------

TTeleporter::TTeleporter() { InitSpriteFrames(); }

void TTeleporter::InitSpriteFrames() {
  Frames.clear();
  TSpriteFrame frame{3, -2, -47, {}};
  for (int32_t k = 0; k < 9; ++k) frame.SpriteIndices.push_back(SpriteTeleporter + k);
  Frames.push_back(frame);
}

void TTeleporter::Update() {
  BlinkFrame = uint8_t((BlinkFrame + 1) % 3);
  if (Timer > 0) {
    DrawBolt = uint8_t((DrawBolt + 1) % 4);
    --Timer;
  } else {
    DrawBolt = 0;
  }
}

// Eight ticks of lightning.
void TTeleporter::Activate() { Timer = 8; }

void TTeleporter::Draw() {
  TInteractiveBackgroundItem::Draw();
  if (BlinkFrame != 0) {
    DrawAtActor(*this, SpriteTeleporterSparkle + BlinkFrame - 1, 0, -16);
    DrawAtActor(*this, SpriteTeleporterLight + BlinkFrame - 1, 16, -16);
  }
  if (DrawBolt == 1 || DrawBolt == 2)
    DrawAtActor(*this, SpriteTeleporterBolt + DrawBolt - 1, 0, -32);
}

void TTeleporter::CheckCollisions() {
  if (TouchesPlayer(*this)) ShowHint(World(), HintTeleporter, false);
}

// --- Background sprite -----------------------------------------------------------------

// PosY is the top row of the sprite.
void TBackgroundSprite::Draw() {
  DrawSprite(float(8 * (PosX - Game().CamX) + 16), float(PosY - 16 * Game().CamY + 16),
             SpriteIndex);
}

// --- What Up does to each item ---------------------------------------------------------

// A locked key hole opens every door of its key with the key, or ends the whole use.
bool TKeyHole::Use(TBraxTovar&, bool) {
  if (Unlocked) return true;
  TGameState& g = Game();
  if (KeyNum > 3 || KeyNum >= g.GotKey.size() || !g.GotKey[KeyNum]) {
    ShowHint(World(), HintNoKey, true);
    return false;
  }
  PlayBraxSound(SoundUnlock);
  g.AddScore(1000);
  g.GotKey[KeyNum] = 0;
  // The hole counts as unlocked only when a door opened; its key is spent all the same.
  for (const auto& door : ListedObjects<TKeyDoor>(Actors())) {
    if (door->KeyNum != KeyNum) continue;
    door->Open();
    Unlocked = 1;
  }
  return true;
}

bool TCardSlot::Use(TBraxTovar&, bool) {
  if (Unlocked) return true;
  if (!Game().GotAccessCard) {
    ShowHint(World(), HintNoCard, true);
    return true;
  }
  PlayBraxSound(SoundUnlock);
  Game().GotAccessCard = 0;
  for (const auto& field : ListedObjects<TForceField>(Actors())) field->Remove();  // the ends too
  Unlocked = 1;
  return true;
}

bool TGloveSlot::Use(TBraxTovar&, bool) {
  if (Unlocked) return true;
  if (!Game().GotGlove) {
    Active = 1;  // the slot fights back
    return true;
  }
  for (const auto& extender : ListedObjects<TExtender>(Actors())) {
    extender->Active = 1;
    PlayBraxSound(SoundExtenderOn);
  }
  Unlocked = 1;
  return true;
}

bool TExitDoor::Use(TBraxTovar& player, bool upOnly) {
  if (!upOnly) return true;
  player.DelayedAction = TBraxTovar::Leaving;
  player.DelayTics = TBraxTovar::TransitTics;
  Open();
  return true;
}

bool TTeleporter::Use(TBraxTovar& player, bool upOnly) {
  if (!upOnly) return true;
  Activate();
  player.StartTeleportingFrom(TeleIndex);
  return true;
}

bool TNote::Use(TBraxTovar&, bool) {
  PlayBraxSound(SoundMessage);
  ShowNote(World());
  return true;
}

bool TMalvexScreen::Use(TBraxTovar&, bool) {
  Activate();
  return true;
}
