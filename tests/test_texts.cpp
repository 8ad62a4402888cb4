// The built-in texts: every key the program fetches, the file lists of the episodes,
// and the layout of every text inside the box or page that shows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/log.h"
#include "shell/strings.h"
#include "temp_dir.h"

namespace {

const char* const Episodes[] = {"STRINGS.QZ1.TXT", "STRINGS.QZ2.TXT", "STRINGS.QZ3.TXT"};
const char* const Extensions[] = {".qz1", ".qz2", ".qz3"};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char ch : text) {
    if (ch == '\n')
      lines.emplace_back();
    else
      lines.back() += ch;
  }
  return lines;
}

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(' ');
  return first == std::string::npos ? "" : line.substr(first);
}

// A box of w x h cells shows its text from 8 pixels inside the frame: 2h lines of
// 8 pixels, and lines that end before the ball cursor in the bottom-right corner cell.
int BoxColumns(int w) { return 2 * w - 2; }
int BoxLines(int h) { return 2 * h; }

class TTextsTest : public ::testing::TestWithParam<int> {
 protected:
  // Lookups log; the log goes into a temporary working directory.
  void SetUp() override {
    CloseLog();
    ASSERT_TRUE(Reader.LoadFile("incbin::SHARED.TXT", false));
    ASSERT_TRUE(Reader.LoadFile(std::string("incbin::") + Episodes[GetParam()], false));
  }
  std::vector<std::string> Lines(const std::string& key) const { return Reader.GetArray(key); }
  void ExpectFits(const std::string& key, int w, int h) const {
    const std::vector<std::string> lines = Lines(key);
    EXPECT_LE(int(lines.size()), BoxLines(h)) << key;
    for (const std::string& line : lines)
      EXPECT_LE(int(line.size()), BoxColumns(w)) << key << ": \"" << line << "\"";
  }
  // Item n of a menu sits on text line first + n, starts with its hot key after the
  // spaces, and leaves the two columns of the ball free.
  void ExpectItems(const std::string& key, int first, const std::vector<std::string>& hotKeys,
                   int ballColumn) const {
    const std::vector<std::string> lines = Lines(key);
    for (size_t n = 0; n < hotKeys.size(); ++n) {
      ASSERT_LT(first + n, lines.size()) << key;
      const std::string& line = lines[first + n];
      EXPECT_EQ(Trimmed(line).rfind(hotKeys[n], 0), 0u) << key << " item " << n << ": " << line;
      EXPECT_GT(line.find_first_not_of(' '), size_t(ballColumn + 1)) << key << ": " << line;
    }
  }

  void TearDown() override { CloseLog(); }

  TTempDir Temp;
  TStringReader Reader;
};

INSTANTIATE_TEST_SUITE_P(Episodes, TTextsTest, ::testing::Values(0, 1, 2));

}  // namespace

TEST_P(TTextsTest, EveryFetchedKeyIsPresent) {
  std::vector<std::string> keys = {
      "game_title",    "keynames",     "levels",    "backdrops", "loading",   "version",
      "quit",          "restart",      "going_in",  "main_menu", "help_menu", "game_setup",
      "keyboard_mode", "restore",      "not_found", "save",      "saved",     "not_saved",
      "cannot_save",   "instructions", "story1",    "story2",    "keyboard1", "info1",
      "info2",         "order1",       "order2",    "cheat",     "any_key",   "paused",
      "hint_off",      "hint_on",      "sound_off", "sound_on",  "died",      "press_enter",
      "high_score",    "high_scores",  "no_demo",   "intro1",    "intro2",    "extro1",
      "extro2",        "extro3",       "extro4",    "extro",     "finale",    "demotext",
      "joystick"};
  for (int i = 1; i <= 6; ++i) keys.push_back("mod_key" + std::to_string(i));
  for (int i = 0; i < HintCount; ++i) keys.push_back("hint_" + std::to_string(i));
  for (int i = 0; i < 21; ++i) keys.push_back("message_" + std::to_string(i));
  for (const std::string& key : keys) EXPECT_GT(Reader.GetLineCount(key), 0) << key;

  // The episode's own table carries its story, lists and notes.
  TStringReader episode;
  ASSERT_TRUE(episode.LoadFile(std::string("incbin::") + Episodes[GetParam()], false));
  for (const char* key :
       {"game_title", "levels", "backdrops", "story2", "intro1", "intro2", "extro1", "extro2",
        "extro3", "extro4", "extro", "finale", "message_0", "message_20"})
    EXPECT_GT(episode.GetLineCount(key), 0) << key;
  EXPECT_EQ(Reader.GetLineCount("game_title"), 1);
}

TEST_P(TTextsTest, KeyNamesFollowTheScanCodes) {
  std::vector<std::string> names = {"NULL", "ESC"};
  for (char c = '1'; c <= '9'; ++c) names.push_back(std::string(1, c));
  for (const char* n :
       {"0", "-", "=", "BKSP", "TAB", "Q",    "W",     "E",     "R",     "T",   "Y",     "U",
        "I", "O", "P", " ",    " ",   "ENTR", "CTRL",  "A",     "S",     "D",   "F",     "G",
        "H", "J", "K", "L",    ";",   "\"",   "TILDE", "LSHFT", " ",     "Z",   "X",     "C",
        "V", "B", "N", "M",    ",",   ".",    "?",     "RSHFT", "PRTSC", "ALT", "SPACE", "CAPLK"})
    names.push_back(n);
  for (int f = 1; f <= 10; ++f) names.push_back("F" + std::to_string(f));
  for (const std::string& n :
       {std::string("NUMLK"),     std::string("SCRLK"), std::string("HOME"),
        std::string(1, char(24)), std::string("PGUP"),  std::string("-"),
        std::string(1, char(27)), std::string("5"),     std::string(1, char(26)),
        std::string("+"),         std::string("END"),   std::string(1, char(25)),
        std::string("PGDN"),      std::string("INS"),   std::string("DEL"),
        std::string("SYSRQ"),     std::string(),        std::string(),
        std::string("F11"),       std::string("F12")})
    names.push_back(n);
  ASSERT_EQ(names.size(), 89u);
  EXPECT_EQ(Reader.GetArray("keynames"), names);
}

TEST_P(TTextsTest, LevelAndBackdropListsMatchTheEpisodeFiles) {
  const std::string ext = Extensions[GetParam()];
  std::vector<std::string> levels;
  for (int n = 0; n <= 20; ++n)
    levels.push_back(n % 2 ? "worldal2" + ext
                           : "worldal" + std::string(1, "13456789abc"[n / 2]) + ext);
  EXPECT_EQ(Reader.GetArray("levels"), levels);

  const int drops[3][22] = {
      {0, 3, 0, 3, 7, 3, 3, 5, 7, 7, 2, 2, 1, 2, 3, 3, 5, 2, 0, 11, 13, 9},
      {8, 9, 9, 9, 8, 5, 11, 2, 3, 9, 3, 3, 5, 8, 1, 1, 5, 2, 8, 11, 13, 9},
      {0, 10, 10, 3, 6, 5, 12, 12, 12, 13, 1, 1, 0, 0, 2, 6, 2, 2, 13, 2, 13, 9}};
  std::vector<std::string> backdrops;
  for (int k = 0; k < 22; ++k)
    backdrops.push_back("drop" + std::to_string(drops[GetParam()][k]) + ext);
  EXPECT_EQ(Reader.GetArray("backdrops"), backdrops);
}

TEST_P(TTextsTest, DemoTextScrollsInWholeLinesAndWrapsSeamlessly) {
  for (const std::string& line : Lines("demotext")) EXPECT_EQ(line.size(), 26u) << line;
  // The scroller shows the line at character 494 last, then goes on from character 2 as
  // if from 496: the last line must repeat the first.
  const std::string text = Reader.GetLine("demotext");
  ASSERT_EQ(text.size(), 520u);
  EXPECT_EQ(text.substr(494, 26), text.substr(0, 26));
}

TEST_P(TTextsTest, EveryCharacterHasAGlyph) {
  // The game font covers codes 32..90 and 97..122 (the key names also use the arrows).
  for (const auto& [key, entry] : *Reader.EntryMap) {
    if (key == "KEYNAMES") continue;
    for (const std::string& line : entry.Lines)
      for (unsigned char ch : line)
        EXPECT_TRUE((ch >= 32 && ch <= 90) || (ch >= 97 && ch <= 122))
            << key << ": code " << int(ch) << " in \"" << line << "\"";
  }
}

TEST_P(TTextsTest, BoxTextsFitTheirBoxes) {
  const struct {
    const char* Key;
    int W, H;
  } boxes[] = {{"loading", 12, 1},     {"version", 12, 6},      {"quit", 12, 1},
               {"restart", 12, 1},     {"going_in", 12, 1},     {"main_menu", 12, 8},
               {"help_menu", 12, 5},   {"game_setup", 12, 4},   {"keyboard_mode", 12, 7},
               {"not_found", 12, 1},   {"saved", 12, 1},        {"not_saved", 12, 2},
               {"cannot_save", 12, 2}, {"instructions", 12, 9}, {"cheat", 12, 2},
               {"any_key", 12, 1},     {"paused", 12, 1},       {"hint_off", 12, 2},
               {"hint_on", 12, 2},     {"sound_off", 12, 2},    {"sound_on", 12, 2},
               {"died", 12, 2},        {"high_score", 12, 5},   {"no_demo", 12, 2},
               {"intro1", 12, 2},      {"intro2", 12, 2},       {"extro1", 12, 2},
               {"extro2", 12, 2},      {"extro3", 12, 2},       {"extro4", 12, 2},
               {"extro", 12, 2},       {"joystick", 12, 1}};
  for (const auto& box : boxes) ExpectFits(box.Key, box.W, box.H);

  // Hints (12x2) and notes (12x3) leave their last line to "press_enter".
  EXPECT_EQ(Reader.GetLineCount("press_enter"), 1);
  ExpectFits("press_enter", 12, 1);
  for (int n = 0; n < HintCount; ++n) {
    const std::string key = "hint_" + std::to_string(n);
    EXPECT_LE(Reader.GetLineCount(key), 3) << key;
    ExpectFits(key, 12, 2);
  }
  for (int n = 0; n < 21; ++n) {
    const std::string key = "message_" + std::to_string(n);
    EXPECT_LE(Reader.GetLineCount(key), 5) << key;
    ExpectFits(key, 12, 3);
  }
  // "any_key" is also drawn as one line over the demo.
  EXPECT_EQ(Reader.GetLineCount("any_key"), 1);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(Reader.GetLineCount("mod_key" + std::to_string(i)), 1);
    ExpectFits("mod_key" + std::to_string(i), 12, 1);
  }

  // The finale box grows with its text: 12 x (lines + 1) / 2 cells, centred near row 6.
  const int rows = (Reader.GetLineCount("finale") + 1) / 2;
  const int y = (6 - (rows + 1) / 2) * 16;
  ExpectFits("finale", 12, rows);
  EXPECT_GE(y, 0);
  EXPECT_LE(y + 16 * rows + 16, 200);
}

TEST_P(TTextsTest, MenuItemsSitOnTheBallRows) {
  // Main menu: box at 56,32, text from y 40, ball at x 64 (column 0), y = row * 8 + 72.
  EXPECT_EQ((72 - 40) / 8, 4);
  ExpectItems("main_menu", 4, {"S", "R", "I", "O", "G", "H", "P", "V", "T", "C", "Q"}, 0);
  const std::vector<std::string> menu = Lines("main_menu");
  ASSERT_GT(menu.size(), 14u);
  EXPECT_EQ(Trimmed(menu[4])[0], 'S');
  EXPECT_EQ(Trimmed(menu[14])[0], 'Q');

  // In-game menu: box at 16,16, ball at x 32 (column 1), y = row * 8 + 56: line 4 + row.
  ExpectItems("help_menu", (56 - 24) / 8, {"S", "I", "G", "H", "F10"}, (32 - 24) / 8);
  // Game setup: ball at x + 40 (column 4), y + row * 8 + 32: line 3 + row.
  ExpectItems("game_setup", (32 - 8) / 8, {"J", "K", "S", "H"}, (40 - 8) / 8);

  // Keyboard: ball at x + 8 (column 0), y + row * 8 + 24: line 2 + row; the key names are
  // drawn from x + 136 (column 16), the prompt at y + 96 (line 11), the waiting ball on
  // line 12.
  ExpectItems("keyboard_mode", (24 - 8) / 8, {"1", "2", "3", "4", "5", "6"}, 0);
  const std::vector<std::string> keyboard = Lines("keyboard_mode");
  for (int row = 0; row < 6; ++row)
    EXPECT_LT(keyboard[size_t(2 + row)].size(), size_t((136 - 8) / 8));
  EXPECT_LE(keyboard.size(), size_t((96 - 8) / 8));

  // Quit question: the ball sits at x + 128, y + 16: column 15 of line 1.
  const std::vector<std::string> quit = Lines("quit");
  ASSERT_EQ(quit.size(), 2u);
  EXPECT_LT(quit[1].size(), size_t((128 - 8) / 8));

  // Restore and save (12x7): the slot list starts with a line break and puts slot 1 on
  // the first ball row, y = 96 (text from 56).
  for (const char* key : {"restore", "save"}) {
    std::string text = Reader.GetLines(key) + "\n";
    for (int slot = 1; slot <= 9; ++slot)
      text += "\n  " + std::to_string(slot) + ") 01 9 1      12345";
    const std::vector<std::string> lines = Split(text);
    ASSERT_LE(int(lines.size()), BoxLines(7)) << key;
    EXPECT_EQ(lines[(96 - 56) / 8].substr(0, 5), "  1) ") << key;
    EXPECT_EQ(lines[(96 - 56) / 8 + 8].substr(0, 5), "  9) ") << key;
    ExpectFits(key, 12, 7);
  }

  // High-score entry (12x5 at 56,32): the name is typed at 120,88, line 6 from column 7.
  const std::vector<std::string> entry = Lines("high_score");
  ASSERT_GT(entry.size(), 6u);
  EXPECT_LE(entry[6].size(), size_t((120 - 64) / 8));
  for (size_t i = 7; i < entry.size(); ++i) EXPECT_EQ(entry[i].size(), 0u);
  // High-score table (12x9): eight places of two lines each follow the title.
  EXPECT_LE(Reader.GetLineCount("high_scores") + 16, BoxLines(9));
}

TEST_P(TTextsTest, PagesFitTheScreen) {
  // Text pages fill the 40 x 25 character screen; the ball waits in the last column of
  // the last line.
  for (const char* key : {"story1", "story2", "keyboard1", "info1", "info2", "order1", "order2"}) {
    const std::vector<std::string> lines = Lines(key);
    EXPECT_LE(lines.size(), 25u) << key;
    for (size_t i = 0; i < lines.size(); ++i)
      EXPECT_LT(lines[i].size(), 40u - (i == 24 ? 1 : 0)) << key << ": \"" << lines[i] << "\"";
  }
}
