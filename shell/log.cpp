// The log file and the small formatting helpers.
#include "shell/log.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "shell/places.h"
#include "shell/settings.h"

namespace {

FILE* LogFile = nullptr;
bool LineOpen = false;  // the last write was LogText: the line still lacks its end
bool ExitHandlerRegistered = false;
std::string Pending;
TExitHook ExitHook = nullptr;
std::vector<std::string> Errors;  // the "ERROR" lines of this run

// "%d %b %Y - %H:%M:%S" of the local time now.
std::string DateAndTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[64] = {};
  char time[64] = {};
  std::strftime(date, sizeof date, "%d %b %Y", &local);
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return std::string(date) + " - " + time;
}

void Write(const std::string& text, bool lineEnd) {
  if (!LogFile) return;
  std::fwrite(text.data(), 1, text.size(), LogFile);
  if (lineEnd) std::fwrite("\r\n", 1, 2, LogFile);
  std::fflush(LogFile);
  LineOpen = !lineEnd && (LineOpen || !text.empty());
}

void CloseLogAtExit() { CloseLog(); }

}  // namespace

void OpenLog() {
  if (LogFile) return;
  LogFile = std::fopen(PlayerFile(TPlace::WorkDir, "log.txt").c_str(), "wb");
  if (!LogFile) return;  // no log this time; the next call tries again
  LineOpen = false;
  if (!ExitHandlerRegistered) {
    // Programs that end through std::exit still get their "Closed: " line.
    ExitHandlerRegistered = true;
    std::atexit(CloseLogAtExit);
  }
  const std::string title = Options().WindowTitle + " - Log File";
  Write(title, true);
  Write(std::string(title.size(), '='), true);
  Write("Created: " + DateAndTime(), true);
  Write("", true);
}

void LogLine(const std::string& text) {
  OpenLog();
  Write(text, true);
  if (text.rfind("ERROR", 0) == 0 && Errors.size() < 100) Errors.push_back(text);
}

const std::vector<std::string>& LoggedErrors() { return Errors; }

void LogText(const std::string& text) {
  OpenLog();
  Write(text, false);
}

void CloseLog() {
  if (!LogFile) return;
  // A line begun with LogText and never completed (a step that failed half-way) is ended
  // first, so the blocks below start on lines of their own.
  if (LineOpen) Write("", true);
  if (!Pending.empty()) {
    Write("", true);
    Write(std::string(40, '='), true);
    Write(Pending, true);
    Write(std::string(40, '='), true);
  }
  Write("", true);
  Write("Closed: " + DateAndTime(), true);
  std::fclose(LogFile);
  LogFile = nullptr;
  LineOpen = false;
}

bool LogIsOpen() { return LogFile != nullptr; }

void SetPendingError(const std::string& text) { Pending = text; }

void ClearPendingError() { Pending.clear(); }

const std::string& PendingError() { return Pending; }

std::string Digits(int32_t value, uint8_t count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text.insert(0, std::to_string(value % 10));
    value /= 10;
  }
  return text;
}

std::string HexDigits(int64_t value, uint8_t count) {
  static const char HexChars[] = "0123456789ABCDEF";
  std::string text(count, '0');
  // Unsigned, so that a negative value is padded with zeros beyond its 16 digits.
  uint64_t bits = uint64_t(value);
  for (int i = count - 1; i >= 0; --i) {
    text[size_t(i)] = HexChars[bits & 15];
    bits >>= 4;
  }
  return text;
}

void SetExitHook(TExitHook hook) { ExitHook = hook; }

void EndProgram(int status) {
  CloseLog();
  if (ExitHook) ExitHook(status);
  std::exit(status);
}
