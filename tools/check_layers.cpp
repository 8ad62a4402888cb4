// Checks the includes of every file of the layer libraries against the layers the build
// allows: a file may include files of its own layer and of the layers its layer links,
// directly or through others; only the platform layer may include SDL or OpenGL headers.
//   check_layers <manifest> <source dir>
// The manifest (written by CMake) has lines "file <layer> <path>" and
// "layer <name> <linked layers...>". Prints every offending include; fails when there is one.
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TLayers {
  std::map<std::string, std::string> LayerOfFile;
  std::map<std::string, std::vector<std::string>> Links;
};

bool ReadManifest(const std::string& path, TLayers& layers) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, name;
    words >> kind >> name;
    if (kind == "file") {
      std::string file;
      words >> file;
      layers.LayerOfFile[file] = name;
    } else if (kind == "layer") {
      std::vector<std::string>& links = layers.Links[name];
      for (std::string dep; words >> dep;) links.push_back(dep);
    }
  }
  return !layers.LayerOfFile.empty();
}

// The layers a layer may include from: itself and every layer it reaches through links.
std::set<std::string> Reachable(const TLayers& layers, const std::string& layer) {
  std::set<std::string> seen{layer};
  std::vector<std::string> todo{layer};
  while (!todo.empty()) {
    std::string current = todo.back();
    todo.pop_back();
    auto it = layers.Links.find(current);
    if (it == layers.Links.end()) continue;
    for (const std::string& dep : it->second)
      if (seen.insert(dep).second) todo.push_back(dep);
  }
  return seen;
}

bool IsPlatformHeader(const std::string& header) {
  return header.rfind("SDL", 0) == 0 || header.rfind("GL/", 0) == 0 ||
         header.rfind("EGL/", 0) == 0 || header.rfind("KHR/", 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: check_layers <manifest> <source dir>\n";
    return 2;
  }
  TLayers layers;
  if (!ReadManifest(argv[1], layers)) {
    std::cerr << "check_layers: cannot read the manifest " << argv[1] << "\n";
    return 2;
  }
  const std::string root = std::string(argv[2]) + "/";
  int faults = 0, includes = 0;
  for (const auto& [file, layer] : layers.LayerOfFile) {
    std::ifstream in(root + file);
    if (!in) {
      std::cerr << file << ": cannot be read\n";
      ++faults;
      continue;
    }
    const std::set<std::string> allowed = Reachable(layers, layer);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      size_t start = line.find_first_not_of(" \t");
      if (start == std::string::npos || line.compare(start, 1, "#") != 0) continue;
      size_t word = line.find_first_not_of(" \t", start + 1);
      if (word == std::string::npos || line.compare(word, 7, "include") != 0) continue;
      size_t open = line.find_first_of("\"<", word + 7);
      if (open == std::string::npos) continue;
      size_t close = line.find(line[open] == '"' ? '"' : '>', open + 1);
      if (close == std::string::npos) continue;
      const std::string header = line.substr(open + 1, close - open - 1);
      const std::string where = file + ":" + std::to_string(number) + ": ";
      ++includes;
      if (line[open] == '<') {
        if (IsPlatformHeader(header) && layer != "platform") {
          std::cerr << where << "<" << header << "> outside the platform layer\n";
          ++faults;
        }
        continue;
      }
      auto target = layers.LayerOfFile.find(header);
      if (target == layers.LayerOfFile.end()) {
        std::cerr << where << "\"" << header << "\" belongs to no layer\n";
        ++faults;
      } else if (!allowed.count(target->second)) {
        std::cerr << where << "\"" << header << "\" of layer " << target->second
                  << " is not below layer " << layer << "\n";
        ++faults;
      }
    }
  }
  std::cout << layers.LayerOfFile.size() << " files, " << includes << " includes, " << faults
            << " against the layers\n";
  return faults == 0 ? 0 : 1;
}
