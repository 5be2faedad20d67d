#pragma once

// Small fixtures for the saver file tests: files of known bytes, a picture preparer that hands
// out known bytes, and a look at which files this process holds open.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "saver/SaverPayload.h"

namespace kestrava::savertest {

using TBytes = std::vector<uint8_t>;

inline TBytes Bytes(std::string_view text) {
  return TBytes(text.begin(), text.end());
}

inline TBytes Cat(std::initializer_list<TBytes> parts) {
  TBytes all;
  for (const TBytes& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Little-endian 32-bit, as the trailer stores numbers.
inline TBytes Le32(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

// Bytes that are not a repetition of a short pattern, so that a block shifted or cut short
// does not compare equal by chance.
inline TBytes Noise(size_t size, uint32_t seed) {
  TBytes bytes(size);
  for (uint8_t& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = uint8_t(seed >> 16);
  }
  return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline TBytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Hands out fixed bytes per source index, or throws what a case asks for; records the calls.
class TFakePictures : public IPreparedPictures {
 public:
  std::vector<TBytes> Results;
  std::function<void(size_t)> ThrowAt;  // may throw for an index
  std::vector<size_t> Calls;

  TBytes Prepared(size_t index) override {
    Calls.push_back(index);
    if (ThrowAt) ThrowAt(index);
    return Results.at(index);
  }
};

// How many descriptors of this process refer to the file.
inline int OpenDescriptorsOf(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    std::error_code linkError;
    const std::filesystem::path link = std::filesystem::read_symlink(entry.path(), linkError);
    if (!linkError && link == target) ++count;
  }
  return count;
}

}  // namespace kestrava::savertest
