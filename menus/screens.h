// The menus of the program: main menu, game and keyboard set-up, restore and save, the
// in-game menu, the high-score table and the instruction pages.
#pragma once

#include <string>

class TMenu;

void MainMenu(TMenu* parent);
// The cursor keys of a menu of rows 0..last; true when Enter is hit.
bool MenuCursor(int& cursor, int last);
// The quit question; true when it is answered yes.
bool QuitAsked(TMenu* parent, int x, int y);
void GameSetupMenu(int x, int y, TMenu* parent, bool fromMain);
void KeyboardSetupMenu(int x, int y, TMenu* parent, bool fromMain);
void RestoreGameMenu(TMenu* parent);
bool SaveGameMenu(TMenu* parent);
void InGameMenu();
void ShowHighScores(int x, int y, TMenu* parent, bool fadeOut);
void ShowInstructions();
void ShowOrderInfo();
// The slot lines of the restore and save menus.
std::string SaveSlotList();
