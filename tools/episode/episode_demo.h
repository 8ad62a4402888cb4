// The episode's shipped demo, made from the route of the level it is played on.
#pragma once

#include <string>

// Writes the records of the route file as a demo file (the format the program records).
// False with a reason when the route cannot be read, is empty or does not fit a demo.
bool WriteEpisodeDemo(const std::string& routePath, const std::string& demoPath,
                      std::string& error);
