#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/MidiFile.h"
#include "platform/MusicPreview.h"

namespace kestrava {

namespace {

// The General MIDI soundfont of the platform's package, as the saver runtime uses it.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

[[noreturn]] void Fail(const char* text) {
  throw EMusicPreviewError(text);
}

// MIDI files are small; a file far larger is not taken for one.
bool HoldsMidi(const std::string& path) {
  constexpr std::uintmax_t kLargestMidiFile = 16u << 20;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kLargestMidiFile) return false;
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return IsStandardMidiFile(bytes);
}

class TSdlMusicPreview final : public IMusicPreview {
 public:
  TSdlMusicPreview() = default;
  TSdlMusicPreview(const TSdlMusicPreview&) = delete;
  TSdlMusicPreview& operator=(const TSdlMusicPreview&) = delete;

  ~TSdlMusicPreview() override {
    Close();
    if (!audioOpen_) return;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  void Open(const std::string& path) override {
    Close();
    OpenAudio();
    // Mix_LoadMUS chooses the decoder by the file's extension, else by its first bytes.
    music_ = Mix_LoadMUS(path.c_str());
    if (!music_) Fail(Mix_GetError());
    if (Mix_GetMusicType(music_) == MUS_MID && !HoldsMidi(path)) {
      Close();
      Fail("Not a MIDI file");
    }
  }

  void Play() override {
    if (!music_) return;
    if (Mix_PlayMusic(music_, 1) != 0) {
      const std::string text = Mix_GetError();
      Close();
      throw EMusicPreviewError(text);
    }
  }

  bool IsPlaying() const override { return music_ && Mix_PlayingMusic() != 0; }

  void Close() override {
    if (!music_) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
  }

 private:
  // Once, on the first Open; a device that could not be opened is tried again on the next one.
  void OpenAudio() {
    if (audioOpen_) return;
    // The wizard's toolkit handles the process's signals, not SDL.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) Fail(SDL_GetError());
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_MID);
    Mix_SetSoundFonts(kSoundFont);
    // A mixer some other part already opened is joined in its own format: opening it in another
    // would close it under that part.
    int frequency = 44100, channels = 2;
    Uint16 format = MIX_DEFAULT_FORMAT;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (Mix_OpenAudio(frequency, format, channels, 2048) != 0) {
      const std::string text = Mix_GetError();
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      throw EMusicPreviewError(text);
    }
    audioOpen_ = true;
  }

  bool audioOpen_ = false;
  Mix_Music* music_ = nullptr;
};

}  // namespace

std::unique_ptr<IMusicPreview> MakeMusicPreview() {
  return std::make_unique<TSdlMusicPreview>();
}

}  // namespace kestrava
