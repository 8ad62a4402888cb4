// A fresh temporary directory that becomes the working directory for a test's lifetime.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class TTempDir {
 public:
  TTempDir() {
    namespace fs = std::filesystem;
    Previous = fs::current_path();
    std::random_device rd;
    Path =
        fs::temp_directory_path() / ("zyntra_test_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(Path);
    fs::current_path(Path);
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::current_path(Previous, ec);
    std::filesystem::remove_all(Path, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  std::string Dir() const { return Path.string() + "/"; }
  static void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Text split at CR LF, as the log writes its lines.
  static std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
      size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) end = bytes.size();
      lines.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  static std::vector<std::string> LogLines() { return SplitCrLf(ReadText("log.txt")); }

 private:
  std::filesystem::path Previous;
  std::filesystem::path Path;
};
