#include "movie/sound/SwfPcm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

TEST(SwfPcm, ReadsUnsignedBytesAndLittleEndianWords) {
  struct Case {
    const char* name;
    TBytes data;
    bool is16Bit;
    bool stereo;
    size_t maxFrames;
    std::vector<int16_t> samples;
  };
  const size_t all = std::numeric_limits<size_t>::max();
  const Case cases[] = {
      {"8-bit centres on 128", {0x00, 0x80, 0xFF}, false, false, all, {-32768, 0, 32512}},
      {"16-bit low byte first", {0x34, 0x12, 0xFE, 0xFF}, true, false, all, {0x1234, -2}},
      {"stereo frames alternate", {0x01, 0x00, 0x02, 0x00}, true, true, all, {1, 2}},
      {"a cut word is left out", {0x34, 0x12, 0x56}, true, false, all, {0x1234}},
      {"a cut stereo frame is left out", {0x80, 0x81, 0x82}, false, true, all, {0, 256}},
      {"the count cuts the sound", {0x80, 0x81, 0x82}, false, false, 2, {0, 256}},
      {"no data", {}, true, true, all, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeSwfPcm(c.data, c.is16Bit, c.stereo, c.maxFrames), c.samples);
  }
}

}  // namespace
}  // namespace kestrava
