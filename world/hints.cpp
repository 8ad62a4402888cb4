// The game-state operations that talk to the player through boxes and sounds.
#include "data/sound.h"
#include "platform/keyboard.h"
#include "shell/strings.h"
#include "world/game_state.h"
#include "world/level_draw.h"
#include "world/sounds.h"
#include "world/world_state.h"

void ShowHint(TWorld& world, uint8_t n, bool keep) {
  TGameState& game = *world.State;
  // HintIsActive also guards a switch array that a garbled quick save left short.
  if (!game.HintIsActive(n)) return;
  game.MessageActive[n] = keep ? 1 : 0;
  PlayBraxSound(SoundMessage);
  ShowInfoBox(world, HintText[n], 16, 48, 12, 2, true);
}

void ShowNote(TWorld& world) {
  size_t map = world.State->MapOn;
  ShowInfoBox(world, map < MessageText.size() ? MessageText[map] : "", 16, 16, 12, 3, true);
}

void GiveFirepowerAndKeys(TWorld& world) {
  TGameState& game = *world.State;
  PlayBraxSound(SoundMessage);
  ShowInfoBox(world, CheatText, 16, 16, 12, 2, false);
  game.FirePower = 4;
  for (uint16_t& key : game.GotKey) key = 1;
  ResetKeys();
}
