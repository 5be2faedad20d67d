#include "runtime/SdlMusic.h"

#include <cstdio>

namespace kestrava {

namespace {

// The General MIDI soundfont of the platform's package, for the MIDI blocks.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

Mix_MusicType TypeOf(uint8_t code) {
  switch (code) {
    case '0':
      return MUS_MID;
    case '2':
      return MUS_WAV;
    default:
      return MUS_MP3;
  }
}

}  // namespace

TSdlMusic::TSdlMusic(std::vector<TMusicBlock> blocks) : blocks_(std::move(blocks)) {
  if (blocks_.empty()) return;
  Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
  Mix_SetSoundFonts(kSoundFont);
  // A mixer some other part already opened is joined in its own format: opening it in another
  // would close it under that part.
  int frequency = 44100, channels = 2;
  Uint16 format = MIX_DEFAULT_FORMAT;
  Mix_QuerySpec(&frequency, &format, &channels);
  if (Mix_OpenAudio(frequency, format, channels, 2048) != 0) {
    std::fprintf(stderr, "kestrava-saver: no sound: %s\n", Mix_GetError());
    return;
  }
  open_ = true;
  PlayNext();
}

TSdlMusic::~TSdlMusic() {
  if (playing_) {
    Mix_HaltMusic();
    Mix_FreeMusic(playing_);
  }
  if (open_) Mix_CloseAudio();
  Mix_Quit();
}

void TSdlMusic::Poll() {
  if (open_ && !gaveUp_ && !Mix_PlayingMusic()) PlayNext();
}

void TSdlMusic::PlayNext() {
  // A block that cannot be played is passed over; a list of which none plays is given up.
  while (failuresInARow_ < int(blocks_.size())) {
    const TMusicBlock& block = blocks_[next_];
    next_ = (next_ + 1) % blocks_.size();
    if (playing_) {
      Mix_FreeMusic(playing_);
      playing_ = nullptr;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(block.Bytes.data(), int(block.Bytes.size()));
    playing_ = rw ? Mix_LoadMUSType_RW(rw, TypeOf(block.TypeCode), 1) : nullptr;
    if (playing_ && Mix_PlayMusic(playing_, 1) == 0) {
      failuresInARow_ = 0;
      return;
    }
    ++failuresInARow_;
  }
  gaveUp_ = true;
}

}  // namespace kestrava
