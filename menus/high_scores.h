// The high-score table of the episode: ten names and scores, best first.
#pragma once

#include <cstdint>
#include <string>

struct THighscoreEntry {
  std::string Name;
  int64_t Score = 0;
};

constexpr int HighScoreCount = 10;
extern THighscoreEntry HighScores[HighScoreCount];

void SetDefaultHighScores();
void LoadHighScores(const std::string& path);
void SaveHighScores(const std::string& path);
bool QualifiesForHighScore(int64_t score);
void InsertHighScore(const std::string& name, int64_t score);
// The score as compared, written and shown: its low 32 bits, unsigned.
inline uint32_t HighScoreValue(int64_t score) { return uint32_t(uint64_t(score) & 0xFFFFFFFFu); }
