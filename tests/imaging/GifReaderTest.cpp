// The file structure: signature, blocks, extensions, and what a malformed file makes the reader
// say. Every fixture is a few bytes built in place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/GifPicture.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

using namespace giftest;

const std::vector<TPixel> kColors = {kRed, kGreen, kBlue, kWhite};

// A 2 x 2 picture of one frame.
TBytes Body(const std::string& signature = "GIF89a") {
  return Cat({Screen(2, 2, kColors, 0, signature), Image(0, 0, 2, 2, {0, 1, 2, 3})});
}

TEST(GifReader, SignatureIsFoundAtTheStartOrFourBytesOn) {
  const struct {
    const char* Name;
    TBytes Bytes;
    std::string Error;
  } cases[] = {
      {"capitals", Cat({Body(), Trailer()}), ""},
      {"lower case", Cat({Body("gif89a"), Trailer()}), ""},
      {"mixed case, unknown version", Cat({Body("gIf7zq"), Trailer()}), ""},
      {"4 bytes in front", Cat({Text("MACB"), Body(), Trailer()}), ""},
      {"3 bytes in front", Cat({Text("MAC"), Body(), Trailer()}), "Invalid GIF signature"},
      {"5 bytes in front", Cat({Text("MACBI"), Body(), Trailer()}), "Invalid GIF signature"},
      {"no GIF at all", Cat({Body("PNG89a"), Trailer()}), "Invalid GIF signature"},
      {"shorter than a signature", Text("GIF8"), "Premature end of data"},
      {"empty", {}, "Premature end of data"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(c.Bytes);
    EXPECT_EQ(load.Error, c.Error);
    if (!c.Error.empty()) continue;
    EXPECT_TRUE(load.Warnings.empty());
    ASSERT_EQ(load.Picture.Images().Count(), 1);
    EXPECT_EQ(FramePixels(load.Picture), TBytes({0, 1, 2, 3}));
  }
  TLoad versioned(Cat({Body("GIF87a"), Trailer()}));
  EXPECT_EQ(versioned.Picture.Header().Version(), "87a");
}

TEST(GifReader, ErrorsNameTheFaultAndRewindTheStream) {
  const TBytes screen = Screen(2, 2, kColors);
  const TBytes frame = Image(0, 0, 2, 2, {0, 1, 2, 3});
  const struct {
    const char* Name;
    TBytes Bytes;
    std::string Error;
    int FramesKept;
  } cases[] = {
      {"screen descriptor cut short", TBytes(screen.begin(), screen.begin() + 10),
       "Premature end of data", 0},
      {"global table cut short", TBytes(screen.begin(), screen.end() - 1), "Premature end of data",
       0},
      {"image descriptor cut short", Cat({screen, {0x2C, 0, 0, 0, 0, 2}}), "Premature end of data",
       0},
      {"local table cut short", Cat({screen, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x81, 1, 2, 3}}),
       "Premature end of data", 0},
      {"comment sub-block cut short", Cat({screen, {0x21, 0xFE, 5, 'a', 'b'}}),
       "Premature end of data", 0},
      {"plain text header cut short", Cat({screen, {0x21, 0x01, 12, 0, 0}}),
       "Premature end of data", 0},
      {"unknown application data cut short",
       Cat({screen, {0x21, 0xFF, 11}, Text("XMP DataXMP"), {4, 1, 2}}), "Premature end of data", 0},
      {"unknown extension sub-block cut short, after a good frame",
       Cat({screen, frame, {0x21, 0x2A, 5, 'a', 'b'}}), "Premature end of data", 1},
      {"unknown extension without its terminator", Cat({screen, {0x21, 0x2A, 1, 'a'}}),
       "Premature end of data", 0},
      {"unknown extension without sub-blocks", Cat({screen, {0x21, 0x2A}}), "Premature end of data",
       0},
      {"extension introducer at the end", Cat({screen, frame, {0x21}}), "Premature end of data", 1},
      {"application label at the end", Cat({screen, {0x21, 0xFF}}), "Unknown extension type", 0},
      {"application block size 10, identifier cut short",
       Cat({screen, {0x21, 0xFF, 10}, Text("ABCDEFGHI")}), "Unknown extension type", 0},
      {"application block size below 10", Cat({screen, {0x21, 0xFF, 9}, Text("ABCDEFGHIJK")}),
       "Unsupported Application Extension block size", 0},
      {"application block size above 11",
       Cat({screen, {0x21, 0xFF, 12}, Text("ABCDEFGHIJKL"), {0}}),
       "Unsupported Application Extension: block size 12", 0},
      {"loop sub-block too short for the count",
       Cat({screen, {0x21, 0xFF, 11}, Text("NETSCAPE2.0"), {2, 1, 5, 0}}), "Invalid GIF data", 0},
      {"loop sub-block too short for the buffer size",
       Cat({screen, {0x21, 0xFF, 11}, Text("NETSCAPE2.0"), {4, 2, 1, 2, 3, 0}}), "Invalid GIF data",
       0},
      {"minimum code size 12",
       Cat({screen, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 12}, SubBlocks({0xFF})}), "Invalid GIF data",
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // Bytes in front of the GIF, as when it is embedded: the load starts after them.
    const TBytes bytes = Cat({{0xEE, 0xEE}, c.Bytes});
    TGifStream stream(bytes);
    stream.Seek(2);
    TGifPicture picture;
    try {
      picture.LoadFromStream(stream);
      ADD_FAILURE() << "no error";
    } catch (const EGifError& e) {
      EXPECT_EQ(std::string(e.what()), c.Error);
    }
    EXPECT_EQ(stream.Position(), 2u);
    EXPECT_EQ(picture.Images().Count(), c.FramesKept);
  }
}

TEST(GifReader, WarningsLetTheLoadGoOn) {
  const TBytes screen = Screen(2, 2, kColors);
  const TBytes frame = Image(0, 0, 2, 2, {0, 1, 2, 3});
  // Codes for the 4 pixels, without the end code.
  const TBytes unended = PackCodes(LiteralCodes(2, {0, 1, 2, 3}, false));
  const struct {
    const char* Name;
    TBytes Bytes;
    std::vector<std::string> Warnings;
    int Frames;
  } cases[] = {
      {"no trailer", Cat({screen, frame}), {}, 1},
      {"zero bytes between blocks",
       Cat({screen, {0, 0}, frame, {0}, frame, {0, 0}, Trailer()}),
       {},
       2},
      // Left where it stands, the unknown byte is where the trailer should be.
      {"unknown block",
       Cat({screen, frame, {0x99}, frame, Trailer()}),
       {"Unknown GIF block type", "Invalid Image trailer"},
       1},
      {"stray byte between extensions becomes the separator",
       Cat({screen, Comment("x"), {0x77}, TBytes(frame.begin() + 1, frame.end()), Trailer()}),
       {"Invalid extension introducer"},
       1},
      {"graphic control cut short",
       Cat({screen, {0x21, 0xF9, 4, 0}}),
       {"Premature end of data"},
       1},
      {"image data sub-block longer than the file",
       Cat({screen, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 200}, unended}),
       {"Premature end of data"},
       1},
      {"image without size takes the screen's",
       Cat({screen, {0x2C, 0, 0, 0, 0, 0, 0, 2, 0, 0, 2}, SubBlocks(unended), Trailer()}),
       {"Image exceeds Logical Screen size", "Decoder bit buffer under-run"},
       1},
      {"data without end code",
       Cat({screen, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2}, SubBlocks(unended), Trailer()}),
       {"Decoder bit buffer under-run"},
       1},
      // Passed over by its sub-blocks: the separator and trailer bytes inside are data.
      {"unknown extensions",
       Cat({screen,
            {0x21, 0x2A, 3, 0x2C, 0x3B, 0x21, 2, 0x2C, 0, 0},
            {0x21, 0x00, 0},
            frame,
            {0x21, 0xE0, 1, 0x3B, 0},
            Trailer()}),
       {"Unknown extension type 0x2A skipped", "Unknown extension type 0x00 skipped",
        "Unknown extension type 0xE0 skipped"},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(c.Bytes);
    EXPECT_EQ(load.Error, "");
    EXPECT_EQ(load.Warnings, c.Warnings);
    for (int severity : load.Severities)
      EXPECT_EQ(severity, TGifPicture::kWarning);
    EXPECT_EQ(load.Picture.Images().Count(), c.Frames);
  }
}

TEST(GifReader, UnknownExtensionIsKeptInItsPlaceWithoutItsData) {
  TLoad load(Cat({Screen(2, 2, kColors),
                  {0x21, 0x2A, 3, 0x2C, 0x3B, 0x21, 2, 0x2C, 0, 0},
                  GraphicControl(0, 7),
                  Image(0, 0, 2, 2, {0, 1, 2, 3}),
                  Trailer()}));
  ASSERT_EQ(load.Error, "");
  ASSERT_EQ(load.Picture.Images().Count(), 1);
  const TGifFrame& frame = load.Picture.Images()[0];
  EXPECT_EQ(frame.Data, TBytes({0, 1, 2, 3}));
  ASSERT_EQ(frame.Extensions.Items.size(), 2u);
  const auto* unknown = dynamic_cast<const TGifUnknownExtension*>(frame.Extensions.Items[0].get());
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->Label(), 0x2A);
  EXPECT_EQ(unknown->DataSize, 5u);
  ASSERT_NE(frame.GraphicControl, nullptr);
  EXPECT_EQ(frame.GraphicControl->Delay, 7);
}

TEST(GifReader, FramesKeepTheirPlaceSizeAndColours) {
  TLoad load(Cat({Screen(5, 4, kColors, 2), Image(1, 2, 2, 1, {3, 1}),
                  Image(0, 0, 0, 0, TBytes(20, 1)),  // no size: the screen's
                  Image(3, 1, 1, 1, {1}, {kBlack, kBlue}), Trailer()}));
  ASSERT_EQ(load.Error, "");
  const TGifPicture& p = load.Picture;
  EXPECT_EQ(p.Width(), 5);
  EXPECT_EQ(p.Height(), 4);
  EXPECT_EQ(p.Header().BackgroundColorIndex, 2);
  EXPECT_EQ(p.Header().ColorMap.Count(), 4);
  ASSERT_EQ(p.Images().Count(), 3);
  EXPECT_EQ(p.Images()[0].BoundsRect(), Rect(1, 2, 3, 3));
  EXPECT_EQ(FramePixels(p, 0), TBytes({3, 1}));
  EXPECT_EQ(p.Images()[1].BoundsRect(), Rect(0, 0, 5, 4));
  EXPECT_EQ(p.Images()[2].ColorMap.Count(), 2);
  EXPECT_EQ(p.Images()[2].ColorMap.Entry(1), kBlue);
}

TEST(GifReader, ExtensionsAreReadIntoTheirKinds) {
  const TBytes bytes = Cat({
      Screen(1, 1, kColors),
      LoopExtension(7),
      Cat({{0x21, 0xFF, 11}, Text("ANIMEXTS1.0"), {5, 2}, Word(0x5678), Word(0x1234), {0}}),
      Cat({{0x21, 0xFF, 11}, Text("XMP DataXMP"), {2, 'a', 'b', 1, 'c', 0}}),
      Cat({{0x21, 0xFF, 10}, Text("ABCDEFGHIJ"), {1, 'z', 0}}),
      Cat({{0x21, 0x01, 12}, TBytes(12, 9), SubBlocks(Text("Hello"))}),
      Comment("one"),
      GraphicControl(2, 0x0102, 3),
      GraphicControl(1, 5),
      Image(0, 0, 1, 1, {3}),
      Comment("after"),
      Trailer(),
  });
  TLoad load(bytes);
  ASSERT_EQ(load.Error, "");
  EXPECT_TRUE(load.Warnings.empty());
  ASSERT_EQ(load.Picture.Images().Count(), 2);
  const TGifFrame& f = load.Picture.Images()[0];
  ASSERT_EQ(f.Extensions.Items.size(), 8u);
  const auto& items = f.Extensions.Items;

  const auto* loop = dynamic_cast<const TGifLoopExtension*>(items[0].get());
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->LoopCount, 7);
  const auto* animexts = dynamic_cast<const TGifLoopExtension*>(items[1].get());
  ASSERT_NE(animexts, nullptr);
  EXPECT_EQ(animexts->BufferSize, 0x12345678u);
  EXPECT_EQ(load.Picture.LoopExtension(), loop);

  const auto* xmp = dynamic_cast<const TGifUnknownApplication*>(items[2].get());
  ASSERT_NE(xmp, nullptr);
  EXPECT_EQ(xmp->IdentifierText(), "XMP DataXMP");
  ASSERT_EQ(xmp->Blocks.size(), 2u);
  EXPECT_EQ(xmp->Blocks[0].Data, Text("ab"));
  EXPECT_EQ(xmp->Blocks[1].Data, Text("c"));
  const auto* short10 = dynamic_cast<const TGifUnknownApplication*>(items[3].get());
  ASSERT_NE(short10, nullptr);
  EXPECT_EQ(short10->BlockSize, 10);
  // Eleven bytes are read and one given back: the last is the first data length.
  EXPECT_EQ(short10->IdentifierText(), "ABCDEFGHIJ\x01");
  ASSERT_EQ(short10->Blocks.size(), 1u);

  const auto* text = dynamic_cast<const TGifPlainText*>(items[4].get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Grid[0], 12);
  EXPECT_EQ(text->Text, std::vector<std::string>{"Hello"});
  const auto* comment = dynamic_cast<const TGifComment*>(items[5].get());
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(comment->Text, std::vector<std::string>{"one"});

  // The first graphic control is the frame's.
  ASSERT_EQ(f.GraphicControl, items[6].get());
  EXPECT_EQ(f.GraphicControl->Disposal(), 2);
  EXPECT_EQ(f.GraphicControl->Delay, 0x0102);
  EXPECT_TRUE(f.Transparent);
  EXPECT_EQ(f.TransparentIndex(), 3);

  // A comment after the last image makes a frame without an image.
  const TGifFrame& last = load.Picture.Images()[1];
  EXPECT_TRUE(last.Empty());
  EXPECT_EQ(last.Extensions.Items.size(), 1u);
}

TEST(GifReader, LoopExtensionCutShortReadsZeros) {
  // The file ends inside the loop count: its missing byte counts as 0.
  TLoad load(Cat({Screen(1, 1, kColors),
                  Image(0, 0, 1, 1, {1}),
                  {0x21, 0xFF, 11},
                  Text("NETSCAPE2.0"),
                  {3, 1, 0x05}}));
  EXPECT_EQ(load.Error, "");
  ASSERT_EQ(load.Picture.Images().Count(), 2);
  ASSERT_NE(load.Picture.LoopExtension(), nullptr);
  EXPECT_EQ(load.Picture.LoopExtension()->LoopCount, 5);
}

TEST(GifReader, ExtensionChecksItsOwnIntroducerAndLabel) {
  const struct {
    TBytes Bytes;
    const char* Error;
  } cases[] = {
      {{0x2C, 0xF9, 4, 0, 0, 0, 0, 0}, "Invalid extension introducer"},
      {{0x21, 0xFE, 4, 0, 0, 0, 0, 0},
       "Internal error: Extension Instance does not match Extension Label"},
  };
  for (const auto& c : cases) {
    TGifStream stream(c.Bytes);
    TGifReader reader(stream, nullptr);
    TGifGraphicControl control;
    try {
      control.LoadFromStream(reader);
      ADD_FAILURE() << "no error";
    } catch (const EGifError& e) {
      EXPECT_STREQ(e.what(), c.Error);
    }
  }
}

TEST(GifReader, LoadingReportsProgress) {
  TLoad load(Cat({Screen(2, 2, kColors), Image(0, 0, 2, 2, {0, 1, 2, 3}),
                  Image(0, 0, 2, 2, {0, 1, 2, 3}), Trailer()}));
  std::vector<std::pair<int, std::string>> events;
  TGifPicture& p = load.Picture;
  p.OnProgress = [&](TGifPicture&, TGifProgressStage, int percent, const std::string& text) {
    events.push_back({percent, text});
  };
  load.Stream.Seek(0);
  p.LoadFromStream(load.Stream);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0], std::make_pair(0, std::string("Loading...")));
  // After each frame: how much of the stream has been read.
  const size_t frameBytes = (load.Bytes.size() - 1 - 13 - 12) / 2;
  EXPECT_EQ(events[1].first, int((13 + 12 + frameBytes) * 100 / load.Bytes.size()));
  EXPECT_EQ(events[2].first, int((load.Bytes.size() - 1) * 100 / load.Bytes.size()));
  EXPECT_EQ(events[3], std::make_pair(100, std::string("Loading...")));

  events.clear();
  p.Images()[0].Bitmap();
  EXPECT_EQ(events,
            (std::vector<std::pair<int, std::string>>{{0, "Rendering..."}, {100, "Rendering..."}}));
}

TEST(GifReader, LoadFromFileReadsTheWholeFile) {
  TGifPicture picture;
  EXPECT_THROW(picture.LoadFromFile("/nonexistent/picture.gif"), EImageError);
  picture.LoadFromFile(std::string(KESTRAVA_SHARED_DIR) +
                       "/corpus/gif/pygif-test-suite/four-colors.gif");
  EXPECT_EQ(picture.Images().Count(), 1);
  EXPECT_EQ(picture.Width(), 2);
}

TEST(GifReader, AHostileSizeIsRefusedBeforeAllocating) {
  const TBytes screen = Screen(60000, 60000, kColors);
  TLoad one(Cat({screen, {0x2C, 0, 0, 0, 0}, Word(60000), Word(60000), {0, 2}, SubBlocks({0})}));
  EXPECT_EQ(one.Error, "Image size 60000 x 60000 is too large");

  // Many frames of an allowed size, each a few bytes: the total is capped.
  const TBytes frame = Cat({{0x2C, 0, 0, 0, 0}, Word(500), Word(500), {0, 2}, SubBlocks({0})});
  TBytes many = screen;
  for (int i = 0; i < 5; ++i)
    many = Cat({many, frame});
  TGifStream stream(many);
  TGifPicture picture;
  picture.SetPixelLimit(800'000);
  try {
    picture.LoadFromStream(stream);
    ADD_FAILURE() << "no error";
  } catch (const EGifError& e) {
    EXPECT_STREQ(e.what(), "Frames exceed the limit of 800000 pixels");
  }
  EXPECT_EQ(picture.Images().Count(), 3);

  // A screen that large makes no Bitmap, whatever the frame.
  TLoad small(Cat({screen, Image(0, 0, 1, 1, {1}), Trailer()}));
  ASSERT_EQ(small.Error, "");
  EXPECT_THROW(small.Picture.Bitmap(), EGifError);

  // A frame claiming far more than its data can give is refused before it is allocated.
  TLoad bomb(Cat({Screen(16384, 16384, kColors),
                  {0x2C, 0, 0, 0, 0},
                  Word(16384),
                  Word(16384),
                  {0, 2},
                  SubBlocks({0x4C, 0x01}),
                  Trailer()}));
  EXPECT_EQ(bomb.Error,
            "The image data is too short for a frame of 16384 x 16384 pixels (file damaged?)");
}

// A caller showing the first image only never holds the later frames' pixels; the stream still
// ends behind them, and a later frame the file cuts short is still marked.
TEST(GifReader, FirstFrameOnlyReadsPastTheLaterFrames) {
  const TBytes first = Image(0, 0, 2, 2, {1, 0, 0, 1});
  const TBytes later = Image(0, 0, 2, 2, {0, 1, 1, 0});
  const struct {
    const char* Name;
    TBytes Bytes;
    bool LaterCut;
  } cases[] = {
      {"whole", Cat({Screen(2, 2, kColors), first, later, later, Trailer()}), false},
      {"cut in the last frame's data",
       Cat({Screen(2, 2, kColors), first, later, TBytes(later.begin(), later.end() - 3)}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TGifStream stream(c.Bytes);
    TGifPicture picture;
    picture.SetFirstFrameOnly(true);
    picture.LoadFromStream(stream);
    ASSERT_EQ(picture.Images().Count(), 3);
    EXPECT_EQ(picture.Images()[0].Data, (std::vector<uint8_t>{1, 0, 0, 1}));
    EXPECT_FALSE(picture.Images()[0].Cut);
    EXPECT_TRUE(picture.Images()[1].Empty());
    EXPECT_FALSE(picture.Images()[1].Cut);
    EXPECT_TRUE(picture.Images()[2].Empty());
    EXPECT_EQ(picture.Images()[2].Cut, c.LaterCut);
    EXPECT_EQ(stream.Position(), c.Bytes.size());
  }
}

// The logical screen is allocated for the frames on it: a screen within TBitmap's limits but far
// beyond its frames is refused; one within the allowance is drawn.
TEST(GifReader, AScreenFarBeyondItsFramesMakesNoBitmap) {
  const struct {
    int Side;
    bool Drawn;
  } cases[] = {{16384, false}, {4096, true}};
  for (const auto& c : cases) {
    TLoad load(Cat({Screen(c.Side, c.Side, kColors), Image(0, 0, 1, 1, {1}), Trailer()}));
    ASSERT_EQ(load.Error, "");
    if (c.Drawn) {
      EXPECT_EQ(load.Picture.Bitmap()->Width(), c.Side);
      continue;
    }
    try {
      load.Picture.Bitmap();
      ADD_FAILURE() << "no error";
    } catch (const EGifError& e) {
      EXPECT_STREQ(e.what(),
                   "The logical screen of 16384 x 16384 pixels is far larger than the "
                   "picture's frames (file damaged?)");
    }
  }
}

}  // namespace
}  // namespace kestrava
