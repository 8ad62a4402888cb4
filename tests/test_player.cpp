// The player: walking and turning, shooting, jumping, hanging and swinging up, hits and
// death, the use of interactive items, teleporting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/settings.h"
#include "world/sounds.h"
#include "world/world_state.h"
#include "world_fixture.h"

namespace {

// Interactive items of this test only, reached by Up through their Use.
std::vector<bool> DoorUpOnly;

class TStandInDoor : public TInteractiveBackgroundItem {
 public:
  int Activations = 0;
  void Activate() override { ++Activations; }
  void CheckCollisions() override {}
  // As the exit door: only when Up alone is held.
  bool Use(TBraxTovar& player, bool upOnly) override {
    DoorUpOnly.push_back(upOnly);
    if (upOnly) {
      player.DelayedAction = TBraxTovar::Leaving;
      player.DelayTics = 8;
      Activate();
    }
    return true;
  }
  ZYNTRA_CLASS(TStandInDoor)
};
ZYNTRA_DEFINE_CLASS(TStandInDoor, TInteractiveBackgroundItem)

class TStandInLock : public TInteractiveBackgroundItem {
 public:
  int Uses = 0;
  void CheckCollisions() override {}
  // As a key hole without its key: ends the whole use.
  bool Use(TBraxTovar&, bool) override {
    ++Uses;
    return false;
  }
  ZYNTRA_CLASS(TStandInLock)
};
ZYNTRA_DEFINE_CLASS(TStandInLock, TInteractiveBackgroundItem)

}  // namespace

class PlayerTest : public TWorldTest {
 protected:
  void SetUp() override {
    TWorldTest::SetUp();
    DoorUpOnly.clear();
    Floor20();
    PlacePlayer(10, 19);  // PosX 20, PosY 319, facing right
    Game().CamY = 13;     // the player in the view, as after a level start
  }
  static void Floor20() {
    for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[20][c] = 0x1800;
  }
  void Tick(bool up, bool down, bool left, bool right, bool fire, bool jump) {
    World().Player->ActOnInput(up, down, left, right, fire, jump);
  }
  void Idle(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) Tick(false, false, false, false, false, false);
  }
  void Left() { Tick(false, false, true, false, false, false); }
  void Right() { Tick(false, false, false, true, false, false); }
  void Fire() { Tick(false, false, false, false, true, false); }
  void Jump() { Tick(false, false, false, false, false, true); }
  void Up() { Tick(true, false, false, false, false, false); }
  void Down() { Tick(false, true, false, false, false, false); }
  // Vertical moves of the player while ticking with the jump button as given.
  std::vector<int32_t> Rises(int ticks, bool holdJump) {
    std::vector<int32_t> out;
    for (int i = 0; i < ticks; ++i) {
      int32_t before = World().Player->PosY;
      Tick(false, false, false, false, false, holdJump);
      out.push_back(before - World().Player->PosY);
    }
    return out;
  }
};

TEST_F(PlayerTest, TurningComesBeforeMoving) {
  TBraxTovar& p = *World().Player;
  Left();
  EXPECT_EQ(p.Direction, 0);
  EXPECT_EQ(p.PosX, 20);
  EXPECT_EQ(p.LastDeltaX, 0);
  EXPECT_EQ(p.Action, TBraxTovar::Walking);
  Left();
  EXPECT_EQ(p.PosX, 19);
  EXPECT_EQ(p.LastDeltaX, -1);
  Right();
  EXPECT_EQ(p.Direction, 1);
  EXPECT_EQ(p.PosX, 19);
  Right();
  Right();
  EXPECT_EQ(p.PosX, 21);
  EXPECT_EQ(p.LastDeltaX, 1);
  Idle();
  EXPECT_EQ(p.Action, TBraxTovar::Standing);
  EXPECT_EQ(p.CurrentFrame, 13);
  EXPECT_EQ(p.LastDeltaX, 0);

  // A wall stops the step but not the turn; the lowest 7 rows are not tested sideways.
  World().Grid.Tiles[19][9] = 0x1800;
  p.PosX = 20;
  Left();
  Left();
  EXPECT_EQ(p.PosX, 20);
  EXPECT_EQ(p.Direction, 0);
  EXPECT_TRUE(p.BlockedLeft());
  p.PosY = 16 * 19 + 6;  // rows 279..303 are tested: row 19 starts at 304
  EXPECT_FALSE(p.BlockedLeft());
  p.PosY = 16 * 19 + 7;
  EXPECT_TRUE(p.BlockedLeft());
}

TEST_F(PlayerTest, BothDirectionsAnimateWithoutMoving) {
  TBraxTovar& p = *World().Player;
  size_t mark = AudioMark();
  std::vector<int32_t> frames;
  for (int i = 0; i < 4; ++i) {
    Tick(false, false, true, true, false, false);
    frames.push_back(p.CurrentFrame);
  }
  EXPECT_EQ(p.PosX, 20);
  EXPECT_EQ(p.Direction, 1);
  EXPECT_EQ(p.Action, TBraxTovar::Walking);
  EXPECT_EQ(frames, (std::vector<int32_t>{4, 4, 5, 5}));  // 4d + Timer div 2 at odd Timer
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundFootstep, SoundFootstep}));
}

TEST_F(PlayerTest, OneShotPerFirePress) {
  TGameState& g = Game();
  g.FirePower = 2;
  size_t mark = AudioMark();
  for (int i = 0; i < 3; ++i) Fire();
  auto shots = Listed("TBraxShot");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(AsGame(shots[0])->PosX, 20);
  EXPECT_EQ(AsGame(shots[0])->PosY, 16 * ((319 - 29) / 16) + 19);
  EXPECT_EQ(Field(shots[0], "Direction"), 1);
  EXPECT_EQ(World().Player->CurrentFrame, 4 + 3);
  Idle();
  Fire();
  EXPECT_EQ(Listed("TBraxShot").size(), 2u);
  EXPECT_EQ(g.PlayerShotsActive, 2);
  Idle();
  Fire();  // two alive: nothing
  EXPECT_EQ(Listed("TBraxShot").size(), 2u);
  EXPECT_EQ(SoundsPlayed(mark), (std::vector<int>{SoundHeroShot, SoundHeroShot}));
}

TEST_F(PlayerTest, HoldingJumpDoesNotJumpAgain) {
  size_t mark = AudioMark();
  for (int i = 0; i < 30; ++i) Jump();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Standing);
  EXPECT_EQ(World().Player->PosY, 319);
  auto sounds = SoundsPlayed(mark);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SoundJump), 1);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SoundLand), 1);  // landed once
  Idle();
  Jump();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Jumping);
}

TEST_F(PlayerTest, JumpHeightsFromARowBottom) {
  Jump();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Jumping);
  auto rises = Rises(15, false);
  EXPECT_EQ(std::vector<int32_t>(rises.begin(), rises.begin() + 9),
            (std::vector<int32_t>{13, 11, 9, 7, 5, 3, 0, 0, 0}));
  int32_t total = 0, top = 0;
  for (int32_t r : rises) top = std::max(top, total += r);
  EXPECT_EQ(top, 48);
  EXPECT_EQ(rises[9], -8);  // the tenth tick starts the fall
  EXPECT_EQ(World().Player->PosY, 319);
  EXPECT_EQ(World().Player->Action, TBraxTovar::Standing);

  Game().GotBoots = 1;
  Idle();
  Jump();
  rises = Rises(20, false);
  EXPECT_EQ(std::vector<int32_t>(rises.begin(), rises.begin() + 9),
            (std::vector<int32_t>{15, 13, 11, 9, 7, 5, 3, 1, 0}));
  total = top = 0;
  for (int32_t r : rises) top = std::max(top, total += r);
  EXPECT_EQ(top, 64);
  EXPECT_EQ(World().Player->PosY, 319);
  EXPECT_EQ(World().Player->Somersault, 0);  // standing still: no somersault
}

TEST_F(PlayerTest, HurtOnlyWhenVulnerable) {
  TGameState& g = Game();
  TBraxTovar& p = *World().Player;
  for (int32_t timer : {5, -1}) {
    p.InvincibilityTimer = timer;
    EXPECT_FALSE(HurtPlayer(World()));
    EXPECT_EQ(p.InvincibilityTimer, timer);
  }
  p.InvincibilityTimer = 0;
  PlaySettings().GodMode = true;
  EXPECT_FALSE(HurtPlayer(World()));
  PlaySettings().GodMode = false;
  EXPECT_EQ(g.Health, 9);
  EXPECT_EQ(g.GotHit, 0);
  EXPECT_EQ(p.WasHit, 0);

  size_t mark = AudioMark();
  EXPECT_TRUE(HurtPlayer(World()));
  EXPECT_EQ(g.Health, 8);
  EXPECT_EQ(g.GotHit, 1);
  EXPECT_EQ(p.InvincibilityTimer, 21);
  EXPECT_EQ(p.WasHit, 1);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundHurt});
  EXPECT_FALSE(HurtPlayer(World()));  // now invulnerable
  Idle();
  EXPECT_EQ(p.WasHit, 0);
  EXPECT_EQ(p.CurrentFrame, 1 + 44);
  EXPECT_EQ(p.InvincibilityTimer, 20);

  // Drawn only in ticks where the timer is even.
  auto sprites = [&](int32_t timer) {
    p.InvincibilityTimer = timer;
    p.Draw();
    return DrawnFrom(Present(), SpriteImage).size();
  };
  EXPECT_EQ(sprites(20), 4u);
  EXPECT_EQ(sprites(19), 0u);
  EXPECT_EQ(sprites(-1), 0u);
}

TEST_F(PlayerTest, DeathTakesThirtyTicks) {
  TGameState& g = Game();
  TBraxTovar& p = *World().Player;
  g.Health = 1;
  p.InvincibilityTimer = 0;
  size_t mark = AudioMark();
  EXPECT_TRUE(HurtPlayer(World()));
  EXPECT_EQ(g.Health, 0);
  EXPECT_EQ(p.DelayedAction, TBraxTovar::Dying);
  EXPECT_EQ(p.DelayTics, 30);

  int deadAt = 0;
  for (int tick = 1; tick <= 30; ++tick) {
    Tick(false, false, false, true, true, true);  // buttons are ignored
    if (tick == 1) {
      EXPECT_EQ(p.CurrentFrame, 45);
      EXPECT_EQ(p.InvincibilityTimer, 0);
    }
    if (tick == 2) {
      EXPECT_EQ(p.InvincibilityTimer, -1);
    }
    if (tick == 10) {
      p.Die();  // a second death does not restart the first
      EXPECT_EQ(p.DelayTics, 20);
    }
    if (g.PlayerIsDead && !deadAt) deadAt = tick;
  }
  EXPECT_EQ(deadAt, 30);
  EXPECT_EQ(p.DelayedAction, 0);
  EXPECT_EQ(p.PosX, 20);
  EXPECT_TRUE(Listed("TBraxShot").empty());
  EXPECT_EQ(Listed("TParticle").size(), 9u * 4u);  // nine bursts
  auto sounds = SoundsPlayed(mark);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SoundExplosion), 8);
  EXPECT_EQ(sounds.back(), SoundHeroDead);
}

TEST_F(PlayerTest, KillPlayerHonoursGodModeUnlessForced) {
  PlaySettings().GodMode = true;
  KillPlayer(World(), false);
  EXPECT_EQ(Game().Health, 9);
  EXPECT_EQ(World().Player->DelayedAction, 0);
  KillPlayer(World(), true);
  EXPECT_EQ(Game().Health, 0);
  EXPECT_EQ(World().Player->DelayedAction, TBraxTovar::Dying);
}

TEST_F(PlayerTest, HangingFromAHookableCeilingAndSwingingUp) {
  for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[15][c] = 0x1B80;
  // Without hooks the head bumps and the player falls back.
  size_t mark = AudioMark();
  Jump();
  Rises(4, false);
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundHeadBump));
  Idle(10);
  EXPECT_EQ(World().Player->PosY, 319);

  Game().GotHooks = 1;
  mark = AudioMark();
  Jump();
  Rises(4, false);
  EXPECT_EQ(World().Player->Action, TBraxTovar::Hanging);
  EXPECT_EQ(World().Player->PosY, 16 * 15 + 32 + 15);  // the head just below the ceiling
  EXPECT_EQ(World().Player->CurrentFrame, 4 + 28);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundHookGrip));
  Idle(5);
  EXPECT_EQ(World().Player->Action, TBraxTovar::Hanging);

  // Along the ceiling hand over hand; fire holds the player still.
  Right();
  EXPECT_EQ(World().Player->PosX, 21);
  Tick(false, false, false, true, true, false);
  EXPECT_EQ(World().Player->PosX, 21);
  EXPECT_EQ(World().Player->CurrentFrame, 1 + 36);

  // Up with a solid tile 48 pixels up: stays with a bump.
  World().Grid.Tiles[14][10] = 0x1800;
  mark = AudioMark();
  Up();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Hanging);
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundHeadBump));
  World().Grid.Tiles[14][10] = 0;

  // Up with room above: three ticks up onto the ceiling tile.
  Up();
  EXPECT_EQ(World().Player->Action, TBraxTovar::SwingingUp);
  std::vector<int32_t> ys;
  for (int i = 0; i < 3; ++i) {
    Idle();
    ys.push_back(World().Player->PosY);
  }
  EXPECT_EQ(ys, (std::vector<int32_t>{271, 255, 239}));
  EXPECT_EQ(World().Player->Action, TBraxTovar::Standing);
  EXPECT_EQ(Game().CamDestY, 239 / 16 - 6);
  Idle(3);
  EXPECT_EQ(World().Player->PosY, 239);
}

TEST_F(PlayerTest, LettingGoOfTheCeiling) {
  for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[15][c] = 0x2EE0;
  Game().GotHooks = 1;
  auto hang = [&] {
    Idle(10);
    Jump();
    Rises(4, false);
    ASSERT_EQ(World().Player->Action, TBraxTovar::Hanging);
  };
  hang();
  Down();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
  hang();
  World().Grid.Tiles[13][10] = 0x1800;  // 64 pixels up: no room to swing up
  Up();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
  World().Grid.Tiles[13][10] = 0;
  hang();
  HurtPlayer(World());  // a hit while hanging lets go
  Idle();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
  hang();
  for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[15][c] = 0x1800;  // no longer hookable
  Idle();
  EXPECT_EQ(World().Player->Action, TBraxTovar::Falling);
}

TEST_F(PlayerTest, ExitDoorOnlyWithUpAlone) {
  auto door = std::make_shared<TStandInDoor>();
  door->PosX = 20;
  door->PosY = 319;
  ActorList().AddToLayer(door, 0);
  Tick(true, false, true, false, false, false);
  Tick(true, false, false, true, false, false);
  World().Player->JumpWasDown = 1;  // jump held from before: no new jump
  Tick(true, false, false, false, false, true);
  EXPECT_EQ(World().Player->DelayedAction, 0);
  EXPECT_EQ(door->Activations, 0);
  Up();
  EXPECT_EQ(DoorUpOnly, (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(World().Player->DelayedAction, TBraxTovar::Leaving);
  EXPECT_EQ(door->Activations, 1);

  std::vector<int32_t> invincible;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Game().ExitLevel, 0);
    Tick(true, false, false, true, false, false);  // ignored while leaving
    invincible.push_back(World().Player->InvincibilityTimer);
  }
  EXPECT_EQ(Game().ExitLevel, 1);
  EXPECT_EQ(World().Player->DelayedAction, 0);
  EXPECT_EQ(World().Player->PosX, 20);
  EXPECT_EQ(invincible, (std::vector<int32_t>{0, 0, 0, 0, -1, -1, -1, -1}));
  EXPECT_EQ(DoorUpOnly.size(), 4u);
}

TEST_F(PlayerTest, ALockedItemEndsTheUse) {
  auto lock = std::make_shared<TStandInLock>();
  lock->PosX = 21;
  lock->PosY = 319;
  auto door = std::make_shared<TStandInDoor>();
  door->PosX = 20;
  door->PosY = 319;
  auto far = std::make_shared<TStandInLock>();
  far->PosX = 40;
  far->PosY = 319;
  ActorList().AddToLayer(far, 1);
  ActorList().AddToLayer(lock, 1);
  ActorList().AddToLayer(door, 1);
  Up();
  EXPECT_EQ(far->Uses, 0);
  EXPECT_EQ(lock->Uses, 1);
  EXPECT_TRUE(DoorUpOnly.empty());
  EXPECT_EQ(World().Player->DelayedAction, 0);

  lock->Remove();
  Up();
  EXPECT_EQ(DoorUpOnly, std::vector<bool>{true});
}

TEST_F(PlayerTest, TeleportingToThePartner) {
  auto partner = std::make_shared<TStandInDoor>();
  partner->PosX = 100;
  partner->PosY = 16 * 40 + 15;
  World().Teleporters[1] = partner;
  size_t mark = AudioMark();
  World().Player->StartTeleportingFrom(0);
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundTeleport});
  Idle(7);
  EXPECT_EQ(World().Player->PosX, 20);
  Idle();
  EXPECT_EQ(World().Player->PosX, 100);
  EXPECT_EQ(World().Player->PosY, 655);
  EXPECT_EQ(partner->Activations, 1);
  EXPECT_EQ(Game().CamX, 86);
  EXPECT_EQ(Game().CamY, 655 / 16 - 6);
  EXPECT_EQ(Game().CamDestY, Game().CamY);

  // From slot 1 to a missing slot 0: the corner, the camera kept in its bounds.
  World().Player->StartTeleportingFrom(1);
  Idle(8);
  EXPECT_EQ(World().Player->PosX, 0);
  EXPECT_EQ(Game().CamX, 0);
  EXPECT_EQ(Game().CamY, 0);
}

TEST_F(PlayerTest, SnapToGridAndPush) {
  TBraxTovar& p = *World().Player;
  p.PosY = 100;  // 4 into the row: up to the row above's bottom
  p.SnapToGridY();
  EXPECT_EQ(p.PosY, 95);
  p.PosY = 105;
  p.SnapToGridY();
  EXPECT_EQ(p.PosY, 111);
  p.PosY = 319;
  p.PosX = 19;
  World().Grid.Tiles[18][11] = 0x1800;
  p.Push(1);
  EXPECT_EQ(p.PosX, 20);
  p.Push(1);  // the wall is next to the player now
  EXPECT_EQ(p.PosX, 20);
  p.Push(0);
  EXPECT_EQ(p.PosX, 19);
}
