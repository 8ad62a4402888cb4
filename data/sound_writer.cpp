// Sound container writer and the text form of speaker tunes.
#include "data/sound_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "data/sound.h"
#include "data/stream.h"

std::vector<uint8_t> WriteSoundContainer(const std::vector<TSoundSource>& entries) {
  if (entries.size() > 0xFFFF) return {};
  auto memory = std::make_shared<TMemoryStream>();
  PStream out = LittleEndianStream(memory);

  out->WriteInt(int32_t(SoundMagic));
  out->WriteShort(0);
  out->WriteShort(uint32_t(entries.size()));
  for (int i = 0; i < 8; ++i) out->WriteByte(0);

  // Tunes follow the entry table in entry order.
  int64_t tuneAt = 16 + 16 * int64_t(entries.size());
  for (const TSoundSource& entry : entries) {
    if (tuneAt > 0xFFFF) return {};
    out->WriteShort(uint32_t(tuneAt));
    out->WriteByte(entry.Priority);
    out->WriteByte(0);
    for (size_t i = 0; i < 12; ++i)
      out->WriteByte(i < entry.Name.size() ? uint8_t(entry.Name[i]) : 0);
    tuneAt += 2 * (int64_t(entry.Words.size()) + 1);
  }
  for (const TSoundSource& entry : entries) {
    for (uint16_t word : entry.Words) out->WriteShort(word);
    out->WriteShort(TuneEnd);
  }
  return memory->Bytes();
}

uint16_t DivisorForFrequency(int hz) {
  if (hz <= 0) return 0;
  const int64_t divisor = (1193180 + hz / 2) / hz;
  return uint16_t(std::clamp<int64_t>(divisor, 1, 0xFFFE));
}

// --- Text form ---------------------------------------------------------------------------

namespace {

constexpr int MinHz = 19;  // the largest divisor below 0xFFFF
constexpr int MaxHz = 20000;
constexpr int MaxTicks = 2000;
constexpr int MaxRepeat = 100;
constexpr size_t MaxWords = 8000;  // keeps both containers inside 16-bit offsets

struct TToken {
  std::string Text;
  int Line = 0;
};

struct TEntryText {
  int Line = 0;
  int Number = -1;
  std::string Name;
  int Priority = 0;
  std::vector<TToken> Steps;
};

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(uint8_t(text[i]))) ++i;
    size_t start = i;
    while (i < text.size() && !std::isspace(uint8_t(text[i]))) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 6) return false;
  for (char c : text)
    if (!std::isdigit(uint8_t(c))) return false;
  value = std::atoi(text.c_str());
  return value >= low && value <= high;
}

bool ParseHz(const std::string& text, int& hz) { return ParseNumber(text, MinHz, MaxHz, hz); }

// Deterministic pitches for noise steps: the same text always builds the same bytes.
class TNoise {
 public:
  explicit TNoise(uint32_t seed) : State(seed * 2654435761u + 12345u) {}
  int Between(int low, int high) {
    State = State * 1103515245u + 12345u;
    return low + int((State >> 8) % uint32_t(high - low + 1));
  }

 private:
  uint32_t State;
};

class TStepParser {
 public:
  TStepParser(const std::vector<TToken>& tokens, int number, std::string& error)
      : Tokens(tokens), Noise(uint32_t(number) + 1), Error(error) {}

  bool Parse(std::vector<uint16_t>& words) {
    size_t at = 0;
    return ParseSequence(at, words, false);
  }

 private:
  bool Fail(const TToken& token, const std::string& why) {
    Error = "line " + std::to_string(token.Line) + ": " + why + " \"" + token.Text + "\"";
    return false;
  }

  // Steps up to the end or, inside braces, up to the closing "}xN".
  bool ParseSequence(size_t& at, std::vector<uint16_t>& words, bool inGroup) {
    while (at < Tokens.size()) {
      const TToken& token = Tokens[at];
      if (token.Text == "{") {
        ++at;
        std::vector<uint16_t> group;
        if (!ParseSequence(at, group, true)) return false;
        const TToken& close = Tokens[at - 1];
        int times = 0;
        if (!ParseNumber(close.Text.substr(2), 1, MaxRepeat, times))
          return Fail(close, "bad repeat count in");
        for (int i = 0; i < times; ++i) {
          if (!Append(words, group, close)) return false;
        }
        continue;
      }
      if (token.Text.rfind("}x", 0) == 0) {
        if (!inGroup) return Fail(token, "no group to close at");
        ++at;
        return true;
      }
      std::vector<uint16_t> step;
      if (!ParseStep(token, step) || !Append(words, step, token)) return false;
      ++at;
    }
    if (inGroup) return Fail(Tokens.back(), "group not closed after");
    return true;
  }

  bool Append(std::vector<uint16_t>& words, const std::vector<uint16_t>& more,
              const TToken& token) {
    if (words.size() + more.size() > MaxWords) return Fail(token, "tune too long at");
    words.insert(words.end(), more.begin(), more.end());
    return true;
  }

  bool ParseStep(const TToken& token, std::vector<uint16_t>& step) {
    const std::string& text = token.Text;
    const size_t colon = text.rfind(':');
    int ticks = 0;
    if (colon == std::string::npos || colon == 0 ||
        !ParseNumber(text.substr(colon + 1), 1, MaxTicks, ticks))
      return Fail(token, "expected pitch:ticks, got");
    const std::string pitch = text.substr(0, colon);

    if (pitch == "-") {
      step.assign(size_t(ticks), 0);
      return true;
    }
    if (pitch[0] == 'd') {
      int divisor = 0;
      if (!ParseNumber(pitch.substr(1), 1, 0xFFFE, divisor)) return Fail(token, "bad divisor in");
      step.assign(size_t(ticks), uint16_t(divisor));
      return true;
    }
    if (pitch[0] == '~') {
      const size_t dash = pitch.find('-');
      int low = 0, high = 0;
      if (dash == std::string::npos || !ParseHz(pitch.substr(1, dash - 1), low) ||
          !ParseHz(pitch.substr(dash + 1), high) || high < low)
        return Fail(token, "bad noise range in");
      for (int i = 0; i < ticks; ++i) step.push_back(DivisorForFrequency(Noise.Between(low, high)));
      return true;
    }
    const size_t sweep = pitch.find('>');
    const size_t alternate = pitch.find('/');
    if (sweep != std::string::npos || alternate != std::string::npos) {
      const size_t split = sweep != std::string::npos ? sweep : alternate;
      int from = 0, to = 0;
      if (!ParseHz(pitch.substr(0, split), from) || !ParseHz(pitch.substr(split + 1), to))
        return Fail(token, "bad pitches in");
      for (int i = 0; i < ticks; ++i) {
        int hz;
        if (sweep != std::string::npos)
          hz = ticks == 1 ? from : from + int(int64_t(to - from) * i / (ticks - 1));
        else
          hz = i % 2 == 0 ? from : to;
        step.push_back(DivisorForFrequency(hz));
      }
      return true;
    }
    int hz = 0;
    if (!ParseHz(pitch, hz)) return Fail(token, "bad pitch in");
    step.assign(size_t(ticks), DivisorForFrequency(hz));
    return true;
  }

  const std::vector<TToken>& Tokens;
  TNoise Noise;
  std::string& Error;
};

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 12) return false;
  for (char c : name)
    if (!std::isalnum(uint8_t(c)) && c != '_' && c != '-') return false;
  return true;
}

}  // namespace

bool ParseSoundText(const std::string& text, std::vector<TSoundSource>& sounds,
                    std::string& error) {
  sounds.assign(SoundCount, TSoundSource{});
  error.clear();
  std::vector<TEntryText> entries;

  std::vector<std::string> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }

  for (size_t index = 0; index < lines.size(); ++index) {
    const int line = int(index) + 1;
    std::string content = lines[index];
    const size_t hash = content.find('#');
    if (hash != std::string::npos) content.resize(hash);
    const std::vector<std::string> words = SplitWords(content);
    if (words.empty()) continue;
    size_t first = 0;
    if (!std::isspace(uint8_t(content[0]))) {
      TEntryText entry;
      entry.Line = line;
      const std::string where = "line " + std::to_string(line) + ": ";
      if (words.size() < 4 || words[3] != ":") {
        error = where + "expected \"<number> <NAME> <priority> : <steps>\"";
        return false;
      }
      if (!ParseNumber(words[0], 0, SoundCount - 1, entry.Number)) {
        error = where + "sound number outside 0..47";
        return false;
      }
      if (!ValidName(words[1])) {
        error = where + "name must be 1 to 12 letters, digits, \"_\" or \"-\"";
        return false;
      }
      entry.Name = words[1];
      if (!ParseNumber(words[2], 0, 255, entry.Priority)) {
        error = where + "priority outside 0..255";
        return false;
      }
      entries.push_back(entry);
      first = 4;
    } else if (entries.empty()) {
      error = "line " + std::to_string(line) + ": steps before the first sound";
      return false;
    }
    for (size_t i = first; i < words.size(); ++i) entries.back().Steps.push_back({words[i], line});
  }

  std::vector<bool> seen(SoundCount, false);
  for (const TEntryText& entry : entries) {
    if (seen[size_t(entry.Number)]) {
      error = "line " + std::to_string(entry.Line) + ": sound " + std::to_string(entry.Number) +
              " given twice";
      return false;
    }
    seen[size_t(entry.Number)] = true;
    TSoundSource& sound = sounds[size_t(entry.Number)];
    sound.Name = entry.Name;
    sound.Priority = uint8_t(entry.Priority);
    if (entry.Steps.empty()) {
      error = "line " + std::to_string(entry.Line) + ": sound " + std::to_string(entry.Number) +
              " has no steps";
      return false;
    }
    TStepParser parser(entry.Steps, entry.Number, error);
    if (!parser.Parse(sound.Words)) return false;
  }
  for (int n = 0; n < SoundCount; ++n)
    if (!seen[size_t(n)]) {
      error = "sound " + std::to_string(n) + " is missing";
      return false;
    }
  return true;
}

TSoundContainers BuildSoundContainersFromText(const std::string& text) {
  TSoundContainers result;
  std::vector<TSoundSource> sounds;
  if (!ParseSoundText(text, sounds, result.Error)) return result;
  const auto middle = sounds.begin() + SoundsPerContainer;
  result.First = WriteSoundContainer({sounds.begin(), middle});
  result.Second = WriteSoundContainer({middle, sounds.end()});
  if (result.First.empty() || result.Second.empty())
    result.Error = "tunes too long for a container";
  return result;
}
