// Writing sound containers, and building them from the text source of the episode's
// speaker tunes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One tune of a container.
struct TSoundSource {
  std::string Name;  // at most 12 characters are stored
  uint8_t Priority = 0;
  std::vector<uint16_t> Words;  // timer divisors, 0 = silence; no 0xFFFF
};

// The bytes of a container holding the entries in order, each tune ended by 0xFFFF.
// Empty when there are more than 65535 entries or a tune would start beyond the 16-bit
// offsets.
std::vector<uint8_t> WriteSoundContainer(const std::vector<TSoundSource>& entries);

// The timer divisor of a tone, rounded, kept within 1..65534.
uint16_t DivisorForFrequency(int hz);

// Parses the text form of the 48 sounds (see episode/sounds.txt for the format) into
// sounds[0..47]. False with a message naming the line when the text is wrong.
bool ParseSoundText(const std::string& text, std::vector<TSoundSource>& sounds, std::string& error);

// Both containers of an episode: sounds 0..23 and 24..47.
struct TSoundContainers {
  std::vector<uint8_t> First;   // BRAX1 + extension
  std::vector<uint8_t> Second;  // BRAX1-B + extension
  std::string Error;            // empty on success
  bool Ok() const { return Error.empty(); }
};
TSoundContainers BuildSoundContainersFromText(const std::string& text);
