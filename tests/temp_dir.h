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
    Path = fs::temp_directory_path() / ("zyntra_test_" + std::to_string(rd()) + std::to_string(rd()));
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

 private:
  std::filesystem::path Previous;
  std::filesystem::path Path;
};
