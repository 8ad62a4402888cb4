// The high-score table: its file, the default table, qualifying and inserting.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "menus/high_scores.h"
#include "temp_dir.h"

namespace {

std::vector<int64_t> Scores() {
  std::vector<int64_t> out;
  for (const THighscoreEntry& e : HighScores) out.push_back(e.Score);
  return out;
}

void SetTable(const std::vector<int64_t>& scores) {
  for (int i = 0; i < HighScoreCount; ++i)
    HighScores[i] = {"P" + std::to_string(i + 1), i < int(scores.size()) ? scores[size_t(i)] : 0};
}

class THighScoreTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDefaultHighScores(); }
  void TearDown() override { SetDefaultHighScores(); }
  TTempDir Temp;
};

TEST_F(THighScoreTest, MissingFileGivesTheDefaultTable) {
  SetTable({1, 2, 3});
  LoadHighScores(Temp.Dir() + "HIGHS.QZ1");
  EXPECT_EQ(Scores(), (std::vector<int64_t>{40000, 30000, 20000, 10000, 500, 0, 0, 0, 0, 0}));
  for (int i = 0; i < 5; ++i) {
    const std::string& name = HighScores[i].Name;
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 10u);
    for (char c : name)
      EXPECT_TRUE(std::isupper(static_cast<unsigned char>(c)) || c == ' ') << name;
  }
  for (int i = 5; i < 10; ++i) EXPECT_EQ(HighScores[i].Name, "");
}

TEST_F(THighScoreTest, ReadsScoreDigitsThenNameAndFillsMissingLines) {
  const std::string path = Temp.Dir() + "HIGHS.QZ1";
  // CR LF, bare LF, no name, no digits, digits inside the name, and only four lines.
  TTempDir::WriteText(path, "90000ANNA\r\n12345\r\nABC\n77R2D2\r\n");
  LoadHighScores(path);
  EXPECT_EQ(HighScores[0].Score, 90000);
  EXPECT_EQ(HighScores[0].Name, "ANNA");
  EXPECT_EQ(HighScores[1].Score, 12345);
  EXPECT_EQ(HighScores[1].Name, "");
  EXPECT_EQ(HighScores[2].Score, 0);
  EXPECT_EQ(HighScores[2].Name, "ABC");
  EXPECT_EQ(HighScores[3].Score, 77);
  EXPECT_EQ(HighScores[3].Name, "R2D2");
  for (int i = 4; i < 10; ++i) {
    EXPECT_EQ(HighScores[i].Score, 0) << i;
    EXPECT_EQ(HighScores[i].Name, "") << i;
  }
}

TEST_F(THighScoreTest, ScoresAreUnsigned32Bit) {
  const std::string path = Temp.Dir() + "HIGHS.QZ1";
  // The largest unsigned 32-bit score, and one that needs more than 64 bits.
  TTempDir::WriteText(path,
                      "4294967295MAX\r\n4294967296WRAP\r\n123456789012345678901234567890X\r\n");
  LoadHighScores(path);
  EXPECT_EQ(HighScores[0].Score, 4294967295);
  EXPECT_EQ(HighScores[0].Name, "MAX");
  EXPECT_EQ(HighScores[1].Score, 0);
  EXPECT_EQ(HighScores[1].Name, "WRAP");
  EXPECT_GE(HighScores[2].Score, 0);
  EXPECT_LE(HighScores[2].Score, 4294967295);
  EXPECT_EQ(HighScores[2].Name, "X");

  // A game score beyond 32 bits counts by its low 32 bits.
  SetDefaultHighScores();
  EXPECT_FALSE(QualifiesForHighScore(int64_t(1) << 32));
  EXPECT_TRUE(QualifiesForHighScore((int64_t(1) << 32) + 35000));
  InsertHighScore("BIG", (int64_t(1) << 32) + 35000);
  EXPECT_EQ(HighScores[1].Name, "BIG");
  EXPECT_EQ(HighScores[1].Score, 35000);
}

TEST_F(THighScoreTest, SavesScoreAndNameWithCrLfAndReadsThemBack) {
  const std::string path = Temp.Dir() + "HIGHS.QZ1";
  SetTable({4294967295, 700, 12});
  HighScores[2].Name = "";
  HighScores[3].Name = "TWO WORDS";
  SaveHighScores(path);
  EXPECT_EQ(
      TTempDir::ReadText(path),
      "4294967295P1\r\n700P2\r\n12\r\n0TWO WORDS\r\n0P5\r\n0P6\r\n0P7\r\n0P8\r\n0P9\r\n0P10\r\n");

  SetDefaultHighScores();
  LoadHighScores(path);
  EXPECT_EQ(Scores(), (std::vector<int64_t>{4294967295, 700, 12, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(HighScores[2].Name, "");
  EXPECT_EQ(HighScores[3].Name, "TWO WORDS");
  EXPECT_EQ(HighScores[9].Name, "P10");
}

TEST_F(THighScoreTest, UnwritableFileWritesNothing) {
  SaveHighScores(Temp.Dir() + "no such folder/HIGHS.QZ1");
  EXPECT_FALSE(std::filesystem::exists(Temp.Dir() + "no such folder"));
}

TEST_F(THighScoreTest, OnlyTheFirstEightPlacesCanBeBeaten) {
  SetTable({800, 700, 600, 500, 400, 300, 200, 100, 50, 10});
  EXPECT_FALSE(QualifiesForHighScore(100));  // equal to the eighth
  EXPECT_TRUE(QualifiesForHighScore(101));
  EXPECT_FALSE(QualifiesForHighScore(60));  // beats the ninth place only
  EXPECT_FALSE(QualifiesForHighScore(0));

  SetDefaultHighScores();  // places 6 to 10 hold 0
  EXPECT_FALSE(QualifiesForHighScore(0));
  EXPECT_TRUE(QualifiesForHighScore(1));
}

TEST_F(THighScoreTest, InsertKeepsOrderAndDropsTheLast) {
  InsertHighScore("NEW", 35000);
  EXPECT_EQ(Scores(), (std::vector<int64_t>{40000, 35000, 30000, 20000, 10000, 500, 0, 0, 0, 0}));
  EXPECT_EQ(HighScores[1].Name, "NEW");

  // An equal score goes below the one already there.
  InsertHighScore("SAME", 30000);
  EXPECT_EQ(HighScores[2].Score, 30000);
  EXPECT_NE(HighScores[2].Name, "SAME");
  EXPECT_EQ(HighScores[3].Name, "SAME");
  EXPECT_EQ(HighScores[3].Score, 30000);

  SetTable({800, 700, 600, 500, 400, 300, 200, 100, 50, 10});
  InsertHighScore("TOP", 900);
  EXPECT_EQ(HighScores[0].Name, "TOP");
  EXPECT_EQ(HighScores[9].Score, 50);  // 10 dropped out
  InsertHighScore("LOW", 5);           // lower than every place: nothing changes
  EXPECT_EQ(Scores(), (std::vector<int64_t>{900, 800, 700, 600, 500, 400, 300, 200, 100, 50}));
  InsertHighScore("LAST", 60);  // only the tenth place is lower
  EXPECT_EQ(HighScores[9].Name, "LAST");
  EXPECT_EQ(HighScores[9].Score, 60);
}

}  // namespace
