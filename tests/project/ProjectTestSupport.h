#pragma once

// Whole files as text, for the project and profile-file tests.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrava::project {

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteText(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace kestrava::project
