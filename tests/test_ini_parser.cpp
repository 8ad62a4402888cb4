// INI files: parsing rules, saving layout, typed values, hostile input.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/ini_parser.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

class IniParserTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) const {
    TTempDir::WriteText(Temp.Dir() + name, text);
    return Temp.Dir() + name;
  }
  std::string Read(const std::string& name) const { return TTempDir::ReadText(Temp.Dir() + name); }

  TTempDir Temp;
  const fs::path Dir = Temp.Dir();
};

}  // namespace

TEST_F(IniParserTest, LoadingFollowsTheLineRules) {
  const std::string path = Write("Zyntra.ini",
                                 "speed = 99\r\n"  // before any section: ignored
                                 "  [ game ]  \r\n"
                                 "Speed=12\r\n"
                                 "; speed = 13\r\n"
                                 "no equals sign here\r\n"
                                 "Title =  Mixed Case = Kept \r\n"
                                 "\t\r\n"
                                 "[game\n"
                                 "a = b=c\n"
                                 "[]\n"
                                 "lost = 1\n"
                                 "[Music]\n"
                                 "menu=tune.ogg");  // last line without line end
  TIniParser ini;
  ini.LoadIniFile(path, true);
  EXPECT_EQ(ini.GetInt("game", "speed", 16), 12);
  EXPECT_EQ(ini.GetString("GAME", "TITLE", ""), "Mixed Case = Kept");
  EXPECT_EQ(ini.GetString("game", "a", "none"), "none");
  EXPECT_EQ(ini.GetString("GAM", "A", ""), "b=c");
  EXPECT_EQ(ini.GetString("music", "menu", ""), "tune.ogg");
  EXPECT_EQ(ini.GetString("", "lost", "none"), "none");
  EXPECT_EQ(ini.SectionMap.size(), 3u);
  EXPECT_EQ(ini.SectionMap["GAME"].size(), 2u);
  EXPECT_FALSE(ini.Modified);
}

TEST_F(IniParserTest, LoadingMergesOrReplaces) {
  TIniParser ini;
  ini.SetIniValue("old", "key", "1");
  ini.LoadIniFile((Dir / "missing.ini").string(), true);
  EXPECT_TRUE(ini.SectionMap.empty());  // cleared even though the file is missing

  ini.SetIniValue("old", "key", "1");
  ini.LoadIniFile((Dir / "missing.ini").string(), false);
  EXPECT_EQ(ini.GetString("OLD", "KEY", ""), "1");

  const std::string path = Write("a.ini", "[old]\nkey=2\n[new]\nx=y\n");
  ini.LoadIniFile(path, false);
  EXPECT_EQ(ini.GetString("old", "key", ""), "2");
  EXPECT_TRUE(ini.SectionExists("NEW"));
  ini.SetIniValue("kept", "k", "v");
  ini.LoadIniFile(path, true);
  EXPECT_FALSE(ini.SectionExists("kept"));
}

TEST_F(IniParserTest, SavingSortsAndPadsKeys) {
  TIniParser ini;
  ini.SetIniValue("music", "menu", "Title.ogg");
  ini.SetIniValue("Music", "LEVEL", "x");
  ini.SetIniValue("game", "speed", "16");
  ASSERT_TRUE(ini.SaveIniFile((Dir / "out.ini").string()));
  EXPECT_EQ(Read("out.ini"),
            "[GAME]\r\n"
            "speed = 16\r\n"
            "\r\n"
            "[MUSIC]\r\n"
            "level = x\r\n"
            "menu  = Title.ogg\r\n"
            "\r\n");

  // What was saved loads back to the same map.
  TIniParser again;
  again.LoadIniFile((Dir / "out.ini").string(), true);
  EXPECT_EQ(again.SectionMap, ini.SectionMap);
}

TEST_F(IniParserTest, SavingReplacesTheFileWholeOrNotAtAll) {
  const std::string path = Write("Zyntra.ini", std::string(5000, 'x'));
  TIniParser ini;
  ini.SetInt("game", "speed", 20);
  ASSERT_TRUE(ini.SaveIniFile(path));
  EXPECT_EQ(Read("Zyntra.ini"), "[GAME]\r\nspeed = 20\r\n\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
  EXPECT_FALSE(ini.SaveIniFile((Dir / "no_such_folder" / "x.ini").string()));
  TIniParser empty;
  ASSERT_TRUE(empty.SaveIniFile(path));
  EXPECT_EQ(Read("Zyntra.ini"), "");
}

TEST_F(IniParserTest, IntegersReadTheLeadingNumber) {
  TIniParser ini;
  const std::pair<const char*, int32_t> cases[] = {
      {"12", 12}, {"  -42abc", -42}, {"+7", 7},         {"abc", 0},
      {"-", 0},   {"3.9", 3},        {"4294967297", 1},  // wraps instead of overflowing
  };
  for (const auto& [text, expected] : cases) {
    ini.SetIniValue("n", "v", text);
    EXPECT_EQ(ini.GetInt("n", "v", 77), expected) << text;
  }
  ini.SetIniValue("n", "v", "");
  EXPECT_EQ(ini.GetInt("n", "v", 77), 77);
  EXPECT_EQ(ini.GetInt("n", "missing", -5), -5);
  EXPECT_EQ(ini.GetInt("missing", "v", 9), 9);
  ini.SetIniValue("n", "v", "-9007199254740993x");
  EXPECT_EQ(ini.GetLong("n", "v", 0), -9007199254740993);
  EXPECT_EQ(ini.GetLong("n", "nothing", 1LL << 40), 1LL << 40);

  EXPECT_FALSE(ini.Modified);
  ini.SetInt("n", "i", -300);
  EXPECT_TRUE(ini.Modified);
  EXPECT_EQ(ini.GetString("n", "i", ""), "-300");
  ini.SetLong("n", "l", INT64_MIN);
  EXPECT_EQ(ini.GetLong("n", "l", 0), INT64_MIN);
  ini.Init();
  EXPECT_FALSE(ini.Modified);
  EXPECT_TRUE(ini.SectionMap.empty());
}

TEST_F(IniParserTest, RealsUsePrintfFormatsAndStrtod) {
  TIniParser ini;
  ini.SetFloat("r", "f", 1.5f);
  EXPECT_EQ(ini.GetString("r", "f", ""), "1.50000000");
  ini.SetFloat("r", "g", 0.1f);
  EXPECT_EQ(ini.GetString("r", "g", ""), "0.100000001");
  EXPECT_EQ(ini.GetFloat("r", "g", 0), 0.1f);
  ini.SetDouble("r", "d", 0.1);
  EXPECT_EQ(ini.GetString("r", "d", ""), "0.10000000000000001");
  EXPECT_EQ(ini.GetDouble("r", "d", 0), 0.1);
  ini.SetDouble("r", "e", 2.0);
  EXPECT_EQ(ini.GetString("r", "e", ""), "2.0000000000000000");
  EXPECT_TRUE(ini.Modified);

  ini.SetIniValue("r", "t", " 2.5e2 apples");
  EXPECT_EQ(ini.GetDouble("r", "t", 0), 250.0);
  ini.SetIniValue("r", "t", "apples");
  EXPECT_EQ(ini.GetFloat("r", "t", 3), 0.0f);
  EXPECT_EQ(ini.GetDouble("r", "missing", 3.5), 3.5);
}

TEST_F(IniParserTest, BinaryInputNeverBreaksTheParser) {
  std::string garbage;
  uint32_t seed = 99;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525 + 1013904223;
    garbage += char(seed >> 24);
  }
  for (int c = 0; c < 256; ++c) garbage += char(c);
  garbage += "\n[ok]\nk=v\n[";  // a usable tail after the noise, then a lone bracket
  TIniParser ini;
  ini.LoadIniFile(Write("noise.ini", garbage), true);
  EXPECT_EQ(ini.GetString("OK", "K", ""), "v");
  ASSERT_TRUE(ini.SaveIniFile((Dir / "noise_out.ini").string()));
  TIniParser again;
  again.LoadIniFile((Dir / "noise_out.ini").string(), true);
  EXPECT_EQ(again.GetString("ok", "k", ""), "v");

  TIniParser one;
  one.LoadIniFile(Write("nul.ini", std::string("[a]\0\nk\0=\0v\n", 12)), true);
  EXPECT_EQ(one.GetString("a", "k", ""), "v");  // control characters are trimmed
}
