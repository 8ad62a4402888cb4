// The running game's state: health, score, inventory, camera, tallies and bonus letters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/object_model.h"

// The camera's limits in play: the view of 26 half-tiles by 10 rows stays inside the map.
constexpr int32_t MaxCamX = 230;
constexpr int32_t MaxCamY = 80;

// The level-end bonuses (GetBonusBits), in the order they are shown.
constexpr uint8_t BonusAllCameras = 1;
constexpr uint8_t BonusUnhurt = 2;
constexpr uint8_t BonusAllSigns = 4;
constexpr uint8_t BonusAllMissiles = 8;
constexpr uint8_t BonusLetters = 16;  // B, R, A, X in that order
constexpr uint8_t BonusSnake = 32;
constexpr uint8_t BonusAllBunnies = 64;

// The keys of the four colours that a level can hide.
constexpr size_t KeyKinds = 4;

class TGameState : public TObject {
 public:
  TGameState();

  uint16_t Health = 0;
  int64_t Score = 0;
  uint16_t FirePower = 0;
  uint16_t MapOn = 0;
  int32_t CamX = 0;
  int32_t CamY = 0;
  uint16_t GotBoots = 0;
  uint16_t GotHooks = 0;
  uint16_t GotGlove = 0;
  std::vector<uint16_t> MessageActive;  // HintCount hint switches
  int32_t Timer = 0;
  uint16_t GotAccessCard = 0;
  std::vector<uint16_t> GotKey;  // KeyKinds keys
  int32_t CamDestY = 0;
  uint8_t ExitLevel = 0;
  uint8_t PlayerIsDead = 0;
  uint8_t Victory = 0;
  int32_t PlayerShotsActive = 0;
  int32_t EnemyShotsActive = 0;
  int32_t CamsTotal = 0;
  int32_t CamsShot = 0;
  uint8_t GotHit = 0;
  int32_t SignsTotal = 0;
  int32_t SignsFallen = 0;
  int32_t MissilesTotal = 0;
  int32_t MissilesShot = 0;
  uint8_t LetterBits = 0;
  uint8_t CorrectOrder = 0;
  std::string Letters;
  uint8_t LetterBonus = 0;
  int32_t SnakesTotal = 0;
  int32_t SnakesShot = 0;
  int32_t BunniesTotal = 0;
  int32_t BunniesShot = 0;

  virtual void ReInit();
  virtual void AddHealth(uint8_t n);
  virtual void AddPistol();
  virtual void AddScore(int32_t n);
  virtual bool AddLetter(uint8_t n);
  virtual uint8_t GetBonusBits() const;
  virtual bool HintIsActive(uint8_t n) const;
  virtual void SetHintsActive(uint8_t on);

  // The score as shown, saved and ranked: its low 32 bits, unsigned.
  uint32_t ShownScore() const { return uint32_t(uint64_t(Score) & 0xFFFFFFFFu); }
  ZYNTRA_CLASS(TGameState)
};
using PGameState = std::shared_ptr<TGameState>;

// The current game state (null before the first game).
// The game state of the world in play (World().State; blank before a game starts).
TGameState& Game();
// The camera's column and row and the tick counter of the game in play.

struct TWorld;
void NewGameState(TWorld& world, bool hintsOn);
// The hints: the first ten come once, on the first contact with their item; the last two
// come every time the hero tries a slot or a key hole without what it takes.
constexpr int HintKeyHole = 0;
constexpr int HintNote = 1;
constexpr int HintSoda = 2;
constexpr int HintTurkey = 3;
constexpr int HintAtom = 4;
constexpr int HintExitDoor = 5;
constexpr int HintElevator = 6;
constexpr int HintTeleporter = 7;
constexpr int HintGloveSlot = 8;
constexpr int HintCardSlot = 9;
constexpr int HintNoCard = 10;
constexpr int HintNoKey = 11;

// Hint n (0..11) in an info box when its switch is on; the switch becomes keep.
void ShowHint(TWorld& world, uint8_t n, bool keep);
// The note of the current map.
void ShowNote(TWorld& world);
void GiveFirepowerAndKeys(TWorld& world);
void GiveEverything(TGameState& game);
std::string BonusInfoText(const TGameState& game);
void ShowBonusInfo(const TGameState& game);
