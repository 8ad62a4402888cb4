// The sound numbers of the game (PlayBraxSound): what each of the 48 sounds of the two
// sound containers is played for. Numbers 28, 45, 46 and 47 are loaded but never played.
#pragma once

// The hero.
constexpr int SoundHeroDead = 0;  // the end of the dying sequence
constexpr int SoundHeroShot = 6;  // a shot fired
constexpr int SoundTeleport = 7;  // stepping into a teleporter
constexpr int SoundJump = 13;
constexpr int SoundLand = 14;
constexpr int SoundHurt = 15;
constexpr int SoundFootstep = 22;    // every other tick of walking
constexpr int SoundHookGrip = 27;    // catching a hookable ceiling, and moving along it
constexpr int SoundHeadBump = 38;    // a ceiling with no hold, or no room to swing up
constexpr int SoundElevatorUp = 20;  // riding an elevator one tile up
constexpr int SoundUnlock = 31;      // a key in its key hole, the card in its slot
constexpr int SoundExtenderOn = 5;   // the glove in its slot: once for every extender
constexpr int SoundMessage = 25;     // hint, note and cheat boxes

// Things picked up.
constexpr int SoundFood = 1;       // soda or turkey
constexpr int SoundSodaLeaks = 2;  // a soda can shot
constexpr int SoundBalloon = 3;
constexpr int SoundAtom = 4;
constexpr int SoundKey = 9;
constexpr int SoundItem = 12;         // pistol, boots, hooks, glove, access card
constexpr int SoundBonusItem = 16;    // score goodies, a leaking soda, a letter short of the bonus
constexpr int SoundLetterBonus = 37;  // the fourth letter in the right order

// Shots, hits and explosions.
constexpr int SoundExplosion = 10;    // boxes, robots and bridges breaking, the hero's death
constexpr int SoundEnemyShot = 11;    // a robot's shot fired on screen
constexpr int SoundRobotHit = 18;     // a robot, camera or fan shot down
constexpr int SoundBlockBreaks = 42;  // a cracked block shot, a rocket through the ceiling
constexpr int SoundBlast = 33;        // dynamite and mines going off

// Level objects.
constexpr int SoundReactorBlows = 17;  // the end of a reactor's meltdown
constexpr int SoundReactorHum = 36;
constexpr int SoundExitDoor = 19;       // the exit door of a level opening
constexpr int SoundHallwayDoor = 39;    // the exit door of a hallway opening
constexpr int SoundForceFieldHum = 21;  // force fields and energy beams
constexpr int SoundHelicopter = 23;
constexpr int SoundMonitorOn = 29;  // the villain's monitor switched on
constexpr int SoundRocketLaunch = 30;
constexpr int SoundSignFalls = 32;
constexpr int SoundMineHop = 34;
constexpr int SoundBunnySpins = 35;
constexpr int SoundVillainHit = 40;    // the villain's last hit point lost
constexpr int SoundVillainCrash = 41;  // the falling villain meets the ground
constexpr int SoundFlameWarning = 43;  // a flame thrower's pilot flame

// The program around the levels.
constexpr int SoundGameOver = 8;    // a score too low for the high-score table
constexpr int SoundHighScore = 24;  // a score for the table, before the name is asked
constexpr int SoundNewGame = 26;
constexpr int SoundFinale = 44;  // the closing text after the villain's defeat
