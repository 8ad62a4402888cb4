#include "menus/high_scores.h"

#include <vector>

#include "data/stream.h"
#include "shell/log.h"

THighscoreEntry HighScores[HighScoreCount];

void SetDefaultHighScores() {
  static const THighscoreEntry Defaults[5] = {
      {"BRAX", 40000}, {"MALVEX", 30000}, {"VOLTA", 20000}, {"SPARKS", 10000}, {"ROOKIE", 500}};
  for (int i = 0; i < HighScoreCount; ++i) HighScores[i] = i < 5 ? Defaults[i] : THighscoreEntry{};
}

void LoadHighScores(const std::string& path) {
  PStream file = ReadStream(path);
  // Bound of the high-score file: 64 KB (its lines are read whole; ours is ten short lines).
  constexpr int64_t MaxHighScoreBytes = int64_t(64) << 10;
  if (file && file->Size() > MaxHighScoreBytes) {
    LogLine("WARNING :: LoadHighScores :: \"" + path + "\" is larger than 64 KB; not read");
    file->Close();
    file = nullptr;
  }
  if (!file) {
    SetDefaultHighScores();
    return;
  }
  for (THighscoreEntry& e : HighScores) {
    e = {};
    std::string line;
    try {
      if (file->Eof()) continue;
      line = file->ReadLine();
    } catch (const TStreamError&) {
      continue;
    }
    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    uint64_t value = 0;
    for (size_t i = 0; i < digits; ++i) value = value * 10 + uint64_t(line[i] - '0');
    e.Score = int64_t(value & 0xFFFFFFFFu);
    e.Name = line.substr(digits);
  }
  file->Close();
}

void SaveHighScores(const std::string& path) {
  std::vector<uint8_t> bytes;
  for (const THighscoreEntry& e : HighScores) {
    std::string line = std::to_string(HighScoreValue(e.Score)) + e.Name + "\r\n";
    bytes.insert(bytes.end(), line.begin(), line.end());
  }
  WriteFileAtomically(path, bytes);
}

bool QualifiesForHighScore(int64_t score) {
  uint32_t s = HighScoreValue(score);
  for (int i = 0; i < 8; ++i)
    if (s > HighScoreValue(HighScores[i].Score)) return true;
  return false;
}

void InsertHighScore(const std::string& name, int64_t score) {
  uint32_t s = HighScoreValue(score);
  for (int i = 0; i < HighScoreCount; ++i)
    if (HighScoreValue(HighScores[i].Score) < s) {
      for (int j = HighScoreCount - 1; j > i; --j) HighScores[j] = HighScores[j - 1];
      HighScores[i] = {name, int64_t(s)};
      return;
    }
}
