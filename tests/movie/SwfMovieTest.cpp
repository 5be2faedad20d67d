#include <gtest/gtest.h>
#include <lzma.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SwfBuilder.h"
#include "imaging/FileBytes.h"
#include "movie/SwfMovie.h"
#include "movie/SwfMovieData.h"
#include "movie/SwfUnpack.h"

namespace kestrava {
namespace {

using namespace test;

const std::filesystem::path kCorpus = std::filesystem::path(KESTRAVA_SHARED_DIR) / "corpus" / "swf";

TBytes Compress(const TBytes& movie) {
  TBytes out(movie.begin(), movie.begin() + 8);
  out[0] = 'C';
  uLongf size = compressBound(uLong(movie.size()));
  TBytes packed(size);
  EXPECT_EQ(compress(packed.data(), &size, movie.data() + 8, uLong(movie.size() - 8)), Z_OK);
  packed.resize(size);
  Append(out, packed);
  return out;
}

// ZWS: the header, the compressed length, the five LZMA property bytes, the raw stream. The
// ".lzma" encoder writes properties, an 8-byte length, then the stream.
TBytes CompressLzma(const TBytes& movie) {
  lzma_options_lzma options;
  lzma_lzma_preset(&options, 6);
  lzma_stream s = LZMA_STREAM_INIT;
  EXPECT_EQ(lzma_alone_encoder(&s, &options), LZMA_OK);
  TBytes alone(movie.size() + 1024);
  s.next_in = movie.data() + 8;
  s.avail_in = movie.size() - 8;
  s.next_out = alone.data();
  s.avail_out = alone.size();
  EXPECT_EQ(lzma_code(&s, LZMA_FINISH), LZMA_STREAM_END);
  alone.resize(alone.size() - s.avail_out);
  lzma_end(&s);
  TBytes out(movie.begin(), movie.begin() + 8);
  out[0] = 'Z';
  Append(out, U32(uint32_t(alone.size() - 13)));
  out.insert(out.end(), alone.begin(), alone.begin() + 5);
  out.insert(out.end(), alone.begin() + 13, alone.end());
  return out;
}

std::shared_ptr<const TSwfMovie> Load(const TBytes& bytes) {
  return TSwfMovie::Load(bytes);
}

TEST(SwfMovie, ReadsTheHeaderAndTheTagStream) {
  const TBytes movie = Movie({
      Tag(9, {0x10, 0x20, 0x30}),                      // SetBackgroundColor
      Tag(9, {0x99, 0x99, 0x99}),                      // a second one changes nothing
      Tag(8, {0xFF, 0xD8, 0xFF, 0xD9}),                // JPEGTables
      DefineShape(3), Tag(2, Join({U16(3), {0x01}})),  // the same id again: the first stands
      Tag(200, {1, 2, 3}),                             // unknown: skipped
      Tag(22, Join({U16(4), TBytes(100, 7)})),         // long header (DefineShape2)
      PlaceObject2(Place(1, 3)), FrameLabel("Start"), ShowFrame(),
      Tag(20, Join({U16(5), {1, 2}}), true),  // long header though short
      ShowFrame(), EndTag(), Tag(2, U16(9)),  // after the end: never read
  });
  const auto loaded = Load(movie);
  EXPECT_EQ(loaded->Version(), 6);
  EXPECT_EQ(loaded->FrameRect().XMax, 11000);
  EXPECT_EQ(loaded->FrameRect().YMax, 8000);
  EXPECT_EQ(loaded->FrameRate(), 12.0);
  EXPECT_EQ(loaded->FrameCount(), 2);
  EXPECT_EQ(loaded->Background(), (TSwfRgba{0x10, 0x20, 0x30, 255}));
  EXPECT_EQ(loaded->JpegTables().size(), 4u);

  const TSwfCharacter* shape = loaded->Character(3);
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->TagCode, 2);
  EXPECT_EQ(shape->Body.size(), 4u);  // the first definition, id included
  ASSERT_NE(loaded->Character(4), nullptr);
  EXPECT_EQ(loaded->Character(4)->Body.size(), 102u);
  ASSERT_NE(loaded->Character(5), nullptr);
  EXPECT_EQ(loaded->Character(5)->TagCode, 20);
  EXPECT_EQ(loaded->Character(9), nullptr);
  EXPECT_EQ(loaded->Character(200), nullptr);

  const TSwfTimelineData& root = loaded->Data().Root;
  ASSERT_EQ(root.Frames(), 2);
  ASSERT_EQ(root.FrameTags(0).size(), 1u);
  EXPECT_EQ(root.FrameTags(0)[0].Code, 26);
  EXPECT_TRUE(root.FrameTags(1).empty());
  EXPECT_EQ(root.FindLabel("start"), 0);  // labels match without case
  EXPECT_EQ(root.FindLabel("Stop"), -1);
}

TEST(SwfMovie, AMovieWithoutBackgroundIsWhite) {
  EXPECT_EQ(Load(Movie({ShowFrame()}))->Background(), (TSwfRgba{255, 255, 255, 255}));
}

TEST(SwfMovie, ReadsAllThreeStorageForms) {
  std::vector<TBytes> tags;
  for (int i = 0; i < 200; ++i) {
    tags.push_back(DefineShape(unsigned(i + 1)));
    tags.push_back(PlaceObject2(Place(unsigned(i + 1), i + 1)));
    tags.push_back(ShowFrame());
  }
  const TBytes plain = Movie(tags);
  const auto reference = Load(plain);
  for (const TBytes& stored : {Compress(plain), CompressLzma(plain)}) {
    SCOPED_TRACE(char(stored[0]));
    const auto movie = Load(stored);
    EXPECT_EQ(movie->FrameCount(), 200);
    EXPECT_EQ(TBytes(movie->Data().Bytes.begin() + 8, movie->Data().Bytes.end()),
              TBytes(plain.begin() + 8, plain.end()));
    EXPECT_NE(movie->Character(200), nullptr);
  }
}

TEST(SwfMovie, ToleratesWrongLengthsAndMissingEnds) {
  const TBytes frames = Join(
      {DefineShape(1), PlaceObject2(Place(1, 1)), ShowFrame(), DoAction({Stop()}), ShowFrame()});
  struct Case {
    const char* name;
    TBytes movie;
    int frames;
    bool lastScript;  // the second frame still has its script
  };
  TBytes longStated = Movie({frames});
  longStated[4] = 0xFF;  // far more than there is
  TBytes noEnd = Movie({frames});
  TBytes trailing = Movie({frames, DoAction({Play()})});  // a frame never shown
  TBytes truncatedLast = Movie({DefineShape(1), ShowFrame(), DoAction({Stop(), Play()})});
  truncatedLast.resize(truncatedLast.size() - 2);  // the script loses its last bytes
  // A stated length shorter than the data: the player reads no further.
  TBytes shortStated = Movie({frames});
  const uint32_t cut = uint32_t(shortStated.size() - ShowFrame().size() - 1);
  shortStated[4] = uint8_t(cut), shortStated[5] = uint8_t(cut >> 8);
  TBytes zeroStated = Movie({frames});
  zeroStated[4] = zeroStated[5] = 0;
  const Case cases[] = {
      {"length too long", longStated, 2, true},
      {"no End tag", noEnd, 2, true},
      {"tags after the last frame", trailing, 3, true},
      {"truncated last tag", truncatedLast, 2, true},
      {"length too short", shortStated, 2, true},
      {"length zero", zeroStated, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto movie = Load(c.movie);
    EXPECT_EQ(movie->FrameCount(), c.frames);
    EXPECT_NE(movie->Character(1), nullptr);
    EXPECT_EQ(movie->Data().Root.FrameTags(1).size(), c.lastScript ? 1u : 0u);
  }
  // The stated frame count is kept aside but the frames are those the stream has.
  const auto overstated = Load(Movie({ShowFrame()}, 6, 50));
  EXPECT_EQ(overstated->FrameCount(), 1);
  EXPECT_EQ(overstated->Data().Root.StatedFrameCount, 50);
}

TEST(SwfMovie, KeepsEachSpritesOwnTimeline) {
  const auto movie = Load(Movie({
      DefineShape(1),
      DefineSprite(2, {PlaceObject2(Place(1, 1)), FrameLabel("a"), ShowFrame(), DoAction({Stop()}),
                       ShowFrame(), ShowFrame(), EndTag()}),
      PlaceObject2(Place(1, 2)),
      ShowFrame(),
  }));
  const TSwfTimelineData* sprite = movie->Data().Sprite(2);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->Frames(), 3);
  EXPECT_EQ(sprite->StatedFrameCount, 3);
  EXPECT_EQ(sprite->FrameTags(1)[0].Code, 12);
  EXPECT_EQ(sprite->FindLabel("A"), 0);
  EXPECT_EQ(movie->Character(2)->TagCode, 39);
  EXPECT_EQ(movie->Data().Root.Frames(), 1);
}

TEST(SwfMovie, RefusesWhatIsNoMovie) {
  struct Case {
    TBytes bytes;
    const char* message;
  };
  TBytes badZlib = {'C', 'W', 'S', 6, 100, 0, 0, 0, 0x78, 0x9C, 0xFF, 0xFF, 0xFF};
  TBytes shortLzma = {'Z', 'W', 'S', 13, 100, 0, 0, 0, 1, 0, 0, 0, 0x5D};
  const Case cases[] = {
      {{'F', 'W', 'S'}, "not a movie: too short"},
      {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a movie: no SWF signature"},
      {{'F', 'W', 'S', 6, 20, 0, 0, 0, 0xF8}, "the movie header ends early"},
      {badZlib, "the zlib-compressed movie is damaged"},
      {shortLzma, "the LZMA-compressed movie is too short"},
  };
  for (const Case& c : cases) {
    try {
      Load(c.bytes);
      ADD_FAILURE() << "loaded: " << c.message;
    } catch (const ESwfError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_THROW(TSwfMovie::LoadFile(kCorpus / "no such movie.swf"), ESwfError);
}

// Every cut of a movie, plain and compressed, is read or refused, never read past.
TEST(SwfMovie, EveryTruncationIsReadOrRefused) {
  const TBytes plain = Movie({
      Tag(9, {1, 2, 3}),
      DefineShape(1),
      DefineSprite(2, {PlaceObject2(Place(1, 1).At(5, 0)), ShowFrame(), DoAction({TraceText("x")}),
                       ShowFrame()}),
      PlaceObject2(Place(1, 2).Named("clip")),
      DoAction({GotoFrame(1), Play()}),
      ShowFrame(),
      RemoveObject2(1),
      ShowFrame(),
  });
  for (const TBytes& whole : {plain, Compress(plain), CompressLzma(plain)})
    for (size_t size = 0; size <= whole.size(); ++size) {
      const TBytes cut(whole.begin(), whole.begin() + long(size));
      try {
        const auto movie = Load(cut);
        EXPECT_GE(movie->FrameCount(), 1);
      } catch (const ESwfError&) {
      }
    }
}

TEST(SwfMovie, StopsNestingSpritesAtItsLimit) {
  // Sprites may not nest at all in a well-made movie; a hostile one nests them 40 deep.
  TBytes inner = DefineSprite(40, {ShowFrame()});
  for (unsigned id = 39; id >= 1; --id)
    inner = DefineSprite(id, {inner, ShowFrame()});
  const auto movie = Load(Movie({inner, ShowFrame()}));
  EXPECT_NE(movie->Data().Sprite(1), nullptr);
  EXPECT_NE(movie->Data().Sprite(8), nullptr);
  EXPECT_EQ(movie->Data().Sprite(40), nullptr);
  EXPECT_EQ(movie->Character(40), nullptr);
}

TEST(SwfMovie, IgnoresASpriteDefinedInsideItself) {
  // The inner definition reuses the outer id: the first one stands, with its own frames.
  const TBytes inner = DefineSprite(4, {DoAction({Stop()}), ShowFrame(), ShowFrame()});
  const auto movie = Load(Movie({DefineSprite(4, {inner, DoAction({Play()}), ShowFrame()}),
                                 PlaceObject2(Place(1, 4)), ShowFrame()}));
  const TSwfTimelineData* sprite = movie->Data().Sprite(4);
  ASSERT_NE(sprite, nullptr);
  ASSERT_EQ(sprite->Frames(), 1);
  ASSERT_EQ(sprite->FrameTags(0).size(), 1u);
  EXPECT_EQ(sprite->FrameTags(0)[0].Body[0], 0x06);  // Play, not the inner Stop
}

TEST(SwfMovie, StopsReadingTagsAtItsCap) {
  // Two million empty unknown tags, then a definition the cap keeps out.
  TBytes tags;
  tags.reserve(4'200'000);
  for (int i = 0; i < 2'100'000; ++i)
    Append(tags, Tag(255, {}));
  const auto movie = Load(Movie({tags, DefineShape(7), ShowFrame()}));
  EXPECT_EQ(movie->Character(7), nullptr);
  EXPECT_EQ(movie->FrameCount(), 1);
}

TEST(SwfMovie, UnpacksABombOnlyUpToItsCap) {
  // 300 MiB of zeros inflate from a few hundred KiB; the unpacked movie stops at the cap.
  TBytes header = Movie({});
  z_stream z{};
  ASSERT_EQ(deflateInit(&z, 9), Z_OK);
  TBytes packed;
  const TBytes zeros(1 << 20, 0);
  TBytes chunk(1 << 16);
  for (int mib = 0; mib < 300; ++mib) {
    z.next_in = const_cast<Bytef*>(zeros.data());
    z.avail_in = uInt(zeros.size());
    do {
      z.next_out = chunk.data();
      z.avail_out = uInt(chunk.size());
      deflate(&z, mib == 299 ? Z_FINISH : Z_NO_FLUSH);
      packed.insert(packed.end(), chunk.begin(), chunk.end() - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  TBytes bomb = {'C', 'W', 'S', 6, 0, 0, 0, 0};
  Append(bomb, packed);
  EXPECT_EQ(UnpackSwf(bomb).size(), kMaxUnpackedMovieBytes);
  // All zeros read as an empty rectangle and End: a movie of one empty frame.
  EXPECT_EQ(Load(bomb)->FrameCount(), 1);
}

// The corpus manifest records each movie's header as another reader saw it.
TEST(SwfMovie, ReadsEveryCorpusMovieAsTheManifestDescribesIt) {
  std::ifstream manifest(kCorpus / "MANIFEST.tsv");
  ASSERT_TRUE(manifest);
  std::string line;
  std::getline(manifest, line);
  int checked = 0;
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::stringstream columns(line);
    for (std::string field; std::getline(columns, field, '\t');)
      fields.push_back(field);
    ASSERT_GE(fields.size(), 7u) << line;
    SCOPED_TRACE(fields[0]);
    // "CWS v5 200x150 30fps 366f"
    std::istringstream header(fields[6]);
    std::string signature, version, size, rate, frames;
    header >> signature >> version >> size >> rate >> frames;
    const auto movie = TSwfMovie::LoadFile(kCorpus / fields[0]);
    EXPECT_EQ("v" + std::to_string(movie->Version()), version);
    const TSwfRect r = movie->FrameRect();
    EXPECT_EQ(std::to_string((r.XMax - r.XMin) / 20) + "x" + std::to_string((r.YMax - r.YMin) / 20),
              size);
    EXPECT_EQ(std::to_string(int(movie->FrameRate())) + "fps", rate);
    EXPECT_EQ(std::to_string(movie->Data().Root.StatedFrameCount) + "f", frames);
    if (signature == "ZWS") {
      // These samples state their length right: all of it must come out of the LZMA stream.
      const TBytes file = ReadFileBytes(kCorpus / fields[0]);
      EXPECT_EQ(movie->Data().Bytes.size(), size_t(file[4] | file[5] << 8 | file[6] << 16));
    }
    ++checked;
  }
  EXPECT_GT(checked, 500);
}

}  // namespace
}  // namespace kestrava
