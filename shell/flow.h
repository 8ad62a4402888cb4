// The program's outer loop: the title sequence, new games, the end of a game and the end of
// the episode (the menus: menus/screens.h).
#pragma once

#include <string>

[[noreturn]] void TitleLoop();
void ShowHeroMessage(const std::string& text, int fadeOut, int fadeIn);
void ShowVillainMessage(const std::string& text, int fadeOut, int fadeIn);
void NewGame();
// "warp=N": a new game straight on map N, without the intro boxes or a recording.
void WarpGame(int map);
void EpisodeEnding(bool shortForm);
std::string EnterHighScoreName();
// After a game: high-score entry, the table and the menu music.
void EndOfGame();
