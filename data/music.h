// Songs of the replacement content, played in a loop on a channel of their own.
#pragma once

#include <string>

// Plays the song (a file of the game directory, else of the working directory) in a
// loop. The same song again restarts without reading the file; an empty name stops.
void StartMusic(const std::string& name);
// Leaves the song alone when it is already the one playing; otherwise StartMusic.
void EnsureMusic(const std::string& name);
// Stops the song; it stays loaded for a restart.
void StopMusic();
// The song of level `level` from "hrp.ini" (key "level" + number of section "MUSIC" +
// extension, else of "MUSIC"); nothing with classic content.
void StartLevelMusic(int level);

// The current song name in upper case ("" before the first song).
const std::string& CurrentSongName();
bool MusicIsLoaded();
// Forgets the song and its channel (tests).
void ResetMusic();
