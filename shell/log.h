// The log file "log.txt" in the working directory (or the player's directory, see
// shell/places.h), opened by the first log call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void LogLine(const std::string& text);
void LogText(const std::string& text);
// The lines of this run that began with "ERROR" (the first hundred).
const std::vector<std::string>& LoggedErrors();
void OpenLog();
void CloseLog();  // program end: pending error block, "Closed: " line
bool LogIsOpen();
void SetPendingError(const std::string& text);
void ClearPendingError();
const std::string& PendingError();

std::string Digits(int32_t value, uint8_t count);
std::string HexDigits(int64_t value, uint8_t count);

// Ends the program now: CloseLog, then the exit hook (normally std::exit).
[[noreturn]] void EndProgram(int status);
// Tests replace the exit with their own (it must not return).
using TExitHook = void (*)(int status);
void SetExitHook(TExitHook hook);
