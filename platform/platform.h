// The platform layer: window, drawing, input, time and audio behind one interface.
// Nothing outside platform/ includes SDL or OpenGL; everything above talks to the
// current TPlatform through Platform().
//
// Drawing is deferred: the drawing calls append commands to the frame's command list,
// the backend executes the list in order when the frame is presented (or read back).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A 32-bit ARGB pixmap (0xAARRGGBB), rows top to bottom.
struct TPixmap {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  TPixmap() = default;
  TPixmap(int width, int height, uint32_t fill = 0);
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
  uint32_t Get(int x, int y) const { return Contains(x, y) ? Pixels[size_t(y) * Width + x] : 0; }
  void Set(int x, int y, uint32_t argb) {
    if (Contains(x, y)) Pixels[size_t(y) * Width + x] = argb;
  }
  // Copies src into this pixmap with its top-left corner at (x, y), clipped.
  void Paste(const TPixmap& src, int x, int y);
  // A copy of the rectangle (x, y, w, h); parts outside are transparent black.
  TPixmap Cut(int x, int y, int w, int h) const;
  TPixmap MirroredX() const;
};
using PPixmap = std::shared_ptr<TPixmap>;

// Image flags.
enum : int { ImageMasked = 1, ImageFiltered = 2, ImageMipmapped = 4 };

// An image made of equal frames. Frames are CPU pixmaps; a backend uploads them once
// (to atlases) the first time the image is drawn.
class TImage {
 public:
  int FrameWidth = 0;
  int FrameHeight = 0;
  int Flags = 0;
  float HandleX = 0;  // drawing origin inside a frame
  float HandleY = 0;
  std::vector<TPixmap> Frames;
  uint64_t Serial = 0;  // unique per image, for backend caches

  int FrameCount() const { return int(Frames.size()); }
};
using PImage = std::shared_ptr<TImage>;

// Cuts count frames of frameWidth x frameHeight from the pixmap, row by row, starting at
// frame number first. Frames beyond the pixmap stay transparent. Null when the pixmap is
// empty or a size is below 1.
PImage CreateImage(const TPixmap& source, int frameWidth, int frameHeight, int first, int count,
                   int flags);

// A rectangle in window pixels.
struct TRect {
  int X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TRect&) const = default;
};

// The mapping of the logical screen onto the window.
struct TViewTransform {
  float ScaleX = 1, ScaleY = 1;  // window pixels per logical pixel
  int OffsetX = 0, OffsetY = 0;  // window pixels
  bool operator==(const TViewTransform&) const = default;
};

enum class TCommandKind : uint8_t {
  Clear,          // whole window to Colour (alpha ignored)
  DrawImage,      // Image frame at logical X, Y with ScaleX/ScaleY
  FillRect,       // logical X, Y, W, H in Colour and Alpha
  CaptureRegion,  // copy window rect Source of the frame so far into the capture buffer
  DrawCaptured,   // draw window rect Source of the capture buffer at window X, Y (1:1)
};

struct TDrawCommand {
  TCommandKind Kind = TCommandKind::Clear;
  PImage Image;
  int Frame = 0;
  float X = 0, Y = 0, W = 0, H = 0;  // logical units (window pixels for DrawCaptured)
  float ScaleX = 1, ScaleY = 1;      // image scale
  uint32_t Colour = 0xFFFFFF;        // 24-bit RGB
  float Alpha = 1;
  TRect Clip;  // window pixels
  TViewTransform View;
  TRect Source;  // CaptureRegion / DrawCaptured
  // Identity for smooth motion: the same thing drawn in two ticks has the same track
  // (0: not tracked). TrackClip: the clip rectangle moves with it.
  uint64_t Track = 0;
  bool TrackClip = false;
};

// The commands of the tick current drawn at fraction f (0..1) of the way from the tick
// previous: every tracked command that previous also drew slides from there (its clip too
// when TrackClip); what appears, or jumps more than maxJump logical pixels, stays put.
std::vector<TDrawCommand> InterpolateCommands(const std::vector<TDrawCommand>& previous,
                                              const std::vector<TDrawCommand>& current, float f,
                                              float maxJump = 16);

// The view of a logical screen of virtW x virtH shown with the proportions aspect in a
// window: as large as fits, centred. wholeFactor: the width is scaled by the largest whole
// factor that fits (the height by the same factor times the proportions), for sharp
// pixels; when not even factor 1 fits, as large as fits.
TViewTransform AspectView(int winW, int winH, int virtW, int virtH, float aspect, bool wholeFactor);

// The window-pixel quad of a DrawImage or FillRect command, so that every backend draws
// the same geometry: the frame's top-left is (X - HandleX * ScaleX, Y - HandleY * ScaleY)
// in logical units, mapped through the command's view transform.
struct TQuad {
  float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
TQuad CommandQuad(const TDrawCommand& command);

// Virtual-key codes used by the game (Windows numbering).
enum : int {
  KeyBackspace = 8,
  KeyTab = 9,
  KeyEnter = 13,
  KeyPause = 19,
  KeyCapsLock = 20,
  KeyEscape = 27,
  KeySpace = 32,
  KeyPageUp = 33,
  KeyPageDown = 34,
  KeyEnd = 35,
  KeyHome = 36,
  KeyLeft = 37,
  KeyUp = 38,
  KeyRight = 39,
  KeyDown = 40,
  KeyInsert = 45,
  KeyDelete = 46,
  KeyNumpad0 = 96,
  KeyMultiply = 106,
  KeyAdd = 107,
  KeySubtract = 109,
  KeyDecimal = 110,
  KeyDivide = 111,
  KeyF1 = 112,
  KeyF2 = 113,
  KeyF3 = 114,
  KeyF5 = 116,
  KeyF9 = 120,
  KeyF10 = 121,
  KeyF11 = 122,
  KeyF12 = 123,
  KeyNumLock = 144,
  KeyScrollLock = 145,
  KeyPrintScreen = 44,
  KeyLeftShift = 160,
  KeyRightShift = 161,
  KeyLeftControl = 162,
  KeyRightControl = 163,
  KeyLeftAlt = 164,
  KeyRightAlt = 165,
  KeySemicolon = 186,
  KeyEquals = 187,
  KeyComma = 188,
  KeyMinus = 189,
  KeyPeriod = 190,
  KeySlash = 191,
  KeyBackquote = 192,
  KeyLeftBracket = 219,
  KeyBackslash = 220,
  KeyRightBracket = 221,
  KeyQuote = 222,
  KeyOem102 = 226,
};
constexpr int KeyCodeCount = 256;
constexpr int MouseButtonCount = 3;  // 1 left, 2 right

// Game controller buttons, of whichever controller is plugged in. The directions come from
// the pad and the left stick.
enum : int {
  PadUp,
  PadDown,
  PadLeft,
  PadRight,
  PadA,
  PadB,
  PadX,
  PadY,
  PadStart,
  PadBack,
  PadButtonCount
};
// The key a controller button also presses, so menus and message boxes work with it:
// the directions are the arrow keys, A is Enter, Start is F1 and Back is Esc; 0 for none.
int PadButtonKey(int button);

// Keyboard and mouse state as the game sees it, fed by the backend from its events.
class TInputState {
 public:
  // Events.
  void KeyPressed(int code);  // adds a hit and marks the key down
  void KeyReleased(int code);
  void CharTyped(int ch);
  void MouseMoved(int windowX, int windowY);
  void MouseButton(int button, bool down);
  // A controller button changed: its own state, and its key (PadButtonKey) with it.
  void PadButton(int button, bool down);

  // Queries.
  int KeyHit(int code);  // hits since the last read; reading clears them
  bool KeyDown(int code) const;
  int PeekKeyHits(int code) const;
  int NextChar();  // the oldest typed character, 0 when none
  int MouseWindowX() const { return MouseX; }
  int MouseWindowY() const { return MouseY; }
  int MouseHit(int button);
  bool MouseDown(int button) const;
  bool PadDown(int button) const;
  void Flush();      // forgets hits, down states, typed characters and mouse buttons
  void FlushHits();  // forgets hits and typed characters, keeps down states
  // Pressed since the last ClearTaps, even if let go again since: the game loop lets a
  // tap between two ticks count for the next tick.
  bool KeyTapped(int code) const;
  bool PadTapped(int button) const;
  void ClearTaps();

 private:
  int Hits[KeyCodeCount] = {};
  bool Down[KeyCodeCount] = {};
  int MouseHits[MouseButtonCount] = {};
  bool MouseIsDown[MouseButtonCount] = {};
  bool PadIsDown[PadButtonCount] = {};
  bool Tapped[KeyCodeCount] = {};
  bool PadWasTapped[PadButtonCount] = {};
  int MouseX = 0, MouseY = 0;
  std::deque<int> Chars;
};

// A sound ready to play (8-bit samples or a decoded file); backends derive from it.
class TSound {
 public:
  virtual ~TSound() = default;
  uint32_t LengthMs = 0;
  std::string Name;
};
using PSound = std::shared_ptr<TSound>;

class TPlatform {
 public:
  virtual ~TPlatform();

  // --- Window -------------------------------------------------------------------------
  // depth 0 opens a window, any other value a full screen. False when it cannot open.
  virtual bool OpenWindow(int width, int height, int depth, int hertz) = 0;
  virtual void CloseWindow() = 0;
  virtual bool WindowIsOpen() const = 0;
  int WindowWidth() const { return WinWidth; }
  int WindowHeight() const { return WinHeight; }
  int WindowDepth() const { return WinDepth; }
  virtual void SetWindowTitle(const std::string& title) = 0;
  virtual bool CloseRequested() = 0;  // the user asked to close the window
  virtual bool Suspended() = 0;       // minimised or not focused
  virtual void ShowMessageBox(const std::string& title, const std::string& text) = 0;
  virtual void ToggleFullScreen() {}
  // The refresh rate of the display the window is on (60 when unknown).
  virtual int DisplayHertz() { return 60; }
  // The desktop area a window can take (without task bars); false when unknown.
  virtual bool UsableDesktopSize(int& width, int& height) {
    (void)width;
    (void)height;
    return false;
  }

  // --- Logical screen -----------------------------------------------------------------
  void SetVirtualResolution(int w, int h);
  void SetVirtualResolutionAspect(int w, int h, float aspect, bool wholeFactor = false);
  int VirtualWidth() const { return VirtWidth; }
  int VirtualHeight() const { return VirtHeight; }
  const TViewTransform& View() const { return CurrentView; }
  // The window rectangle that the logical screen covers.
  TRect PictureRect() const;
  // Drawing scale in window pixels per unit, replacing the logical scale until the next
  // SetVirtualResolution / RestoreLogicalScale (used for the side bars).
  void SetRawScale(float scaleX, float scaleY, int offsetX, int offsetY);
  void RestoreLogicalScale();

  // --- Drawing state and commands (logical coordinates) -------------------------------
  void SetColour(uint32_t rgb) { Colour = rgb & 0xFFFFFF; }
  void SetColour(int r, int g, int b) {
    Colour = uint32_t((r & 255) << 16 | (g & 255) << 8 | (b & 255));
  }
  uint32_t GetColour() const { return Colour; }
  void SetAlpha(float alpha) { Alpha = alpha; }
  float GetAlpha() const { return Alpha; }
  void SetScale(float x, float y) {
    ImageScaleX = x;
    ImageScaleY = y;
  }
  float GetScaleX() const { return ImageScaleX; }
  float GetScaleY() const { return ImageScaleY; }
  // Clipping in logical coordinates (converted to window pixels now).
  void SetClip(float x, float y, float w, float h);
  void SetClipWindow(const TRect& windowRect);
  void ResetClip();  // the whole picture area
  const TRect& Clip() const { return ClipRect; }

  void Clear(uint32_t rgb = 0);
  void DrawImage(const PImage& image, float x, float y, int frame = 0);
  void DrawRect(float x, float y, float w, float h);
  // Copies the window rectangle of what has been drawn so far to the capture buffer.
  void CaptureRegion(const TRect& windowRect);
  // Draws the window rectangle src of the capture buffer at window position (x, y).
  void DrawCaptured(const TRect& src, int x, int y);
  const std::vector<TDrawCommand>& PendingCommands() const { return Commands; }
  // Hands the pending commands over (none remain) and installs a list to present instead.
  std::vector<TDrawCommand> TakeCommands();
  void SetCommands(std::vector<TDrawCommand> commands) { Commands = std::move(commands); }
  // Commands drawn until EndTrack get the tracks (base << 8) + 1, + 2, ... in order.
  void BeginTrack(uint64_t base, bool moveClip = false);
  void EndTrack() { TrackBase = 0; }

  // --- Presentation -------------------------------------------------------------------
  // Executes the command list, shows the back buffer (waiting for the vertical refresh
  // when vsync), starts a new command list, and polls events (unless poll is false).
  void Flip(bool vsync, bool poll = true);
  // Executes the pending commands and reads back a window rectangle (synchronous; for
  // calibration and screenshots only). Empty pixmap when nothing can be read.
  TPixmap ReadPixels(const TRect& windowRect);
  TPixmap Screenshot() { return ReadPixels({0, 0, WinWidth, WinHeight}); }
  uint64_t FramesShown() const { return FrameCounter; }

  // --- Input --------------------------------------------------------------------------
  TInputState& Input() { return InputState; }
  virtual void PollEvents() = 0;
  // Mouse position in logical coordinates.
  int MouseX() const;
  int MouseY() const;

  // --- Time ---------------------------------------------------------------------------
  virtual uint32_t Millisecs() = 0;
  virtual void Sleep(int ms) = 0;

  // --- Audio --------------------------------------------------------------------------
  virtual bool OpenAudio() = 0;  // false: no device, the game stays silent
  virtual bool AudioIsOpen() const = 0;
  // 8-bit unsigned mono samples at the given rate.
  virtual PSound CreateSound(const std::vector<uint8_t>& samples, int rate) = 0;
  virtual PSound LoadSoundFile(const std::string& path) = 0;  // WAVE or Ogg Vorbis
  // Plays on the given channel (-1: a free one). Returns the channel, -1 on failure.
  virtual int PlaySound(const PSound& sound, int channel, bool loop) = 0;
  virtual void StopChannel(int channel) = 0;  // -1: all channels
  virtual bool ChannelPlaying(int channel) = 0;
  virtual bool PlayMusicFile(const std::string& path, bool loop) = 0;
  virtual void StopMusic() = 0;
  virtual bool MusicPlaying() = 0;

 protected:
  // Backend hooks for presentation and read-back.
  virtual void ExecuteCommands(const std::vector<TDrawCommand>& commands) = 0;
  virtual void SwapWindow(bool vsync) = 0;
  virtual TPixmap ReadBack(const TRect& windowRect) = 0;
  void WindowResized(int width, int height);  // the logical screen follows
  void ResetDrawingState();

  int WinWidth = 0, WinHeight = 0, WinDepth = 0;

 private:
  void Append(TDrawCommand command);

  int VirtWidth = 0, VirtHeight = 0;
  float VirtAspect = 0;  // 0: plain SetVirtualResolution
  bool VirtWholeFactor = false;
  uint64_t TrackBase = 0;
  uint32_t TrackCount = 0;
  bool TrackMovesClip = false;
  TViewTransform CurrentView;
  TViewTransform LogicalView;
  uint32_t Colour = 0xFFFFFF;
  float Alpha = 1;
  float ImageScaleX = 1, ImageScaleY = 1;
  TRect ClipRect;
  std::vector<TDrawCommand> Commands;
  TInputState InputState;
  uint64_t FrameCounter = 0;
};

// Tracks what is drawn while it lives (see TPlatform::BeginTrack); the clip moves along.
class TTrackScope {
 public:
  TTrackScope(TPlatform& platform, uint64_t base) : Target(platform) {
    Target.BeginTrack(base, true);
  }
  ~TTrackScope() { Target.EndTrack(); }
  TTrackScope(const TTrackScope&) = delete;
  TTrackScope& operator=(const TTrackScope&) = delete;

 private:
  TPlatform& Target;
};

// The current platform. Set once by the program (or a test) before anything draws.
TPlatform& Platform();
bool HasPlatform();
void SetPlatform(std::unique_ptr<TPlatform> platform);
// Installs platform (may be null) and hands back the one that was current.
std::unique_ptr<TPlatform> ExchangePlatform(std::unique_ptr<TPlatform> platform);

// Backends.
std::unique_ptr<TPlatform> CreateSdlPlatform();
