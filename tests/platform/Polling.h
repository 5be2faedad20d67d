#pragma once

// Waiting for something another process or the sound device does, bounded so that a fault fails
// the test instead of hanging it. The bound is generous: a busy machine only makes it slower.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

namespace kestrava::test {

inline bool PollUntil(const std::function<bool()>& done,
                      std::chrono::seconds bound = std::chrono::seconds(30)) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Waits for a file that a started program writes (it renames it into place when complete).
inline std::string WaitForFile(const std::filesystem::path& path) {
  if (!PollUntil([&] { return std::filesystem::exists(path); })) return "(never written)";
  return ReadFileText(path);
}

}  // namespace kestrava::test
