// Interactive background items: their animations and what the hero's Up does to each.
#include "actors/interactive.h"
#include "scenery_test.h"
#include "world/sounds.h"
#include "world/sprite_numbers.h"
#include "world/world_state.h"

namespace {

class InteractiveTest : public TSceneryTest {
 protected:
  // One tick of play with Up held (and optionally another button).
  static void HoldUp(bool left = false, bool jump = false) {
    GameTick(World(), true, false, left, false, false, jump);
  }
  static void Idle() { GameTick(World(), false, false, false, false, false, false); }
  static void SetTimer(int32_t t) { Game().Timer = t; }
};

// --- Key holes and doors ------------------------------------------------------------------

TEST_F(InteractiveTest, LockedKeyHoleBlinksUnlockedStaysLit) {
  SpawnKeyHole(World(), 2, 6, 3);
  auto hole = Only<TKeyHole>();
  ASSERT_TRUE(hole);
  EXPECT_EQ(LayerOf(hole.get()), LayerWallItems);
  std::vector<int> shown;
  for (int t = 8; t < 16; ++t) {
    SetTimer(t);
    shown.push_back(DrawnBy(*hole).at(0).Frame);
  }
  EXPECT_EQ(shown, (std::vector<int>{SpriteKeyHoleDark, SpriteKeyHoleDark, SpriteKeyHoleDark,
                                     SpriteKeyHoleDark, SpriteKeyHole + 2, SpriteKeyHole + 2,
                                     SpriteKeyHole + 2, SpriteKeyHole + 2}));
  hole->Unlocked = 1;
  SetTimer(8);
  EXPECT_EQ(DrawnBy(*hole), (std::vector<TDrawn>{{112, 64, SpriteKeyHole + 2}}));
}

TEST_F(InteractiveTest, KeyHoleWithoutTheKeyShowsHintElevenAndEndsTheUse) {
  Game().MessageActive[11] = 1;
  SpawnKeyHole(World(), 1, 2, FloorRow - 1);
  SpawnCardSlot(World(), 2, FloorRow - 1);  // touched too, after the key hole
  Game().GotAccessCard = 1;
  Game().GotKey[0] = 1;  // the wrong key
  size_t mark = AudioMark();
  AnswerNextBox();
  HoldUp();
  EXPECT_TRUE(BoxWasShown());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundMessage));
  EXPECT_EQ(Game().MessageActive[11], 1);  // shown every time
  EXPECT_EQ(Only<TKeyHole>()->Unlocked, 0);
  EXPECT_EQ(Only<TCardSlot>()->Unlocked, 0);
  EXPECT_EQ(Game().GotAccessCard, 1);
  EXPECT_EQ(Game().GotKey[0], 1);
}

TEST_F(InteractiveTest, KeyOpensEveryMatchingDoorAndIsSpent) {
  SpawnKeyHole(World(), 1, 2, FloorRow - 1);
  SpawnKeyDoor(World(), 1, 6, FloorRow - 1);
  SpawnKeyDoor(World(), 1, 9, FloorRow - 1);
  SpawnKeyDoor(World(), 2, 7, FloorRow - 1);
  for (int c = 5; c <= 9; ++c) World().Grid.Tiles[FloorRow - 1][c] = uint16_t(0x1800 + 32 * c);
  Game().GotKey[1] = 1;
  size_t mark = AudioMark();
  HoldUp();
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundUnlock));
  EXPECT_EQ(Game().Score, 1000);
  EXPECT_EQ(Game().GotKey[1], 0);
  EXPECT_EQ(Only<TKeyHole>()->Unlocked, 1);
  auto doors = ListedObjects<TKeyDoor>(ActorList());
  ASSERT_EQ(doors.size(), 3u);
  // The pass updated the opened doors once after Up: state 2.
  EXPECT_EQ(doors[0]->State, 2);
  EXPECT_EQ(doors[1]->State, 2);
  EXPECT_EQ(doors[2]->State, 0);
  EXPECT_EQ(World().Grid.Tiles[FloorRow - 1][6], 0x1800 + 32 * 5);  // the cell to the left
  EXPECT_EQ(World().Grid.Tiles[FloorRow - 1][9], 0x1800 + 32 * 8);
  EXPECT_EQ(World().Grid.Tiles[FloorRow - 1][7], 0x1800 + 32 * 7);
  EXPECT_EQ(DrawnBy(*doors[0]).at(0).Frame, SpriteKeyDoor + 2);

  HoldUp();  // unlocked for good: no second score
  EXPECT_EQ(Game().Score, 1000);
  for (int t = 0; t < 4; ++t) Idle();
  EXPECT_EQ(doors[0]->State, 7);
  EXPECT_TRUE(doors[0]->IsListed());
  Idle();
  EXPECT_FALSE(doors[0]->IsListed());
  EXPECT_FALSE(doors[1]->IsListed());
  EXPECT_TRUE(doors[2]->IsListed());
}

TEST_F(InteractiveTest, KeyHoleWithoutADoorSpendsTheKeyAndStaysLocked) {
  SpawnKeyHole(World(), 3, 2, FloorRow - 1);
  Game().GotKey[3] = 1;
  HoldUp();
  EXPECT_EQ(Game().GotKey[3], 0);
  EXPECT_EQ(Game().Score, 1000);
  EXPECT_EQ(Only<TKeyHole>()->Unlocked, 0);
}

TEST_F(InteractiveTest, KeyDoorAtTheMapEdgeOpensWithoutTouchingTheMap) {
  SpawnKeyDoor(World(), 0, 0, 5);
  auto door = Only<TKeyDoor>();
  ASSERT_TRUE(door);
  World().Grid.Tiles[5][0] = 0x1860;
  door->Open();
  EXPECT_EQ(World().Grid.Tiles[5][0], 0x1860);
  for (int t = 0; t < 7; ++t) door->Update();
  EXPECT_FALSE(door->IsListed());
}

// --- Exit door and teleporters -------------------------------------------------------------

TEST_F(InteractiveTest, ExitDoorOpensOnlyForUpAloneAndTheLevelEndsEightTicksLater) {
  SpawnExitDoor(World(), 2, FloorRow - 1);
  auto door = Only<TExitDoor>();
  ASSERT_TRUE(door);
  EXPECT_EQ(door->PosX, 5);
  EXPECT_EQ(LayerOf(door.get()), LayerBackground);
  HoldUp(true);
  HoldUp(false, true);
  EXPECT_EQ(World().Player->DelayedAction, 0);
  EXPECT_EQ(door->Active, 0);
  for (int t = 0; t < 40 && World().Player->Action != TBraxTovar::Standing; ++t)
    Idle();  // land again
  ASSERT_EQ(World().Player->Action, TBraxTovar::Standing);

  size_t mark = AudioMark();
  HoldUp();
  EXPECT_EQ(World().Player->DelayedAction, TBraxTovar::Leaving);
  EXPECT_EQ(World().Player->DelayTics, 8);
  EXPECT_EQ(SoundsPlayed(mark).at(0), SoundExitDoor);
  std::vector<int32_t> frames = {door->CurrentFrame};
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(Game().ExitLevel, 0);
    HoldUp();  // the buttons are ignored while the action runs
    frames.push_back(door->CurrentFrame);
  }
  EXPECT_EQ(Game().ExitLevel, 1);
  EXPECT_EQ(frames, (std::vector<int32_t>{0, 1, 2, 3, 2, 1, 0, 0, 0}));
  EXPECT_EQ(door->Active, 0);
  EXPECT_EQ(World().Player->InvincibilityTimer, -1);
}

TEST_F(InteractiveTest, ExitDoorSoundDependsOnTheMapAndItDrawsFromItsFrames) {
  SpawnExitDoor(World(), 2, FloorRow - 1);
  auto door = Only<TExitDoor>();
  ASSERT_TRUE(door);
  Game().MapOn = 3;
  size_t mark = AudioMark();
  door->Activate();
  EXPECT_EQ(SoundsPlayed(mark), std::vector<int>{SoundHallwayDoor});
  door->CurrentFrame = 2;
  EXPECT_EQ(DrawnBy(*door), (std::vector<TDrawn>{{48, 112, SpriteExitDoor + 8},
                                                 {64, 112, SpriteExitDoor + 9},
                                                 {48, 128, SpriteExitDoor + 10},
                                                 {64, 128, SpriteExitDoor + 11}}));
}

TEST_F(InteractiveTest, TeleporterPairMovesThePlayerAndTheCameraJumps) {
  for (int c = 0; c < MapColumns; ++c) World().Grid.Tiles[21][c] = Wall;
  SpawnTeleporter(World(), 0, 1, FloorRow - 1);  // PosX 4: under the player
  SpawnTeleporter(World(), 1, 40, 20);           // PosX 82, PosY 335
  ASSERT_TRUE(World().Teleporters[0] && World().Teleporters[1]);
  auto here = std::static_pointer_cast<TTeleporter>(World().Teleporters[0]);
  auto there = std::static_pointer_cast<TTeleporter>(World().Teleporters[1]);
  EXPECT_EQ(there->TeleIndex, 1);
  EXPECT_EQ(LayerOf(there.get()), LayerFront);

  HoldUp(true);  // not with another button
  EXPECT_EQ(World().Player->DelayedAction, 0);
  size_t mark = AudioMark();
  HoldUp();
  EXPECT_EQ(World().Player->DelayedAction, TBraxTovar::TeleportingFrom0);
  EXPECT_EQ(here->Timer, 7);  // activated, then its own update in the same tick
  EXPECT_EQ(SoundsPlayed(mark).at(0), SoundTeleport);
  for (int t = 0; t < 7; ++t) Idle();
  EXPECT_EQ(World().Player->PosX, 4);
  Idle();
  EXPECT_EQ(World().Player->PosX, 82);
  EXPECT_EQ(World().Player->PosY, 335);
  EXPECT_EQ(Game().CamX, 68);
  EXPECT_EQ(Game().CamY, 14);
  EXPECT_EQ(Game().CamDestY, 14);
  EXPECT_EQ(there->Timer, 7);
  EXPECT_EQ(there->DrawBolt, 1);
}

TEST_F(InteractiveTest, TeleporterBlinksAndShowsLightningAfterActivation) {
  SpawnTeleporter(World(), 0, 3, FloorRow - 1);  // PosX 8
  auto tele = Only<TTeleporter>();
  ASSERT_TRUE(tele);
  tele->Activate();
  tele->Update();
  EXPECT_EQ(tele->BlinkFrame, 1);
  EXPECT_EQ(tele->DrawBolt, 1);
  auto drawn = DrawnBy(*tele);
  ASSERT_EQ(drawn.size(), 12u);
  EXPECT_EQ(drawn[0], (TDrawn{64, 96, SpriteTeleporter}));
  EXPECT_EQ(drawn[8], (TDrawn{96, 128, SpriteTeleporter + 8}));
  EXPECT_EQ(drawn[9], (TDrawn{80, 112, SpriteTeleporterSparkle}));
  EXPECT_EQ(drawn[10], (TDrawn{96, 112, SpriteTeleporterLight}));
  EXPECT_EQ(drawn[11], (TDrawn{80, 96, SpriteTeleporterBolt}));

  std::vector<int> bolts;
  for (int t = 0; t < 9; ++t) {
    tele->Update();
    bolts.push_back(tele->DrawBolt);
  }
  EXPECT_EQ(bolts, (std::vector<int>{2, 3, 0, 1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(tele->BlinkFrame, 1);  // ten updates: 10 mod 3
  tele->Update();
  tele->Update();
  EXPECT_EQ(DrawnBy(*tele).size(), 9u);  // blink frame 0, no bolt
}

// --- Slots and force fields ------------------------------------------------------------------

TEST_F(InteractiveTest, CardSlotRemovesEveryForceFieldWithTheCard) {
  SpawnCardSlot(World(), 2, FloorRow - 1);
  SpawnForceField(World(), 8, FloorRow - 1);
  SpawnForceField(World(), 20, 30);
  EXPECT_EQ(Count("TForceField") + Count("TForceFieldLeft") + Count("TForceFieldRight"), 6u);
  auto slot = Only<TCardSlot>();
  ASSERT_TRUE(slot);
  SetTimer(13);
  EXPECT_EQ(DrawnBy(*slot).at(0).Frame, SpriteCardSlot + 5);

  Game().MessageActive[10] = 1;
  AnswerNextBox();
  HoldUp();
  EXPECT_TRUE(BoxWasShown());
  EXPECT_EQ(slot->Unlocked, 0);
  EXPECT_EQ(Count("TForceField"), 2u);

  Game().GotAccessCard = 1;
  size_t mark = AudioMark();
  HoldUp();
  EXPECT_EQ(SoundsPlayed(mark).at(0), SoundUnlock);
  EXPECT_EQ(slot->Unlocked, 1);
  EXPECT_EQ(Game().GotAccessCard, 0);
  EXPECT_EQ(Count("TForceField") + Count("TForceFieldLeft") + Count("TForceFieldRight"), 0u);
  EXPECT_EQ(DrawnBy(*slot).at(0).Frame, SpriteCardSlotOpen);
}

TEST_F(InteractiveTest, GloveSlotFiresBothWaysWhileOnScreenWithoutTheGlove) {
  SpawnGloveSlot(World(), 2, FloorRow - 1);
  auto slot = Only<TGloveSlot>();
  ASSERT_TRUE(slot);
  HoldUp();
  EXPECT_EQ(slot->Active, 1);
  EXPECT_EQ(slot->Unlocked, 0);
  EXPECT_EQ(slot->Direction, 1);  // it fired to the left in the same tick's pass

  for (const auto& s : Listed("TEnemyShot")) s->Remove();
  Game().EnemyShotsActive = 0;
  World().Player->PosX = 40;
  std::vector<int64_t> directions;
  for (int t = 0; t < 2; ++t) {
    slot->Update();
    directions.push_back(Field(Listed("TEnemyShot").back(), "Direction"));
  }
  EXPECT_EQ(directions, (std::vector<int64_t>{1, 0}));

  Game().CamX = 100;  // off screen: it stops until used again
  const size_t before = Count("TEnemyShot");
  slot->Update();
  EXPECT_EQ(slot->Active, 0);
  Game().CamX = 0;
  slot->Update();
  EXPECT_EQ(Count("TEnemyShot"), before);
}

TEST_F(InteractiveTest, GloveSlotWithTheGloveStartsEveryExtender) {
  SpawnGloveSlot(World(), 2, FloorRow - 1);
  SpawnExtender(World(), 40, 30);
  SpawnExtender(World(), 60, 30);
  Game().GotGlove = 1;
  auto slot = Only<TGloveSlot>();
  ASSERT_TRUE(slot);
  EXPECT_EQ(DrawnBy(*slot), (std::vector<TDrawn>{{48, 128, SpriteGloveSlotDark},
                                                 {32, 128, SpriteGloveSlotLeft},
                                                 {64, 128, SpriteGloveSlotRight}}));
  size_t mark = AudioMark();
  HoldUp();
  EXPECT_EQ(slot->Unlocked, 1);
  EXPECT_EQ(slot->Active, 0);
  for (const auto& e : Listed("TExtender")) EXPECT_EQ(AsGame(e)->Active, 1);
  const auto sounds = SoundsPlayed(mark);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), SoundExtenderOn), 2);
  EXPECT_EQ(DrawnBy(*slot).at(0).Frame, SpriteGloveSlotLit);
}

TEST_F(InteractiveTest, ForceFieldSwallowsShotsAndItsEndsPushOnlyAWalkerBack) {
  SpawnForceField(World(), 5, FloorRow - 1);             // field at 10, ends at 9 and 11
  auto parts = ListedObjects<TForceField>(ActorList());  // the ends are force fields too
  ASSERT_EQ(parts.size(), 3u);
  auto field = parts[0];
  EXPECT_EQ(field->ClassName(), "TForceField");
  auto left = Only<TForceFieldLeft>();
  auto right = Only<TForceFieldRight>();
  ASSERT_TRUE(left && right);
  EXPECT_EQ(left->PosX, 9);
  EXPECT_EQ(right->PosX, 11);

  auto first = AddShot(10, 127);
  auto second = AddShot(11, 127);
  field->CheckCollisions();
  EXPECT_FALSE(first->IsListed());
  EXPECT_FALSE(second->IsListed());
  EXPECT_EQ(Game().PlayerShotsActive, 0);

  World().Player->PosX = 10;  // inside the field: harmless
  field->CheckCollisions();
  EXPECT_EQ(Game().Health, 9);

  World().Player->PosX = 8;  // touching the left end
  World().Player->LastDeltaX = 0;
  left->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 8);
  World().Player->LastDeltaX = -1;
  left->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 8);
  World().Player->LastDeltaX = 1;
  left->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 7);

  World().Player->PosX = 12;  // touching the right end
  right->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 12);
  World().Player->LastDeltaX = -1;
  right->CheckCollisions();
  EXPECT_EQ(World().Player->PosX, 13);
  EXPECT_TRUE(DrawnBy(*left).empty());
  SetTimer(6);
  EXPECT_EQ(DrawnBy(*field).at(0).Frame, SpriteForceField + 2);
}

TEST_F(InteractiveTest, WalkingIntoAForceFieldGetsNowhere) {
  SpawnForceField(World(), 5, FloorRow - 1);
  World().Player->PosX = 6;
  for (int t = 0; t < 10; ++t) GameTick(World(), false, false, false, true, false, false);
  EXPECT_LE(World().Player->PosX + World().Player->Width, 10);  // never reaches the field itself
  EXPECT_EQ(Game().Health, 9);
}

// --- Notes, the monitor, beams, background sprites ------------------------------------------

TEST_F(InteractiveTest, NoteIsReadWithUp) {
  SpawnNote(World(), 2, FloorRow - 1);
  EXPECT_EQ(DrawnBy(*Only<TNote>()).at(0).Frame, SpriteNote);
  size_t mark = AudioMark();
  AnswerNextBox();
  HoldUp(true);  // a note is read whatever else is held
  EXPECT_TRUE(BoxWasShown());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundMessage));
}

TEST_F(InteractiveTest, TouchHintsAreShownOnce) {
  Game().SetHintsActive(1);
  SpawnExitDoor(World(), 2, FloorRow - 1);
  AnswerNextBox();
  Idle();
  EXPECT_TRUE(BoxWasShown());
  EXPECT_EQ(Game().MessageActive[5], 0);
  EXPECT_EQ(Game().MessageActive[0], 1);
  AnswerNextBox();  // would close a wrong second box
  Idle();
  EXPECT_EQ(Headless->PendingScriptEvents(), 2u);  // no box consumed the press
}

TEST_F(InteractiveTest, MonitorWakesOnceWhenWalkedPastAndTurnsToThePlayer) {
  SpawnMalvexScreen(World(), 6, FloorRow - 1);  // screen at 12, triggers at 6 and 20
  auto screen = Only<TMalvexScreen>();
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->Active, 1);
  auto triggers = ListedObjects<TMonitorTrigger>(ActorList());
  ASSERT_EQ(triggers.size(), 2u);
  EXPECT_EQ(triggers[0]->PosX, 6);
  EXPECT_EQ(triggers[1]->PosX, 20);
  EXPECT_EQ(triggers[0]->Monitor, screen);
  screen->Active = 0;
  screen->WasActive = 0;

  World().Player->PosX = 6;
  size_t mark = AudioMark();
  AnswerNextBox();
  triggers[0]->CheckCollisions();
  EXPECT_TRUE(BoxWasShown());
  EXPECT_TRUE(Has(SoundsPlayed(mark), SoundMonitorOn));
  EXPECT_EQ(Count("TMonitorTrigger"), 0u);
  EXPECT_EQ(screen->Active, 1);
  EXPECT_EQ(screen->WasActive, 1);
  EXPECT_EQ(screen->CurrentFrame, 3);

  const std::pair<int32_t, int32_t> looks[] = {{10, 3}, {11, 4}, {15, 4}, {16, 5}};
  for (auto [x, frame] : looks) {
    World().Player->PosX = x;
    screen->Update();
    EXPECT_EQ(screen->CurrentFrame, frame) << x;
  }
  EXPECT_EQ(DrawnBy(*screen), (std::vector<TDrawn>{{112, 112, SpriteMonitorScreen + 10},
                                                   {128, 112, SpriteMonitorScreen + 11},
                                                   {112, 128, SpriteMonitorStand},
                                                   {128, 128, SpriteMonitorStand + 1}}));

  Game().CamX = 100;  // off screen: back to static
  SetTimer(5);
  screen->Update();
  EXPECT_EQ(screen->Active, 0);
  EXPECT_EQ(screen->CurrentFrame, 2);

  TMonitorTrigger orphan;  // without a screen: nothing
  orphan.PosX = World().Player->PosX;
  orphan.PosY = World().Player->PosY;
  mark = AudioMark();
  orphan.CheckCollisions();
  EXPECT_EQ(AudioMark(), mark);
}

TEST_F(InteractiveTest, EnergyBeamHurtsEveryTickOfContactAndChangesItsSprite) {
  SpawnEnergyBeam(World(), 2, FloorRow - 1);
  auto beam = Only<TEnergyBeam>();
  ASSERT_TRUE(beam);
  SetTimer(5);
  beam->Update();
  beam->CheckCollisions();
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(beam->IsColliding, 1);
  EXPECT_EQ(DrawnBy(*beam).at(0).Frame, SpriteEnergyBeam + 5);
  beam->Update();
  beam->CheckCollisions();  // invincible: no damage, but the contact sprite shows
  EXPECT_EQ(Game().Health, 8);
  EXPECT_EQ(beam->IsColliding, 1);
  World().Player->InvincibilityTimer = 0;
  beam->CheckCollisions();
  EXPECT_EQ(Game().Health, 7);
  World().Player->PosX = 40;
  beam->Update();
  beam->CheckCollisions();
  EXPECT_EQ(beam->IsColliding, 0);
  EXPECT_EQ(DrawnBy(*beam).at(0).Frame, SpriteEnergyBeam + 1);
}

TEST_F(InteractiveTest, BackgroundSpriteHangsFromTheTopOfItsCell) {
  SpawnBackgroundSprite(World(), SpriteLamp, 5, 4);
  auto sprite = Only<TBackgroundSprite>();
  ASSERT_TRUE(sprite);
  EXPECT_EQ(sprite->PosY, 64);
  EXPECT_EQ(LayerOf(sprite.get()), LayerBackground);
  Game().CamX = 2;
  Game().CamY = 1;
  EXPECT_EQ(DrawnBy(*sprite), (std::vector<TDrawn>{{80, 64, SpriteLamp}}));
}

}  // namespace
