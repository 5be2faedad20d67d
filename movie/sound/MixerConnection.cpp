#include "movie/sound/MixerConnection.h"

#include <SDL.h>

#include <algorithm>
#include <climits>

#include "movie/sound/Mp3Frames.h"

namespace kestrava {

namespace {

// The saver runtime opens the mixer with the same request; sounds then start within 46 ms.
constexpr int kRequestedFrequency = 44100;
constexpr int kRequestedChannels = 2;
constexpr int kChunkFrames = 2048;
// Channels are added eight at a time when every one is busy, up to this many in all.
constexpr int kMostChannels = 64;

}  // namespace

TMixerConnection::TMixerConnection() {
  // A host without SDL of its own (the wizard) keeps its own handling of SIGINT and SIGTERM,
  // which SDL's event part would otherwise take over along with the audio.
  if (SDL_WasInit(0) == 0) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    problem_ = SDL_GetError();
    return;
  }
  audioInitialised_ = true;
  int frequency = kRequestedFrequency;
  Uint16 format = MIX_DEFAULT_FORMAT;
  int channels = kRequestedChannels;
  // Opening an open mixer in its own format only counts one more user; any other format would
  // close it under its first user.
  if (Mix_QuerySpec(&frequency, &format, &channels) == 0) {
    frequency = kRequestedFrequency;
    format = MIX_DEFAULT_FORMAT;
    channels = kRequestedChannels;
  }
  if (Mix_OpenAudio(frequency, format, channels, kChunkFrames) != 0) {
    problem_ = Mix_GetError();
    return;
  }
  open_ = Mix_QuerySpec(&output_.Frequency, &output_.Format, &output_.Channels) != 0;
  if (!open_) {
    problem_ = Mix_GetError();
    Mix_CloseAudio();
  }
}

TMixerConnection::~TMixerConnection() {
  if (open_) Mix_CloseAudio();
  if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::vector<uint8_t> TMixerConnection::DecodeMp3(std::span<const uint8_t> frames) const {
  if (!open_ || frames.size() > size_t(INT_MAX) || !IsMp3FrameStart(frames)) return {};
  SDL_RWops* source = SDL_RWFromConstMem(frames.data(), int(frames.size()));
  if (!source) return {};
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
  if (!chunk) return {};
  std::vector<uint8_t> bytes(chunk->abuf, chunk->abuf + chunk->alen);
  Mix_FreeChunk(chunk);
  return bytes;
}

int TMixerConnection::PlayOnFreeChannel(Mix_Chunk* chunk, int loops) const {
  if (!open_) return -1;
  int channel = Mix_PlayChannel(-1, chunk, loops);
  const int have = Mix_AllocateChannels(-1);
  if (channel < 0 && have < kMostChannels) {
    Mix_AllocateChannels(std::min(have + 8, kMostChannels));
    channel = Mix_PlayChannel(-1, chunk, loops);
  }
  return channel;
}

}  // namespace kestrava
