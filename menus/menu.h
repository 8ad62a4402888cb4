// The screens of the program: pictures, text pages, message boxes, menus and questions.
// A screen draws itself over its parent, so boxes float over pictures or the frozen game.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

class TMenu {
 public:
  virtual ~TMenu() = default;
  TMenu* Parent = nullptr;
  std::vector<int32_t> QuickKeys;

  virtual void DrawMenu(bool active) = 0;
  virtual void Draw(bool active);
  virtual void ShowLoop(bool needEnter);
  virtual void FadeOut(int32_t colour, int steps);
  virtual void FadeIn(int32_t colour, int steps);

 private:
  void Fade(int32_t colour, int steps, bool out);
};

class TMenuWithBall : public TMenu {
 public:
  int32_t BallX = 0;
  int32_t BallY = 0;
  int32_t BallFrame = 0;
  void Draw(bool active) override;
};

class TMessageWindow : public TMenuWithBall {
 public:
  int32_t x = 0, y = 0, w = 0, h = 0;
  std::string msg;

  virtual void Init(const std::string& text, int32_t left, int32_t top, int32_t width,
                    int32_t height, TMenu* parent);
  virtual void SetRelativeBallPosition(int32_t dx, int32_t dy);
  void DrawMenu(bool active) override;
};

class TKeyboardMenu : public TMessageWindow {
 public:
  std::string KeyNames[6];
  std::string WaitKeyText;

  virtual void SetStrings();
  virtual int GetNewKey(const std::string& text);
  void DrawMenu(bool active) override;
};

class TQuestion : public TMessageWindow {
 public:
  virtual bool Invoke();
};

class TTextScreen : public TMenuWithBall {
 public:
  std::string lines;
  virtual void Init(const std::string& text);
  void DrawMenu(bool active) override;
};

class TImageScreen : public TMenu {
 public:
  PImage image;
  PImage HQ_image;
  double HQ_ScaleX = 1.0;
  double HQ_ScaleY = 1.0;
  virtual void CalcScale();
  void DrawMenu(bool active) override;
};

class TGameBorder : public TMenu {
 public:
  void DrawMenu(bool active) override;
};

class TGameScreen : public TMenu {
 public:
  void DrawMenu(bool active) override;
};

std::unique_ptr<TMessageWindow> CreateMessageWindow(const std::string& text, int32_t x, int32_t y,
                                                    int32_t w, int32_t h, TMenu* parent);

// The standard screens, created once at start-up by CreateSharedScreens.
extern std::unique_ptr<TMessageWindow> GoingInBox;
extern std::unique_ptr<TQuestion> QuitQuestion;
extern std::unique_ptr<TQuestion> RestartQuestion;
extern std::unique_ptr<TGameScreen> GameScreen;
extern std::unique_ptr<TImageScreen> TitleScreen, CreditsScreen, HeroScreen, VillainScreen,
    EndScreen;
void CreateSharedScreens();
