#include "movie/sound/StreamChannel.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

// The carrier is short so that it loops often; its length does not matter otherwise.
constexpr int kCarrierFrames = 1024;
constexpr int kMostQueuedSeconds = 4;

uint8_t SilenceByte(uint16_t format) {
  return SDL_AUDIO_ISSIGNED(format) ? 0x00 : 0x80;
}

}  // namespace

TStreamChannel::TStreamChannel(const TMixerConnection& mixer) : mixer_(mixer) {
  if (!mixer.IsOpen()) return;
  const TMixerFormat& output = mixer.OutputFormat();
  silence_.assign(size_t(kCarrierFrames) * size_t(output.FrameBytes()), SilenceByte(output.Format));
  carrier_ = Mix_QuickLoad_RAW(silence_.data(), Uint32(silence_.size()));
  mostQueued_ = size_t(kMostQueuedSeconds) * size_t(output.Frequency) * size_t(output.FrameBytes());
}

TStreamChannel::~TStreamChannel() {
  Release();
  // Freeing the carrier also halts it on any channel it still plays on.
  if (carrier_) Mix_FreeChunk(carrier_);
}

void TStreamChannel::Attach() {
  if (attached_ || !carrier_) return;
  channel_ = mixer_.PlayOnFreeChannel(carrier_, -1);
  if (channel_ < 0) return;
  attached_ = true;
  // Effects are registered per channel and removed by SDL2_mixer when the channel stops.
  if (Mix_RegisterEffect(channel_, &TStreamChannel::Fill, &TStreamChannel::Detached, this) == 0) {
    Mix_HaltChannel(channel_);
    attached_ = false;
  }
}

void TStreamChannel::Release() {
  // Halting runs Detached (under the mixer's lock), after which Fill is never called again.
  if (attached_) Mix_HaltChannel(channel_);
  attached_ = false;
  channel_ = -1;
}

void TStreamChannel::Queue(std::vector<uint8_t> audio) {
  if (audio.empty() || !carrier_) return;
  Attach();
  if (!attached_) return;
  const size_t frameBytes = size_t(mixer_.OutputFormat().FrameBytes());
  std::lock_guard lock(mutex_);
  queued_ += audio.size();
  queue_.push_back(std::move(audio));
  // Drop whole frames from the front until the queue is back under its bound.
  while (queued_ > mostQueued_ && !queue_.empty()) {
    const size_t excess = queued_ - mostQueued_;
    const size_t frontLeft = queue_.front().size() - readOffset_;
    if (excess >= frontLeft) {
      queued_ -= frontLeft;
      queue_.pop_front();
      readOffset_ = 0;
    } else {
      const size_t drop = (excess + frameBytes - 1) / frameBytes * frameBytes;
      readOffset_ += std::min(drop, frontLeft);
      queued_ -= std::min(drop, frontLeft);
    }
  }
}

void TStreamChannel::Clear() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  readOffset_ = 0;
  queued_ = 0;
  played_.notify_all();
}

size_t TStreamChannel::QueuedBytes() const {
  std::lock_guard lock(mutex_);
  return queued_;
}

bool TStreamChannel::WaitUntilPlayed(std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return played_.wait_for(lock, limit, [this] { return queued_ == 0 || !attached_; });
}

void TStreamChannel::Fill(int /*channel*/, void* stream, int length, void* self) {
  auto& me = *static_cast<TStreamChannel*>(self);
  auto* out = static_cast<uint8_t*>(stream);
  size_t wanted = size_t(length);
  std::lock_guard lock(me.mutex_);
  while (wanted > 0 && !me.queue_.empty()) {
    const std::vector<uint8_t>& front = me.queue_.front();
    const size_t take = std::min(wanted, front.size() - me.readOffset_);
    std::memcpy(out, front.data() + me.readOffset_, take);
    out += take;
    wanted -= take;
    me.readOffset_ += take;
    me.queued_ -= take;
    if (me.readOffset_ == front.size()) {
      me.queue_.pop_front();
      me.readOffset_ = 0;
    }
  }
  // The carrier's own bytes are silence already; a dry queue leaves them.
  if (me.queued_ == 0) me.played_.notify_all();
}

void TStreamChannel::Detached(int /*channel*/, void* self) {
  auto& me = *static_cast<TStreamChannel*>(self);
  me.attached_ = false;
  std::lock_guard lock(me.mutex_);
  me.played_.notify_all();
}

}  // namespace kestrava
