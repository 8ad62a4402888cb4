// The text-mode exit screen: an 80 x 25 colour text screen rebuilt from a raw text-mode
// memory image ("DOSTEXT" + episode extension, 4000 bytes: character code and attribute
// byte per cell, row by row), drawn with an 8 x 16 bitmap font at 640 x 400.
//
// Attribute byte: bits 0-3 foreground colour; bits 4-7 background colour, or, when
// HighBitBlinks, bits 4-6 background and bit 7 blinking.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"

constexpr int DosColumns = 80;
constexpr int DosRows = 25;
constexpr int DosRowBytes = DosColumns * 2;            // 160
constexpr int DosScreenBytes = DosRows * DosRowBytes;  // 4000
constexpr int DosCellWidth = 8;
constexpr int DosCellHeight = 16;

class TDosScreen {
 public:
  // ARGB colours of the 16 attribute colours (the standard colour text-mode palette).
  uint32_t Palette[16] = {0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA,
                          0xFFAA5500, 0xFFAAAAAA, 0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF,
                          0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};
  uint8_t RawMemory[DosScreenBytes] = {};
  uint8_t LineOffset = 0;  // raw row shown at the top; the rows form a ring of 25
  int CursorPos = 0;       // byte offset from the top row: 2 * (x + 80 * y)
  uint8_t TextColor = 7;   // colours of Write
  uint8_t BackColor = 0;
  bool HighBitBlinks = true;
  uint8_t BlinkState = 0;  // 0: blinking text shown, 1: hidden
  int BlinkTimer = 0;      // frames since the last phase change
  int BlinkSpeed = 20;     // frames per blink phase
  PImage Glyphs;           // 256 frames of 8 x 16; lit where the colour is not black
  // Per raw row: both blink phases as 2 frames of 640 x 16, built on demand.
  std::array<PImage, DosRows> LineImages;
  int ImageFlags = ImageFiltered;

  // Loads the glyphs of "incbin::ascii.png" (a warning and blank glyphs when missing).
  TDosScreen();
  virtual ~TDosScreen() = default;

  // Renders raw row (row + LineOffset) mod 25 into its line image.
  virtual void CreateLineImage(uint8_t row);
  // Drops the line image of raw row (row + LineOffset) mod 25.
  virtual void RemoveLineImage(uint8_t row);
  virtual void RemoveAllLineImages();
  // Draws the 25 rows at (0, 16 r) and advances the blink timer.
  virtual void Draw();
  virtual void GotoXY(int x, int y);
  // Writes at the cursor in the current colours; text running past the last row scrolls.
  virtual void Write(const std::string& text);
  // Spaces in the current colours everywhere; cursor and scrolling back to the start.
  virtual void ClearScreen();
  // Reads up to 4000 bytes of the file into RawMemory; false (memory unchanged) when the
  // file cannot be opened.
  virtual bool LoadRawScreen(const std::string& fileName);

  // The attribute byte that Write uses.
  uint8_t WriteAttribute() const { return uint8_t(BackColor * 16 | (TextColor & 15)); }
};

// The raw screen the exit sequence shows for GameExt: "DOSTEXT" + GameExt from GameDir or
// the working directory when that file is exactly 4000 bytes, else the embedded one.
std::string ExitScreenFile();
// Puts the exit screen together (raw screen, name patch, the two closing lines) without
// showing it.
void PrepareExitScreen(TDosScreen& screen);
// The end of the program: shows the exit screen until any key is hit.
void ShowExitScreen();
