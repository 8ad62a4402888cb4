// What the fuzz targets share: a private working directory that is also the game
// directory (a copy of our episode), the headless platform, and the game started once for
// the targets that play ticks after loading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Once per process: a fresh temporary directory holding a copy of our episode and the
// small replacement images that the seeds of "hrp.ini" name; it becomes the working
// directory and the game directory, and the headless platform is installed with a window.
// Returns the directory (ends with '/').
const std::string& FuzzDir();
// Writes the input as a file of the fuzz directory (replacing it).
void WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);
void RemoveFuzzFile(const std::string& name);
// Once per process: the program prepared as the route tool prepares it (settings, strings,
// every graphic, sounds, high scores) on the headless platform without pixels.
void StartFuzzGame();
// Plays at most n ticks with the six inputs of each record (records may be empty: nothing
// held), stopping when the level is over.
void PlayTicks(int n, const uint8_t* records = nullptr, size_t size = 0);
// Called by every run: the log starts afresh every few hundred runs so that a long
// campaign does not fill the disk.
void TrimLog();
