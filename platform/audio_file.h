// Checks of sound files (WAVE and Ogg Vorbis) before they reach the audio library: the
// library trusts the sizes a header claims, so the engine checks them against the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bounds of one sound file: at most 64 MB on disk and ten minutes of sound, so that a
// decoded sound (held whole in memory) stays below about 256 MB in any device format.
constexpr int64_t MaxAudioFileBytes = int64_t(64) << 20;
constexpr int64_t MaxAudioSeconds = 10 * 60;

// True when the bytes are a RIFF/WAVE file whose chunks all lie within the bytes, with a
// format chunk before the sound data, or a sequence of whole Ogg pages that starts with a
// Vorbis identification header; the sound must last at most MaxAudioSeconds. Otherwise
// why says what is wrong.
bool CheckAudioFile(const uint8_t* data, size_t size, std::string& why);

// Reads a whole sound file of at most MaxAudioFileBytes and checks it; empty when it cannot
// be opened (why empty) or fails the check (why set).
std::vector<uint8_t> ReadCheckedAudioFile(const std::string& path, std::string& why);
