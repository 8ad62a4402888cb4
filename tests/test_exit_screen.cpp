// The text-mode exit screen: writing and scrolling, blinking, the choice of the raw
// screen, the name patch, the embedded screens and font, and the shown exit screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/image_io.h"
#include "data/resources.h"
#include "data/stream.h"
#include "headless_fixture.h"
#include "shell/exit_screen.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t Black = 0xFF000000, Blue = 0xFF0000AA, LightGrey = 0xFFAAAAAA,
                   DarkGrey = 0xFF555555;

class TDosScreenTest : public THeadlessTest {
 protected:
  void SetUp() override {
    THeadlessTest::SetUp();
    Headless->SetVirtualResolution(640, 400);
  }
  void TearDown() override {
    ResetSettings();
    THeadlessTest::TearDown();
  }

  // Character and attribute of the cell shown at (x, y).
  static uint8_t CharAt(const TDosScreen& s, int x, int y) {
    return s.RawMemory[((y + s.LineOffset) % 25) * 160 + 2 * x];
  }
  static uint8_t AttrAt(const TDosScreen& s, int x, int y) {
    return s.RawMemory[((y + s.LineOffset) % 25) * 160 + 2 * x + 1];
  }
  static std::string TextAt(const TDosScreen& s, int x, int y, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += char(CharAt(s, x + i, y));
    return text;
  }
  // Every row filled with its own letter in attribute 0x1F.
  static void FillRows(TDosScreen& s) {
    for (int row = 0; row < 25; ++row)
      for (int x = 0; x < 80; ++x) {
        s.RawMemory[row * 160 + 2 * x] = uint8_t('a' + row);
        s.RawMemory[row * 160 + 2 * x + 1] = 0x1F;
      }
  }
  // The DrawImage commands of the frame so far.
  std::vector<TDrawCommand> Drawn() const {
    std::vector<TDrawCommand> drawn;
    for (const TDrawCommand& c : Headless->PendingCommands())
      if (c.Kind == TCommandKind::DrawImage) drawn.push_back(c);
    return drawn;
  }
};

// --- Writing -----------------------------------------------------------------------------

TEST_F(TDosScreenTest, WriteFillsCellsAndMovesTheCursorWithoutScrolling) {
  TDosScreen screen;
  screen.CreateLineImage(23);
  screen.CreateLineImage(22);
  screen.GotoXY(28, 23);
  screen.Write("Thanks for using Zyntra");
  EXPECT_EQ(screen.CursorPos, 2 * (51 + 80 * 23));
  EXPECT_EQ(screen.LineOffset, 0);
  EXPECT_EQ(TextAt(screen, 28, 23, 23), "Thanks for using Zyntra");
  EXPECT_EQ(AttrAt(screen, 28, 23), 0x07);
  EXPECT_EQ(AttrAt(screen, 50, 23), 0x07);
  EXPECT_EQ(CharAt(screen, 51, 23), 0);  // untouched
  EXPECT_EQ(AttrAt(screen, 51, 23), 0);
  EXPECT_FALSE(screen.LineImages[23]);  // rebuilt on demand
  EXPECT_TRUE(screen.LineImages[22]);   // not touched, kept

  screen.TextColor = 0x1E;  // only the low four bits count
  screen.BackColor = 0x0C;
  screen.GotoXY(0, 1);
  screen.Write("x");
  EXPECT_EQ(AttrAt(screen, 0, 1), 0xCE);
}

TEST_F(TDosScreenTest, WritingPastTheLastCellScrollsOneRow) {
  TDosScreen screen;
  FillRows(screen);
  screen.TextColor = 14;
  screen.BackColor = 1;
  screen.GotoXY(75, 24);
  screen.Write("0123456789");
  EXPECT_EQ(screen.LineOffset, 1);
  EXPECT_EQ(screen.CursorPos, 2 * (5 + 80 * 24));
  EXPECT_EQ(TextAt(screen, 75, 23, 5), "01234");
  EXPECT_EQ(TextAt(screen, 0, 24, 5), "56789");
  EXPECT_EQ(TextAt(screen, 5, 24, 75), std::string(75, ' '));
  EXPECT_EQ(AttrAt(screen, 79, 24), 0x1E);
  EXPECT_EQ(TextAt(screen, 0, 0, 3), "bbb");   // the old second row is on top
  EXPECT_EQ(TextAt(screen, 0, 23, 3), "yyy");  // the old last row moved up

  // The rows are drawn from the new top row on.
  screen.Draw();
  const std::vector<TDrawCommand> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 25u);
  EXPECT_EQ(drawn[0].Image, screen.LineImages[1]);
  EXPECT_EQ(drawn[24].Image, screen.LineImages[0]);
  EXPECT_EQ(drawn[24].Y, 384);
}

TEST_F(TDosScreenTest, AFullLastRowScrollsToAnEmptyRow) {
  TDosScreen screen;
  FillRows(screen);
  screen.GotoXY(0, 24);
  screen.Write(std::string(80, '#'));
  EXPECT_EQ(screen.LineOffset, 1);
  EXPECT_EQ(screen.CursorPos, 2 * 80 * 24);
  EXPECT_EQ(TextAt(screen, 0, 23, 80), std::string(80, '#'));
  EXPECT_EQ(TextAt(screen, 0, 24, 80), std::string(80, ' '));

  // Text of more than one screen wraps round the ring and never leaves the memory.
  screen.GotoXY(0, 0);
  screen.Write(std::string(4100, '*'));
  EXPECT_EQ(screen.CursorPos, 2 * (20 + 80 * 24));
  EXPECT_EQ(TextAt(screen, 15, 24, 10), "*****     ");
}

TEST_F(TDosScreenTest, ClearScreenUsesTheCurrentColours) {
  TDosScreen screen;
  FillRows(screen);
  screen.GotoXY(10, 24);
  screen.Write(std::string(100, 'z'));
  screen.Draw();
  screen.TextColor = 2;
  screen.BackColor = 4;
  screen.ClearScreen();
  EXPECT_EQ(screen.LineOffset, 0);
  EXPECT_EQ(screen.CursorPos, 0);
  for (const PImage& image : screen.LineImages) EXPECT_FALSE(image);
  for (int i = 0; i < 4000; i += 2) {
    ASSERT_EQ(screen.RawMemory[i], ' ');
    ASSERT_EQ(screen.RawMemory[i + 1], 0x42);
  }
}

// --- Colours and blinking ----------------------------------------------------------------

TEST_F(TDosScreenTest, HighBitBlinksEveryTwentyFrames) {
  TDosScreen screen;
  screen.RawMemory[0] = 'A';
  screen.RawMemory[1] = 0x87;  // blinking light grey on black
  screen.RawMemory[2] = 'A';
  screen.RawMemory[3] = 0x07;
  screen.CreateLineImage(0);
  ASSERT_TRUE(screen.LineImages[0]);
  const TImage& line = *screen.LineImages[0];
  ASSERT_EQ(line.FrameCount(), 2);
  EXPECT_EQ(line.FrameWidth, 640);
  EXPECT_EQ(line.FrameHeight, 16);
  EXPECT_EQ(line.Flags, ImageFiltered);
  int lit = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t shown = line.Frames[0].Get(x, y);
      ASSERT_TRUE(shown == LightGrey || shown == Black);
      lit += shown == LightGrey;
      EXPECT_EQ(line.Frames[1].Get(x, y), Black);      // hidden in phase 1
      EXPECT_EQ(line.Frames[1].Get(8 + x, y), shown);  // 0x07 stays
      EXPECT_EQ(line.Frames[0].Get(8 + x, y), shown);
    }
  EXPECT_GT(lit, 10);

  for (int frame = 1; frame <= 40; ++frame) {
    screen.Draw();
    const uint8_t expected = (frame >= 20 && frame < 40) ? 1 : 0;
    ASSERT_EQ(screen.BlinkState, expected) << frame;
  }
  // A frame draws the phase that was current when it was drawn.
  const std::vector<TDrawCommand> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 40u * 25);
  EXPECT_EQ(drawn[19 * 25].Frame, 0);
  EXPECT_EQ(drawn[20 * 25].Frame, 1);
  EXPECT_EQ(drawn[39 * 25].Frame, 1);
}

TEST_F(TDosScreenTest, WithoutHighBitBlinksBitSevenIsABrightBackground) {
  TDosScreen screen;
  screen.HighBitBlinks = false;
  screen.RawMemory[0] = 'A';
  screen.RawMemory[1] = 0x87;
  screen.RawMemory[2] = ' ';
  screen.RawMemory[3] = 0x1E;
  screen.CreateLineImage(0);
  const TImage& line = *screen.LineImages[0];
  bool sawText = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t shown = line.Frames[0].Get(x, y);
      ASSERT_TRUE(shown == LightGrey || shown == DarkGrey);
      sawText |= shown == LightGrey;
      EXPECT_EQ(line.Frames[1].Get(x, y), shown);
      EXPECT_EQ(line.Frames[0].Get(8 + x, y), Blue);  // a space is all background
    }
  EXPECT_TRUE(sawText);
  for (int frame = 0; frame < 45; ++frame) screen.Draw();
  EXPECT_EQ(screen.BlinkState, 0);
  EXPECT_EQ(screen.BlinkTimer, 0);
}

// --- The exit sequence -------------------------------------------------------------------

TEST_F(TDosScreenTest, OnlyAFileOfExactly4000BytesIsChosen) {
  TTempDir temp;
  StartUpOptions().GameDir = temp.Dir() + "game/";
  fs::create_directories(Options().GameDir);
  EXPECT_EQ(ExitScreenFile(), "incbin::DOSTEXT.QZ1");
  TTempDir::Write("DOSTEXT.QZ1", std::vector<uint8_t>(4000, 'w'));
  EXPECT_EQ(ExitScreenFile(), "DOSTEXT.QZ1");
  TTempDir::Write(Options().GameDir + "DOSTEXT.QZ1", std::vector<uint8_t>(3999, 'g'));
  EXPECT_EQ(ExitScreenFile(), "DOSTEXT.QZ1");
  TTempDir::Write(Options().GameDir + "DOSTEXT.QZ1", std::vector<uint8_t>(4001, 'g'));
  EXPECT_EQ(ExitScreenFile(), "DOSTEXT.QZ1");
  TTempDir::Write(Options().GameDir + "DOSTEXT.QZ1", std::vector<uint8_t>(4000, 'g'));
  EXPECT_EQ(ExitScreenFile(), Options().GameDir + "DOSTEXT.QZ1");

  // The embedded name is upper case whatever the extension's case.
  StartUpOptions().GameExt = ".qz2";
  EXPECT_EQ(ExitScreenFile(), "incbin::DOSTEXT.QZ2");
}

TEST_F(TDosScreenTest, LoadRawScreenStopsAtTheEndOfAShortFile) {
  TTempDir temp;
  TDosScreen screen;
  FillRows(screen);
  screen.CreateLineImage(0);
  EXPECT_FALSE(screen.LoadRawScreen("missing.bin"));
  EXPECT_EQ(screen.RawMemory[0], 'a');
  EXPECT_TRUE(screen.LineImages[0]);

  TTempDir::Write("short.bin", {'H', 0x4E, 'i', 0x4E});
  EXPECT_TRUE(screen.LoadRawScreen("short.bin"));
  EXPECT_EQ(TextAt(screen, 0, 0, 3), "Hia");
  EXPECT_EQ(AttrAt(screen, 1, 0), 0x4E);
  EXPECT_EQ(AttrAt(screen, 2, 0), 0x1F);
  EXPECT_FALSE(screen.LineImages[0]);

  std::vector<uint8_t> tooLong(5000, 'L');
  TTempDir::Write("long.bin", tooLong);
  EXPECT_TRUE(screen.LoadRawScreen("long.bin"));
  EXPECT_EQ(screen.RawMemory[3999], 'L');
}

TEST_F(TDosScreenTest, ThePatchChangesCharacterBytesOnly) {
  TTempDir temp;
  StartUpOptions().GameDir = temp.Dir();
  std::vector<uint8_t> raw(4000, 0);
  // Row 0: "Brax TOVUR" with attribute bytes that spell the name as well.
  const std::string text = "Brax TOVUR";
  for (size_t i = 0; i < text.size(); ++i) {
    raw[2 * i] = uint8_t(text[i]);
    raw[2 * i + 1] = uint8_t("TOVURTOVUR"[i]);
  }
  // Row 1: the name only when character and attribute bytes are read together.
  const std::string mixed = "TOVUR";
  for (size_t i = 0; i < mixed.size(); ++i) raw[160 + i] = uint8_t(mixed[i]);
  TTempDir::Write("DOSTEXT.QZ1", raw);

  StartUpOptions().PatchText = true;
  TDosScreen screen;
  PrepareExitScreen(screen);
  EXPECT_EQ(TextAt(screen, 0, 0, 10), "Brax TOVAR");
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(screen.RawMemory[2 * i + 1], "TOVURTOVUR"[i]);
  for (size_t i = 0; i < mixed.size(); ++i) EXPECT_EQ(screen.RawMemory[160 + i], mixed[i]);
  CloseLog();
  EXPECT_NE(TTempDir::ReadText("log.txt").find(
                "   Patching \"TOVUR\" to \"TOVAR\"... 1 substring replaced.\r\n"),
            std::string::npos);
}

TEST_F(TDosScreenTest, TheClosingLinesAreWrittenAtTheBottom) {
  TTempDir temp;
  StartUpOptions().GameDir = temp.Dir();
  StartUpOptions().PlainImageFlags = ImageMipmapped;
  TDosScreen screen;
  PrepareExitScreen(screen);
  EXPECT_EQ(screen.ImageFlags, ImageMipmapped);
  EXPECT_EQ(TextAt(screen, 28, 23, 23), "Thanks for using Zyntra");
  EXPECT_EQ(AttrAt(screen, 28, 23), 0x07);
  EXPECT_EQ(TextAt(screen, 29, 24, 22), "Press any key to quit.");
  EXPECT_EQ(AttrAt(screen, 29, 24), 0x87);  // blinks
  EXPECT_EQ(AttrAt(screen, 50, 24), 0x87);
  EXPECT_EQ(screen.LineOffset, 0);
  EXPECT_EQ(screen.CursorPos, 2 * (51 + 80 * 24));

  // An episode without a screen of its own: blank but for the two lines.
  StartUpOptions().GameExt = ".QZ9";
  TDosScreen blank;
  PrepareExitScreen(blank);
  EXPECT_EQ(CharAt(blank, 0, 0), 0);
  EXPECT_EQ(AttrAt(blank, 0, 0), 0);
  EXPECT_EQ(TextAt(blank, 28, 23, 23), "Thanks for using Zyntra");
}

TEST_F(TDosScreenTest, ShowExitScreenDrawsUntilAKeyIsHit) {
  TTempDir temp;
  StartUpOptions().GameDir = temp.Dir();
  Headless->PressKey(KeySpace, 1000);
  ShowExitScreen();
  EXPECT_GE(Headless->Millisecs(), 1000u);
  const std::vector<TDrawCommand>& frame = Headless->LastFrame();
  ASSERT_EQ(frame.size(), 26u);
  EXPECT_EQ(frame[0].Kind, TCommandKind::Clear);
  for (size_t i = 1; i < frame.size(); ++i) {
    EXPECT_EQ(frame[i].Kind, TCommandKind::DrawImage);
    EXPECT_EQ(frame[i].Y, float(16 * (i - 1)));
  }
  // The embedded screen of episode 1 fills the window; "T" of "Thanks" is light grey.
  const TPixmap& shot = Headless->ShownFrame();
  ASSERT_EQ(shot.Width, 640);
  int grey = 0;
  for (int y = 23 * 16; y < 24 * 16; ++y)
    for (int x = 28 * 8; x < 29 * 8; ++x) grey += (shot.Get(x, y) & 0xFFFFFF) == 0xAAAAAA;
  EXPECT_GT(grey, 5);
  EXPECT_NE(shot.Get(320, 8) & 0xFFFFFF, 0u);  // the frame of the page at the top
}

// --- Embedded resources ------------------------------------------------------------------

TEST(TExitScreenResources, FontIsAOneBitPngWithEveryPrintableGlyph) {
  const TEmbeddedResource* png = FindEmbeddedResource("ascii.png");
  ASSERT_TRUE(png);
  ASSERT_GT(png->Size, 26u);
  EXPECT_EQ(png->Data[24], 1);  // bit depth
  EXPECT_EQ(png->Data[25], 3);  // palette colour type

  PPixmap font = LoadImageFile("incbin::ascii.png");
  ASSERT_TRUE(font);
  ASSERT_EQ(font->Width, 128);
  ASSERT_EQ(font->Height, 256);
  auto litPixels = [&](int code) {
    int lit = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 8; ++x)
        lit += (font->Get((code % 16) * 8 + x, (code / 16) * 16 + y) & 0xFFFFFF) != 0;
    return lit;
  };
  EXPECT_EQ(litPixels(32), 0);
  EXPECT_EQ(litPixels(0), 0);
  for (int code = 33; code <= 126; ++code) EXPECT_GT(litPixels(code), 2) << code;
  for (int code = 176; code <= 223; ++code) EXPECT_GT(litPixels(code), 2) << code;
  EXPECT_EQ(litPixels(219), 128);  // full block
  EXPECT_EQ(litPixels(220), 64);   // lower half
  // Glyphs differ from each other (a copied glyph would be a mistake of the source).
  for (int a = 33; a <= 126; ++a)
    for (int b = a + 1; b <= 126; ++b) {
      bool same = true;
      for (int y = 0; y < 16 && same; ++y)
        for (int x = 0; x < 8 && same; ++x)
          same = font->Get((a % 16) * 8 + x, (a / 16) * 16 + y) ==
                 font->Get((b % 16) * 8 + x, (b / 16) * 16 + y);
      EXPECT_FALSE(same) << a << " " << b;
    }
}

TEST(TExitScreenResources, EachEpisodeHasAClosingScreen) {
  TTempDir temp;  // the string reader logs
  CloseLog();
  PPixmap font = LoadImageFile("incbin::ascii.png");
  ASSERT_TRUE(font);
  for (const std::string episode : {"QZ1", "QZ2", "QZ3"}) {
    SCOPED_TRACE(episode);
    ASSERT_EQ(FileSize("incbin::DOSTEXT." + episode), 4000);
    PStream stream = ReadStream("incbin::DOSTEXT." + episode);
    ASSERT_TRUE(stream);
    const std::vector<uint8_t> raw = stream->ReadAll();
    ASSERT_EQ(raw.size(), 4000u);
    std::string characters;
    bool blinks = false;
    for (size_t i = 0; i < raw.size(); i += 2) {
      characters += char(raw[i]);
      blinks |= (raw[i + 1] & 0x80) != 0;
      // Every character but the space shows something.
      if (raw[i] == ' ') continue;
      const int code = raw[i];
      int lit = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
          lit += (font->Get((code % 16) * 8 + x, (code / 16) * 16 + y) & 0xFFFFFF) != 0;
      ASSERT_GT(lit, 0) << "code " << code << " at cell " << i / 2;
    }
    EXPECT_TRUE(blinks);
    EXPECT_EQ(characters.substr(23 * 80), std::string(160, ' '));  // free for the two lines
    EXPECT_NE(characters.find("Zyntra"), std::string::npos);
    // The episode's title from its string table.
    TStringReader reader;
    ASSERT_TRUE(reader.LoadFile("incbin::STRINGS." + episode + ".TXT", false));
    const std::string title = reader.GetLines("game_title");
    ASSERT_FALSE(title.empty());
    EXPECT_NE(characters.find(title), std::string::npos) << title;
  }
  CloseLog();
}

}  // namespace
