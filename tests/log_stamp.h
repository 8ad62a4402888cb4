// Checks the date stamp of the log's "Created: " and "Closed: " lines.
#pragma once

#include <cctype>
#include <string>

// True when line is prefix + "dd Mon YYYY - HH:MM:SS".
inline bool IsStampLine(const std::string& line, const std::string& prefix) {
  const std::string pattern = "99 Aaa 9999 - 99:99:99";
  if (line.size() != prefix.size() + pattern.size() || line.compare(0, prefix.size(), prefix) != 0)
    return false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[prefix.size() + i]);
    const char p = pattern[i];
    const bool ok = p == '9'   ? std::isdigit(c) != 0
                    : p == 'A' ? std::isupper(c) != 0
                    : p == 'a' ? std::islower(c) != 0
                               : c == static_cast<unsigned char>(p);
    if (!ok) return false;
  }
  return true;
}
