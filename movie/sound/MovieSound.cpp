#include "movie/sound/MovieSound.h"

#include <map>
#include <set>
#include <stdexcept>

#include "movie/SwfErrors.h"
#include "movie/sound/EventSounds.h"
#include "movie/sound/MixerConnection.h"
#include "movie/sound/StreamChannel.h"
#include "movie/sound/StreamDecoder.h"

namespace kestrava {

namespace {

// Sprites each have a timeline and may each stream; a movie with more than this is hostile.
constexpr size_t kMostStreams = 16;

bool SameFormat(const TSwfSoundFormat& a, const TSwfSoundFormat& b) {
  return a.Codec == b.Codec && a.RateCode == b.RateCode && a.Is16Bit == b.Is16Bit &&
         a.Stereo == b.Stereo;
}

struct TTimelineStream {
  TTimelineStream(const TSwfStreamHead& head, const TMixerConnection& mixer)
      : Decoder(head, mixer), Channel(mixer) {}
  TStreamDecoder Decoder;
  TStreamChannel Channel;
};

}  // namespace

class TMovieSoundParts {
 public:
  explicit TMovieSoundParts(const TSwfMovie& movie) : events_(movie, mixer_) {}

  void Handle(const std::vector<TSoundEvent>& events) {
    std::set<uint64_t> fed;
    for (const TSoundEvent& event : events) {
      switch (event.Kind) {
        case TSoundEvent::TKind::Start:
          events_.Start(event.SoundId, event.Data);
          break;
        case TSoundEvent::TKind::StopAll:
          StopAll();
          break;
        case TSoundEvent::TKind::StreamHead:
          StreamHead(event);
          break;
        case TSoundEvent::TKind::StreamBlock:
          if (StreamBlock(event)) fed.insert(event.Timeline);
          break;
      }
    }
    for (auto& [timeline, stream] : streams_)
      if (!fed.contains(timeline) && stream->Channel.QueuedBytes() == 0) stream->Channel.Release();
  }

  void StopAll() {
    events_.StopAll();
    for (auto& [timeline, stream] : streams_)
      stream->Channel.Clear();
  }

  bool HasOutput() const { return mixer_.IsOpen(); }
  int PlayingEventSounds() { return events_.Playing(); }
  int PlayingStreams() const {
    int count = 0;
    for (const auto& [timeline, stream] : streams_)
      count += stream->Channel.HoldsChannel();
    return count;
  }

 private:
  void StreamHead(const TSoundEvent& event) {
    if (!mixer_.IsOpen()) return;
    TSwfStreamHead head;
    try {
      head = ReadStreamHead(event.Data);
    } catch (const ESwfError&) {
      return;
    }
    auto found = streams_.find(event.Timeline);
    // A timeline that loops meets its head again: the stream goes on unless its format changed.
    if (found != streams_.end()) {
      if (SameFormat(found->second->Decoder.Head().Format, head.Format)) return;
      streams_.erase(found);
    }
    if (streams_.size() < kMostStreams)
      streams_.emplace(event.Timeline, std::make_unique<TTimelineStream>(head, mixer_));
  }

  bool StreamBlock(const TSoundEvent& event) {
    const auto found = streams_.find(event.Timeline);
    if (found == streams_.end()) return false;
    TTimelineStream& stream = *found->second;
    stream.Channel.Queue(stream.Decoder.Decode(event.Data));
    return true;
  }

  TMixerConnection mixer_;
  TEventSounds events_;
  std::map<uint64_t, std::unique_ptr<TTimelineStream>> streams_;
};

TMovieSound::TMovieSound(std::shared_ptr<const TSwfMovie> movie) : movie_(std::move(movie)) {
  if (!movie_) throw std::invalid_argument("TMovieSound needs a movie");
  parts_ = std::make_unique<TMovieSoundParts>(*movie_);
}

TMovieSound::~TMovieSound() = default;

void TMovieSound::Handle(const std::vector<TSoundEvent>& events) {
  parts_->Handle(events);
}

void TMovieSound::StopAll() {
  parts_->StopAll();
}

bool TMovieSound::HasOutput() const {
  return parts_->HasOutput();
}

int TMovieSound::PlayingEventSounds() const {
  return parts_->PlayingEventSounds();
}

int TMovieSound::PlayingStreams() const {
  return parts_->PlayingStreams();
}

}  // namespace kestrava
