#include "world/game_state.h"

#include <algorithm>

#include "platform/keyboard.h"
#include "platform/platform.h"
#include "shell/strings.h"
#include "world/actor_list.h"
#include "world/world_state.h"

ZYNTRA_DEFINE_CLASS(TGameState, TObject, ZYNTRA_FIELD(TGameState, Health),
                    ZYNTRA_FIELD_RANGE(TGameState, Score, 0, DefaultLongBound),
                    ZYNTRA_FIELD(TGameState, FirePower), ZYNTRA_FIELD(TGameState, MapOn),
                    ZYNTRA_FIELD_RANGE(TGameState, CamX, MinPosX, MaxPosX),
                    ZYNTRA_FIELD_RANGE(TGameState, CamY, MinPosY / 16, MaxPosY / 16),
                    ZYNTRA_FIELD(TGameState, GotBoots), ZYNTRA_FIELD(TGameState, GotHooks),
                    ZYNTRA_FIELD(TGameState, GotGlove), ZYNTRA_FIELD(TGameState, MessageActive),
                    ZYNTRA_FIELD_RANGE(TGameState, Timer, 0, int64_t(1) << 30),
                    ZYNTRA_FIELD(TGameState, GotAccessCard), ZYNTRA_FIELD(TGameState, GotKey),
                    ZYNTRA_FIELD_RANGE(TGameState, CamDestY, MinPosY / 16, MaxPosY / 16),
                    ZYNTRA_FIELD(TGameState, ExitLevel), ZYNTRA_FIELD(TGameState, PlayerIsDead),
                    ZYNTRA_FIELD(TGameState, Victory), ZYNTRA_FIELD(TGameState, PlayerShotsActive),
                    ZYNTRA_FIELD(TGameState, EnemyShotsActive), ZYNTRA_FIELD(TGameState, CamsTotal),
                    ZYNTRA_FIELD(TGameState, CamsShot), ZYNTRA_FIELD(TGameState, GotHit),
                    ZYNTRA_FIELD(TGameState, SignsTotal), ZYNTRA_FIELD(TGameState, SignsFallen),
                    ZYNTRA_FIELD(TGameState, MissilesTotal), ZYNTRA_FIELD(TGameState, MissilesShot),
                    ZYNTRA_FIELD(TGameState, LetterBits), ZYNTRA_FIELD(TGameState, CorrectOrder),
                    ZYNTRA_FIELD_RANGE(TGameState, Letters, 0, MapColumns* MapRows),
                    ZYNTRA_FIELD(TGameState, LetterBonus), ZYNTRA_FIELD(TGameState, SnakesTotal),
                    ZYNTRA_FIELD(TGameState, SnakesShot), ZYNTRA_FIELD(TGameState, BunniesTotal),
                    ZYNTRA_FIELD(TGameState, BunniesShot))

TGameState::TGameState() : MessageActive(HintCount, 0), GotKey(KeyKinds, 0) {}

void TGameState::ReInit() {
  Timer = 0;
  std::fill(GotKey.begin(), GotKey.end(), uint16_t(0));
  ExitLevel = PlayerIsDead = Victory = 0;
  PlayerShotsActive = EnemyShotsActive = 0;
  CamsTotal = CamsShot = 0;
  GotHit = 0;
  SignsTotal = SignsFallen = 0;
  MissilesTotal = MissilesShot = 0;
  LetterBits = 0;
  CorrectOrder = 1;
  Letters.clear();
  LetterBonus = 0;
  SnakesTotal = SnakesShot = 0;
  BunniesTotal = BunniesShot = 0;
}

void TGameState::AddHealth(uint8_t n) { Health = uint16_t(std::min(9, Health + n)); }

void TGameState::AddPistol() {
  if (FirePower < 4) ++FirePower;
}

void TGameState::AddScore(int32_t n) { Score += n; }

bool TGameState::AddLetter(uint8_t n) {
  if (n > 3) return false;
  static const char* const Names[4] = {"B", "R", "A", "X"};
  Letters += Names[n];
  if (n < 3 && (LetterBits >> n) != 0) CorrectOrder = 0;
  LetterBits = uint8_t(LetterBits | (1 << n));
  for (int i = 0; i <= n; ++i)
    if (!(LetterBits & (1 << i))) CorrectOrder = 0;
  bool bonus = LetterBits == 15 && CorrectOrder;
  if (bonus) LetterBonus = 1;
  return bonus;
}

uint8_t TGameState::GetBonusBits() const {
  uint8_t bits = 0;
  if (CamsTotal > 0 && CamsShot == CamsTotal) bits |= BonusAllCameras;
  if (GotHit == 0) bits |= BonusUnhurt;
  if (SignsTotal > 0 && SignsFallen == SignsTotal) bits |= BonusAllSigns;
  if (MissilesTotal > 0 && MissilesShot == MissilesTotal) bits |= BonusAllMissiles;
  if (LetterBonus) bits |= BonusLetters;
  if (SnakesTotal > 0 && SnakesShot == SnakesTotal) bits |= BonusSnake;
  if (BunniesTotal > 0 && BunniesShot == BunniesTotal) bits |= BonusAllBunnies;
  return bits;
}

bool TGameState::HintIsActive(uint8_t n) const {
  return n < size_t(HintCount) && n < MessageActive.size() && MessageActive[n] != 0;
}

void TGameState::SetHintsActive(uint8_t on) {
  std::fill(MessageActive.begin(), MessageActive.end(), uint16_t(on));
}

void NewGameState(TWorld& world, bool hintsOn) {
  auto state = std::make_shared<TGameState>();
  state->Health = 9;
  state->FirePower = 1;
  state->CorrectOrder = 1;
  state->SetHintsActive(hintsOn ? 1 : 0);
  world.State = state;
  world.GameStarted = true;
}

void GiveEverything(TGameState& g) {
  g.Health = 9;
  g.FirePower = 4;
  g.GotBoots = g.GotHooks = g.GotGlove = g.GotAccessCard = 1;
  std::fill(g.GotKey.begin(), g.GotKey.end(), uint16_t(1));
}

std::string BonusInfoText(const TGameState& g) {
  auto pair = [](int32_t a, int32_t b) { return std::to_string(a) + " of " + std::to_string(b); };
  return "BONUS INFO\n" + ("\nCameras:\t" + pair(g.CamsShot, g.CamsTotal)) +
         ("\nSigns:\t" + pair(g.SignsFallen, g.SignsTotal)) +
         ("\nMissiles:\t" + pair(g.MissilesShot, g.MissilesTotal)) +
         ("\nBunnies:\t" + pair(g.BunniesShot, g.BunniesTotal)) +
         ("\nSnake:\t" + pair(g.SnakesShot, g.SnakesTotal)) + "\n\nBits:\t" +
         std::to_string(g.GetBonusBits());
}

void ShowBonusInfo(const TGameState& game) {
  Platform().ShowMessageBox("Zyntra", BonusInfoText(game));
  ResetKeys();
}
