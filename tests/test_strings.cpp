// String tables: the table format, lookups, saving, the name patch and LoadStrings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/graphics.h"
#include "data/stream.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

PStream TextStream(const std::string& text) {
  return MemoryStream(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t found = text.find(end, start);
    if (found == std::string::npos) found = text.size();
    lines.push_back(text.substr(start, found - start));
    start = found + end.size();
  }
  return lines;
}

// Every test has its own working directory and log.
class TStringsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseLog();
    ResetSettings();
    StartUpOptions().GameDir = Temp.Dir() + "game/";
    fs::create_directories(Options().GameDir);
  }
  void TearDown() override {
    // Leave the program-wide texts as the built-in tables have them.
    ResetSettings();
    StartUpOptions().GameDir = Temp.Dir() + "none/";
    fs::remove(Temp.Dir() + "STRINGS.QZ1.TXT");
    LoadStrings("STRINGS.QZ1.TXT");
    CloseLog();
  }
  std::string Log() {
    CloseLog();
    return TTempDir::ReadText(Temp.Dir() + "log.txt");
  }
  static TStringReader Embedded(const std::string& episode) {
    TStringReader reader;
    reader.LoadFile("incbin::SHARED.TXT", false);
    reader.LoadFile("incbin::" + episode, false);
    return reader;
  }

  TTempDir Temp;
};

}  // namespace

TEST_F(TStringsTest, HeadersCommentsAndIgnoredLines) {
  TStringReader reader;
  ASSERT_TRUE(reader.LoadFile(TextStream("% 2 QUIT\n"
                                         "0 QUIT\n"
                                         "1 AFTER\n"  // the line after an ignored header
                                         "z\n"
                                         "QUIT\n"
                                         "   3\tHINT_0\n"
                                         "a\n"
                                         "\tb \n"
                                         "\n"
                                         "-2 NEGATIVE\n"
                                         "word KEY\n"
                                         "  2   main_Menu \t\n"
                                         "x\n"
                                         "% not a comment inside an entry\n"),
                              false));
  ASSERT_TRUE(reader.EntryMap);
  EXPECT_EQ(reader.EntryMap->size(), 3u);
  EXPECT_EQ(reader.EntryMap->count("QUIT"), 0u);
  EXPECT_EQ(reader.GetArray("after"), std::vector<std::string>{"z"});
  EXPECT_EQ(reader.GetArray("HINT_0"), (std::vector<std::string>{"a", "\tb ", ""}));
  EXPECT_EQ(reader.GetLineCount("hint_0"), 3);
  EXPECT_EQ(reader.GetLines(" Main_menu "), "x\n% not a comment inside an entry");
  EXPECT_EQ(reader.EntryMap->at("MAIN_MENU").Name, "MAIN_MENU");
}

TEST_F(TStringsTest, EntryLinesMayRunPastTheEndOfTheFile) {
  TStringReader reader;
  ASSERT_TRUE(reader.LoadFile(TextStream("2 CRLF\r\nx\r\ny\r\n3 LAST\nonly"), false));
  EXPECT_EQ(reader.GetArray("crlf"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(reader.GetLineCount("last"), 3);
  EXPECT_EQ(reader.GetLines("last"), "only\n\n");

  // A garbled count cannot make the reader allocate without bound.
  ASSERT_TRUE(reader.LoadFile(TextStream("99999999999999999999 HUGE\nfirst\n"), true));
  EXPECT_EQ(reader.GetLineCount("huge"), MaxStringEntryLines);
  EXPECT_EQ(reader.GetArray("huge").front(), "first");
  // Binary junk loads without harm.
  std::vector<uint8_t> junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(uint8_t(i * 37 + 11));
  EXPECT_TRUE(reader.LoadFile(MemoryStream(junk), true));
}

TEST_F(TStringsTest, LookupsJoinConcatenateAndLogMissingKeys) {
  TStringReader reader;
  ASSERT_TRUE(reader.LoadFile(TextStream("3 ABC\na\nb\nc\n"), false));
  EXPECT_EQ(reader.GetLines("abc"), "a\nb\nc");
  EXPECT_EQ(reader.GetLine("abc"), "abc");
  EXPECT_EQ(reader.GetArray("abc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(reader.GetLines("nope"), "");
  EXPECT_EQ(reader.GetLine("nope"), "");
  EXPECT_TRUE(reader.GetArray("nope").empty());
  EXPECT_EQ(reader.GetLineCount("nope"), 0);

  const std::string log = Log();
  EXPECT_NE(log.find("StringReader :: Loading lines for \"abc\"... ok\r\n"), std::string::npos);
  EXPECT_NE(log.find("StringReader :: Loading line for \"abc\"... ok\r\n"), std::string::npos);
  EXPECT_NE(log.find("StringReader :: Loading strings for \"abc\"... ok\r\n"), std::string::npos);
  EXPECT_NE(log.find("StringReader :: Loading lines for \"nope\"... ERROR\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("StringReader :: Loading strings for \"nope\"... ERROR\r\n\r\n"),
            std::string::npos);
}

TEST_F(TStringsTest, LaterEntriesReplaceEarlierOnesUntilCleared) {
  TStringReader reader;
  EXPECT_FALSE(reader.EntryMap);
  ASSERT_TRUE(reader.LoadFile(TextStream("1 A\nfirst\n1 B\nkept\n"), false));
  ASSERT_TRUE(reader.LoadFile(TextStream("2 a\nsecond\nthird\n"), false));
  EXPECT_EQ(reader.GetLines("A"), "second\nthird");
  EXPECT_EQ(reader.GetLines("B"), "kept");
  EXPECT_FALSE(reader.LoadFile(Temp.Dir() + "missing.txt", false));

  ASSERT_TRUE(reader.LoadFile(TextStream("1 C\nnew\n"), true));
  EXPECT_EQ(reader.GetLineCount("A"), 0);
  EXPECT_EQ(reader.GetLines("C"), "new");

  reader.Close();
  EXPECT_FALSE(reader.EntryMap);
  EXPECT_EQ(reader.GetLines("C"), "");
  ASSERT_TRUE(reader.LoadFile(TextStream("1 D\nd\n"), false));
  EXPECT_EQ(reader.EntryMap->size(), 1u);
}

TEST_F(TStringsTest, SaveFileWritesOnlyUnsavedEntriesInKeyOrder) {
  TStringReader reader;
  ASSERT_TRUE(reader.LoadFile(TextStream("2 ZED\n\tz\n\n1 ALPHA\na\n"), false));
  PStream out = MemoryStream();
  ASSERT_TRUE(reader.SaveFile(out, "--"));
  ASSERT_TRUE(reader.LoadFile(TextStream("1 ZED\nnew z\n1 MID\nm\n"), false));
  ASSERT_TRUE(reader.SaveFile(out, ""));
  out->WriteLine("still open");
  const auto& bytes = static_cast<TMemoryStream&>(*out).Bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "1 ALPHA\r\na\r\n--\r\n2 ZED\r\n\tz\r\n\r\n--\r\n"
            "1 MID\r\nm\r\n1 ZED\r\nnew z\r\nstill open\r\n");
  EXPECT_TRUE(reader.EntryMap->at("MID").Saved);

  // A saved file reads back to the same entries.
  TStringReader source;
  ASSERT_TRUE(source.LoadFile(TextStream("3 K\n x \n\n%y\n1 L\n\tl\n"), false));
  ASSERT_TRUE(source.SaveFile(Temp.Dir() + "out.txt", std::string(40, '%')));
  TStringReader copy;
  ASSERT_TRUE(copy.LoadFile(Temp.Dir() + "out.txt", false));
  EXPECT_EQ(copy.GetArray("K"), source.GetArray("K"));
  EXPECT_EQ(copy.GetArray("L"), source.GetArray("L"));
  EXPECT_EQ(copy.EntryMap->size(), 2u);
  EXPECT_FALSE(source.SaveFile(Temp.Dir() + "no/such/folder.txt", ""));
}

TEST_F(TStringsTest, NamePatchReplacesTovurOnlyWhenComplete) {
  struct TCase {
    std::string Text, Patched;
    int Count;
  };
  const TCase cases[] = {
      {"TOVUR", "TOVAR", 1},   {"tovur", "tovar", 1},           {"TTOVUR", "TTOVAR", 1},
      {"TOVUUR", "TOVUUR", 0}, {"TOVURR", "TOVARR", 1},         {"ToVuR", "ToVaR", 1},
      {"TOV UR", "TOV UR", 0}, {"tovurTOVUR", "tovarTOVAR", 2}, {"", "", 0},
  };
  for (const TCase& c : cases) {
    int count = -1;
    EXPECT_EQ(PatchName(c.Text, count), c.Patched) << c.Text;
    EXPECT_EQ(count, c.Count) << c.Text;
  }

  TStringReader reader;
  reader.PatchFunction = NamePatch;
  ASSERT_TRUE(reader.LoadFile(TextStream("2 HERO\nBrax Tovur\nTOVUR!\n"), false));
  EXPECT_EQ(reader.GetLines("hero"), "Brax Tovar\nTOVAR!");
  EXPECT_EQ(reader.GetLine("hero"), "Brax TovarTOVAR!");
  EXPECT_EQ(reader.GetArray("hero")[0], "Brax Tovur");  // lists are not patched
  EXPECT_EQ(NamePatch("none"), "none");
  const std::string log = Log();
  EXPECT_NE(log.find("   Patching \"TOVUR\" to \"TOVAR\"... 2 substrings replaced.\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("   Patching \"TOVUR\" to \"TOVAR\"... 0 substrings replaced.\r\n"),
            std::string::npos);
}

TEST_F(TStringsTest, LoadStringsReadsTheBuiltInTables) {
  MainMenuText.clear();
  LoadStrings("STRINGS.QZ1.TXT");
  TStringReader reader = Embedded("STRINGS.QZ1.TXT");
  EXPECT_EQ(MainMenuText, reader.GetLines("main_menu"));
  EXPECT_EQ(GameTitleText, reader.GetLines("game_title"));
  EXPECT_EQ(LevelList, reader.GetArray("levels"));
  EXPECT_EQ(KeyNamesList.size(), 89u);
  EXPECT_EQ(ModKeyText[5], reader.GetLines("mod_key6"));
  EXPECT_EQ(FinaleLineCount, reader.GetLineCount("finale"));
  EXPECT_EQ(MessageText.size(), LevelList.size());
  EXPECT_EQ(DemoTextLine, reader.GetLine("demotext"));
  EXPECT_EQ(DemoText, DemoTextLine);

  const std::string log = Log();
  const std::string expected =
      "LoadStrings() started\r\n"
      "Loading shared strings ... ok.\r\n"
      "Loading Episode-specific strings. Strings from later files can override strings "
      "already read.\r\n"
      "   Trying to open \"incbin::STRINGS.QZ1.TXT\"... ok.\r\n"
      "   Trying to open \"STRINGS.QZ1.TXT\"... failed.\r\n"
      "   Trying to open \"" +
      Options().GameDir + "STRINGS.QZ1.TXT\"... failed.\r\n";
  EXPECT_NE(log.find(expected), std::string::npos) << log;
  EXPECT_NE(log.find("LoadStrings() terminated\r\n\r\n"), std::string::npos);

  // The built-in table is found by the upper-cased name.
  LoadStrings("STRINGS.qz2.TXT");
  EXPECT_EQ(GameTitleText, Embedded("STRINGS.QZ2.TXT").GetLines("game_title"));
  EXPECT_NE(Log().find("   Trying to open \"incbin::STRINGS.QZ2.TXT\"... ok."), std::string::npos);
}

TEST_F(TStringsTest, GameDirectoryTableOverridesSingleEntries) {
  TTempDir::WriteText(Options().GameDir + "STRINGS.QZ1.TXT", "2 MAIN_MENU\nA\nB\n");
  LoadStrings("STRINGS.QZ1.TXT");
  TStringReader reader = Embedded("STRINGS.QZ1.TXT");
  EXPECT_EQ(MainMenuText, "A\nB");
  EXPECT_EQ(QuitText, reader.GetLines("quit"));
  EXPECT_EQ(HelpMenuText, reader.GetLines("help_menu"));
  EXPECT_EQ(LevelList, reader.GetArray("levels"));
  EXPECT_NE(Log().find("   Trying to open \"" + Options().GameDir + "STRINGS.QZ1.TXT\"... ok."),
            std::string::npos);
}

TEST_F(TStringsTest, HintsAndMessagesArePaddedBeforePressEnter) {
  // The working directory copy overrides too; "levels" decides how many messages exist.
  TTempDir::WriteText(Temp.Dir() + "STRINGS.QZ1.TXT",
                      "3 hint_0\na\nb\nc\n1 hint_1\nx\n4 hint_2\n1\n2\n3\n4\n"
                      "1 press_enter\nGO\n3 levels\nl0\nl1\nl2\n2 message_1\nm\nn\n");
  LoadStrings("STRINGS.QZ1.TXT");
  EXPECT_EQ(HintText[0], "a\nb\nc\nGO");
  EXPECT_EQ(HintLineCount[0], 3);
  EXPECT_EQ(HintText[1], "x\n\n\nGO");
  EXPECT_EQ(HintText[2], "1\n2\n3\n4GO");  // four lines: nothing added but the text
  ASSERT_EQ(MessageText.size(), 3u);
  EXPECT_EQ(MessageText[1], "m\nn\n\n\n\nGO");
  EXPECT_EQ(MessageLineCount[1], 2);
  TStringReader reader = Embedded("STRINGS.QZ1.TXT");
  const int lines = reader.GetLineCount("message_2");
  EXPECT_EQ(MessageText[2],
            reader.GetLines("message_2") + std::string(size_t(6 - lines), '\n') + "GO");
}

TEST_F(TStringsTest, PatchOptionPatchesTextsButNotLists) {
  StartUpOptions().PatchText = true;
  TTempDir::WriteText(Options().GameDir + "STRINGS.QZ1.TXT",
                      "1 game_title\nThe Tovur Files\n1 levels\ntovur.qz1\n");
  LoadStrings("STRINGS.QZ1.TXT");
  EXPECT_EQ(GameTitleText, "The Tovar Files");
  ASSERT_EQ(LevelList.size(), 1u);
  EXPECT_EQ(LevelList[0], "tovur.qz1");
  EXPECT_NE(Log().find("   Patching \"TOVUR\" to \"TOVAR\"... 1 substring replaced.\r\n"),
            std::string::npos);
}

TEST_F(TStringsTest, ExportWritesTheBuiltInTablesWithBanners) {
  StartUpOptions().ExportMode = true;
  TTempDir::WriteText(Options().GameDir + "STRINGS.QZ1.TXT", "1 MAIN_MENU\nfrom the game dir\n");
  LoadStrings("STRINGS.QZ1.TXT");
  const std::string text = TTempDir::ReadText(Temp.Dir() + "_STRINGS.QZ1.TXT");
  const std::vector<std::string> lines = SplitLines(text, "\r\n");
  const std::string banner(79, '%');
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(lines[0], banner);
  EXPECT_EQ(lines[1], "%  Shared Strings (All Episodes)");
  EXPECT_EQ(lines[2], banner);
  const size_t episode = text.find(
      "\r\n\r\n" + banner + "\r\n%  Episode-Specific Strings for \".QZ1\"\r\n" + banner + "\r\n");
  ASSERT_NE(episode, std::string::npos);
  EXPECT_LT(text.find(" MAIN_MENU\r\n"), episode);
  EXPECT_GT(text.find(" LEVELS\r\n"), episode);
  EXPECT_NE(text.find("\r\n" + std::string(40, '%') + "\r\n"), std::string::npos);
  EXPECT_EQ(text.find("from the game dir"), std::string::npos);  // only the built-in tables

  TStringReader exported, embedded = Embedded("STRINGS.QZ1.TXT");
  ASSERT_TRUE(exported.LoadFile(Temp.Dir() + "_STRINGS.QZ1.TXT", false));
  ASSERT_EQ(exported.EntryMap->size(), embedded.EntryMap->size());
  for (const auto& [key, entry] : *embedded.EntryMap)
    EXPECT_EQ(exported.GetArray(key), entry.Lines) << key;
}

TEST_F(TStringsTest, MissingEpisodeTableKeepsTheTexts) {
  StartUpOptions().GameExt = ".QZ9";
  MainMenuText = "keep";
  LevelList = {"kept.qz9"};
  LoadStrings("STRINGS.QZ9.TXT");
  EXPECT_EQ(MainMenuText, "keep");
  EXPECT_EQ(LevelList, std::vector<std::string>{"kept.qz9"});
  const std::string log = Log();
  EXPECT_NE(log.find("   Trying to open \"incbin::STRINGS.QZ9.TXT\"... failed.\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("ERROR :: LoadStrings :: could not find any version of "
                     "\"STRINGS.QZ9.TXT\"! The game will crash.\r\n\r\n"
                     "LoadStrings() terminated\r\n"),
            std::string::npos);
}
