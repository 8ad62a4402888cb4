// The episode's image sets, the replacement images of "hrp.ini", and the drawing
// operations that choose between them at draw time.
#pragma once

#include <string>

#include "platform/platform.h"
#include "shell/ini_parser.h"

// Classic sets (null or empty frames draw nothing).
extern PImage BorderTiles;
extern PImage FontImage;
extern PImage TitlePicture;
extern PImage CreditsPicture;
extern PImage HeroPicture;
extern PImage VillainPicture;
extern PImage EndPicture;
extern PImage TileImage;
extern PImage PanelPattern;
extern PImage SpriteImage;
extern PImage Backdrop1;
extern PImage Backdrop2;

constexpr int TileFrameCount = 384;
constexpr int SpriteFrameCount = 722;
constexpr int FontFrameCount = 256;

// A replacement image and the scales that draw one of its cells at the classic size.
struct TReplacement {
  PImage Image;
  double ScaleX = 1;
  double ScaleY = 1;
};
extern TReplacement BorderReplacement, FontReplacement, TileReplacement, SpriteReplacement;
extern TReplacement Backdrop1Replacement, Backdrop2Replacement, PanelReplacement;
extern PImage LeftBorderImage, RightBorderImage;
extern double SideBarScale;

// "hrp.ini", loaded at start-up when enhanced content is on.
extern TIniParser ReplacementIni;
// A value of "hrp.ini": section + GameExt first, then the plain section, then the default.
std::string ReplacementValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue);

// Loading. LoadEssentialGraphics returns false on error (the program then ends).
bool LoadEssentialGraphics();
void LoadRemainingGraphics();
void LoadBackdrops(const std::string& name1, const std::string& name2);
PPixmap LoadBackdropPixmap(const std::string& path);  // 208 x 160, or null
PImage LoadBackdropFile(const std::string& path);
TReplacement LoadReplacementImage(const std::string& name, int baseWidth, int baseHeight,
                                  int frames, int flags);
TReplacement LoadAliasedImage(const std::string& name);
bool LoadBorderImages();
void DrawSideBorders();
// Export mode: every file of the game directory of exactly a backdrop's size is written
// as "_" + stem + ".png" into the working directory.
void ExportBackdrops();
// Forgets every set (tests).
void ReleaseGraphics();

// Drawing, in logical-screen pixels.
void DrawSprite(float x, float y, int frame);
void DrawFontChar(float x, float y, int code);
void DrawTile(float x, float y, int tile);
void DrawBorderTile(float x, float y, int n);
void DrawBackdrop(int which, float x, float y);
void DrawPanelPattern();
void DrawText(const std::string& text, float x, float y);
void DrawFrame(float x, float y, int columns, int rows);
void DrawMessageBox(const std::string& text, float x, float y, int columns, int rows);
void DrawWavyText(int start, float x, float y, int phase);
