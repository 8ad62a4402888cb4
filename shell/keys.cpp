#include "shell/keys.h"

#include <array>

#include "data/stream.h"
#include "data/text.h"
#include "platform/platform.h"
#include "shell/log.h"
#include "shell/places.h"
#include "shell/settings.h"
#include "shell/strings.h"

TIniParser ConfigIni;

namespace {

std::array<std::vector<int>, 256> BuildTable() {
  std::array<std::vector<int>, 256> t;
  t[1] = {KeyEscape};
  for (int i = 2; i <= 10; ++i) t[size_t(i)] = {'1' + (i - 2)};
  t[11] = {'0'};
  t[12] = {KeyMinus};
  t[13] = {KeyEquals};
  t[14] = {KeyBackspace};
  t[15] = {KeyTab};
  const char* row1 = "QWERTYUIOP";
  for (int i = 0; i < 10; ++i) t[size_t(16 + i)] = {row1[i]};
  t[26] = {KeyLeftBracket};
  t[27] = {KeyRightBracket};
  t[28] = {KeyEnter};
  t[29] = {KeyLeftControl, KeyRightControl};
  const char* row2 = "ASDFGHJKL";
  for (int i = 0; i < 9; ++i) t[size_t(30 + i)] = {row2[i]};
  t[39] = {KeySemicolon};
  t[40] = {KeyQuote};
  t[41] = {KeyBackquote};
  t[42] = {KeyLeftShift};
  t[43] = {KeyOem102};
  const char* row3 = "ZXCVBNM";
  for (int i = 0; i < 7; ++i) t[size_t(44 + i)] = {row3[i]};
  t[51] = {KeyComma};
  t[52] = {KeyPeriod};
  t[53] = {KeySlash, KeyDivide};
  t[54] = {KeyRightShift};
  t[56] = {KeyLeftAlt, KeyRightAlt};
  t[57] = {KeySpace};
  t[58] = {KeyCapsLock};
  for (int i = 0; i < 10; ++i) t[size_t(59 + i)] = {KeyF1 + i};
  t[69] = {KeyNumLock};
  t[70] = {KeyScrollLock};
  t[71] = {KeyNumpad0 + 7, KeyHome};
  t[72] = {KeyNumpad0 + 8, KeyUp};
  t[73] = {KeyNumpad0 + 9, KeyPageUp};
  t[74] = {KeySubtract};
  t[75] = {KeyNumpad0 + 4, KeyLeft};
  t[76] = {KeyNumpad0 + 5};
  t[77] = {KeyNumpad0 + 6, KeyRight};
  t[78] = {KeyAdd};
  t[79] = {KeyNumpad0 + 1, KeyEnd};
  t[80] = {KeyNumpad0 + 2, KeyDown};
  t[81] = {KeyNumpad0 + 3, KeyPageDown};
  t[82] = {KeyNumpad0, KeyInsert};
  t[83] = {KeyDecimal, KeyDelete};
  t[87] = {KeyF11};
  t[88] = {KeyF12};
  return t;
}

const std::array<std::vector<int>, 256>& Table() {
  static const std::array<std::vector<int>, 256> table = BuildTable();
  return table;
}

}  // namespace

const std::vector<int>& ScanCodeKeys(int scanCode) {
  static const std::vector<int> none;
  return scanCode >= 0 && scanCode < 256 ? Table()[size_t(scanCode)] : none;
}

int ScanHit(int scanCode) {
  int hits = 0;
  for (int key : ScanCodeKeys(scanCode)) hits += Platform().Input().KeyHit(key);
  return hits;
}

bool ScanDown(int scanCode) {
  for (int key : ScanCodeKeys(scanCode))
    if (Platform().Input().KeyDown(key)) return true;
  return false;
}

bool ScanTapped(int scanCode) {
  for (int key : ScanCodeKeys(scanCode))
    if (Platform().Input().KeyTapped(key)) return true;
  return false;
}

void ReadPlayInputs(uint8_t inputs[6]) {
  TInputState& in = Platform().Input();
  auto key = [&](int index) {
    return ScanDown(PlaySettings().PlayKeys[index]) ||
           (Options().LatchTaps && ScanTapped(PlaySettings().PlayKeys[index]));
  };
  auto pad = [&](int button) {
    return in.PadDown(button) || (Options().LatchTaps && in.PadTapped(button));
  };
  inputs[KeyIndexUp] = key(KeyIndexUp) || pad(PadUp);
  inputs[KeyIndexDown] = key(KeyIndexDown) || pad(PadDown);
  inputs[KeyIndexLeft] = key(KeyIndexLeft) || pad(PadLeft);
  inputs[KeyIndexRight] = key(KeyIndexRight) || pad(PadRight);
  inputs[KeyIndexFire] = key(KeyIndexFire) || pad(PadB) || pad(PadX);
  inputs[KeyIndexJump] = key(KeyIndexJump) || pad(PadA);
  in.ClearTaps();
}

int FirstScanHit() {
  for (int code = 1; code < 256; ++code)
    if (ScanHit(code)) return code;
  return 0;
}

std::string KeysFileName() { return PlayerFile(TPlace::GameDir, "KEYS" + Options().GameExt); }

void LoadConfig() {
  ConfigIni.LoadIniFile(PlayerFileToRead(TPlace::WorkDir, "Zyntra.ini"), true);
  PlaySettings().Speed = uint8_t(ConfigIni.GetInt("game", "speed", 16) & 0xFF);
  // An addition of ours: 0 gives the mirrors their classic look.
  StartUpOptions().MirrorSheen = ConfigIni.GetInt("video", "mirrorsheen", 1) != 0;
  StartUpOptions().LatchTaps = ConfigIni.GetInt("input", "latch", 1) != 0;
  StartUpOptions().SmoothMotion = ConfigIni.GetInt("video", "smooth", 1) != 0;
  StartUpOptions().SharpScaling =
      LowerCase(ConfigIni.GetString("video", "scale", "sharp")) != "stretch";
  std::string name = PlayerFileToRead(TPlace::GameDir, "KEYS" + Options().GameExt);
  LogText("LoadConfig :: Trying to load key settings from \"" + name + "\" ... ");
  PStream file = ReadStream(name);
  bool ok = false;
  if (file) {
    // A file shorter than six bytes is not trusted at all: every key keeps its default.
    // Only the first six bytes are ever read, whatever the file's size.
    uint8_t keys[6];
    try {
      file->ReadBytes(keys, 6);
      for (int i = 0; i < 6; ++i) PlaySettings().PlayKeys[i] = keys[i];
      ok = true;
    } catch (const TStreamError&) {
    }
    file->Close();
  }
  if (ok) {
    LogLine("ok.");
    return;
  }
  LogLine("ERROR");
  LogLine("  Using default keys instead.");
  for (int i = 0; i < 6; ++i) PlaySettings().PlayKeys[i] = DefaultPlayKeys[i];
}

void SaveConfig() {
  ConfigIni.SetInt("game", "speed", PlaySettings().Speed);
  ConfigIni.SaveIniFile(PlayerFile(TPlace::WorkDir, "Zyntra.ini"));
  WriteFileAtomically(KeysFileName(),
                      std::vector<uint8_t>(PlaySettings().PlayKeys, PlaySettings().PlayKeys + 6));
}
