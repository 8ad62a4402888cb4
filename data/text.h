// Text helpers shared by every layer.
#pragma once

#include <string>

// ASCII letters only: file names, options, keys and INI names of the game are ASCII.
inline std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

inline std::string LowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}
