#include "platform/audio_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t U64(const uint8_t* p) { return uint64_t(U32(p)) | uint64_t(U32(p + 4)) << 32; }

bool TooLong(uint64_t frames, uint32_t rate, std::string& why) {
  if (rate == 0 || frames / rate > uint64_t(MaxAudioSeconds)) {
    why = "sound longer than " + std::to_string(MaxAudioSeconds) + " seconds";
    return true;
  }
  return false;
}

bool CheckWave(const uint8_t* d, size_t size, std::string& why) {
  if (size < 12 || std::memcmp(d + 8, "WAVE", 4) != 0) {
    why = "RIFF file without WAVE header";
    return false;
  }
  const uint64_t riff = U32(d + 4);
  if (riff < 4 || riff > size - 8) {
    why =
        "RIFF size " + std::to_string(riff) + " past the file's " + std::to_string(size) + " bytes";
    return false;
  }
  const uint64_t end = 8 + riff;
  uint64_t pos = 12;
  bool format = false;
  uint16_t channels = 0, bits = 0;
  uint32_t rate = 0;
  while (pos + 8 <= end) {
    const uint8_t* chunk = d + pos;
    const uint64_t length = U32(chunk + 4);
    if (length > end - pos - 8) {
      why = "WAVE chunk of " + std::to_string(length) + " bytes past the end of the file";
      return false;
    }
    const uint8_t* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16) {
        why = "short WAVE format chunk";
        return false;
      }
      const uint16_t tag = U16(body);
      channels = U16(body + 2);
      rate = U32(body + 4);
      const uint16_t block = U16(body + 12);
      bits = U16(body + 14);
      // The encodings the library decodes: PCM, Microsoft ADPCM, IEEE float, A-law, mu-law,
      // IMA ADPCM and the extensible header.
      const bool known =
          tag == 1 || tag == 2 || tag == 3 || tag == 6 || tag == 7 || tag == 0x11 || tag == 0xFFFE;
      if (!known || channels < 1 || channels > 8 || rate < 1 || rate > 384000 || block < 1 ||
          bits > 64) {
        why = "unsupported WAVE format";
        return false;
      }
      format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!format) {
        why = "WAVE data before its format";
        return false;
      }
      // At least four bits per sample (ADPCM), so this bounds the decoded length.
      const uint64_t frames = length * 8 / (uint64_t(bits < 4 ? 4 : bits) * channels);
      return !TooLong(frames, rate, why);
    }
    pos += 8 + length + (length & 1);
  }
  why = "WAVE file without sound data";
  return false;
}

bool CheckOgg(const uint8_t* d, size_t size, std::string& why) {
  struct TStream {
    uint32_t Rate = 0;
    uint64_t Frames = 0;
  };
  std::map<uint32_t, TStream> streams;  // by serial number
  size_t pos = 0;
  while (pos < size) {
    const uint8_t* page = d + pos;
    if (size - pos < 27 || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0) {
      why = "damaged Ogg page at byte " + std::to_string(pos);
      return false;
    }
    const size_t segments = page[26];
    if (size - pos < 27 + segments) {
      why = "Ogg page past the end of the file";
      return false;
    }
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += page[27 + i];
    if (size - pos - 27 - segments < body) {
      why = "Ogg page past the end of the file";
      return false;
    }
    const uint8_t* packet = page + 27 + segments;
    const uint32_t serial = U32(page + 14);
    const uint64_t granule = U64(page + 6);
    auto stream = streams.find(serial);
    if (page[5] & 2) {  // the first page of a stream: its identification header
      if (stream != streams.end() || body < 30 || std::memcmp(packet, "\x01vorbis", 7) != 0 ||
          packet[11] < 1 || U32(packet + 12) < 1) {
        why = "Ogg stream without a Vorbis identification header";
        return false;
      }
      stream = streams.emplace(serial, TStream{U32(packet + 12), 0}).first;
    } else if (stream == streams.end()) {
      why = "Ogg page of an unknown stream";
      return false;
    }
    if (granule != ~uint64_t(0)) {
      if (granule >> 63) {
        why = "negative Ogg granule position";
        return false;
      }
      if (granule > stream->second.Frames) stream->second.Frames = granule;
    }
    pos += 27 + segments + body;
  }
  if (streams.empty()) {
    why = "Ogg file without pages";
    return false;
  }
  uint64_t seconds = 0;
  for (const auto& [serial, s] : streams) seconds += s.Frames / s.Rate;
  return !TooLong(seconds, 1, why);
}

}  // namespace

bool CheckAudioFile(const uint8_t* data, size_t size, std::string& why) {
  if (size > size_t(MaxAudioFileBytes)) {
    why = "sound file larger than " + std::to_string(MaxAudioFileBytes >> 20) + " MB";
    return false;
  }
  if (size >= 4 && std::memcmp(data, "RIFF", 4) == 0) return CheckWave(data, size, why);
  if (size >= 4 && std::memcmp(data, "OggS", 4) == 0) return CheckOgg(data, size, why);
  why = "neither a WAVE nor an Ogg file";
  return false;
}

std::vector<uint8_t> ReadCheckedAudioFile(const std::string& path, std::string& why) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;  // a missing file is no damage: why stays empty
  // One byte more than the bound tells a file that is too large.
  bytes.resize(4096);
  size_t got = 0;
  for (;;) {
    got += std::fread(bytes.data() + got, 1, bytes.size() - got, f);
    if (got < bytes.size() || bytes.size() > size_t(MaxAudioFileBytes)) break;
    bytes.resize(std::min(bytes.size() * 2, size_t(MaxAudioFileBytes) + 1));
  }
  std::fclose(f);
  bytes.resize(got);
  if (!CheckAudioFile(bytes.data(), bytes.size(), why)) bytes.clear();
  return bytes;
}
