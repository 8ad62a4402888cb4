// Where the episode is found and where the player's files are kept.
//
// Classic layout: savegames, high scores, KEYS and the user demo in the game directory;
// "Zyntra.ini", "log.txt", the quick save and screenshots in the working directory. When
// the game directory is an installed episode or cannot be written, all of them go to the
// player's directory instead ($XDG_DATA_HOME/zyntra/<extension>/), and are read from
// there first.
#pragma once

#include <string>

// Where the classic layout keeps a file.
enum class TPlace { GameDir, WorkDir };

// The path a file the player keeps is written to.
std::string PlayerFile(TPlace place, const std::string& name);
// The path it is read from: the player's directory unless only the classic place has the
// file.
std::string PlayerFileToRead(TPlace place, const std::string& name);

// True when dir (empty: the working directory) holds the episode of ext: its border tiles,
// the first file the program cannot run without.
bool HoldsEpisode(const std::string& dir, const std::string& ext);
// The installed episode of ext for the program at programPath (<prefix>/bin/zyntra):
// the first directory under <prefix>/share/zyntra/ that holds it, ending with '/';
// "" when there is none.
std::string InstalledEpisodeDir(const std::string& programPath, const std::string& ext);
// $XDG_DATA_HOME/zyntra/<ext without the dot, upper case>/, ~/.local/share/... when
// XDG_DATA_HOME is unset or not absolute; "" when no home directory is known.
std::string PlayerDataDir(const std::string& ext);
// The running program's own file (/proc/self/exe, else the first argument).
std::string ProgramPath();

// Settles GameDir and PlayerDir once the command line is read: without "dir", a working
// directory without the episode gives the installed one; an installed or unwritable game
// directory gives the player's directory, created when missing. Logs nothing (the log
// file's place depends on it); the caller reports what was chosen.
void LocateGameFiles();
