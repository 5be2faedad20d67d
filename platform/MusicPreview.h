#pragma once

// The wizard's music preview: one file at a time, opened by path, played from the start.

#include <memory>
#include <stdexcept>
#include <string>

namespace kestrava {

class EMusicPreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IMusicPreview {
 public:
  virtual ~IMusicPreview() = default;
  // Closes any open file, then opens this one (the player picks the decoder from the file:
  // MIDI through a General MIDI soundfont, MP3, WAV). Throws EMusicPreviewError with the
  // platform's own text; stays closed then.
  virtual void Open(const std::string& path) = 0;
  // From the beginning; nothing when closed. Throws EMusicPreviewError when the sound cannot
  // start, and is closed then.
  virtual void Play() = 0;
  virtual bool IsPlaying() const = 0;
  virtual void Close() = 0;  // ends the sound; nothing when closed
};

// Through SDL2_mixer, which opens the sound device on the first Open. One preview per process:
// the mixer has a single music channel.
std::unique_ptr<IMusicPreview> MakeMusicPreview();

}  // namespace kestrava
