// The common platform part (logical screen, command list, input) and the headless
// backend's software renderer and audio recording.
#include "headless_fixture.h"

namespace {

class THeadlessPlatformTest : public THeadlessTest {};

constexpr uint32_t Red = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu;
constexpr uint32_t Black = 0xFF000000u, White = 0xFFFFFFFFu;

TEST_F(THeadlessPlatformTest, AspectCorrectionOnAWideWindowLeavesBars) {
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f);
  const TViewTransform& v = Headless->View();
  EXPECT_EQ(v.OffsetX, 53);  // (640 - 533.33) / 2, converted to an integer
  EXPECT_EQ(v.OffsetY, 0);
  EXPECT_NEAR(v.ScaleX * 320, 533.33, 0.01);
  EXPECT_FLOAT_EQ(v.ScaleY, 2.0f);
  EXPECT_EQ(Headless->PictureRect(), (TRect{53, 0, 533, 400}));
  // Mouse positions come back through the same offset and scale.
  Headless->Input().MouseMoved(53 + 161, 101);
  EXPECT_EQ(Headless->MouseX(), 96);  // 161 / 1.667, truncated
  EXPECT_EQ(Headless->MouseY(), 50);
}

TEST_F(THeadlessPlatformTest, AspectCorrectionOnAFourThreeWindowHasNoBars) {
  Headless->CloseWindow();
  ASSERT_TRUE(Headless->OpenWindow(800, 600, 0, 60));
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f);
  EXPECT_EQ(Headless->View().OffsetX, 0);
  EXPECT_EQ(Headless->View().OffsetY, 0);
  EXPECT_FLOAT_EQ(Headless->View().ScaleX, 2.5f);
  EXPECT_FLOAT_EQ(Headless->View().ScaleY, 3.0f);
}

TEST_F(THeadlessPlatformTest, AspectCorrectionOnATallWindowCentresVertically) {
  Headless->CloseWindow();
  ASSERT_TRUE(Headless->OpenWindow(640, 640, 0, 60));
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f);
  EXPECT_EQ(Headless->View().OffsetX, 0);
  EXPECT_EQ(Headless->View().OffsetY, 80);  // (640 - 480) / 2
  EXPECT_FLOAT_EQ(Headless->View().ScaleY, 480.0f / 200.0f);
}

TEST_F(THeadlessPlatformTest, ResizedWindowKeepsTheLogicalScreen) {
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f);
  Headless->ResizeWindow(1280, 800);
  EXPECT_EQ(Headless->View().OffsetX, 106);
  EXPECT_FLOAT_EQ(Headless->View().ScaleY, 4.0f);
  EXPECT_EQ(Headless->Clip(), Headless->PictureRect());
  Headless->SetVirtualResolution(320, 200);
  Headless->ResizeWindow(960, 600);
  EXPECT_FLOAT_EQ(Headless->View().ScaleX, 3.0f);
  EXPECT_EQ(Headless->View().OffsetX, 0);
  Headless->DrawRect(0, 0, 320, 200);
  EXPECT_EQ(Headless->Screenshot().Width, 960);
}

// Sharp scaling: whole factors of the 4:3 picture (320 x 240 window pixels a factor),
// centred, following resizes; below factor 1 the picture just fits.
TEST_F(THeadlessPlatformTest, SharpScalingUsesTheLargestWholeFactorThatFits) {
  struct TCase {
    int W, H;
    float Factor;
    int OffsetX, OffsetY;
  };
  for (TCase c :
       {TCase{640, 480, 2, 0, 0}, TCase{640, 400, 1, 160, 80}, TCase{1920, 1080, 4, 320, 60},
        TCase{1000, 740, 3, 20, 10}, TCase{1599, 1200, 4, 159, 120}}) {
    TViewTransform v = AspectView(c.W, c.H, 320, 200, 4.0f / 3.0f, true);
    EXPECT_FLOAT_EQ(v.ScaleX, c.Factor) << c.W << "x" << c.H;
    EXPECT_FLOAT_EQ(v.ScaleY * 200, c.Factor * 240) << c.W << "x" << c.H;
    EXPECT_EQ(v.OffsetX, c.OffsetX) << c.W << "x" << c.H;
    EXPECT_EQ(v.OffsetY, c.OffsetY) << c.W << "x" << c.H;
  }
  EXPECT_EQ(AspectView(300, 200, 320, 200, 4.0f / 3.0f, true),
            AspectView(300, 200, 320, 200, 4.0f / 3.0f, false));
  Headless->SetVirtualResolutionAspect(320, 200, 4.0f / 3.0f, true);
  Headless->ResizeWindow(1280, 960);
  EXPECT_EQ(Headless->PictureRect(), (TRect{0, 0, 1280, 960}));
  Headless->ResizeWindow(1300, 1000);
  EXPECT_EQ(Headless->PictureRect(), (TRect{10, 20, 1280, 960}));
}

// Smooth motion: a tracked command slides from where the previous tick drew it, its clip
// along when asked; what is new, untracked, ambiguous or jumps more than a tile stays put.
TEST_F(THeadlessPlatformTest, InterpolatedCommandsSlideOnlyWhatBothTicksDrew) {
  auto draw = [&](float x, float y, uint64_t track, bool moveClip) {
    if (track) Headless->BeginTrack(track, moveClip);
    if (moveClip) Headless->SetClip(x, y, 16, 16);
    Headless->DrawRect(x, y, 16, 16);
    Headless->ResetClip();
    Headless->EndTrack();
  };
  draw(100, 50, 1, false);  // slides
  draw(20, 20, 2, true);    // slides, clip along
  draw(40, 40, 0, false);   // untracked
  draw(60, 60, 4, false);   // jumps
  draw(70, 70, 5, false);   // drawn twice in the previous tick
  draw(70, 70, 5, false);
  std::vector<TDrawCommand> previous = Headless->TakeCommands();
  draw(108, 46, 1, false);
  draw(36, 20, 2, true);
  draw(50, 40, 0, false);
  draw(60, 77, 4, false);
  draw(80, 70, 5, false);
  draw(0, 0, 6, false);  // new
  std::vector<TDrawCommand> current = Headless->TakeCommands();
  ASSERT_EQ(current.size(), 6u);
  std::vector<TDrawCommand> half = InterpolateCommands(previous, current, 0.5f);
  EXPECT_FLOAT_EQ(half[0].X, 104);
  EXPECT_FLOAT_EQ(half[0].Y, 48);
  EXPECT_FLOAT_EQ(half[1].X, 28);
  EXPECT_EQ(half[1].Clip.X, 2 * 28);  // the 640 x 400 window is twice the logical screen
  EXPECT_EQ(half[0].Clip, current[0].Clip);
  for (size_t i = 2; i < 6; ++i)
    EXPECT_FLOAT_EQ(half[i].X + half[i].Y, current[i].X + current[i].Y) << i;
  std::vector<TDrawCommand> start = InterpolateCommands(previous, current, 0);
  EXPECT_FLOAT_EQ(start[0].X, 100);
  EXPECT_EQ(start[1].Clip, previous[1].Clip);
  EXPECT_FLOAT_EQ(InterpolateCommands(previous, current, 1)[0].X, 108);
}

TEST_F(THeadlessPlatformTest, CreateImageCutsFramesRowByRow) {
  TPixmap sheet(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) sheet.Set(x, y, uint32_t(0xFF000000u | (y * 4 + x)));
  PImage image = CreateImage(sheet, 2, 2, 1, 4, ImageMasked);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->FrameCount(), 4);
  EXPECT_EQ(image->Frames[0].Get(0, 0), 0xFF000002u);  // frame 1: top right
  EXPECT_EQ(image->Frames[1].Get(1, 1), 0xFF00000Du);  // frame 2: bottom left
  EXPECT_EQ(image->Frames[3].Get(0, 0), 0u);           // beyond the sheet: transparent
  EXPECT_FALSE(CreateImage(sheet, 0, 2, 0, 1, 0));
  EXPECT_FALSE(CreateImage(TPixmap(), 2, 2, 0, 1, 0));
  EXPECT_NE(image->Serial, CreateImage(sheet, 2, 2, 0, 1, 0)->Serial);
}

TEST_F(THeadlessPlatformTest, SoftwareRendererDrawsScaledMaskedFramesRectsAndClips) {
  TPixmap sheet(4, 2);
  for (int x = 0; x < 2; ++x) sheet.Set(x, 0, Red);          // frame 0: red top row,
  sheet.Set(0, 1, Green);                                    // green, transparent
  for (int x = 2; x < 4; ++x) sheet.Set(x, 0, 0xFF0000FFu);  // frame 1: blue top row
  PImage image = CreateImage(sheet, 2, 2, 0, 2, ImageMasked);
  PImage opaque = CreateImage(sheet, 2, 2, 0, 2, 0);

  Headless->Clear(0x000000);
  Headless->DrawImage(image, 10, 10, 0);  // logical 10,10 -> window 20,20, 4x4 pixels
  Headless->DrawImage(opaque, 20, 10, 0);
  Headless->SetColour(0xFFFFFF);
  Headless->SetAlpha(0.5f);
  Headless->DrawRect(100, 100, 2, 1);  // half-transparent white over black
  Headless->SetAlpha(1);
  Headless->SetClip(50, 50, 1, 1);
  Headless->DrawImage(image, 50, 50, 1);  // only the top-left logical pixel survives
  Headless->ResetClip();
  Headless->SetScale(2, 2);
  Headless->DrawImage(image, 60, 60, 1);
  Headless->SetScale(1, 1);
  TPixmap shot = Headless->Screenshot();
  ASSERT_EQ(shot.Width, 640);

  EXPECT_EQ(shot.Get(20, 20), Red);
  EXPECT_EQ(shot.Get(23, 21), Red);
  EXPECT_EQ(shot.Get(20, 22), Green);
  EXPECT_EQ(shot.Get(22, 22), Black);  // transparent texel shows the background
  EXPECT_EQ(shot.Get(42, 22), Black);  // unmasked: the transparent texel's colour, opaque
  EXPECT_EQ(shot.Get(200, 200), 0xFF808080u);
  EXPECT_EQ(shot.Get(100, 100), Blue);
  EXPECT_EQ(shot.Get(101, 101), Blue);
  EXPECT_EQ(shot.Get(102, 100), Black);  // clipped away
  EXPECT_EQ(shot.Get(127, 120), Blue);   // scaled 2x: 8 window pixels wide
  EXPECT_EQ(shot.Get(128, 120), Black);
}

TEST_F(THeadlessPlatformTest, ColourTintsImagesAndHandleMovesTheOrigin) {
  TPixmap white(2, 2, White);
  PImage image = CreateImage(white, 2, 2, 0, 1, ImageMasked);
  image->HandleX = 2;
  Headless->Clear(0);
  Headless->SetColour(255, 0, 0);
  Headless->DrawImage(image, 10, 0, 0);  // drawn from logical x 8
  TPixmap shot = Headless->Screenshot();
  EXPECT_EQ(shot.Get(16, 0), Red);
  EXPECT_EQ(shot.Get(19, 3), Red);
  EXPECT_EQ(shot.Get(20, 0), Black);
}

TEST_F(THeadlessPlatformTest, CapturedRegionIsDrawnBackOneToOne) {
  Headless->Clear(0);
  Headless->SetColour(0x00FF00);
  Headless->DrawRect(0, 0, 1, 1);  // window 0..1 x 0..1
  Headless->CaptureRegion({0, 0, 4, 4});
  Headless->SetColour(0xFF0000);
  Headless->DrawRect(0, 0, 1, 1);  // drawn over after the capture
  Headless->DrawCaptured({0, 1, 2, 1}, 100, 100);
  TPixmap shot = Headless->Screenshot();
  EXPECT_EQ(shot.Get(0, 0), Red);
  EXPECT_EQ(shot.Get(100, 100), Green);
  EXPECT_EQ(shot.Get(101, 100), Green);
  EXPECT_EQ(shot.Get(102, 100), Black);
  EXPECT_EQ(shot.Get(100, 101), Black);
}

TEST_F(THeadlessPlatformTest, PresentedFrameKeepsItsCommandsForInspection) {
  TPixmap white(2, 2, White);
  PImage image = CreateImage(white, 2, 2, 0, 1, ImageMasked);
  Headless->DrawImage(image, 5, 6, 0);
  Headless->DrawImage(image, 7, 8, 0);
  Headless->DrawImage(image, 7, 8, 3);  // no such frame: nothing is recorded
  Headless->Flip(false);
  ASSERT_EQ(Headless->LastFrame().size(), 2u);
  EXPECT_EQ(Headless->LastFrame()[1].X, 7);
  EXPECT_EQ(Headless->LastFrame()[1].Y, 8);
  Headless->Flip(false);
  EXPECT_TRUE(Headless->LastFrame().empty());
  EXPECT_EQ(Headless->FramesShown(), 2u);
}

TEST_F(THeadlessPlatformTest, ScriptedInputArrivesAtItsTime) {
  Headless->PressKey('A', 100);
  Headless->TypeText("hi", 100);
  Headless->PollEvents();
  EXPECT_EQ(Headless->Input().KeyHit('A'), 0);
  Headless->AdvanceClock(100);
  Headless->PollEvents();
  EXPECT_EQ(Headless->Input().KeyHit('A'), 1);
  EXPECT_TRUE(Headless->Input().KeyDown('A'));
  EXPECT_EQ(Headless->Input().NextChar(), 'h');
  EXPECT_EQ(Headless->Input().NextChar(), 'i');
  EXPECT_EQ(Headless->Input().NextChar(), 0);  // a letter key pressed does not type
  // Enter, Backspace and Esc type as they do on the real keyboard.
  for (int key : {KeyEnter, KeyBackspace, KeyEscape}) Headless->PressKey(key, 200);
  Headless->AdvanceClock(100);
  Headless->PollEvents();
  EXPECT_EQ(Headless->Input().NextChar(), 13);
  EXPECT_EQ(Headless->Input().NextChar(), 8);
  EXPECT_EQ(Headless->Input().NextChar(), 27);
  Headless->AdvanceClock(1);
  Headless->PollEvents();
  EXPECT_FALSE(Headless->Input().KeyDown('A'));
  // Codes outside 1..255 are ignored, never out of bounds.
  Headless->Input().KeyPressed(300);
  Headless->Input().KeyPressed(-1);
  EXPECT_EQ(Headless->Input().KeyHit(300), 0);
}

TEST_F(THeadlessPlatformTest, AudioIsRecordedAndPlaysForItsLength) {
  EXPECT_EQ(Headless->PlaySound(Headless->CreateSound({128}, 22050), -1, false), -1);  // closed
  ASSERT_TRUE(Headless->OpenAudio());
  PSound sound = Headless->CreateSound(std::vector<uint8_t>(2205, 128), 22050);
  ASSERT_EQ(sound->LengthMs, 100u);
  sound->Name = "beep";
  int channel = Headless->PlaySound(sound, 3, false);
  EXPECT_EQ(channel, 3);
  EXPECT_TRUE(Headless->ChannelPlaying(3));
  Headless->AdvanceClock(99);
  EXPECT_TRUE(Headless->ChannelPlaying(3));
  Headless->AdvanceClock(1);
  EXPECT_FALSE(Headless->ChannelPlaying(3));
  ASSERT_EQ(Headless->AudioLog().size(), 1u);
  EXPECT_EQ(Headless->AudioLog()[0].Name, "beep");
  EXPECT_EQ(Headless->AudioLog()[0].Channel, 3);
  EXPECT_EQ(Headless->PlaySound(sound, 99, false), -1);
  EXPECT_FALSE(Headless->ChannelPlaying(-5));
}

TEST_F(THeadlessPlatformTest, FailingWindowAndAudioAreReported) {
  THeadlessPlatform other;
  other.FailWindow = true;
  other.FailAudio = true;
  EXPECT_FALSE(other.OpenWindow(640, 400, 0, 60));
  EXPECT_FALSE(other.OpenAudio());
  EXPECT_TRUE(other.ReadPixels({0, 0, 4, 4}).Pixels.empty());
}

}  // namespace
