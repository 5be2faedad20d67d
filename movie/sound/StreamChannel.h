#pragma once

// One mixer channel that plays a sound stream as its blocks come: a silent chunk loops on the
// channel for ever, and an effect on the channel puts the queued audio in its place (silence when
// the queue has run dry). Blocks thus join without a gap, and the music channel stays free.
//
// The queue is filled on the caller's thread and emptied on SDL's audio thread; a mutex guards
// it. The channel is taken on the first block and given back by Release or at destruction; one
// that someone else halted is taken anew on the next block.

#include <SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "movie/sound/MixerConnection.h"

namespace kestrava {

class TStreamChannel {
 public:
  explicit TStreamChannel(const TMixerConnection& mixer);
  ~TStreamChannel();
  TStreamChannel(const TStreamChannel&) = delete;
  TStreamChannel& operator=(const TStreamChannel&) = delete;

  // Audio in the mixer's format, whole frames. When more than a few seconds wait (the movie
  // runs ahead of the sound), the oldest are dropped.
  void Queue(std::vector<uint8_t> audio);
  void Clear();
  // Gives the channel back; the next Queue takes one again.
  void Release();

  bool HoldsChannel() const { return attached_.load(); }
  size_t QueuedBytes() const;
  // Waits until the audio thread has taken everything queued (or the channel is lost); false
  // when that did not happen within `limit`, a safety net against a stalled device.
  bool WaitUntilPlayed(std::chrono::milliseconds limit) const;

 private:
  static void Fill(int channel, void* stream, int length, void* self);
  static void Detached(int channel, void* self);
  void Attach();

  const TMixerConnection& mixer_;
  std::vector<uint8_t> silence_;
  Mix_Chunk* carrier_ = nullptr;
  int channel_ = -1;
  std::atomic<bool> attached_{false};
  size_t mostQueued_ = 0;

  mutable std::mutex mutex_;
  mutable std::condition_variable played_;
  std::deque<std::vector<uint8_t>> queue_;
  size_t readOffset_ = 0;  // into queue_.front()
  size_t queued_ = 0;
};

}  // namespace kestrava
