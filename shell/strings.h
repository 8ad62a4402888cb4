// String tables: the texts the player sees and the per-episode file lists, read from
// plain-text tables (the embedded "SHARED.TXT" and "STRINGS" + extension + ".TXT",
// overridable from the working and game directories).
//
// Table format, line by line (each line trimmed of codes <= 32 and tabs turned into
// spaces before it is examined):
//   "% ..."            a comment
//   "<count> <key>"    a header: the next count lines, exactly as read, belong to the key
// Anything else is ignored. A later entry of the same key replaces the earlier one.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/stream.h"

class TStringEntry {
 public:
  int Offset = 0;  // unused
  int LineCount = 0;
  std::string Name;  // upper case
  std::vector<std::string> Lines;
  bool Saved = false;  // already written by SaveFile
};

class TStringReader {
 public:
  using TEntryMap = std::map<std::string, TStringEntry>;
  using TPatchFunction = std::function<std::string(const std::string&)>;

  // No map until the first LoadFile; Close drops it again.
  std::optional<TEntryMap> EntryMap;
  // Applied to the results of GetLines and GetLine.
  TPatchFunction PatchFunction = [](const std::string& text) { return text; };

  TStringReader() = default;
  virtual ~TStringReader() = default;

  // Adds the entries of a table (after emptying the map when clear). False when the file
  // cannot be opened.
  virtual bool LoadFile(const std::string& name, bool clear);
  virtual bool LoadFile(const PStream& stream, bool clear);
  // Writes every entry not yet saved, in key order: "count KEY", its lines, then the
  // separator line when it is not empty; marks them saved. The named file is created and
  // closed; a given stream stays open. False when the file cannot be created.
  virtual bool SaveFile(const std::string& name, const std::string& separator);
  virtual bool SaveFile(const PStream& stream, const std::string& separator);
  virtual void Close();
  // Lines joined with "\n", patched; "" when missing.
  virtual std::string GetLines(const std::string& key) const;
  // Lines concatenated without separator, patched; "" when missing.
  virtual std::string GetLine(const std::string& key) const;
  // A copy of the lines (not patched); empty when missing.
  virtual std::vector<std::string> GetArray(const std::string& key) const;
  // 0 when missing; not logged.
  virtual int GetLineCount(const std::string& key) const;
  // Every entry to standard output (diagnostics).
  virtual void List() const;

 private:
  const TStringEntry* Find(const std::string& key) const;
  std::string Patched(const std::string& text) const;  // an empty PatchFunction patches nothing
};

// Entries whose header count is larger are cut to this many lines, so that a garbled
// header cannot make the reader allocate without bound.
constexpr int MaxStringEntryLines = 65535;

// The hero's name fix: every "TOVUR" (any case per letter) becomes "TOVAR", keeping the
// case of the replaced letter. Returns the patched text (same length) and the number of
// replacements. Also used for the character cells of the exit screen.
std::string PatchName(const std::string& text, int& count);
// PatchName with its log lines; the reader's PatchFunction with the "patch" option.
std::string NamePatch(const std::string& text);

// Reads the shared table and the episode table name ("STRINGS" + GameExt + ".TXT") and
// fetches every text below. Without any episode table the texts keep their values.
void LoadStrings(const std::string& name);

// Texts and lists of the tables, filled by LoadStrings.
extern std::string GameTitleText;              // "game_title"
extern std::vector<std::string> KeyNamesList;  // "keynames", one per DOS scan code
// The name of a DOS scan code ("KEY #n" for codes without one).
std::string KeyName(int scanCode);
void SetKeyNames(const std::vector<std::string>& names);
extern std::vector<std::string> LevelList;     // "levels", map file per map number
extern std::vector<std::string> BackdropList;  // "backdrops", two per pair of maps
extern std::string LoadingText, VersionText;
extern std::string QuitText, RestartText, GoingInText;
extern std::string MainMenuText, HelpMenuText, GameSetupText, KeyboardModeText;
// The setup menu's joystick entry and the rows of its box.
extern std::string JoystickText;
extern int JoystickRows;
extern std::string RestoreText, NotFoundText, SaveText, SavedText, NotSavedText, CannotSaveText;
extern std::string ModKeyText[6];  // "mod_key1".."mod_key6": up, down, left, right, fire, jump
extern std::string InstructionsText, Story1Text, Story2Text, Keyboard1Text;
extern std::string Info1Text, Info2Text, Order1Text, Order2Text;
extern std::string CheatText, AnyKeyText, PausedText, HintOffText, HintOnText;
extern std::string SoundOffText, SoundOnText, DiedText, PressEnterText;
extern std::string HighScoreText, HighScoresText, NoDemoText;
extern std::string Intro1Text, Intro2Text, ExtroText;
extern std::string Extro1Text, Extro2Text, Extro3Text, Extro4Text;
extern std::string FinaleText;
extern int FinaleLineCount;
extern std::string DemoTextLine;  // "demotext" as one line (also copied to DemoText)
extern std::string DemoText;      // the scroller of the demo (DrawWavyText)
constexpr int HintCount = 12;
// "hint_0".."hint_11", padded to four lines and followed by the "press_enter" text.
extern std::string HintText[HintCount];
extern int HintLineCount[HintCount];
// "message_0".., one per map number, padded to six lines and followed by "press_enter".
extern std::vector<std::string> MessageText;
extern std::vector<int> MessageLineCount;
