// The check that keeps non-MIDI files away from the soundfont synthesizer, on byte fixtures.
#include "platform/MidiFile.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrava {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values)
    out += static_cast<char>(v);
  return out;
}

// Header: length 6, format 0, 1 track, 96 ticks per quarter note.
const std::string kHeader = "MThd" + Bytes({0, 0, 0, 6, 0, 0, 0, 1, 0, 96});
// A track of 4 bytes: end of track.
const std::string kTrack = "MTrk" + Bytes({0, 0, 0, 4, 0x00, 0xFF, 0x2F, 0x00});

std::string Rmid(const std::string& tune, int declaredSize) {
  const std::string size = Bytes({declaredSize & 0xFF, declaredSize >> 8, 0, 0});
  return "RIFF" + Bytes({0, 0, 0, 0}) + "RMID" + "data" + size + tune;
}

TEST(IsStandardMidiFile, AcceptsWholeTunesOnly) {
  struct Case {
    const char* name;
    std::string bytes;
    bool midi;
  };
  const int tuneSize = static_cast<int>((kHeader + kTrack).size());
  const Case cases[] = {
      {"header and one track", kHeader + kTrack, true},
      {"a longer header", "MThd" + Bytes({0, 0, 0, 8, 0, 0, 0, 1, 0, 96, 0, 0}) + kTrack, true},
      {"inside RIFF RMID", Rmid(kHeader + kTrack, tuneSize), true},
      {"empty", "", false},
      {"text", "This is not a tune.\n", false},
      {"header only", kHeader, false},
      {"header cut short", kHeader.substr(0, 10), false},
      {"header shorter than 6 bytes", "MThd" + Bytes({0, 0, 0, 4, 0, 0, 0, 1}) + kTrack, false},
      {"header longer than the file", "MThd" + Bytes({0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1, 0, 96}),
       false},
      {"no tracks", "MThd" + Bytes({0, 0, 0, 6, 0, 0, 0, 0, 0, 96}) + kTrack, false},
      {"something else after the header", kHeader + "XTrk" + kTrack.substr(4), false},
      {"track longer than the file", kHeader + "MTrk" + Bytes({0, 0, 1, 0, 0x00, 0xFF}), false},
      {"RMID whose data runs past the file", Rmid(kHeader + kTrack, tuneSize + 1), false},
      {"RMID holding text", Rmid("not a tune at all, no", 21), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsStandardMidiFile(c.bytes), c.midi);
  }
}

}  // namespace
}  // namespace kestrava
