// One game: tick by tick with the play keys, the keys of play, and the outcome of each tick.
#pragma once

// Runs a game until quit, victory or a failed first level load.
void GameLoop(bool newGame);
