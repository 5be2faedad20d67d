// The payload writer: the bytes it appends for each kind, read back through the reader; the
// trailer's limits; and every failure leaving the saver file closed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "saver/SaverFileReader.h"
#include "saver/SaverPayload.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using namespace savertest;
using test::TScratchFolder;
using namespace std::string_view_literals;

const TBytes kRuntime = Bytes(
    "\x7F"
    "ELF runtime stand-in");

TBytes SmallJpeg(int width, int height, TColor color) {
  TBitmap bitmap(width, height);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect({0, 0, width, height});
  return EncodeJpeg(bitmap, false);
}

// Sources and music files of known bytes in a scratch folder, and the JPEG that the fake
// preparer gives for each picture.
class SaverPayloadTest : public testing::Test {
 protected:
  void SetUp() override {
    files_ = {
        {"m.mid", Bytes("MThd\0\0\0\x06 midi"sv)},
        {"w.wav", Cat({Bytes("RIFF"), Noise(1000, 1)})},
        {"loud.MID", Bytes("MThd loud")},
        {"one.swf", Bytes("FWS\x06 one")},
        // Longer than the copy buffer, and not a multiple of it.
        {"two.swf", Cat({Bytes("CWS"), Noise(2 * 65536 + 7, 2)})},
        {"empty.mp3", {}},
    };
    for (const auto& [name, bytes] : files_)
      WriteBytes(folder_ / name, bytes);
    prepared_ = {{"a.jpg", SmallJpeg(47, 33, RGBColor(255, 0, 0))},
                 {"b.bmp", SmallJpeg(8, 8, RGBColor(0, 0, 255))},
                 {"c.gif", SmallJpeg(1, 1, clWhite)}};
    WriteBytes(Saver(), kRuntime);
  }

  fs::path Saver() const { return folder_ / "out.scr"; }

  // What a source or music file is stored as.
  const TBytes& Stored(const std::string& name) const {
    const auto p = prepared_.find(name);
    return p != prepared_.end() ? p->second : files_.at(name);
  }

  TPayloadPlan Plan(TSaverKind kind, const std::vector<std::string>& sources,
                    const std::vector<std::string>& music) {
    TPayloadPlan plan;
    plan.Kind = kind;
    for (const std::string& s : sources) {
      plan.Sources.push_back(folder_ / s);
      pictures_.Results.push_back(prepared_.count(s) ? prepared_.at(s) : TBytes{});
    }
    for (const std::string& m : music)
      plan.Music.push_back(folder_ / m);
    return plan;
  }

  TScratchFolder folder_;
  std::map<std::string, TBytes> files_, prepared_;
  TFakePictures pictures_;
};

// An expected trailer field: fixed bytes, or the size of a stored file.
struct TField {
  size_t Offset;
  TBytes Bytes;
  const char* SizeOf = nullptr;
};

TBytes FlagBytes(std::initializer_list<size_t> styles) {
  TBytes flags(kEffectFlagCount, 0);
  for (const size_t s : styles)
    flags[s] = 1;
  return flags;
}

TEST_F(SaverPayloadTest, AppendsBlocksAndTrailerByteForByte) {
  const struct {
    const char* Name;
    TSaverKind Kind;
    int QuitMode, Interval;
    std::vector<std::string> Sources, Music;
    std::vector<int> Ticked;
    std::vector<TField> Trailer;  // offsets from the trailer's start; the rest stays 0
  } cases[] = {
      {"pictures with .mid and .wav music",
       TSaverKind::Pictures,
       2,
       8,
       {"a.jpg", "b.bmp", "c.gif"},
       {"m.mid", "w.wav"},
       {1, 5, 122},
       {{0, {0x0E, 0x0E}},
        {2, Le32(3)},
        {6, Le32(2)},
        {10, Le32(2)},
        {14, {0x30, 0x32}},
        {16, Le32(8)},
        {20, {0xFF}},
        {21, FlagBytes({1, 5, 122})},
        // E - 400, E - 396, E - 392: the pictures; E - 388, E - 384: the music.
        {200, {}, "a.jpg"},
        {204, {}, "b.bmp"},
        {208, {}, "c.gif"},
        {212, {}, "m.mid"},
        {216, {}, "w.wav"}}},
      {"pictures without music",
       TSaverKind::Pictures,
       1,
       30,
       {"c.gif"},
       {},
       {3},
       {{0, {0x0E, 0x0A}},
        {2, Le32(1)},
        {10, Le32(1)},
        {14, Le32(30)},
        {18, {0xFF}},
        {19, FlagBytes({3})},
        {200, {}, "c.gif"}}},
      {"Flash stores no music and copies the movies",
       TSaverKind::Flash,
       3,
       8,
       {"two.swf", "one.swf"},
       {"m.mid", "w.wav"},
       {4},
       {{0, {0x0F, 0x0A}},
        {2, Le32(2)},
        {10, Le32(3)},
        {14, {0xFF}},
        {200, {}, "two.swf"},
        {204, {}, "one.swf"}}},
      {"files listed twice are stored twice; .MID is not MIDI",
       TSaverKind::Pictures,
       5,
       1,
       {"a.jpg", "b.bmp", "a.jpg"},
       {"loud.MID", "m.mid", "loud.MID"},
       {},
       {{0, {0x0E, 0x0E}},
        {2, Le32(3)},
        {6, Le32(3)},
        {10, Le32(5)},
        {14, {0x31, 0x30, 0x31}},
        {17, Le32(1)},
        {21, {0xFF}},
        {200, {}, "a.jpg"},
        {204, {}, "b.bmp"},
        {208, {}, "a.jpg"},
        {212, {}, "loud.MID"},
        {216, {}, "m.mid"},
        {220, {}, "loud.MID"}}},
      {"Flash with a movie listed twice",
       TSaverKind::Flash,
       4,
       8,
       {"one.swf", "two.swf", "one.swf"},
       {},
       {},
       {{0, {0x0F, 0x0A}},
        {2, Le32(3)},
        {10, Le32(4)},
        {14, {0xFF}},
        {200, {}, "one.swf"},
        {204, {}, "two.swf"},
        {208, {}, "one.swf"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteBytes(Saver(), kRuntime);
    pictures_ = {};
    TPayloadPlan plan = Plan(c.Kind, c.Sources, c.Music);
    plan.QuitMode = c.QuitMode;
    plan.IntervalSeconds = c.Interval;
    plan.EffectFlags = EffectFlags(c.Ticked);
    const TPayloadResult result = WritePayload(plan, Saver(), pictures_);
    ASSERT_EQ(result.Status, TPayloadStatus::Written) << result.Reason;
    EXPECT_EQ(result.Reason, "");
    EXPECT_EQ(OpenDescriptorsOf(Saver()), 0);

    const bool pictures = c.Kind == TSaverKind::Pictures;
    std::vector<size_t> expectedCalls;
    if (pictures)
      for (size_t i = 0; i < c.Sources.size(); ++i)
        expectedCalls.push_back(i);
    EXPECT_EQ(pictures_.Calls, expectedCalls);

    // The runtime unchanged, music (pictures only), the sources, the trailer.
    std::vector<std::string> stored = pictures ? c.Music : std::vector<std::string>{};
    stored.insert(stored.end(), c.Sources.begin(), c.Sources.end());
    TBytes expected = kRuntime;
    for (const std::string& name : stored)
      expected.insert(expected.end(), Stored(name).begin(), Stored(name).end());
    TBytes trailer(kTrailerSize, 0);
    for (const TField& f : c.Trailer) {
      const TBytes bytes = f.SizeOf ? Le32(int32_t(Stored(f.SizeOf).size())) : f.Bytes;
      std::copy(bytes.begin(), bytes.end(), trailer.begin() + std::ptrdiff_t(f.Offset));
    }
    expected.insert(expected.end(), trailer.begin(), trailer.end());
    const TBytes file = ReadBytes(Saver());
    ASSERT_EQ(file.size(), expected.size());
    for (size_t i = 0; i < file.size(); ++i)
      ASSERT_EQ(int(file[i]), int(expected[i])) << "offset " << i << ", E - " << file.size() - i;

    // The reader finds the same blocks from the end of the file.
    const TSaverFileReader reader(Saver());
    EXPECT_EQ(reader.Trailer().Kind, c.Kind);
    EXPECT_EQ(reader.Trailer().QuitMode, c.QuitMode);
    EXPECT_EQ(reader.ReadBlock(reader.Runtime()), kRuntime);
    ASSERT_EQ(reader.Blocks().size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i)
      EXPECT_EQ(reader.ReadBlock(reader.Blocks()[i]), Stored(stored[i])) << "block " << i;
    if (pictures) {
      EXPECT_EQ(reader.Trailer().IntervalSeconds, c.Interval);
      EXPECT_EQ(reader.Trailer().EffectFlags, EffectFlags(c.Ticked));
      for (size_t i = c.Music.size(); i < stored.size(); ++i) {
        const TBytes jpeg = reader.ReadBlock(reader.Blocks()[i]);
        EXPECT_NO_THROW(DecodeJpeg(jpeg)) << "picture " << i - c.Music.size();
      }
    }
  }
}

TEST_F(SaverPayloadTest, FillsTheTrailerToItsLimits) {
  const struct {
    TSaverKind Kind;
    size_t Sources, Music;
  } cases[] = {
      {TSaverKind::Pictures, 42, 58},
      {TSaverKind::Pictures, 100, 0},
      {TSaverKind::Flash, 100, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Kind) << " " << c.Sources << "+" << c.Music);
    WriteBytes(Saver(), kRuntime);
    TPayloadPlan plan;
    plan.Kind = c.Kind;
    TFakePictures pictures;
    std::vector<TBytes> sources, music;
    for (size_t i = 0; i < c.Sources; ++i) {
      sources.push_back(Noise(1 + i % 5, uint32_t(i)));
      plan.Sources.push_back(folder_ / ("s" + std::to_string(i) + ".swf"));
      WriteBytes(plan.Sources.back(), sources.back());
      pictures.Results.push_back(sources.back());
    }
    for (size_t i = 0; i < c.Music; ++i) {
      music.push_back(Noise(2 + i % 3, uint32_t(100 + i)));
      plan.Music.push_back(folder_ / ("t" + std::to_string(i) + (i % 2 ? ".wav" : ".mid")));
      WriteBytes(plan.Music.back(), music.back());
    }
    const TPayloadResult result = WritePayload(plan, Saver(), pictures);
    ASSERT_EQ(result.Status, TPayloadStatus::Written) << result.Reason;

    const TSaverFileReader reader(Saver());
    const bool withMusic = c.Kind == TSaverKind::Pictures;
    ASSERT_EQ(reader.Blocks().size(), c.Sources + (withMusic ? c.Music : 0));
    size_t b = 0;
    if (withMusic)
      for (size_t i = 0; i < c.Music; ++i, ++b) {
        EXPECT_EQ(reader.ReadBlock(reader.Blocks()[b]), music[i]);
        EXPECT_EQ(reader.Blocks()[b].MusicType, i % 2 ? 0x32 : 0x30);
      }
    for (size_t i = 0; i < c.Sources; ++i, ++b)
      EXPECT_EQ(reader.ReadBlock(reader.Blocks()[b]), sources[i]);
    EXPECT_EQ(reader.ReadBlock(reader.Runtime()), kRuntime);
  }
}

TEST_F(SaverPayloadTest, FailsWithTheSaverFileClosed) {
  ASSERT_EQ(::mkfifo((folder_ / "fifo.mp3").c_str(), 0600), 0);
  const std::string dir = folder_.Path().string() + "/";
  using TSetup = std::function<void(TPayloadPlan&, TFakePictures&)>;
  const auto picturesPlan = [](std::vector<std::string> sources, std::vector<std::string> music) {
    return std::make_pair(std::move(sources), std::move(music));
  };
  const struct {
    const char* Name;
    TSaverKind Kind;
    std::pair<std::vector<std::string>, std::vector<std::string>> Lists;
    TSetup Setup;
    TPayloadStatus Status;
    std::string Reason;             // "@" stands for the scratch folder
    std::vector<std::string> Kept;  // blocks appended before the failure
    std::vector<size_t> Calls;
  } cases[] = {
      {"an unsupported picture stops the writing there",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg", "x.png", "c.gif"}, {"m.mid"}),
       [](TPayloadPlan&, TFakePictures& p) {
         p.ThrowAt = [](size_t i) {
           if (i == 1) throw EUnsupportedSource();
         };
       },
       TPayloadStatus::UnsupportedPicture,
       "file not support",
       {"m.mid", "a.jpg"},
       {0, 1}},
      {"a picture that cannot be prepared",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, {}),
       [](TPayloadPlan&, TFakePictures& p) {
         p.ThrowAt = [](size_t) { throw EJpegError("Not a JPEG file: starts with 0x42 0x4d"); };
       },
       TPayloadStatus::Failed,
       "Not a JPEG file: starts with 0x42 0x4d",
       {},
       {0}},
      {"a prepared picture without bytes",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg", "b.bmp"}, {}),
       [](TPayloadPlan&, TFakePictures& p) { p.Results[1].clear(); },
       TPayloadStatus::Failed,
       "@b.bmp gives an empty block",
       {"a.jpg"},
       {0, 1}},
      {"a missing music file",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, {"m.mid", "gone.wav"}),
       {},
       TPayloadStatus::Failed,
       "Cannot open file @gone.wav: No such file or directory",
       {"m.mid"},
       {}},
      {"an empty music file",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, {"empty.mp3"}),
       {},
       TPayloadStatus::Failed,
       "@empty.mp3 gives an empty block",
       {},
       {}},
      {"a FIFO in place of a music file",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, {"fifo.mp3"}),
       {},
       TPayloadStatus::Failed,
       "@fifo.mp3 is not a regular file",
       {},
       {}},
      {"a missing movie",
       TSaverKind::Flash,
       picturesPlan({"one.swf", "gone.swf"}, {}),
       {},
       TPayloadStatus::Failed,
       "Cannot open file @gone.swf: No such file or directory",
       {"one.swf"},
       {}},
      {"59 music files",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, std::vector<std::string>(59, "m.mid")),
       {},
       TPayloadStatus::Failed,
       "1 sources and 59 music files do not fit the saver file's trailer (100 entries in all, "
       "at most 58 music files)",
       {},
       {}},
      {"101 entries",
       TSaverKind::Pictures,
       picturesPlan(std::vector<std::string>(51, "a.jpg"), std::vector<std::string>(50, "m.mid")),
       {},
       TPayloadStatus::Failed,
       "51 sources and 50 music files do not fit the saver file's trailer (100 entries in all, "
       "at most 58 music files)",
       {},
       {}},
      {"101 movies",
       TSaverKind::Flash,
       picturesPlan(std::vector<std::string>(101, "one.swf"), {}),
       {},
       TPayloadStatus::Failed,
       "101 sources and 0 music files do not fit the saver file's trailer (100 entries in all, "
       "at most 58 music files)",
       {},
       {}},
      {"no source",
       TSaverKind::Flash,
       picturesPlan({}, {"m.mid"}),
       {},
       TPayloadStatus::Failed,
       "no source to store",
       {},
       {}},
      {"quit mode 0",
       TSaverKind::Pictures,
       picturesPlan({"a.jpg"}, {}),
       [](TPayloadPlan& plan, TFakePictures&) { plan.QuitMode = 0; },
       TPayloadStatus::Failed,
       "quit mode 0 is not within 1..5",
       {},
       {}},
      {"quit mode 6",
       TSaverKind::Flash,
       picturesPlan({"one.swf"}, {}),
       [](TPayloadPlan& plan, TFakePictures&) { plan.QuitMode = 6; },
       TPayloadStatus::Failed,
       "quit mode 6 is not within 1..5",
       {},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteBytes(Saver(), kRuntime);
    pictures_ = {};
    TPayloadPlan plan = Plan(c.Kind, c.Lists.first, c.Lists.second);
    if (c.Setup) c.Setup(plan, pictures_);
    const TPayloadResult result = WritePayload(plan, Saver(), pictures_);
    EXPECT_EQ(result.Status, c.Status);
    std::string reason = c.Reason;
    for (size_t at; (at = reason.find('@')) != std::string::npos;)
      reason.replace(at, 1, dir);
    EXPECT_EQ(result.Reason, reason);
    EXPECT_EQ(OpenDescriptorsOf(Saver()), 0);
    EXPECT_EQ(pictures_.Calls, c.Calls);
    TBytes kept = kRuntime;
    for (const std::string& name : c.Kept)
      kept.insert(kept.end(), Stored(name).begin(), Stored(name).end());
    EXPECT_EQ(ReadBytes(Saver()), kept);
  }
}

TEST_F(SaverPayloadTest, NeedsAnExistingSaverFileAndChecksEveryWrite) {
  TPayloadPlan plan = Plan(TSaverKind::Flash, {"one.swf"}, {});
  const fs::path missing = folder_ / "missing.scr";
  TPayloadResult result = WritePayload(plan, missing, pictures_);
  EXPECT_EQ(result.Status, TPayloadStatus::Failed);
  EXPECT_EQ(result.Reason, "Cannot open file " + missing.string() + ": No such file or directory");
  EXPECT_FALSE(fs::exists(missing));

  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  result = WritePayload(plan, "/dev/full", pictures_);
  EXPECT_EQ(result.Status, TPayloadStatus::Failed);
  EXPECT_EQ(result.Reason, "Cannot write file /dev/full: No space left on device");
  EXPECT_EQ(OpenDescriptorsOf("/dev/full"), 0);
}

}  // namespace
}  // namespace kestrava
