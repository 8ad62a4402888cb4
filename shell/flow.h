// The program's outer loop: the title sequence, the menus, new games, the end of a game
// and the end of the episode.
#pragma once

#include <string>

class TMenu;

[[noreturn]] void TitleLoop();
void MainMenu(TMenu* parent);
bool MenuCursor(int& cursor, int last);
void GameSetupMenu(int x, int y, TMenu* parent, bool fromMain);
void KeyboardSetupMenu(int x, int y, TMenu* parent, bool fromMain);
void RestoreGameMenu(TMenu* parent);
bool SaveGameMenu(TMenu* parent);
void InGameMenu();
void ShowHighScores(int x, int y, TMenu* parent, bool fadeOut);
void ShowInstructions();
void ShowOrderInfo();
void ShowHeroMessage(const std::string& text, int fadeOut, int fadeIn);
void ShowVillainMessage(const std::string& text, int fadeOut, int fadeIn);
void NewGame();
// "warp=N": a new game straight on map N, without the intro boxes or a recording.
void WarpGame(int map);
void EpisodeEnding(bool shortForm);
std::string EnterHighScoreName();
// The slot lines of the restore and save menus.
std::string SaveSlotList();
// After a game: high-score entry, the table and the menu music.
void EndOfGame();
