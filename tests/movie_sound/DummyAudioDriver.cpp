#include <cstdlib>

namespace {

// The mixer cases need no sound card: SDL's dummy driver plays into nothing, in real time,
// unless SDL_AUDIODRIVER names another driver. Set before main, before SDL looks.
const bool kDummyAudioDriver = ::setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

}  // namespace
