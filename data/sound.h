// The episode's PC-speaker sounds: the two sound containers, square-wave synthesis,
// playback by number on the speaker channel with priorities, replacement sounds and
// WAVE export.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/stream.h"
#include "platform/platform.h"

constexpr int SoundCount = 48;  // sounds 0..23 in the first container, 24..47 in the second
constexpr int SoundsPerContainer = 24;
constexpr int SpeakerRate = 22050;           // samples per second of the synthesised sounds
constexpr int SamplesPerWord = 153;          // one timer word lasts 153 samples (about 1/144 s)
constexpr uint32_t SoundMagic = 0x00444E53;  // "SND" and a zero byte
constexpr uint16_t TuneEnd = 0xFFFF;
// Longest tune loaded, in words: the tunes of a container lie within its 16-bit offsets.
// A damaged file whose tune runs on further is cut here.
constexpr int MaxTuneWords = 0x7FFF;

// A channel of the audio layer held by one user (the speaker, one replacement sound, the
// music). Channels are numbers shared by everyone: when another user has started a sound
// on our channel after ours ended, the channel is no longer ours and the next Start takes
// a free one. All game audio goes through these so that ownership stays known.
class TAudioChannel {
 public:
  // Plays the sound on our channel (cutting off what we played there) or on a free one.
  bool Start(const PSound& sound, bool loop);
  bool Playing() const;
  // Stops our sound and forgets the channel.
  void Stop();
  int Number() const { return Owned() ? Channel : -1; }

 private:
  bool Owned() const;
  int Channel = -1;
  uint64_t Ticket = 0;
};

// One classic sound as loaded from a container.
struct TClassicSound {
  bool Loaded = false;  // the entry was read
  std::string Name;     // up to 12 characters
  uint8_t Priority = 0;
  std::vector<uint8_t> Samples;  // 8-bit unsigned, SpeakerRate
  PSound Sound;                  // null without a platform or when it could not be made
};

// Square-wave samples for timer divisor words: words.size() * 153 samples (fewer when a
// 0xFFFF word ends the tune early).
std::vector<uint8_t> SynthesizeSpeakerWords(const std::vector<uint16_t>& words);
// The same for `words` words read from the stream's current position; a read past the end
// ends the tune there.
std::vector<uint8_t> SynthesizeSpeakerSound(TStream& file, int words);

// Reads entry j of an open container into sound number n. False when the entry lies
// outside the file (the sound stays missing).
bool LoadSoundEntry(TStream& file, int j, int n);
// Loads both containers of the game directory and, with enhanced content, the
// replacement sounds 000.wav..047.wav (or .ogg) of the working directory.
void LoadSounds();

// Plays sound n (0..47) on the speaker channel by priority, or its replacement on a
// channel of its own while ReplacementMode is on. Silent when sound is off.
void PlayBraxSound(int n);
// Stops the speaker (which gets a fresh channel) and every replacement sound.
void StopAllSounds();

// An 8-bit mono RIFF WAVE file. False (and nothing written) when the path cannot be
// created.
bool WriteWav(const std::vector<uint8_t>& samples, const std::string& path, int rate = SpeakerRate);

// Inspection and reset (tests, start-up).
const TClassicSound& ClassicSound(int n);  // n outside 0..47 gives an empty sound
PSound ReplacementSound(int n);
void ResetSounds();
