// INI files: "[section]" lines, "key = value" lines, ";" comments.
#include "shell/ini_parser.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "data/stream.h"
#include "data/text.h"
#include "shell/log.h"

namespace {

// Drops characters with codes up to 32 (spaces and control characters) at both ends.
std::string Trim(const std::string& text) {
  auto blank = [](char ch) { return static_cast<unsigned char>(ch) <= 32; };
  size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string Format(const char* format, double value) {
  char buffer[64];
  int length = std::snprintf(buffer, sizeof buffer, format, value);
  if (length < 0) return "";
  return std::string(buffer, size_t(std::min(length, int(sizeof buffer) - 1)));
}

}  // namespace

int64_t ParseLeadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t value = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + uint64_t(text[i] - '0');
  return int64_t(negative ? 0 - value : value);
}

void TIniParser::Init() {
  SectionMap.clear();
  Modified = false;
}

void TIniParser::SetIniValue(const std::string& section, const std::string& key,
                             const std::string& value) {
  SectionMap[UpperCase(section)][UpperCase(key)] = value;
}

std::string TIniParser::GetIniValue(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
  auto keys = SectionMap.find(UpperCase(section));
  if (keys == SectionMap.end()) return defaultValue;
  auto entry = keys->second.find(UpperCase(key));
  return entry == keys->second.end() ? defaultValue : entry->second;
}

void TIniParser::LoadIniFile(const std::string& name, bool clear) {
  if (clear) Init();
  PStream stream = ReadStream(name);
  if (!stream) return;
  // Bound of one INI file ("Zyntra.ini", "hrp.ini"): 1 MB, read once line by line, so
  // its map holds at most about that much and loading stays short.
  constexpr int64_t MaxIniBytes = int64_t(1) << 20;
  if (stream->Size() > MaxIniBytes) {
    LogLine("WARNING :: LoadIniFile :: \"" + name + "\" is larger than 1 MB; not read");
    stream->Close();
    return;
  }
  std::string section;
  try {
    while (!stream->Eof()) {
      std::string line = Trim(stream->ReadLine());
      if (line.empty()) continue;
      if (line[0] == '[') {
        // Whatever the last character is, it closes the name.
        section = line.size() > 2 ? Trim(line.substr(1, line.size() - 2)) : "";
      } else if (line[0] == ';' || section.empty()) {
        continue;
      } else {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        SetIniValue(section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
      }
    }
  } catch (const TStreamError&) {
    // A read failure ends the file; what was read so far stays.
  }
  stream->Close();
}

bool TIniParser::SaveIniFile(const std::string& name) {
  TMemoryStream text;
  for (const auto& [section, keys] : SectionMap) {
    text.WriteLine("[" + section + "]");
    size_t width = 0;
    for (const auto& entry : keys) width = std::max(width, entry.first.size());
    for (const auto& [key, value] : keys) {
      std::string padded = LowerCase(key);
      padded.resize(width, ' ');
      text.WriteLine(padded + " = " + value);
    }
    text.WriteLine("");
  }
  return WriteFileAtomically(name, text.Bytes());
}

bool TIniParser::SectionExists(const std::string& section) const {
  return SectionMap.count(UpperCase(section)) != 0;
}

std::string TIniParser::GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const {
  return GetIniValue(section, key, defaultValue);
}

void TIniParser::SetString(const std::string& section, const std::string& key,
                           const std::string& value) {
  SetIniValue(section, key, value);
  Modified = true;
}

int32_t TIniParser::GetInt(const std::string& section, const std::string& key,
                           int32_t defaultValue) const {
  std::string text = GetString(section, key, "");
  return text.empty() ? defaultValue : int32_t(uint32_t(uint64_t(ParseLeadingInteger(text))));
}

void TIniParser::SetInt(const std::string& section, const std::string& key, int32_t value) {
  SetString(section, key, std::to_string(value));
}

int64_t TIniParser::GetLong(const std::string& section, const std::string& key,
                            int64_t defaultValue) const {
  std::string text = GetString(section, key, "");
  return text.empty() ? defaultValue : ParseLeadingInteger(text);
}

void TIniParser::SetLong(const std::string& section, const std::string& key, int64_t value) {
  SetString(section, key, std::to_string(value));
}

float TIniParser::GetFloat(const std::string& section, const std::string& key,
                           float defaultValue) const {
  std::string text = GetString(section, key, "");
  return text.empty() ? defaultValue : std::strtof(text.c_str(), nullptr);
}

void TIniParser::SetFloat(const std::string& section, const std::string& key, float value) {
  SetString(section, key, Format("%#.9g", double(value)));
}

double TIniParser::GetDouble(const std::string& section, const std::string& key,
                             double defaultValue) const {
  std::string text = GetString(section, key, "");
  return text.empty() ? defaultValue : std::strtod(text.c_str(), nullptr);
}

void TIniParser::SetDouble(const std::string& section, const std::string& key, double value) {
  SetString(section, key, Format("%#.17lg", value));
}
