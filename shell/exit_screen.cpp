#include "shell/exit_screen.h"

#include <algorithm>

#include "data/image_io.h"
#include "data/stream.h"
#include "data/text.h"
#include "shell/frame.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/strings.h"

namespace {

int PositiveMod(int value, int modulus) {
  const int rest = value % modulus;
  return rest < 0 ? rest + modulus : rest;
}

int FloorDiv(int value, int divisor) { return (value - PositiveMod(value, divisor)) / divisor; }

}  // namespace

TDosScreen::TDosScreen() {
  PPixmap font = LoadImageFile("incbin::ascii.png");
  if (font)
    Glyphs = CreateImage(*font, DosCellWidth, DosCellHeight, 0, 256, 0);
  else
    LogLine("WARNING :: TDosScreen :: cannot read \"incbin::ascii.png\"");
}

void TDosScreen::CreateLineImage(uint8_t row) {
  const int raw = (row + LineOffset) % DosRows;
  const int width = DosColumns * DosCellWidth;
  TPixmap pixmap(width, 2 * DosCellHeight);
  for (int phase = 0; phase < 2; ++phase) {
    for (int column = 0; column < DosColumns; ++column) {
      const uint8_t ch = RawMemory[raw * DosRowBytes + 2 * column];
      const uint8_t at = RawMemory[raw * DosRowBytes + 2 * column + 1];
      const uint32_t fg = Palette[at & 15];
      const uint32_t bg = HighBitBlinks ? Palette[(at >> 4) & 7] : Palette[at >> 4];
      const bool hidden = phase == 1 && HighBitBlinks && (at & 0x80) != 0;
      const TPixmap* glyph =
          (!hidden && Glyphs && ch < Glyphs->FrameCount()) ? &Glyphs->Frames[ch] : nullptr;
      for (int y = 0; y < DosCellHeight; ++y) {
        uint32_t* out =
            &pixmap
                 .Pixels[size_t(phase * DosCellHeight + y) * width + size_t(column * DosCellWidth)];
        for (int x = 0; x < DosCellWidth; ++x)
          out[x] = (glyph && (glyph->Get(x, y) & 0xFFFFFF) != 0) ? fg : bg;
      }
    }
  }
  LineImages[size_t(raw)] = CreateImage(pixmap, width, DosCellHeight, 0, 2, ImageFlags);
}

void TDosScreen::RemoveLineImage(uint8_t row) {
  LineImages[size_t((row + LineOffset) % DosRows)] = nullptr;
}

void TDosScreen::RemoveAllLineImages() {
  for (PImage& image : LineImages) image = nullptr;
}

void TDosScreen::Draw() {
  TPlatform& platform = Platform();
  for (int row = 0; row < DosRows; ++row) {
    const size_t raw = size_t((row + LineOffset) % DosRows);
    if (!LineImages[raw]) CreateLineImage(uint8_t(row));
    platform.DrawImage(LineImages[raw], 0, float(row * DosCellHeight), BlinkState);
  }
  if (HighBitBlinks && ++BlinkTimer >= BlinkSpeed) {
    BlinkState ^= 1;
    BlinkTimer = 0;
  }
}

void TDosScreen::GotoXY(int x, int y) { CursorPos = 2 * (x + DosColumns * y); }

void TDosScreen::Write(const std::string& text) {
  const uint8_t at = WriteAttribute();
  const int startRow = FloorDiv(CursorPos, DosRowBytes);
  int offset = PositiveMod(CursorPos + LineOffset * DosRowBytes, DosScreenBytes);
  for (char ch : text) {
    RawMemory[offset] = uint8_t(ch);
    RawMemory[offset + 1] = at;
    offset = (offset + 2) % DosScreenBytes;
    CursorPos += 2;
  }
  const int endRow = FloorDiv(CursorPos, DosRowBytes);
  if (endRow - startRow + 1 >= DosRows) {
    RemoveAllLineImages();
  } else {
    for (int row = startRow; row <= endRow; ++row)
      RemoveLineImage(uint8_t(PositiveMod(row, DosRows)));
  }
  if (endRow >= DosRows) {
    // The text ran past the last row: blank the rest of the row it ended in, which
    // becomes the last row, and scroll up.
    const int rowEnd = (offset / DosRowBytes + 1) * DosRowBytes;
    for (; offset < rowEnd; offset += 2) {
      RawMemory[offset] = ' ';
      RawMemory[offset + 1] = at;
    }
    LineOffset = uint8_t((LineOffset + endRow - (DosRows - 1)) % DosRows);
    CursorPos = CursorPos % DosRowBytes + (DosRows - 1) * DosRowBytes;
  }
}

void TDosScreen::ClearScreen() {
  const uint8_t at = WriteAttribute();
  for (int i = 0; i < DosScreenBytes; i += 2) {
    RawMemory[i] = ' ';
    RawMemory[i + 1] = at;
  }
  LineOffset = 0;
  CursorPos = 0;
  RemoveAllLineImages();
}

bool TDosScreen::LoadRawScreen(const std::string& fileName) {
  PStream stream = ReadStream(fileName);
  if (!stream) return false;
  try {
    // At most one screen (4,000 bytes) is read, whatever the file's size.
    const int64_t available = std::max<int64_t>(0, stream->Size() - stream->Pos());
    stream->ReadBytes(RawMemory, size_t(std::min<int64_t>(available, DosScreenBytes)));
  } catch (const TStreamError&) {
    LogLine("WARNING :: LoadRawScreen :: cannot read \"" + fileName + "\"");
  }
  stream->Close();
  RemoveAllLineImages();
  return true;
}

std::string ExitScreenFile() {
  const std::string name = "DOSTEXT" + Options().GameExt;
  if (FileSize(Options().GameDir + name) == DosScreenBytes) return Options().GameDir + name;
  if (FileSize(name) == DosScreenBytes) return name;
  return "incbin::" + UpperCase(name);
}

void PrepareExitScreen(TDosScreen& screen) {
  const std::string file = ExitScreenFile();
  if (!screen.LoadRawScreen(file))
    LogLine("WARNING :: ShowExitScreen :: cannot read \"" + file + "\"");
  if (Options().PatchText) {
    // Character bytes only; the attributes stay as they are.
    std::string characters(DosScreenBytes / 2, '\0');
    for (size_t i = 0; i < characters.size(); ++i) characters[i] = char(screen.RawMemory[2 * i]);
    characters = NamePatch(characters);
    for (size_t i = 0; i < characters.size(); ++i) screen.RawMemory[2 * i] = uint8_t(characters[i]);
    screen.RemoveAllLineImages();
  }
  screen.ImageFlags = Options().PlainImageFlags;
  screen.GotoXY(28, 23);
  screen.Write("Thanks for using Zyntra");
  screen.GotoXY(29, 24);
  screen.BackColor |= 8;
  screen.Write("Press any key to quit.");
}

void ShowExitScreen() {
  TDosScreen screen;
  PrepareExitScreen(screen);
  TPlatform& platform = Platform();
  platform.SetColour(0xFFFFFF);
  platform.SetAlpha(1);
  platform.SetScale(1, 1);
  platform.ResetClip();
  do {
    platform.Clear();
    screen.Draw();
    PresentFrame();
  } while (!AnyKeyHit());
}
