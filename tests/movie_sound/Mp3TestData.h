#pragma once

// MP3 material for the tests: the one MP3 event sound of the corpus (a ruffle test, 44.1 kHz
// mono MPEG-1 with an encoder's Info frame), and silent MPEG-2 frames made up here.

#include <memory>
#include <span>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/SwfTagCodes.h"
#include "movie/sound/Mp3Frames.h"
#include "movie/sound/SwfSoundFormat.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava::test {

class TRuffleMp3 {
 public:
  TRuffleMp3()
      : movie_(TSwfMovie::LoadFile(CorpusFile("ruffle/avm1/sound_start_stop/test.swf"))),
        sound_(ReadDefineSound(movie_->Character(1)->Body)) {}

  const TSwfMovie& Movie() const { return *movie_; }
  std::shared_ptr<const TSwfMovie> MoviePointer() const { return movie_; }
  const TSwfDefineSound& Sound() const { return sound_; }
  // After the two bytes of SeekSamples.
  std::span<const uint8_t> Frames() const { return sound_.Data.subspan(2); }
  // The frames that hold sound, without the Info frame.
  std::span<const uint8_t> AudioFrames() const {
    const auto frames = ScanMp3Frames(Frames());
    return Frames().subspan(frames[1].Offset);
  }

 private:
  std::shared_ptr<const TSwfMovie> movie_;
  TSwfDefineSound sound_;
};

inline TBytes RuffleFirstAudioFrame() {
  const TRuffleMp3 mp3;
  const auto frames = ScanMp3Frames(mp3.Frames());
  const auto bytes = mp3.Frames().subspan(frames[1].Offset, frames[1].Size);
  return TBytes(bytes.begin(), bytes.end());
}

// MPEG-2 layer III, 22050 Hz mono at 32 kbit/s: 104 bytes a frame. All-zero side information
// codes no spectral values, so each frame decodes to 576 silent samples.
inline TBytes SilentMpeg2Frames(int count) {
  TBytes bytes;
  for (int i = 0; i < count; ++i) {
    const TBytes header = {0xFF, 0xF3, 0x40, 0xC0};
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.resize(bytes.size() + 100, 0);
  }
  return bytes;
}

// Enough silent frames for SDL2_mixer to take them for music (a second's worth).
inline TBytes SilentMpeg2FramesForMusic() {
  return SilentMpeg2Frames(40);
}

}  // namespace kestrava::test
