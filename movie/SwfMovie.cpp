#include "movie/SwfMovie.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string_view>

#include "movie/SwfMovieData.h"
#include "movie/SwfTagCodes.h"
#include "movie/SwfUnpack.h"

namespace kestrava {

namespace {

// Limits against hostile movies. Real movies stay far below: a tag takes at least two bytes, so
// the tag cap bounds the tables by file size; sprites cannot nest at all in a well-made movie.
constexpr size_t kMaxTags = size_t(1) << 21;
constexpr int kMaxSpriteNesting = 8;
// The 8-byte file header, the smallest frame rectangle, frame rate and count.
constexpr size_t kSmallestMovie = 8 + 1 + 4;
// A frame number is 16 bits wide in PlaceObject, gotos and labels.
constexpr size_t kMaxFrames = 0xFFFF;

struct TTagHeader {
  uint16_t Code = 0;
  std::span<const uint8_t> Body;
};

class TTagReader {
 public:
  TTagReader(TSwfMovieData& data, size_t& tagBudget) : data_(data), tagBudget_(tagBudget) {}

  // Cuts one tag stream (the root's, or a sprite's) into frames; definitions go to the
  // dictionary wherever they appear.
  void ReadTimeline(TSwfBits bits, TSwfTimelineData& timeline, int nesting) {
    uint32_t frameStart = 0;
    bool frameHasContent = false;
    while (bits.Remaining() >= 2 && timeline.FrameStart.size() < kMaxFrames) {
      if (tagBudget_ == 0) break;
      --tagBudget_;
      const TTagHeader tag = NextTag(bits);
      if (tag.Code == swftag::End) break;
      if (tag.Code == swftag::ShowFrame) {
        timeline.FrameStart.push_back(frameStart);
        frameStart = uint32_t(timeline.Tags.size());
        frameHasContent = false;
      } else if (tag.Code == swftag::FrameLabel) {
        AddLabel(tag.Body, int(timeline.FrameStart.size()), timeline);
        frameHasContent = true;
      } else if (swftag::IsControlTag(tag.Code)) {
        timeline.Tags.push_back(TSwfTag{tag.Code, tag.Body});
        frameHasContent = true;
      } else {
        ReadDefinition(tag, nesting);
      }
    }
    // A frame the stream began but never showed still plays (a truncated last frame).
    if (frameHasContent && timeline.FrameStart.size() < kMaxFrames)
      timeline.FrameStart.push_back(frameStart);
  }

 private:
  static TTagHeader NextTag(TSwfBits& bits) {
    const uint16_t codeAndLength = bits.U16();
    TTagHeader tag;
    tag.Code = uint16_t(codeAndLength >> 6);
    size_t length = codeAndLength & 0x3F;
    if (length == 0x3F) length = bits.Remaining() >= 4 ? bits.U32() : bits.Remaining();
    // A length past the end is a truncated last tag: it gets what is there.
    tag.Body = bits.Bytes(std::min(length, bits.Remaining()));
    return tag;
  }

  static void AddLabel(std::span<const uint8_t> body, int frame, TSwfTimelineData& timeline) {
    TSwfBits bits(body);
    std::string name = bits.String();
    if (!name.empty()) timeline.Labels.push_back({std::move(name), uint16_t(frame)});
  }

  void ReadDefinition(const TTagHeader& tag, int nesting) {
    switch (tag.Code) {
      case swftag::SetBackgroundColor:
        if (!haveBackground_ && tag.Body.size() >= 3) {
          data_.Background = TSwfRgba{tag.Body[0], tag.Body[1], tag.Body[2], 255};
          haveBackground_ = true;
        }
        return;
      case swftag::JpegTables:
        if (data_.JpegTables.empty()) data_.JpegTables = tag.Body;
        return;
      default:
        break;
    }
    if (!swftag::DefinesCharacter(tag.Code) || tag.Body.size() < 2) return;
    const uint16_t id = uint16_t(tag.Body[0] | tag.Body[1] << 8);
    // The first definition of an id stands; the player ignores later ones.
    if (data_.Characters.contains(id)) return;
    if (tag.Code == swftag::DefineSprite) {
      if (nesting >= kMaxSpriteNesting || tag.Body.size() < 4) return;
      // Defined before its tags are read: a sprite inside it with the same id is a later
      // definition, ignored, and never reads into this timeline.
      data_.Characters.emplace(id, TSwfCharacter{id, tag.Code, tag.Body});
      TSwfTimelineData& sprite = data_.Sprites[id];
      sprite.StatedFrameCount = uint16_t(tag.Body[2] | tag.Body[3] << 8);
      ReadTimeline(TSwfBits(tag.Body.subspan(4)), sprite, nesting + 1);
      return;
    }
    data_.Characters.emplace(id, TSwfCharacter{id, tag.Code, tag.Body});
  }

  TSwfMovieData& data_;
  size_t& tagBudget_;
  bool haveBackground_ = false;
};

}  // namespace

std::span<const TSwfTag> TSwfTimelineData::FrameTags(int frame) const {
  if (frame < 0 || size_t(frame) >= FrameStart.size()) return {};
  const size_t first = FrameStart[size_t(frame)];
  const size_t end =
      size_t(frame) + 1 < FrameStart.size() ? FrameStart[size_t(frame) + 1] : Tags.size();
  if (first > end || end > Tags.size()) return {};
  return std::span<const TSwfTag>(Tags).subspan(first, end - first);
}

int TSwfTimelineData::FindLabel(std::string_view name) const {
  const auto same = [&](const std::string& label) {
    return std::equal(label.begin(), label.end(), name.begin(), name.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) ==
             std::tolower(static_cast<unsigned char>(b));
    });
  };
  for (const TLabel& label : Labels)
    if (same(label.Name)) return label.Frame;
  return -1;
}

TSwfMovie::TSwfMovie() : data_(std::make_unique<TSwfMovieData>()) {}

TSwfMovie::~TSwfMovie() = default;

std::shared_ptr<const TSwfMovie> TSwfMovie::Load(std::vector<uint8_t> fileBytes) {
  std::shared_ptr<TSwfMovie> movie(new TSwfMovie());
  TSwfMovieData& data = *movie->data_;
  data.Bytes = UnpackSwf(std::move(fileBytes));
  data.Version = data.Bytes[3];
  // The player reads no further than the stated length when that is shorter than the data;
  // a length too short for even the header is no length at all.
  const size_t stated = size_t(data.Bytes[4]) | size_t(data.Bytes[5]) << 8 |
                        size_t(data.Bytes[6]) << 16 | size_t(data.Bytes[7]) << 24;
  if (stated >= kSmallestMovie && stated < data.Bytes.size()) data.Bytes.resize(stated);

  TSwfBits bits(std::span<const uint8_t>(data.Bytes).subspan(8));
  try {
    data.FrameRect = ReadSwfRect(bits);
    data.FrameRate = bits.U16() / 256.0;
    data.Root.StatedFrameCount = bits.U16();
  } catch (const ESwfError&) {
    throw ESwfError("the movie header ends early");
  }
  size_t tagBudget = kMaxTags;
  TTagReader(data, tagBudget).ReadTimeline(bits, data.Root, 0);
  return movie;
}

std::shared_ptr<const TSwfMovie> TSwfMovie::LoadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ESwfError("cannot open the movie");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (in.bad()) throw ESwfError("cannot read the movie");
  return Load(std::move(bytes));
}

uint8_t TSwfMovie::Version() const {
  return data_->Version;
}
TSwfRect TSwfMovie::FrameRect() const {
  return data_->FrameRect;
}
double TSwfMovie::FrameRate() const {
  return data_->FrameRate;
}
uint16_t TSwfMovie::FrameCount() const {
  return uint16_t(std::max(1, data_->Root.Frames()));
}
TSwfRgba TSwfMovie::Background() const {
  return data_->Background;
}
std::span<const uint8_t> TSwfMovie::JpegTables() const {
  return data_->JpegTables;
}

const TSwfCharacter* TSwfMovie::Character(uint16_t id) const {
  const auto it = data_->Characters.find(id);
  return it == data_->Characters.end() ? nullptr : &it->second;
}

}  // namespace kestrava
