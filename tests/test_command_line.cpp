#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace {

class TCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override {
    SetCommandLine(std::vector<std::string>{});
    ResetSettings();
  }
  static void Parse(const std::vector<std::string>& arguments) {
    SetCommandLine(arguments);
    ParseCommandLine();
  }
};

TEST_F(TCommandLineTest, BothDirectoryFormsEndWithOneSeparator) {
  Parse({"zyntra", "-DIR=C:\\Games\\X"});
  const std::string first = Options().GameDir;
  ResetSettings();
  Parse({"zyntra", "/dir=C:\\Games\\X\\"});
  EXPECT_EQ(Options().GameDir, first);
#ifdef _WIN32
  EXPECT_EQ(Options().GameDir, "C:\\Games\\X\\");
#else
  EXPECT_EQ(Options().GameDir, "C:/Games/X/");
#endif

  ResetSettings();
  Parse({"zyntra", "-dir=/srv/episode"});
  EXPECT_EQ(Options().GameDir, "/srv/episode/");
  ResetSettings();
  Parse({"zyntra", "-dir=episode/"});
  EXPECT_EQ(Options().GameDir, "episode/");
  ResetSettings();
  Parse({"zyntra"});
  EXPECT_EQ(Options().GameDir, "");
}

TEST_F(TCommandLineTest, ExtensionGetsItsDotAndKeepsItsCase) {
  Parse({"zyntra", "--ext=qz2"});
  EXPECT_EQ(Options().GameExt, ".qz2");
  SetHintsDefault();
  EXPECT_FALSE(PlaySettings().HintsDefault);

  ResetSettings();
  Parse({"zyntra", "-ext=.qz1"});
  EXPECT_EQ(Options().GameExt, ".qz1");
  SetHintsDefault();
  EXPECT_TRUE(PlaySettings().HintsDefault);  // compared upper-cased

  ResetSettings();
  Parse({"zyntra"});
  EXPECT_EQ(Options().GameExt, ".QZ1");
  SetHintsDefault();
  EXPECT_TRUE(PlaySettings().HintsDefault);
}

TEST_F(TCommandLineTest, OptionMatchingRules) {
  SetCommandLine({"zyntra", "-width=800", "-SKIP", "//--Debug", "-ext=qz2", "-ext=qz3", "-dir="});
  EXPECT_FALSE(HasOption("width"));  // has a value: not the bare flag
  EXPECT_TRUE(HasOption("skip"));
  EXPECT_TRUE(HasOption("DEBUG"));
  EXPECT_FALSE(HasOption("ski"));
  EXPECT_FALSE(HasOption("skipx"));
  EXPECT_EQ(OptionValue("WIDTH"), "800");
  EXPECT_EQ(OptionValue("ext"), "qz2");  // first match wins
  EXPECT_EQ(OptionValue("dir"), "");
  EXPECT_EQ(OptionValue("skip"), "");
  EXPECT_EQ(OptionValue("wid"), "");  // the name must be followed by "="

  // The program path is an argument like the others.
  SetCommandLine({"-classic"});
  EXPECT_TRUE(HasOption("classic"));
}

TEST_F(TCommandLineTest, EmptyOrMissingValuesLeaveDefaults) {
  Parse({"zyntra", "-width", "-height=", "-dir=", "-dir=/later/", "-ext="});
  EXPECT_EQ(Options().WindowWidth, 640);
  EXPECT_EQ(Options().WindowHeight, 400);
  EXPECT_EQ(Options().GameDir, "");  // the first "dir=" wins and is empty: not given
  EXPECT_EQ(Options().GameExt, ".QZ1");
}

TEST_F(TCommandLineTest, NumbersConvertLikeC) {
  EXPECT_EQ(OptionNumber("800"), 800);
  EXPECT_EQ(OptionNumber(" 12abc"), 12);
  EXPECT_EQ(OptionNumber("\t+7"), 7);
  EXPECT_EQ(OptionNumber("-16"), -16);
  EXPECT_EQ(OptionNumber("abc"), 0);
  EXPECT_EQ(OptionNumber("- 5"), 0);
  EXPECT_EQ(OptionNumber("+"), 0);
  EXPECT_EQ(OptionNumber(""), 0);
  EXPECT_EQ(OptionNumber("1e3"), 1);
  EXPECT_EQ(OptionNumber("99999999999999999999"), INT_MAX);
  EXPECT_EQ(OptionNumber("-99999999999999999999"), INT_MIN);

  Parse({"zyntra", "-width= 12abc", "-height=garbage", "-bpp=32bit"});
  EXPECT_EQ(Options().WindowWidth, 12);
  EXPECT_EQ(Options().WindowHeight, 0);
  EXPECT_EQ(Options().ColourDepth, 32);
}

TEST_F(TCommandLineTest, WarpAndTicksTakeOnlyPlainNumbers) {
  Parse({"zyntra"});
  EXPECT_EQ(Options().WarpMap, -1);
  EXPECT_EQ(Options().TickLimit, 0);
  Parse({"zyntra", "-warp=0", "-ticks=600"});
  EXPECT_EQ(Options().WarpMap, 0);
  EXPECT_EQ(Options().TickLimit, 600);
  Parse({"zyntra", "-warp=7b", "-ticks=99999999999"});
  EXPECT_EQ(Options().WarpMap, 7);
  EXPECT_EQ(Options().TickLimit, INT_MAX);
  for (const char* bad : {"-warp=-3", "-warp=x", "-warp= 2", "-warp="}) {
    ResetSettings();
    Parse({"zyntra", bad, "-ticks=-5"});
    EXPECT_EQ(Options().WarpMap, -1) << bad;
    EXPECT_EQ(Options().TickLimit, 0) << bad;
  }
}

TEST_F(TCommandLineTest, ImageFlagsGainFilterAndMipmapUnlessTurnedOff) {
  Parse({"zyntra"});
  EXPECT_EQ(Options().MaskedImageFlags, 1 | 2 | 4);
  EXPECT_EQ(Options().PlainImageFlags, 2 | 4);

  ResetSettings();
  Parse({"zyntra", "-NOMIPMAP"});
  EXPECT_EQ(Options().MaskedImageFlags, 1 | 2);
  EXPECT_EQ(Options().PlainImageFlags, 2);

  ResetSettings();
  Parse({"zyntra", "-nofilter"});
  EXPECT_EQ(Options().MaskedImageFlags, 1 | 4);
  EXPECT_EQ(Options().PlainImageFlags, 4);

  ResetSettings();
  Parse({"zyntra", "-nofilter", "-nomipmap"});
  EXPECT_EQ(Options().MaskedImageFlags, 1);
  EXPECT_EQ(Options().PlainImageFlags, 0);
  EXPECT_EQ(Options().DefaultImageFlags, 1);
}

TEST_F(TCommandLineTest, EachFlagSetsItsOwnSetting) {
  Parse({"zyntra"});
  EXPECT_FALSE(Options().PatchText || Options().KeepTitle || Options().ExportMode ||
               PlaySettings().GodMode || Options().CheatKeys || Options().DebugMode ||
               PlaySettings().NoMirrors || Options().FixRatio);
  EXPECT_TRUE(Options().EnhancedContent);

  struct TCase {
    const char* Option;
    bool* Setting;
    bool Expected;
  };
  const TCase cases[] = {
      {"-patch", &StartUpOptions().PatchText, true},
      {"-keeptitle", &StartUpOptions().KeepTitle, true},
      {"-export", &StartUpOptions().ExportMode, true},
      {"-kyzmoraltip", &PlaySettings().GodMode, true},
      {"-asp", &StartUpOptions().CheatKeys, true},
      {"-debug", &StartUpOptions().DebugMode, true},
      {"-nomirrors", &PlaySettings().NoMirrors, true},
      {"-classic", &StartUpOptions().EnhancedContent, false},
      {"-fixratio", &StartUpOptions().FixRatio, true},
  };
  bool* all[] = {
      &StartUpOptions().PatchText, &StartUpOptions().KeepTitle,       &StartUpOptions().ExportMode,
      &PlaySettings().GodMode,     &StartUpOptions().CheatKeys,       &StartUpOptions().DebugMode,
      &PlaySettings().NoMirrors,   &StartUpOptions().EnhancedContent, &StartUpOptions().FixRatio};
  for (const TCase& c : cases) {
    ResetSettings();
    Parse({"zyntra", c.Option});
    for (bool* setting : all) {
      const bool expected =
          setting == c.Setting ? c.Expected : setting == &StartUpOptions().EnhancedContent;
      EXPECT_EQ(*setting, expected) << c.Option;
    }
  }
}

}  // namespace
