// One game: tick by tick with the play keys, the keys of play, and the outcome of each tick.
#pragma once

// Runs a game until quit, victory or a failed first level load. A new game starts on
// firstMap. With "ticks=N" the program quits after N ticks, logging the state hash.
void GameLoop(bool newGame, int firstMap = 0);
