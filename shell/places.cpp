// Where the episode is found and where the player's files are kept.
#include "shell/places.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "data/stream.h"
#include "shell/command_line.h"
#include "shell/settings.h"

namespace fs = std::filesystem;

namespace {

// The installed episodes sit here, relative to the directory of the program.
constexpr const char* InstalledEpisodes = "../share/zyntra";

bool SamePlace(const std::string& a, const std::string& b) {
  std::error_code error;
  return !b.empty() && fs::equivalent(a.empty() ? "." : a, b, error) && !error;
}

// An existing directory this process may create files in.
bool WritableDirectory(const std::string& dir) {
  const std::string path = dir.empty() ? "." : dir;
  std::error_code error;
  return !fs::is_directory(path, error) || access(path.c_str(), W_OK) == 0;
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

}  // namespace

std::string PlayerFile(TPlace place, const std::string& name) {
  if (!Options().PlayerDir.empty()) return Options().PlayerDir + name;
  return place == TPlace::GameDir ? Options().GameDir + name : name;
}

std::string PlayerFileToRead(TPlace place, const std::string& name) {
  const std::string path = PlayerFile(place, name);
  if (Options().PlayerDir.empty() || FileSize(path) >= 0) return path;
  const std::string classic = place == TPlace::GameDir ? Options().GameDir + name : name;
  return FileSize(classic) >= 0 ? classic : path;
}

bool HoldsEpisode(const std::string& dir, const std::string& ext) {
  return FileSize(dir + "BORDER" + ext) > 0;
}

std::string InstalledEpisodeDir(const std::string& programPath, const std::string& ext) {
  if (programPath.empty()) return "";
  std::error_code error;
  const fs::path root = fs::path(programPath).parent_path() / InstalledEpisodes;
  std::vector<std::string> dirs;
  for (const auto& entry : fs::directory_iterator(root, error)) {
    if (entry.is_directory(error)) dirs.push_back(entry.path().lexically_normal().string() + "/");
  }
  // In name order, so that the choice does not depend on the directory order.
  std::sort(dirs.begin(), dirs.end());
  for (const std::string& dir : dirs) {
    if (HoldsEpisode(dir, ext)) return dir;
  }
  return "";
}

std::string PlayerDataDir(const std::string& ext) {
  std::string base;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const std::string home = HomeDirectory();
    if (home.empty()) return "";
    base = home + "/.local/share";
  }
  std::string name = ext.empty() || ext[0] != '.' ? ext : ext.substr(1);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c == '/') c = '_';
  }
  return base + "/zyntra/" + (name.empty() ? "default" : name) + "/";
}

std::string ProgramPath() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  const std::vector<std::string>& arguments = CommandLine();
  if (arguments.empty() || arguments[0].find('/') == std::string::npos) return "";
  return fs::absolute(arguments[0], error).string();
}

void LocateGameFiles() {
  StartUpOptions().PlayerDir.clear();
  const std::string installed = InstalledEpisodeDir(ProgramPath(), Options().GameExt);
  if (OptionValue("dir").empty() && !installed.empty() &&
      !HoldsEpisode(Options().GameDir, Options().GameExt))
    StartUpOptions().GameDir = installed;
  if (!SamePlace(Options().GameDir, installed) && WritableDirectory(Options().GameDir)) return;
  const std::string dir = PlayerDataDir(Options().GameExt);
  if (dir.empty()) return;  // no home: the classic layout, whose writes may fail
  std::error_code error;
  fs::create_directories(dir, error);
  StartUpOptions().PlayerDir = dir;
}
