// Turns the sources of our episode into a game directory for the extension .QZ1.
#pragma once

#include <string>
#include <vector>

struct TEpisodeBuild {
  std::vector<std::string> Errors;    // a source that does not parse: nothing is trusted
  std::vector<std::string> Warnings;  // a source that is missing: its file is not written
  std::vector<std::string> Written;   // file names written, in order
};

// False when any source failed to parse or a file could not be written.
bool BuildEpisode(const std::string& sourceDir, const std::string& outputDir, TEpisodeBuild& build);
