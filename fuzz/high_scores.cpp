// High-score files: loaded, a new score entered, and written back.
#include "menus/high_scores.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFuzzFile("HIGHS.QZ1", data, size);
  LoadHighScores(FuzzDir() + "HIGHS.QZ1");
  if (QualifiesForHighScore(5000)) InsertHighScore("FUZZ", 5000);
  SaveHighScores(FuzzDir() + "HIGHS.OUT");
  TrimLog();
  return 0;
}
