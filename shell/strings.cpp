// String tables: parsing, serving, exporting, and the program-wide texts.
#include "shell/strings.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "data/text.h"
#include "shell/log.h"
#include "shell/settings.h"

std::string GameTitleText;
std::vector<std::string> KeyNamesList;
std::vector<std::string> LevelList;
std::vector<std::string> BackdropList;
std::string LoadingText, VersionText;
std::string QuitText, RestartText, GoingInText;
std::string MainMenuText, HelpMenuText, GameSetupText, KeyboardModeText;
std::string JoystickText = " Sorry, not implemented!";
int JoystickRows = 1;
std::string RestoreText, NotFoundText, SaveText, SavedText, NotSavedText, CannotSaveText;
std::string ModKeyText[6];
std::string InstructionsText, Story1Text, Story2Text, Keyboard1Text;
std::string Info1Text, Info2Text, Order1Text, Order2Text;
std::string CheatText, AnyKeyText, PausedText, HintOffText, HintOnText;
std::string SoundOffText, SoundOnText, DiedText, PressEnterText;
std::string HighScoreText, HighScoresText, NoDemoText;
std::string DemoText;
std::string Intro1Text, Intro2Text, ExtroText;
std::string Extro1Text, Extro2Text, Extro3Text, Extro4Text;
std::string FinaleText;
int FinaleLineCount = 0;
std::string DemoTextLine;
std::string HintText[HintCount];
int HintLineCount[HintCount] = {};
std::vector<std::string> MessageText;
std::vector<int> MessageLineCount;

namespace {

// Drops characters with codes up to 32 at both ends.
std::string Trim(const std::string& text) {
  auto blank = [](char ch) { return static_cast<unsigned char>(ch) <= 32; };
  size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// A table line as it is examined: trimmed, tabs turned into spaces.
std::string Examined(const std::string& line) {
  std::string text = Trim(line);
  for (char& ch : text)
    if (ch == '\t') ch = ' ';
  return text;
}

// The integer at the start of text the way C's atoi reads it (leading white space, an
// optional sign, digits), saturated instead of overflowing.
int64_t LeadingCount(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return negative ? -value : value;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += separator;
    text += lines[i];
  }
  return text;
}

void LogLookup(const char* what, const std::string& key, bool found) {
  LogText(std::string("StringReader :: Loading ") + what + " for \"" + key + "\"... ");
  if (found) {
    LogLine("ok");
  } else {
    LogLine("ERROR");
    LogLine("");
  }
}

}  // namespace

bool TStringReader::LoadFile(const std::string& name, bool clear) {
  return LoadFile(ReadStream(name), clear);
}

bool TStringReader::LoadFile(const PStream& stream, bool clear) {
  if (clear || !EntryMap) EntryMap.emplace();
  if (!stream) return false;
  // Bound of one string table: 4 MB, read once line by line (ours are a few kilobytes).
  constexpr int64_t MaxStringTableBytes = int64_t(4) << 20;
  if (stream->Size() > MaxStringTableBytes) return false;
  try {
    while (!stream->Eof()) {
      const std::string line = Examined(stream->ReadLine());
      if (line.empty() || line[0] == '%') continue;
      const size_t space = line.find(' ');
      if (space == std::string::npos) continue;
      const int64_t count = LeadingCount(line.substr(0, space));
      if (count <= 0) continue;  // not a header: the next lines are examined as usual
      TStringEntry entry;
      entry.Name = UpperCase(Trim(line.substr(space + 1)));
      entry.LineCount = int(count < MaxStringEntryLines ? count : MaxStringEntryLines);
      entry.Lines.reserve(size_t(entry.LineCount) < 256 ? size_t(entry.LineCount) : 256);
      // The lines of the last entry may run past the end of the file: they are empty.
      for (int i = 0; i < entry.LineCount; ++i)
        entry.Lines.push_back(stream->Eof() ? std::string() : stream->ReadLine());
      const std::string key = entry.Name;
      (*EntryMap)[key] = std::move(entry);
    }
  } catch (const TStreamError&) {
    // A read failure ends the file; what was read so far stays.
  }
  return true;
}

bool TStringReader::SaveFile(const std::string& name, const std::string& separator) {
  PStream stream = WriteStream(name);
  if (!stream) return false;
  const bool ok = SaveFile(stream, separator);
  stream->Close();
  return ok;
}

bool TStringReader::SaveFile(const PStream& stream, const std::string& separator) {
  if (!stream) return false;
  if (!EntryMap) return true;
  try {
    for (auto& [key, entry] : *EntryMap) {
      if (entry.Saved) continue;
      stream->WriteLine(std::to_string(entry.LineCount) + " " + key);
      for (const std::string& line : entry.Lines) stream->WriteLine(line);
      if (!separator.empty()) stream->WriteLine(separator);
      entry.Saved = true;
    }
  } catch (const TStreamError&) {
    return false;
  }
  return true;
}

void TStringReader::Close() { EntryMap.reset(); }

const TStringEntry* TStringReader::Find(const std::string& key) const {
  if (!EntryMap) return nullptr;
  auto found = EntryMap->find(UpperCase(Trim(key)));
  return found == EntryMap->end() ? nullptr : &found->second;
}

std::string TStringReader::GetLines(const std::string& key) const {
  const TStringEntry* entry = Find(key);
  LogLookup("lines", key, entry != nullptr);
  if (!entry) return "";
  return Patched(Joined(entry->Lines, "\n"));
}

std::string TStringReader::GetLine(const std::string& key) const {
  const TStringEntry* entry = Find(key);
  LogLookup("line", key, entry != nullptr);
  if (!entry) return "";
  return Patched(Joined(entry->Lines, ""));
}

std::vector<std::string> TStringReader::GetArray(const std::string& key) const {
  const TStringEntry* entry = Find(key);
  LogLookup("strings", key, entry != nullptr);
  if (!entry) return {};
  return entry->Lines;
}

std::string TStringReader::Patched(const std::string& text) const {
  return PatchFunction ? PatchFunction(text) : text;
}

int TStringReader::GetLineCount(const std::string& key) const {
  const TStringEntry* entry = Find(key);
  return entry ? entry->LineCount : 0;
}

void TStringReader::List() const {
  if (!EntryMap) return;
  for (const auto& [key, entry] : *EntryMap) {
    std::fputs((key + "\n").c_str(), stdout);
    for (const std::string& line : entry.Lines) std::fputs(("\t" + line + "\n").c_str(), stdout);
    std::fputs("\n", stdout);
  }
  std::fflush(stdout);
}

std::string PatchName(const std::string& text, int& count) {
  std::string result = text;
  count = 0;
  int state = 0;  // how much of "TOVU" has just been seen
  for (size_t i = 0; i < result.size(); ++i) {
    const char ch = result[i];
    const char upper = (ch >= 'a' && ch <= 'z') ? char(ch - 'a' + 'A') : ch;
    if (upper == 'T') {
      state = 1;
    } else if (upper == 'O' && state == 1) {
      state = 2;
    } else if (upper == 'V' && state == 2) {
      state = 3;
    } else if (upper == 'U' && state == 3) {
      state = 4;
    } else if (upper == 'R' && state == 4) {
      result[i - 1] = result[i - 1] == 'U' ? 'A' : 'a';
      ++count;
      state = 0;
    } else {
      state = 0;
    }
  }
  return result;
}

std::string NamePatch(const std::string& text) {
  LogText("   Patching \"TOVUR\" to \"TOVAR\"... ");
  int count = 0;
  std::string result = PatchName(text, count);
  LogLine(std::to_string(count) + " substring" + (count == 1 ? "" : "s") + " replaced.");
  return result;
}

namespace {

// The text of a hint or note, padded to lines - 1 line breaks before "press_enter".
std::string Padded(const std::string& text, int lineCount, int lines) {
  std::string result = text;
  if (lineCount < lines) result += std::string(size_t(lines - lineCount), '\n');
  return result + PressEnterText;
}

void FetchStrings(const TStringReader& reader) {
  GameTitleText = reader.GetLines("game_title");
  KeyNamesList = reader.GetArray("keynames");
  LevelList = reader.GetArray("levels");
  BackdropList = reader.GetArray("backdrops");
  LoadingText = reader.GetLines("loading");
  VersionText = reader.GetLines("version");
  QuitText = reader.GetLines("quit");
  RestartText = reader.GetLines("restart");
  GoingInText = reader.GetLines("going_in");
  MainMenuText = reader.GetLines("main_menu");
  HelpMenuText = reader.GetLines("help_menu");
  GameSetupText = reader.GetLines("game_setup");
  if (reader.GetLineCount("joystick") > 0) {
    JoystickText = reader.GetLines("joystick");
    JoystickRows = (reader.GetLineCount("joystick") + 1) / 2;
  }
  KeyboardModeText = reader.GetLines("keyboard_mode");
  RestoreText = reader.GetLines("restore");
  NotFoundText = reader.GetLines("not_found");
  SaveText = reader.GetLines("save");
  SavedText = reader.GetLines("saved");
  NotSavedText = reader.GetLines("not_saved");
  CannotSaveText = reader.GetLines("cannot_save");
  for (int i = 0; i < 6; ++i) ModKeyText[i] = reader.GetLines("mod_key" + std::to_string(i + 1));
  InstructionsText = reader.GetLines("instructions");
  Story1Text = reader.GetLines("story1");
  Story2Text = reader.GetLines("story2");
  Keyboard1Text = reader.GetLines("keyboard1");
  Info1Text = reader.GetLines("info1");
  Info2Text = reader.GetLines("info2");
  Order1Text = reader.GetLines("order1");
  Order2Text = reader.GetLines("order2");
  CheatText = reader.GetLines("cheat");
  AnyKeyText = reader.GetLines("any_key");
  PausedText = reader.GetLines("paused");
  HintOffText = reader.GetLines("hint_off");
  HintOnText = reader.GetLines("hint_on");
  SoundOffText = reader.GetLines("sound_off");
  SoundOnText = reader.GetLines("sound_on");
  DiedText = reader.GetLines("died");
  PressEnterText = reader.GetLines("press_enter");
  HighScoreText = reader.GetLines("high_score");
  HighScoresText = reader.GetLines("high_scores");
  NoDemoText = reader.GetLines("no_demo");
  Intro1Text = reader.GetLines("intro1");
  Intro2Text = reader.GetLines("intro2");
  Extro1Text = reader.GetLines("extro1");
  Extro2Text = reader.GetLines("extro2");
  Extro3Text = reader.GetLines("extro3");
  Extro4Text = reader.GetLines("extro4");
  ExtroText = reader.GetLines("extro");
  FinaleText = reader.GetLines("finale");
  FinaleLineCount = reader.GetLineCount("finale");
  DemoTextLine = reader.GetLine("demotext");
  DemoText = DemoTextLine;

  for (int n = 0; n < HintCount; ++n) {
    const std::string key = "hint_" + std::to_string(n);
    HintLineCount[n] = reader.GetLineCount(key);
    HintText[n] = Padded(reader.GetLines(key), HintLineCount[n], 4);
  }
  MessageText.clear();
  MessageLineCount.clear();
  for (size_t n = 0; n < LevelList.size(); ++n) {
    const std::string key = "message_" + std::to_string(n);
    MessageLineCount.push_back(reader.GetLineCount(key));
    MessageText.push_back(Padded(reader.GetLines(key), MessageLineCount.back(), 6));
  }
}

// Writes lines to the export file; a failed write only ends the export.
bool WriteExportLines(const PStream& stream, const std::vector<std::string>& lines) {
  try {
    for (const std::string& line : lines) stream->WriteLine(line);
  } catch (const TStreamError&) {
    return false;
  }
  return true;
}

}  // namespace

void LoadStrings(const std::string& name) {
  TStringReader reader;
  LogLine("LoadStrings() started");
  LogText("Loading shared strings ... ");
  if (reader.LoadFile("incbin::SHARED.TXT", false)) {
    LogLine("ok.");
  } else {
    LogLine("ERROR!");
    LogLine("This build of Zyntra appears to be broken...");
    LogLine("");
  }

  const std::string banner(79, '%');
  const std::string separator(40, '%');
  PStream exportFile;
  if (Options().ExportMode) {
    exportFile = WriteStream("_" + name);
    if (exportFile &&
        (!WriteExportLines(exportFile, {banner, "%  Shared Strings (All Episodes)", banner}) ||
         !reader.SaveFile(exportFile, separator))) {
      exportFile->Close();
      exportFile.reset();
    }
  }

  LogLine(
      "Loading Episode-specific strings. Strings from later files can override strings "
      "already read.");
  const std::string candidates[3] = {"incbin::" + UpperCase(name), name, Options().GameDir + name};
  bool loaded = false;
  for (int i = 0; i < 3; ++i) {
    LogText("   Trying to open \"" + candidates[i] + "\"... ");
    if (reader.LoadFile(candidates[i], false)) {
      LogLine("ok.");
      loaded = true;
    } else {
      LogLine("failed.");
    }
    if (i == 0 && exportFile) {
      // Only what the built-in episode table added or replaced is still unsaved.
      if (WriteExportLines(
              exportFile,
              {"", banner,
               "%  Episode-Specific Strings for \"" + UpperCase(Options().GameExt) + "\"", banner}))
        reader.SaveFile(exportFile, separator);
      exportFile->Close();
      exportFile.reset();
    }
  }

  if (Options().PatchText) reader.PatchFunction = NamePatch;

  if (!loaded) {
    LogLine("ERROR :: LoadStrings :: could not find any version of \"" + name +
            "\"! The game will crash.");
    LogLine("");
  } else {
    FetchStrings(reader);
    reader.Close();
  }
  LogLine("LoadStrings() terminated");
  LogLine("");
}

std::string KeyName(int scanCode) {
  if (scanCode >= 0 && scanCode < int(KeyNamesList.size()) &&
      !KeyNamesList[size_t(scanCode)].empty())
    return KeyNamesList[size_t(scanCode)];
  return "KEY #" + std::to_string(scanCode);
}

void SetKeyNames(const std::vector<std::string>& names) { KeyNamesList = names; }
