#include "menus/menu.h"

#include "data/graphics.h"
#include "shell/frame.h"
#include "shell/keys.h"
#include "shell/settings.h"
#include "shell/strings.h"
#include "world/level_draw.h"
#include "world/sprite_numbers.h"
#include "world/world.h"
#include "world/world_state.h"

std::unique_ptr<TMessageWindow> GoingInBox;
std::unique_ptr<TQuestion> QuitQuestion;
std::unique_ptr<TQuestion> RestartQuestion;
std::unique_ptr<TGameScreen> GameScreen;
std::unique_ptr<TImageScreen> TitleScreen, CreditsScreen, HeroScreen, VillainScreen, EndScreen;

namespace {
std::unique_ptr<TGameBorder> GoingInBorder;
}

void TMenu::Draw(bool active) {
  if (Parent)
    Parent->Draw(false);
  else
    Platform().Clear(0);
  DrawMenu(active);
}

void TMenu::ShowLoop(bool needEnter) {
  ResetKeys();
  TInputState& in = Platform().Input();
  for (;;) {
    Draw(true);
    PresentFrame();
    if (needEnter ? in.KeyHit(KeyEnter) > 0 : AnyKeyHit()) break;
  }
  if (needEnter) ResetKeys();
}

void TMenu::Fade(int32_t colour, int steps, bool out) {
  TPlatform& p = Platform();
  for (int i = 0; i <= steps; ++i) {
    Draw(false);
    float opacity = steps > 0 ? float(i) / float(steps) : 1.0f;
    p.SetColour(uint32_t(colour) & 0xFFFFFF);
    p.SetAlpha(out ? opacity : 1.0f - opacity);
    p.DrawRect(0, 0, 320, 200);
    p.SetColour(0xFFFFFF);
    p.SetAlpha(1);
    PresentFrame();
  }
}

void TMenu::FadeOut(int32_t colour, int steps) { Fade(colour, steps, true); }
void TMenu::FadeIn(int32_t colour, int steps) { Fade(colour, steps, false); }

void TMenuWithBall::Draw(bool active) {
  TMenu::Draw(active);
  if (active) {
    DrawSprite(float(BallX), float(BallY), SpriteBallCursor + BallFrame);
    BallFrame = (BallFrame + 1) % 4;
  }
}

void TMessageWindow::Init(const std::string& text, int32_t left, int32_t top, int32_t width,
                          int32_t height, TMenu* parent) {
  msg = text;
  x = left;
  y = top;
  w = width;
  h = height;
  Parent = parent;
  BallX = x + 16 * w;
  BallY = y + 16 * h;
}

void TMessageWindow::SetRelativeBallPosition(int32_t dx, int32_t dy) {
  BallX = x + dx;
  BallY = y + dy;
}

void TMessageWindow::DrawMenu(bool) { DrawMessageBox(msg, float(x), float(y), w, h); }

void TKeyboardMenu::DrawMenu(bool active) {
  TMessageWindow::DrawMenu(active);
  for (int i = 0; i < 6; ++i) DrawText(KeyNames[i], float(x + 136), float(y + 24 + 8 * i));
  DrawText(WaitKeyText, float(x + 8), float(y + 96));
}

void TKeyboardMenu::SetStrings() {
  BallX = x + 8;
  WaitKeyText.clear();
  for (int i = 0; i < 6; ++i) KeyNames[i] = KeyName(PlaySettings().PlayKeys[i]);
}

int TKeyboardMenu::GetNewKey(const std::string& text) {
  WaitKeyText = text;
  BallX = x + 136;
  BallY = y + 104;
  DrainKeyHits();
  for (;;) {
    Draw(true);
    PresentFrame();
    // F12 is left to the frame routine, which switches the pictures; it is never a new key.
    if (Platform().Input().PeekKeyHits(KeyF12) > 0) continue;
    if (int key = FirstScanHit()) return key;
  }
}

bool TQuestion::Invoke() {
  ResetKeys();
  TInputState& in = Platform().Input();
  for (;;) {
    Draw(true);
    PresentFrame();
    if (in.KeyHit('Y') || in.KeyHit('Z')) {
      ResetKeys();
      return true;
    }
    if (AnyKeyHit()) {
      ResetKeys();
      return false;
    }
  }
}

void TTextScreen::Init(const std::string& text) {
  lines = text;
  BallX = 312;
  BallY = 192;
}

void TTextScreen::DrawMenu(bool) {
  DrawPanelPattern();
  DrawText(lines, 0, 0);
}

void TImageScreen::CalcScale() {
  double w = image ? image->FrameWidth : 320, h = image ? image->FrameHeight : 200;
  if (HQ_image) {
    HQ_ScaleX = w / HQ_image->FrameWidth;
    HQ_ScaleY = h / HQ_image->FrameHeight;
  }
}

void TImageScreen::DrawMenu(bool) {
  TPlatform& p = Platform();
  if (PlaySettings().ReplacementMode && HQ_image) {
    p.SetScale(float(HQ_ScaleX), float(HQ_ScaleY));
    p.DrawImage(HQ_image, 0, 0, 0);
    p.SetScale(1, 1);
  } else if (image) {
    p.DrawImage(image, 0, 0, 0);
  }
}

void TGameBorder::DrawMenu(bool) { DrawStatusBorder(World()); }
void TGameScreen::DrawMenu(bool) { RedrawGame(World()); }

std::unique_ptr<TMessageWindow> CreateMessageWindow(const std::string& text, int32_t x, int32_t y,
                                                    int32_t w, int32_t h, TMenu* parent) {
  auto window = std::make_unique<TMessageWindow>();
  window->Init(text, x, y, w, h, parent);
  return window;
}

namespace {
std::unique_ptr<TImageScreen> MakeImageScreen(const PImage& image, const std::string& alias) {
  auto screen = std::make_unique<TImageScreen>();
  screen->image = image;
  if (Options().EnhancedContent) {
    screen->HQ_image = LoadAliasedImage(alias).Image;
    screen->CalcScale();
  }
  return screen;
}
}  // namespace

void CreateSharedScreens() {
  GameScreen = std::make_unique<TGameScreen>();
  GoingInBorder = std::make_unique<TGameBorder>();
  GoingInBox = CreateMessageWindow(GoingInText, 16, 80, 12, 1, GoingInBorder.get());
  QuitQuestion = std::make_unique<TQuestion>();
  QuitQuestion->Init(QuitText, 56, 32, 12, 1, nullptr);
  RestartQuestion = std::make_unique<TQuestion>();
  RestartQuestion->Init(RestartText, 16, 16, 12, 1, GameScreen.get());
  TitleScreen = MakeImageScreen(TitlePicture, "qz");
  CreditsScreen = MakeImageScreen(CreditsPicture, "credits");
  HeroScreen = MakeImageScreen(HeroPicture, "brax");
  VillainScreen = MakeImageScreen(VillainPicture, "badguy");
  EndScreen = MakeImageScreen(EndPicture, "end");
}
